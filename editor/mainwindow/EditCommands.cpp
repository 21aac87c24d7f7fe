// Edit and search commands act on whichever control has the focus: the code editor's text model,
// or the edit field of a combo box; anything else ignores them.
#include "controls/memo/Memo.h"
#include "editor/core/AppState.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MySource.h"

namespace {

enum class TTarget { None, Memo, Combo };

TTarget TargetOf(TWinControl* Active) {
    if (!Active)
        return TTarget::None;
    if (dynamic_cast<THSMemo*>(Active))
        return TTarget::Memo;
    // By class name, as other windows of the program see it.
    if (Active->ClassName() == "TComboBox")
        return TTarget::Combo;
    return TTarget::None;
}

TCustomMemoSource* SourceOf(TWinControl* Active) {
    return static_cast<THSMemo*>(Active)->GetSource();
}

} // namespace

void TZELQEForm::EditUndoClick(TObject*) {
    TWinControl* A = ActiveControl();
    switch (TargetOf(A)) {
    case TTarget::Memo:
        SourceOf(A)->Undo();
        break;
    case TTarget::Combo:
        A->Perform(WM_UNDO);
        break;
    case TTarget::None:
        break;
    }
}

void TZELQEForm::EditRedoClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        SourceOf(A)->Redo();
}

void TZELQEForm::EditCutClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        SourceOf(A)->CutBlock();
    else if (TargetOf(A) == TTarget::Combo)
        A->Perform(WM_CUT);
}

void TZELQEForm::EditCopyClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        SourceOf(A)->CopyBlock();
    else if (TargetOf(A) == TTarget::Combo)
        A->Perform(WM_COPY);
}

void TZELQEForm::EditPasteClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        SourceOf(A)->PasteBlock();
    else if (TargetOf(A) == TTarget::Combo)
        A->Perform(WM_PASTE);
}

void TZELQEForm::EditSelectAllClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        SourceOf(A)->SelectAll();
    else if (TargetOf(A) == TTarget::Combo)
        A->Perform(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TZELQEForm::SearchFindClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        ShowSourceSearchDialog(SourceOf(A), false);
}

void TZELQEForm::SearchReplaceClick(TObject*) {
    TWinControl* A = ActiveControl();
    if (TargetOf(A) == TTarget::Memo)
        ShowSourceSearchDialog(SourceOf(A), true);
}

void TZELQEForm::HSMemoStateChange(TObject*, uint16_t State) {
    if (Closing())
        return;
    if (State & msModifiedChanged) {
        if (fileinfoclass* Doc = GetCurrentFileInfo()) {
            UpdateStatusPanels(StatusFromArguments, !Doc->memoSource->Modified(), Doc->IsReadOnly());
            Doc->SetModifiedState(4);
        }
    }
    int32_t Flags = 0;
    if (State & msInsState)
        Flags |= StatusInsertMode;
    if (State & msPositionChanged)
        Flags |= StatusCaret;
    if (Flags)
        UpdateStatusPanels(Flags, false, false);
}
