#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "framework/core/Registry.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "shellcontrols/FileDialogs.h"

namespace {

std::string Hex(TMemoryStream& S) {
    std::string Out;
    S.SetPosition(0);
    uint8_t B;
    while (S.Read(&B, 1) == 1)
        Out += Format("%02X ", B);
    return Out;
}

class TBoxes {
public:
    explicit TBoxes(int Answer = IDOK) {
        FSaved = SetMessageRequestFunc([this, Answer](const TMessageBoxRequest& R) {
            Texts.push_back(R.Text);
            Captions.push_back(R.Caption);
            return Answer;
        });
    }
    ~TBoxes() { SetMessageRequestFunc(FSaved); }
    std::vector<std::string> Texts, Captions;

private:
    TMessageRequestFunc FSaved;
};

// A list that shows one real folder and moves where it is told.
class TFakeView : public TNVFileDialogView {
public:
    explicit TFakeView(std::string Folder) : Folder(std::move(Folder)) {}
    std::string CurrentFolder() override { return Folder + "\\"; }
    void MoveTo(const std::string& F) override { Moves.push_back(F); }
    std::string SelectedPath() override { return Selected; }
    std::vector<std::string> FindByCaption(const std::string& Name) override {
        std::vector<std::string> R;
        if (FileExists(Folder + "\\" + Name))
            R.push_back(Folder + "\\" + Name);
        return R;
    }
    std::string Folder, Selected;
    std::vector<std::string> Moves;
};

} // namespace

TEST(FileDialogState, StreamAndRegistry) {
    TNVOpenDlg Dlg(nullptr);
    EXPECT_EQ(Dlg.GetFilename(), "");
    EXPECT_EQ(Dlg.FilterIndex, 1);
    Dlg.SetFilename("a.txt");
    EXPECT_EQ(Dlg.GetFilename(), "a.txt");

    TMemoryStream S;
    Dlg.WriteStateToStream(S);
    EXPECT_EQ(Hex(S), "FF FF FF FF FF FF FF FF 00 00 FF FF FF FF ");

    uint8_t Bytes[14] = {0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0, 2, 5, 0x8C, 0, 0, 0};
    TMemoryStream In;
    In.WriteBuffer(Bytes, 14);
    In.SetPosition(0);
    Dlg.ReadStateFromStream(In);
    EXPECT_EQ(Dlg.FormWidth, 800);
    EXPECT_EQ(Dlg.FormHeight, 600);
    EXPECT_EQ(Dlg.FormWindowState, TWindowState::wsMaximized);
    EXPECT_TRUE(Dlg.Options & nvofShowTree);
    EXPECT_EQ(Dlg.FormSplitterPos, 140);

    // A short stream changes nothing.
    TMemoryStream Short;
    Short.WriteBuffer(Bytes, 10);
    Short.SetPosition(0);
    TNVSaveDlg Other(nullptr);
    EXPECT_THROW(Other.ReadStateFromStream(Short), EReadError);
    EXPECT_EQ(Other.FormWidth, -1);

    const std::string Key = "\\Software\\ZEL shell tests " + std::to_string(GetCurrentProcessId());
    Dlg.WriteStateToRegistry(HKEY_CURRENT_USER, Key, "OpenDlg");
    TNVOpenDlg Back(nullptr);
    EXPECT_TRUE(Back.ReadStateFromRegistry(HKEY_CURRENT_USER, Key, "OpenDlg"));
    EXPECT_EQ(Back.FormWidth, 800);
    EXPECT_EQ(Back.FormSplitterPos, 140);
    // A missing key or value reads nothing and leaves the state alone.
    TNVOpenDlg Fresh(nullptr);
    EXPECT_FALSE(Fresh.ReadStateFromRegistry(HKEY_CURRENT_USER, Key + "\\missing", "OpenDlg"));
    EXPECT_FALSE(Fresh.ReadStateFromRegistry(HKEY_CURRENT_USER, Key, "NoSuchValue"));
    EXPECT_EQ(Fresh.FormWidth, -1);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key.substr(1).c_str());
}

TEST(FileDialogNames, QuotedNamesPathsAndInvalidNames) {
    struct {
        const char* Text;
        std::vector<std::string> Names;
    } Split[] = {
        {"\"a b.txt\" \"c.txt\"", {"a b.txt", "c.txt"}},
        {"plain name.txt", {"plain name.txt"}},
        {"x\"y z\"", {"x", "y z"}},
        {"  \"last  ", {"last"}},
    };
    for (const auto& C : Split)
        EXPECT_EQ(NVSplitQuotedNames(C.Text), C.Names) << C.Text;

    struct {
        const char* Folder;
        const char* Item;
        const char* Path;
    } Paths[] = {
        {"C:\\x\\y\\", "..\\a.txt", "C:\\x\\a.txt"},
        {"C:\\x\\y", "...\\a.txt", "C:\\a.txt"},
        {"C:\\", "..\\a.txt", "C:\\a.txt"},
        {"C:\\", "..", "C:\\"},
        {"C:\\x", ".\\sub\\b.txt", "C:\\x\\sub\\b.txt"},
        {"C:\\x", "D:", "D:\\"},
        {"C:\\x", "D:\\y.txt", "D:\\y.txt"},
        {"C:\\x\\y", "\\top.txt", "C:\\top.txt"},
        {"\\\\srv\\share\\dir", "\\f.txt", "\\\\srv\\share\\f.txt"},
        {"\\\\srv\\share\\dir", "..\\..\\f.txt", "\\\\srv\\share\\f.txt"},
        {"C:\\x", "\\\\srv\\s\\f", "\\\\srv\\s\\f"},
        {"C:\\x", "", ""},
    };
    for (const auto& C : Paths)
        EXPECT_EQ(NVCombinePath(C.Folder, C.Item), C.Path) << C.Folder << " + " << C.Item;

    EXPECT_TRUE(NVIsInvalidFileName("a|b"));
    EXPECT_TRUE(NVIsInvalidFileName("a/b"));
    EXPECT_TRUE(NVIsInvalidFileName("C:\\a\\\\b"));
    EXPECT_FALSE(NVIsInvalidFileName("\\\\server\\share\\f"));
    EXPECT_FALSE(NVIsInvalidFileName("C:\\a b\\c.txt"));
}

TEST(FileDialogNames, ExtensionDifferentIsMeasuredAgainstTheDefaultExtension) {
    struct {
        const char* Name;
        const char* Mask;
        const char* Result;
        bool Different;
    } Cases[] = {
        {"index", "*.htm", "index.htm", true},
        {"index", "*.html", "index.html", false},
        {"index", "*.*", "index.html", false},
        {"index.", "*.html", "index.html", false},
        {"index.zeltype", "*.html", "index.zeltype", true}, // a registered type stays
        {"index.zelnone", "*.htm", "index.zelnone.htm", true},
    };
    HKEY Key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".zeltype", &Key), ERROR_SUCCESS);
    RegCloseKey(Key);
    for (const auto& C : Cases) {
        TNVOpenOptions O = C.Different ? TNVOpenOptions(0) : TNVOpenOptions(nvofExtensionDifferent);
        EXPECT_EQ(NVApplyDefaultExt(C.Name, "html", C.Mask, O), C.Result) << C.Name << " " << C.Mask;
        EXPECT_EQ((O & nvofExtensionDifferent) != 0, C.Different) << C.Name << " " << C.Mask;
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".zeltype");
    TNVOpenOptions O = nvofExtensionDifferent;
    EXPECT_EQ(NVApplyDefaultExt("index", "", "*.htm", O), "index");
    EXPECT_EQ(O, static_cast<TNVOpenOptions>(nvofExtensionDifferent));
}

TEST(FileDialogNames, ChecksBeforeReturningAPath) {
    TShellTestFolder Dir({"there.txt"});
    {
        TBoxes Boxes;
        EXPECT_FALSE(NVCheckChosenFile(Dir.Path("missing\\new.txt"), nvofPathMustExist, "Save As"));
        ASSERT_EQ(Boxes.Texts.size(), 1u);
        EXPECT_EQ(Boxes.Texts[0], Dir.Path("missing\\new.txt") +
                                      "\nPath does not exist.\nPlease verify the correct path was given.");
        EXPECT_EQ(Boxes.Captions[0], "Save As");
        EXPECT_TRUE(NVCheckChosenFile(Dir.Path("new.txt"), nvofPathMustExist, "Save As"));
        EXPECT_FALSE(NVCheckChosenFile(Dir.Path("new.txt"), nvofFileMustExist, "Open"));
        EXPECT_EQ(Boxes.Texts.back(),
                  Dir.Path("new.txt") + "\nFile not found.\nPlease verify the correct file name was given.");
    }
    {
        TBoxes No(IDNO);
        EXPECT_FALSE(NVCheckChosenFile(Dir.Path("there.txt"), nvofOverwritePrompt, "Save As"));
        EXPECT_EQ(No.Texts.back(), Dir.Path("there.txt") + " already exists.\nDo you want to replace it?");
        EXPECT_FALSE(NVCheckChosenFile(Dir.Path("new.txt"), nvofCreatePrompt, "Open"));
        EXPECT_EQ(No.Texts.back(), "new.txt\nThis file does not exist.\n\nCreate the file?");
    }
    TBoxes Yes(IDYES);
    EXPECT_TRUE(NVCheckChosenFile(Dir.Path("there.txt"), nvofOverwritePrompt, "Save As"));
    SetFileAttributesA(Dir.Path("there.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(NVCheckChosenFile(Dir.Path("there.txt"), nvofNoReadOnlyReturn, "Save As"));
    EXPECT_TRUE(NVCheckChosenFile(Dir.Path("there.txt"), 0, "Save As"));
}

TEST(FileDialogNames, ParsingWhatWasTyped) {
    TShellTestFolder Dir({"a.txt", "b.txt", "sub\\"});
    TFakeView View(Dir.Root());
    TNVOpenOptions O = nvofFileMustExist;
    std::vector<std::string> Chosen;
    TBoxes Boxes;

    EXPECT_TRUE(NVParseInputString("\"a.txt\" \"b.txt\"", View, "", "*.txt", O, "Open", Chosen));
    EXPECT_EQ(Chosen, (std::vector<std::string>{Dir.Path("a.txt"), Dir.Path("b.txt")}));

    // A folder name moves the list there and keeps the dialog open.
    EXPECT_FALSE(NVParseInputString("sub", View, "", "*.txt", O, "Open", Chosen));
    ASSERT_EQ(View.Moves.size(), 1u);
    EXPECT_EQ(View.Moves[0], Dir.Path("sub"));
    EXPECT_TRUE(Chosen.empty());

    // The default extension comes from the selected type.
    EXPECT_TRUE(NVParseInputString("a", View, "txt", "*.txt", O, "Open", Chosen));
    EXPECT_EQ(Chosen, std::vector<std::string>{Dir.Path("a.txt")});

    EXPECT_FALSE(NVParseInputString("c|d", View, "", "*.txt", O, "Open", Chosen));
    EXPECT_EQ(Boxes.Texts.back(), "c|d\nThe above file name is invalid.");

    // A save dialog with "path must exist" refuses a name in a missing folder.
    TNVOpenOptions Save = nvofPathMustExist | nvofOverwritePrompt;
    EXPECT_FALSE(NVParseInputString("nofolder\\new.html", View, "html", "*.html", Save, "Save As", Chosen));
    EXPECT_EQ(Boxes.Texts.back().rfind(Dir.Path("nofolder\\new.html") + "\nPath does not exist.", 0), 0u);
    EXPECT_TRUE(Chosen.empty());
}
