// Every window the program can show, opened once as its user would open it, checked for overlapping,
// clipped and cut-off controls and black group boxes, and pictured in the gallery folder of the
// test output. A window added later is covered by one more line in the table.

#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "GalleryOpeners.h"
#include "SilentServer.h"
#include "WindowGallery.h"
#include "controls/memo/Memo.h"
#include "controls/memo/SearchReplaceForm.h"
#include "controls/textmodel/FindReplace.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/dialogs/SourceDialogs.h"
#include "controls/foundation/InputDialogs.h"
#include "controls/foundation/ReaderErrorDialog.h"
#include "controls/tree/FieldsSelectDialog.h"
#include "editor/core/UpdateCheck.h"
#include "shellcontrols/FolderBrowseDialog.h"
#include "framework/ui/Printers.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/InserterConfig.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MySource.h"
#include "editor/mainwindow/SplashForm.h"
#include "framework/core/Registry.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/MessageBox.h"

namespace fs = std::filesystem;

namespace {

std::string ProgramFolder() {
    char Exe[MAX_PATH];
    GetModuleFileNameA(nullptr, Exe, MAX_PATH);
    return fs::path(Exe).parent_path().string();
}

// The program as start-up leaves it: settings, the engine bound with its options handle, the main
// window made (not shown until a visit shows it).
class TProgram {
public:
    TProgram() {
        SetMemoSourceFactory(&NewMySource);
        p = new prgclass;
        p->vol->programFolder = ProgramFolder().c_str();
        p->iface->flags2 &= ~(InserterKindTag | InserterKindCSS);
        // The spell checker finds the dictionaries the build made beside this program.
        // The engine finds its files through the entry an installer writes; this one names the
        // folder of the build, unless a real one is there.
        TRegistry Reg;
        if (Reg.OpenKey(ZelRegistryRoot, true) && !Reg.ValueExists("InstallDirV30")) {
            Reg.WriteString("InstallDirV30", ProgramFolder());
            FWroteInstallEntry = true;
        }
        FEngine = LoadLibraryA((ProgramFolder() + "\\zelvalidatorliteV30.dll").c_str());
        if (FEngine && BindEngineFunctions(FEngine) == 0)
            p->vol->optionsHandle = Engine.ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        Form = new TZELQEForm(Application);
        Form->FormCreate();
        // As large as a user would have it on the test screen, so that every pane shows.
        Form->SetBounds(16, 16, 1024, 768);
        Form->Show();
    }
    ~TProgram() {
        delete Form;
        if (p->vol->optionsHandle >= 0 && Engine.ZELFreeHandle)
            Engine.ZELFreeHandle(p->vol->optionsHandle, 0);
        ClearEngineFunctions();
        delete p;
        p = nullptr;
        if (FEngine)
            FreeLibrary(FEngine);
        TRegistry Reg;
        if (FWroteInstallEntry && Reg.OpenKey(ZelRegistryRoot, false))
            Reg.DeleteValue("InstallDirV30");
    }
    void Click(const std::string& Item) {
        TMenuItem* I = Form->Item(Item);
        if (!I)
            throw std::runtime_error("no menu item " + Item);
        I->Click();
    }
    TZELQEForm* Form = nullptr;

private:
    HMODULE FEngine = nullptr;
    bool FWroteInstallEntry = false;
};

TProgram* Program = nullptr;
TWindowGallery* Pictures = nullptr;

using THold = TWindowGallery::THold;

struct TEntry {
    const char* Name;
    std::function<THold()> Open;
};

// A form shown without a modal loop, freed after the look.
THold Keep(TComponent* Form) {
    return THold(Form);
}

// Runs Done after the look.
THold Then(std::function<void()> Done) {
    return THold(nullptr, [Done](void*) { Done(); });
}

// The main window with its panes open and every sheet of its results and resource areas offered
// once, as settings can show them.
THold MainWindow() {
    TZELQEForm* F = Program->Form;
    const uint32_t Flags = p->iface->flags;
    p->iface->flags |= 0x10 | 0x400;
    std::vector<TTabSheet*> Hidden;
    for (TPageControl* PC : {F->ResultsPageControl, F->ResourcePageControl})
        for (int I = 0; I < PC->PageCount(); ++I)
            if (!PC->Pages(I)->TabVisible()) {
                Hidden.push_back(PC->Pages(I));
                PC->Pages(I)->SetTabVisible(true);
            }
    F->ArrangePanels(0);
    Pictures->Include(F->Handle());
    return Then([F, Flags, Hidden] {
        for (TTabSheet* S : Hidden)
            S->SetTabVisible(false);
        p->iface->flags = Flags;
        F->ArrangePanels(0);
    });
}

THold Menu(const char* Item) {
    Program->Click(Item);
    return nullptr;
}

THold Box(UINT Flags) {
    ShowMessageBox("A message of the program, long enough to need some room in its box.", "Orvalent: Message",
                   Flags);
    return nullptr;
}

// Runs Open on a document with a few lines (a misspelt word among them, for the spell check),
// which is emptied again afterwards.
THold WithText(const std::function<void()>& Open) {
    TCustomMemoSource* Source = Program->Form->ActiveEditorSource();
    Source->LoadFromString("<p>A tpyo in a sentense.</p>\r\n<p>Second line.</p>\r\n<p>Third line.</p>\r\n");
    Program->Form->SetActiveControl(Program->Form->HSMemo);
    Open();
    return Then([Source] {
        Source->LoadFromString("");
        Source->SetModified(false);
    });
}

// The printer is a recorder here: the print dialogs need one to show.
THold Printing(const std::function<void()>& Open) {
    auto Old =
        std::make_shared<std::unique_ptr<TPageSink>>(Printer().SetSink(std::make_unique<TPageRecorder>()));
    Open();
    return Then([Old] { Printer().SetSink(std::move(*Old)); });
}

THold UpdateCheckWindow() {
    TSilentServer Server;
    UpdateCheck().scriptServer = "http://127.0.0.1:" + std::to_string(Server.Port);
    UpdateCheck().timeoutMs = 20000;
    UpdateCheck().tempFolder = fs::temp_directory_path().string().c_str();
    // Yes to the question before the check, so that its window shows.
    Pictures->Answer(IDYES);
    Program->Click("HelpCheckVersion");
    return nullptr;
}

THold EngineProgressWindow() {
    const int32_t Options = p->vol->optionsHandle;
    Engine.ZELSetInteger(Options, ZELID_OPT_PROGRESSWINDOW, 6);
    return Then([] { Engine.ZELSetInteger3(ZELID_HIDEPROGRESS, 0); });
}

THold InserterWindow(const char* Item, const char* File) {
    inserterclass* Rec = FindInserter(
        p->vol->inserters, std::string(Item) == "ViewTagInserter" ? InserterKindTag : InserterKindCSS, 1);
    if (Rec)
        Rec->configFile = (ProgramFolder() + "\\" + File).c_str();
    Program->Click(Item);
    return Then([Item] { Program->Click(Item); });
}

// The code editor's own window with its Find, Replace and Go To pages, in place of the modal forms.
THold SearchWindow(const char* Item) {
    RegisterSearchReplaceWindow();
    ModalSearchAndReplace = false;
    Program->Click(Item);
    return Then([] {
        ModalSearchAndReplace = true;
        SetNotModalSearchFormMaker(nullptr);
    });
}

// clang-format off
const std::vector<TEntry>& Entries() {
    static const std::vector<TEntry> Rows = {
        {"MainWindow", MainWindow},
        {"Find", [] { return Menu("SearchFind"); }},
        {"Replace", [] { return Menu("SearchReplace"); }},
        {"FindWindow", [] { return SearchWindow("SearchFind"); }},
        {"ReplaceWindow", [] { return SearchWindow("SearchReplace"); }},
        {"ReplacePrompt", [] { MessageDlg("Replace this occurence of 'td'?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel | mbAll); return THold(); }},
        {"GoToLine", [] { return WithText([] { Program->Click("EditGoToLine"); }); }},
        {"GoToLineEmpty", [] { return Menu("EditGoToLine"); }},
        {"GoToLineNumber", [] { return WithText([] { SourceDialogs(*Program->Form->ActiveEditorSource()).ShowGoToLineDialog(); }); }},
        {"EditorOptions", [] { return Menu("OptionsEditorOptions"); }},
        {"EngineOptions", [] { return Menu("OptionsValidatorOptions"); }},
        {"EngineProgress", EngineProgressWindow},
        {"SpellCheck", [] { return WithText([] { Program->Click("ToolsSpellCheck"); }); }},
        {"SpellCheckOptions", [] { return Menu("OptionsSpellChecker"); }},
        {"UserDictionaries", [] { OpenUserDictionaries(*Program->Form->SpellChecker); return THold(); }},
        {"NewUserDictionary", [] { return OpenNewUserDictionary(*Program->Form->SpellChecker); }},
        {"UserDictionaryEdit", [] { OpenUserDictionaryEdit(*Program->Form->SpellChecker); return THold(); }},
        {"Print", [] { return Printing([] { Program->Click("FilePrint"); }); }},
        {"PrintProgress", [] { return OpenPrintProgress(*Program->Form->HSMemo); }},
        {"TreePrint", [] { return Printing([] { Program->Form->StructureTree->PrintWithDialog(true); }); }},
        {"TreeFields", [] {
            TStringList Fields;
            for (const char* F : {"Kind", "Line", "Character", "Message"})
                Fields.Add(F);
            std::string Chosen = "Kind;Line";
            HSShowFieldsDialog("Fields", Chosen, Fields);
            return THold();
        }},
        {"Open", [] { return Menu("FileOpen"); }},
        {"SaveAs", [] { return Menu("FileSaveAs"); }},
        {"FolderBrowse", [] {
            TNVFolderBrowseDlg D(nullptr);
            D.BaseFolder().SetPathName(ProgramFolder());
            D.SetStatus("Choose the folder of the dictionaries.");
            D.Execute();
            return THold();
        }},
        {"InputLine", [] { std::string S = "text"; ReadString("Input", "&Enter a text:", 0, S); return THold(); }},
        {"ReaderError", [] { bool Handled = false, All = false; ShowReaderErrorDialog("Property Caption does not exist", Handled, All); return THold(); }},
        {"TagInserter", [] { return InserterWindow("ViewTagInserter", "taginsertercfg.txt"); }},
        {"CSSInserter", [] { return InserterWindow("ViewCSSInserter", "cssinsertercfg.txt"); }},
        {"DropWindow", [] { Program->Click("DragDropViewDragDropWindow"); return Then([] { Program->Click("DragDropViewDragDropWindow"); }); }},
        {"DropToolDialog", [] { return Menu("DragDropOptions"); }},
        {"UpdateCheck", UpdateCheckWindow},
        {"About", [] { return Menu("HelpAboutZEL"); }},
        {"Splash", [] {
            auto* S = new TSplashForm(nullptr);
            S->SetCaption("ZEL Orvalent Lite v3.0000");
            S->SetTitle("Loading ZEL Orvalent Lite v3.0000...");
            S->SetStatus("Loading configuration...");
            S->Show();
            return Keep(S);
        }},
        {"BoxStop", [] { return Box(MB_OK | MB_ICONSTOP); }},
        {"BoxInformation", [] { return Box(MB_OK | MB_ICONINFORMATION); }},
        {"BoxWarning", [] { return Box(MB_OK | MB_ICONWARNING); }},
        {"BoxQuestion", [] { return Box(MB_YESNO | MB_ICONQUESTION); }},
        {"BoxQuestionCancel", [] { return Box(MB_YESNOCANCEL | MB_ICONQUESTION); }},
    };
    return Rows;
}
// clang-format on

class Gallery : public ::testing::TestWithParam<TEntry> {
public:
    static void SetUpTestSuite() {
        Program = new TProgram;
        Pictures = new TWindowGallery(TestOutputFolder("gallery"));
    }
    static void TearDownTestSuite() {
        delete Pictures;
        Pictures = nullptr;
        delete Program;
        Program = nullptr;
    }
};

TEST_P(Gallery, ShowsEveryControlWhole) {
    const TEntry& E = GetParam();
    const std::vector<std::string> Faults = Pictures->Visit(E.Name, E.Open);
    std::string All;
    for (const std::string& F : Faults)
        All += F + "\n";
    EXPECT_TRUE(Faults.empty()) << All;
}

INSTANTIATE_TEST_SUITE_P(Windows, Gallery, ::testing::ValuesIn(Entries()),
                         [](const ::testing::TestParamInfo<TEntry>& I) { return std::string(I.param.Name); });

} // namespace
