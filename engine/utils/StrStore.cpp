#include "engine/utils/StrStore.h"
#include "engine/utils/CharClasses.h"
#include "engine/utils/NumericReference.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using zel::chars::isBlank;

char* allocBuffer(int32_t n) {
    return static_cast<char*>(std::malloc(static_cast<size_t>(n)));
}

int32_t textLength(const char* text) {
    return text ? static_cast<int32_t>(std::strlen(text)) : 0;
}

// The length of text, but no more than n when n >= 0: nothing past the first n characters is
// read, so taking a line from the front of a whole file costs the line, not the file.
int32_t textLength(const char* text, int32_t n) {
    if (n < 0)
        return textLength(text);
    const void* end = std::memchr(text, 0, static_cast<size_t>(n));
    return end ? static_cast<int32_t>(static_cast<const char*>(end) - text) : n;
}

unsigned char upperByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

bool matchAt(const char* text, const char* pattern, int32_t n, bool caseBlind) {
    for (int32_t k = 0; k < n; ++k) {
        unsigned char a = static_cast<unsigned char>(text[k]);
        unsigned char b = static_cast<unsigned char>(pattern[k]);
        if (caseBlind ? upperByte(a) != upperByte(b) : a != b)
            return false;
    }
    return true;
}

} // namespace

const char* const latin1EntityNames[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

namespace {

// The character of the reference name (text between "&" and ";"), or 0.
int entityValue(const char* name, int32_t n) {
    struct Fixed {
        const char* name;
        int value;
    };
    static const Fixed fixed[] = {{"quot", '"'}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}};
    for (const Fixed& f : fixed)
        if (textLength(f.name) == n && std::memcmp(f.name, name, static_cast<size_t>(n)) == 0)
            return f.value;
    for (int k = 0; k < 96; ++k)
        if (textLength(latin1EntityNames[k]) == n &&
            std::memcmp(latin1EntityNames[k], name, static_cast<size_t>(n)) == 0)
            return 160 + k;
    if (n >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const int32_t start = hex ? 2 : 1;
        const long value = referenceValue(name + start, static_cast<size_t>(n - start), hex, 255);
        return value >= 1 && value <= 255 ? static_cast<int>(value) : 0;
    }
    return 0;
}

} // namespace

StrStore::StrStore(int32_t capacity) : data_(nullptr), length_(0), capacity_(0) {
    if (capacity < 1)
        capacity = 1;
    data_ = allocBuffer(capacity);
    if (!data_) {
        static char empty[1];
        data_ = allocBuffer(1);
        capacity = data_ ? 1 : 0;
        if (!data_)
            data_ = empty; // never NULL; the destructor knows not to free it
    }
    capacity_ = capacity;
    data_[0] = 0;
}

StrStore::StrStore(const char* text) : StrStore(32) {
    assign(text);
}

StrStore::StrStore(const StrStore& other) : StrStore(1) {
    int32_t cap = other.capacity_;
    if (cap > 2 * other.length_)
        cap = other.length_ + 1;
    if (replaceBuffer(cap)) {
        std::memcpy(data_, other.data_, static_cast<size_t>(other.length_) + 1);
        length_ = other.length_;
    }
}

StrStore::StrStore(const char* word, int32_t count) : StrStore(32) {
    assign(word);
    if (count != 1)
        append("s");
}

StrStore::~StrStore() {
    if (capacity_ > 0)
        std::free(data_);
}

StrStore& StrStore::operator=(const StrStore& other) {
    if (this != &other)
        assign(other);
    return *this;
}

StrStore& StrStore::operator=(const char* text) {
    assign(text);
    return *this;
}

int32_t StrStore::replaceBuffer(int32_t capacity) {
    char* fresh = allocBuffer(capacity);
    if (!fresh)
        return 0;
    fresh[0] = 0;
    if (capacity_ > 0)
        std::free(data_);
    data_ = fresh;
    capacity_ = capacity;
    length_ = 0;
    return 1;
}

int32_t StrStore::assign(const char* text) {
    return assign(text, -1);
}

int32_t StrStore::assign(const char* text, int32_t n) {
    if (!text)
        text = "";
    const int32_t len = textLength(text, n);
    bool inside = text >= data_ && text < data_ + capacity_;
    if (len + 1 <= capacity_) {
        if (!inside && capacity_ > 1024 && len + 1 < 128) {
            char* fresh = allocBuffer(1024);
            if (fresh) {
                std::free(data_);
                data_ = fresh;
                capacity_ = 1024;
            }
        }
        std::memmove(data_, text, static_cast<size_t>(len));
    } else {
        // The source may lie in the old buffer: copy before freeing it.
        char* fresh = allocBuffer(len + 1);
        if (!fresh)
            return 0;
        std::memcpy(fresh, text, static_cast<size_t>(len));
        if (capacity_ > 0)
            std::free(data_);
        data_ = fresh;
        capacity_ = len + 1;
    }
    data_[len] = 0;
    length_ = len;
    return 1;
}

int32_t StrStore::assign(const StrStore& other) {
    return assign(other.data_, other.length_);
}

int32_t StrStore::assignChar(char c) {
    char text[2] = {c, 0};
    return assign(text, 1);
}

int32_t StrStore::assignInt(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return assign(text);
}

int32_t StrStore::setStringLength(int32_t n, int fill) {
    if (n < 1)
        return 0;
    if (capacity_ < n) {
        char* fresh = allocBuffer(n);
        if (!fresh)
            return -1000000000;
        std::memcpy(fresh, data_, static_cast<size_t>(length_) + 1);
        // Bytes past the old text are zeroed, so an unfilled string never shows stale memory.
        std::memset(fresh + length_ + 1, 0, static_cast<size_t>(n - length_ - 1));
        if (capacity_ > 0)
            std::free(data_);
        data_ = fresh;
        capacity_ = n;
    }
    if (fill >= 0)
        std::memset(data_, fill, static_cast<size_t>(n - 1));
    length_ = n - 1;
    data_[length_] = 0;
    return 1;
}

void StrStore::clear() {
    length_ = 0;
    data_[0] = 0;
}

int32_t StrStore::grow(int32_t extra) {
    int64_t needed = static_cast<int64_t>(length_) + extra + 1;
    if (needed <= capacity_)
        return 1;
    if (needed > 0x7FF00000)
        return 0;
    int64_t size = needed;
    if (length_ >= 100001)
        size += 100000;
    else if (length_ >= 10001)
        size += 10000;
    else if (length_ > 1000)
        size += 1000;
    // Beyond the fixed steps a large buffer grows by half of itself, so that many appends to a
    // large string cost time in proportion to its length, not to its square.
    if (length_ > 1000)
        size = std::max<int64_t>(size, static_cast<int64_t>(capacity_) + capacity_ / 2);
    size = std::min<int64_t>(std::max<int64_t>(size, needed), 0x7FF00000);
    char* fresh = allocBuffer(static_cast<int32_t>(size));
    if (!fresh)
        return 0;
    std::memcpy(fresh, data_, static_cast<size_t>(length_) + 1);
    if (capacity_ > 0)
        std::free(data_);
    data_ = fresh;
    capacity_ = static_cast<int32_t>(size);
    return 1;
}

int32_t StrStore::append(const char* text) {
    return append(text, -1);
}

int32_t StrStore::append(const char* text, int32_t n) {
    if (!text)
        return 1;
    const int32_t len = textLength(text, n);
    if (len == 0)
        return 1;
    // Appending a piece of this very string: keep an offset, the buffer may move.
    bool inside = text >= data_ && text < data_ + capacity_;
    ptrdiff_t offset = inside ? text - data_ : 0;
    if (!grow(len))
        return 0;
    if (inside)
        text = data_ + offset;
    std::memmove(data_ + length_, text, static_cast<size_t>(len));
    length_ += len;
    data_[length_] = 0;
    return 1;
}

int32_t StrStore::append(const StrStore& other) {
    if (&other == this) {
        StrStore copy(other);
        return append(copy.data_, copy.length_);
    }
    return append(other.data_, other.length_);
}

int32_t StrStore::appendChar(char c) {
    if (!grow(1))
        return 0;
    data_[length_++] = c;
    data_[length_] = 0;
    return 1;
}

int32_t StrStore::appendInt(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return append(text);
}

bool StrStore::equals(const char* text) const {
    return text && std::strcmp(data_, text) == 0;
}

bool StrStore::differs(const StrStore& other) const {
    return length_ != other.length_ || std::memcmp(data_, other.data_, static_cast<size_t>(length_)) != 0;
}

char StrStore::charAt(int32_t i) const {
    return (i >= 0 && i <= length_) ? data_[i] : 0;
}

int32_t StrStore::find(const char* pattern, int32_t flags) const {
    if (!pattern)
        return 0;
    int32_t n = textLength(pattern);
    if (flags & FindEndsWith) {
        if (n > length_)
            return -1;
        return std::memcmp(data_ + length_ - n, pattern, static_cast<size_t>(n)) == 0 ? length_ - n : -1;
    }
    for (int32_t i = 0; i + n <= length_; ++i)
        if (matchAt(data_ + i, pattern, n, (flags & FindCaseBlind) != 0))
            return i;
    return -1;
}

int32_t StrStore::findCaseBlind(const char* text, const char* pattern, bool last) {
    if (!text || !pattern)
        return -1;
    int32_t len = textLength(text), n = textLength(pattern);
    int32_t found = -1;
    for (int32_t i = 0; i + n <= len; ++i)
        if (matchAt(text + i, pattern, n, true)) {
            found = i;
            if (!last)
                break;
        }
    return found;
}

bool StrStore::containsChar(char c) const {
    return std::memchr(data_, c, static_cast<size_t>(length_)) != nullptr;
}

bool StrStore::containsUpperCase() const {
    for (int32_t i = 0; i < length_; ++i)
        if (data_[i] >= 'A' && data_[i] <= 'Z')
            return true;
    return false;
}

int32_t StrStore::replaceChar(char from, char to) {
    int32_t count = 0;
    for (int32_t i = 0; i < length_; ++i)
        if (data_[i] == from) {
            data_[i] = to;
            ++count;
        }
    return count;
}

int32_t StrStore::replace(const char* pattern, const char* replacement, bool caseBlind) {
    if (!pattern || !*pattern)
        return -1;
    if (!replacement)
        replacement = "";
    int32_t n = textLength(pattern);
    std::string out;
    int32_t count = 0;
    for (int32_t i = 0; i < length_;) {
        if (i + n <= length_ && matchAt(data_ + i, pattern, n, caseBlind)) {
            out += replacement;
            i += n;
            ++count;
        } else {
            out += data_[i++];
        }
    }
    if (count && !assign(out.c_str(), static_cast<int32_t>(out.size())))
        return -1;
    return count;
}

int32_t StrStore::replaceDelimited(const char* startMarker, const char* endMarker, const char* replacement) {
    if (!startMarker || !*startMarker || !endMarker || !*endMarker || !replacement)
        return 0;
    int32_t ns = textLength(startMarker), ne = textLength(endMarker);
    std::string out;
    int32_t count = 0;
    int32_t i = 0;
    while (i < length_) {
        const char* s = std::strstr(data_ + i, startMarker);
        if (!s)
            break;
        const char* e = std::strstr(s + ns, endMarker);
        if (!e)
            break;
        out.append(data_ + i, static_cast<size_t>(s - (data_ + i)));
        out += replacement;
        i = static_cast<int32_t>(e - data_) + ne;
        ++count;
    }
    if (!count)
        return 0;
    out.append(data_ + i, static_cast<size_t>(length_ - i));
    assign(out.c_str(), static_cast<int32_t>(out.size()));
    return count;
}

void StrStore::trim(int32_t mode) {
    int32_t start = 0, end = length_;
    if (mode == TrimBoth || mode == TrimLeading)
        while (start < end && isBlank(data_[start]))
            ++start;
    if (mode == TrimBoth || mode == TrimTrailing)
        while (end > start && isBlank(data_[end - 1]))
            --end;
    std::memmove(data_, data_ + start, static_cast<size_t>(end - start));
    length_ = end - start;
    data_[length_] = 0;
}

void StrStore::keepPrintable() {
    int32_t j = 0;
    for (int32_t i = 0; i < length_; ++i) {
        unsigned char c = static_cast<unsigned char>(data_[i]);
        if (c >= 32 && c != 127)
            data_[j++] = static_cast<char>(c);
    }
    length_ = j;
    data_[j] = 0;
}

void StrStore::collapseWhitespace(int32_t flags) {
    int32_t j = 0;
    bool lastBlank = false;
    for (int32_t i = 0; i < length_; ++i) {
        char c = data_[i];
        if ((flags & CollapseKeepQuoted) && (c == '"' || c == '\'')) {
            data_[j++] = c;
            int32_t k = i + 1;
            while (k < length_ && data_[k] != c)
                data_[j++] = data_[k++];
            if (k < length_)
                data_[j++] = data_[k];
            i = k;
            lastBlank = false;
            continue;
        }
        if (isBlank(c)) {
            if (!lastBlank)
                data_[j++] = ' ';
            lastBlank = true;
        } else {
            data_[j++] = c;
            lastBlank = false;
        }
    }
    length_ = j;
    data_[j] = 0;
}

int32_t StrStore::removeLast(int32_t n) {
    if (n < 1 || n > length_)
        return 0;
    length_ -= n;
    data_[length_] = 0;
    return n;
}

int32_t StrStore::removeLeadingBlanksAndBars() {
    int32_t n = 0;
    while (n < length_ && (data_[n] == ' ' || data_[n] == '|'))
        ++n;
    if (n) {
        std::memmove(data_, data_ + n, static_cast<size_t>(length_ - n) + 1);
        length_ -= n;
    }
    return n;
}

bool StrStore::removeSuffix(const char* suffix) {
    int32_t at = suffix && *suffix ? find(suffix, FindEndsWith) : -1;
    if (at < 0)
        return false;
    length_ = at;
    data_[at] = 0;
    return true;
}

int32_t StrStore::decodeEntities(int32_t flags) {
    if (!containsChar('&'))
        return (flags & EntityCountUndecoded) ? 0 : 1;
    std::string out;
    int32_t undecoded = 0, decoded = 0;
    for (int32_t i = 0; i < length_;) {
        if (data_[i] != '&') {
            out += data_[i++];
            continue;
        }
        const char* semi =
            static_cast<const char*>(std::memchr(data_ + i + 1, ';', static_cast<size_t>(length_ - i - 1)));
        int value = semi ? entityValue(data_ + i + 1, static_cast<int32_t>(semi - (data_ + i + 1))) : 0;
        if (value) {
            out += static_cast<char>(value);
            i = static_cast<int32_t>(semi - data_) + 1;
            ++decoded;
        } else {
            out += data_[i++];
            ++undecoded;
        }
    }
    if (decoded)
        assign(out.c_str(), static_cast<int32_t>(out.size()));
    return (flags & EntityCountUndecoded) ? undecoded : 0;
}

int32_t StrStore::decodeBackslashEscapes() {
    int32_t count = 0, j = 0;
    for (int32_t i = 0; i < length_; ++i) {
        if (data_[i] == '\\' && i + 1 < length_) {
            char c = data_[++i];
            data_[j++] = c == 'n' ? '\n' : c;
            ++count;
        } else {
            data_[j++] = data_[i];
        }
    }
    length_ = j;
    data_[j] = 0;
    return count;
}

StrStore StrStore::substring(int32_t start, int32_t end) const {
    StrStore out(1);
    if (start < 0)
        start = 0;
    if (end >= length_)
        end = length_ - 1;
    if (end >= start)
        out.assign(data_ + start, end - start + 1);
    return out;
}

StrStore StrStore::extension(int32_t flags) const {
    int32_t from = 0, to = length_;
    if (flags & ExtUrl) {
        const char* slash = std::strrchr(data_, '/');
        from = slash ? static_cast<int32_t>(slash - data_) + 1 : 0;
        for (int32_t k = from; k < length_; ++k)
            if (data_[k] == '?' || data_[k] == '#') {
                to = k;
                break;
            }
    }
    for (int32_t k = to - 1; k >= from; --k) {
        char c = data_[k];
        if (c == '.') {
            StrStore out(1);
            out.assign(data_ + k + 1, to - k - 1);
            return out;
        }
        if (((flags & (ExtStopAtBackslash | ExtStopAtAnySlash)) && c == '\\') ||
            ((flags & ExtStopAtAnySlash) && c == '/'))
            break;
    }
    return StrStore(1);
}

int32_t StrStore::toParent(int32_t separatorMode) {
    char sep;
    if (separatorMode == 1)
        sep = '\\';
    else if (separatorMode == 2)
        sep = '/';
    else
        return -1;
    trim();
    if (length_ > 0 && data_[length_ - 1] == sep)
        removeLast(1);
    const char* last = std::strrchr(data_, sep);
    if (!last)
        return 0;
    int32_t at = static_cast<int32_t>(last - data_);
    if (at > 0 && data_[at - 1] == sep)
        return 0; // "\\server" or "http://": a doubled separator is no parent step
    length_ = at;
    data_[at] = 0;
    return 1;
}

int32_t StrStore::folderPart(char* buffer, int32_t flags) {
    char* last = buffer ? std::strrchr(buffer, '\\') : nullptr;
    if (!last)
        return 0;
    last[(flags & 1) ? 0 : 1] = 0;
    return 1;
}

int32_t StrStore::addDefaultExtension(const char* ext, int32_t flags) {
    if (!ext || !*ext || extension(ExtStopAtAnySlash).getStringLength() > 0)
        return 0;
    if (flags & 1) {
        DWORD attributes = GetFileAttributesA(data_);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return 0;
    }
    if (length_ > 0 && data_[length_ - 1] == '.')
        removeLast(1);
    appendChar('.');
    append(ext);
    return 1;
}

int32_t StrStore::urlDecode(int32_t flags) {
    int32_t j = 0;
    bool changed = false;
    for (int32_t i = 0; i < length_; ++i) {
        char c = data_[i];
        if (c == '%' && i + 2 < length_ && hexDigitValue(data_[i + 1]) >= 0 &&
            hexDigitValue(data_[i + 2]) >= 0) {
            data_[j++] = static_cast<char>(hexDigitValue(data_[i + 1]) * 16 + hexDigitValue(data_[i + 2]));
            i += 2;
            changed = true;
        } else if (c == '+' && !(flags & 1)) {
            data_[j++] = ' ';
            changed = true;
        } else {
            data_[j++] = c;
        }
    }
    length_ = j;
    data_[j] = 0;
    return changed ? 0 : 1;
}

void StrStore::urlEncode() {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (int32_t i = 0; i < length_; ++i) {
        unsigned char c = static_cast<unsigned char>(data_[i]);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            out += static_cast<char>(c);
        else if (c == ' ')
            out += '+';
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    assign(out.c_str(), static_cast<int32_t>(out.size()));
}

int32_t StrStore::nextTagName(int32_t* position, StrStore& name, int32_t flags) const {
    int32_t pos;
    if (flags & 2)
        pos = 0;
    else if (!position)
        return -3;
    else
        pos = *position;
    if (pos < 0 || pos > length_)
        return -10;
    while (pos < length_ && isBlank(data_[pos]))
        ++pos;
    if (pos >= length_)
        return 2;
    if (data_[pos] != '<')
        return -1;
    ++pos;
    while (pos < length_ && isBlank(data_[pos]))
        ++pos;
    if (pos >= length_)
        return -2;
    if (std::strncmp(data_ + pos, "!--", 3) == 0) {
        const char* end = std::strstr(data_ + pos + 3, "-->");
        // The comment ends with the ">" of its own "-->"; what follows may be the next tag.
        pos = end ? static_cast<int32_t>(end - data_) + 3 : length_;
        if (position)
            *position = pos;
        return 1;
    }
    int32_t start = pos;
    while (pos < length_ && !isBlank(data_[pos]) && data_[pos] != '>')
        ++pos;
    name.assign(data_ + start, pos - start);
    if (position)
        *position = pos;
    return 0;
}

bool StrStore::listContains(const char* commaList, const char* item) {
    if (!commaList || !item)
        return false;
    std::string list = std::string(",") + commaList + ",";
    std::string needle = std::string(",") + item + ",";
    return list.find(needle) != std::string::npos;
}

int32_t StrStore::read(FILE* stream) {
    int32_t head[2];
    if (!stream || std::fread(head, sizeof(int32_t), 2, stream) != 2)
        return 0;
    if (head[0] != 1 || head[1] < 0 || head[1] > 100000)
        return 0;
    if (capacity_ < head[1] + 1 && setStringLength(head[1] + 1) != 1)
        return 0;
    if (std::fread(data_, 1, static_cast<size_t>(head[1]), stream) != static_cast<size_t>(head[1])) {
        clear();
        return 0;
    }
    length_ = head[1];
    data_[length_] = 0;
    return 1;
}
