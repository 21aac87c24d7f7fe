#include "controls/textmodel/TabRack.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/textmodel/LineStore.h"
#include "framework/core/CharClass.h"

#include <algorithm>
#include <cctype>

void TTabRack::SetTabStops(const std::string& text) {
    std::vector<int32_t> stops;
    size_t i = 0;
    while (i < text.size()) {
        size_t comma = text.find(',', i);
        if (comma == std::string::npos)
            comma = text.size();
        std::string part = text.substr(i, comma - i);
        size_t b = part.find_first_not_of(' '), e = part.find_last_not_of(' ');
        part = b == std::string::npos ? std::string() : part.substr(b, e - b + 1);
        if (part.empty() || part.size() > 9)
            throw EMemoSourceError(LoadResString(SInvalidTabRack));
        int32_t v = 0;
        for (char c : part) {
            if (!IsAsciiDigit(c))
                throw EMemoSourceError(LoadResString(SInvalidTabRack));
            v = v * 10 + (c - '0');
        }
        if (v < 1 || (!stops.empty() && v <= stops.back()))
            throw EMemoSourceError(LoadResString(SInvalidTabRack));
        stops.push_back(v);
        i = comma + 1;
    }
    if (stops.empty())
        stops.push_back(8);
    FStops = std::move(stops);
    FText = text;
}

int32_t TTabRack::VirtualStop(int32_t index) const {
    int32_t n = int32_t(FStops.size());
    if (index < n)
        return FStops[size_t(index)];
    int32_t interval = n == 1 ? FStops[0] : FStops[size_t(n - 1)] - FStops[size_t(n - 2)];
    return FStops[size_t(n - 1)] + (index - (n - 1)) * interval;
}

int32_t TTabRack::TabWidthAt(int32_t pos) const {
    int32_t n = int32_t(FStops.size());
    int32_t stop;
    if (pos <= FStops[size_t(n - 1)]) {
        int32_t i = 0;
        while (FStops[size_t(i)] < pos)
            ++i;
        stop = FStops[size_t(i)];
    } else {
        int32_t interval = n == 1 ? FStops[0] : FStops[size_t(n - 1)] - FStops[size_t(n - 2)];
        int32_t k = (pos - FStops[size_t(n - 1)] + interval - 1) / interval;
        stop = FStops[size_t(n - 1)] + k * interval;
    }
    return stop - pos + 1;
}

int32_t TTabRack::WidestTab() const {
    // A tab reaches at most from just past one stop to the next; past the list the stops repeat
    // its last interval, one of the gaps already counted (or the first stop alone).
    int32_t widest = FStops[0];
    for (size_t i = 1; i < FStops.size(); ++i)
        widest = std::max(widest, FStops[i] - FStops[i - 1]);
    return widest;
}

std::string TTabRack::Expand(const std::string& s, char fill) const {
    if (s.find('\t') == std::string::npos)
        return s;
    std::string out;
    out.reserve(s.size() + 16);
    for (char c : s) {
        if (c == '\t') {
            out.append(size_t(TabWidthAt(int32_t(out.size()) + 1)), fill);
        } else {
            out += c;
        }
    }
    return out;
}

int32_t TTabRack::RelativeIndex(const std::string& s, int32_t index) const {
    // Up to the first tab every character is one column.
    const int32_t n = int32_t(s.size());
    const int32_t firstTab = int32_t(TextRoutines::FindTab(s));
    if (index <= firstTab)
        return std::max(index, 0);
    int32_t col = firstTab;
    for (int32_t i = firstTab; i < index; ++i)
        col += (i < n && s[size_t(i)] == '\t') ? TabWidthAt(col + 1) : 1;
    return col;
}

int32_t TTabRack::RealIndex(const std::string& s, int32_t col) const {
    int32_t c = 0;
    int32_t n = int32_t(s.size());
    for (int32_t i = 0; i < n; ++i) {
        int32_t w = s[size_t(i)] == '\t' ? TabWidthAt(c + 1) : 1;
        if (col < c + w)
            return i;
        c += w;
    }
    return n + (col - c);
}

bool TTabRack::TabDelta(const std::string& s, int32_t col, int32_t& delta, bool forward) const {
    delta = 0;
    int32_t c = 0;
    for (char ch : s) {
        int32_t w = ch == '\t' ? TabWidthAt(c + 1) : 1;
        if (col < c + w) {
            if (ch != '\t' || col == c)
                return false;
            delta = forward ? c + w - col : col - c;
            return true;
        }
        c += w;
    }
    return false;
}
