#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ShellTestFolder.h"
#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Menus.h"
#include "shellcontrols/ColumnWidthStore.h"
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

    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETBKCOLOR, 0, 0)),
              ColorToRGB(clWindow));
    List->SetColor(static_cast<TColor>(RGB(250, 240, 200)));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETBKCOLOR, 0, 0)), RGB(250, 240, 200));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETTEXTBKCOLOR, 0, 0)),
              RGB(250, 240, 200));
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

// ---- Header sort arrow, shared column widths, custom draw ----

namespace {

// Pixels of Color inside Rect of a window as the screen shows it.
int CountPixels(HWND Wnd, RECT Rect, COLORREF Color) {
    UpdateWindow(Wnd);
    HDC DC = GetDC(Wnd);
    int N = 0;
    for (int Y = Rect.top; Y < Rect.bottom; ++Y)
        for (int X = Rect.left; X < Rect.right; ++X)
            N += GetPixel(DC, X, Y) == Color;
    ReleaseDC(Wnd, DC);
    return N;
}

RECT HeaderItemRect(HWND Header, int Column) {
    RECT R{};
    SendMessageA(Header, HDM_GETITEMRECT, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&R));
    InflateRect(&R, -3, -3);
    return R;
}

int HeaderFormat(HWND Header, int Column) {
    HDITEMA Item{};
    Item.mask = HDI_FORMAT;
    SendMessageA(Header, HDM_GETITEMA, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&Item));
    return Item.fmt;
}

} // namespace

TEST_F(ShellListTest, HeaderShowsTheSortArrowOnTheSortColumn) {
    TShellTestFolder Dir({"b.txt", "a.txt"});
    Browse(Dir.Root());
    HWND Header = List->GetHeaderHandle();
    ASSERT_NE(Header, nullptr);
    ASSERT_GE(List->ColumnWidths().size(), 2u);
    EXPECT_EQ(List->HeaderSortColumn(), -1) << "no arrow before a sort is set";
    EXPECT_TRUE(HeaderFormat(Header, 0) & HDF_OWNERDRAW);

    List->SetSortColumn(2);
    EXPECT_EQ(List->HeaderSortColumn(), 1);
    EXPECT_EQ(List->HeaderSortDirection(), TNVLvSortDirection::nvsdDesc) << "ascending shows the up arrow";
    const COLORREF Shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_GT(CountPixels(Header, HeaderItemRect(Header, 1), Shadow), 3);
    EXPECT_EQ(CountPixels(Header, HeaderItemRect(Header, 0), Shadow), 0);
    List->SetSortColumn(-1);
    EXPECT_EQ(List->HeaderSortColumn(), 0);
    EXPECT_EQ(List->HeaderSortDirection(), TNVLvSortDirection::nvsdAsc);
    EXPECT_GT(CountPixels(Header, HeaderItemRect(Header, 0), Shadow), 3);
    EXPECT_EQ(CountPixels(Header, HeaderItemRect(Header, 1), Shadow), 0);

    // A new folder's columns are owner-drawn again, and the arrow stays.
    TShellTestFolder Other({"c.txt"});
    Browse(Other.Root());
    Header = List->GetHeaderHandle();
    EXPECT_TRUE(HeaderFormat(Header, 0) & HDF_OWNERDRAW);
    EXPECT_GT(CountPixels(Header, HeaderItemRect(Header, 0), Shadow), 3);

    List->SetHeaderSortDisplayMode(TNVLvHeaderSortDisplayMode::nvlvNone);
    EXPECT_FALSE(HeaderFormat(Header, 0) & HDF_OWNERDRAW);
    EXPECT_TRUE(HeaderFormat(Header, 0) & HDF_STRING);
}

TEST_F(ShellListTest, ColumnWidthsFollowFromFolderToFolderAndListToList) {
    NVClearColumnWidths();
    TShellTestFolder A({"a.txt"}), B({"b.txt"});
    Browse(A.Root());
    SendMessageA(List->Handle(), LVM_SETCOLUMNWIDTH, 0, 321);
    Browse(B.Root());
    ASSERT_FALSE(List->ColumnWidths().empty());
    EXPECT_EQ(List->ColumnWidths()[0], 321) << "the width goes with the list into the next folder";

    // The computer's drives are no file-system folder: their widths are their own.
    List->Folder().SetCSIDL(csidlDrives);
    PumpUntil([] { return false; }, 100);
    ASSERT_FALSE(List->ColumnWidths().empty());
    EXPECT_NE(List->ColumnWidths()[0], 321);
    SendMessageA(List->Handle(), LVM_SETCOLUMNWIDTH, 0, 111);
    Browse(A.Root());
    EXPECT_EQ(List->ColumnWidths()[0], 321) << "widths of other folders are not kept";

    // Another list of the program starts with the widths the first one left.
    SendMessageA(List->Handle(), LVM_SETCOLUMNWIDTH, 0, 250);
    delete List;
    List = nullptr;
    TForm* Second = new TForm(Application);
    Second->SetBounds(60, 60, 400, 300);
    auto* Other = new TNVShellList(Second);
    Other->SetParent(Second);
    Other->SetAlign(TAlign::alClient);
    Second->Show();
    Other->Folder().SetPathName(B.Root());
    PumpUntil([] { return false; }, 100);
    ASSERT_FALSE(Other->ColumnWidths().empty());
    EXPECT_EQ(Other->ColumnWidths()[0], 250);
    delete Second;
    NVClearColumnWidths();
}

TEST_F(ShellListTest, CustomDrawEventsSeeTheStagesAndColourTheItem) {
    TShellTestFolder Dir({"alpha.txt", "beta.txt"});
    Browse(Dir.Root());
    std::set<TNVCustomDrawStage> ExStages;
    int ItemCalls = 0, ItemsWithoutData = 0, ShOutsideItemPrePaint = 0;
    List->OnCustomDrawShEx = [&](TObject*, TNVCustomDraw* CD, int Item, TNVShListData* Data) {
        ExStages.insert(CD->DrawStage());
        if (CD->IsItem()) {
            ++ItemCalls;
            ItemsWithoutData += Item < 0 || !Data;
        }
    };
    List->OnCustomDrawSh = [&](TObject*, TNVCustomDraw* CD, int, TNVShListData* Data) {
        ShOutsideItemPrePaint += CD->DrawStage() != TNVCustomDrawStage::nvcdsItemPrePaint;
        if (Data && Data->GetDisplayName().rfind("alpha", 0) == 0)
            CD->Font().SetColor(clRed);
    };
    InvalidateRect(List->Handle(), nullptr, TRUE);
    RECT Row{};
    int Alpha = List->FindCaption(List->ItemCaption(0).rfind("alpha", 0) == 0 ? List->ItemCaption(0)
                                                                              : List->ItemCaption(1));
    ASSERT_GE(Alpha, 0);
    Row.left = LVIR_LABEL;
    SendMessageA(List->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(Alpha), reinterpret_cast<LPARAM>(&Row));
    EXPECT_GT(CountPixels(List->Handle(), Row, RGB(255, 0, 0)), 5) << "the handler's colour is used";
    RECT Other{};
    Other.left = LVIR_LABEL;
    SendMessageA(List->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(1 - Alpha),
                 reinterpret_cast<LPARAM>(&Other));
    EXPECT_EQ(CountPixels(List->Handle(), Other, RGB(255, 0, 0)), 0);
    EXPECT_TRUE(ExStages.count(TNVCustomDrawStage::nvcdsPrePaint));
    EXPECT_TRUE(ExStages.count(TNVCustomDrawStage::nvcdsItemPrePaint));
    EXPECT_GE(ItemCalls, 2);
    EXPECT_EQ(ItemsWithoutData, 0);
    EXPECT_EQ(ShOutsideItemPrePaint, 0);
}

TEST_F(ShellListTest, HeaderClicksSortAndReverseUnlessTheHandlerSorts) {
    TShellTestFolder Dir({"b.txt", "a.txt"});
    Browse(Dir.Root());
    HWND Header = List->GetHeaderHandle();
    ASSERT_NE(Header, nullptr);
    auto Click = [&](int Column) {
        RECT R{};
        SendMessageA(Header, HDM_GETITEMRECT, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&R));
        LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        PostMessageA(Header, WM_LBUTTONDOWN, MK_LBUTTON, At);
        PostMessageA(Header, WM_LBUTTONUP, 0, At);
        PumpUntil([] { return false; }, 60);
    };
    std::vector<int> Clicked;
    List->OnColumnClick = [&](TObject*, int Column) { Clicked.push_back(Column); };
    Click(1);
    EXPECT_EQ(List->SortColumn(), 2);
    EXPECT_EQ(List->HeaderSortColumn(), 1);
    Click(1);
    EXPECT_EQ(List->SortColumn(), -2) << "a second click reverses";
    EXPECT_EQ(List->HeaderSortDirection(), TNVLvSortDirection::nvsdAsc);
    Click(1);
    EXPECT_EQ(List->SortColumn(), 2) << "a descending column sorts ascending";
    EXPECT_EQ(Clicked, (std::vector<int>{1, 1, 1}));

    List->OnColumnClick = [&](TObject*, int) { List->SetSortColumn(-1); };
    Click(1);
    EXPECT_EQ(List->SortColumn(), -1) << "the handler's sort stands";
    EXPECT_EQ(List->HeaderSortColumn(), 0);
}

namespace {
// Inside a shown menu: moves to its first item (the owner hears of it), then closes the menu.
void CALLBACK HighlightThenClose(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    keybd_event(VK_DOWN, 0, 0, 0);
    keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
    SetTimer(nullptr, 0, 200, &CloseMenu);
}
} // namespace

TEST_F(ShellListTest, ContextMenuHandlerSeesTheItemAndMaySuppressTheMenu) {
    TShellTestFolder Dir({"menu.txt"});
    Browse(Dir.Root());
    List->SelectItem(0);
    List->SetFocus();
    int Calls = 0, ItemSeen = -2;
    POINT PosSeen{};
    std::vector<std::string> Hints;
    List->OnItemContextMenu = [&](TObject*, int Item, POINT& Pos, TPopupMenu*&) {
        ++Calls;
        ItemSeen = Item;
        PosSeen = Pos;
    };
    List->OnPopupHint = [&](TObject*, const std::string& Hint) { Hints.push_back(Hint); };
    POINT Screen = List->ClientToScreen(POINT{12, 14});
    SetTimer(nullptr, 0, 300, &HighlightThenClose);
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 MAKELPARAM(Screen.x, Screen.y));
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(ItemSeen, 0);
    EXPECT_EQ(PosSeen.x, 12);
    EXPECT_EQ(PosSeen.y, 14);
    EXPECT_FALSE(Hints.empty()) << "moving in the shell's menu reports its hints";
    EXPECT_EQ(0, SendMessageA(List->Handle(), WMGetIShellBrowser, 0, 0)) << "no shell instance runs here";

    // Without the shell's menus the control's own popup menu shows, unless the handler drops it.
    List->SetOptions(List->Options() & ~nvsloContextMenus);
    auto* Popup = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Popup);
    Item->SetCaption("Own");
    Popup->Items()->Add(Item);
    int Shown = 0;
    Popup->OnPopup = [&Shown](TObject*) { ++Shown; };
    List->SetPopupMenu(Popup);
    List->OnItemContextMenu = [](TObject*, int, POINT&, TPopupMenu*& Menu) { Menu = nullptr; };
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 MAKELPARAM(Screen.x, Screen.y));
    EXPECT_EQ(Shown, 0);
    List->OnItemContextMenu = nullptr;
    // The request came with a right click: its release ends that click's menu.
    SendMessageA(List->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(12, 14));
    SetTimer(nullptr, 0, 300, &CloseMenu);
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 MAKELPARAM(Screen.x, Screen.y));
    EXPECT_EQ(Shown, 1);
}

TEST_F(ShellListTest, ThePlainListViewDrawsThroughItsEventsAndOpensItemMenus) {
    List->SetVisible(false);
    auto* View = new TNVListView(Form);
    View->SetParent(Form);
    View->SetBounds(10, 10, 300, 200);
    LVCOLUMNA Col{};
    Col.mask = LVCF_TEXT | LVCF_WIDTH;
    Col.cx = 120;
    Col.pszText = const_cast<char*>("Name");
    SendMessageA(View->Handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&Col));
    for (int I = 0; I < 2; ++I) {
        LVITEMA Item{};
        Item.mask = LVIF_TEXT;
        Item.iItem = I;
        Item.pszText = const_cast<char*>(I == 0 ? "first" : "second");
        SendMessageA(View->Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    }
    int Stages = 0;
    std::vector<int> ItemPre;
    View->OnNVCustomDrawEx = [&](TObject*, TNVCustomDraw*, int) { ++Stages; };
    View->OnNVCustomDraw = [&](TObject*, TNVCustomDraw*, int Item) { ItemPre.push_back(Item); };
    InvalidateRect(View->Handle(), nullptr, TRUE);
    PumpUntil([&ItemPre] { return ItemPre.size() >= 2; }, 1000);
    EXPECT_GT(Stages, static_cast<int>(ItemPre.size()));
    ASSERT_GE(ItemPre.size(), 2u);
    EXPECT_EQ(ItemPre[0], 0);
    EXPECT_EQ(ItemPre[1], 1);

    View->SetHeaderSortColumn(0);
    HDITEMA H{};
    H.mask = HDI_FORMAT;
    SendMessageA(View->GetHeaderHandle(), HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&H));
    EXPECT_NE(0, H.fmt & HDF_OWNERDRAW) << "the header draws its sort arrow itself";

    int Seen = -2;
    View->OnItemContextMenu = [&Seen](TObject*, int Item, POINT&, TPopupMenu*& Menu) {
        Seen = Item;
        Menu = nullptr;
    };
    ListView_SetItemState(View->Handle(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    View->SetFocus();
    PostKey(View->Handle(), VK_APPS);
    PumpUntil([&Seen] { return Seen != -2; }, 1000);
    EXPECT_EQ(Seen, 1);
    View->OnNVCustomDrawEx = nullptr;
    View->OnNVCustomDraw = nullptr;
    View->OnItemContextMenu = nullptr;
}
