// The members of the edit-control family in real windows: which editor and drop-down serve each
// value type, choosing them by class name, the pickers' values, the painted editors, the check
// box, the folder edit, the key rules and the border looks.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/PackagedRegistries.h"
#include "controls/tree/EditFamily.h"
#include "framework/ui/PngWriter.h"

namespace {

class EditFamily : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(120, 120, 420, 260);
        Form->SetCaption("Edit family");
    }
    void TearDown() override {
        SetCommonDialogHook(nullptr);
        SetHSEditPropertyHook(nullptr);
        Form.reset();
        UiTest::TearDown();
    }
    template <class T> T* Place(int Top, int Width = 180) {
        auto* E = new T(Form.get());
        E->SetParent(Form.get());
        E->SetBounds(20, Top, Width, 22);
        return E;
    }
    void ShowAndFocus(TCustomHSEdit* E) {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        if (E->Edit()->CanFocus())
            E->Edit()->SetFocus();
        Pump();
    }
    static void Pump(int Ms = 80) {
        PumpUntil([] { return false; }, Ms);
    }
    // The colour the screen shows at a client point of a control.
    static COLORREF ScreenPixel(TWinControl* C, int X, int Y) {
        POINT P{X, Y};
        ::ClientToScreen(C->Handle(), &P);
        HDC DC = GetDC(nullptr);
        COLORREF R = GetPixel(DC, P.x, P.y);
        ReleaseDC(nullptr, DC);
        return R;
    }
    static void SendKeys(std::initializer_list<std::pair<WORD, bool>> Keys) {
        std::vector<INPUT> In;
        for (auto [Key, Up] : Keys) {
            INPUT I{};
            I.type = INPUT_KEYBOARD;
            I.ki.wVk = Key;
            I.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
            In.push_back(I);
        }
        SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT));
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(EditFamily, EachValueTypeHasItsEditorAndDropDown) {
    struct Case {
        const char* Type;
        const void* Key;
        TClass Edit, Popup;
    } Cases[] = {
        {"String", StringValueType(), THSSimpleEdit::StaticClass(), TPopupListBox::StaticClass()},
        {"TColor", ColorValueType(), TColorEdit::StaticClass(), TPopupColorBox::StaticClass()},
        {"TPenStyle", PenStyleValueType(), TPenStyleEdit::StaticClass(), TPopupPenBox::StaticClass()},
        {"TBrushStyle", BrushStyleValueType(), TBrushStyleEdit::StaticClass(), TPopupBrushBox::StaticClass()},
        {"Boolean", BooleanValueType(), TCheckEdit::StaticClass(), nullptr},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Type);
        EXPECT_EQ(C.Edit, FindEditClass(C.Key, "AnyProperty"));
        EXPECT_EQ(C.Popup, FindPopupClass(C.Key));
    }
    EXPECT_TRUE(IsTextEditClass(THSSimpleEdit::StaticClass()));
    EXPECT_NE(nullptr, GetClass("TDummyPopup"));
    EXPECT_NE(nullptr, GetClass("TDummyEditSource"));

    UnRegisterBooleanEditor();
    EXPECT_EQ(nullptr, FindEditClass(BooleanValueType()));
    // The other types keep theirs; put the Boolean entries back for the tests that follow.
    EXPECT_EQ(TColorEdit::StaticClass(), FindEditClass(ColorValueType()));
    RegisterEditClass(BooleanValueType(), nullptr, "", TCheckEdit::StaticClass());
    RegisterPopupClass(BooleanValueType(), nullptr, "", nullptr);
}

TEST_F(EditFamily, ClassNamesChooseTheDropDownEditorAndBinding) {
    THSEdit* E = Place<THSEdit>(20);
    ShowAndFocus(E);
    EXPECT_TRUE(Is<THSSimpleEdit>(E->Edit()));
    EXPECT_TRUE(Is<TPopupListBox>(E->PopupControl()));
    EXPECT_TRUE(Is<TDummyEditSource>(E->EditSource()));

    struct Case {
        const char* Popup;
        TClass Expect;
    } Popups[] = {{"TPopupColorBox", TPopupColorBox::StaticClass()},
                  {"TNoSuchPopup", TDummyPopup::StaticClass()},
                  {"TEdit", TDummyPopup::StaticClass()}, // a class, but no registered drop-down
                  {"TPopupListBox", TPopupListBox::StaticClass()}};
    for (const Case& C : Popups) {
        SCOPED_TRACE(C.Popup);
        E->SetPopupClassName(C.Popup);
        EXPECT_EQ(C.Expect, E->PopupControl()->ClassType());
        E->Drop();
        Pump();
        EXPECT_EQ(C.Expect != TDummyPopup::StaticClass(), E->DroppedDown()) << "the placeholder never drops";
        E->CloseDropped(false);
    }

    E->SetEditText("True");
    E->SetEditClass("TCheckEdit");
    ASSERT_TRUE(Is<TCheckEdit>(E->Edit()));
    EXPECT_EQ("True", E->EditText()) << "the text survives the change of editor";
    EXPECT_TRUE(static_cast<TCheckEdit*>(E->Edit())->Checked());
    E->SetEditClass("TNoSuchEditor");
    EXPECT_TRUE(Is<THSSimpleEdit>(E->Edit()));

    // While loading the names are only stored; Loaded applies them.
    E->SetState(csLoading, true);
    E->SetEditClass("TColorEdit");
    E->SetPopupClassName("TPopupPenBox");
    EXPECT_TRUE(Is<THSSimpleEdit>(E->Edit()));
    EXPECT_TRUE(Is<TPopupListBox>(E->PopupControl()) && !Is<TPopupPenBox>(E->PopupControl()));
    E->Loaded();
    EXPECT_TRUE(Is<TColorEdit>(E->Edit()));
    EXPECT_TRUE(Is<TPopupPenBox>(E->PopupControl()));
}

TEST_F(EditFamily, PickersReadAndTakeTheirValues) {
    THSColorEdit* Colour = Place<THSColorEdit>(20);
    THSBrushStyleEdit* Brush = Place<THSBrushStyleEdit>(60);
    THSPenStyleEdit* Pen = Place<THSPenStyleEdit>(100);
    ShowAndFocus(Colour);

    // The no-colour constant is the last row of the colour list.
    Colour->SetSelectedColor(clNone);
    EXPECT_EQ("clNone", Colour->EditText());
    Colour->Drop();
    Pump();
    ASSERT_TRUE(Colour->DroppedDown());
    EXPECT_EQ(41, Colour->PopupWindow()->ItemIndex());
    EXPECT_EQ(42, Colour->PopupWindow()->Items().Count());
    Colour->PopupWindow()->SetItemIndex(9);
    Colour->CloseDropped(true);
    EXPECT_EQ("clRed", Colour->EditText());
    EXPECT_EQ(clRed, Colour->SelectedColor());

    struct Case {
        TCustomHSEdit* Edit;
        const char* Start;
        int Row;
        const char* Taken;
    } Cases[] = {{Brush, "bsCross", 6, "bsHorizontal"}, {Pen, "psDot", 2, "psDash"}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Start);
        C.Edit->Edit()->SetFocus();
        C.Edit->SetEditText(C.Start);
        C.Edit->Drop();
        Pump();
        ASSERT_TRUE(C.Edit->DroppedDown());
        EXPECT_EQ(C.Row, C.Edit->PopupWindow()->ItemIndex());
        // Rows of the brush list are shown without "bs", its value carries it.
        C.Edit->PopupWindow()->SetItemIndex(C.Row == 6 ? 2 : 1);
        PostKey(C.Edit->Edit()->Handle(), VK_RETURN);
        Pump();
        EXPECT_FALSE(C.Edit->DroppedDown());
        EXPECT_EQ(C.Taken, C.Edit->EditText());
    }
    EXPECT_EQ(TBrushStyle::bsHorizontal, Brush->BrushStyle());
    EXPECT_EQ(TPenStyle::psDash, Pen->PenStyle());
    EXPECT_EQ("Horizontal", Brush->PopupWindow()->Items().Get(2));
}

TEST_F(EditFamily, PaintedEditorsShowTheirValue) {
    THSColorEdit* Colour = Place<THSColorEdit>(20, 200);
    THSBrushStyleEdit* Brush = Place<THSBrushStyleEdit>(60, 200);
    Colour->SetSelectedColor(clRed);
    Brush->SetEditText("bsClear");
    Form->Show();
    Pump(200);
    TWinControl* CE = Colour->Edit();
    const int Mid = CE->ClientHeight() / 2;
    EXPECT_EQ(RGB(255, 0, 0), ScreenPixel(CE, 12, Mid)) << "inside the swatch";
    EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(CE, 2, Mid)) << "the swatch's frame";
    // "bsClear" gives a plain swatch in the info background colour.
    TWinControl* BE = Brush->Edit();
    EXPECT_EQ(ColorToRGB(clInfoBk), ScreenPixel(BE, 12, BE->ClientHeight() / 2));

    // A picture editor stretches the bitmap its text names; a name that does not load shows none.
    TBitmap Green;
    Green.SetSize(4, 4);
    Green.Canvas().Brush().SetColor(clLime);
    Green.Canvas().FillRect(RECT{0, 0, 4, 4});
    const std::string File = OutputDir() + "\\green.bmp";
    Green.SaveToFile(File);
    struct Case {
        const char* Name;
        std::string Text;
        COLORREF Middle;
    } Pictures[] = {{"bitmap", File, RGB(0, 255, 0)}, {"missing file", File + ".none", ColorToRGB(clWindow)}};
    for (const Case& C : Pictures) {
        SCOPED_TRACE(C.Name);
        auto* G = new TGraphEdit(Form.get());
        G->SetParent(Form.get());
        G->SetBounds(20, 100, 60, 30);
        G->SetText(C.Text);
        EXPECT_EQ(C.Text, G->Text());
        Pump(100);
        EXPECT_EQ(C.Middle, ScreenPixel(G, 30, 15));
        delete G;
    }

    TBitmap Shot;
    CaptureClient(*Form, Shot);
    std::filesystem::path Dir = std::filesystem::path(TestOutputFolder()).parent_path() / "tree";
    std::filesystem::create_directories(Dir);
    SavePng(Shot, (Dir / "edit-family.png").string());
}

TEST_F(EditFamily, CtrlClickOnAColourEditAsksForTheFullEditor) {
    THSColorEdit* Colour = Place<THSColorEdit>(20);
    ShowAndFocus(Colour);
    std::vector<std::string> Asked;
    SetHSEditPropertyHook([&](TPersistent* P, const std::string& Name) {
        EXPECT_EQ(Colour, P);
        Asked.push_back(Name);
    });
    HWND Inner = Colour->Edit()->Handle();
    PostMessageA(Inner, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(30, 5));
    PostMessageA(Inner, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(30, 5));
    Pump();
    ASSERT_EQ(1u, Asked.size());
    EXPECT_EQ("SelectedColor", Asked[0]);
    EXPECT_FALSE(Colour->DroppedDown()) << "the Ctrl+click is not a click that drops the list";

    // A plain click drops the list once the button is released.
    PostMessageA(Inner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 5));
    Pump();
    EXPECT_FALSE(Colour->DroppedDown());
    PostMessageA(Inner, WM_LBUTTONUP, 0, MAKELPARAM(30, 5));
    Pump();
    EXPECT_TRUE(Colour->DroppedDown());
    Colour->CloseDropped(false);
}

TEST_F(EditFamily, CheckEditTogglesUnlessReadOnly) {
    THSEdit* E = Place<THSEdit>(20);
    E->SetEditClass("TCheckEdit");
    int Changes = 0;
    E->OnChange = [&](TObject*) { ++Changes; };
    ShowAndFocus(E);
    auto* Check = static_cast<TCheckEdit*>(E->Edit());
    ASSERT_EQ("False", E->EditText());
    struct Case {
        bool ReadOnly;
        const char* Text;
        int Changes;
    } Cases[] = {{true, "False", 0}, {false, "True", 1}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.ReadOnly);
        E->SetReadOnly(C.ReadOnly);
        Changes = 0;
        PostMessageA(Check->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(Check->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
        EXPECT_EQ(C.Text, E->EditText());
        EXPECT_EQ(C.Changes, Changes);
    }
    // Space toggles back.
    Check->SetFocus();
    PostMessageA(Check->Handle(), WM_CHAR, ' ', 0);
    Pump();
    EXPECT_EQ("False", E->EditText());
}

TEST_F(EditFamily, DirectoryEditStartsFromTheLastEntryAndAppendsWithMultipleDirs) {
    THSDirectoryEdit* D = Place<THSDirectoryEdit>(20);
    ShowAndFocus(D);
    std::string Shown;
    SetCommonDialogHook([&](TCommonDialog& Dlg) {
        auto* P = dynamic_cast<THSPathDialog*>(&Dlg);
        if (!P)
            return false;
        Shown = P->SelectedItem;
        P->SelectedItem = "C:\\chosen";
        return true;
    });
    struct Case {
        bool Multiple;
        const char* Text;
        const char* Start;
        const char* Result;
    } Cases[] = {
        {true, "C:\\one", "C:\\one", "C:\\one;C:\\chosen"},
        {true, "C:\\one;C:\\two", "C:\\two", "C:\\one;C:\\two;C:\\chosen"},
        {true, "", "C:\\initial", "C:\\chosen"},
        {false, "C:\\one", "C:\\one", "C:\\chosen"},
    };
    D->InitialDir = "C:\\initial";
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        D->MultipleDirs = C.Multiple;
        D->SetEditText(C.Text);
        D->Button1()->Click();
        Pump(20);
        EXPECT_EQ(C.Start, Shown);
        EXPECT_EQ(C.Result, D->EditText());
    }
    // Cancel leaves the text.
    SetCommonDialogHook([](TCommonDialog&) { return false; });
    D->SetEditText("C:\\kept");
    D->Button1()->Click();
    EXPECT_EQ("C:\\kept", D->EditText());
}

TEST_F(EditFamily, KeysMoveTheFocusAndOnlyRealEditsCallChange) {
    THSEdit* First = Place<THSEdit>(20);
    THSEdit* E = Place<THSEdit>(60);
    THSEdit* Last = Place<THSEdit>(100);
    for (THSEdit* X : {First, E, Last})
        X->SetEditTabStop(true);
    int Changes = 0;
    E->OnChange = [&](TObject*) { ++Changes; };
    ShowAndFocus(E);
    E->SetEditText("abc");
    HWND Inner = E->Edit()->Handle();
    SendMessageA(Inner, EM_SETSEL, 0, 0);

    PostChars(Inner, "x");
    Pump();
    EXPECT_EQ("xabc", E->EditText());
    EXPECT_EQ(1, Changes) << "a typed character";

    SendKeys({{VK_SHIFT, false}, {VK_RIGHT, false}, {VK_RIGHT, true}, {VK_SHIFT, true}});
    Pump();
    EXPECT_EQ(1, Changes) << "Shift+Right leaves the text as it was";

    SendMessageA(Inner, EM_SETSEL, 0, 0);
    PostKey(Inner, VK_DELETE);
    Pump();
    EXPECT_EQ("abc", E->EditText());
    EXPECT_EQ(2, Changes) << "Delete removed a character";

    PostKey(Inner, VK_DOWN);
    Pump();
    EXPECT_EQ(Last->Edit()->Handle(), GetFocus())
        << "Down goes to the next control"
        << (TWinControl::FindControl(GetFocus()) ? TWinControl::FindControl(GetFocus())->ClassName() : "?");
    PostKey(Last->Edit()->Handle(), VK_UP);
    Pump();
    EXPECT_EQ(Inner, GetFocus()) << "Up goes back";
}

TEST_F(EditFamily, BorderLooksAndButtonEdges) {
    THSEdit* E = Place<THSEdit>(20, 200);
    E->SetUseHaldenBorder(true);
    E->SetHaldenBorderStyle(dbsLineBorder);
    E->SetLineColor(clRed);
    THSEdit* Flat = Place<THSEdit>(70, 200);
    Flat->SetFlat(true);
    Flat->SetColor(clYellow);
    Form->Show();
    Pump(200);
    const int W = E->Width(), H = E->Height();
    struct Case {
        const char* Where;
        int X, Y;
    } Points[] = {{"top left", 0, 0}, {"bottom", W / 2, H - 1}, {"right", W - 1, H / 2}};
    for (const Case& P : Points) {
        SCOPED_TRACE(P.Where);
        EXPECT_EQ(RGB(255, 0, 0), ScreenPixel(E, P.X, P.Y));
    }
    // A flat edit that is neither focused nor under the mouse: the button's inside takes the
    // edit's colour, its top edge the button face.
    TEditButton* B = Flat->Button1();
    POINT In{B->Left() + 2, B->Top() + 2};
    EXPECT_EQ(RGB(255, 255, 0), ScreenPixel(Flat, In.x, In.y));
    EXPECT_EQ(ColorToRGB(clBtnFace), ScreenPixel(Flat, B->Left() + 2, B->Top()));
}

} // namespace
