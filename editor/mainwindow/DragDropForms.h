#pragma once
// The drop window, a tiny always-on-top target that validates dropped files or runs the default
// tool on them without opening them, and the dialog that chooses that tool.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/core/AppState.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

// The paths of a drop, each read with its own length (names longer than any fixed buffer stay whole).
std::vector<std::string> DroppedFileNames(HDROP Drop);

class TDragDropForm : public TForm {
    ZEL_DECLARE_CLASS(TDragDropForm)
public:
    explicit TDragDropForm(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    // Processes a drop by the drop actions of the options; always releases it.
    void DropFiles(HDROP Drop);
    void DragPopupMenuPopup();
    TPopupMenu* DragPopupMenu = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TDragDropToolForm : public TForm {
    ZEL_DECLARE_CLASS(TDragDropToolForm)
public:
    explicit TDragDropToolForm(TComponent* AOwner);
    void FormShow();
    void OKBtnClick();
    // The working copy the dialog edits; OK copies it into the settings.
    toolsclass Work;
    TGroupBox* ToolSelectRadioGroup = nullptr;
    TRadioButton* ToolButtons[5] = {};
    TCheckBox* ShowDragDropToolDialogCheckBox = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
};
