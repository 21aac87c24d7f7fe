#include "framework/core/Win.h"

#include "controls/foundation/OptionObjects.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestFolder.h"
#include "TestRegistryKey.h"
#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/FoundationShutdown.h"
#include "controls/foundation/NamedItems.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/Strings.h"

namespace {

class TSubOptions : public TPersistent {
    ZEL_DECLARE_CLASS(TSubOptions)
public:
    int32_t Width() const { return FWidth; }
    void SetWidth(int32_t V) { FWidth = V; }
    void Assign(TPersistent* Source) override { FWidth = static_cast<TSubOptions*>(Source)->FWidth; }

private:
    int32_t FWidth = 1;
};
ZEL_DEFINE_CLASS(TSubOptions, TPersistent,
                 {Prop::Int<TSubOptions>("Width", &TSubOptions::Width, &TSubOptions::SetWidth)})

class TTestOptions : public TOptionExt {
    ZEL_DECLARE_CLASS(TTestOptions)
public:
    TTestOptions() : FStyles(nullptr, THSNamedItem::StaticClass()) {}
    static inline int Updates = 0;
    void InitValues() override {
        FTabSize = 8;
        FFont = "Courier New";
    }
    void Update() override { ++Updates; }

    int32_t TabSize() const { return FTabSize; }
    void SetTabSize(int32_t V) { FTabSize = V; }
    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool V) { FAutoIndent = V; }
    std::string Font() const { return FFont; }
    void SetFont(const std::string& V) { FFont = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    TStringList* History() const { return const_cast<TStringList*>(&FHistory); }
    void SetHistory(TStringList* V) { FHistory.Assign(V); }
    TSubOptions* Sub() const { return const_cast<TSubOptions*>(&FSub); }
    void SetSub(TSubOptions* V) { FSub.Assign(V); }
    TCustomHSNamedItems* Styles() const { return const_cast<TCustomHSNamedItems*>(&FStyles); }
    void SetStyles(TCustomHSNamedItems* V) { FStyles.Assign(V); }
    int32_t Secret() const { return 5; }
    void SetSecret(int32_t) {}

private:
    int32_t FTabSize = 0;
    bool FAutoIndent = false;
    std::string FFont;
    double FRatio = 0;
    TStringList FHistory;
    TSubOptions FSub;
    TCustomHSNamedItems FStyles;
};

ZEL_DEFINE_CLASS(
    TTestOptions, TOptionExt,
    {Prop::Int<TTestOptions>("TabSize", &TTestOptions::TabSize, &TTestOptions::SetTabSize),
     Prop::Bool<TTestOptions>("AutoIndent", &TTestOptions::AutoIndent, &TTestOptions::SetAutoIndent),
     Prop::String<TTestOptions>("Font", &TTestOptions::Font, &TTestOptions::SetFont),
     Prop::Float<TTestOptions>("Ratio", &TTestOptions::Ratio, &TTestOptions::SetRatio),
     Prop::Object<TTestOptions>("History", &TTestOptions::History, &TTestOptions::SetHistory),
     Prop::Object<TTestOptions>("Sub", &TTestOptions::Sub, &TTestOptions::SetSub),
     Prop::Object<TTestOptions>("Styles", &TTestOptions::Styles, &TTestOptions::SetStyles),
     Prop::Int<TTestOptions>("Secret", &TTestOptions::Secret, &TTestOptions::SetSecret).NotStored()})

// Frees whatever global instances a test made, without saving them.
struct GlobalsScope {
    ~GlobalsScope() {
        while (TOptionExt* G = FindGlobalOptions(TTestOptions::StaticClass()))
            delete G;
    }
};

struct RawKey {
    HKEY H = nullptr;
    explicit RawKey(const std::string& Key) {
        RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &H);
    }
    ~RawKey() {
        if (H)
            RegCloseKey(H);
    }
    DWORD Type(const std::string& Name) const {
        DWORD T = 0;
        return H && RegQueryValueExA(H, Name.c_str(), nullptr, &T, nullptr, nullptr) == ERROR_SUCCESS
                   ? T
                   : REG_NONE;
    }
    std::string String(const std::string& Name) const {
        char Buf[512] = {};
        DWORD N = sizeof Buf;
        RegQueryValueExA(H, Name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(Buf), &N);
        return Buf;
    }
    DWORD Dword(const std::string& Name) const {
        DWORD V = 0, N = sizeof V;
        RegQueryValueExA(H, Name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&V), &N);
        return V;
    }
};

TEST(OptionObjects, GlobalInstanceWritesTheRegistryTreeAndReadsItBack) {
    TTestRegistryKey Key;
    GlobalsScope Globals;
    TTestOptions* G = CreateOptions<TTestOptions>();
    EXPECT_TRUE(G->IsGlobal());
    EXPECT_EQ(G->TabSize(), 8); // nothing stored yet: the defaults
    EXPECT_EQ(G->GetKey(), "TestOptions");
    G->SetTabSize(4);
    G->SetAutoIndent(true);
    G->SetFont("Fixedsys");
    G->SetRatio(0.75);
    G->History()->SetText("find me\r\nand me\r\n");
    G->Sub()->SetWidth(33);
    static_cast<THSNamedItem*>(G->Styles()->Add())->SetName("Keyword");
    SaveGlobalOptions();

    RawKey Raw(Key.Key() + "\\TestOptions");
    EXPECT_EQ(Raw.Type("TabSize"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Raw.Dword("TabSize"), 4u);
    EXPECT_EQ(Raw.Dword("AutoIndent"), 1u);
    EXPECT_EQ(Raw.String("Font"), "Fixedsys");
    EXPECT_EQ(Raw.Type("Ratio"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Raw.String("History"), "find me\r\nand me\r\n");
    EXPECT_EQ(Raw.Type("Styles"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Raw.Type("Secret"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(RawKey(Key.Key() + "\\TestOptions\\Sub").Dword("Width"), 33u);

    delete G;
    TTestOptions::Updates = 0;
    TTestOptions* Back = CreateOptions<TTestOptions>();
    EXPECT_TRUE(Back->IsGlobal());
    EXPECT_EQ(TTestOptions::Updates, 1); // one update after loading
    EXPECT_EQ(Back->TabSize(), 4);
    EXPECT_TRUE(Back->AutoIndent());
    EXPECT_EQ(Back->Font(), "Fixedsys");
    EXPECT_EQ(Back->Ratio(), 0.75);
    EXPECT_EQ(Back->History()->Text(), "find me\r\nand me\r\n");
    EXPECT_EQ(Back->Sub()->Width(), 33);
    ASSERT_EQ(Back->Styles()->Count(), 1);
    EXPECT_EQ(static_cast<THSNamedItem*>(Back->Styles()->Items(0))->Name(), "Keyword");
}

TEST(OptionObjects, AStoredValueOfTheWrongTypeKeepsTheDefault) {
    TTestRegistryKey Key;
    GlobalsScope Globals;
    WriteToRegistry("TestOptions\\TabSize", THSVariant("wide"));
    WriteToRegistry("TestOptions\\Font", THSVariant(int32_t{12}));
    WriteToRegistry("TestOptions\\AutoIndent", THSVariant(true));
    TTestOptions* G = nullptr;
    ASSERT_NO_THROW(G = CreateOptions<TTestOptions>());
    EXPECT_EQ(G->TabSize(), 8);
    EXPECT_EQ(G->Font(), "Courier New");
    EXPECT_TRUE(G->AutoIndent());
}

TEST(OptionObjects, CopiesStartFromTheGlobalInstanceAndApplyBack) {
    TTestRegistryKey Key;
    GlobalsScope Globals;
    TTestOptions* G = GetOptions<TTestOptions>();
    EXPECT_EQ(GetOptions<TTestOptions>(), G);
    G->SetTabSize(3);
    G->History()->Add("x");
    std::unique_ptr<TTestOptions> Copy(CreateOptions<TTestOptions>());
    EXPECT_FALSE(Copy->IsGlobal());
    EXPECT_TRUE(Copy->UpdateDisabled());
    EXPECT_EQ(Copy->GlobalInstance(), G);
    EXPECT_EQ(Copy->TabSize(), 3);
    EXPECT_EQ(Copy->History()->Text(), "x\r\n");
    EXPECT_NE(Copy->History(), G->History());

    Copy->SetTabSize(2);
    TTestOptions::Updates = 0;
    Copy->ApplyOptions();
    EXPECT_EQ(G->TabSize(), 2);
    EXPECT_EQ(TTestOptions::Updates, 2); // the global instance's once, and the copy's bracket
    TTestOptions::Updates = 0;
    G->EndUpdate(); // without BeginUpdate: nothing
    EXPECT_EQ(TTestOptions::Updates, 0);
    G->BeginUpdate();
    EXPECT_TRUE(G->UpdateDisabled());
    G->BeginUpdate();
    G->EndUpdate();
    G->EndUpdate();
    EXPECT_EQ(TTestOptions::Updates, 1);
    Copy.reset();
    EXPECT_EQ(FindGlobalOptions(TTestOptions::StaticClass()), G);
}

int Initialized = 0;
void CountInit(TOptionExt*) {
    ++Initialized;
}

TEST(OptionObjects, RegisteredClassesGiveAListOfCopies) {
    TTestRegistryKey Key;
    GlobalsScope Globals;
    RegisterOptionExt(TTestOptions::StaticClass());
    RegisterOptionsInitializator(&CountInit);
    Initialized = 0;
    {
        TOptionExtList List;
        ASSERT_EQ(List.Count(), 1);
        EXPECT_FALSE(List.Item(0)->IsGlobal());
        EXPECT_EQ(List.GetOptionWithClass("ttestoptions"), List.Item(0));
        EXPECT_EQ(List.GetOptionWithClass("TOther"), nullptr);
        static_cast<TTestOptions*>(List.Item(0))->SetFont("Lucida");
        List.ApplyOptions();
    }
    EXPECT_EQ(Initialized, 1);
    EXPECT_EQ(GetOptions<TTestOptions>()->Font(), "Lucida");
    UnRegisterOptionsInitializator(&CountInit);
    UnRegisterClassExt(TTestOptions::StaticClass());
}

TEST(OptionObjects, IniStoreKeepsAHexImageOfThePublishedValues) {
    TTestRegistryKey Key;
    GlobalsScope Globals;
    TTestFolder Folder;
    StoreOptionsInFile = true;
    OptionsFileName = Folder / "options.ini";
    TTestOptions* G = CreateOptions<TTestOptions>();
    G->SetTabSize(6);
    G->SetFont("Small Fonts");
    G->Sub()->SetWidth(9);
    SaveGlobalOptions();
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, OptionsFileName.c_str()); // flush
    const std::string File = ReadWholeFile(OptionsFileName);
    EXPECT_NE(File.find("[TestOptions]"), std::string::npos);
    TStringList Lines;
    Lines.LoadFromFile(OptionsFileName);
    ASSERT_GE(Lines.Count(), 3);
    EXPECT_EQ(Lines[0], "[TestOptions]");
    for (int I = 1; I < Lines.Count(); ++I) {
        EXPECT_EQ(Lines[I].find_first_not_of("0123456789ABCDEF"), std::string::npos) << Lines[I];
        if (I + 1 < Lines.Count()) {
            EXPECT_EQ(Lines[I].size(), 64u) << I;
        }
    }
    delete G;
    TTestOptions* Back = CreateOptions<TTestOptions>();
    EXPECT_EQ(Back->TabSize(), 6);
    EXPECT_EQ(Back->Font(), "Small Fonts");
    EXPECT_EQ(Back->Sub()->Width(), 9);
    delete Back;

    // Other sections stay; a damaged section is refused and the defaults stay.
    WriteWholeFile(OptionsFileName, "[Other]\r\nkey=value\r\n[TestOptions]\r\n6F626A65ZZ\r\n");
    TTestOptions Plain;
    EXPECT_THROW(LoadComponentFromIniFile(&Plain, "TestOptions"), EReadError);
    TTestOptions* Defaults = CreateOptions<TTestOptions>();
    EXPECT_EQ(Defaults->TabSize(), 8);
    Defaults->SetTabSize(5);
    SaveGlobalOptions();
    EXPECT_EQ(ReadWholeFile(OptionsFileName).find("[Other]\r\nkey=value\r\n[TestOptions]\r\n"), 0u);
    OptionsFileName = Folder / "missing\\options.ini";
    EXPECT_THROW(SaveGlobalOptions(), EWriteError);
    StoreOptionsInFile = false;
    OptionsFileName.clear();
}

TEST(OptionObjects, ShutdownSavesAndReleasesEveryGlobalInstance) {
    TTestRegistryKey Key;
    GetOptions<TTestOptions>()->SetTabSize(12);
    ShutdownFoundation();
    EXPECT_EQ(FindGlobalOptions(TTestOptions::StaticClass()), nullptr);
    EXPECT_EQ(ReadFromRegistry("TestOptions\\TabSize", THSVariant(int32_t{0})), THSVariant(int32_t{12}));
}

} // namespace
