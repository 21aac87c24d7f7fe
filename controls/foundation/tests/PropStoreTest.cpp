#include "controls/foundation/PropStore.h"

#include <gtest/gtest.h>

#include "TestRegistryKey.h"
#include "controls/foundation/PropertyStreams.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ObjectText.h"

namespace {

class TStoreItem : public TComponent {
    ZEL_DECLARE_CLASS(TStoreItem)
public:
    explicit TStoreItem(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    int32_t Count = 0;
    std::string Title;
    bool Flag = false;
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t V) { Count = V; }
    std::string GetTitle() const { return Title; }
    void SetTitle(const std::string& V) { Title = V; }
    bool GetFlag() const { return Flag; }
    void SetFlag(bool V) { Flag = V; }
};
ZEL_DEFINE_CLASS(TStoreItem, TComponent,
                 {Prop::Int<TStoreItem>("Count", &TStoreItem::GetCount, &TStoreItem::SetCount).WithDefault(0),
                  Prop::String<TStoreItem>("Title", &TStoreItem::GetTitle, &TStoreItem::SetTitle),
                  Prop::Bool<TStoreItem>("Flag", &TStoreItem::GetFlag, &TStoreItem::SetFlag).WithDefault(0)})

std::string Str(const std::string& S) {
    return std::string(1, '\x06') + static_cast<char>(S.size()) + S;
}
std::string Subset(TComponent* C, const std::vector<std::string>& Names) {
    const std::string Image = ObjectSubsetToBinary(C, Names);
    const uint32_t N = static_cast<uint32_t>(Image.size());
    return std::string{static_cast<char>(N), static_cast<char>(N >> 8), static_cast<char>(N >> 16),
                       static_cast<char>(N >> 24)} +
           Image;
}

// A form with one component and a store for two properties of the component and one of the form.
struct Form {
    TStoreItem Owner;
    TStoreItem* Edit;
    THSPropStore* Store;
    Form() {
        Owner.SetName("Form1");
        Edit = new TStoreItem(&Owner);
        Edit->SetName("Edit1");
        Store = new THSPropStore(&Owner);
        Store->SetName("Store");
        Store->PropList()->SetText("Edit1.Count\nEdit1.Title\nFlag\n");
    }
};

TEST(PropStore, WritesGroupsAndReadsBackOnlyTheChosenProperties) {
    Form A;
    A.Edit->Count = 7;
    A.Edit->Title = "seven";
    A.Edit->Flag = true; // not chosen
    A.Owner.Flag = true;
    A.Owner.Title = "not chosen";
    TMemoryStream M;
    A.Store->SaveToStream(M);
    const std::string Expected = "\x09" + Str("Edit1") + Str("Count\r\nTitle") +
                                 Subset(A.Edit, {"Count", "Title"}) + "\x09" + Str("Form1") + Str("Flag") +
                                 Subset(&A.Owner, {"Flag"}) + "\x08";
    EXPECT_EQ(std::string(M.Memory(), static_cast<size_t>(M.Size())), Expected);

    Form B;
    B.Edit->Flag = false;
    B.Owner.Title = "mine";
    M.SetPosition(0);
    B.Store->LoadFromStream(M);
    EXPECT_EQ(B.Edit->Count, 7);
    EXPECT_EQ(B.Edit->Title, "seven");
    EXPECT_TRUE(B.Owner.Flag);
    EXPECT_FALSE(B.Edit->Flag);
    EXPECT_EQ(B.Owner.Title, "mine");
    EXPECT_EQ(B.Edit->Name(), "Edit1");
    // The class is as it was: a full read sets a property the store left out.
    ObjectFromBinary(ObjectToBinary(A.Edit), B.Edit);
    EXPECT_TRUE(B.Edit->Flag);
}

// The whole store stream byte by byte, so that a change of the stored layout shows here before
// stored settings stop loading.
TEST(PropStore, TheStreamMatchesAnImageAssembledByHand) {
    auto S = [](const std::string& T) { return std::string(1, static_cast<char>(T.size())) + T; };
    auto Sized = [](const std::string& Image) {
        return std::string(1, static_cast<char>(Image.size())) + std::string(3, '\0') + Image;
    };
    const std::string EditImage = "TPF0" + S("TStoreItem") + S("Edit1") + S("Count") + "\x02\x07" +
                                  S("Title") + "\x06" + S("seven") + std::string(2, '\0');
    const std::string FormImage =
        "TPF0" + S("TStoreItem") + S("Form1") + S("Flag") + "\x09" + std::string(2, '\0');
    const std::string Fixture = "\x09" + Str("Edit1") + Str("Count\r\nTitle") + Sized(EditImage) + "\x09" +
                                Str("Form1") + Str("Flag") + Sized(FormImage) + "\x08";
    Form A;
    A.Edit->Count = 7;
    A.Edit->Title = "seven";
    A.Owner.Flag = true;
    TMemoryStream M;
    A.Store->SaveToStream(M);
    EXPECT_EQ(std::string(M.Memory(), static_cast<size_t>(M.Size())), Fixture);

    Form B;
    TStringStream In(Fixture);
    B.Store->LoadFromStream(In);
    EXPECT_EQ(B.Edit->Count, 7);
    EXPECT_EQ(B.Edit->Title, "seven");
    EXPECT_TRUE(B.Owner.Flag);
    TMemoryStream Again;
    B.Store->SaveToStream(Again);
    EXPECT_EQ(std::string(Again.Memory(), static_cast<size_t>(Again.Size())), Fixture);
}

TEST(PropStore, MissingComponentsAndChangedListsSkipTheirGroups) {
    Form A;
    A.Store->PropList()->SetText("Gone.Count\nEdit1.Count\nEdit1.Title\n");
    A.Edit->Count = 3;
    A.Edit->Title = "three";
    TMemoryStream M;
    A.Store->SaveToStream(M);
    EXPECT_EQ(std::string(M.Memory(), 4), "\x09" + Str("0"));

    // The reader's list asks for Count only in the second group: Title stays.
    Form B;
    B.Store->PropList()->SetText("Gone.Count\nEdit1.Count\n");
    M.SetPosition(0);
    B.Store->LoadFromStream(M);
    EXPECT_EQ(B.Edit->Count, 3);
    EXPECT_EQ(B.Edit->Title, "");
}

TEST(PropStore, DamagedGroupsAreSkippedOrReported) {
    Form A;
    A.Edit->Count = 5;
    A.Owner.Flag = true;
    TMemoryStream M;
    A.Store->SaveToStream(M);
    std::string Bytes(M.Memory(), static_cast<size_t>(M.Size()));
    // An unknown value tag inside the first group's image.
    const size_t At = Bytes.find("Count", Bytes.find("TPF0")) + 5;
    Bytes[At] = '\x63';

    struct Case {
        const char* What;
        bool IgnoreErrors;
        bool Handled;
        bool Raises;
    } Cases[] = {
        {"ignored", true, false, false},
        {"handler goes on", false, true, false},
        {"handler stops", false, false, true},
    };
    for (const Case& C : Cases) {
        Form B;
        B.Store->SetIgnoreErrors(C.IgnoreErrors);
        std::string Asked;
        ReaderErrorHandler = [&](const std::string& Message, bool& Handled, bool&) {
            Asked = Message;
            Handled = C.Handled;
        };
        TStringStream S(Bytes);
        if (C.Raises) {
            EXPECT_THROW(B.Store->LoadFromStream(S), EReadError) << C.What;
        } else {
            B.Store->LoadFromStream(S);
            EXPECT_TRUE(B.Owner.Flag) << C.What; // the next group was read
        }
        EXPECT_EQ(B.Edit->Count, 0) << C.What; // the damaged group changed nothing
        EXPECT_EQ(Asked.empty(), C.IgnoreErrors) << C.What;
        ReaderErrorHandler = nullptr;
    }
    // Without a handler the error is raised.
    Form D;
    D.Store->SetIgnoreErrors(false);
    TStringStream S(Bytes);
    EXPECT_THROW(D.Store->LoadFromStream(S), EReadError);
}

TEST(PropStore, SavesToTheRegistryUnderItsKey) {
    TTestRegistryKey Key;
    Form A;
    EXPECT_EQ(A.Store->GetKey(), "Form1Store");
    A.Edit->Count = 11;
    A.Store->Save();
    EXPECT_GT(GetRegBufSize("Form1Store"), 0);

    Form B;
    bool Cancel = true;
    B.Store->OnLoadChanges = [&](TObject*, bool& C) { C = Cancel; };
    B.Store->Load();
    EXPECT_EQ(B.Edit->Count, 0);
    Cancel = false;
    B.Store->Load();
    EXPECT_EQ(B.Edit->Count, 11);

    Form C;
    C.Store->SetKey("Elsewhere");
    C.Edit->Count = 4;
    C.Store->Load(); // nothing stored there
    EXPECT_EQ(C.Edit->Count, 4);
}

} // namespace
