#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextEncoding.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {

std::string ReadData(const std::string& name) {
    const char* root = std::getenv("ZEL_TEST_DATA");
    std::ifstream f(std::string(root ? root : ".") + "/data/encoding/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The platform's own conversions stand apart from ours, so the test does not check the code with itself.
std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()),
                                      out.data(), int(out.size()));
    out.resize(size_t(std::max(n, 0)));
    return out;
}

bool IsUtf8(const std::string& bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                int(bytes.size()), nullptr, 0) > 0;
}

std::string CodePage(const std::string& utf8) {
    const std::wstring w = Wide(utf8);
    std::string out(w.size(), '\0');
    BOOL lost = FALSE;
    WideCharToMultiByte(1252, 0, w.data(), int(w.size()), out.data(), int(out.size()), nullptr, &lost);
    return lost ? std::string() : out;
}

std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : Wide(utf8)) {
        const char lo = char(c & 0xFF), hi = char((c >> 8) & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string Utf32(const std::string& utf8, bool bigEndian) {
    const std::wstring w = Wide(utf8);
    std::string out;
    auto put = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k)
            out += char((v >> (8 * (bigEndian ? 3 - k : k))) & 0xFF);
    };
    put(0xFEFF);
    for (size_t i = 0; i < w.size(); ++i) {
        uint32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        put(c);
    }
    return out;
}

// Loads the bytes as a file is loaded, keeping the text as it stands.
void Load(TMemoSource& s, const std::string& bytes) {
    s.KeepTrailingBlanks = true;
    s.SetOptions(s.Options() | soUseTabCharacter);
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    s.LoadFromStream(stream);
}

std::string Saved(const TMemoSource& s) {
    TMemoryStream stream;
    s.SaveToStream(stream);
    stream.SetPosition(0);
    return stream.ReadRemaining();
}

// Types "é" (code page 0xE9, or UTF-8 where the text is held as UTF-8) into a line.
void TypeInLine(TMemoSource& s, int32_t line) {
    std::string typed;
    ASSERT_TRUE(s.FileEncoding().TypedText(0xE9, typed));
    s.JumpTo(0, line);
    s.Insert(typed);
}

} // namespace

// Real pages from documentation packages: one whose characters all exist in the code page is shown
// decoded; a page with a character outside it (a thin space) keeps its bytes. Either way a save
// without edits gives the file back, and an "é" typed into one line changes only that line, where
// it lands as UTF-8.
TEST(EncodingTest, RealUtf8PagesRoundTripWithAnEditInOneLine) {
    struct Case {
        const char* file;
        bool held;
        const char* shown; // a line's text as the source holds it
    } cases[] = {
        {"cmake-labels.html", false, "title=\"Permalink to this headline\">\xB6</a></h1>"},
        {"ninja-manual.html", true, "\xE2\x80\x94"},
    };
    for (const auto& c : cases) {
        const std::string page = ReadData(c.file);
        ASSERT_GT(page.size(), 1000u) << c.file;
        ASSERT_TRUE(IsUtf8(page));
        TMemoSource s;
        Load(s, page);
        EXPECT_EQ(s.FileEncoding().Encoding, teUtf8) << c.file;
        EXPECT_EQ(s.FileEncoding().HeldAsUtf8, c.held) << c.file;
        EXPECT_EQ(s.FileEncoding().HasUnshownCharacters(), c.held) << c.file;
        EXPECT_NE(Text(s).find(c.shown), std::string::npos) << c.file;
        EXPECT_EQ(Saved(s), page) << c.file;

        const int32_t edited = s.GetStrCount() / 2;
        TypeInLine(s, edited);
        const std::string saved = Saved(s);
        EXPECT_TRUE(IsUtf8(saved)) << c.file;
        std::istringstream in(page), out(saved);
        std::string a, b;
        for (int32_t line = 0; std::getline(in, a); ++line) {
            ASSERT_TRUE(std::getline(out, b)) << c.file << " ends early at line " << line;
            EXPECT_EQ(b, line == edited ? "\xC3\xA9" + a : a) << c.file << " line " << line;
        }
        EXPECT_FALSE(std::getline(out, b)) << c.file << " has more lines";
    }
}

// The same page under every byte-order mark opens as the text the user can read, saves back byte for
// byte, and an edit in one line leaves every other byte as it was.
TEST(EncodingTest, EveryByteOrderMarkDecodesAndRoundTrips) {
    const std::string page =
        "<p>Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC 5</p>\r\n<p>second</p>\r\nlast";
    const std::string shown = CodePage(page);
    ASSERT_EQ(shown, "<p>Caf\xE9 \x93quoted\x94 \x80 5</p>\r\n<p>second</p>\r\nlast");
    const std::string edited =
        "<p>Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC 5</p>\r\n\xC3\xA9<p>second</p>\r\nlast";
    struct Case {
        TTextEncoding encoding;
        std::string bytes, editedBytes;
    } cases[] = {
        {teUtf8, "\xEF\xBB\xBF" + page, "\xEF\xBB\xBF" + edited},
        {teUtf16LE, Utf16(page, false), Utf16(edited, false)},
        {teUtf16BE, Utf16(page, true), Utf16(edited, true)},
        {teUtf32LE, Utf32(page, false), Utf32(edited, false)},
        {teUtf32BE, Utf32(page, true), Utf32(edited, true)},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        Load(s, c.bytes);
        EXPECT_EQ(s.FileEncoding().Encoding, c.encoding);
        EXPECT_TRUE(s.FileEncoding().Bom);
        EXPECT_FALSE(s.FileEncoding().HasUnshownCharacters());
        EXPECT_EQ(Text(s), "<p>Caf\xE9 \x93quoted\x94 \x80 5</p>|<p>second</p>|last") << int(c.encoding);
        EXPECT_EQ(Saved(s), c.bytes) << int(c.encoding);
        TypeInLine(s, 1);
        EXPECT_EQ(Saved(s), c.editedBytes) << int(c.encoding);
    }
}

// A UTF-16 page with characters outside the code page is held as UTF-8 (never as bytes with a zero
// between every letter); what is typed into it is saved as UTF-16 again, characters beyond the
// basic plane included.
TEST(EncodingTest, Utf16WithCharactersOutsideTheCodePageIsHeldAsUtf8) {
    const std::string page = "<p>\xE2\x86\x92 arrow, \xF0\x9F\x98\x80 face, caf\xC3\xA9</p>\nend";
    for (bool big : {false, true}) {
        TMemoSource s;
        Load(s, Utf16(page, big));
        EXPECT_TRUE(s.FileEncoding().HeldAsUtf8);
        EXPECT_EQ(Text(s), "<p>\xE2\x86\x92 arrow, \xF0\x9F\x98\x80 face, caf\xC3\xA9</p>|end");
        EXPECT_EQ(Saved(s), Utf16(page, big));
        TypeInLine(s, 1);
        EXPECT_EQ(Saved(s), Utf16("<p>\xE2\x86\x92 arrow, \xF0\x9F\x98\x80 face, caf\xC3\xA9</p>\n\xC3\xA9"
                                  "end",
                                  big));
    }
}

// Which bytes are taken for UTF-8, and which keep their bytes as code-page text.
TEST(EncodingTest, DetectionOfTheEncoding) {
    struct Case {
        const char* name;
        std::string bytes;
        TTextEncoding encoding;
        bool held, undecodable;
        std::string text;
    } cases[] = {
        {"plain ASCII", "<p>plain</p>", teCodePage, false, false, "<p>plain</p>"},
        {"code-page bytes", "caf\xE9", teCodePage, false, false, "caf\xE9"},
        {"UTF-8 content", "Caf\xC3\xA9 \xE2\x80\x9C", teUtf8, false, false, "Caf\xE9 \x93"},
        {"declared other set", "<meta charset=\"iso-8859-1\">Caf\xC3\xA9", teCodePage, false, false,
         "<meta charset=\"iso-8859-1\">Caf\xC3\xA9"},
        {"declared UTF-8, ASCII", "<meta charset=\"UTF-8\"><p>x", teUtf8, false, false,
         "<meta charset=\"UTF-8\"><p>x"},
        {"http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", teUtf8,
         false, false, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"},
        {"style sheet", "@charset \"UTF-8\";\np{}", teUtf8, false, false, "@charset \"UTF-8\";\np{}"},
        {"XML declaration", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xC2\xA9", teUtf8, false, false,
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xA9"},
        {"declared UTF-8, broken", "<meta charset=utf-8>caf\xE9", teUtf8, true, false,
         "<meta charset=utf-8>caf\xE9"},
        {"mark, broken",
         "\xEF\xBB\xBF"
         "caf\xE9",
         teUtf8, true, false, "caf\xE9"},
        {"overlong form", "a\xC0\xAF", teCodePage, false, false, "a\xC0\xAF"},
        {"encoded surrogate", "a\xED\xA0\x80", teCodePage, false, false, "a\xED\xA0\x80"},
        {"cut sequence", "a\xE2\x82", teCodePage, false, false, "a\xE2\x82"},
        {"UTF-16 of odd length", std::string("\xFF\xFE\x41\x00\x42", 5), teCodePage, false, true,
         std::string("\xFF\xFE\x41\x00\x42", 5)},
        {"UTF-16 lone surrogate", std::string("\xFF\xFE\x00\xD8\x41\x00", 6), teCodePage, false, true,
         std::string("\xFF\xFE\x00\xD8\x41\x00", 6)},
        {"undefined code-page bytes", "\xC2\x81\xC2\x8D", teUtf8, false, false, "\x81\x8D"},
        {"a control outside", "\xC2\x80", teUtf8, true, false, "\xC2\x80"},
    };
    for (const auto& c : cases) {
        std::string text;
        const TFileEncoding e = DecodeFileText(c.bytes, text);
        EXPECT_EQ(e.Encoding, c.encoding) << c.name;
        EXPECT_EQ(e.HeldAsUtf8, c.held) << c.name;
        EXPECT_EQ(e.Undecodable, c.undecodable) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(EncodeFileText(text, e), c.bytes) << c.name;
    }
}

// Every code-page byte has one character and back, as the platform's own table has it (the five
// undefined bytes stand for the controls of their number).
TEST(EncodingTest, CodePageTableAgreesWithThePlatform) {
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        wchar_t w = 0;
        ASSERT_EQ(MultiByteToWideChar(1252, 0, &byte, 1, &w, 1), 1);
        EXPECT_EQ(TextCodePage::ToUnicode(uint8_t(b)), uint32_t(w)) << b;
        char back = 0;
        EXPECT_TRUE(TextCodePage::FromUnicode(w, back));
        EXPECT_EQ(uint8_t(back), b);
    }
    char none = 0;
    for (uint32_t cp : {0x100u, 0x2192u, 0x1F600u, 0xFFFDu})
        EXPECT_FALSE(TextCodePage::FromUnicode(cp, none)) << cp;
}

TEST(EncodingTest, TypedCharactersFollowTheHeldText) {
    struct Case {
        bool held;
        uint32_t cp;
        bool ok;
        std::string bytes;
    } cases[] = {
        {false, 'a', true, "a"},
        {false, 0xE9, true, "\xE9"},
        {false, 0x20AC, true, "\x80"},
        {false, 0x2192, false, ""},
        {true, 'a', true, "a"},
        {true, 0xE9, true, "\xC3\xA9"},
        {true, 0x2192, true, "\xE2\x86\x92"},
        {true, 0x1F600, true, "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        TFileEncoding e;
        e.Encoding = teUtf8;
        e.HeldAsUtf8 = c.held;
        std::string out;
        EXPECT_EQ(e.TypedText(c.cp, out), c.ok) << c.cp;
        EXPECT_EQ(out, c.bytes) << c.cp;
    }
}

// A file written under a name is the file read: the encoding goes with the text through a save.
TEST(EncodingTest, LoadedFileSavesInItsOwnEncoding) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    const std::string file =
        std::string(dir) + "zel_encoding_" + std::to_string(GetCurrentProcessId()) + ".htm";
    const std::string bytes = Utf16("caf\xC3\xA9\r\nline", false);
    std::ofstream(file, std::ios::binary) << bytes;
    TMemoSource s;
    s.SetOptions(s.Options() | soUseTabCharacter);
    s.LoadFromFile(file);
    EXPECT_EQ(Text(s), "caf\xE9|line");
    s.SaveToFile(file);
    std::ifstream f(file, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    f.close();
    EXPECT_EQ(ss.str(), bytes);
    DeleteFileA(file.c_str());
    // Text not read from a file is code-page text.
    s.LoadFromString("caf\xE9");
    EXPECT_EQ(s.FileEncoding(), TFileEncoding{});
}
