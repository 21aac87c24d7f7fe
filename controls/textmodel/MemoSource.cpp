#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/MemoOptionNames.h"
#include "framework/core/ScopeGuard.h"

#include <algorithm>

namespace {
std::vector<TCustomMemoSource*>& SourceList() {
    static std::vector<TCustomMemoSource*> list;
    return list;
}
} // namespace

const std::vector<TCustomMemoSource*>& TCustomMemoSource::MemoSources() {
    return SourceList();
}

const TEnumInfo kStringsOptionInfo{
    {"soBackUnindents", "soGroupUndo", "soBeyondFileEnd", "soForceCutCopy", "soAutoIndent", "soSmartTab",
     "soFindTextAtCursor", "soCreateBackups", "soPersistentBlocks", "soOverwriteBlocks", "soLimitEOL",
     "soUseTabCharacter", "soCursorOnTabs", "soOptimalFill", "soSelectFoundText", "soExcludeReadOnlyLines",
     "soCursorAlwaysOnTabs", "soUsePrevIndent", "soRetainColumn"}};

namespace {
const TEnumInfo kBlockOptionInfo{{"bkStreamSel", "bkBlockSel", "bkNone", "bkBoth"}};
const TEnumInfo kOutFormatInfo{{"ofWindows", "ofMac", "ofUnix"}};
} // namespace

ZEL_DEFINE_CLASS(TCustomMemoSource, TComponent, {})
ZEL_DEFINE_CLASS(
    TMemoSource, TCustomMemoSource,
    {
        Prop::Set<TCustomMemoSource>("Options", &kStringsOptionInfo, &TCustomMemoSource::Options,
                                     &TCustomMemoSource::SetOptions),
        Prop::Object<TCustomMemoSource>("SyntaxParser", &TCustomMemoSource::SyntaxParser,
                                        &TCustomMemoSource::SetSyntaxParser),
        Prop::String<TCustomMemoSource>("TabStops", &TCustomMemoSource::TabStops,
                                        &TCustomMemoSource::SetTabStops),
        Prop::String<TCustomMemoSource>("Delimeters", &TCustomMemoSource::Delimeters,
                                        &TCustomMemoSource::SetDelimeters),
        Prop::Object<TCustomMemoSource>("Lines", &TCustomMemoSource::GetLinesProp),
        Prop::Bool<TCustomMemoSource>("ReadOnly", &TCustomMemoSource::ReadOnly, &TCustomMemoSource::SetROnly),
        Prop::Int<TCustomMemoSource>("BlockIndent", &TCustomMemoSource::BlockIndent,
                                     &TCustomMemoSource::SetBlockIndent)
            .WithDefault(1),
        Prop::Int<TCustomMemoSource>("SpacesInTab", &TCustomMemoSource::SpacesInTab,
                                     &TCustomMemoSource::SetSpacesInTab),
        Prop::Bool<TCustomMemoSource>("HighlightUrls", &TCustomMemoSource::HighlightUrls,
                                      &TCustomMemoSource::SetHighlightUrls),
        Prop::Enum<TCustomMemoSource>("BlockOption", &kBlockOptionInfo, &TCustomMemoSource::BlockOption,
                                      &TCustomMemoSource::SetBlockOption)
            .WithDefault(bkBoth),
        Prop::Enum<TCustomMemoSource>("OutFormat", &kOutFormatInfo, &TCustomMemoSource::OutFormat,
                                      &TCustomMemoSource::SetOutFormat)
            .WithDefault(ofWindows),
        Prop::Bool<TCustomMemoSource>("AllowUndo", &TCustomMemoSource::AllowUndo,
                                      &TCustomMemoSource::SetAllowUndo)
            .WithDefault(1),
        Prop::Int<TCustomMemoSource>("UndoLimit", &TCustomMemoSource::UndoLimit,
                                     &TCustomMemoSource::SetUndoLimit)
            .WithDefault(0),
        Prop::Method("OnGetBackupName"),
        Prop::Method("OnGetSelectionType"),
    })

TCustomMemoSource::TCustomMemoSource(TComponent* owner) : TComponent(owner) {
    SourceList().push_back(this);
    SetDelimeters(std::string());
    // Called for every line a view reads. Not a string search: the C library's memchr that it ends
    // in is a byte loop in another module under Wine.
    FStrings.OnGetString = [this](std::string& s) {
        if (TextRoutines::HasTab(s))
            s = FTabs.Expand(s);
    };
}

TCustomMemoSource::~TCustomMemoSource() {
    SetState(csDestroying, true);
    FDestroying = true;
    auto& list = SourceList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    // Views are told and let go before anything they might still read is freed.
    FNotifiers.NotifyDestroying(this);
    if (FParser) {
        FParser->UnRegisterNotifier(THSNotifyEvent(this, &TCustomMemoSource::ParserOnChange));
        FParser->RemoveFreeNotification(this);
        FParser = nullptr;
    }
}

void TCustomMemoSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == ActiveView) {
        ActiveView = nullptr;
    } else if (component != FParser) {
        FNotifiers.DeleteWithData(component);
    } else {
        SetSyntaxParser(nullptr);
    }
}

void TCustomMemoSource::Loaded() {
    TComponent::Loaded();
    BeginUpdate(61);
    SetModified(false);
    FCaret.SetPosition(0, 0);
    EndUpdate();
    ClearUndoBuffer();
}

// ---------------------------------------------------------------- notifications

void TCustomMemoSource::RegisterNotifier(const THSNotifyEvent& method, bool initial) {
    if (auto* view = dynamic_cast<TComponent*>(method.Object()))
        FreeNotification(view);
    if (!initial) {
        FNotifiers.AddMethod(method);
        return;
    }
    BeginUpdate(50);
    FNotifiers.AddMethod(method);
    UpdateChangedLines(0, INT_MAX);
    MemoState = kFullUpdateState;
    EndUpdate();
}

void TCustomMemoSource::UnregisterNotifier(const THSNotifyEvent& method) {
    FNotifiers.DeleteMethod(method);
}

void TCustomMemoSource::NotifyEvents(int32_t first, int32_t last) {
    FNotifiers.NotifyEvents(this, first, last);
}

// ---------------------------------------------------------------- update brackets

void TCustomMemoSource::BeginUpdate(uint8_t reason) {
    if (FUpdateCount == 0) {
        FStartCount = GetStrCount();
        MemoState = 0;
        FStartFoundRect = FFoundRect;
        FFoundRect = TMemoRect();
        FFirstChanged = INT_MAX;
        FLastChanged = -INT_MAX;
        FStepStart = true;
        FLastReparsed = -1;
        FReason = reason;
        FStartModified = FModified;
        FStartBlockBegin = FBlockBegin;
        FStartBlockEnd = FBlockEnd;
        FStartSelectionType = FSelectionType;
        FStartCaret = FCaret;
    }
    ++FUpdateCount;
    if (FUpdateCount == 1)
        TempUnhighlightLine();
}

void TCustomMemoSource::BeginSafeUpdate(uint8_t reason) {
    if (FUpdateCount == 0) {
        FSafeSaved = true;
        FSafeSelectionType = FSelectionType;
        FSafeBlockBegin = FBlockBegin;
        FSafeBlockEnd = FBlockEnd;
        FSafeCaret = FCaret;
    }
    BeginUpdate(reason);
}

void TCustomMemoSource::UpdateSavedPos() {
    if (!FSafeSaved)
        return;
    FSafeSelectionType = FSelectionType;
    FSafeBlockBegin = FBlockBegin;
    FSafeBlockEnd = FBlockEnd;
    FSafeCaret = FCaret;
}

void TCustomMemoSource::UpdateChanged(int32_t first, int32_t last) {
    MemoState |= msEdited;
    UpdateChangedLines(first, last);
}

void TCustomMemoSource::UpdateChangedLines(int32_t first, int32_t last) {
    FFirstChanged = std::min(FFirstChanged, first);
    FLastChanged = std::max(FLastChanged, last);
}

void TCustomMemoSource::MarkBlockLines(int32_t fromLine, int32_t toLine) {
    MemoState |= msBlockChanged;
    UpdateChangedLines(std::min(fromLine, toLine), std::max(fromLine, toLine));
}

void TCustomMemoSource::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (FSafeSaved && FUpdateCount == 1) {
        FSelectionType = FSafeSelectionType;
        FBlockBegin.SetPosition(FSafeBlockBegin.Char, FSafeBlockBegin.Line);
        FBlockEnd.SetPosition(FSafeBlockEnd.Char, FSafeBlockEnd.Line);
        FCaret.SetPosition(FSafeCaret.Char, FSafeCaret.Line);
        FSafeSaved = false;
    }
    if (--FUpdateCount > 0)
        return;

    if (!FCaret.SameAs(FStartCaret) || ForcedMove)
        MemoState |= msPositionChanged;
    if (FSelectionType != stNotSelected && IsBlockEmpty())
        FSelectionType = stNotSelected;
    if ((MemoState & (msPositionChanged | msEdited)) && !(MemoState & msUndo))
        CurrentRedoList().Clear();

    if (FSelectionType != FStartSelectionType) {
        MarkBlockLines(
            std::min({FBlockBegin.Line, FStartBlockBegin.Line, FBlockEnd.Line, FStartBlockEnd.Line}),
            std::max({FBlockBegin.Line, FStartBlockBegin.Line, FBlockEnd.Line, FStartBlockEnd.Line}));
    } else if (FSelectionType != stNotSelected) {
        bool beginMoved = !FBlockBegin.SameAs(FStartBlockBegin);
        bool endMoved = !FBlockEnd.SameAs(FStartBlockEnd);
        if (!beginMoved && !endMoved) {
            if (!HasOption(soPersistentBlocks) && (MemoState & msPositionChanged) && KeepSelection == 0) {
                FSelectionType = stNotSelected;
                MarkBlockLines(FBlockBegin.Line, FBlockEnd.Line);
            }
        } else if (FSelectionType == stBlockSel &&
                   (FBlockBegin.Char != FStartBlockBegin.Char || FBlockEnd.Char != FStartBlockEnd.Char)) {
            MarkBlockLines(std::min(FBlockBegin.Line, FStartBlockBegin.Line),
                           std::max(FBlockEnd.Line, FStartBlockEnd.Line));
        } else {
            if (beginMoved)
                MarkBlockLines(FStartBlockBegin.Line, FBlockBegin.Line);
            if (endMoved)
                MarkBlockLines(FStartBlockEnd.Line, FBlockEnd.Line);
        }
    }

    if (!(FFoundRect == FStartFoundRect)) {
        MemoState |= msFoundRectChanged;
        // An all-zero rectangle means "nothing found" and adds no lines.
        for (const TMemoRect* r : {&FFoundRect, &FStartFoundRect})
            if (!(*r == TMemoRect()))
                UpdateChangedLines(r->Top, r->Bottom);
    }
    if (GetStrCount() != FStartCount)
        MemoState |= msCountChanged;
    if (MemoState & msEdited) {
        FModified = IsSourceModified();
        if (FFirstChanged < FFirstUnparsed)
            FFirstUnparsed = std::max(0, FFirstChanged);
    }
    if (MemoState & msParserChanged) {
        FFirstUnparsed = 0;
        FFirstChanged = 0;
        FLastChanged = INT_MAX;
    }
    if (FModified != FStartModified)
        MemoState |= msModifiedChanged;
    if (MemoState != 0)
        NotifyEvents(FFirstChanged, FLastChanged);
}

// ---------------------------------------------------------------- properties

void TCustomMemoSource::SetOptions(TStringsOptions value) {
    if (value == FOptions)
        return;
    TStringsOptions old = FOptions;
    if ((value & soUseTabCharacter) && !(old & soUseTabCharacter)) {
        value &= ~TStringsOptions(soSmartTab);
    } else if ((value & soSmartTab) && (old & soUseTabCharacter)) {
        value &= ~TStringsOptions(soUseTabCharacter);
    }
    FOptions = value;
    if ((old & soBeyondFileEnd) && !(value & soBeyondFileEnd) && FCaret.Line >= GetStrCount())
        JumpToFileEnd();
}

void TCustomMemoSource::SetTabStops(const std::string& value) {
    FTabs.SetTabStops(value);
    BeginUpdate(0);
    UpdateChangedLines(0, INT_MAX);
    MemoState |= msBlockChanged;
    EndUpdate();
}

void TCustomMemoSource::SetROnly(bool value) {
    if (value == FReadOnly)
        return;
    BeginUpdate(70);
    FReadOnly = value;
    MemoState |= msReadOnlyChanged;
    EndUpdate();
}

void TCustomMemoSource::SetOutFormat(TOutFormatType value) {
    FOutFormat = value;
    FOutFormatChosen = true;
    for (int32_t i = 0; i < GetStrCount(); ++i)
        FStrings.Item(i)->LineEnd = leDefault;
}

void TCustomMemoSource::SetBlockOption(TBlockOption value) {
    if (value == FBlockOption)
        return;
    FBlockOption = value;
    if (value == bkBoth)
        return;
    TSelectionType t = FSelectionType;
    if (value == bkNone)
        t = stNotSelected;
    else if (value == bkBlockSel && t == stStreamSel)
        t = stBlockSel;
    else if (value == bkStreamSel && t == stBlockSel)
        t = stStreamSel;
    SetSelectionType(t);
}

bool TCustomMemoSource::ChangeObjectName(const std::string& name) {
    if (name == FObjectName)
        return false;
    FPrevObjectName = FObjectName;
    BeginUpdate(56);
    FObjectName = name;
    MemoState |= msObjNameChanged;
    EndUpdate();
    return true;
}

// ---------------------------------------------------------------- line state

bool TCustomMemoSource::GetLineReadOnly(int32_t line) const {
    const TStringItem* item = GetStringItem(line);
    return item && item->Has(isReadOnly);
}

bool TCustomMemoSource::SetLineState(int32_t first, int32_t last, uint8_t stateBit, bool value) {
    bool changed = false;
    BeginUpdate(73);
    uint16_t edited = MemoState & msEdited;
    for (int32_t i = std::max(first, 0); i <= last && i < GetStrCount(); ++i) {
        TStringItem* item = FStrings.Item(i);
        if (item->Has(stateBit) == value)
            continue;
        item->Set(stateBit, value);
        UpdateChangedLines(i, i);
        changed = true;
    }
    if (changed)
        MemoState = uint16_t((MemoState & ~msEdited) | edited | msBlockChanged);
    EndUpdate();
    return changed;
}

void TCustomMemoSource::SetLineReadOnly(int32_t line, bool value) {
    SetLineState(line, line, isReadOnly, value);
}

bool TCustomMemoSource::GetImageBit(int32_t line, int32_t bit) const {
    const TStringItem* item = GetStringItem(line);
    return item && bit >= 0 && bit < 16 && (item->ImageBits & (1u << bit));
}

void TCustomMemoSource::SetImageBit(int32_t line, int32_t bit, bool value) {
    TStringItem* item = GetStringItem(line);
    if (!item || bit < 0 || bit >= 16 || GetImageBit(line, bit) == value)
        return;
    BeginUpdate(53);
    item->ImageBits =
        value ? uint16_t(item->ImageBits | (1u << bit)) : uint16_t(item->ImageBits & ~(1u << bit));
    UpdateChangedLines(line, line);
    MemoState |= msBlockChanged;
    EndUpdate();
}

uint8_t TCustomMemoSource::GetLineTextStyle(int32_t line) const {
    const TStringItem* item = GetStringItem(line);
    return item ? item->TextStyle : 0;
}

void TCustomMemoSource::SetLineTextStyle(int32_t line, uint8_t style) {
    TStringItem* item = GetStringItem(line);
    if (!item || item->TextStyle == style)
        return;
    BeginUpdate(68);
    item->TextStyle = style;
    UpdateChangedLines(line, line);
    MemoState |= msBlockChanged;
    EndUpdate();
}

// ---------------------------------------------------------------- selection and positions

void TCustomMemoSource::CheckSelectionType(TSelectionType& t) {
    if (t == stNotSelected)
        return;
    if (FBlockOption == bkNone)
        t = stNotSelected;
    else if (FBlockOption == bkStreamSel)
        t = stStreamSel;
    else if (FBlockOption == bkBlockSel)
        t = stBlockSel;
}

void TCustomMemoSource::SetSelectionType(TSelectionType t) {
    CheckSelectionType(t);
    if (t == FSelectionType)
        return;
    BeginUpdate(13);
    FSelectionType = t;
    EndUpdate();
}

void TCustomMemoSource::SetSelectionRect(const TMemoRect& r) {
    BeginUpdate(17);
    FBlockBegin.SetPosition(r.Left, r.Top);
    FBlockEnd.SetPosition(r.Right, r.Bottom);
    EndUpdate();
}

void TCustomMemoSource::SetFoundRect(const TMemoRect& r) {
    BeginUpdate(17);
    FFoundRect = r;
    EndUpdate();
}

bool TCustomMemoSource::IsBlockEmpty() const {
    if (FSelectionType == stStreamSel)
        return FBlockBegin.SameAs(FBlockEnd);
    if (FSelectionType == stBlockSel)
        return FBlockBegin.Line > FBlockEnd.Line || FBlockBegin.Char > FBlockEnd.Char;
    return true;
}

TPosition* TCustomMemoSource::CopyPosition(const TPosition& p) {
    FCopies.push_back(std::make_unique<TPosition>(TPosition{p.Char, p.Line, true}));
    return FCopies.back().get();
}

void TCustomMemoSource::FreePosition(TPosition* copy) {
    FCopies.erase(
        std::remove_if(FCopies.begin(), FCopies.end(), [copy](const auto& p) { return p.get() == copy; }),
        FCopies.end());
}

void TCustomMemoSource::RestorePosition(TPosition* copy) {
    if (!copy)
        return;
    int32_t c = copy->Char, l = copy->Line;
    FreePosition(copy);
    JumpTo(c, l);
}

void TCustomMemoSource::UpdatePositions(TStringsOperation op, int32_t delta) {
    const int32_t cl = FCaret.Line, cc = FCaret.Char;
    auto shift = [&](TPosition& p, bool isBlockBegin) {
        bool column = (&p == &FBlockBegin || &p == &FBlockEnd) && FSelectionType == stBlockSel;
        if (column || p.Line < cl)
            return;
        bool right = p.Line == cl && (isBlockBegin ? p.Char >= cc : p.Char > cc);
        switch (op) {
        case soInsert:
            if (right)
                p.Char += delta;
            break;
        case soDeleteRight:
            if (right)
                p.Char = std::max(cc, p.Char - delta);
            break;
        case soBreakLine:
            if (right)
                p.SetPosition(p.Char - cc, p.Line + 1);
            else if (p.Line > cl)
                ++p.Line;
            break;
        case soJoinLines:
            if (p.Line == cl && p.Char > cc)
                p.Char = cc;
            else if (p.Line == cl + 1)
                p.SetPosition(p.Char + cc, cl);
            else if (p.Line > cl + 1)
                --p.Line;
            break;
        default:
            break;
        }
        p.Char = std::max(0, p.Char);
        p.Line = std::max(0, p.Line);
    };
    shift(FBlockBegin, true);
    shift(FBlockEnd, false);
    for (auto& p : FCopies)
        shift(*p, false);
}

// ---------------------------------------------------------------- undo

void TCustomMemoSource::SetAllowUndo(bool value) {
    if (value == FAllowUndo)
        return;
    FAllowUndo = value;
    if (!value)
        ClearUndoBuffer();
}

void TCustomMemoSource::SetUndoLimit(int32_t n) {
    n = std::max(n, 0);
    if (n == FUndoLimit)
        return;
    FUndoLimit = n;
    CheckUndoLimit();
}

void TCustomMemoSource::ClearUndoBuffer() {
    FUndoList.Clear();
    FRedoList.Clear();
}

void TCustomMemoSource::CheckUndoLimit() {
    if (FSwapped || !FAllowUndo || FUndoLimit == 0)
        return;
    int32_t count = FUndoList.Count();
    if (count - 100 <= FUndoLimit)
        return;
    int32_t cut = count - FUndoLimit - 1;
    while (cut >= 1 && FUndoList[cut].InBlock)
        --cut;
    if (cut > 0)
        FUndoList.ClearToIndex(cut);
}

TUndoRecord* TCustomMemoSource::CreateNewUndoRecord(TStringsOperation op) {
    bool edit = op != soNavigate && op != soUpdateColorData;
    int64_t before = FTextState, after = FTextState;
    if (FReplaying) {
        if (edit)
            before = FReplaying->StateAfter, after = FReplaying->StateBefore;
    } else if (edit) {
        after = FTextState = ++FStateCounter;
    }
    if (!FAllowUndo)
        return nullptr;
    CheckUndoLimit();
    TUndoRecord& rec = CurrentUndoList().AddUndoRecord();
    rec.Operation = op;
    rec.StepStart = FStepStart;
    rec.Reason = FReason;
    rec.InBlock = FUndoBlockCount > 0;
    rec.StateBefore = before;
    rec.StateAfter = after;
    FStepStart = false;
    return &rec;
}

void TCustomMemoSource::EndUndoBlock() {
    if (FUndoBlockCount > 0)
        --FUndoBlockCount;
    if (FUndoBlockCount == 0 && FAllowUndo) {
        // The closing record belongs to the block's step: when the last bracket inside made no record
        // it would otherwise start a step of its own, and one undo would stop at it.
        FStepStart = false;
        CreateNewUndoRecord(soNavigate);
    }
}

void TCustomMemoSource::ReplayRecord(const TUndoRecord& rec) {
    switch (rec.Operation) {
    case soNavigate:
        Navigate(-rec.Value1, -rec.Value2);
        break;
    case soInsert:
        DeleteRight(rec.Value1);
        break;
    case soBreakLine:
        JoinLines();
        break;
    case soJoinLines:
        BreakLine();
        break;
    case soDeleteRight:
        if (StoreColorData() && !rec.ColorData.empty())
            InsertEx(rec.Text, rec.ColorData);
        else
            Insert(rec.Text);
        break;
    case soUpdateColorData:
        if (StoreColorData() && !rec.Text.empty()) {
            if (TStringItem* item = GetStringItem(rec.Value1)) {
                MoveColorData(rec.Text, item->ColorData, rec.Value2, rec.Value1);
                item->Set(isWasParsed, false);
                // The reparse must not mark addresses over the bytes just put back.
                FNoStore = true;
                TScopeGuard stored([this] { FNoStore = false; });
                UpdateString(rec.Value1);
            }
        }
        break;
    }
}

void TCustomMemoSource::Undo() {
    if (!UndoAvailable() || GetReadOnly())
        return;
    TUndoList& source = CurrentUndoList();
    FSwapped = !FSwapped;
    Reveal = true;
    const uint8_t firstReason = source.Last().Reason;
    BeginUpdate(firstReason);
    MemoState |= msUndo;
    {
        TScopeGuard finish([this] {
            FReplaying = nullptr;
            Reveal = false;
            SetSelectionType(stNotSelected);
            EndUpdate();
            FSwapped = !FSwapped;
        });
        // Only the first record replayed starts a step in the other list, so one redo takes back
        // exactly what one undo did (and the other way round).
        FStepStart = true;
        while (!source.Empty()) {
            TUndoRecord rec = source.Last();
            if (rec.Reason != firstReason && !rec.InBlock)
                break;
            FReplaying = &rec;
            ReplayRecord(rec);
            FReplaying = nullptr;
            if (rec.IsEdit())
                FTextState = rec.StateBefore;
            source.DeleteLast();
            if (rec.StepStart) {
                // An undo block is one step even when it spans several brackets: go on while the
                // records below still belong to it.
                bool blockGoesOn = rec.InBlock && !source.Empty() && source.Last().InBlock;
                if (!blockGoesOn && !HasOption(soGroupUndo))
                    break;
            }
        }
    }
    if (FModified && !FSwapped)
        FModified = IsSourceModified();
}

void TCustomMemoSource::Redo() {
    if (GetReadOnly())
        return;
    {
        FSwapped = !FSwapped;
        TScopeGuard swappedBack([this] { FSwapped = !FSwapped; });
        Undo();
    }
    if (FModified)
        FModified = IsSourceModified();
}

bool TCustomMemoSource::IsSourceModified() const {
    return FTextState != FSavedState;
}

void TCustomMemoSource::SafeCheckModified(bool value, bool notify) {
    if (!value)
        FSavedState = FTextState;
    if (value == FModified)
        return;
    if (notify)
        BeginUpdate(49);
    FModified = value;
    if (notify)
        EndUpdate();
}

void TCustomMemoSource::SetModified(bool value) {
    // A forced "modified" matches no state of the text, so it holds until the next save or load.
    if (value)
        FSavedState = -1;
    SafeCheckModified(value, true);
}
