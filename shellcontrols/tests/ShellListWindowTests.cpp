#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ShellTestFolder.h"
#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellUtils.h"

namespace {

// Makes a file from another process, as another program would.
void MakeFileFromOutside(const std::string& Path) {
    std::string Cmd = "cmd.exe /c echo outside> \"" + Path + "\"";
    STARTUPINFOA Si{};
    Si.cb = sizeof(Si);
    PROCESS_INFORMATION Pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, Cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &Si, &Pi));
    while (WaitForSingleObject(Pi.hProcess, 20) == WAIT_TIMEOUT)
        Application->ProcessMessages();
    CloseHandle(Pi.hProcess);
    CloseHandle(Pi.hThread);
}

class ShellListTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(50, 50, 500, 360);
        List = new TNVShellList(Form);
        List->SetParent(Form);
        List->SetAlign(TAlign::alClient);
        Form->Show();
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    // Shows Path and waits for the fill.
    void Browse(const std::string& Path) {
        List->Folder().SetPathName(Path);
        PumpUntil([] { return false; }, 100);
    }
    std::set<std::string> Captions() {
        std::set<std::string> S;
        for (int I = 0; I < List->ItemCount(); ++I)
            S.insert(List->ItemCaption(I));
        return S;
    }
    // Names as the list shows them, compared by their first letters so that a hidden extension
    // does not matter.
    bool Shows(const std::string& Stem) {
        for (const std::string& C : Captions())
            if (C.rfind(Stem, 0) == 0)
                return true;
        return false;
    }
    TForm* Form = nullptr;
    TNVShellList* List = nullptr;
};

} // namespace

TEST_F(ShellListTest, FillsFromTheFolderAndSortsByName) {
    TShellTestFolder Dir({"zeta.txt", "alpha.html", "Middle\\"});
    Browse(Dir.Root());
    ASSERT_EQ(List->ItemCount(), 3);
    EXPECT_TRUE(Shows("zeta") && Shows("alpha") && Shows("Middle"));
    // The folder's own order: the folder before the files, then by name.
    EXPECT_EQ(List->ItemCaption(0), "Middle");
    EXPECT_EQ(List->ItemCaption(1).substr(0, 5), "alpha");
    List->SetSortColumn(-1);
    EXPECT_EQ(List->ItemCaption(2), "Middle");
    TNVShListData* D = List->GetShListData(List->FindCaption("Middle"));
    ASSERT_NE(D, nullptr);
    EXPECT_TRUE(D->IsFolder());
    EXPECT_EQ(D->GetPathName(), Dir.Path("Middle"));
}

TEST_F(ShellListTest, FilterMasksKeepFoldersAndIgnoreBlanks) {
    TShellTestFolder Dir({"a.htm", "b.html", "c.txt", "sub\\"});
    List->SetFileFilter("*.htm; *.html");
    Browse(Dir.Root());
    EXPECT_TRUE(Shows("a"));
    EXPECT_TRUE(Shows("b"));
    EXPECT_TRUE(Shows("sub"));
    EXPECT_FALSE(Shows("c"));
    EXPECT_EQ(List->ItemCount(), 3);

    // A first mask in a missing folder stops the scan: only folders are left.
    List->SetFileFilter("nosuch\\*.txt;*.htm");
    EXPECT_EQ(List->ItemCount(), 1);
    List->SetFileFilter("*.*");
    EXPECT_EQ(List->ItemCount(), 4);
    List->SetFileFilter("");
    EXPECT_EQ(List->ItemCount(), 4);
}

TEST_F(ShellListTest, AFileMadeOutsideAppearsWithinTheRefreshTime) {
    TShellTestFolder Dir({"first.txt"});
    Browse(Dir.Root());
    ASSERT_EQ(List->ItemCount(), 1);
    MakeFileFromOutside(Dir.Path("outside.txt"));
    // The list waits 400 ms after the last change while it has the focus, 2 seconds when not.
    EXPECT_TRUE(PumpUntil([this] { return List->RefreshPending(); }, 3000));
    EXPECT_EQ(List->RefreshDelay(), List->Focused() ? 400 : 2000);
    EXPECT_TRUE(PumpUntil([this] { return Shows("outside"); }, 4000));
    EXPECT_EQ(List->ItemCount(), 2);

    // A deletion outside takes the item away again, and only it.
    ASSERT_TRUE(DeleteFileA(Dir.Path("first.txt").c_str()));
    EXPECT_TRUE(PumpUntil([this] { return !Shows("first"); }, 5000));
    EXPECT_EQ(List->ItemCount(), 1);
    EXPECT_TRUE(Shows("outside"));
}

TEST_F(ShellListTest, OpeningMovesIntoFoldersAndLetsTheHandlerTakeFiles) {
    TShellTestFolder Dir({"inner\\", "inner\\deep.txt", "page.html"});
    int Handled = 0;
    List->OnDblClickOpen = [&](TObject*, bool& H) {
        ++Handled;
        H = true;
    };
    Browse(Dir.Root());
    List->OpenItem(List->FindCaption("inner"));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("inner"));
    EXPECT_TRUE(Shows("deep"));
    EXPECT_EQ(Handled, 0);

    List->SelectItem(0);
    List->OpenSelectedItems();
    EXPECT_EQ(Handled, 1);

    // Backspace goes up one level.
    List->SetFocus();
    PostChars(List->Handle(), "\b");
    EXPECT_TRUE(PumpUntil([&] { return List->Folder().GetPathName() == Dir.Root(); }));
    EXPECT_TRUE(Shows("page"));

    List->SetOptions(List->Options() | nvsloDontChangeFolder);
    List->OpenItem(List->FindCaption("inner"));
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Root());
}

TEST_F(ShellListTest, NewFolderAndRename) {
    TShellTestFolder Dir({"old.txt"});
    Browse(Dir.Root());
    ASSERT_TRUE(List->CreateNewFolder(false));
    EXPECT_TRUE(DirectoryExists(Dir.Path("New Folder")));
    EXPECT_TRUE(Shows("New Folder"));

    int Index = List->FindCaption(List->ItemCaption(0).rfind("old", 0) == 0 ? List->ItemCaption(0)
                                                                            : List->ItemCaption(1));
    ASSERT_GE(Index, 0);
    EXPECT_TRUE(List->RenameItem(Index, "renamed.txt"));
    EXPECT_TRUE(FileExists(Dir.Path("renamed.txt")));
    EXPECT_FALSE(FileExists(Dir.Path("old.txt")));
    EXPECT_EQ(List->GetShListData(Index)->GetFilename(), "renamed.txt");

    // A folder that went away: no folder is made, the user is told, nothing is selected. (The
    // watch is dropped first: a watched folder cannot be removed.)
    List->SetOptions(List->Options() & ~nvsloDynamicRefresh);
    RemoveTree(Dir.Root());
    ASSERT_FALSE(DirectoryExists(Dir.Root()));
    EXPECT_FALSE(List->CreateNewFolder(true));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text.rfind("Unable to create the folder 'New Folder'", 0), 0u);
    CreateDirectoryA(Dir.Root().c_str(), nullptr);
}

TEST_F(ShellListTest, DraggingTwoFilesOffersAFileListNamingBoth) {
    TShellTestFolder Dir({"one.html", "two.css", "three.js"});
    List->SetMultiSelect(true);
    Browse(Dir.Root());
    List->SelectItem(List->FindCaption(List->ItemCaption(0)));
    ASSERT_EQ(List->ItemCount(), 3);
    int One = -1, Two = -1;
    for (int I = 0; I < 3; ++I) {
        if (List->GetShListData(I)->GetFilename() == "one.html")
            One = I;
        if (List->GetShListData(I)->GetFilename() == "two.css")
            Two = I;
    }
    List->SelectItem(One);
    List->SelectItem(Two, false);
    EXPECT_EQ(List->ShellSelCount(), 2);
    TComPtr<IDataObject> Data = List->CreateSelectionDataObject();
    ASSERT_TRUE(Data);
    FORMATETC Fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM Medium{};
    ASSERT_EQ(Data->GetData(&Fmt, &Medium), S_OK);
    std::vector<std::string> Names = ReadHDrop(Medium.hGlobal);
    ReleaseStgMedium(&Medium);
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{Dir.Path("one.html"), Dir.Path("two.css")}));
    EXPECT_EQ(AllowedEffectsOf(Data.Get()) & DROPEFFECT_COPY, static_cast<DWORD>(DROPEFFECT_COPY));
}

TEST_F(ShellListTest, SaveNamesAreCheckedAgainstTheListsFolder) {
    TShellTestFolder Dir({"exists.html", "sub\\"});
    Browse(Dir.Root());
    TNVShellListFileView View(*List);
    std::vector<std::string> Chosen;
    TNVOpenOptions Save = nvofPathMustExist | nvofOverwritePrompt;
    EXPECT_FALSE(NVParseInputString("nofolder\\page", View, "html", "*.html", Save, "Save As", Chosen));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, Dir.Path("nofolder\\page.html") +
                                 "\nPath does not exist.\nPlease verify the correct path was given.");
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Root());

    // A typed folder moves the list into it.
    EXPECT_FALSE(NVParseInputString("sub", View, "html", "*.html", Save, "Save As", Chosen));
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("sub"));
    EXPECT_TRUE(NVParseInputString("..\\new", View, "html", "*.html", Save, "Save As", Chosen));
    EXPECT_EQ(Chosen, std::vector<std::string>{Dir.Path("new.html")});
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Root());

    // An existing file asks first; No keeps the dialog open.
    BoxAnswer = IDNO;
    EXPECT_FALSE(NVParseInputString("exists", View, "html", "*.html", Save, "Save As", Chosen));
    EXPECT_EQ(Boxes.back().Text, Dir.Path("exists.html") + " already exists.\nDo you want to replace it?");
}

namespace {
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    EndMenu();
}
} // namespace

TEST_F(ShellListTest, TheShellsContextMenuShowsAndClosesWithoutACommand) {
    TShellTestFolder Dir({"menu.txt"});
    Browse(Dir.Root());
    List->SelectItem(0);
    // The menu runs its own loop; a timer inside it closes the menu again.
    SetTimer(nullptr, 0, 300, &CloseMenu);
    List->ProcessMenuForAllSelected(List->ClientToScreen(POINT{10, 10}));
    EXPECT_EQ(List->ItemCount(), 1);
    EXPECT_TRUE(FileExists(Dir.Path("menu.txt")));
    // The list takes change notices again once the menu is gone.
    Dir.MakeFile("after.txt");
    EXPECT_TRUE(PumpUntil([this] { return List->ItemCount() == 2; }, 4000));
}

TEST_F(ShellListTest, ColumnsComeFromTheFolder) {
    TShellTestFolder Dir({"sized.txt"});
    Browse(Dir.Root());
    HWND Header = reinterpret_cast<HWND>(SendMessageA(List->Handle(), LVM_GETHEADER, 0, 0));
    int Columns = static_cast<int>(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
    EXPECT_GE(Columns, 2);
    TNVShListData* D = List->GetShListData(0);
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->GetColText(0), "");
    if (List->CurrentFolderDetails())
        EXPECT_FALSE(D->GetColText(1).empty()); // the folder's own size text
    else
        EXPECT_EQ(D->GetColText(1), "1KB");
}
