#include <algorithm>
#include "controls/foundation/HSResStrings.h"

#include "controls/textmodel/MemoSource.h"
#include "framework/core/Properties.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"

namespace {

constexpr uint8_t kSetBookmarkReason = 45;
constexpr uint8_t kClearBookmarkReason = 46;
constexpr uint8_t kGutterReason = 53;

bool ValidNumber(int32_t n) {
    return n >= 1 && n <= 10;
}

struct TBracket {
    TCustomMemoSource& s;
    TBracket(TCustomMemoSource& source, uint8_t reason) : s(source) { s.BeginUpdate(reason); }
    ~TBracket() { s.EndUpdate(); }
};

} // namespace

void TCustomMemoSource::UpdateGutterImg(int32_t line) {
    TBracket bracket(*this, kGutterReason);
    UpdateChangedLines(line, line);
}

void TCustomMemoSource::ClearImageBit(int32_t line) {
    TBracket bracket(*this, kGutterReason);
    for (int32_t bit = 0; bit < 16; ++bit)
        SetImageBit(line, bit, false);
    UpdateChangedLines(line, line);
}

void TCustomMemoSource::SetBookmark(int32_t n) {
    if (!ValidNumber(n))
        return;
    TBracket bracket(*this, kSetBookmarkReason);
    int32_t oldLine = -1;
    while (FBookMarks.ClearBookMark(n, oldLine))
        UpdateChangedLines(oldLine, oldLine);
    FBookMarks.SetBookMark(FCaret.Char, FCaret.Line, n);
    UpdateChangedLines(FCaret.Line, FCaret.Line);
}

void TCustomMemoSource::ClearBookmark(int32_t n) {
    if (!ValidNumber(n))
        return;
    TBracket bracket(*this, kClearBookmarkReason);
    int32_t line = -1;
    if (FBookMarks.ClearBookMark(n, line))
        UpdateChangedLines(line, line);
}

void TCustomMemoSource::ToggleBookMark(int32_t n) {
    if (!ValidNumber(n))
        return;
    TBookMarkRec rec;
    if (FBookMarks.FindBookMark(n, rec) && rec.Line == FCaret.Line)
        ClearBookmark(n);
    else
        SetBookmark(n);
}

void TCustomMemoSource::ToggleBookMarkForLine(int32_t n, int32_t line) {
    if (!ValidNumber(n) || line < 0 || line >= GetStrCount())
        return;
    TBracket bracket(*this, kSetBookmarkReason);
    const TPosition saved = FCaret;
    JumpTo(FCaret.Char, line);
    ToggleBookMark(n);
    JumpTo(saved.Char, saved.Line);
}

void TCustomMemoSource::GoToBookmark(int32_t n) {
    int32_t chr = 0, line = 0;
    if (!FindBookMark(n, chr, line))
        return;
    // Forced, so that views reveal the bookmark even when the caret already stands on it.
    ForcedMove = true;
    TScopeGuard moved([this] { ForcedMove = false; });
    JumpTo(chr, line);
}

bool TCustomMemoSource::FindBookMark(int32_t n, int32_t& chr, int32_t& line) const {
    TBookMarkRec rec;
    if (ValidNumber(n) && FBookMarks.FindBookMark(n, rec)) {
        chr = rec.Char;
        line = rec.Line;
        return true;
    }
    chr = line = -1;
    return false;
}

void TCustomMemoSource::FSetBookMark(int32_t line, int32_t n) {
    if (!ValidNumber(n) || line < 0 || line >= GetStrCount())
        return;
    TBracket bracket(*this, kSetBookmarkReason);
    int32_t oldLine = -1;
    while (FBookMarks.ClearBookMark(n, oldLine))
        UpdateChangedLines(oldLine, oldLine);
    FBookMarks.SetBookMark(0, line, n);
    UpdateChangedLines(line, line);
}

int32_t TCustomMemoSource::FGetBookmark(int32_t line) const {
    if (line < 0 || line >= GetStrCount())
        return 0;
    return FBookMarks.GetBookMarkForLine(line);
}

int32_t TCustomMemoSource::NextBookmarkNumber() const {
    int32_t highest = 0;
    for (int32_t i = 0; i < FBookMarks.Count(); ++i)
        highest = std::max(highest, FBookMarks[i].Number);
    return highest + 1;
}

// ---------------------------------------------------------------- source services

bool TCustomMemoSource::SaveWithQuestion() {
    if (FObjectName.empty() || !Modified())
        return true;
    switch (MessageDlg(Format(LoadResString(SAskSaveFile).c_str(), FObjectName.c_str()),
                       TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel)) {
    case IDYES:
        Save();
        return true;
    case IDNO:
        return true;
    default:
        return false;
    }
}

TCustomMemoSource* TCustomMemoSource::MemoSourceByName(const std::string& name) {
    for (TCustomMemoSource* s : MemoSources())
        if (SameText(s->ObjectName(), name))
            return s;
    return nullptr;
}

void TCustomMemoSource::AssignLines(TStrings* lines, bool selectedOnly) {
    if (!lines || !HasOption(soExcludeReadOnlyLines))
        return;
    lines->BeginUpdate();
    lines->Clear();
    const bool block = selectedOnly && FSelectionType != stNotSelected;
    const int32_t first = block ? FBlockBegin.Line : 0;
    for (int32_t i = 0; block ? i < FSelection.GetCount() : i < GetStrCount(); ++i)
        if (first + i < GetStrCount() && !GetLineReadOnly(first + i))
            lines->Add(block ? FSelection.Get(i) : FStrings.Get(i));
    lines->EndUpdate();
}

namespace {
const TPropInfo* StringProp(TObject* object, const std::string& name) {
    const TPropInfo* info = GetPropInfo(object, name);
    if (!info || (info->Kind != tkString && info->Kind != tkBinary))
        throw EPropertyError(Format(SUnknownProperty, name.c_str()));
    return info;
}
} // namespace

void TCustomMemoSource::LoadFromProp(TObject* object, const std::string& propName) {
    if (!object) {
        LoadFromString(std::string());
        return;
    }
    LoadFromString(GetStrProp(object, StringProp(object, propName)));
}

void TCustomMemoSource::SaveToProp(TObject* object, const std::string& propName) {
    if (!object)
        return;
    const TPropInfo* info = StringProp(object, propName);
    SetStrProp(object, info, SaveToString());
}
