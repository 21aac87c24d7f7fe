#include <gtest/gtest.h>

#include "framework/core/Win.h"

#include <commctrl.h>

#include "framework/ui/Graphics.h"
#include "shellcontrols/ColumnWidthStore.h"
#include "shellcontrols/ListHeaderSort.h"
#include "shellcontrols/ShellCustomDraw.h"
#include "shellcontrols/ShellMenus.h"

namespace {

constexpr TColor Back = clWhite, Dark = clBlack, Light = clRed;

TColor PixelAt(TBitmap& Bmp, int X, int Y) {
    return Bmp.Canvas().Pixel(X, Y);
}

// A bitmap filled with one colour, as a drawing surface.
void Blank(TBitmap& Bmp, int W, int H, TColor Color) {
    Bmp.SetSize(W, H);
    Bmp.Canvas().Brush().SetColor(Color);
    Bmp.Canvas().FillRect(RECT{0, 0, W, H});
}

} // namespace

// ---- Header cells ----

TEST(HeaderSortLayout, ArrowBoxOfATypicalCell) {
    // A cell 2..16 high (a 20-pixel header less its margin): side 9, height 8, centred.
    RECT Box = NVHeaderArrowBox(RECT{10, 2, 90, 16});
    EXPECT_EQ(Box.left, 10);
    EXPECT_EQ(Box.right - Box.left, 9);
    EXPECT_EQ(Box.bottom - Box.top, 8);
    EXPECT_EQ(Box.top, 4);
}

TEST(HeaderSortLayout, ArrowAndTextPlacesByMode) {
    using M = TNVLvHeaderSortDisplayMode;
    const RECT Cell{0, 2, 100, 16}; // text rectangle 4..96, arrow side 9
    struct {
        const char* Name;
        M Mode;
        bool Sort;
        int ColumnWidth;
        UINT Align;
        bool HasArrow;
        int ArrowLeft; // when HasArrow
        int TextLeft, TextRight;
    } Cases[] = {
        {"none never draws an arrow", M::nvlvNone, true, 104, DT_LEFT, false, 0, 4, 96},
        {"left align: arrow first, text 5 after it", M::nvlvLeftAlign, true, 104, DT_LEFT, true, 4, 18, 96},
        {"left align leaves other columns alone", M::nvlvLeftAlign, false, 104, DT_LEFT, false, 0, 4, 96},
        {"left align: 15 pixels are too narrow", M::nvlvLeftAlign, true, 15, DT_LEFT, false, 0, 4, 96},
        {"right of text: 5 after the text's end", M::nvlvRightOfText, true, 104, DT_LEFT, true, 4 + 30 + 5, 4,
         96},
        {"right of text, centred text", M::nvlvRightOfText, true, 104, DT_CENTER, true, (4 + 96 + 30) / 2 + 5,
         4, 96},
        {"right of text, right-aligned sort column: at the right end", M::nvlvRightOfText, true, 104,
         DT_RIGHT, true, 96 - 5 - 9, 4, 96 - 5 - 9 - 4},
        {"right of text, right-aligned other column: text only", M::nvlvRightOfText, false, 104, DT_RIGHT,
         false, 0, 4, 96},
        {"right align: sort column's text stops before the arrow", M::nvlvRightAlign, true, 104, DT_LEFT,
         true, 82, 4, 78},
        {"right align: other columns keep their width", M::nvlvRightAlign, false, 104, DT_LEFT, false, 0, 4,
         96},
        {"no arrow in a column narrower than two arrows", M::nvlvRightAlign, true, 18, DT_LEFT, false, 0, 4,
         78},
        {"two arrows and one pixel are enough", M::nvlvRightOfText, true, 19, DT_LEFT, true, 39, 4, 96},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TNVHeaderCellLayout L = NVLayoutHeaderCell(Cell, C.Mode, C.Sort, C.ColumnWidth, C.Align, 30);
        EXPECT_EQ(L.HasArrow, C.HasArrow);
        if (C.HasArrow) {
            EXPECT_EQ(L.ArrowBox.left, C.ArrowLeft);
            EXPECT_EQ(L.ArrowBox.right - L.ArrowBox.left, 9);
        }
        EXPECT_EQ(L.TextRect.left, C.TextLeft);
        EXPECT_EQ(L.TextRect.right, C.TextRight);
    }
}

TEST(HeaderSortArrows, SunkenTrianglesPointTheRightWay) {
    // Box 10,10 .. 19,18: height 7, width 8.
    const RECT Box{10, 10, 19, 18};
    // In each middle row the left slope is shadowed and the right slope lit.
    auto SlopesOf = [](TBitmap& Bmp, int Y) {
        int First = -1, Last = -1;
        for (int X = 10; X < 19; ++X)
            if (PixelAt(Bmp, X, Y) != Back && PixelAt(Bmp, X, Y) != clBlue) {
                if (First < 0)
                    First = X;
                Last = X;
            }
        return std::make_pair(First < 0 ? clNone : PixelAt(Bmp, First, Y),
                              Last < 0 ? clNone : PixelAt(Bmp, Last, Y));
    };
    TBitmap Down;
    Blank(Down, 40, 40, clBlue);
    DrawDownArrow(Down.Canvas(), Box, Back, Dark, Light);
    for (int X = 10; X <= 16; ++X)
        EXPECT_EQ(PixelAt(Down, X, 10), Dark) << "the top edge is shadowed at " << X;
    for (int Y = 12; Y <= 14; ++Y)
        EXPECT_EQ(SlopesOf(Down, Y), std::make_pair(Dark, Light)) << "row " << Y;
    EXPECT_EQ(PixelAt(Down, 13, 16), Dark) << "the point is at the bottom centre";
    EXPECT_EQ(PixelAt(Down, 10, 16), Back) << "beside the point is background";
    EXPECT_EQ(PixelAt(Down, 25, 25), clBlue) << "nothing outside the box";

    TBitmap Up;
    Blank(Up, 40, 40, clBlue);
    DrawUpArrow(Up.Canvas(), Box, Back, Dark, Light);
    for (int X = 10; X <= 16; ++X)
        EXPECT_EQ(PixelAt(Up, X, 16), Light) << "the bottom edge is lit at " << X;
    for (int Y = 12; Y <= 14; ++Y)
        EXPECT_EQ(SlopesOf(Up, Y), std::make_pair(Dark, Light)) << "row " << Y;
    EXPECT_EQ(PixelAt(Up, 13, 10), Dark) << "the point is at the top centre";
    EXPECT_EQ(PixelAt(Up, 10, 10), Back) << "beside the point is background";

    TBitmap NoBack;
    Blank(NoBack, 40, 40, clBlue);
    DrawDownArrow(NoBack.Canvas(), Box, clNone, Dark, Light);
    EXPECT_EQ(PixelAt(NoBack, 10, 16), clBlue) << "clNone leaves the box unfilled";
}

TEST(HeaderSortArrows, CellDrawsTheArrowOfTheSortColumnOnly) {
    auto ShadowPixels = [](bool Sort, TNVLvSortDirection Dir, int Width) {
        TBitmap Bmp;
        Blank(Bmp, 120, 20, clWhite);
        NVDrawHeaderCell(Bmp.Canvas(), RECT{0, 0, 120, 20}, "", DT_LEFT,
                         TNVLvHeaderSortDisplayMode::nvlvRightAlign, Sort, Dir, Width);
        int N = 0;
        const TColor Shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
        for (int Y = 0; Y < 20; ++Y)
            for (int X = 80; X < 120; ++X)
                N += PixelAt(Bmp, X, Y) == Shadow;
        return N;
    };
    EXPECT_GT(ShadowPixels(true, TNVLvSortDirection::nvsdAsc, 120), 3);
    EXPECT_GT(ShadowPixels(true, TNVLvSortDirection::nvsdDesc, 120), 3);
    EXPECT_EQ(ShadowPixels(false, TNVLvSortDirection::nvsdAsc, 120), 0);
    EXPECT_EQ(ShadowPixels(true, TNVLvSortDirection::nvsdAsc, 10), 0);
}

// ---- Custom draw ----

namespace {

struct TCustomDrawCase {
    const char* Name;
    DWORD Stage;
    bool Tree; // the tree's wrapper asks for item notifications at pre-paint
    bool ChangeFont, ChangeBrush, SkipDefault;
    LRESULT SetResult; // -1: not set
    LRESULT Expected;
    bool TextColourWritten, BackColourWritten;
};

} // namespace

TEST(ShellCustomDraw, StagesMapAndEraseStagesAreUnknown) {
    struct {
        DWORD Raw;
        TNVCustomDrawStage Stage;
    } Cases[] = {
        {CDDS_PREPAINT, TNVCustomDrawStage::nvcdsPrePaint},
        {CDDS_POSTPAINT, TNVCustomDrawStage::nvcdsPostPaint},
        {CDDS_ITEMPREPAINT, TNVCustomDrawStage::nvcdsItemPrePaint},
        {CDDS_ITEMPOSTPAINT, TNVCustomDrawStage::nvcdsItemPostPaint},
        {CDDS_PREERASE, TNVCustomDrawStage::nvcdsUnknown},
        {CDDS_ITEMPREERASE, TNVCustomDrawStage::nvcdsUnknown},
        {CDDS_ITEMPOSTERASE, TNVCustomDrawStage::nvcdsUnknown},
    };
    for (const auto& C : Cases) {
        NMLVCUSTOMDRAW R{};
        R.nmcd.dwDrawStage = C.Raw;
        LRESULT Result = 0;
        TNVLvCustomDraw CD(R, Result, nullptr);
        EXPECT_EQ(CD.DrawStage(), C.Stage) << C.Raw;
        EXPECT_EQ(CD.IsItem(), (C.Raw & CDDS_ITEM) != 0) << C.Raw;
    }
}

TEST(ShellCustomDraw, ApplyWritesTheHandlersChoices) {
    const TCustomDrawCase Cases[] = {
        {"tree pre-paint asks for items", CDDS_PREPAINT, true, false, false, false, -1, CDRF_NOTIFYITEMDRAW,
         false, false},
        {"list pre-paint asks nothing", CDDS_PREPAINT, false, false, false, false, -1, CDRF_DODEFAULT, false,
         false},
        {"a result set by the handler stands", CDDS_PREPAINT, true, false, false, false, CDRF_NOTIFYPOSTPAINT,
         CDRF_NOTIFYPOSTPAINT, false, false},
        {"untouched item draws by default", CDDS_ITEMPREPAINT, false, false, false, false, -1, CDRF_DODEFAULT,
         false, false},
        {"new font is selected and coloured", CDDS_ITEMPREPAINT, false, true, false, false, -1, CDRF_NEWFONT,
         true, false},
        {"new brush colours the text background", CDDS_ITEMPREPAINT, true, false, true, false, -1,
         CDRF_DODEFAULT, false, true},
        {"skip default skips, font or not", CDDS_ITEMPREPAINT, false, true, true, true, -1, CDRF_SKIPDEFAULT,
         false, false},
        {"post-paint writes nothing", CDDS_ITEMPOSTPAINT, false, true, true, false, -1, CDRF_DODEFAULT, false,
         false},
    };
    HDC DC = CreateCompatibleDC(nullptr);
    ASSERT_NE(DC, nullptr);
    SetTextColor(DC, RGB(1, 2, 3));
    SetBkColor(DC, RGB(4, 5, 6));
    TFont Source;
    Source.SetName("Arial");
    for (const TCustomDrawCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        NMTVCUSTOMDRAW TreeRecord{};
        NMLVCUSTOMDRAW ListRecord{};
        NMCUSTOMDRAW& Common = C.Tree ? TreeRecord.nmcd : ListRecord.nmcd;
        COLORREF& TextColour = C.Tree ? TreeRecord.clrText : ListRecord.clrText;
        COLORREF& TextBack = C.Tree ? TreeRecord.clrTextBk : ListRecord.clrTextBk;
        Common.dwDrawStage = C.Stage;
        Common.hdc = DC;
        TextColour = TextBack = RGB(9, 9, 9);
        LRESULT Result = 77;
        std::unique_ptr<TNVCustomDraw> CD;
        if (C.Tree)
            CD = std::make_unique<TNVTvCustomDraw>(TreeRecord, Result, &Source);
        else
            CD = std::make_unique<TNVLvCustomDraw>(ListRecord, Result, &Source);
        // The handler's font and brush start from the context's current colours.
        EXPECT_EQ(ColorToRGB(CD->Font().Color()), RGB(1, 2, 3));
        EXPECT_EQ(ColorToRGB(CD->Brush().Color()), RGB(4, 5, 6));
        if (C.ChangeFont) {
            CD->Font().SetColor(clRed);
            CD->Font().SetSize(20);
        }
        if (C.ChangeBrush)
            CD->Brush().SetColor(clYellow);
        CD->SkipDefault = C.SkipDefault;
        if (C.SetResult >= 0)
            CD->SetResult(C.SetResult);
        CD->Apply();
        EXPECT_EQ(Result, C.Expected);
        EXPECT_EQ(TextColour, C.TextColourWritten ? ColorToRGB(clRed) : RGB(9, 9, 9));
        EXPECT_EQ(TextBack, C.BackColourWritten ? ColorToRGB(clYellow) : RGB(9, 9, 9));
        if (C.Expected & CDRF_NEWFONT) {
            EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), static_cast<HGDIOBJ>(CD->Font().Handle()));
        }
        SelectObject(DC, GetStockObject(SYSTEM_FONT));
    }
    DeleteDC(DC);
}

TEST(ShellCustomDraw, DrawingOnTheCanvasGivesTheContextItsObjectsBack) {
    HDC DC = CreateCompatibleDC(nullptr);
    HFONT Mine = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(DC, Mine);
    NMLVCUSTOMDRAW R{};
    R.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    R.nmcd.hdc = DC;
    LRESULT Result = 0;
    {
        TNVLvCustomDraw CD(R, Result, nullptr);
        CD.Canvas().Font().SetSize(30);
        CD.Canvas().TextOut(0, 0, "x");
        CD.Apply();
        EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), static_cast<HGDIOBJ>(Mine));
    }
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), static_cast<HGDIOBJ>(Mine));
    SelectObject(DC, GetStockObject(SYSTEM_FONT));
    DeleteObject(Mine);
    DeleteDC(DC);
}

// ---- The family's Send To submenu ----

namespace {

std::vector<TNVSendToEntry> SendToEntries() {
    return {
        {"Backup.lnk", 3}, {"Bin", -1}, {"Compressed folder.zip", 4}, {"Desktop (shortcut).DeskLink", -1}};
}

// A submenu as the shell leaves it: one grayed placeholder.
HMENU PlaceholderMenu() {
    HMENU M = CreatePopupMenu();
    AppendMenuA(M, MF_STRING | MF_GRAYED, 5000, "(empty)");
    return M;
}

} // namespace

TEST(ShellSendToMenu, FillsOnlyThePlaceholderSubmenu) {
    const auto Entries = SendToEntries();
    HMENU M = PlaceholderMenu();
    ASSERT_TRUE(NVFillSendToMenu(M, Entries));
    ASSERT_EQ(GetMenuItemCount(M), 4);
    for (int I = 0; I < 4; ++I) {
        MENUITEMINFOA Info{};
        Info.cbSize = sizeof(Info);
        Info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(M, static_cast<UINT>(I), TRUE, &Info));
        EXPECT_EQ(Info.wID, static_cast<UINT>(I + 1));
        EXPECT_TRUE(Info.fType & MFT_OWNERDRAW);
        EXPECT_EQ(Info.dwItemData, static_cast<ULONG_PTR>(I));
    }
    EXPECT_FALSE(NVFillSendToMenu(M, Entries)) << "a filled menu is not filled twice";
    DestroyMenu(M);

    HMENU Enabled = CreatePopupMenu();
    AppendMenuA(Enabled, MF_STRING, 5000, "Open");
    EXPECT_FALSE(NVFillSendToMenu(Enabled, Entries)) << "one enabled item is a real command";
    EXPECT_EQ(GetMenuItemCount(Enabled), 1);
    DestroyMenu(Enabled);
}

TEST(ShellSendToMenu, ItemsShowTheNameWithoutExtensionAfterTheIconColumn) {
    const auto Entries = SendToEntries();
    EXPECT_TRUE(NVIsSendToItem(ODT_MENU, 2, Entries));
    EXPECT_FALSE(NVIsSendToItem(ODT_MENU, 4, Entries)) << "beyond the list";
    EXPECT_FALSE(NVIsSendToItem(ODT_MENU, 1000, Entries)) << "a shell command's data";
    EXPECT_FALSE(NVIsSendToItem(ODT_LISTBOX, 0, Entries));

    MEASUREITEMSTRUCT Measure{};
    Measure.CtlType = ODT_MENU;
    Measure.itemData = 0;
    NVMeasureSendToItem(Measure, Entries);
    EXPECT_EQ(Measure.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2));
    MEASUREITEMSTRUCT Longer = Measure;
    Longer.itemData = 2;
    NVMeasureSendToItem(Longer, Entries);
    EXPECT_GT(Longer.itemWidth, Measure.itemWidth + 20) << "\"Compressed folder\" is longer than \"Backup\"";
    EXPECT_GT(Measure.itemWidth, 32u);

    // Draw entry "Bin" (no icon) and "Backup" (icon 3) unselected and selected, and look where
    // the text and the icon land.
    TBitmap Bmp;
    Blank(Bmp, 200, 24, clBlue);
    auto Draw = [&](ULONG_PTR Data, UINT State, int Id) {
        Blank(Bmp, 200, 24, clBlue);
        DRAWITEMSTRUCT D{};
        D.CtlType = ODT_MENU;
        D.itemID = static_cast<UINT>(Id);
        D.itemData = Data;
        D.itemState = State;
        D.hDC = Bmp.Canvas().Handle();
        D.rcItem = RECT{0, 0, 200, 22};
        NVDrawSendToItem(D, Entries);
    };
    auto CountColour = [&](int X0, int X1, COLORREF C) {
        int N = 0;
        for (int Y = 0; Y < 22; ++Y)
            for (int X = X0; X < X1; ++X)
                N += static_cast<COLORREF>(PixelAt(Bmp, X, Y)) == C;
        return N;
    };
    const COLORREF MenuBack = GetSysColor(COLOR_MENU), MenuText = GetSysColor(COLOR_MENUTEXT);
    Draw(1, 0, 2);
    EXPECT_EQ(CountColour(0, 32, MenuBack), 32 * 22) << "no icon: the icon column is only background";
    EXPECT_GT(CountColour(32, 60, MenuText), 5) << "the text starts at 32";
    EXPECT_EQ(CountColour(0, 200, static_cast<COLORREF>(clBlue)), 0) << "the whole item is filled";
    Draw(1, ODS_SELECTED, 2);
    EXPECT_GT(CountColour(0, 200, GetSysColor(COLOR_HIGHLIGHT)), 32 * 22) << "selected: highlight colours";
    Draw(0, 0, 1);
    EXPECT_LT(CountColour(8, 24, MenuBack), 16 * 20) << "an icon is drawn 8 pixels in";
    Draw(1, ODS_SELECTED, -1);
    EXPECT_EQ(CountColour(0, 200, MenuBack), 200 * 22) << "no id: filled with the menu colour only";
}

TEST(ShellSendToMenu, TypedCharacterPicksTheNextEntry) {
    const auto Entries = SendToEntries(); // Backup, Bin, Compressed folder, Desktop (shortcut)
    HMENU M = PlaceholderMenu();
    ASSERT_TRUE(NVFillSendToMenu(M, Entries));
    EXPECT_EQ(NVSendToMenuChar(M, 'c', Entries), MAKELRESULT(2, MNC_EXECUTE)) << "one entry starts with C";
    EXPECT_EQ(NVSendToMenuChar(M, 'b', Entries), MAKELRESULT(0, MNC_SELECT)) << "two start with B";
    HiliteMenuItem(nullptr, M, 0, MF_BYPOSITION | MF_HILITE);
    MENUITEMINFOA Hi{};
    Hi.cbSize = sizeof(Hi);
    Hi.fMask = MIIM_STATE;
    Hi.fState = MFS_HILITE;
    SetMenuItemInfoA(M, 0, TRUE, &Hi);
    EXPECT_EQ(NVSendToMenuChar(M, 'B', Entries), MAKELRESULT(1, MNC_SELECT)) << "after the highlighted one";
    EXPECT_EQ(NVSendToMenuChar(M, 'x', Entries), 0);
    DestroyMenu(M);
    HMENU Other = CreatePopupMenu();
    AppendMenuA(Other, MF_STRING, 1001, "Backup now");
    EXPECT_EQ(NVSendToMenuChar(Other, 'b', Entries), 0) << "not a Send To submenu";
    DestroyMenu(Other);
}

TEST(ShellSendToMenu, SessionFillsAndDrawsForAMenuThatDrawsNothing) {
    const auto Entries = SendToEntries();
    TNVShellMenuSession Session(nullptr, &Entries);
    HMENU M = PlaceholderMenu();
    TMessage Init{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(M), 0, 0};
    EXPECT_TRUE(Session.HandleMenuMessage(Init));
    EXPECT_EQ(GetMenuItemCount(M), 4);
    MEASUREITEMSTRUCT Measure{};
    Measure.CtlType = ODT_MENU;
    Measure.itemData = 1;
    TMessage M2{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&Measure), 0};
    EXPECT_TRUE(Session.HandleMenuMessage(M2));
    EXPECT_EQ(M2.Result, TRUE);
    Measure.itemData = 1500;
    TMessage M3{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&Measure), 0};
    EXPECT_FALSE(Session.HandleMenuMessage(M3)) << "other owner-drawn items are not ours";
    std::vector<std::string> Hints;
    Session.OnHint = [&Hints](const std::string& H) { Hints.push_back(H); };
    TMessage Select{WM_MENUSELECT, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(M), 0};
    EXPECT_FALSE(Session.HandleMenuMessage(Select)) << "the hint does not take the message";
    EXPECT_EQ(Hints, std::vector<std::string>{""}) << "a Send To entry has no shell help text";
    DestroyMenu(M);
}

// ---- The shared column widths ----

TEST(ColumnWidthStore, KeepsTheLastSavedWidths) {
    NVClearColumnWidths();
    EXPECT_TRUE(NVLoadColumnWidths().empty());
    NVSaveColumnWidths({120, 60, 333});
    EXPECT_EQ(NVLoadColumnWidths(), (std::vector<int>{120, 60, 333}));
    NVSaveColumnWidths({90});
    EXPECT_EQ(NVLoadColumnWidths(), std::vector<int>{90});
    NVClearColumnWidths();
    EXPECT_TRUE(NVLoadColumnWidths().empty());
}

TEST(ColumnWidthStore, DirectoryColsCompareWithThePreviousRead) {
    NVClearColumnWidths();
    const std::vector<uint8_t> A{200, 0, 60, 0}, B{201, 0, 60, 0};
    EXPECT_FALSE(NVSameDirectoryColsAsBefore(A)) << "nothing is remembered the first time";
    EXPECT_TRUE(NVSameDirectoryColsAsBefore(A));
    EXPECT_FALSE(NVSameDirectoryColsAsBefore(B));
    EXPECT_FALSE(NVSameDirectoryColsAsBefore({200, 0})) << "a shorter value differs";
    NVClearColumnWidths();
}
