// The main window's menu commands that change text, its view toggles, the editor options dialog,
// the inserter windows, files dropped on the window and the outside programs it starts.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/FileInfo.h"
#include "editor/core/Settings.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/EditorOptionsForm.h"
#include "editor/mainwindow/GoToLineForm.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MySource.h"
#include "editor/mainwindow/TagInserterForm.h"
#include "framework/core/Registry.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Printers.h"
#include "framework/ui/ShellExec.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/OpenDialogForm.h"

namespace fs = std::filesystem;

namespace {

class CommandsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SetMemoSourceFactory(&NewMySource);
        p = new prgclass;
        p->config->htmlExtensions = "htm,html";
        // No inserter windows unless a test asks for them.
        p->iface->flags2 &= ~(InserterKindTag | InserterKindCSS);
        Form = new TZELQEForm(Application);
        Form->FormCreate();
    }
    void TearDown() override {
        SetModalHook(nullptr);
        SetCommonDialogHook(nullptr);
        delete Form;
        delete p;
        p = nullptr;
        UiTest::TearDown();
    }
    TCustomMemoSource* Source() { return Form->ActiveEditorSource(); }
    // The document's text with "|" at the caret and "{" "}" around a stream selection.
    void Load(const std::string& Marked) {
        std::string Text;
        int Line = 0, Char = 0, CaretLine = 0, CaretChar = 0, SelLine[2] = {-1, -1}, SelChar[2] = {0, 0};
        for (char C : Marked) {
            if (C == '|') {
                CaretLine = Line, CaretChar = Char;
            } else if (C == '{' || C == '}') {
                SelLine[C == '}'] = Line, SelChar[C == '}'] = Char;
            } else {
                Text += C;
                if (C == '\n')
                    ++Line, Char = 0;
                else
                    ++Char;
            }
        }
        Source()->LoadFromString(Text);
        if (SelLine[0] >= 0)
            Source()->SetSelection(stStreamSel, SelChar[0], SelLine[0], SelChar[1], SelLine[1]);
        Source()->JumpTo(CaretChar, CaretLine);
        Source()->ClearUndoBuffer();
        Form->SetActiveControl(Form->HSMemo);
    }
    std::string Text() {
        std::string T;
        for (int32_t I = 0; I < Source()->GetStrCount(); ++I)
            T += (I ? "\n" : "") + Source()->Lines()[I];
        return T;
    }
    std::string Selected() { return Form->ActiveEditorMemo->GetSelText(); }
    void Click(const std::string& Name) {
        TMenuItem* I = Form->Item(Name);
        ASSERT_NE(I, nullptr) << Name;
        I->Click();
    }
    std::string WriteFile(const std::string& Name, const std::string& Content) {
        fs::path F = fs::path(OutputDir()) / Name;
        std::ofstream(F, std::ios::binary) << Content;
        return F.string();
    }
    TZELQEForm* Form = nullptr;
};

// --- commands that change text ------------------------------------------------------------------

TEST_F(CommandsTest, TextCommandsChangeTheDocumentAndOneUndoRestoresIt) {
    struct TCase {
        const char* Before;
        const char* Command;
        uint32_t OptionBits; // set in the option word for this case
        const char* After;
        const char* SelectedAfter;
    };
    const TCase Cases[] = {
        {"ab|cd", "TagsBold", 0, "ab<b></b>cd", ""},
        {"x {word}| y", "TagsBold", 0, "x <b>word</b> y", "word"},
        {"x |{word} y", "TagsBold", 0, "x <b>word</b> y", "word"},
        {"{two\nlines}|", "TagsParagraph", 0, "<p>two\nlines</p>", "two\r\nlines"},
        // The caret outside the selection: the texts go in at the caret, the selection stays.
        {"{ab} c|d", "TagsItalic", 0, "ab c<i></i>d", "ab"},
        {"|", "TagsEntitiesTrademark", 0, "&trade;", ""},
        {"|", "TagsFormsINPUT", 0, "<input type=\"\">", ""},
        {"|", "TagsMediaIMG", 0, "<img src=\"\" alt=\"\">", ""},
        {"a|", "TagsBreakAndNewline", 0, "a<br>\n", ""},
        // Blocks are overwritten by default: a single text replaces the selection.
        {"{sel}|", "TagsBreak", 0, "<br>", ""},
        {"|", "TagsBold", 0x400, "<B></B>", ""},
        {"|", "TagsMetaDescription", 0x400, "<META NAME=\"DESCRIPTION\" CONTENT=\"\">", ""},
        {"|", "TagsEntitiesCopyright", 0x400, "&copy;", ""},
        {"|", "TagsHTML401Strict", 0x400,
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\n",
         ""},
        {"|", "TagsWMLPrologue", 0,
         "<?xml version=\"1.0\"?>\n<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.2//EN\" "
         "\"http://www.wapforum.org/DTD/wml_1.2.xml\">\n",
         ""},
        {"{MiXed}|", "EditorPopupLowercase", 0, "mixed", "mixed"},
        {"{MiXed}|", "EditorPopupUppercase", 0, "MIXED", "MIXED"},
    };
    const uint32_t Flags = p->config->flags;
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Command) + " on " + C.Before);
        p->config->flags = (Flags & ~0x400u) | C.OptionBits;
        Load(C.Before);
        const std::string Original = Text();
        Click(C.Command);
        EXPECT_EQ(Text(), C.After);
        EXPECT_EQ(Selected(), C.SelectedAfter);
        Form->EditUndoClick(nullptr);
        EXPECT_EQ(Text(), Original);
        EXPECT_TRUE(Boxes.empty());
    }
    p->config->flags = Flags;
}

TEST_F(CommandsTest, BoldWithoutSelectionLeavesTheCaretBetweenTheTags) {
    Load("ab|");
    Click("TagsBold");
    EXPECT_EQ(Source()->GetCurChar(), 5);
}

TEST_F(CommandsTest, WithoutOverwrittenBlocksASingleTextKeepsTheSelection) {
    Load("x{sel}|y");
    const TStringsOptions Options = Source()->Options() & ~soOverwriteBlocks;
    Source()->SetOptions(Options);
    Click("TagsBreak");
    EXPECT_EQ(Text(), "xsel<br>y");
    EXPECT_EQ(Selected(), "sel");
    EXPECT_EQ(Source()->Options(), Options);
}

TEST_F(CommandsTest, ColumnSelectionIsNotWrapped) {
    Load("abc\ndef|");
    Source()->SetSelection(stBlockSel, 0, 0, 1, 1);
    Source()->JumpTo(3, 1);
    Click("TagsBold");
    EXPECT_EQ(Text(), "abc\ndef<b></b>");
}

TEST_F(CommandsTest, ReadOnlyDocumentOrFocusElsewhereInsertsNothing) {
    Load("a|");
    Source()->SetROnly(true);
    Click("TagsBold");
    EXPECT_EQ(Text(), "a");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Document is read only. Cannot insert text.");
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Read Only");
    Source()->SetROnly(false);
    Boxes.clear();
    Form->SetActiveControl(nullptr);
    Form->InsertAroundSelection("<b>", "</b>", 0);
    EXPECT_EQ(Text(), "a");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, InsertColorWritesTheChosenColourInHexadecimal) {
    SetCommonDialogHook([](TCommonDialog& D) {
        static_cast<TColorDialog&>(D).Color = static_cast<TColor>(RGB(255, 0, 0x0a));
        return true;
    });
    for (bool Capitals : {false, true}) {
        p->config->flags = Capitals ? (p->config->flags | 0x400) : (p->config->flags & ~0x400u);
        Load("|");
        Click("TagsInsertColor");
        EXPECT_EQ(Text(), Capitals ? "#FF000A" : "#ff000a");
    }
}

TEST_F(CommandsTest, GoToLineRefusesTextThatIsNotANumber) {
    Load("a\nb\n|c");
    for (const char* Typed : {"abc", "2x", "1.5"}) {
        Boxes.clear();
        SetModalHook([&](TCustomForm& F) {
            auto& D = dynamic_cast<TGoToLineForm&>(F);
            D.GoToLineEdit->SetText(Typed);
            D.SetModalResult(mrOk);
        });
        Form->EditGoToLineClick(nullptr);
        EXPECT_EQ(Source()->GetCurLine(), 2) << Typed;
        ASSERT_EQ(Boxes.size(), 1u) << Typed;
        EXPECT_EQ(Boxes[0].Caption, "Orvalent: Invalid Line Number");
    }
}

// --- view toggles -----------------------------------------------------------------------------------

TEST_F(CommandsTest, ViewTogglesFlipTheirBitAndTheWindowFollows) {
    Form->Show();
    struct TCase {
        const char* Command;
        uint32_t Bit;
        std::function<bool()> Shown;
    };
    const TCase Cases[] = {
        {"ViewGutter", 0x100,
         [&] { return Form->HSMemo->HasOption(moDrawGutter) && Form->HSMemo2->HasOption(moDrawGutter); }},
        {"ViewLineNumbers", 0x80,
         [&] { return Form->HSMemo->HasOption(moLineNumbers) && Form->HSMemo2->HasOption(moLineNumbers); }},
        {"ViewRightMargin", 0x200, [&] { return Form->HSMemo->HasOption(moDrawMargin); }},
        {"ViewStatusBar", 0x8, [&] { return Form->StatusBar->Visible(); }},
        {"ViewSpeedBar", 0x4, [&] { return Form->SpeedBarPanel->Visible(); }},
        {"OptionsWordWrap", 0x2, [&] { return Form->HSMemo->WordWrap(); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Command);
        const bool Before = p->iface->flags & C.Bit;
        EXPECT_EQ(C.Shown(), Before);
        Click(C.Command);
        EXPECT_EQ((p->iface->flags & C.Bit) != 0, !Before);
        EXPECT_EQ(C.Shown(), !Before);
        EXPECT_EQ(Form->Item(C.Command)->Checked(), !Before);
        Click(C.Command);
        EXPECT_EQ(C.Shown(), Before);
    }
    // The pop-up's hide item only hides.
    p->iface->flags |= 0x8;
    Form->ArrangePanels(0);
    for (int I = 0; I < 2; ++I) {
        Click("HideStatusBar");
        EXPECT_FALSE(Form->StatusBar->Visible());
    }
}

// --- the editor options dialog ------------------------------------------------------------------------

TEST_F(CommandsTest, EditorOptionsOkWritesTheSettingsAndTheWindowFollows) {
    Form->Show();
    p->config->rightMargin = 80;
    p->config->flags &= ~0x400u;
    p->iface->flags2 |= 0x10 | 0x40;
    p->config->noExtensionFileType = 77; // not in the kind table
    std::string ShownKind;
    bool IncludeBoxEnabled = true;
    SetModalHook([&](TCustomForm& F) {
        auto& D = dynamic_cast<TEditorOptionsForm&>(F);
        ShownKind = D.NoExtensionFileTypeComboBox->Items()[D.NoExtensionFileTypeComboBox->ItemIndex()];
        IncludeBoxEnabled = D.Box("IncludeGroupedMessagesCheckBox")->Enabled();
        D.Box("InsertHTMLUppercase")->SetChecked(true);
        D.Edit("RightMarginEdit")->SetText("100");
        D.Edit("CSSExtensionsEdit")->SetText("css,less");
        D.NoExtensionFileTypeComboBox->SetItemIndex(4); // HTML
        D.OKBtn->Click();
    });
    Click("OptionsEditorOptions");
    EXPECT_EQ(ShownKind, "Unrecognized");
    EXPECT_FALSE(IncludeBoxEnabled);
    EXPECT_TRUE(p->config->flags & 0x400);
    EXPECT_EQ(p->config->rightMargin, 100);
    EXPECT_STREQ(p->config->cssExtensions.getString(), "css,less");
    EXPECT_EQ(p->config->noExtensionFileType, 1);
    EXPECT_EQ(p->iface->flags2 & (0x10 | 0x40), 0u);
    EXPECT_EQ(Form->HSMemo->MarginPos(), 100);
    // The window's commands follow the stored options.
    Load("|");
    Click("TagsBold");
    EXPECT_EQ(Text(), "<B></B>");
    // The settings reached the registry.
    TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(ZelRegistryInterface));
    EXPECT_EQ(Reg.ReadInteger("RightMargin"), 100);
}

TEST_F(CommandsTest, EditorOptionsCancelAndBadMarginsKeepTheSettings) {
    const uint32_t Flags = p->config->flags, IfFlags = p->iface->flags;
    p->config->rightMargin = 80;
    struct TCase {
        const char* Margin;
        bool Ok;
    };
    for (const TCase& C : {TCase{"120", false}, TCase{"1", true}, TCase{"0", true}, TCase{"wide", true}}) {
        SetModalHook([&](TCustomForm& F) {
            auto& D = dynamic_cast<TEditorOptionsForm&>(F);
            D.Edit("RightMarginEdit")->SetText(C.Margin);
            D.Box("SmartTabCheckBox")->SetChecked(!D.Box("SmartTabCheckBox")->Checked());
            if (C.Ok)
                D.OKBtn->Click();
            else
                D.SetModalResult(mrCancel);
        });
        Click("OptionsEditorOptions");
        EXPECT_EQ(p->config->rightMargin, 80) << C.Margin;
        if (!C.Ok) {
            EXPECT_EQ(p->iface->flags, IfFlags);
        }
    }
    EXPECT_EQ(p->config->flags, Flags);
}

// --- inserter windows -----------------------------------------------------------------------------

TEST_F(CommandsTest, InserterWindowsInsertTheirSnippetsAndReloadTheirFile) {
    const std::string Config = WriteFile(
        "tags.txt", "<zeltaginserterconfiguration version=\"1\">\n"
                    "<tag menu=\"&amp;Table\" caption=\"td\" inserttext=\"&lt;td&gt;|&lt;/td&gt;\"/>\n"
                    "<tag menu=\"&amp;Table\" caption=\"hr\" inserttext=\"&lt;hr&gt;\"/>\n"
                    "<tag menu=\"&amp;Table\" flags=\"4\"/>\n"
                    "<tag menu=\"&amp;Table\" caption=\"Close\" flags=\"8\"/>\n"
                    "</zeltaginserterconfiguration>\n");
    inserterclass* Rec = FindInserter(p->vol->inserters, InserterKindTag, 1);
    ASSERT_NE(Rec, nullptr);
    Rec->configFile = Config.c_str();
    Rec->left = -40;
    Click("ViewTagInserter");
    EXPECT_TRUE(p->iface->flags2 & InserterKindTag);
    EXPECT_TRUE(Form->Item("ViewTagInserter")->Checked());
    TTagInserterForm* W = Form->Commands->InserterWindow(InserterKindTag);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->Left(), 0);
    TMenuItem* Menu = W->TagInserterMenu->Items();
    ASSERT_EQ(Menu->Count(), 1);
    EXPECT_EQ(Menu->Items(0)->Caption(), "&Table");
    ASSERT_EQ(Menu->Items(0)->Count(), 4);

    Load("a {word}| b");
    Menu->Items(0)->Items(0)->Click();
    EXPECT_EQ(Text(), "a <td>word</td> b");
    Load("x|y");
    Menu->Items(0)->Items(1)->Click();
    EXPECT_EQ(Text(), "x<hr>y");
    Menu->Items(0)->Items(2)->Click(); // the separator does nothing
    EXPECT_EQ(Text(), "x<hr>y");
    // With the focus outside the editor a snippet goes nowhere.
    Form->SetActiveControl(nullptr);
    Menu->Items(0)->Items(1)->Click();
    EXPECT_EQ(Text(), "x<hr>y");

    // The close item hides the window and clears its check mark.
    Menu->Items(0)->Items(3)->Click();
    EXPECT_FALSE(p->iface->flags2 & InserterKindTag);
    EXPECT_FALSE(Form->Item("ViewTagInserter")->Checked());

    // Reload reads the changed file; an unreadable one leaves no snippets and no message.
    p->iface->flags2 |= InserterKindTag;
    WriteFile("tags.txt",
              "<zeltaginserterconfiguration>\n<tag menu=\"New\" caption=\"one\" inserttext=\"1\"/>\n"
              "</zeltaginserterconfiguration>\n");
    Click("OptionsTagInserterReload");
    W = Form->Commands->InserterWindow(InserterKindTag);
    ASSERT_NE(W, nullptr);
    ASSERT_EQ(W->TagInserterMenu->Items()->Count(), 1);
    EXPECT_EQ(W->TagInserterMenu->Items()->Items(0)->Caption(), "New");
    Rec->configFile = (Config + ".missing").c_str();
    Click("OptionsTagInserterReload");
    W = Form->Commands->InserterWindow(InserterKindTag);
    ASSERT_NE(W, nullptr);
    for (int I = 0; I < W->TagInserterMenu->Items()->Count(); ++I)
        EXPECT_EQ(W->TagInserterMenu->Items()->Items(I)->Count(), 0);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, InserterWindowsComeAfterTheFirstIdlePass) {
    p->iface->flags2 |= InserterKindCSS;
    bool Done = true;
    Form->AppIdle(nullptr, Done); // the first pass, where the command line's files open
    EXPECT_EQ(Form->Commands->InserterWindow(InserterKindCSS), nullptr)
        << "not before the main window paints";
    Form->AppIdle(nullptr, Done);
    EXPECT_NE(Form->Commands->InserterWindow(InserterKindCSS), nullptr);
}

TEST_F(CommandsTest, InserterWindowFloatsWithoutATaskBarButton) {
    p->iface->flags2 |= InserterKindCSS;
    Form->Commands->UpdateInserters(1 | 2);
    TTagInserterForm* W = Form->Commands->InserterWindow(InserterKindCSS);
    ASSERT_NE(W, nullptr);
    const LONG Ex = GetWindowLongA(W->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(Ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(Ex & WS_EX_TOPMOST);
    EXPECT_FALSE(Ex & WS_EX_APPWINDOW);
}

// --- dropped files --------------------------------------------------------------------------------

// A drop as the shell makes it: a DROPFILES header and the names, each ended by a zero, then one more.
HGLOBAL MakeDrop(const std::vector<std::string>& Names) {
    std::string List;
    for (const std::string& N : Names)
        List += N + '\0';
    List += '\0';
    HGLOBAL H = GlobalAlloc(GHND, sizeof(DROPFILES) + List.size());
    auto* D = static_cast<DROPFILES*>(GlobalLock(H));
    D->pFiles = sizeof(DROPFILES);
    D->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(D) + sizeof(DROPFILES), List.data(), List.size());
    GlobalUnlock(H);
    return H;
}

TEST_F(CommandsTest, FilesDroppedOnTheWindowOpenAndFoldersAreSkipped) {
    Form->Show();
    const std::string A = WriteFile("dropped-a.html", "<p>a</p>\r\n");
    const std::string B = WriteFile("dropped-b.html", "<p>b</p>\r\n");
    const std::string Folder = (fs::path(OutputDir()) / "folder").string();
    fs::create_directory(Folder);
    ASSERT_TRUE(
        PostMessageA(Form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({A, Folder, B})), 0));
    ASSERT_TRUE(PumpUntil([&] { return Form->TabControl1->Tabs().size() == 2; }));
    EXPECT_EQ(Form->TabControl1->Tabs(), (std::vector<std::string>{"dropped-a.html", "dropped-b.html"}));
}

TEST_F(CommandsTest, DroppedNamesAreReadWhateverTheirLength) {
    const std::string Long = "C:\\" + std::string(300, 'n') + "\\page.html";
    HGLOBAL H = MakeDrop({"C:\\short.htm", Long});
    EXPECT_EQ(DroppedFileNames(static_cast<HDROP>(H)), (std::vector<std::string>{"C:\\short.htm", Long}));
    GlobalFree(H);
}

TEST_F(CommandsTest, DropWindowRefusesADropWithoutAnAction) {
    p->config->flags &= ~3u;
    Click("DragDropViewDragDropWindow");
    ASSERT_NE(Form->Commands->DropWindow, nullptr);
    EXPECT_TRUE(Form->Item("DragDropViewDragDropWindow")->Checked());
    const std::string A = WriteFile("drop.html", "<p>a</p>");
    Form->Commands->DropWindow->DropFiles(static_cast<HDROP>(MakeDrop({A})));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Drag And Drop Action Not Specified");
    // A cancelled tool dialog processes nothing either.
    Boxes.clear();
    Click("DragDropUseTool");
    p->tools->flags |= 1;
    bool Asked = false;
    SetModalHook([&](TCustomForm& F) {
        Asked = dynamic_cast<TDragDropToolForm*>(&F) != nullptr;
        F.SetModalResult(mrCancel);
    });
    Form->Commands->DropWindow->DropFiles(static_cast<HDROP>(MakeDrop({A})));
    EXPECT_TRUE(Asked);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_STRNE(p->vol->fileToValidate.getString() ? p->vol->fileToValidate.getString() : "", A.c_str());
    Click("DragDropViewDragDropWindow");
    EXPECT_FALSE(Form->Commands->DropWindow->Visible());
    // Shown again from a place off the screen's edges, it comes back onto the screen.
    Form->Commands->DropWindow->SetBounds(-40, -30, Form->Commands->DropWindow->Width(),
                                          Form->Commands->DropWindow->Height());
    Click("DragDropViewDragDropWindow");
    EXPECT_TRUE(Form->Commands->DropWindow->Visible());
    EXPECT_EQ(Form->Commands->DropWindow->Left(), 0);
    EXPECT_EQ(Form->Commands->DropWindow->Top(), 0);
    // The engine has no configuration editor: its item stays out of sight, as in the main menu.
    TMenuItem* Root = Form->Commands->DropWindow->DragPopupMenu->Items();
    for (int I = 0; I < Root->Count(); ++I)
        EXPECT_FALSE(Root->Items(I)->Visible() && Root->Items(I)->Caption() == "C&onfiguration Editor...");
}

TEST_F(CommandsTest, ToolDialogStoresTheChosenToolOnlyOnOk) {
    p->tools->defaultDragAndDropTool = 2;
    p->tools->flags |= 1;
    for (bool Ok : {false, true}) {
        SetModalHook([&](TCustomForm& F) {
            auto& D = dynamic_cast<TDragDropToolForm&>(F);
            EXPECT_TRUE(D.ToolButtons[1]->Checked());
            D.ToolButtons[3]->SetChecked(true);
            D.ShowDragDropToolDialogCheckBox->SetChecked(false);
            if (Ok)
                D.OKBtn->Click();
            else
                D.SetModalResult(mrCancel);
        });
        Click("DragDropOptions");
        EXPECT_EQ(p->tools->defaultDragAndDropTool, Ok ? 4 : 2);
        EXPECT_EQ(p->tools->flags & 1, Ok ? 0u : 1u);
        p->tools->defaultDragAndDropTool = 2;
        p->tools->flags |= 1;
    }
}

// --- outside programs -----------------------------------------------------------------------------

struct TShellCall {
    std::string Verb, File, Parameters;
};

TEST_F(CommandsTest, StyleSheetEditorIsFoundByItsRegistryKeysOrSaidMissing) {
    std::vector<TShellCall> Calls;
    SetShellExecuteFunc(
        [&](const std::string& V, const std::string& F, const std::string& P, const std::string&, int) {
            Calls.push_back({V, F, P});
            return true;
        });
    const std::string Sheet = WriteFile("site.css", "p { color: red }\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Sheet.c_str(), 0), 0);
    const char* Key = "SOFTWARE\\Kestrel\\Stylewright";
    {
        TRegistry Reg;
        Reg.SetRootKey(HKEY_LOCAL_MACHINE);
        Reg.DeleteKey(Key);
    }
    Click("ValidateStyleSheetwithStylewright1");
    EXPECT_TRUE(Calls.empty());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: ");
    EXPECT_EQ(Boxes[0].Text.rfind("This feature requires Stylewright Pro 2.0 or greater.", 0), 0u);

    {
        TRegistry Reg;
        Reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(Reg.OpenKey(Key, true));
        Reg.WriteString("CurrentProVersion", "C:\\Kestrel\\sw.exe");
    }
    Click("ValidateStyleSheetwithStylewright1");
    {
        TRegistry Reg;
        Reg.SetRootKey(HKEY_LOCAL_MACHINE);
        Reg.DeleteKey(Key);
    }
    SetShellExecuteFunc(nullptr);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Verb, "open");
    EXPECT_EQ(Calls[0].File, "C:\\Kestrel\\sw.exe");
    EXPECT_EQ(Calls[0].Parameters, "/v \"" + Sheet + "\"");
}

TEST_F(CommandsTest, HelpAndLinkCommandsOpenThroughTheShell) {
    std::vector<TShellCall> Calls;
    SetShellExecuteFunc(
        [&](const std::string& V, const std::string& F, const std::string& P, const std::string&, int) {
            Calls.push_back({V, F, P});
            return true;
        });
    p->vol->documentationFolder = "C:\\Zel\\Documentation";
    Click("HelpContents");
    Click("ToolsHelp");
    Click("LinksSpecsCSS2");
    SetShellExecuteFunc(nullptr);
    ASSERT_EQ(Calls.size(), 3u);
    EXPECT_EQ(Calls[0].File, "C:\\Zel\\Documentation\\contents.html");
    EXPECT_EQ(Calls[1].File, "C:\\Zel\\Documentation\\usingthetools.html");
    EXPECT_EQ(Calls[2].File.rfind("https://www.w3.org/", 0), 0u);
}

// The find dialog's help page stands in the documentation folder, or is opened by its bare name
// when there is no folder (not from the root of the drive).
TEST_F(CommandsTest, FindDialogHelpJoinsTheFolderOnlyWhenThereIsOne) {
    std::vector<std::string> Opened;
    SetShellExecuteFunc(
        [&](const std::string&, const std::string& F, const std::string&, const std::string&, int) {
            Opened.push_back(F);
            return true;
        });
    SetModalHook([&](TCustomForm& F) {
        if (auto* Help = dynamic_cast<TButton*>(F.FindComponent("HelpBut")))
            Help->Click();
        F.SetModalResult(mrCancel);
    });
    for (const char* Folder : {"", "C:\\Zel\\Documentation"}) {
        p->vol->documentationFolder = Folder;
        Click("SearchFind");
    }
    SetShellExecuteFunc(nullptr);
    EXPECT_EQ(Opened, (std::vector<std::string>{"findreplacedialog.html",
                                                "C:\\Zel\\Documentation\\findreplacedialog.html"}));
}

// Every way to help that a user has opens a page that is installed in the documentation folder:
// F1, the speed bar's button, the Tools and Help menus, the Help button of each dialog and the
// question of the first start.
TEST_F(CommandsTest, EveryHelpCommandOpensAnInstalledPage) {
    std::vector<std::string> Opened;
    bool ShellSucceeds = true;
    SetShellExecuteFunc(
        [&](const std::string&, const std::string& F, const std::string&, const std::string&, int) {
            Opened.push_back(F);
            return ShellSucceeds;
        });
    char Own[MAX_PATH];
    GetModuleFileNameA(nullptr, Own, MAX_PATH);
    const fs::path Folder = fs::path(Own).parent_path() / "Documentation";
    p->vol->documentationFolder = Folder.string().c_str();
    std::vector<std::string> Expected;
    auto Expect = [&](const char* Page) { Expected.push_back((Folder / Page).string()); };

    Form->Show();
    Form->SetActiveControl(Form->HSMemo);
    PostKey(Form->HSMemo->Handle(), VK_F1);
    EXPECT_TRUE(PumpUntil([&] { return !Opened.empty(); }));
    Expect("contents.html");
    ASSERT_NE(Form->Button("HelpContentsBtn"), nullptr);
    Form->Button("HelpContentsBtn")->Click();
    Expect("contents.html");
    Click("ToolsHelp");
    Expect("usingthetools.html");
    Click("HelpOrdering");
    Expect("orderinginformation.html");

    // The editor options: the Help button of each sheet the user sees.
    const std::pair<const char*, const char*> Sheets[] = {{"Editor 1", "editoreditortab.html"},
                                                          {"Editor 2", "editoreditortab.html"},
                                                          {"HTML and Results", "editorhtmltab.html"},
                                                          {"File Types", "editorfiletypestab.html"}};
    SetModalHook([&](TCustomForm& F) {
        auto& D = dynamic_cast<TEditorOptionsForm&>(F);
        auto* Help = dynamic_cast<TButton*>(D.FindComponent("HelpBtn"));
        ASSERT_NE(Help, nullptr);
        for (const auto& [Sheet, Page] : Sheets) {
            D.EditorOptionsPageControl->SetActivePage(D.Sheets.at(Sheet));
            Help->Click();
            Expect(Page);
        }
        D.SetModalResult(mrCancel);
    });
    Click("OptionsEditorOptions");

    SetModalHook([&](TCustomForm& F) {
        dynamic_cast<TDragDropToolForm&>(F).HelpBtn->Click();
        F.SetModalResult(mrCancel);
    });
    Click("DragDropOptions");
    Expect("draganddropdefaulttoolselectdialogbox.html");

    SetModalHook([&](TCustomForm& F) {
        auto* Help = dynamic_cast<TButton*>(F.FindComponent("HelpBut"));
        ASSERT_NE(Help, nullptr);
        EXPECT_TRUE(Help->Enabled());
        Help->Click();
        F.SetModalResult(mrCancel);
    });
    Click("SearchFind");
    Click("SearchReplace");
    Expect("findreplacedialog.html");
    Expect("findreplacedialog.html");
    SetModalHook(nullptr);

    // The first start asks whether to show the getting started page. The shell refuses here, so
    // that the program does not wait for a browser to come up; the page asked for is what counts.
    ShellSucceeds = false;
    BoxAnswer = IDYES;
    Boxes.clear();
    FirstRun();
    Expect("gettingstarted.html");
    ASSERT_FALSE(Boxes.empty());
    EXPECT_EQ(Boxes[0].Text, "Would you like to view the Getting Started documentation page (recommended)?");
    SetShellExecuteFunc(nullptr);

    EXPECT_EQ(Opened, Expected);
    for (const std::string& Page : Opened)
        EXPECT_TRUE(fs::is_regular_file(Page)) << Page;
}

} // namespace

namespace {

// --- editor pop-up and window handlers --------------------------------------------------------------

TEST_F(CommandsTest, PopupBookmarkItemsFollowTheDocument) {
    Load("one\ntwo\n|three");
    Form->Item("EditorPopupToggleBookmark3")->Click();
    Form->EditorPopupMenu->OnPopup(Form->EditorPopupMenu);
    for (int Digit = 0; Digit <= 9; ++Digit) {
        const std::string D = std::to_string(Digit);
        EXPECT_EQ(Form->Item("EditorPopupToggleBookmark" + D)->Checked(), Digit == 3) << D;
        EXPECT_EQ(Form->Item("EditorPopupGotoBookmark" + D)->Enabled(), Digit == 3) << D;
    }
    Source()->JumpTo(0, 0);
    Form->Item("EditorPopupGotoBookmark3")->Click();
    EXPECT_EQ(Source()->GetCurLine(), 2);
    Form->Item("EditorPopupToggleBookmark3")->Click();
    Form->EditorPopupMenu->OnPopup(Form->EditorPopupMenu);
    EXPECT_FALSE(Form->Item("EditorPopupToggleBookmark3")->Checked());
}

// The editor memo with its key handling in reach.
struct TKeyedMemo : THSMemo {
    using THSMemo::KeyDown;
};

// The pop-up, the keys and the gutter number the bookmarks alike: items 0 to 9 carry the keys that
// do the same, and 0 is bookmark 10, the one a gutter click sets.
TEST_F(CommandsTest, BookmarkItemsNumberAsTheKeysAndTheGutter) {
    TMenuItem* Toggle = Form->Item("EditorPopupToggleBookmark");
    TMenuItem* GoTo = Form->Item("EditorPopupGotoBookmark");
    ASSERT_EQ(Toggle->Count(), 10);
    ASSERT_EQ(GoTo->Count(), 10);
    for (int Digit = 0; Digit <= 9; ++Digit) {
        const std::string D = std::to_string(Digit);
        for (TMenuItem* I : {Toggle->Items(Digit), GoTo->Items(Digit)}) {
            EXPECT_EQ(I->Caption(), "Bookmark &" + D);
            EXPECT_EQ(I->Tag(), Digit == 0 ? 10 : Digit) << D;
        }
        EXPECT_EQ(ShortCutToText(Toggle->Items(Digit)->ShortCut()), "Shift+Ctrl+" + D);
        EXPECT_EQ(ShortCutToText(GoTo->Items(Digit)->ShortCut()), "Ctrl+" + D);
    }
    Load("one\ntwo\nthree");
    Form->HSMemoClickGutter(Form->HSMemo, 1, -1, ssLeft);
    Form->EditorPopupMenu->OnPopup(Form->EditorPopupMenu);
    EXPECT_TRUE(Form->Item("EditorPopupToggleBookmark0")->Checked());
    EXPECT_FALSE(Form->Item("EditorPopupToggleBookmark1")->Checked());
    Source()->JumpTo(0, 0);
    Form->Item("EditorPopupGotoBookmark0")->Click();
    EXPECT_EQ(Source()->GetCurLine(), 1);
    // The key the item names reaches the same bookmark.
    Source()->JumpTo(0, 2);
    WORD Zero = '0';
    static_cast<TKeyedMemo*>(Form->HSMemo)->KeyDown(Zero, ssCtrl);
    EXPECT_EQ(Zero, 0) << "the key map took the key";
    EXPECT_EQ(Source()->GetCurLine(), 1);
}

TEST_F(CommandsTest, OpenFileFromTheSelectionResolvesAgainstTheDocument) {
    fs::create_directory(fs::path(OutputDir()) / "img");
    const std::string Target = WriteFile("img\\a.html", "<p>a</p>\r\n");
    const std::string Page = WriteFile("index.html", "img\\a.html#top\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    Source()->SetSelection(stStreamSel, 0, 0, 14, 0);
    Form->Item("EditorPopupOpenFile")->Click();
    EXPECT_EQ(Form->TabControl1->Tabs(), (std::vector<std::string>{"index.html", "a.html"}));
    (void)Target;
}

TEST_F(CommandsTest, TheWindowIsNeverNarrowerThan480Pixels) {
    Form->Show();
    SetWindowPos(Form->Handle(), nullptr, 0, 0, 300, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    EXPECT_GE(R.right - R.left, 300); // a program may size it; the user's drag is what the limit stops
    MINMAXINFO Info{};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, 480);
}

TEST_F(CommandsTest, HotKeyBringsTheWindowBack) {
    Form->Show();
    ShowWindow(Form->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(Form->Handle()));
    SendMessageA(Form->Handle(), WM_HOTKEY, 0, 0);
    EXPECT_FALSE(IsIconic(Form->Handle()));
}

} // namespace

#include "SilentServer.h"
#include "editor/core/UpdateCheck.h"

namespace {

struct TDuringCheck {
    bool Ran = false, Running = false, ItemEnabled = true, SecondReturned = false;
    TZELQEForm* Form = nullptr;
};
TDuringCheck* During = nullptr;

void CALLBACK WhileChecking(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (!During || During->Ran)
        return;
    During->Ran = true;
    During->Running = IsUpdateCheckRunning();
    During->ItemEnabled = During->Form->Item("HelpCheckVersion")->Enabled();
    // A second check is refused at once while the first waits.
    RunUpdateCheck(nullptr, UpdateCheckAlreadyAsked);
    During->SecondReturned = true;
    CancelUpdateCheck();
}

TEST_F(CommandsTest, UpdateCheckKeepsTheWindowUsableRefusesASecondAndCanBeCancelled) {
    TSilentServer Server;
    UpdateCheck().scriptServer = "http://127.0.0.1:" + std::to_string(Server.Port);
    UpdateCheck().timeoutMs = 10000;
    p->vol->tempFolder = OutputDir().c_str();
    UpdateCheck().tempFolder = OutputDir().c_str();
    TDuringCheck State;
    State.Form = Form;
    During = &State;
    BoxAnswer = IDYES;
    SetTimer(nullptr, 0, 300, &WhileChecking);
    const DWORD Start = GetTickCount();
    Form->Item("HelpCheckVersion")->Click();
    During = nullptr;
    EXPECT_LT(GetTickCount() - Start, 5000u) << "the cancel ends the wait";
    EXPECT_TRUE(State.Ran);
    EXPECT_TRUE(State.Running);
    EXPECT_FALSE(State.ItemEnabled);
    EXPECT_TRUE(State.SecondReturned);
    EXPECT_FALSE(IsUpdateCheckRunning());
    EXPECT_TRUE(Form->Item("HelpCheckVersion")->Enabled());
    // Only the question before the check: no failure box after a cancel.
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Continue With The Update Check?");
}

} // namespace

namespace {

TEST_F(CommandsTest, PrintTakesTheFocusedMemoUnderTheDocumentsName) {
    std::string Page = WriteFile("printed.html", "<p>one</p>\r\n<p>two</p>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0, nullptr), 0);
    Form->SetActiveControl(Form->HSMemo);
    auto* Recorder = new TPageRecorder;
    std::unique_ptr<TPageSink> Old = Printer().SetSink(std::unique_ptr<TPageSink>(Recorder));
    std::string Dialog;
    SetModalHook([&](TCustomForm& F) {
        Dialog = F.ClassName();
        F.SetModalResult(mrOk);
    });
    ASSERT_TRUE(Form->Item("FilePrint")->OnClick);
    Click("FilePrint");
    SetModalHook(nullptr);
    EXPECT_FALSE(Dialog.empty()) << "the print dialog asks first";
    EXPECT_TRUE(Recorder->Finished);
    EXPECT_EQ(Recorder->Pages.size(), 1u);
    EXPECT_NE(Recorder->Title.find("printed.html"), std::string::npos) << Recorder->Title;
    // Cancel in the dialog prints nothing.
    Recorder->Pages.clear();
    Recorder->Finished = false;
    SetModalHook([&](TCustomForm& F) { F.SetModalResult(mrCancel); });
    Click("FilePrint");
    SetModalHook(nullptr);
    EXPECT_TRUE(Recorder->Pages.empty());
    // The memos of the results area print under what they hold, from their own pop-up.
    SetModalHook([&](TCustomForm& F) { F.SetModalResult(mrOk); });
    const std::pair<THSMemo*, std::string> Titled[] = {
        {Form->ScratchPad2Memo, "ZEL Orvalent Lite Scratch Pad 2"},
        {Form->StructureMemo, "Structure of " + Page},
    };
    for (const auto& [Memo, Title] : Titled) {
        Memo->GetSource()->SetROnly(false);
        Memo->GetSource()->LoadFromString("some text");
        Form->SetActiveControl(Memo);
        Click("GenericMemoPopupPrint");
        EXPECT_EQ(Recorder->Title, Title);
    }
    SetModalHook(nullptr);
    Printer().SetSink(std::move(Old));
}

// --- spelling ----------------------------------------------------------------------------------

// Closes the spell dialog by its frame whenever it shows (the check then ends as cancelled) and
// counts how often that was.
int SpellDialogsClosed = 0;
BOOL CALLBACK CloseIfSpellDialog(HWND W, LPARAM) {
    char Class[64] = {};
    GetClassNameA(W, Class, sizeof Class);
    if (IsWindowVisible(W) && std::string(Class) == "TSpellDialog") {
        PostMessageA(W, WM_CLOSE, 0, 0);
        ++SpellDialogsClosed;
        return FALSE;
    }
    return TRUE;
}
void CALLBACK CloseSpellDialog(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseIfSpellDialog, 0);
}

TEST_F(CommandsTest, SpellCheckFromTheToolsMenuRunsOverTheActiveMemo) {
    // The checker finds the dictionaries the build made beside this program.
    char Exe[MAX_PATH];
    GetModuleFileNameA(nullptr, Exe, MAX_PATH);
    delete Form;
    p->vol->programFolder = fs::path(Exe).parent_path().string().c_str();
    Form = new TZELQEForm(Application);
    Form->FormCreate();
    ASSERT_NE(Form->SpellChecker, nullptr);

    // What may be checked: a writable memo with text.
    Load("");
    EXPECT_EQ(Form->CanSpellCheck(nullptr, 2), 0) << "an empty document";
    EXPECT_EQ(Form->CanSpellCheck(Form->HSMemo, 1), 1);
    EXPECT_EQ(Form->CanSpellCheck(nullptr, 1), 0);
    EXPECT_EQ(Form->CanSpellCheck(Form->HSMemo, 0), -1);
    Load("A tpyo here.|");
    EXPECT_EQ(Form->CanSpellCheck(nullptr, 2), 1);
    ASSERT_TRUE(Form->Item("ToolsSpellCheck")->OnClick);

    // A read-only document is refused with its reason.
    Source()->SetROnly(true);
    EXPECT_EQ(Form->CanSpellCheck(nullptr, 2), 0);
    Click("ToolsSpellCheck");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Cannot spell check a read only document.");
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Cannot Spell Check");
    Source()->SetROnly(false);

    // The check stops at the unknown word in the modal dialog; closing it cancels, the text stays
    // and the end says so in the editor's words.
    Boxes.clear();
    SpellDialogsClosed = 0;
    UINT_PTR Timer = SetTimer(nullptr, 0, 50, CloseSpellDialog);
    Click("ToolsSpellCheck");
    EXPECT_EQ(SpellDialogsClosed, 1);
    EXPECT_EQ(Text(), "A tpyo here.");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "The spell check was cancelled.");

    // Spell Check All: cancelling the first document offers to skip the rest; yes skips them.
    Boxes.clear();
    SpellDialogsClosed = 0;
    Form->FileNewClick(nullptr);
    Load("Another tpyo.|");
    BoxAnswer = IDYES;
    Click("ToolsSpellCheckAll");
    KillTimer(nullptr, Timer);
    EXPECT_EQ(SpellDialogsClosed, 1);
    bool Asked = false;
    for (const TRecordedBox& B : Boxes)
        Asked |= B.Text == "Cancel all remaining spell checks?" &&
                 B.Caption == "Orvalent: Cancel Remaining Spell Checks?";
    EXPECT_TRUE(Asked);
}

TEST_F(CommandsTest, ConvertAsksForOneFileAndCancelLeavesEverythingAsItWas) {
    std::string Last = WriteFile("last.html", "<p>x</p>\r\n");
    p->tools->lastToolFilename = Last.c_str();
    p->config->defaultFileExtension = "html";
    Form->NVOpenDialog->Options |= nvofAllowMultiselect;
    const TNVOpenOptions Before = Form->NVOpenDialog->Options;
    Form->NVOpenDialog->InitialDir = "C:\\";
    std::string Caption, Name, Folder;
    bool Multiple = true;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        Caption = D.Caption();
        Name = D.FileNameEdit()->Text();
        Folder = D.ShellList()->Folder().GetPathName();
        Multiple = (D.Options() & nvofAllowMultiselect) != 0;
        D.SetModalResult(mrCancel);
    });
    Form->Commands->ToolsConvertClick();
    SetModalHook(nullptr);
    EXPECT_EQ(Caption, "Select File to Convert");
    EXPECT_EQ(Name, "last.html");
    auto Folded = [](std::string P) {
        while (!P.empty() && P.back() == '\\')
            P.pop_back();
        std::transform(P.begin(), P.end(), P.begin(),
                       [](unsigned char C) { return static_cast<char>(tolower(C)); });
        return P;
    };
    EXPECT_EQ(Folded(Folder), Folded(fs::path(Last).parent_path().string()))
        << "the last file's folder, whatever Open left";
    EXPECT_FALSE(Multiple) << "one file at a time";
    EXPECT_EQ(Form->NVOpenDialog->Options, Before);
    EXPECT_EQ(std::string(p->tools->lastToolFilename.getString()), Last);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, UndoLastMajorChangeBringsBackTheTextBeforeTheTool) {
    const std::string Page = WriteFile("tool.html", "<P>OLD</P>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    fileinfoclass* Old = Form->GetCurrentFileInfo();
    ASSERT_NE(Old, nullptr);
    // What a tool run leaves: a new record in the old one's tab, the old one in the undo list.
    auto* Fresh = new fileinfoclass(Old->sharedList, Old->documentList);
    Fresh->Assign(Old, 2);
    Fresh->memoSource->LoadFromString("<p>old</p>\r\n");
    const int32_t Index = Old->documentList->find(Old);
    const int32_t Slot = p->vol->undoFiles.append(Old);
    ASSERT_EQ(Old->documentList->setPointer(Index, Fresh, false, false, true), 1);
    Fresh->undoSlot = Slot;
    Fresh->undoList = &p->vol->undoFiles;
    Form->SelectTab(Form->TabControl1, Index, 0);
    ASSERT_EQ(Text(), "<p>old</p>");

    Click("EditUndoLastMajorChange");
    EXPECT_EQ(Form->GetCurrentFileInfo(), Old);
    EXPECT_EQ(Form->HSMemo->GetSource(), Old->memoSource);
    EXPECT_EQ(Text(), "<P>OLD</P>");
    EXPECT_EQ(p->vol->undoFiles.at(Slot), nullptr);
    EXPECT_LT(Old->undoSlot, 0);
    // Nothing left to undo.
    Click("EditUndoLastMajorChange");
    EXPECT_EQ(Form->GetCurrentFileInfo(), Old);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, OptionCommandsFlipTheirSettingsAndSaySo) {
    struct TCase {
        const char* Command;
        uint32_t* Word;
        uint32_t Bit;
        const char* Box; // caption of the box shown when the bit becomes set, or ""
    };
    const TCase Cases[] = {
        {"OptionsSyntaxHighlighting", &p->config->flags, 0x200000, ""},
        {"DragDropUseValidator", &p->config->flags, 1, ""},
        {"DragDropUseTool", &p->config->flags, 2, ""},
        {"OptionsKeepWindowOnTop", &p->iface->flags, 0x40, "Orvalent: Notice"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Command);
        for (int Round = 0; Round < 2; ++Round) {
            Boxes.clear();
            const bool Before = *C.Word & C.Bit;
            Click(C.Command);
            EXPECT_EQ((*C.Word & C.Bit) != 0, !Before);
            const bool Told = !Boxes.empty() && Boxes[0].Caption == C.Box;
            EXPECT_EQ(Told, *C.Box && !Before);
        }
    }
}

TEST_F(CommandsTest, ProgramInformationGoesToTheClipboard) {
    Click("CopyProgramInfotoClipboard1");
    const std::string Text = Clipboard().AsText();
    for (const char* Key :
         {"PROGRAM NAME: ZEL Orvalent Lite\n", "VERSIONSTRING: 3.00\n", "VERSIONINTERNALSTRING: 3.0000\n",
          "DLLVERSIONSTRING: ", "ZELCFGVERSION: ", "DATE: ", "TIME: "})
        EXPECT_NE(Text.find(Key), std::string::npos) << Key;
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Information Copied");
}

} // namespace
