#include "controls/foundation/FormFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TestFolder.h"
#include "UiTestSupport.h"
#include "controls/foundation/CompFiler.h"
#include "controls/foundation/FileSystem.h"
#include "controls/foundation/LogFile.h"
#include "controls/foundation/PropStore.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

namespace {

class TTableComp : public TComponent {
    ZEL_DECLARE_CLASS(TTableComp)
public:
    explicit TTableComp(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
};
ZEL_DEFINE_CLASS(TTableComp, TComponent, {})

// A non-visual component of a form that refers to a table, perhaps on another form.
class TDataLink : public TComponent {
    ZEL_DECLARE_CLASS(TDataLink)
public:
    explicit TDataLink(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TTableComp* Source = nullptr;
    TTableComp* GetSource() const { return Source; }
    void SetSource(TTableComp* V) { Source = V; }
};
ZEL_DEFINE_CLASS(TDataLink, TComponent,
                 {Prop::Object<TDataLink>("Source", &TDataLink::GetSource, &TDataLink::SetSource),
                  Prop::Method("OnChange")})

class FormFiles : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (TClass C : {TTableComp::StaticClass(), TDataLink::StaticClass()})
            RegisterClass(C);
        WriteLogEvent = [this](const std::string& S) { Log.push_back(S); };
        ReaderErrorHandler = [this](const std::string& M, bool& Handled, bool&) {
            Asked.push_back(M);
            Handled = true;
        };
    }
    void TearDown() override {
        for (TClass C : {TTableComp::StaticClass(), TDataLink::StaticClass()})
            UnRegisterClass(C);
        WriteLogEvent = nullptr;
        ReaderErrorHandler = nullptr;
        UiTest::TearDown();
    }
    bool Logged(const std::string& S) const { return std::find(Log.begin(), Log.end(), S) != Log.end(); }

    TTestFolder Dir;
    std::vector<std::string> Log, Asked;
};

// "Data": a form with a table, written by the filer itself, so already in today's form.
std::string DataForm(TCompFormat Format) {
    TForm Data(nullptr);
    Data.SetName("Data");
    (new TTableComp(&Data))->SetName("Table1");
    TCompFiler Filer;
    TMemoryStream S;
    Filer.SaveToStream(S, &Data, Format);
    return std::string(S.Memory(), static_cast<size_t>(S.Size()));
}

const std::string kMain = "object Main: TMainWindow\r\n"
                          "  Caption = 'Main'\r\n"
                          "  object Link1: TDataLink\r\n"
                          "    Obsolete = 1\r\n"
                          "    Source = Data.Table1\r\n"
                          "    OnChange = Link1Change\r\n"
                          "  end\r\n"
                          "end\r\n";

TEST_F(FormFiles, ConvertsWhatChangedAndKeepsABackup) {
    CreateDirectoryA((Dir / "sub").c_str(), nullptr);
    CreateDirectoryA((Dir / ".hidden").c_str(), nullptr);
    const std::string Data = DataForm(cfResource);
    const std::string Orphan =
        "object Orphan: TOrphan\r\n  object L: TDataLink\r\n    Source = Gone.T\r\n  end\r\nend\r\n";
    const std::string Broken = "object Broken: TForm\r\n  Caption = 'open\r\nend\r\n";
    const std::string Sub = "object Sub: TSub\r\n  Caption = 'in a subfolder'\r\nend\r\n";
    WriteWholeFile(Dir / "Main.dfm", kMain);
    WriteWholeFile(Dir / "Data.dfm", Data);
    WriteWholeFile(Dir / "Orphan.dfm", Orphan);
    WriteWholeFile(Dir / "Broken.dfm", Broken);
    WriteWholeFile(Dir / "Notes.dfmx", kMain);
    WriteWholeFile(Dir / "sub\\Sub.dfm", Sub);
    WriteWholeFile(Dir / ".hidden\\Hidden.dfm", Sub);

    EXPECT_EQ(CorrectFormFiles(Dir.Path(), false), 1);
    // Main changed: it is written again in its own form and class, the old file kept as backup.
    EXPECT_EQ(ReadWholeFile(Dir / "Main.~df"), kMain);
    const std::string NewMain = ReadWholeFile(Dir / "Main.dfm");
    EXPECT_EQ(NewMain.rfind("object Main: TMainWindow\r\n", 0), 0u) << NewMain;
    EXPECT_EQ(NewMain.find("Obsolete"), std::string::npos) << NewMain;
    EXPECT_NE(NewMain.find("    Source = Data.Table1\r\n"), std::string::npos) << NewMain;
    EXPECT_NE(NewMain.find("    OnChange = Link1Change\r\n"), std::string::npos) << NewMain;
    EXPECT_TRUE(Logged("Form " + Dir / "Main.dfm" + " converted"));
    EXPECT_EQ(Asked, std::vector<std::string>{"Property Obsolete does not exist on line 4"});
    // Data was in today's form already; Orphan refers to a form nobody has; Broken cannot be
    // read; none of them is touched, and the log says why.
    EXPECT_EQ(ReadWholeFile(Dir / "Data.dfm"), Data);
    EXPECT_FALSE(FileExists(Dir / "Data.~df"));
    EXPECT_EQ(ReadWholeFile(Dir / "Orphan.dfm"), Orphan);
    EXPECT_FALSE(FileExists(Dir / "Orphan.~df"));
    EXPECT_TRUE(Logged("Form " + Dir / "Orphan.dfm" + " not converted: no form holds Gone.T"));
    EXPECT_EQ(ReadWholeFile(Dir / "Broken.dfm"), Broken);
    EXPECT_TRUE(Logged("Form " + Dir / "Broken.dfm" + " not converted: Invalid string constant on line 2"));
    EXPECT_EQ(ReadWholeFile(Dir / "Notes.dfmx"), kMain);
    EXPECT_EQ(ReadWholeFile(Dir / "sub\\Sub.dfm"), Sub) << "not asked to go into subfolders";
    EXPECT_EQ(Log.size(), 3u);

    // Once converted, a file stays as it is; subfolders when asked, except hidden ones.
    Log.clear();
    EXPECT_EQ(CorrectFormFiles(Dir.Path(), true), 1);
    EXPECT_EQ(ReadWholeFile(Dir / "Main.dfm"), NewMain);
    EXPECT_EQ(ReadWholeFile(Dir / "sub\\Sub.~df"), Sub);
    EXPECT_EQ(ReadWholeFile(Dir / ".hidden\\Hidden.dfm"), Sub);
    EXPECT_TRUE(Logged("Form " + Dir / "sub\\Sub.dfm" + " converted"));

    // One file by its name; a form it refers to is then one the program shows, or none.
    WriteWholeFile(Dir / "Main.dfm", kMain);
    Log.clear();
    EXPECT_EQ(CorrectFormFiles(Dir / "Main.dfm", false), 0);
    EXPECT_TRUE(Logged("Form " + Dir / "Main.dfm" + " not converted: no form holds Data.Table1"));
    EXPECT_EQ(ReadWholeFile(Dir / "Main.dfm"), kMain);
}

TEST_F(FormFiles, EachFormKeepsItsOwnFormat) {
    for (TCompFormat Format : {cfText, cfBinary, cfResource}) {
        SCOPED_TRACE(Format);
        TTestFolder Here;
        // The same form with a property today's reader drops, in each of the three forms.
        const std::string Canonical = DataForm(Format);
        TForm Data(nullptr);
        TCompFiler Filer;
        TStringStream In(Canonical);
        Filer.LoadFromStream(In, &Data);
        std::string Text = ObjectToText(&Data);
        Text = "object Data: TData\r\n  Obsolete = 'x'\r\n" + Text.substr(Text.find("\r\n") + 2);
        TMemoryStream Old;
        if (Format == cfText) {
            Old.WriteString(Text);
        } else {
            const std::string Binary = ObjectTextToBinary(Text);
            if (Format == cfResource) {
                const std::string Size{static_cast<char>(Binary.size()),
                                       static_cast<char>(Binary.size() >> 8), 0, 0};
                Old.WriteString(std::string("\xFF\x0A\x00"
                                            "Data\x00\x30\x10",
                                            10) +
                                Size);
            }
            Old.WriteString(Binary);
        }
        Old.SaveToFile(Here / "Data.dfm");
        Asked.clear();
        EXPECT_EQ(CorrectFormFiles(Here / "Data.dfm", false), 1);
        EXPECT_EQ(Asked.size(), 1u);
        EXPECT_EQ(ReadWholeFile(Here / "Data.dfm"), Canonical);
    }
}

} // namespace
