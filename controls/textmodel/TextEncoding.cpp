#include "controls/textmodel/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the code page is the byte's own number.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsUnicodeForm(TTextEncoding e) {
    return e != teCodePage;
}

// The code point of strict UTF-8 at `i` (no overlong forms, no surrogates, nothing past
// U+10FFFF), moving `i` past it; false, with `i` unchanged, when the bytes there are not UTF-8.
bool NextUtf8(const std::string& s, size_t& i, uint32_t& cp) {
    const auto at = [&](size_t k) { return uint8_t(s[k]); };
    const uint8_t b = at(i);
    if (b < 0x80) {
        cp = b;
        ++i;
        return true;
    }
    size_t n;
    uint32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 1, min = 0x80, cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 2, min = 0x800, cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 3, min = 0x10000, cp = b & 0x07u;
    } else {
        return false;
    }
    if (i + n >= s.size())
        return false;
    for (size_t k = 1; k <= n; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (at(i + k) & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += n + 1;
    return true;
}

bool StartsWith(const std::string& s, const char* prefix, size_t n) {
    return s.size() >= n && std::memcmp(s.data(), prefix, n) == 0;
}

// The character set a page names near its top (a meta charset, the content of an http-equiv, an
// XML declaration or a style sheet's @charset), in lower case; empty when it names none.
std::string DeclaredCharset(const std::string& bytes) {
    std::string head = bytes.substr(0, 1024);
    for (char& c : head)
        c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const bool xml = head.compare(0, 5, "<?xml") == 0;
    for (const char* key : {"charset", "encoding"}) {
        if (key[0] == 'e' && !xml)
            continue;
        for (size_t at = head.find(key); at != std::string::npos; at = head.find(key, at + 1)) {
            size_t p = at + std::strlen(key);
            const auto skipBlanks = [&] {
                while (p < head.size() &&
                       (head[p] == ' ' || head[p] == '\t' || head[p] == '\r' || head[p] == '\n'))
                    ++p;
            };
            skipBlanks();
            if (p < head.size() && head[p] == '=') {
                ++p;
                skipBlanks();
            } else if (!(at > 0 && head[at - 1] == '@')) {
                continue;
            }
            if (p < head.size() && (head[p] == '"' || head[p] == '\''))
                ++p;
            size_t end = p;
            while (end < head.size() && (std::isalnum(uint8_t(head[end])) || std::strchr("-_.:", head[end])))
                ++end;
            if (end > p)
                return head.substr(p, end - p);
        }
    }
    return {};
}

// Code points of UTF-16 or UTF-32 bytes after the mark; false when the bytes are not that form.
bool DecodeWide(const std::string& bytes, size_t from, TTextEncoding e, std::u32string& out) {
    const size_t unit = e == teUtf16LE || e == teUtf16BE ? 2 : 4;
    const bool little = e == teUtf16LE || e == teUtf32LE;
    if ((bytes.size() - from) % unit != 0)
        return false;
    out.reserve((bytes.size() - from) / unit);
    const auto read = [&](size_t at) {
        uint32_t v = 0;
        for (size_t k = 0; k < unit; ++k)
            v |= uint32_t(uint8_t(bytes[at + k])) << (8 * (little ? k : unit - 1 - k));
        return v;
    };
    for (size_t at = from; at < bytes.size(); at += unit) {
        uint32_t cp = read(at);
        if (unit == 2 && cp >= 0xD800 && cp <= 0xDBFF && at + 2 < bytes.size()) {
            const uint32_t low = read(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out.push_back(cp);
    }
    return true;
}

void AppendWide(std::string& out, uint32_t cp, TTextEncoding e) {
    const bool little = e == teUtf16LE || e == teUtf32LE;
    const auto unit = [&](uint32_t v, size_t size) {
        for (size_t k = 0; k < size; ++k)
            out += char((v >> (8 * (little ? k : size - 1 - k))) & 0xFF);
    };
    if (e == teUtf32LE || e == teUtf32BE) {
        unit(cp, 4);
    } else if (cp >= 0x10000) {
        unit(0xD800 + ((cp - 0x10000) >> 10), 2);
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF), 2);
    } else {
        unit(cp, 2);
    }
}

// Code-page text for the characters, or false when one of them is not in the code page.
bool ToCodePage(const std::u32string& chars, std::string& text) {
    std::string out;
    out.reserve(chars.size());
    for (uint32_t cp : chars) {
        char b;
        if (!TextCodePage::FromUnicode(cp, b))
            return false;
        out += b;
    }
    text = std::move(out);
    return true;
}

} // namespace

uint32_t TextCodePage::ToUnicode(uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

bool TextCodePage::FromUnicode(uint32_t codePoint, char& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = char(codePoint);
        return true;
    }
    const uint16_t* hit = std::find(std::begin(kHighControls), std::end(kHighControls), codePoint);
    if (hit == std::end(kHighControls))
        return false;
    byte = char(0x80 + (hit - std::begin(kHighControls)));
    return true;
}

void TextCodePage::AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool TFileEncoding::TypedText(uint32_t codePoint, std::string& out) const {
    out.clear();
    if (HeldAsUtf8) {
        TextCodePage::AppendUtf8(out, codePoint);
        return true;
    }
    char b;
    if (!TextCodePage::FromUnicode(codePoint, b))
        return false;
    out = std::string(1, b);
    return true;
}

TFileEncoding DecodeFileText(const std::string& bytes, std::string& text) {
    TFileEncoding result;
    struct Mark {
        const char* bytes;
        size_t size;
        TTextEncoding encoding;
    };
    // UTF-32 LE before UTF-16 LE: its mark begins with the other's.
    static const Mark marks[] = {
        {"\xFF\xFE\0\0", 4, teUtf32LE}, {"\0\0\xFE\xFF", 4, teUtf32BE}, {"\xEF\xBB\xBF", 3, teUtf8},
        {"\xFF\xFE", 2, teUtf16LE},     {"\xFE\xFF", 2, teUtf16BE},
    };
    const Mark* mark = nullptr;
    for (const Mark& m : marks)
        if (StartsWith(bytes, m.bytes, m.size)) {
            mark = &m;
            break;
        }
    if (mark && mark->encoding != teUtf8) {
        result.Encoding = mark->encoding;
        result.Bom = true;
        std::u32string chars;
        if (!DecodeWide(bytes, mark->size, mark->encoding, chars)) {
            text = bytes;
            return TFileEncoding{teCodePage, false, false, true};
        }
        if (!ToCodePage(chars, text)) {
            result.HeldAsUtf8 = true;
            text.clear();
            for (uint32_t cp : chars)
                TextCodePage::AppendUtf8(text, cp);
        }
        return result;
    }
    const size_t from = mark ? mark->size : 0;
    const bool multiByte = std::any_of(bytes.begin() + std::ptrdiff_t(from), bytes.end(),
                                       [](char c) { return uint8_t(c) >= 0x80; });
    std::string declared;
    if (!mark)
        declared = DeclaredCharset(bytes);
    const bool declaredUtf8 = declared == "utf-8" || declared == "utf8";
    std::u32string chars;
    bool valid = true;
    for (size_t i = from; multiByte && i < bytes.size();) {
        uint32_t cp;
        if (!NextUtf8(bytes, i, cp)) {
            valid = false;
            break;
        }
        chars.push_back(cp);
    }
    // A page that names another character set is that set, whatever its bytes look like.
    if (!mark && !declaredUtf8 && (!declared.empty() || !valid || !multiByte)) {
        text = bytes;
        return result;
    }
    result.Encoding = teUtf8;
    result.Bom = mark != nullptr;
    if (!multiByte)
        text = bytes.substr(from);
    else if (!valid || !ToCodePage(chars, text)) {
        result.HeldAsUtf8 = true;
        text = bytes.substr(from);
    }
    return result;
}

std::string EncodeFileText(const std::string& text, const TFileEncoding& e) {
    if (!IsUnicodeForm(e.Encoding))
        return text;
    std::string out;
    if (e.Encoding == teUtf8) {
        out.reserve(text.size() + text.size() / 8 + 3);
        if (e.Bom)
            out += "\xEF\xBB\xBF";
        if (e.HeldAsUtf8)
            return out + text;
        for (char c : text)
            TextCodePage::AppendUtf8(out, TextCodePage::ToUnicode(uint8_t(c)));
        return out;
    }
    out.reserve(text.size() * 2 + 4);
    AppendWide(out, 0xFEFF, e.Encoding);
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        // Held UTF-8 text may have code-page bytes in it (pasted, inserted): each stands for its
        // own character.
        if (!e.HeldAsUtf8 || !NextUtf8(text, i, cp))
            cp = TextCodePage::ToUnicode(uint8_t(text[i++]));
        AppendWide(out, cp, e.Encoding);
    }
    return out;
}
