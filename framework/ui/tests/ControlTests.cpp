#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "UiTestSupport.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/Menus.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/StdCtrls.h"

#include <commctrl.h>

namespace {

class ControlTest : public UiTest {};

// A form that shows most controls at once, described as data.
class TSampleForm : public TForm {
public:
    explicit TSampleForm(TComponent* AOwner) : TForm(AOwner) {
        TFormLayout L;
        L.Caption = "Sample";
        L.ClientWidth = 420;
        L.ClientHeight = 300;
        L.BorderStyle = TFormBorderStyle::bsSingle;
        L.Items = {
            {"TPanel",
             "Top",
             "",
             0,
             0,
             420,
             34,
             "",
             {{"Align", "alTop"}, {"BevelOuter", "bvRaised"}},
             nullptr,
             nullptr},
            {"TSpeedButton",
             "Bold",
             "Top",
             4,
             5,
             24,
             24,
             "B",
             {{"GroupIndex", "1"}, {"Down", "True"}},
             nullptr,
             nullptr},
            {"TSpeedButton", "Italic", "Top", 28, 5, 24, 24, "I", {{"GroupIndex", "1"}}, nullptr, nullptr},
            {"TStatusBar",
             "Status",
             "",
             0,
             0,
             420,
             20,
             "",
             {{"SimplePanel", "True"}, {"SimpleText", "Ready"}},
             nullptr,
             nullptr},
            {"TPageControl", "Pages", "", 8, 42, 260, 200, "", {}, nullptr, nullptr},
            {"TTabSheet",
             "General",
             "",
             0,
             0,
             0,
             0,
             "General",
             {},
             nullptr,
             [](TControl& C) {
                 static_cast<TTabSheet&>(C).SetPageControl(
                     static_cast<TPageControl*>(C.Owner()->FindComponent("Pages")));
             }},
            {"TTabSheet",
             "More",
             "",
             0,
             0,
             0,
             0,
             "More",
             {},
             nullptr,
             [](TControl& C) {
                 static_cast<TTabSheet&>(C).SetPageControl(
                     static_cast<TPageControl*>(C.Owner()->FindComponent("Pages")));
             }},
            {"TLabel", "NameLabel", "General", 8, 10, 60, 16, "&Name:", {}, nullptr, nullptr},
            {"TEdit", "NameEdit", "General", 70, 8, 170, 21, "", {{"Text", "index.html"}}, nullptr, nullptr},
            {"TComboBox",
             "Kind",
             "General",
             70,
             36,
             170,
             21,
             "",
             {{"Style", "csDropDownList"}},
             nullptr,
             [](TControl& C) {
                 auto& B = static_cast<TComboBox&>(C);
                 B.Items().Add("HTML");
                 B.Items().Add("CSS");
                 B.SetItemIndex(0);
             }},
            {"TCheckBox",
             "Backup",
             "General",
             8,
             66,
             150,
             17,
             "Make &backup",
             {{"Checked", "True"}},
             nullptr,
             nullptr},
            {"TRadioButton", "Unix", "General", 8, 88, 110, 17, "&Unix", {}, nullptr, nullptr},
            {"TRadioButton",
             "Dos",
             "General",
             120,
             88,
             110,
             17,
             "&Windows",
             {{"Checked", "True"}},
             nullptr,
             nullptr},
            {"TBevel", "Line", "General", 8, 112, 232, 2, "", {{"Shape", "bsTopLine"}}, nullptr, nullptr},
            {"TProgressBar",
             "Progress",
             "General",
             8,
             122,
             232,
             16,
             "",
             {{"Position", "60"}},
             nullptr,
             nullptr},
            {"TListBox",
             "Files",
             "",
             276,
             42,
             136,
             160,
             "",
             {{"Sorted", "True"}},
             nullptr,
             [](TControl& C) {
                 auto& B = static_cast<TListBox&>(C);
                 for (const char* S : {"style.css", "index.html", "about.html"})
                     B.Items().Add(S);
                 B.SetItemIndex(1);
             }},
            {"TButton",
             "OkBut",
             "",
             256,
             250,
             75,
             25,
             "OK",
             {{"Default", "True"}, {"ModalResult", "1"}},
             nullptr,
             nullptr},
            {"TButton",
             "CancelBut",
             "",
             337,
             250,
             75,
             25,
             "Cancel",
             {{"Cancel", "True"}, {"ModalResult", "2"}},
             nullptr,
             nullptr},
        };
        L.PixelsPerInch = Screen->PixelsPerInch();
        BuildForm(*this, L);
    }
    template <class T> T* Get(const char* Name) { return static_cast<T*>(FindComponent(Name)); }
};

TEST_F(ControlTest, SampleFormScreenshotIsWrittenAsPng) {
    TSampleForm Form(nullptr);
    Form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form.Handle()) != 0; }));
    TBitmap Shot;
    CaptureClient(Form, Shot);
    std::string File = TestOutputFolder() + "\\SampleForm.png";
    SavePng(Shot, File);
    Form.Hide();

    std::ifstream In(File, std::ios::binary);
    std::vector<uint8_t> Png((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    ASSERT_GT(Png.size(), 33u);
    EXPECT_EQ(std::string(Png.begin() + 1, Png.begin() + 4), "PNG");
    auto BE32 = [&](size_t At) {
        return (Png[At] << 24) | (Png[At + 1] << 16) | (Png[At + 2] << 8) | Png[At + 3];
    };
    EXPECT_EQ(BE32(16), Shot.Width());
    EXPECT_EQ(BE32(20), Shot.Height());
    // The picture shows the controls, not one flat colour: the default button's frame is dark,
    // the form's face is the button face colour.
    COLORREF Face = ColorToRGB(clBtnFace);
    int Distinct = 0;
    for (int Y = 0; Y < Shot.Height(); Y += 3) {
        const uint8_t* Line = Shot.ScanLine(Y);
        for (int X = 0; X < Shot.Width(); X += 3)
            if (RGB(Line[X * 3 + 2], Line[X * 3 + 1], Line[X * 3]) != Face)
                ++Distinct;
    }
    EXPECT_GT(Distinct, 200);
    EXPECT_EQ(Shot.Canvas().Pixel(Shot.Width() - 3, Shot.Height() / 2 + 40) & 0xFFFFFF,
              static_cast<TColor>(Face));
}

TEST_F(ControlTest, AlignedChildrenShareTheClientArea) {
    TSampleForm Form(nullptr);
    Form.Show();
    auto* Top = Form.Get<TPanel>("Top");
    auto* Status = Form.Get<TStatusBar>("Status");
    EXPECT_EQ(Top->Top(), 0);
    EXPECT_EQ(Top->Width(), Form.ClientWidth());
    EXPECT_EQ(Status->Top() + Status->Height(), Form.ClientHeight());
    EXPECT_EQ(Status->Width(), Form.ClientWidth());
    // The active page fills the display area; the hidden one stays hidden.
    auto* Pages = Form.Get<TPageControl>("Pages");
    auto* General = Form.Get<TTabSheet>("General");
    auto* More = Form.Get<TTabSheet>("More");
    EXPECT_EQ(Pages->ActivePage(), General);
    EXPECT_TRUE(IsWindowVisible(General->Handle()));
    EXPECT_FALSE(IsWindowVisible(More->Handle()));
    RECT D = Pages->DisplayRect();
    EXPECT_EQ(General->Left(), D.left);
    EXPECT_EQ(General->Width(), D.right - D.left);
    Pages->SetActivePageIndex(1);
    EXPECT_TRUE(IsWindowVisible(More->Handle()));
    EXPECT_FALSE(IsWindowVisible(General->Handle()));
    EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    Form.Hide();
}

TEST_F(ControlTest, PageControlShowsThePageOfTheTabTheUserChose) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 400, 300);
    auto* Pages = new TPageControl(&Form);
    Pages->SetParent(&Form);
    Pages->SetAlign(TAlign::alClient);
    std::vector<TTabSheet*> Sheets;
    for (const char* Caption : {"Messages", "Hidden", "Grouped", "Styles"}) {
        auto* S = new TTabSheet(&Form);
        S->SetCaption(Caption);
        S->SetPageControl(Pages);
        Sheets.push_back(S);
    }
    Sheets[1]->SetTabVisible(false);
    int Changes = 0;
    Pages->OnChange = [&](TObject*) { ++Changes; };
    Form.Show();
    Pages->SetActivePage(Sheets[0]);
    auto Visible = [&] {
        std::vector<int> V;
        for (TTabSheet* S : Sheets)
            V.push_back(IsWindowVisible(S->Handle()) ? 1 : 0);
        return V;
    };
    // A click on a tab moves the tab control's focus; the page must follow, there and back.
    struct Step {
        int Tab;
        TTabSheet* Page;
    } Steps[] = {{1, Sheets[2]}, {2, Sheets[3]}, {0, Sheets[0]}, {1, Sheets[2]}, {0, Sheets[0]}};
    for (const Step& S : Steps) {
        SendMessageA(Pages->Handle(), TCM_SETCURFOCUS, static_cast<WPARAM>(S.Tab), 0);
        Application->ProcessMessages();
        EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETCURSEL, 0, 0), S.Tab);
        EXPECT_EQ(Pages->ActivePage(), S.Page) << "tab " << S.Tab;
        std::vector<int> Want(Sheets.size(), 0);
        Want[static_cast<size_t>(S.Page->PageIndex())] = 1;
        EXPECT_EQ(Visible(), Want) << "tab " << S.Tab;
    }
    EXPECT_EQ(Changes, 5);
    Form.Hide();
}

TEST_F(ControlTest, ListAndComboKeepItemsAndSelectionAcrossWindowRecreation) {
    TSampleForm Form(nullptr);
    auto* Files = Form.Get<TListBox>("Files");
    ASSERT_EQ(Files->Items().Count(), 3);
    EXPECT_EQ(Files->Items()[0], "about.html");
    EXPECT_EQ(Files->Items()[1], "index.html");
    EXPECT_EQ(SendMessageA(Files->Handle(), LB_GETCOUNT, 0, 0), 3);
    char Buf[64] = {};
    SendMessageA(Files->Handle(), LB_GETTEXT, 2, reinterpret_cast<LPARAM>(Buf));
    EXPECT_STREQ(Buf, "style.css");
    auto* Kind = Form.Get<TComboBox>("Kind");
    EXPECT_EQ(Kind->ItemIndex(), 0);
    Kind->SetItemIndex(1);
    Kind->SetStyle(TComboBoxStyle::csDropDown); // a new window
    EXPECT_EQ(Kind->ItemIndex(), 1);
    EXPECT_EQ(SendMessageA(Kind->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(Kind->Text(), "CSS");
}

TEST_F(ControlTest, CheckRadioAndSpeedButtonGroupsKeepOneChoice) {
    TSampleForm Form(nullptr);
    Form.Show();
    auto* Unix = Form.Get<TRadioButton>("Unix");
    auto* Dos = Form.Get<TRadioButton>("Dos");
    SendMessageA(Unix->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(Unix->Checked());
    EXPECT_FALSE(Dos->Checked());
    EXPECT_EQ(SendMessageA(Dos->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    auto* Backup = Form.Get<TCheckBox>("Backup");
    int Clicks = 0;
    Backup->OnClick = [&](TObject*) { ++Clicks; };
    SendMessageA(Backup->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(Backup->Checked());
    EXPECT_EQ(Clicks, 1);
    auto* Bold = Form.Get<TSpeedButton>("Bold");
    auto* Italic = Form.Get<TSpeedButton>("Italic");
    // A real click on the graphic button goes through its parent's window.
    HWND Panel = Form.Get<TPanel>("Top")->Handle();
    LPARAM At = MAKELPARAM(Italic->Left() + 5, Italic->Top() + 5);
    SendMessageA(Panel, WM_LBUTTONDOWN, MK_LBUTTON, At);
    SendMessageA(Panel, WM_LBUTTONUP, 0, At);
    EXPECT_TRUE(Italic->Down());
    EXPECT_FALSE(Bold->Down());
    Italic->SetDown(false); // the last one down stays down without AllowAllUp
    EXPECT_TRUE(Italic->Down());
    Form.Hide();
}

// A speed button that cannot be pressed shows its picture greyed: none of the picture's colours,
// its shape etched in the shadow colour.
TEST_F(ControlTest, DisabledSpeedButtonEtchesItsGlyphInGrey) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 200, 120);
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetAlign(TAlign::alClient);
    Panel->SetBevelOuter(TBevelCut::bvNone);
    const COLORREF Red = RGB(220, 0, 0);
    TSpeedButton* Buttons[2];
    for (int I = 0; I < 2; ++I) {
        auto* B = new TSpeedButton(&Form);
        B->SetParent(Panel);
        B->SetBounds(10 + I * 40, 10, 23, 22);
        B->SetFlat(true);
        TBitmap& G = B->Glyph();
        G.SetSize(16, 16);
        TCanvas& C = G.Canvas();
        C.Brush().SetColor(clWhite);
        C.FillRect(RECT{0, 0, 16, 16});
        C.Brush().SetColor(static_cast<TColor>(Red));
        C.FillRect(RECT{4, 4, 12, 12});
        Buttons[I] = B;
    }
    Buttons[1]->SetEnabled(false);
    Form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form.Handle()) != 0; }));
    Form.Repaint();
    TBitmap Shot;
    CaptureClient(Form, Shot);
    Form.Hide();
    auto Count = [&](TSpeedButton* B, COLORREF Colour) {
        int N = 0;
        for (int Y = B->Top(); Y < B->Top() + B->Height(); ++Y) {
            const uint8_t* Line = Shot.ScanLine(Y);
            for (int X = B->Left(); X < B->Left() + B->Width(); ++X) {
                const uint8_t* Px = Line + static_cast<size_t>(X) * 3;
                N += RGB(Px[2], Px[1], Px[0]) == Colour;
            }
        }
        return N;
    };
    EXPECT_EQ(Count(Buttons[0], Red), 64);
    EXPECT_EQ(Count(Buttons[1], Red), 0);
    EXPECT_GE(Count(Buttons[1], ColorToRGB(clBtnShadow)), 64) << "the square etched in the shadow colour";
}

TEST_F(ControlTest, AltWithAnAcceleratorActsOnItsControl) {
    TSampleForm Form(nullptr);
    Form.Get<TLabel>("NameLabel")->SetFocusControl(Form.Get<TEdit>("NameEdit"));
    Form.Show();
    auto* Backup = Form.Get<TCheckBox>("Backup");
    auto* Unix = Form.Get<TRadioButton>("Unix");
    HWND Files = Form.Get<TListBox>("Files")->Handle();
    SetFocus(Files);
    struct Case {
        char Key;
        std::function<bool()> Check;
    };
    const Case Cases[] = {
        {'b', [&] { return !Backup->Checked(); }},
        {'U', [&] { return Unix->Checked(); }},
        {'n', [&] { return GetFocus() == Form.Get<TEdit>("NameEdit")->Handle(); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Key);
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<unsigned char>(C.Key), 0x20000000);
        Application->ProcessMessages();
        EXPECT_TRUE(C.Check());
    }
    int Oks = 0;
    Form.Get<TButton>("OkBut")->SetCaption("&Apply");
    Form.Get<TButton>("OkBut")->OnClick = [&](TObject*) { ++Oks; };
    PostMessageA(GetFocus(), WM_SYSCHAR, 'a', 0x20000000);
    Application->ProcessMessages();
    EXPECT_EQ(Oks, 1);
    EXPECT_TRUE(IsAccel('S', "Save &s"));
    EXPECT_FALSE(IsAccel('S', "Fish && Chips"));
    Form.Hide();
}

TEST_F(ControlTest, WindowClassNameIsSettableAndFindsTheObject) {
    TForm Form(nullptr);
    Form.SetWindowClassName("TZELTestMessageWindow");
    Form.SetCaption("ZEL Test Window");
    HWND Found = FindWindowA("TZELTestMessageWindow", "ZEL Test Window");
    EXPECT_EQ(Found, nullptr); // no window until one is needed
    HWND Wnd = Form.Handle();
    Found = FindWindowA("TZELTestMessageWindow", "ZEL Test Window");
    EXPECT_EQ(Found, Wnd);
    EXPECT_EQ(TWinControl::FromHandle(Found), &Form);
    // A window of someone else is not taken for ours.
    EXPECT_EQ(TWinControl::FromHandle(GetDesktopWindow()), nullptr);
}

TEST_F(ControlTest, MenuShortcutRunsItsItemOnceAndItemsUpdateTheMenu) {
    TForm Form(nullptr);
    auto* Menu = new TMainMenu(&Form);
    auto* File = new TMenuItem(&Form);
    File->SetCaption("&File");
    auto* Save = new TMenuItem(&Form);
    Save->SetCaption("&Save");
    Save->SetShortCut(ShortCut('S', ssCtrl));
    int Saved = 0;
    Save->OnClick = [&](TObject*) { ++Saved; };
    File->Add(Save);
    Menu->Items()->Add(File);
    Form.SetMenu(Menu);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    Form.Show();
    Edit->SetFocus();

    BYTE Keys[256];
    GetKeyboardState(Keys);
    Keys[VK_CONTROL] = 0x80;
    SetKeyboardState(Keys);
    PostKey(Edit->Handle(), 'S');
    Application->ProcessMessages();
    Keys[VK_CONTROL] = 0;
    SetKeyboardState(Keys);
    EXPECT_EQ(Saved, 1);
    EXPECT_EQ(Edit->Text(), ""); // the shortcut did not type into the edit

    HMENU Bar = GetMenu(Form.Handle());
    ASSERT_NE(Bar, nullptr);
    HMENU Sub = GetSubMenu(Bar, 0);
    char Text[64] = {};
    GetMenuStringA(Sub, 0, Text, sizeof(Text), MF_BYPOSITION);
    EXPECT_STREQ(Text, "&Save\tCtrl+S");
    Save->SetEnabled(false);
    EXPECT_TRUE(GetMenuState(Sub, 0, MF_BYPOSITION) & MF_GRAYED);
    // A menu command reaches the item through the form.
    Save->SetEnabled(true);
    SendMessageA(Form.Handle(), WM_COMMAND, Save->Command(), 0);
    EXPECT_EQ(Saved, 2);
    Form.Hide();
}

TEST_F(ControlTest, PanesThatWaitToBeShownGetTheirWindowsWhenShownInTheirPlace) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 300, 200);
    auto Panel = [&](TWinControl* Parent, bool Visible, bool Waits) {
        auto* P = new TPanel(&Form);
        P->SetParent(Parent);
        P->SetBounds(0, 0, 100, 100);
        P->SetVisible(Visible);
        P->SetCreateWhenShown(Waits);
        return P;
    };
    TPanel* Bottom = Panel(&Form, true, false);
    TPanel* Waiting = Panel(&Form, false, true);
    TPanel* Inside = Panel(Waiting, true, false);
    TPanel* PlainHidden = Panel(&Form, false, false);
    TPanel* Top = Panel(&Form, true, false);
    TPanel* AskedFor = Panel(&Form, false, true);
    Form.Show();
    EXPECT_TRUE(Bottom->HandleAllocated());
    EXPECT_TRUE(PlainHidden->HandleAllocated()) << "only those that ask wait";
    EXPECT_FALSE(Waiting->HandleAllocated());
    EXPECT_FALSE(Inside->HandleAllocated());
    EXPECT_FALSE(AskedFor->HandleAllocated());

    // Shown: its window and its children's come, between its siblings as the children list has it
    // (the platform's order is top first).
    Waiting->SetVisible(true);
    ASSERT_TRUE(Waiting->HandleAllocated());
    EXPECT_TRUE(Inside->HandleAllocated());
    EXPECT_EQ(GetParent(Inside->Handle()), Waiting->Handle());
    EXPECT_TRUE(IsWindowVisible(Inside->Handle()));
    std::vector<HWND> Order;
    for (HWND W = GetWindow(Form.Handle(), GW_CHILD); W; W = GetWindow(W, GW_HWNDNEXT))
        Order.push_back(W);
    EXPECT_EQ(Order,
              (std::vector<HWND>{Top->Handle(), PlainHidden->Handle(), Waiting->Handle(), Bottom->Handle()}));

    // Its handle asked for while hidden: made hidden, and in its place too.
    HWND Asked = AskedFor->Handle();
    EXPECT_FALSE(IsWindowVisible(Asked));
    EXPECT_EQ(GetWindow(Form.Handle(), GW_CHILD), Asked);
    // Hidden again, it keeps its window.
    Waiting->SetVisible(false);
    EXPECT_TRUE(Waiting->HandleAllocated());
    Form.Hide();
}

TEST_F(ControlTest, MenuChangesAtEveryLevelReachTheMenusShown) {
    TForm Form(nullptr);
    auto* Menu = new TMainMenu(&Form);
    auto* File = new TMenuItem(&Form);
    File->SetCaption("&File");
    auto* Recent = new TMenuItem(&Form);
    Recent->SetCaption("&Recent");
    auto* First = new TMenuItem(&Form);
    First->SetCaption("a.html");
    Recent->Add(First);
    File->Add(Recent);
    Menu->Items()->Add(File);
    Form.SetMenu(Menu);
    Form.Show();
    HMENU Bar = GetMenu(Form.Handle());
    ASSERT_NE(Bar, nullptr);
    HMENU FileMenu = GetSubMenu(Bar, 0);
    HMENU RecentMenu = GetSubMenu(FileMenu, 0);
    ASSERT_NE(RecentMenu, nullptr);
    auto Text = [](HMENU M, int I) {
        char Buffer[64] = {};
        GetMenuStringA(M, static_cast<UINT>(I), Buffer, sizeof(Buffer), MF_BYPOSITION);
        return std::string(Buffer);
    };
    // Deep in the tree: the submenu shown for it changes, the levels above keep their submenus.
    First->SetCaption("b.html");
    First->SetChecked(true);
    EXPECT_EQ(Text(RecentMenu, 0), "b.html");
    EXPECT_TRUE(GetMenuState(RecentMenu, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(GetSubMenu(FileMenu, 0), RecentMenu);
    auto* Second = new TMenuItem(&Form);
    Second->SetCaption("c.html");
    Recent->Add(Second);
    EXPECT_EQ(GetMenuItemCount(RecentMenu), 2);
    EXPECT_EQ(Text(RecentMenu, 1), "c.html");
    First->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(RecentMenu), 1);
    EXPECT_EQ(Text(RecentMenu, 0), "c.html");
    // On the bar itself.
    File->SetCaption("&Document");
    EXPECT_EQ(Text(Bar, 0), "&Document");
    Form.Hide();
}

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

TEST_F(ControlTest, PopupMenuRunsTheChosenItem) {
    TForm Form(nullptr);
    auto* Popup = new TPopupMenu(&Form);
    std::vector<std::string> Ran;
    for (const char* Caption : {"&Cut", "-", "&Paste"}) {
        auto* Item = new TMenuItem(&Form);
        Item->SetCaption(Caption);
        Item->OnClick = [&Ran, Caption](TObject*) { Ran.push_back(Caption); };
        Popup->Items()->Add(Item);
    }
    int Popups = 0;
    Popup->OnPopup = [&](TObject*) { ++Popups; };
    Form.SetPopupMenu(Popup);
    Form.Show();
    // The menu's own loop reads the keys: down to "&Paste" (the separator is skipped), then Enter.
    for (WORD Key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostKey(Form.Handle(), Key);
    // Never hang the run if the loop ignores them.
    UINT_PTR Guard = SetTimer(nullptr, 0, 3000, &EndMenuTimer);
    SendMessageA(Form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form.Handle()), MAKELPARAM(50, 50));
    KillTimer(nullptr, Guard);
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(Ran, (std::vector<std::string>{"&Paste"}));
    Form.Hide();
}

TEST_F(ControlTest, ShortCutTextRoundTrips) {
    struct Case {
        TShortCut Value;
        const char* Text;
    };
    const Case Cases[] = {{ShortCut('S', ssCtrl), "Ctrl+S"},
                          {ShortCut(VK_F3, ssShift), "Shift+F3"},
                          {ShortCut(VK_RETURN, ssAlt), "Alt+Enter"},
                          {ShortCut(VK_DELETE, ssShift | ssCtrl), "Shift+Ctrl+Del"},
                          {ShortCut(VK_F12, 0), "F12"}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(ShortCutToText(C.Value), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Value);
    }
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), scNone);
}

TEST_F(ControlTest, TimerTicksThroughTheMessageLoopUntilDisabled) {
    TTimer Timer(nullptr);
    int Ticks = 0;
    Timer.SetInterval(10);
    Timer.OnTimer = [&](TObject*) {
        if (++Ticks == 3)
            Timer.SetEnabled(false);
    };
    EXPECT_TRUE(PumpUntil([&] { return Ticks >= 3; }));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(Ticks, 3);
}

TEST_F(ControlTest, DestroyingAFormFreesControlsParentedOnItButOwnedElsewhere) {
    // A control owned by one component but placed on a form goes with the form, and leaves its owner.
    TComponent Owner(nullptr);
    {
        TForm Form(nullptr);
        auto* B = new TButton(&Owner);
        B->SetParent(&Form);
        Form.HandleNeeded();
        EXPECT_EQ(Owner.ComponentCount(), 1);
    }
    EXPECT_EQ(Owner.ComponentCount(), 0);
}

TEST_F(ControlTest, ImageListDrawsItsImagesWithTheMaskColourLeftOut) {
    TImageList Images(nullptr);
    TBitmap Strip;
    Strip.SetSize(32, 16); // two images side by side
    Strip.Canvas().Brush().SetColor(clFuchsia);
    Strip.Canvas().FillRect(RECT{0, 0, 32, 16});
    Strip.Canvas().Brush().SetColor(clGreen);
    Strip.Canvas().FillRect(RECT{4, 4, 12, 12});
    Strip.Canvas().Brush().SetColor(clBlue);
    Strip.Canvas().FillRect(RECT{16, 0, 32, 16});
    EXPECT_EQ(Images.AddMasked(Strip, clFuchsia), 0);
    EXPECT_EQ(Images.Count(), 2);
    TBitmap Out;
    Out.SetSize(40, 20);
    Out.Canvas().Brush().SetColor(clYellow);
    Out.Canvas().FillRect(RECT{0, 0, 40, 20});
    Images.Draw(Out.Canvas(), 0, 0, 0);
    Images.Draw(Out.Canvas(), 20, 0, 1);
    EXPECT_EQ(Out.Canvas().Pixel(1, 1), clYellow); // masked out
    EXPECT_EQ(Out.Canvas().Pixel(8, 8), clGreen);
    EXPECT_EQ(Out.Canvas().Pixel(25, 5), clBlue);
    Images.Delete(0);
    EXPECT_EQ(Images.Count(), 1);
    EXPECT_THROW(Images.Delete(5), EListError);
    TBitmap Empty;
    EXPECT_THROW(Images.Add(Empty), EInvalidOperation);
}

TEST_F(ControlTest, TabControlKeepsTabsAndReportsChanges) {
    TForm Form(nullptr);
    auto* Tabs = new TTabControl(&Form);
    Tabs->SetParent(&Form);
    Tabs->SetTabs({"index.html", "style.css", "app.js"});
    Tabs->SetTabIndex(1);
    Form.Show();
    EXPECT_EQ(SendMessageA(Tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Tabs->TabIndex(), 1);
    int Changes = 0;
    bool Allow = false;
    Tabs->OnChanging = [&](TObject*, bool& AllowChange) { AllowChange = Allow; };
    Tabs->OnChange = [&](TObject*) { ++Changes; };
    // A click on a tab comes as notifications from the control.
    NMHDR Hdr{Tabs->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
    EXPECT_EQ(SendMessageA(Form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Hdr)), 1); // refused
    Allow = true;
    EXPECT_EQ(SendMessageA(Form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Hdr)), 0);
    Hdr.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(Form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Hdr));
    EXPECT_EQ(Changes, 1);
    Form.Hide();
}

} // namespace

TEST_F(ControlTest, FormThatPreviewsKeysSeesThemFirstAndMaySwallowThem) {
    TForm Form(nullptr);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    std::vector<std::string> Seen;
    Form.OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        Seen.push_back("form down");
        if (Key == VK_F5)
            Key = 0;
    };
    Form.OnKeyUp = [&](TObject*, WORD&, TShiftState) { Seen.push_back("form up"); };
    Edit->OnKeyDown = [&](TObject*, WORD&, TShiftState) { Seen.push_back("edit down"); };
    Edit->OnKeyUp = [&](TObject*, WORD&, TShiftState) { Seen.push_back("edit up"); };
    Form.Show();
    Edit->SetFocus();

    PostKey(Edit->Handle(), VK_F4);
    Application->ProcessMessages();
    EXPECT_EQ(Seen, std::vector<std::string>({"edit down", "edit up"})); // the form is not asked
    Seen.clear();

    Form.SetKeyPreview(true);
    PostKey(Edit->Handle(), VK_F4);
    Application->ProcessMessages();
    EXPECT_EQ(Seen, std::vector<std::string>({"form down", "edit down", "form up", "edit up"}));
    Seen.clear();
    PostKey(Edit->Handle(), VK_F5);
    Application->ProcessMessages();
    EXPECT_EQ(Seen, std::vector<std::string>({"form down", "form up", "edit up"}));
    Form.Hide();
}
