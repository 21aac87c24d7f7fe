// The look of a shown window: group boxes and the controls in them take their parent's
// background, and the checks the gallery makes catch overlapping, clipped and cut-off controls.
#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>

#include "UiTestSupport.h"
#include "WindowGallery.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"

namespace {

// A control of Form on Parent (Form when null).
template <class T>
T* Put(TForm& Form, TWinControl* Parent, int L, int T0, int W, int H, const std::string& Caption = "") {
    auto* C = new T(&Form);
    C->SetBounds(L, T0, W, H);
    if (!Caption.empty())
        C->SetCaption(Caption);
    C->SetParent(Parent ? Parent : &Form);
    return C;
}

class WindowLookTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsDialog);
        Form->SetCaption("Look");
        Form->SetBounds(100, 100, 400, 300);
        Form->SetClientWidth(300);
        Form->SetClientHeight(200);
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    std::vector<std::string> Shown() {
        Form->Show();
        RedrawWindow(Form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
        Application->ProcessMessages();
        return CheckWindowLayout(Form->Handle());
    }
    static std::string Joined(const std::vector<std::string>& Lines) {
        std::string S;
        for (const std::string& L : Lines)
            S += L + "\n";
        return S;
    }
    std::unique_ptr<TForm> Form;
};

COLORREF PixelAt(TBitmap& Shot, POINT P) {
    const uint8_t* Px = Shot.ScanLine(P.y) + P.x * 3;
    return RGB(Px[2], Px[1], Px[0]);
}

TEST_F(WindowLookTest, AGroupBoxAndItsControlsShowTheirParentsColour) {
    auto* Panel = Put<TPanel>(*Form, nullptr, 0, 0, 300, 200);
    Panel->SetBevelOuter(TBevelCut::bvNone);
    Panel->SetColor(TColor(0x00C0E0F0));
    auto* Group = Put<TGroupBox>(*Form, Panel, 10, 10, 280, 120, "Font");
    auto* Label = Put<TLabel>(*Form, Group, 12, 24, 100, 16, "Font name: Courier");
    Put<TCheckBox>(*Form, Group, 12, 48, 200, 18, "Bold");
    EXPECT_EQ(Joined(Shown()), "");
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    // Inside the box, beside its controls, and behind the label's text.
    EXPECT_EQ(PixelAt(Shot, POINT{10 + 150, 10 + 90}), COLORREF(0xC0E0F0));
    EXPECT_EQ(PixelAt(Shot, POINT{10 + 12 + Label->Width() - 1, 10 + 24 + Label->Height() - 1}),
              COLORREF(0xC0E0F0));
    // A later colour reaches the controls that take their parent's.
    Panel->SetColor(clWhite);
    EXPECT_EQ(Group->Color(), clWhite);
    EXPECT_EQ(Label->Color(), clWhite);
}

// A disabled tool button shows its picture in greys, so that it does not look usable; enabled,
// the picture keeps its colours.
TEST_F(WindowLookTest, ADisabledToolButtonShowsItsPictureGrey) {
    auto* B = Put<TSpeedButton>(*Form, nullptr, 20, 20, 25, 25);
    B->Glyph().SetSize(16, 16);
    TCanvas& G = B->Glyph().Canvas();
    G.Brush().SetColor(clFuchsia);
    G.FillRect(RECT{0, 0, 16, 16});
    G.Brush().SetColor(clRed);
    G.FillRect(RECT{3, 3, 13, 13});
    B->Glyph().Dormant();
    auto Colours = [&] {
        Shown();
        TBitmap Shot;
        CaptureClient(*Form, Shot);
        int Coloured = 0, Grey = 0;
        for (int Y = 20; Y < 45; ++Y)
            for (int X = 20; X < 45; ++X) {
                const COLORREF C = PixelAt(Shot, POINT{X, Y});
                const int Spread = std::max({GetRValue(C), GetGValue(C), GetBValue(C)}) -
                                   std::min({GetRValue(C), GetGValue(C), GetBValue(C)});
                ++(Spread > 40 ? Coloured : Grey);
            }
        return std::pair{Coloured, Grey};
    };
    EXPECT_GE(Colours().first, 100);
    B->SetEnabled(false);
    EXPECT_EQ(Colours().first, 0);
    // The shape stays: a darker square on the face.
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    EXPECT_LT(GetRValue(PixelAt(Shot, POINT{32, 32})) + 20, GetRValue(PixelAt(Shot, POINT{22, 22})));
}

// A tool button's "&" marks its key, as on any button, and is not shown.
TEST_F(WindowLookTest, AToolButtonUnderlinesTheKeyOfItsCaption) {
    auto* B = Put<TSpeedButton>(*Form, nullptr, 20, 20, 120, 25, "&MMMM");
    Shown();
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    int Left = INT_MAX, Right = -1;
    for (int Y = 22; Y < 43; ++Y)
        for (int X = 22; X < 138; ++X)
            if (GetRValue(PixelAt(Shot, POINT{X, Y})) < 64) {
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
    TCanvas Measure;
    Measure.Font().Assign(B->Font());
    Measure.SetHandle(ScreenMeasureDC());
    const int Key = Measure.TextWidth("MMMM"), WithMark = Measure.TextWidth("&MMMM");
    Measure.SetHandle(nullptr);
    ASSERT_GE(Right, Left);
    EXPECT_LE(Right - Left + 1, Key + 1);
    EXPECT_LT(Right - Left + 1, WithMark - 2);
}

TEST_F(WindowLookTest, TheChecksFindWhatAPersonWouldSee) {
    struct TCase {
        const char* Name;
        std::function<void(TForm&)> Build;
        const char* Fault; // "" for a window without faults
    };
    const TCase Cases[] = {
        {"right",
         [](TForm& F) {
             Put<TLabel>(F, nullptr, 8, 12, 60, 16, "Name:");
             Put<TEdit>(F, nullptr, 80, 8, 120, 21);
             auto* G = Put<TGroupBox>(F, nullptr, 8, 40, 200, 70, "Options");
             Put<TCheckBox>(F, G, 8, 20, 180, 18, "Case sensitive");
             Put<TButton>(F, nullptr, 210, 160, 80, 25, "OK");
         },
         ""},
        {"overlap",
         [](TForm& F) {
             Put<TButton>(F, nullptr, 10, 10, 80, 25, "OK");
             Put<TButton>(F, nullptr, 60, 20, 80, 25, "Cancel");
         },
         "overlap"},
        {"clipped", [](TForm& F) { Put<TEdit>(F, nullptr, 200, 10, 150, 21); },
         "reaches past the client area"},
        {"clipped in a group",
         [](TForm& F) {
             auto* G = Put<TGroupBox>(F, nullptr, 8, 8, 200, 60, "Scope");
             Put<TRadioButton>(F, G, 8, 40, 150, 30, "Global");
         },
         "reaches past the client area"},
        {"cut caption",
         [](TForm& F) {
             Put<TCheckBox>(F, nullptr, 8, 8, 90, 18, "Highlight lines with validator errors in maroon");
         },
         "its caption needs"},
        {"cut label",
         [](TForm& F) {
             auto* L = Put<TLabel>(F, nullptr, 8, 8, 40, 16, "If a file has no extension");
             L->SetAutoSize(false);
             L->SetBounds(8, 8, 40, 16);
         },
         "its caption needs"},
        {"on the caption",
         [](TForm& F) {
             auto* G = Put<TGroupBox>(F, nullptr, 8, 8, 200, 80, "Direction");
             Put<TRadioButton>(F, G, 8, 2, 150, 18, "Forward");
         },
         "lies on the caption"},
        {"black group box",
         [](TForm& F) {
             auto* P = Put<TPanel>(F, nullptr, 0, 0, 300, 200);
             P->SetColor(clBlack);
             Put<TGroupBox>(F, P, 8, 8, 200, 100, "Options");
         },
         "is black inside"},
    };
    for (const TCase& C : Cases) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsDialog);
        Form->SetClientWidth(300);
        Form->SetClientHeight(200);
        C.Build(*Form);
        const std::string Faults = Joined(Shown());
        if (*C.Fault)
            EXPECT_NE(Faults.find(C.Fault), std::string::npos) << C.Name << ":\n" << Faults;
        else
            EXPECT_EQ(Faults, "") << C.Name;
    }
}

// A platform static paints the face colour its parent gives it: on a window of ours that is the
// window's own colour, while a bare platform window that answers nothing gets the system's face
// colour on its white, which the checks see as a patch.
TEST_F(WindowLookTest, PlatformStaticsShowTheirParentsBackground) {
    auto* P = Put<TPanel>(*Form, nullptr, 0, 0, 300, 200);
    P->SetColor(TColor(0x00FFC0C0));
    CreateWindowExA(0, "STATIC", "Name:", WS_CHILD | WS_VISIBLE, 20, 20, 80, 16, P->Handle(), nullptr,
                    nullptr, nullptr);
    EXPECT_EQ(Joined(Shown()), "");

    WNDCLASSA C{};
    C.lpfnWndProc = DefWindowProcA;
    C.hInstance = GetModuleHandleA(nullptr);
    C.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    C.lpszClassName = "ZelLookTestWindow";
    RegisterClassA(&C);
    HWND Bare = CreateWindowExA(0, C.lpszClassName, "Bare", WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 120, 300,
                                200, nullptr, nullptr, C.hInstance, nullptr);
    CreateWindowExA(0, "STATIC", "Name:", WS_CHILD | WS_VISIBLE, 20, 20, 80, 16, Bare, nullptr, nullptr,
                    nullptr);
    UpdateWindow(Bare);
    Application->ProcessMessages();
    const std::string Faults = Joined(CheckWindowLayout(Bare));
    DestroyWindow(Bare);
    EXPECT_NE(Faults.find("paints its background"), std::string::npos) << Faults;
}

// A modal form and a platform box are looked at while their loops run and closed so they end.
TEST_F(WindowLookTest, TheGalleryClosesWhatItOpensAndKeepsItsPicture) {
    TWindowGallery Gallery(OutputDir());
    TModalResult Result = mrNone;
    EXPECT_EQ(Joined(Gallery.Visit(
                  "modal",
                  [&] {
                      Put<TButton>(*Form, nullptr, 210, 160, 80, 25, "Cancel")->SetModalResult(mrCancel);
                      Result = Form->ShowModal();
                      return TWindowGallery::THold();
                  })),
              "");
    EXPECT_EQ(Result, mrCancel);
    SetMessageRequestFunc(nullptr);
    int Answer = 0;
    EXPECT_EQ(Joined(Gallery.Visit("box",
                                   [&] {
                                       Answer = ShowMessageBox("Go on?", "Look", MB_YESNO | MB_ICONQUESTION);
                                       return TWindowGallery::THold();
                                   })),
              "");
    EXPECT_EQ(Answer, IDNO);
    EXPECT_EQ(Gallery.Pictures(), (std::vector<std::string>{"modal", "box"}));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(OutputDir()) / "box.png"));
    EXPECT_EQ(Joined(Gallery.Visit("nothing", [] { return TWindowGallery::THold(); })),
              "nothing: no window was shown\n");
}

} // namespace
