// The editor pop-up's bookmark, selection and file items and the window's size limit.
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/FileInfo.h"
#include "editor/core/PathHelpers.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "framework/ui/Clipbrd.h"

namespace {

// The user's bookmarks are numbered 1 to 10; the key 0 stands for 10.
int32_t BookmarkOfDigit(int32_t Digit) {
    return Digit == 0 ? 10 : Digit;
}

} // namespace

void TMainCommands::BuildEditorPopup() {
    TMenuItem* Root = Form->EditorPopupMenu->Items();
    TMenuItem* Toggle = Form->AddMenuItem(Root, "EditorPopupToggleBookmark", "&Toggle Bookmark", 0, nullptr);
    TMenuItem* GoTo = Form->AddMenuItem(Root, "EditorPopupGotoBookmark", "&Goto Bookmark", 0, nullptr);
    // Items by digit as the keys and the gutter number them: Ctrl+Shift+digit toggles, Ctrl+digit
    // goes; digit 0 is bookmark 10, the one a gutter click sets.
    for (int32_t Digit = 0; Digit <= 9; ++Digit) {
        const int32_t N = BookmarkOfDigit(Digit);
        const std::string D = std::to_string(Digit);
        const WORD Key = static_cast<WORD>('0' + Digit);
        TMenuItem* T = Form->AddMenuItem(Toggle, "EditorPopupToggleBookmark" + D, "Bookmark &" + D,
                                         ShortCut(Key, ssCtrl | ssShift), [this, N](TObject*) {
                                             if (TCustomMemoSource* S = Form->ActiveEditorSource())
                                                 S->ToggleBookMark(N);
                                         });
        T->SetTag(N);
        TMenuItem* G = Form->AddMenuItem(GoTo, "EditorPopupGotoBookmark" + D, "Bookmark &" + D,
                                         ShortCut(Key, ssCtrl), [this, N](TObject*) {
                                             if (TCustomMemoSource* S = Form->ActiveEditorSource())
                                                 S->GoToBookmark(N);
                                         });
        G->SetTag(N);
    }
    if (TMenuItem* Sel = Form->Item("EditorPopupSelection"))
        Form->AddMenuItem(Sel, "EditorPopupOpenFile", "&Open File", 0,
                          [this](TObject*) { EditorPopupOpenFileClick(); });
    auto Before = Form->EditorPopupMenu->OnPopup;
    Form->EditorPopupMenu->OnPopup = [this, Before](TObject* S) {
        if (Before)
            Before(S);
        EditorPopupMenuPopup();
    };
}

void TMainCommands::EditorPopupMenuPopup() {
    TCustomMemoSource* S = Form->ActiveEditorSource();
    if (!S || !p || !p->vol)
        return;
    auto Enable = [this](const char* Name, bool On) {
        if (TMenuItem* I = Form->Item(Name))
            I->SetEnabled(On);
    };
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    const bool HasLines = S->GetStrCount() > 0;
    Enable("EditorPopupSave", Doc && Doc->IsEditable());
    Enable("EditorPopupSaveAll", fileinfoclass::AreAllFilesSaved(&p->vol->documents) != 1);
    Enable("EditorPopupPaste", Clipboard().HasFormat(CF_TEXT) && !S->GetReadOnly());
    for (const char* Name : {"EditorPopupSelectAll", "EditorPopupToggleBookmark", "EditorPopupGotoBookmark",
                             "EditorPopupValidate"})
        Enable(Name, HasLines);
    // The user's bookmarks are the numbers 1 to 10 present on some line.
    for (int32_t Digit = 0; Digit <= 9; ++Digit) {
        const int32_t N = BookmarkOfDigit(Digit);
        bool Present = false;
        for (int32_t Line = 0; Line < S->GetStrCount() && !Present; ++Line)
            Present = S->FGetBookmark(Line) == N;
        const std::string D = std::to_string(Digit);
        if (TMenuItem* T = Form->Item("EditorPopupToggleBookmark" + D))
            T->SetChecked(Present);
        Enable(("EditorPopupGotoBookmark" + D).c_str(), Present);
    }
}

void TMainCommands::EditorPopupOpenFileClick() {
    if (!Form->ActiveEditorMemo)
        return;
    std::string Name = Form->ActiveEditorMemo->GetSelText();
    const size_t Hash = Name.find('#');
    if (Hash != std::string::npos)
        Name.erase(Hash);
    if (Name.empty())
        return;
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    if (Doc && Doc->IsDiskFile()) {
        int32_t Code = 0;
        const StrStore Resolved = ResolveRelativePath(Doc->GetName(2), Name.c_str(), 5, &Code);
        if (Code >= 0 && !Resolved.isEmpty())
            Name = Resolved.getString();
    }
    Form->AddNewFileTab(nullptr, Name.c_str(), 0);
}
