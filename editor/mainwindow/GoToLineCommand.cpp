// The Go to Line command of the main window.
#include "controls/textmodel/MemoSource.h"
#include "editor/mainwindow/GoToLineForm.h"
#include "editor/mainwindow/MainForm.h"
#include "framework/core/SysUtils.h"

void TZELQEForm::EditGoToLineClick(TObject*) {
    TCustomMemoSource* Source = ActiveEditorSource();
    if (!Source)
        return;
    TGoToLineForm Dialog(Application);
    int32_t N = Source->GetStrCount();
    if (N < 1) {
        ShowMessageBox("This document is empty. Can't go to a line.", "Orvalent: Document Empty",
                       BoxInformation);
        return;
    }
    Dialog.GoToLineLabel->SetCaption("Go to line (1-" + std::to_string(N) + "):");
    if (Dialog.ShowModal() != mrOk)
        return;
    std::string Text = Dialog.GoToLineEdit->Text();
    if (Text.empty())
        return;
    // Text that is not a whole number is refused like a line out of range; the caret stays.
    int32_t Line = 0;
    if (TryStrToInt(Text, Line) && Line >= 1 && Line <= N) {
        Source->JumpToLine(Line - 1);
        FocusEditor();
    } else {
        ShowMessageBox("You've entered an invalid line number.", "Orvalent: Invalid Line Number", BoxStop);
    }
}
