#include "controls/foundation/PropertyStreams.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestFolder.h"
#include "TestRegistryKey.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/OptionObjects.h"
#include "controls/foundation/PropFileSystem.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Strings.h"

namespace {

class TStoreSample : public TComponent {
    ZEL_DECLARE_CLASS(TStoreSample)
public:
    explicit TStoreSample(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    int32_t Count = 0;
    std::string Title;
    bool Flag = false;
    TStringList Lines;
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t V) { Count = V; }
    std::string GetTitle() const { return Title; }
    void SetTitle(const std::string& V) { Title = V; }
    bool GetFlag() const { return Flag; }
    void SetFlag(bool V) { Flag = V; }
    TStringList* GetLines() const { return const_cast<TStringList*>(&Lines); }
    void SetLines(TStringList* V) { Lines.Assign(V); }
};
ZEL_DEFINE_CLASS(
    TStoreSample, TComponent,
    {Prop::Int<TStoreSample>("Count", &TStoreSample::GetCount, &TStoreSample::SetCount).WithDefault(0),
     Prop::String<TStoreSample>("Title", &TStoreSample::GetTitle, &TStoreSample::SetTitle),
     Prop::Bool<TStoreSample>("Flag", &TStoreSample::GetFlag, &TStoreSample::SetFlag).WithDefault(0),
     Prop::Object<TStoreSample>("Lines", &TStoreSample::GetLines, &TStoreSample::SetLines)})

// What earlier builds stored: the text form.
const std::string kOldText = "object TStoreSample\r\n  Count = 12\r\n  Title = 'old'\r\nend\r\n";

class PropertyStreams : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass(TStoreSample::StaticClass()); }
    void TearDown() override { UnRegisterClass(TStoreSample::StaticClass()); }
};

std::string Hex(const std::string& Bytes) {
    static const char* Digits = "0123456789ABCDEF";
    std::string Out;
    for (unsigned char C : Bytes) {
        Out += Digits[C >> 4];
        Out += Digits[C & 15];
    }
    return Out;
}

// Each store is written in the binary form, and still reads what earlier builds wrote as text;
// a damaged binary image is refused and the object keeps its values.
TEST_F(PropertyStreams, StoresWriteBinaryAndReadOldTextSettings) {
    TTestFolder Folder;
    TTestRegistryKey Key;
    OptionsFileName = Folder / "options.ini";
    struct Store {
        const char* Name;
        std::function<void(TStoreSample*)> Save;
        std::function<std::string()> Stored; // the bytes the store holds
        std::function<void(const std::string&)> Plant;
        std::function<void(TStoreSample*)> Load;
    } Stores[] = {
        {"file", [&](TStoreSample* S) { WriteObjToFile(S, Folder / "obj.bin"); },
         [&] { return ReadWholeFile(Folder / "obj.bin"); },
         [&](const std::string& D) { WriteWholeFile(Folder / "obj.bin", D); },
         [&](TStoreSample* S) { ReadObjFromFile(S, Folder / "obj.bin"); }},
        {"registry", [](TStoreSample* S) { WriteObjToRegistry("Obj\\Value", S); },
         [] {
             std::string D(static_cast<size_t>(GetLongRegBufSize("Obj\\Value")), '\0');
             ReadLongBufFromRegistry("Obj\\Value", D.data(), static_cast<int32_t>(D.size()));
             return D;
         },
         [](const std::string& D) {
             WriteLongBufToRegistry("Obj\\Value", D.data(), static_cast<int32_t>(D.size()));
         },
         [](TStoreSample* S) { ReadObjFromRegistry("Obj\\Value", S); }},
        {"ini", [](TStoreSample* S) { ASSERT_TRUE(SaveComponentToIniFile(S, "Sample")); },
         [&] {
             TStringList L;
             L.LoadFromFile(OptionsFileName);
             std::string D;
             for (int I = 1; I < L.Count(); ++I)
                 for (size_t J = 0; J + 1 < L[I].size(); J += 2)
                     D += static_cast<char>(std::stoi(L[I].substr(J, 2), nullptr, 16));
             return D;
         },
         [&](const std::string& D) { WriteWholeFile(OptionsFileName, "[Sample]\r\n" + Hex(D) + "\r\n"); },
         [](TStoreSample* S) { LoadComponentFromIniFile(S, "Sample"); }},
    };
    for (const Store& St : Stores) {
        TStoreSample A;
        A.Count = 300;
        A.Title = "new";
        A.Lines.Add("x");
        St.Save(&A);
        const std::string Image = St.Stored();
        EXPECT_EQ(Image, ObjectToBinary(&A)) << St.Name;

        TStoreSample B;
        St.Load(&B);
        EXPECT_EQ(B.Count, 300) << St.Name;
        EXPECT_EQ(B.Lines.Text(), "x\r\n") << St.Name;

        St.Plant(kOldText);
        TStoreSample Old;
        St.Load(&Old);
        EXPECT_EQ(Old.Count, 12) << St.Name;
        EXPECT_EQ(Old.Title, "old") << St.Name;

        St.Plant(Image.substr(0, Image.size() - 3));
        EXPECT_THROW(St.Load(&Old), EReadError) << St.Name;
        EXPECT_EQ(Old.Count, 12) << St.Name;
        EXPECT_EQ(Old.Title, "old") << St.Name;
    }
    OptionsFileName.clear();
}

TEST_F(PropertyStreams, PropertySubsetWithSizeField) {
    TStoreSample A;
    A.SetName("A");
    A.Count = 5;
    A.Title = "kept";
    A.Flag = true;
    TStringList Names;
    Names.Add("Title");
    Names.Add(" Flag ");
    TMemoryStream M;
    M.WriteString("hd");
    WritePropsToStream(M, &A, &Names);
    M.WriteString("tail");
    const std::string All(M.Memory(), static_cast<size_t>(M.Size()));
    const std::string Image = ObjectSubsetToBinary(&A, {"Title", "Flag"});
    ASSERT_EQ(All.substr(2, 4), std::string("\0\0\0", 3).insert(0, 1, static_cast<char>(Image.size())));
    EXPECT_EQ(All.substr(6, Image.size()), Image);

    TStoreSample B;
    B.Count = 9;
    M.SetPosition(2);
    ReadPropsFromStream(M, &B);
    EXPECT_EQ(B.Title, "kept");
    EXPECT_TRUE(B.Flag);
    EXPECT_EQ(B.Count, 9); // not in the subset
    EXPECT_EQ(M.ReadRemaining(), "tail");

    // No names: a component with no stored property.
    TMemoryStream Empty;
    WritePropsToStream(Empty, &A, std::vector<std::string>{});
    Empty.SetPosition(0);
    TStoreSample C;
    ReadPropsFromStream(Empty, &C);
    EXPECT_EQ(C.Title, "");
    WritePropsToStream(Empty, nullptr, &Names); // nothing for nil

    // A size past the end, or a negative one, is refused and the position kept.
    for (int32_t Size : {static_cast<int32_t>(Image.size() + 1), -1}) {
        TMemoryStream Bad;
        Bad.WriteBuffer(&Size, 4);
        Bad.WriteString(Image);
        Bad.SetPosition(0);
        TStoreSample D;
        EXPECT_THROW(ReadPropsFromStream(Bad, &D), EReadError) << Size;
        EXPECT_EQ(Bad.Position(), 0) << Size;
        EXPECT_EQ(D.Title, "") << Size;
    }
}

TEST_F(PropertyStreams, RecognisesStreamsAndTheirClasses) {
    TStoreSample A;
    A.SetName("Form1");
    const std::string Binary = ObjectToBinary(&A);
    const std::string ResHeader = std::string("\xFF\x0A\x00", 3) + "FORM1" + std::string(1, '\0') +
                                  std::string("\x30\x10", 2) + std::string(4, '\0');
    struct Case {
        const char* What;
        std::string Data;
        bool Text, Header;
        std::string ClassName;
        TClass Class;
    } Cases[] = {
        {"binary", Binary, false, false, "TStoreSample", TStoreSample::StaticClass()},
        {"binary after a resource header", ResHeader + Binary, false, true, "TStoreSample",
         TStoreSample::StaticClass()},
        {"text with a name", "object Form1: TStoreSample\r\nend\r\n", true, false, "TStoreSample", nullptr},
        {"inherited text", "inherited Form1: TOther\nend\n", true, false, "TOther", nullptr},
        {"text without a name", "object TStoreSample\r\nend\r\n", true, false, "TStoreSample", nullptr},
        {"unregistered class", "TPF0" + std::string("\x07TNoSuch\x00\x00\x00", 11), false, false, "TNoSuch",
         nullptr},
        {"header name never ends", std::string("\xFF\x0A\x00", 3) + std::string(90, 'N'), false, false, "",
         nullptr},
        {"empty", "", false, false, "", nullptr},
    };
    for (const Case& C : Cases) {
        TStringStream S("ab" + C.Data);
        S.SetPosition(2);
        EXPECT_EQ(IsTextStream(S), C.Text) << C.What;
        EXPECT_EQ(GetClassNameFromStream(S), C.ClassName) << C.What;
        EXPECT_EQ(GetClassFromStream(S), C.Class) << C.What;
        EXPECT_EQ(SmartSkipResHeader(S, true), C.Header) << C.What;
        EXPECT_EQ(S.Position(), 2) << C.What;
        EXPECT_EQ(SmartSkipResHeader(S, false), C.Header) << C.What;
        EXPECT_EQ(S.Position(), C.Header ? 2 + static_cast<int64_t>(ResHeader.size()) : 2) << C.What;
    }
}

TEST_F(PropertyStreams, NamesOfOwnedComponents) {
    TStoreSample Root;
    Root.SetName("Root");
    auto* Panel = new TStoreSample(&Root);
    Panel->SetName("Panel");
    (new TComponent(&Root))->SetName("Plain");
    new TStoreSample(&Root); // no name
    (new TStoreSample(Panel))->SetName("Inner");
    std::vector<std::string> Got;
    CompListNamesToProc({&Root, Panel}, &Root, TStoreSample::StaticClass(),
                        [&](const std::string& N) { Got.push_back(N); });
    EXPECT_EQ(Got, (std::vector<std::string>{"Panel", "Panel.Inner"}));
    EXPECT_EQ(GetCompName(Panel), "Panel");
    EXPECT_EQ(GetCompName(nullptr), "");
}

TEST_F(PropertyStreams, PropStreamReadsAndWritesATextProperty) {
    TStoreSample S;
    S.Lines.Add("one");
    S.Lines.Add("two");
    {
        TPropStream In(&S, psRead, "Lines");
        EXPECT_EQ(In.ReadRemaining(), "one\r\ntwo\r\n");
    }
    {
        TPropStream Out(&S, psWrite, "Lines");
        EXPECT_EQ(Out.Size(), 0);
        Out.WriteString("a\r\nb");
    }
    EXPECT_EQ(S.Lines.Count(), 2);
    EXPECT_EQ(S.Lines[1], "b");
    {
        TPropStream Both(&S, psReadWrite | 0x40, "Title");
        Both.Seek(0, soEnd);
        Both.WriteString("tail");
        Both.Flush();
        EXPECT_EQ(S.Title, "tail");
    }
    for (const char* Name : {"Count", "Missing", ""})
        EXPECT_THROW(TPropStream(&S, psRead, Name), EHSError) << Name;
    EXPECT_THROW(TPropStream(nullptr, psRead, "Title"), EHSError);
}

// The store names its component by a number, never by an address: a descriptor read back while
// the component lives reaches it; after it is freed, or with a number made up, it reaches nothing.
TEST_F(PropertyStreams, PropFileSystemNamesItsComponentWithoutAnAddress) {
    RegisterClass(TPropFileSystem::StaticClass());
    auto* Holder = new TStoreSample;
    Holder->Lines.Add("first");
    TPropFileSystem Store;
    Store.SetComponent(Holder);
    Store.SetPropName("Lines");
    EXPECT_TRUE(Store.FileExists("any"));
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("any", psRead));
        EXPECT_EQ(S->ReadRemaining(), "first\r\n");
    }
    const std::string Descriptor = GetFilerID(&Store);
    const std::string Text = ObjectBinaryToText(Descriptor);
    EXPECT_NE(Text.find("ComponentId = " + std::to_string(ComponentIdOf(Holder))), std::string::npos) << Text;
    EXPECT_EQ(Text.find('$'), std::string::npos) << Text;

    TFileSystem* Shared = GetFileSystem(Descriptor);
    EXPECT_EQ(static_cast<TPropFileSystem*>(Shared)->Component(), Holder);
    {
        std::unique_ptr<TStream> W(Shared->GetFileStream("any", psWrite));
        W->WriteString("a\r\nb");
    }
    EXPECT_EQ(Holder->Lines.Count(), 2);
    Store.SetPropName("Count");
    EXPECT_FALSE(Store.FileExists("any"));

    delete Holder;
    EXPECT_EQ(Store.Component(), nullptr);
    EXPECT_EQ(static_cast<TPropFileSystem*>(Shared)->Component(), nullptr);
    try {
        delete Store.GetFileStream("any", psRead);
        ADD_FAILURE();
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Component doesn't exist");
    }
    ReleaseFileSystem(Shared);

    TPropFileSystem Forged;
    Forged.SetComponentId(987654);
    EXPECT_EQ(Forged.Component(), nullptr);
    EXPECT_FALSE(Forged.FileExists("any"));
    UnRegisterClass(TPropFileSystem::StaticClass());
}

} // namespace
