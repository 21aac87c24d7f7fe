#include "framework/core/SysUtils.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

TEST(SysUtils, StrToIntAcceptsDecimalHexAndBlanks) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"-17", -17},
        {"+5", 5},
        {"  12  ", 12},
        {"$1F", 31},
        {"0x10", 16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FFFFFFFF", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(SysUtils, StrToIntRejectsWithTheRuntimeText) {
    for (const char* bad : {"", " ", "12a", "1 2", "2147483648", "-", "$", "0x", "1.5"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
        EXPECT_EQ(StrToIntDef(bad, -7), -7) << bad;
    }
}

TEST(SysUtils, FloatTextRoundTripsWithADot) {
    for (double v : {0.0, 1.5, -13.25, 1e-7, 123456789.125, 0.1}) {
        std::string s = FloatToStr(v);
        EXPECT_EQ(s.find(','), std::string::npos);
        EXPECT_EQ(StrToFloat(s), v) << s;
    }
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}

TEST(SysUtils, CaseAndComparison) {
    EXPECT_EQ(UpperCase("abc\xE9"), "ABC\xE9");     // ASCII only
    EXPECT_EQ(AnsiUpperCase("abc\xE9"), "ABC\xC9"); // through the locale (code page 1252)
    EXPECT_EQ(AnsiLowerCase("ABC\xC9"), "abc\xE9");
    EXPECT_EQ(CompareText("abc", "ABD"), -1);
    EXPECT_EQ(CompareText("ABC", "abc"), 0);
    EXPECT_EQ(CompareText("ab", "abc"), -1);
    EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
    EXPECT_LT(AnsiCompareStr("a", "b"), 0);
    EXPECT_GT(AnsiCompareStr("b", "a"), 0);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
}

TEST(SysUtils, TrimAndQuote) {
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(SysUtils, FileNameParts) {
    struct Case {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
        const char* changed; // ChangeFileExt(name, ".RGB")
    } cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir\\", "file.txt", ".txt", "C:\\dir\\file.RGB"},
        {"file", "", "file", "", "file.RGB"},
        {"C:\\dir.x\\file", "C:\\dir.x\\", "file", "", "C:\\dir.x\\file.RGB"},
        {"a.b.c", "", "a.b.c", ".c", "a.b.RGB"},
        {"C:file.ini", "C:", "file.ini", ".ini", "C:file.RGB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ChangeFileExt(c.name, ".RGB"), c.changed) << c.name;
    }
    EXPECT_EQ(ExtractFileDir("C:\\dir\\file"), "C:\\dir");
    EXPECT_EQ(ExtractFileDir("C:\\file"), "C:\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\dir\\"), "C:\\dir");
}

TEST(SysUtils, FilesAndFolders) {
    TempFolder tmp;
    std::string deep = tmp.File("a\\b\\c");
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep + "\\")); // already there

    std::string f = deep + "\\x.txt";
    EXPECT_FALSE(FileExists(f));
    EXPECT_EQ(FileAge(f), -1);
    HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(FileExists(deep)); // a folder is not a file
    EXPECT_NE(FileAge(f), -1);
    EXPECT_EQ(FileAge(deep), -1);
    EXPECT_TRUE(RenameFile(f, f + "2"));
    EXPECT_TRUE(DeleteFile(f + "2"));
    EXPECT_FALSE(DeleteFile(f + "2"));
}

TEST(SysUtils, DatesRoundTrip) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    struct Ymd {
        int y, m, d;
    } dates[] = {{1899, 12, 30}, {1900, 3, 1}, {2000, 2, 29}, {2026, 12, 10}, {1601, 1, 1}, {9999, 12, 31}};
    for (const auto& c : dates) {
        int y, m, d;
        DecodeDate(EncodeDate(c.y, c.m, c.d), y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
    int h, n, s, ms;
    DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 13 * 10000000 + 45 * 100000 + 30 * 1000 + 250);
    TDateTime t = EncodeDate(2024, 5, 17) + EncodeTime(10, 20, 30, 0);
    EXPECT_DOUBLE_EQ(FileDateToDateTime(DateTimeToFileDate(t)), t);
}

TEST(SysUtils, FormatGrowsAsNeeded) {
    std::string big(5000, 'x');
    EXPECT_EQ(Format("%s-%d", big.c_str(), 7), big + "-7");
    EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
}

namespace {
TDateTime FixedNow() {
    return 45000.25;
}

class FixedSettings : public ::testing::Test {
protected:
    void SetUp() override {
        TFormatSettings fs;
        fs.ShortDateFormat = "mm/dd/yyyy";
        fs.LongTimeFormat = "h:nn:ss";
        fs.DateSeparator = '-';
        fs.TimeSeparator = '.';
        SetFormatSettings(fs);
    }
    void TearDown() override {
        ResetFormatSettings();
        SetNowFunction(nullptr);
    }
};
} // namespace

TEST_F(FixedSettings, DateTimeTextsFollowTheSettings) {
    TDateTime t = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 30, 0);
    EXPECT_EQ(DateToStr(t), "03-07-2024");
    EXPECT_EQ(TimeToStr(t), "9.05.30");
    EXPECT_EQ(DateTimeToStr(t), "03-07-2024 9.05.30");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 7)), "03-07-2024");
    EXPECT_EQ(FormatDateTime("yyyy/m/d hh:nn 'x'", t), "2024-3-7 09.05 'x'");
    EXPECT_EQ(FormatDateTime("yy", t), "24");

    struct Case {
        const char* text;
        bool ok;
        TDateTime value;
    } cases[] = {
        {"03-07-2024", true, EncodeDate(2024, 3, 7)},
        {"3/7/2024 9.05.30", true, t},
        {" 12-31-99 ", true, EncodeDate(1999, 12, 31)},
        {"02-30-2024", false, 0},
        {"2024-03-07x", false, 0},
        {"", false, 0},
        {"03-07-2024 25.00", false, 0},
    };
    for (const auto& c : cases) {
        TDateTime v = -1;
        EXPECT_EQ(TryStrToDateTime(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    try {
        StrToDateTime("nonsense");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'nonsense' is not a valid date and time");
    }
}

TEST_F(FixedSettings, ClockSeam) {
    SetNowFunction(&FixedNow);
    EXPECT_EQ(Now(), 45000.25);
    SetNowFunction(nullptr);
    EXPECT_GT(Now(), EncodeDate(2000, 1, 1));
    EXPECT_FALSE(GetCurrentDir().empty());
    std::string msg = SysErrorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(msg.empty());
    EXPECT_NE(msg.back(), '\n');
    EXPECT_NE(msg.back(), '.'); // it goes inside our own sentences
    EXPECT_EQ(SysErrorMessage(0x2000FFFFu), "System error " + std::to_string(0x2000FFFFu));
}

TEST(SysUtils, LocaleDateTextsRoundTrip) {
    ResetFormatSettings();
    TDateTime t = EncodeDate(2024, 3, 7) + EncodeTime(21, 5, 30, 0);
    std::string text = DateTimeToStr(t);
    EXPECT_NE(text.find("2024"), std::string::npos) << text;
    EXPECT_DOUBLE_EQ(StrToDateTime(text), t) << text;
}

TEST(SysUtils, DateTimeToSystemTimeGivesThePlatformRecord) {
    SYSTEMTIME St;
    DateTimeToSystemTime(EncodeDate(2026, 12, 10) + EncodeTime(21, 5, 7, 250), St);
    EXPECT_EQ(St.wYear, 2026);
    EXPECT_EQ(St.wMonth, 12);
    EXPECT_EQ(St.wDay, 10);
    EXPECT_EQ(St.wDayOfWeek, 4); // a Thursday
    EXPECT_EQ(St.wHour, 21);
    EXPECT_EQ(St.wMinute, 5);
    EXPECT_EQ(St.wSecond, 7);
    EXPECT_EQ(St.wMilliseconds, 250);
    DateTimeToSystemTime(EncodeDate(1899, 12, 30), St);
    EXPECT_EQ(St.wDayOfWeek, 6);
}
