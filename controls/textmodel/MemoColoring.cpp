#include <algorithm>
#include <cctype>

#include "controls/textmodel/MemoSource.h"
#include "framework/core/CharClass.h"

namespace {
constexpr uint8_t kUrlStyle = 12;
constexpr int32_t kLookAhead = 100;

bool IsUrlChar(char c) {
    return IsIdentChar(c) || c == '-' || c == '.' || c == '/' || c == ':' || c == '=' || c == '?' ||
           c == '@' || c == '~';
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    size_t n = std::char_traits<char>::length(prefix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(uint8_t(s[i])) != prefix[i])
            return false;
    return true;
}

// A run of address characters counts as a web address when it names a scheme or a host the way
// people write them in documents.
bool IsStringHot(const std::string& run) {
    static const char* const kPrefixes[] = {"http://", "https://", "ftp://", "file://",
                                            "mailto:", "news:",    "www."};
    for (const char* p : kPrefixes)
        if (StartsWithNoCase(run, p) && run.size() > std::char_traits<char>::length(p))
            return true;
    return false;
}
} // namespace

void TCustomMemoSource::AfterParse(int32_t line, const std::string& text, std::string& colorData) {
    if (AfterParseHandler)
        AfterParseHandler(line, text, colorData);
}

void TCustomMemoSource::SetSyntaxParser(TSimpleParser* parser) {
    if (parser == FParser)
        return;
    const THSNotifyEvent method(this, &TCustomMemoSource::ParserOnChange);
    if (FParser) {
        FParser->UnRegisterNotifier(method);
        FParser->RemoveFreeNotification(this);
    }
    FParser = parser;
    // Registering also asks for the parser's free notification, which detaches it (Notification).
    if (FParser)
        FParser->RegisterNotifier(method);
    ParserChanged();
}

void TCustomMemoSource::ParserOnChange(TObject* sender, int32_t, int32_t) {
    if (sender == FParser)
        ParserChanged();
}

void TCustomMemoSource::SetHighlightUrls(bool value) {
    if (value == FHighlightUrls)
        return;
    FHighlightUrls = value;
    ParserChanged();
}

void TCustomMemoSource::ParserChanged() {
    if (FDestroying)
        return;
    BeginUpdate(57);
    MemoState |= msParserChanged;
    const bool store = StoreColorData();
    for (int32_t i = 0; i < GetStrCount(); ++i) {
        TStringItem* item = FStrings.Item(i);
        item->Set(isWasParsed, false);
        if (!store)
            item->ColorData.clear();
        item->Measure[0] = item->Measure[1] = item->Measure[2] = 0;
    }
    FFirstUnparsed = 0;
    ReCalculateMaxLine();
    EndUpdate();
}

void TCustomMemoSource::ColorDataChanged(const std::string& old, int32_t line, int32_t pos) {
    if (!FAllowUndo)
        return;
    if (TUndoRecord* rec = CreateNewUndoRecord(soUpdateColorData)) {
        rec->Value1 = line;
        rec->Value2 = pos;
        rec->Text = old;
    }
}

void TCustomMemoSource::MoveColorData(const std::string& src, std::string& dest, int32_t pos, int32_t line) {
    const size_t at = size_t(std::max(pos - 1, 0));
    if (dest.size() < at + src.size())
        dest.resize(at + src.size(), '\0');
    std::string old = dest.substr(at, src.size());
    if (old == src)
        return;
    dest.replace(at, src.size(), src);
    ColorDataChanged(old, line, pos);
}

void TCustomMemoSource::ReplaceColorData(int32_t line, int32_t pos, const std::string& bytes) {
    TStringItem* item = GetStringItem(line);
    if (!item || pos < 1 || bytes.empty())
        return;
    MoveColorData(bytes, item->ColorData, pos, line);
    UpdateChangedLines(line, line);
}

void TCustomMemoSource::MarkUrls(int32_t line, const std::string& text, std::string& colorData) {
    if (FNoStore)
        return;
    const bool store = StoreColorData();
    size_t i = 0, n = text.size();
    while (i < n) {
        if (!IsIdentChar(text[i])) {
            ++i;
            continue;
        }
        size_t b = i;
        while (i < n && IsUrlChar(text[i]))
            ++i;
        std::string candidate = text.substr(b, i - b + (i < n ? 1 : 0));
        if (!IsStringHot(candidate))
            continue;
        const std::string url(i - b, char(kUrlStyle));
        if (store) {
            MoveColorData(url, colorData, int32_t(b) + 1, line);
        } else {
            if (colorData.size() < i)
                colorData.resize(i, '\0');
            colorData.replace(b, i - b, url);
        }
    }
}

void TCustomMemoSource::ParseStrings(int32_t first, int32_t last, bool force) {
    last = std::min(last, GetStrCount() - 1);
    first = std::max(first, 0);
    if (first > last)
        return;
    if (!FParser) {
        if (FHighlightUrls || force) {
            for (int32_t i = first; i <= last; ++i) {
                TStringItem* item = FStrings.Item(i);
                if (item->Has(isWasParsed))
                    continue;
                if (FHighlightUrls) {
                    item->ColorData.assign(item->Text.size(), '\0');
                    MarkUrls(i, item->Text, item->ColorData);
                } else {
                    item->ColorData.clear();
                }
                item->Set(isWasParsed, true);
                AfterParse(i, item->Text, item->ColorData);
                if (LineMeasureHandler)
                    LineMeasureHandler(i, *item);
            }
        }
    } else {
        int32_t state = first == 0 ? InitialParserState : FStrings.Item(first - 1)->EndState;
        for (int32_t i = first; i <= last; ++i) {
            TStringItem* item = FStrings.Item(i);
            if (item->Has(isWasParsed) && item->StartState == state) {
                state = item->EndState;
                continue;
            }
            FParser->PrepareColorData(i, item->Text, item->ColorData);
            item->StartState = state;
            FParser->UpdateLinePos(i);
            int32_t next = FParser->ColorString(item->Text, state, item->ColorData);
            item->Set(isWasParsed, true);
            AfterParse(i, item->Text, item->ColorData);
            if (FHighlightUrls)
                MarkUrls(i, item->Text, item->ColorData);
            if (next != item->EndState) {
                item->EndState = next;
                FLastReparsed = std::max(FLastReparsed, i);
            }
            if (LineMeasureHandler)
                LineMeasureHandler(i, *item);
            state = next;
        }
    }
    FFirstUnparsed = last + 1;
}

void TCustomMemoSource::ParseToString(int32_t line, bool force) {
    int32_t last = (line < FFirstUnparsed || line >= INT_MAX - kLookAhead) ? line : line + kLookAhead;
    ParseStrings(std::min(FFirstUnparsed, line), last, force);
}

const std::string& TCustomMemoSource::GetColorData(int32_t line) {
    static const std::string kNone;
    TStringItem* item = GetStringItem(line);
    if (!item)
        return kNone;
    // A line below the first unparsed one may still carry colours made from a stale start state.
    if (!item->Has(isWasParsed) || (FParser && line >= FFirstUnparsed))
        ParseToString(line, false);
    return item->ColorData;
}

std::string TCustomMemoSource::GetStoredColorData(int32_t line) {
    std::string cd = GetColorData(line);
    const TStringItem* item = GetStringItem(line);
    if (!item || cd.empty() || item->Text.find('\t') == std::string::npos)
        return cd;
    std::string aligned;
    const std::string& text = item->Text;
    for (size_t i = 0; i < text.size(); ++i) {
        const char b = i < cd.size() ? cd[i] : '\0';
        const size_t w = text[i] == '\t' ? size_t(FTabs.TabWidthAt(int32_t(aligned.size()) + 1)) : 1;
        aligned.append(w, b);
    }
    return aligned;
}

bool TCustomMemoSource::UpdateString(int32_t line) {
    if (ImportFlag && line == GetStrCount() - 1) {
        UpdateChangedLines(line, line);
        return false;
    }
    TStringItem* item = GetStringItem(line);
    if (!item)
        return false;
    const int32_t oldMeasure = item->Measure[0];
    const int32_t oldEnd = item->EndState;
    UpdateChangedLines(line, line);
    item->Set(isWasParsed, false);
    // The lines above are brought up to date first, so the line is parsed from its true start
    // state and a changed end state is seen (and reported) now, not when a view happens to ask.
    if (FParser && line > FFirstUnparsed)
        ParseStrings(FFirstUnparsed, line - 1, false);
    const int32_t keep = FFirstUnparsed;
    ParseStrings(line, line, true);
    FFirstUnparsed = keep;
    const bool endChanged = item->EndState != oldEnd;
    if (endChanged || item->Measure[0] != oldMeasure)
        UpdateChangedLines(line, INT_MAX);
    return endChanged && !StoreColorData();
}

uint8_t TCustomMemoSource::GetAttr(int32_t chr, int32_t line) {
    TStringItem* item = GetStringItem(line);
    if (!item)
        return 0;
    if (CarriedStyle >= 0)
        return uint8_t(CarriedStyle);
    const std::string cd = GetStoredColorData(line);
    if (cd.empty())
        return 0;
    int32_t i = std::clamp(chr, 1, int32_t(cd.size())) - 1;
    if (uint8_t(cd[size_t(i)]) != kUrlStyle)
        return uint8_t(cd[size_t(i)]);
    while (i >= 0 && uint8_t(cd[size_t(i)]) == kUrlStyle)
        --i;
    return i >= 0 ? uint8_t(cd[size_t(i)]) : 0;
}

int32_t TCustomMemoSource::GetMaxLen(int32_t line) {
    TStringItem* item = GetStringItem(line);
    if (!item)
        return 0;
    if (LineMeasureHandler) {
        if (!item->Has(isWasParsed)) {
            if (FParser || FHighlightUrls) {
                const int32_t keep = FFirstUnparsed;
                ParseStrings(line, line, true);
                FFirstUnparsed = keep;
            } else {
                LineMeasureHandler(line, *item);
            }
        }
        if (item->Measure[1] != 0)
            return item->Measure[1];
    }
    return FTabs.RelativeIndex(item->Text, int32_t(item->Text.size()));
}

void TCustomMemoSource::ReCalculateMaxLine() {
    FMaxLineLength = 0;
    FMaxLineIndex = -1;
    if (!FMaxLineEnabled)
        return;
    // Without a view that measures lines, a line takes at least as many columns as it has
    // characters and at most that many widest tabs: a line that cannot reach the longest stored
    // line is not looked into for tabs (which took milliseconds on a large text, where nearly
    // every line is far shorter than the longest).
    const int32_t count = GetStrCount();
    int64_t reach = 0, widest = 0;
    if (!LineMeasureHandler) {
        widest = FTabs.WidestTab();
        for (int32_t i = 0; i < count; ++i)
            reach = std::max<int64_t>(reach, int64_t(FStrings.Item(i)->Text.size()));
    }
    for (int32_t i = 0; i < count; ++i) {
        if (int64_t(FStrings.Item(i)->Text.size()) * widest < reach)
            continue;
        int32_t len = GetMaxLen(i);
        if (len >= FMaxLineLength) {
            FMaxLineLength = len;
            FMaxLineIndex = i;
        }
    }
}

void TCustomMemoSource::UpdateMaxLine() {
    FMaxLineEnabled = true;
    ReCalculateMaxLine();
}
