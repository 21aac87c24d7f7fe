#include "controls/textmodel/FindReplace.h"
#include "controls/foundation/HSResStrings.h"

#include <algorithm>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/RegExpr.h"
#include "controls/textmodel/SourceExtras.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"

bool ModalSearchAndReplace = true;

namespace {

constexpr uint8_t kFindReason = 55;
constexpr uint8_t kReplaceReason = 54;

// Shows the hourglass while a search runs, unless the caller already shows it, and puts the
// default cursor back afterwards.
class THourGlassScope {
public:
    THourGlassScope() : FSet(Screen && Screen->Cursor() != crHourGlass) {
        if (FSet)
            Screen->SetCursor(crHourGlass);
    }
    ~THourGlassScope() {
        if (FSet && Screen)
            Screen->SetCursor(crDefault);
    }
    THourGlassScope(const THourGlassScope&) = delete;
    THourGlassScope& operator=(const THourGlassScope&) = delete;

private:
    bool FSet;
};

TReplacePromptFunc& PromptFunc() {
    static TReplacePromptFunc func;
    return func;
}

TReplaceAnswer AskReplace(const std::string& question) {
    if (PromptFunc())
        return PromptFunc()(question);
    switch (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel | mbAll)) {
    case mrYes:
        return raYes;
    case mrNo:
        return raNo;
    case mrAll:
        return raAll;
    default:
        return raCancel;
    }
}

void ShowInfo(const std::string& message) {
    MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
}

// Raised (or shown) when a search cannot run; the command then fails.
class ESearchStopped {};

// Lowers on every way out what a command raised on entry.
struct TCounterScope {
    int32_t& counter;
    explicit TCounterScope(int32_t& c) : counter(c) { ++counter; }
    ~TCounterScope() { --counter; }
};

struct TBracketScope {
    TCustomMemoSource& source;
    TBracketScope(TCustomMemoSource& s, uint8_t reason) : source(s) { source.BeginUpdate(reason); }
    ~TBracketScope() { source.EndUpdate(); }
};

// Block coordinates of a source point, and back.
TStrPos PointToSelPoint(const TCustomMemoSource& s, int32_t col, int32_t line) {
    TStrPos p{col, line};
    if (s.SelectionType() == stNotSelected)
        return p;
    const TPosition& b = s.BlockBegin();
    p.Y = line - b.Line;
    if (s.SelectionType() == stBlockSel || line == b.Line)
        p.X = col - b.Char;
    return p;
}

void SelPointToPoint(const TCustomMemoSource& s, TStrPos& p) {
    if (s.SelectionType() == stNotSelected)
        return;
    const TPosition& b = s.BlockBegin();
    if (s.SelectionType() == stBlockSel || p.Y == 0)
        p.X += b.Char;
    p.Y += b.Line;
}

bool CaretInBlock(const TCustomMemoSource& s) {
    const TPosition& c = s.Caret();
    const TPosition& b = s.BlockBegin();
    const TPosition& e = s.BlockEnd();
    if (c.Line < b.Line || c.Line > e.Line)
        return false;
    if (s.SelectionType() == stBlockSel)
        return c.Char >= b.Char && c.Char <= e.Char;
    if (c.Line == b.Line && c.Char < b.Char)
        return false;
    if (c.Line == e.Line && c.Char > e.Char)
        return false;
    return true;
}

} // namespace

TReplacePromptFunc SetReplacePromptFunc(TReplacePromptFunc func) {
    TReplacePromptFunc old = std::move(PromptFunc());
    PromptFunc() = std::move(func);
    return old;
}

int32_t GetReplaceCount(const TCustomMemoSource& source) {
    const TMemoSourceExtras* e = FindSourceExtras(source);
    return e ? e->ReplaceCount : 0;
}

void SetOnSearchException(TCustomMemoSource& source, TSearchExceptionEvent handler) {
    SourceExtras(source).OnSearchException = std::move(handler);
}

void SetOnBeforeFindReplace(TCustomMemoSource& source, TBeforeFindReplaceEvent handler) {
    SourceExtras(source).OnBeforeFindReplace = std::move(handler);
}

bool SearchinStrings(const TStrings* strings, TSearchOptions& o, TStrPos& point, int32_t& len,
                     const TCharSet& delimiters) {
    if (!strings || strings->Count() == 0)
        return false;
    const bool forward = o.Direction == sdForward;
    if (o.FirstSearch) {
        if (o.Origin == soEntireScope) {
            if (forward) {
                point = {1, 0};
            } else {
                point.Y = strings->Count() - 1;
                point.X = static_cast<int32_t>(strings->Get(point.Y).size());
            }
        }
        o.FirstSearch = false;
    }
    TStrSearchParams params = 0;
    if (o.CaseSensitive)
        params |= spCaseSens;
    if (o.WholeWordsOnly)
        params |= spWholeWords;
    if (!forward)
        params |= spBackSearch;
    if (!o.RegularExpr)
        return FindInStringsEx(o.TextToFind, strings, params, delimiters, point, len);
    TRegExpr re(o.TextToFind, o.CaseSensitive);
    return FindInStringsEx(o.TextToFind, strings, params, delimiters, point, len,
                           [&re](const std::string& line, int32_t& pos, bool fwd, int32_t& l) {
                               return re.Find(line, pos, l, fwd);
                           });
}

bool TCustomMemoSource::Find() {
    TSearchOptions* o = GetSearchOptions();
    o->FirstSearch = true;
    o->InReplace = false;
    o->ShowNotFound = true;
    int32_t len = 0;
    return InternalFind(len);
}

bool TCustomMemoSource::Replace() {
    TSearchOptions* o = GetSearchOptions();
    o->FirstSearch = true;
    o->InReplace = true;
    o->ShowNotFound = true;
    return InternalReplace();
}

bool TCustomMemoSource::FindNext() {
    TSearchOptions* o = GetSearchOptions();
    o->ShowNotFound = true;
    if (Selection().Count() == 0)
        o->Scope = ssGlobal;
    if (o->FirstSearch)
        return false;
    if (o->InReplace)
        return InternalReplace();
    int32_t len = 0;
    return InternalFind(len);
}

void TCustomMemoSource::ToggleCaseSensitiveSearch() {
    TSearchOptions* o = GetSearchOptions();
    o->CaseSensitive = !o->CaseSensitive;
}

void TCustomMemoSource::ToggleRegularExprSearch() {
    TSearchOptions* o = GetSearchOptions();
    o->RegularExpr = !o->RegularExpr;
}

bool TCustomMemoSource::HandleSearchException(const std::string& message) {
    bool handled = !ModalSearchAndReplace;
    if (const TMemoSourceExtras* e = FindSourceExtras(*this))
        if (e->OnSearchException)
            e->OnSearchException(*this, message, handled);
    return handled;
}

void TCustomMemoSource::BeforeFindReplace(bool isReplace) {
    if (const TMemoSourceExtras* e = FindSourceExtras(*this))
        if (e->OnBeforeFindReplace)
            e->OnBeforeFindReplace(*this, isReplace);
}

bool TCustomMemoSource::InternalFind(int32_t& len) {
    len = 0;
    TSearchOptions& o = *GetSearchOptions();
    TCounterScope keep(KeepSelection);
    BeforeFindReplace(false);
    // A message that is not handled stops the command as an error.
    auto stop = [this](const std::string& message) {
        if (!HandleSearchException(message))
            throw EMemoSourceError(message);
        throw ESearchStopped();
    };
    const bool inBlock = o.Scope == ssSelectedText;
    try {
        if (inBlock && FSelection.Count() == 0) {
            if (!o.FirstSearch)
                return false;
            stop(LoadResString(SErrEmptySel));
        }
        TBracketScope bracket(*this, kFindReason);
        if (o.WholeWordsOnly && !o.RegularExpr) {
            // A text holding delimiters is never a whole word: search it as plain text.
            std::string text;
            for (char c : o.TextToFind)
                if (!FDelimSet.test(static_cast<unsigned char>(c)))
                    text += c;
            if (text.size() != o.TextToFind.size())
                o.WholeWordsOnly = false;
        }
        const bool forward = o.Direction == sdForward;
        TStrPos point{FCaret.Char, FCaret.Line};
        const TStrings* strings = &FLines;
        if (inBlock) {
            if (o.FirstSearch && o.Origin == soFromCursor && !CaretInBlock(*this))
                stop(LoadResString(SErrOutsideSel));
            point = PointToSelPoint(*this, FCaret.Char, FCaret.Line);
            strings = &FSelection;
        }
        // Forward the character under the caret comes first; backward the one before it.
        if (forward) {
            point.X += 1;
            // An empty match found here last time: begin one column on, or the search would stay put.
            TMemoSourceExtras& extras = SourceExtras(*this);
            if (extras.EmptyMatchLine == FCaret.Line && extras.EmptyMatchChar == FCaret.Char)
                point.X += 1;
            extras.EmptyMatchLine = extras.EmptyMatchChar = -1;
        }
        bool found = false;
        try {
            THourGlassScope hourGlass;
            found = SearchinStrings(strings, o, point, len, FDelimSet);
        } catch (const Exception& e) {
            if (!HandleSearchException(e.Message()))
                ShowInfo(e.Message());
            return false;
        }
        if (!found) {
            if (o.ShowNotFound) {
                const std::string message =
                    Format(LoadResString(SErrNotFound).c_str(), o.GetDisplayTextToFind().c_str());
                if (!HandleSearchException(message))
                    ShowInfo(message);
            }
            return false;
        }
        if (inBlock)
            SelPointToPoint(*this, point);
        const int32_t col = point.X - 1;
        FFoundRect = TMemoRect{col, point.Y, col + len, point.Y + 1};
        if (HasOption(soSelectFoundText) && (FSelectionType == stNotSelected || !inBlock)) {
            SetSelectionRect(TMemoRect{col, point.Y, col + len, point.Y});
            SetSelectionType(stStreamSel);
        }
        JumpTo(forward ? col + len : col, point.Y);
        if (forward && len == 0) {
            TMemoSourceExtras& extras = SourceExtras(*this);
            extras.EmptyMatchLine = point.Y;
            extras.EmptyMatchChar = col;
        }
        return true;
    } catch (const ESearchStopped&) {
        return false;
    }
}

namespace {

// One replace command: the brackets it opened (closed again at its end, and no others).
struct TReplaceRun {
    TCustomMemoSource& source;
    TSearchOptions& options;
    int32_t opened = 0;
    bool promptSwitchedOff = false;

    void Open() {
        source.BeginUpdate(kReplaceReason);
        ++opened;
    }
    void CloseAll() {
        for (; opened > 0; --opened)
            source.EndUpdate();
    }

    bool ReplaceOnce() {
        if (source.GetReadOnly())
            return false;
        int32_t len = 0;
        if (!source.InternalFind(len))
            return false;
        TReplaceAnswer answer = raYes;
        if (options.PromptOnReplace)
            answer = AskReplace(
                Format(LoadResString(SAskReplace).c_str(), options.GetDisplayTextToFind().c_str()));
        switch (answer) {
        case raCancel:
            return false;
        case raNo:
            return true;
        case raAll:
            options.PromptOnReplace = false;
            promptSwitchedOff = true;
            options.ReplaceAll = true;
            Open();
            break;
        case raYes:
            break;
        }
        source.Reveal = true;
        struct TRevealReset {
            TCustomMemoSource& s;
            ~TRevealReset() { s.Reveal = false; }
        } revealReset{source};
        TBracketScope bracket(source, kReplaceReason);
        const bool forward = options.Direction == sdForward;
        if (forward)
            source.JumpTo(source.GetCurChar() - len, source.GetCurLine());
        if (source.StoreColorData()) {
            source.CarriedStyle = -1;
            const int32_t c = source.GetCurChar(), l = source.GetCurLine();
            source.CarriedStyle = source.GetAttr(len > 0 ? c : std::max(c - 1, 0), l);
        }
        const int32_t col = source.GetCurChar(), line = source.GetCurLine();
        if (len > 0)
            source.DeleteRight(len);
        if (!options.ReplaceWith.empty()) {
            source.Insert(options.ReplaceWith);
            if (forward)
                source.JumpTo(col + static_cast<int32_t>(options.ReplaceWith.size()), line);
            else
                source.JumpTo(col, line);
        }
        ++SourceExtras(source).ReplaceCount;
        return true;
    }

    bool ReplaceAllLoop() {
        const bool prompting = options.PromptOnReplace;
        if (!prompting)
            Open();
        bool result = false;
        do {
            result = ReplaceOnce();
            options.ShowNotFound = false;
        } while (result);
        if (!options.PromptOnReplace)
            source.FoundRect() = TMemoRect();
        return result;
    }
};

} // namespace

bool TCustomMemoSource::InternalReplace() {
    TMemoSourceExtras& extras = SourceExtras(*this);
    extras.ReplaceCount = 0;
    if (GetReadOnly())
        return false;
    TSearchOptions& o = *GetSearchOptions();
    const bool storesColors = StoreColorData();
    TCounterScope keep(KeepSelection);
    BeforeFindReplace(true);
    TReplaceRun run{*this, o};
    bool result = false;
    {
        TScopeGuard finish([&] {
            run.CloseAll();
            // "Replace all" and the "All" answer hold for this command only.
            o.ReplaceAll = false;
            if (run.promptSwitchedOff)
                o.PromptOnReplace = true;
            if (storesColors)
                CarriedStyle = -1;
        });
        if (o.ReplaceAll) {
            result = run.ReplaceAllLoop();
        } else {
            result = run.ReplaceOnce();
            o.ShowNotFound = false;
            if (result && o.ReplaceAll)
                result = run.ReplaceAllLoop();
        }
    }
    return result;
}
