#pragma once
// The hidden window that makes a running editor findable by a second start of the program and
// receives the command line that start hands over (a global atom in a posted message).
#include "framework/ui/Forms.h"

class TZELEditorMessageWindow : public TForm {
    ZEL_DECLARE_CLASS(TZELEditorMessageWindow)
public:
    explicit TZELEditorMessageWindow(TComponent* AOwner);
    void FormCreate();
    void WndProc(TMessage& Message) override;
    void ReceiveHandOver(TMessage& Message);
};
