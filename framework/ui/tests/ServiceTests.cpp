#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "framework/ui/Actions.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Printers.h"

namespace {

class ServiceTest : public UiTest {};

TEST_F(ServiceTest, AnActionRunsAndUpdatesThroughItsHandlersOnly) {
    TAction Action(nullptr);
    EXPECT_TRUE(Action.Enabled());
    EXPECT_TRUE(Action.Visible());
    EXPECT_FALSE(Action.Checked());
    EXPECT_FALSE(Action.Execute());
    EXPECT_FALSE(Action.Update());
    std::vector<std::string> Calls;
    Action.OnExecute = [&](TObject* Sender) { Calls.push_back(Sender == &Action ? "execute" : "?"); };
    Action.OnUpdate = [&](TObject* Sender) {
        Calls.push_back("update");
        static_cast<TAction*>(Sender)->SetEnabled(false);
    };
    EXPECT_TRUE(Action.Update());
    EXPECT_TRUE(Action.Execute());
    EXPECT_FALSE(Action.Enabled());
    EXPECT_EQ(Calls, (std::vector<std::string>{"update", "execute"}));
}

TEST_F(ServiceTest, MessageDlgMapsTypeAndButtonsOntoTheBoxSeam) {
    struct Case {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Caption;
        UINT Flags;
    };
    const Case Cases[] = {
        {TMsgDlgType::mtWarning, mbOK, "Warning", MB_ICONWARNING | MB_OK},
        {TMsgDlgType::mtError, mbOK, "Error", MB_ICONERROR | MB_OK},
        {TMsgDlgType::mtInformation, mbOKCancel, "Information", MB_ICONINFORMATION | MB_OKCANCEL},
        {TMsgDlgType::mtConfirmation, mbYesNoCancel, "Confirm", MB_ICONQUESTION | MB_YESNOCANCEL},
        {TMsgDlgType::mtConfirmation, mbYes | mbNo, "Confirm", MB_ICONQUESTION | MB_YESNO},
        {TMsgDlgType::mtWarning, mbAbortRetryIgnore, "Warning", MB_ICONWARNING | MB_ABORTRETRYIGNORE},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Caption);
        Boxes.clear();
        BoxAnswer = IDNO;
        EXPECT_EQ(MessageDlg("Save changes?", C.Type, C.Buttons), IDNO);
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Text, "Save changes?");
        EXPECT_EQ(Boxes[0].Caption, C.Caption);
        EXPECT_EQ(Boxes[0].Flags, C.Flags);
    }
    Boxes.clear();
    Application->SetTitle("Orvalent");
    EXPECT_EQ(Application->MessageBox("Text", "Orvalent: Error", MB_ICONSTOP), IDNO);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Error");
}

TEST_F(ServiceTest, CommonDialogSeamAnswersInPlaceOfThePlatform) {
    TOpenDialog Open(nullptr);
    Open.Filter = "HTML files|*.htm;*.html|All|*.*";
    std::string SeenFilter;
    auto Old = SetCommonDialogHook([&](TCommonDialog& D) {
        auto& O = dynamic_cast<TOpenDialog&>(D);
        SeenFilter = O.Filter;
        O.FileName = "C:\\site\\index.html";
        return true;
    });
    EXPECT_TRUE(Open.Execute());
    EXPECT_EQ(Open.FileName, "C:\\site\\index.html");
    EXPECT_EQ(SeenFilter, "HTML files|*.htm;*.html|All|*.*");
    SetCommonDialogHook([](TCommonDialog&) { return false; });
    TColorDialog Color(nullptr);
    Color.Color = clRed;
    EXPECT_FALSE(Color.Execute());
    EXPECT_EQ(Color.Color, clRed);
    SetCommonDialogHook(Old);
    EXPECT_EQ(MakeFileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
}

TEST_F(ServiceTest, ClipboardRoundTripsTextThroughThePlatformAndTheSeam) {
    Clipboard().SetAsText("first line\r\nsecond");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "first line\r\nsecond");
    // Two formats written inside one Open stay together.
    UINT Custom = TClipboard::RegisterFormat("ZEL Test Format");
    Clipboard().Open();
    Clipboard().SetAsText("text");
    Clipboard().SetBuffer(Custom, "\x01\x02", 2);
    Clipboard().Close();
    EXPECT_EQ(Clipboard().AsText(), "text");
    EXPECT_EQ(Clipboard().GetBuffer(Custom).size(), 2u);

    auto Saved = SetClipboard(std::make_unique<TMemoryClipboard>());
    Clipboard().SetAsText("in memory");
    EXPECT_EQ(Clipboard().AsText(), "in memory");
    SetClipboard(std::move(Saved));
    EXPECT_EQ(Clipboard().AsText(), "text"); // the system's was not touched
}

TEST_F(ServiceTest, PrinterHandsEachPageToTheSinkAsAMetafile) {
    auto* Recorder = new TPageRecorder(850, 1100);
    auto Old = Printer().SetSink(std::unique_ptr<TPageSink>(Recorder));
    Printer().Title = "Report";
    Printer().BeginDoc();
    EXPECT_TRUE(Printer().Printing());
    Printer().Canvas().Brush().SetColor(clBlack);
    Printer().Canvas().FillRect(RECT{0, 0, 100, 100});
    Printer().NewPage();
    Printer().Canvas().TextOut(10, 10, "Page two");
    EXPECT_EQ(Printer().PageNumber(), 2);
    Printer().EndDoc();
    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(Recorder->Title, "Report");
    EXPECT_TRUE(Recorder->Finished);
    ASSERT_EQ(Recorder->Pages.size(), 2u);
    // Played back, page one shows its black square.
    TBitmap B;
    B.SetSize(850, 1100);
    B.Canvas().StretchDraw(RECT{0, 0, 850, 1100}, *Recorder->Pages[0]);
    EXPECT_EQ(B.Canvas().Pixel(50, 50), clBlack);
    EXPECT_EQ(B.Canvas().Pixel(400, 600), clWhite);
    EXPECT_THROW(Printer().NewPage(), EInvalidOperation);
    // An aborted document tells the sink and keeps nothing half made.
    Printer().BeginDoc();
    Printer().Abort();
    EXPECT_TRUE(Recorder->Aborted);
    EXPECT_TRUE(Printer().Aborted());
    EXPECT_TRUE(Recorder->Pages.empty());
    Printer().SetSink(std::move(Old));
}

TEST_F(ServiceTest, StoredWindowRectanglesAreKeptOnTheWorkArea) {
    RECT Work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    int W = Work.right - Work.left, H = Work.bottom - Work.top;
    struct Case {
        const char* Name;
        RECT In;
        RECT Out;
    };
    const Case Cases[] = {
        {"inside stays", {100, 100, 500, 400}, {100, 100, 500, 400}},
        {"far right moves left",
         {Work.right + 500, 100, Work.right + 900, 400},
         {Work.right - 400, 100, Work.right, 400}},
        {"negative moves in",
         {-5000, -3000, -4600, -2700},
         {Work.left, Work.top, Work.left + 400, Work.top + 300}},
        {"too big shrinks", {0, 0, W * 3, H * 3}, {Work.left, Work.top, Work.right, Work.bottom}},
        {"empty grows", {50, 60, 50, 60}, {50, 60, 150, 110}},
        {"inverted grows", {300, 300, 100, 100}, {300, 300, 400, 350}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        RECT R = FitRectToWorkArea(C.In);
        EXPECT_EQ(R.left, C.Out.left);
        EXPECT_EQ(R.top, C.Out.top);
        EXPECT_EQ(R.right, C.Out.right);
        EXPECT_EQ(R.bottom, C.Out.bottom);
    }
}

} // namespace
