// The messages list of the main window as a document fills and sorts it.
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/FileInfo.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/ListView.h"

namespace {

const char* text(const StrStore& s) {
    return s.getString() ? s.getString() : "";
}

} // namespace

int32_t fileinfoclass::FillMessagesList(int32_t f) {
    auto* list = static_cast<TListView*>(resultsList);
    if (list && (f & 2))
        list->SetTag(0);
    if (!list || !memoSource)
        return -1;
    if (list->Tag() == reinterpret_cast<intptr_t>(this) && listedResultsHandle == resultsHandle)
        return 2;
    if (f & 1)
        UpdateMessageLines(0);
    const TEditorLink& link = EditorLink();
    list->BeginUpdate();
    list->Clear();
    if (resultsHandle < 0) {
        list->EndUpdate();
        if (link.ShowMessagesPanel)
            link.ShowMessagesPanel(false);
        if (link.ClearMessageText)
            link.ClearMessageText();
        return 1;
    }
    if (link.ShowMessagesPanel)
        link.ShowMessagesPanel(true);
    BuildMessageList(8);
    {
        WindowControl busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
        busy.SetCursor(crHourGlass);
        for (int32_t i = 0; i < MessageCount(); ++i) {
            msginfoclass* m = Message(i);
            if (m && m->listed)
                list->Add({text(m->kindName), text(m->lineText), text(m->text)}, m,
                          m->image >= 0 ? m->image : -1);
        }
        list->SetTag(reinterpret_cast<intptr_t>(this));
        listedResultsHandle = resultsHandle;
        SortResults(-1, 0);
        list->EndUpdate();
    }
    return 0;
}

int32_t fileinfoclass::SortResults(int32_t column, int32_t f) {
    if ((f & 1) && column < 0)
        return -1;
    if (f & 1)
        sortState = NextSortState(sortState, column);
    auto* list = static_cast<TListView*>(resultsList);
    if (!list || !(sortState & 4))
        return 0;
    const int32_t state = sortState;
    list->CustomSort([state](const void* a, const void* b) {
        return CompareMessages(static_cast<const msginfoclass*>(a), static_cast<const msginfoclass*>(b),
                               state);
    });
    return 0;
}
