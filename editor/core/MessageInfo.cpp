#include "editor/core/MessageInfo.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/ListView.h"

#include <cstdlib>
#include <cstring>
#include <new>

bool BookmarkWarningShown = false;

namespace {

const char* text(const char* s) {
    return s ? s : "";
}

bool hasText(PointerArrayManager* list, const char* t) {
    for (int32_t i = 0; i < list->count(); ++i)
        if (auto* s = static_cast<StrStore*>(list->at(i)))
            if (_stricmp(s->getString(), t) == 0)
                return true;
    return false;
}

bool bookmarkIsSet(TCustomMemoSource* source, int32_t number, int32_t* line) {
    if (!source)
        return false;
    TBookMarkRec rec;
    if (!source->BookMarks().FindBookMark(number, rec))
        return false;
    if (line)
        *line = rec.Line;
    return true;
}

} // namespace

msginfoclass::~msginfoclass() {
    if (bookmark >= 0 && owner && owner->memoSource && bookmarkIsSet(owner->memoSource, bookmark, nullptr)) {
        int32_t line = 0;
        owner->memoSource->BookMarks().ClearBookMark(bookmark, line);
    }
}

int32_t fileinfoclass::MessageCount() const {
    return messages ? messages->count() : 0;
}

msginfoclass* fileinfoclass::Message(int32_t i) const {
    return messages ? static_cast<msginfoclass*>(messages->at(i)) : nullptr;
}

int32_t fileinfoclass::Counter(int32_t slot) const {
    return messages ? messages->getAux(slot) : -1;
}

bool fileinfoclass::MessagesUpToDate() const {
    return messagesValid;
}

int32_t fileinfoclass::SetLineText(msginfoclass* m, int32_t f) {
    if (!(f & 1))
        return 0;
    if (!m)
        return -1;
    m->lineText.clear();
    if (m->line >= 1)
        m->lineText.appendInt(m->line);
    return 0;
}

int32_t fileinfoclass::BuildMessageList(int32_t f) {
    if (!(f & 8))
        return 0;
    if (messagesValid)
        return 3;
    messages->clear(true);
    groupA->clear(true);
    groupB->clear(true);
    if (resultsHandle < 0 || !Engine.ZELGetIntegerEZ) {
        messagesValid = true;
        return 4;
    }
    const int32_t h = resultsHandle;
    int32_t n = Engine.ZELGetIntegerEZ(h, ZELID_RESULT_RECORDS);
    int32_t counters[CounterSlots] = {};
    counters[CountMessages] = n;
    const uint32_t F2 = p ? p->iface->flags2 : 0;
    for (int32_t i = 1; i <= n; ++i) {
        auto* m = new (std::nothrow) msginfoclass;
        if (!m)
            return -1;
        if (messages->append(m) < 0) {
            delete m;
            return -1;
        }
        m->index = i;
        m->owner = this;
        m->kind = Engine.ZELGetInteger2EZ(h, ZELID_RESULT_MSGKIND, i);
        m->line = Engine.ZELGetInteger2EZ(h, ZELID_RESULT_MSGLINE, i);
        m->character = Engine.ZELGetInteger2EZ(h, ZELID_RESULT_MSGCHARACTER, i);
        m->length = Engine.ZELGetInteger2EZ(h, ZELID_RESULT_MSGLENGTH, i);
        m->groupWord = Engine.ZELGetInteger2EZ(h, 15013, i);
        m->text = text(Engine.ZELGetString2(h, ZELID_RESULT_MSGTEXT, i));
        m->groupText = text(Engine.ZELGetString2(h, ZELID_RESULT_MSGTEXT2, i));
        m->kindName = text(Engine.ZELGetString6(27000, m->kind));
        m->flagWord = Engine.ZELGetInteger2EZ(h, ZELID_RESULT_MSGLEADING1, i);
        m->extraWord = Engine.ZELGetInteger2EZ(h, 15014, i);

        const bool grouped = !m->groupText.isEmpty();
        const bool groupB = (m->groupWord & 1) != 0;
        m->listed = !grouped || ((m->flagWord & 1) && (F2 & If2ListFlaggedMessages)) ||
                    (grouped && (F2 & If2ListGroupedMessages));
        if (grouped) {
            PointerArrayManager* list = groupB ? this->groupB : groupA;
            if (!hasText(list, m->groupText.getString())) {
                if (auto* s = new (std::nothrow) StrStore(m->groupText))
                    if (list->append(s) < 0)
                        delete s;
            }
        }
        // Slots by kind: errors, warnings, messages, comments (listed 1-4, group A 5-8, group B 9-12).
        // The image list holds the kinds in slot order, so a kind's image is its slot.
        constexpr int32_t SlotOfKind[] = {0, 1, 3, 2};
        if (m->kind >= 1 && m->kind <= 4) {
            const int32_t offset = SlotOfKind[m->kind - 1];
            m->image = offset;
            if (m->listed)
                ++counters[1 + offset];
            if (grouped && !groupB)
                ++counters[5 + offset];
            if (groupB)
                ++counters[9 + offset];
        }
        SetLineText(m, 1);
    }
    for (int32_t s = 0; s < CounterSlots; ++s)
        messages->setAux(s, counters[s]);
    messagesValid = true;
    AssignBookmarks();
    return 0;
}

int32_t fileinfoclass::AssignBookmarks() {
    int32_t counter = FirstMessageBookmark;
    for (int32_t i = 0; i < MessageCount(); ++i) {
        msginfoclass* m = Message(i);
        if (!m)
            continue;
        if (counter > LastMessageBookmark && !BookmarkWarningShown) {
            BookmarkWarningShown = true;
            if (EditorLink().ShowMessageBox)
                EditorLink().ShowMessageBox("The maximum number of bookmarks has been exceeded. This is "
                                            "usually caused by more messages than "
                                            "can be properly bookmarked. Clicking on some messages may not "
                                            "take you to the correct location in "
                                            "the document. One possible solution to this problem is to "
                                            "reduce the maximum number of errors "
                                            "and/or warnings Orvalent will generate before aborting. This "
                                            "can be set in the Validator Engine "
                                            "Options. This message is only displayed once per session.",
                                            "Orvalent: Maximum Number of Bookmarks Exceeded", 258);
        }
        if (m->line >= 1 && counter <= LastMessageBookmark && memoSource) {
            int32_t old = 0;
            memoSource->BookMarks().ClearBookMark(counter, old);
            memoSource->BookMarks().SetBookMark(0, m->line - 1, counter);
            m->bookmark = counter++;
        } else {
            m->bookmark = -1;
        }
    }
    ColourMessageLines();
    return 0;
}

int32_t fileinfoclass::ColourMessageLines() {
    if (!memoSource)
        return 3;
    ClearLineStyles(memoSource);
    if (!messagesValid)
        return 3;
    const TEditorLink& link = EditorLink();
    const uint32_t o = p ? p->config->flags : 0;
    const int32_t lines = memoSource->GetStrCount();
    for (int32_t i = 0; i < MessageCount(); ++i) {
        msginfoclass* m = Message(i);
        if (!m || m->line < 1 || m->line > lines)
            continue;
        const int32_t line = m->line - 1;
        m->savedLineStyle = memoSource->GetLineTextStyle(line);
        const int32_t was = m->savedLineStyle;
        int32_t style = -1;
        if (m->kind == 1 && (o & OptMarkErrorLines))
            style = link.errorLineStyle;
        else if (m->kind == 2 && (o & OptMarkWarningLines) && was != link.errorLineStyle)
            style = link.warningLineStyle;
        else if (m->kind == 4 && (o & OptMarkMessageLines) && was != link.errorLineStyle &&
                 was != link.warningLineStyle)
            style = link.messageLineStyle;
        if (style >= 0)
            memoSource->SetLineTextStyle(line, static_cast<uint8_t>(style));
    }
    return 0;
}

int32_t fileinfoclass::GetMessageCount(int32_t f) {
    if (resultsHandle < 0 || !Engine.ZELGetIntegerEZ)
        return -1;
    const int32_t h = resultsHandle;
    int32_t r = 0;
    if (f & 1)
        r = Engine.ZELGetIntegerEZ(h, ZELID_RESULT_ERRORS);
    if (f & 2)
        r = Engine.ZELGetIntegerEZ(h, ZELID_RESULT_WARNINGS);
    if (f & 0x1000)
        r = Engine.ZELGetIntegerEZ(h, ZELID_RESULT_ERRORS) + Engine.ZELGetIntegerEZ(h, ZELID_RESULT_WARNINGS);
    if (f & 0x800)
        return Engine.ZELGetIntegerEZ(h, ZELID_RESULT_MESSAGES);
    if (f & 0x100)
        return Engine.ZELGetIntegerEZ(h, ZELID_RESULT_COMMENTS);
    if (f & 4)
        return GetLinkCount(h, 4);
    if (f & 8)
        return Engine.ZELGetIntegerEZ(h, ZELID_RESULT_RECORDS);
    if (f & 0x2000) {
        BuildMessageList(8);
        return Counter(1) + Counter(2);
    }
    if (f & 0x4000) {
        BuildMessageList(8);
        return Counter(5) + Counter(6);
    }
    if (f & 0x10000) {
        BuildMessageList(8);
        return Counter(9) + Counter(10);
    }
    if (f & 0x8000)
        return p && (p->iface->flags2 & If2SortResults) ? 7 : 0;
    return r;
}

int32_t fileinfoclass::GetLinkCount(int32_t handle, int32_t f) {
    if (!(f & 4))
        return -1;
    if (handle < 0 || !Engine.ZELGetInteger4EZ)
        return 0;
    int32_t symbol = Engine.ZELGetInteger4EZ(handle, 23000, "links");
    if (symbol < 0)
        return 0;
    return Engine.ZELGetInteger2EZ(handle, 15008, symbol);
}

int32_t fileinfoclass::GetStructureTarget(int32_t index, int32_t f) {
    if (resultsHandle < 0 || !Engine.ZELGetInteger2EZ)
        return -1;
    if (f & 1)
        return Engine.ZELGetInteger2EZ(resultsHandle, 15010, index);
    if (f & 2)
        return Engine.ZELGetInteger2EZ(resultsHandle, 15011, index);
    return -1;
}

int32_t fileinfoclass::UpdateMessageLines(int32_t) {
    if (resultsHandle < 0)
        return -1;
    BuildMessageList(8);
    for (int32_t i = 0; i < MessageCount(); ++i) {
        msginfoclass* m = Message(i);
        int32_t line = 0;
        if (!m || m->bookmark < 0 || !bookmarkIsSet(memoSource, m->bookmark, &line))
            continue;
        m->line = line + 1;
        if (Engine.ZELSetInteger2)
            Engine.ZELSetInteger2(resultsHandle, ZELID_RESULT_MSGLINE, m->index, m->line);
        SetLineText(m, 1);
    }
    return 0;
}

int32_t fileinfoclass::ClearResults(int32_t mode) {
    if (mode & 2)
        mode |= 4;
    if (mode & 1) {
        // The list's rows point at the message records freed below.
        if (auto* list = static_cast<TListView*>(resultsList);
            list && list->Tag() == reinterpret_cast<intptr_t>(this)) {
            list->Clear();
            list->SetTag(0);
        }
        listedResultsHandle = -1;
        if (EditorLink().ClearResultsViews)
            EditorLink().ClearResultsViews(this);
        messagesValid = false;
        if (messages)
            messages->clear(true);
        if (groupA)
            groupA->clear(true);
        if (groupB)
            groupB->clear(true);
        if (memoSource)
            ClearLineStyles(memoSource);
        if (!(mode & 8))
            EngineFreeHandle(resultsHandle, 0);
        resultsHandle = -1;
        delete outputSource;
        outputSource = nullptr;
    }
    return 0;
}

int32_t fileinfoclass::PassLinesToJob(int32_t job) {
    if (!memoSource)
        return -1;
    int32_t n = memoSource->GetStrCount();
    if (n < 0)
        return -1;
    if (EngineSetInteger(job, ZELID_JOB_CLEARPATHS, 0) < 0)
        return -1;
    for (int32_t i = 0; i < n; ++i) {
        const TStringItem* item = memoSource->GetStringItem(i);
        if (EngineSetString(job, ZELID_JOB_ADDPATH, item ? item->Text.c_str() : "") < 0)
            return -1;
    }
    return 0;
}

int32_t MessageKindFromName(const char* t) {
    if (!t)
        return -1;
    if (_stricmp(t, "Error") == 0)
        return 1;
    if (_stricmp(t, "Warning") == 0)
        return 2;
    if (_stricmp(t, "Message") == 0)
        return 3;
    if (_stricmp(t, "Comment") == 0)
        return 4;
    return -1;
}

int32_t CompareLineTexts(const char* a, const char* b, int32_t f) {
    auto value = [](const char* s) -> long long { return s && *s ? std::atoll(s) : 999999999LL; };
    long long d = (f & 1) ? value(a) - value(b) : value(b) - value(a);
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

int32_t NextSortState(int32_t state, int32_t column) {
    auto pickOrToggle = [&](int32_t fresh, int32_t bit) { return (state & bit) ? (state ^ 1) : fresh; };
    switch (column) {
    case 0:
        state = pickOrToggle(3, 2);
        break;
    case 1:
        state = pickOrToggle(9, 8);
        break;
    case 2:
        state = pickOrToggle(17, 16);
        break;
    default:
        return state;
    }
    return state | 4;
}

int32_t CompareMessages(const msginfoclass* a, const msginfoclass* b, int32_t s) {
    if (!a || !b || !(s & 4))
        return 0;
    if (s & 2) {
        int32_t ka = MessageKindFromName(a->kindName.getString()),
                kb = MessageKindFromName(b->kindName.getString());
        return (s & 1) ? ka - kb : kb - ka;
    }
    if (s & 8)
        return CompareLineTexts(a->lineText.getString(), b->lineText.getString(), s & 1);
    if (s & 16) {
        int c = std::strcmp(a->text.getString(), b->text.getString());
        return (s & 1) ? c : -c;
    }
    return 0;
}
