#include "editor/mainwindow/MessageWindow.h"

#include "editor/core/CommandLine.h"

ZEL_DEFINE_CLASS(TZELEditorMessageWindow, TForm, {})

TZELEditorMessageWindow::TZELEditorMessageWindow(TComponent* AOwner) : TForm(AOwner) {
    SetName("ZELEditorMessageWindow");
    SetBounds(50, 881, 340, 51);
    SetCaption("[Design] ZEL Editor Message Window");
    FormCreate();
}

void TZELEditorMessageWindow::FormCreate() {
    SetCaption(ZelMessageWindowTitle);
}

void TZELEditorMessageWindow::WndProc(TMessage& Message) {
    if (Message.Msg == ZelHandOverMessage) {
        ReceiveHandOver(Message);
        Message.Result = 0;
        return;
    }
    if (Message.Msg == WM_COPYDATA && ReceiveHandOverCopyData(Message.LParam)) {
        Message.Result = TRUE;
        return;
    }
    TForm::WndProc(Message);
}

void TZELEditorMessageWindow::ReceiveHandOver(TMessage& Message) {
    // The atom is deleted whether or not the text is used; while closing the text is dropped.
    ReceiveHandOverAtom(Message.LParam);
}
