#include "controls/foundation/NamedItems.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestFolder.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Streams.h"

namespace {

class TTestStyle : public THSNamedItem {
    ZEL_DECLARE_CLASS(TTestStyle)
public:
    TTestStyle() = default;
    int32_t Size() const { return FSize; }
    void SetSize(int32_t V) {
        FSize = V;
        OnChange(this);
    }

private:
    int32_t FSize = 0;
};

ZEL_DEFINE_CLASS(TTestStyle, THSNamedItem,
                 {Prop::Int<TTestStyle>("Size", &TTestStyle::Size, &TTestStyle::SetSize)})

TEST(NamedItems, FindsNamesIgnoringCaseAndCopiesItems) {
    TCustomHSNamedItems Items(nullptr, TTestStyle::StaticClass());
    auto* A = static_cast<TTestStyle*>(Items.Add());
    auto* B = static_cast<TTestStyle*>(Items.Add());
    A->SetName("Keyword");
    B->SetName("comment");
    B->SetSize(9);
    EXPECT_EQ(Items.IndexOfName("KEYWORD"), 0);
    EXPECT_EQ(Items.IndexOfName("Comment"), 1);
    EXPECT_EQ(Items.IndexOfName("string"), -1);
    EXPECT_EQ(Items.IndexOf(B), 1);
    EXPECT_EQ(Items.IndexOf(nullptr), -1);

    A->Assign(B);
    EXPECT_EQ(A->Name(), "comment");
    EXPECT_EQ(A->Size(), 9);

    auto* Unnamed = static_cast<TTestStyle*>(Items.Add());
    EXPECT_EQ(Unnamed->GetDisplayName(), "TTestStyle");
    Unnamed->SetDisplayName("x");
    EXPECT_EQ(Unnamed->GetDisplayName(), "x");
}

TEST(NamedItems, ReportsChangesOfOneItemThroughBothEvents) {
    TCustomHSNamedItems Items(nullptr, TTestStyle::StaticClass());
    auto* A = static_cast<TTestStyle*>(Items.Add());
    std::vector<TCollectionItem*> Updated;
    int Changes = 0;
    Items.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Items);
        ++Changes;
    };
    Items.OnItemUpdate = [&](TObject*, TCollectionItem* Item) { Updated.push_back(Item); };
    A->SetSize(3);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Updated, std::vector<TCollectionItem*>{A});
}

TEST(NamedItems, OutliveTheirOwner) {
    auto* Owner = new TComponent(nullptr);
    TCustomHSNamedItems Items(Owner, TTestStyle::StaticClass());
    EXPECT_EQ(Items.GetOwner(), Owner);
    delete Owner;
    EXPECT_EQ(Items.GetOwner(), nullptr);
    Items.Add();
    EXPECT_EQ(Items.Count(), 1);
}

// The items go whole into a file or a stream and come back as they were; what a damaged image or
// a missing file cannot give leaves the items untouched.
TEST(NamedItems, KeepThemselvesInFilesAndStreams) {
    TTestFolder Folder;
    THSNamedItems Saved(nullptr, TTestStyle::StaticClass());
    for (const auto& [Name, Size] :
         std::vector<std::pair<std::string, int32_t>>{{"Keyword", 3}, {"", 0}, {"Comment", -7}}) {
        auto* Item = static_cast<TTestStyle*>(Saved.Add());
        Item->SetName(Name);
        Item->SetSize(Size);
    }
    auto ExpectLikeSaved = [&](const THSNamedItems& Items) {
        ASSERT_EQ(Items.Count(), Saved.Count());
        for (int I = 0; I < Items.Count(); ++I) {
            SCOPED_TRACE(I);
            EXPECT_EQ(Items.NamedItem(I)->Name(), Saved.NamedItem(I)->Name());
            EXPECT_EQ(static_cast<TTestStyle*>(Items.Items(I))->Size(),
                      static_cast<TTestStyle*>(Saved.Items(I))->Size());
        }
    };

    Saved.SaveToFile(Folder / "styles.bin");
    EXPECT_EQ(ReadWholeFile(Folder / "styles.bin").substr(0, 4), "TPF0");
    THSNamedItems FromFile(nullptr, TTestStyle::StaticClass());
    FromFile.Add()->SetDisplayName("replaced");
    FromFile.LoadFromFile(Folder / "styles.bin");
    ExpectLikeSaved(FromFile);

    TMemoryStream Stream;
    Saved.SaveToStream(Stream);
    Stream.SetPosition(0);
    THSNamedItems FromStream(nullptr, TTestStyle::StaticClass());
    FromStream.LoadFromStream(Stream);
    ExpectLikeSaved(FromStream);
    // The text form that the family's text writer makes reads back too.
    TMemoryStream Text;
    WriteObjToTextStream(Text, &Saved);
    Text.SetPosition(0);
    THSNamedItems FromText(nullptr, TTestStyle::StaticClass());
    FromText.LoadFromStream(Text);
    ExpectLikeSaved(FromText);

    const std::string Image = ReadWholeFile(Folder / "styles.bin");
    WriteWholeFile(Folder / "cut.bin", Image.substr(0, Image.size() - 6));
    EXPECT_THROW(FromFile.LoadFromFile(Folder / "cut.bin"), Exception);
    EXPECT_THROW(FromFile.LoadFromFile(Folder / "missing.bin"), EFOpenError);
    ExpectLikeSaved(FromFile);
}

} // namespace
