#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "controls/foundation/FileSystem.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLoading.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        dir = std::string(base) + "zel_textmodel_" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(++counter);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(dir); }
    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string full = path + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    }
    std::string Path(const std::string& name) const { return dir + "\\" + name; }
    static void Write(const std::string& path, const std::string& data) {
        std::ofstream f(path, std::ios::binary);
        f << data;
    }
    static std::string Read(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = fd.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string dir;
};

// Writes half of the text to the file it is given, then fails like a full disk would.
class FailingSource : public TMemoSource {
protected:
    void DoSaveToFile(const std::string& fileName) override {
        std::string data = SaveToString();
        std::ofstream(fileName, std::ios::binary) << data.substr(0, data.size() / 2);
        throw EMemoSourceError("disk full");
    }
};
// Under Wine, the Unix name of a file; empty elsewhere.
std::string UnixName(const std::string& name) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    const std::wstring wide(name.begin(), name.end());
    char* found = unixName(wide.c_str());
    std::string out = found ? found : "";
    HeapFree(GetProcessHeap(), 0, found);
    return out;
}

// Starts a Unix command through the shell; Wine starts Unix programs as it does its own, but the
// handle it gives back does not follow the program, so callers wait for its effect.
void StartShell(const std::string& command) {
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

} // namespace

using FileTest = TempDir;

TEST_F(FileTest, LoadAndSaveAreByteExact) {
    const std::string cases[] = {
        "a\r\nb\r\n",
        "a\nb\n",
        "a\rb\r",
        "a\r\nb\nc\rd\r\n",
        "a\nb\nc\r\nd",
        "no final end",
        "\ttab\t  \r\ntrailing   \r\n\t",
        "",
        "\r\n",
        "a\r\n\r\n",
        "\n\n\r",
        "x\r\n\ty\r\n  \r\n",
        // Control bytes other than the line ends and bytes above 127 belong to their line.
        std::string("nul\0in\0line\r\n\v\f\x01\x1F\r\n\x85\xA0\xFF\n\x0D", 24),
        "\r\r\n\n\r",
        // A very long line with a tab in its middle.
        std::string(300000, 'w') + "\t" + std::string(70000, 'v') + "\r\nlast",
    };
    for (const auto& data : cases) {
        const std::string file = Path("exact.txt");
        Write(file, data);
        TMemoSource s;
        s.KeepTrailingBlanks = true;
        s.SetOptions(s.Options() | soUseTabCharacter);
        s.LoadFromFile(file);
        EXPECT_FALSE(s.LoadAltered());
        EXPECT_FALSE(s.Modified());
        s.SaveToFile(file);
        EXPECT_EQ(Read(file), data) << testing::PrintToString(data);
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"exact.txt"});
}

TEST_F(FileTest, LoadSplitsAtEveryKindOfLineEnd) {
    struct Case {
        const char* data;
        const char* lines;
    } cases[] = {{"a\r\nb\r\n", "a|b"}, {"a\rb", "a|b"}, {"a\n\nb", "a||b"}, {"a\r\rb\n", "a||b"}};
    for (const auto& c : cases) {
        TMemoSource s;
        s.LoadFromString(c.data);
        EXPECT_EQ(Text(s), c.lines);
    }
}

// Tabs are expanded first, then the line's trailing blanks go, also where a tab made them.
TEST_F(FileTest, ConvertingLoadExpandsTabsThenDropsTrailingBlanks) {
    struct Case {
        const char* data;
        const char* lines;
    } cases[] = {
        {"a\t\r\nb", "a|b"},
        {"\t\t", ""},
        {"x \t y\t \r\n", "x        y"},
        {"1234567\t8\rz \n", "1234567 8|z"},
        {"a\t\t b\n \t", "a                b|"},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        s.LoadFromString(c.data);
        EXPECT_EQ(Text(s), c.lines) << testing::PrintToString(std::string(c.data));
        EXPECT_TRUE(s.LoadAltered());
    }
}

TEST_F(FileTest, ConvertingLoadSaysSo) {
    TMemoSource s; // tabs become blanks, trailing blanks go
    s.LoadFromString("ab\tc  \r\n\tx\r\ny");
    EXPECT_EQ(Text(s), "ab      c|        x|y");
    EXPECT_TRUE(s.LoadAltered());
    EXPECT_FALSE(s.Modified());
    s.LoadFromString("plain\r\ntext");
    EXPECT_FALSE(s.LoadAltered());
    EXPECT_FALSE(s.Modified());
}

TEST_F(FileTest, AFormatChosenBeforeLoadingIsKept) {
    struct Case {
        bool choose;
        const char* data;
        const char* saved;
    } cases[] = {
        {false, "a\nb\n", "a\nb\n"},                // detected from the file
        {true, "a\nb\n", "a\r\nb\r\n"},             // the caller's ofWindows stays
        {true, "a\r\nb\nc\r\n", "a\r\nb\r\nc\r\n"}, // mixed ends all follow the choice
    };
    for (const auto& c : cases) {
        TMemoSource s;
        if (c.choose)
            s.SetOutFormat(ofWindows);
        s.LoadFromString(c.data);
        EXPECT_EQ(s.OutFormat(), c.choose ? ofWindows : ofUnix) << c.data;
        EXPECT_EQ(s.SaveToString(), c.saved) << c.data;
        EXPECT_FALSE(s.Modified());
    }
}

TEST_F(FileTest, SavedLineEndsFollowTheFormat) {
    struct Case {
        TOutFormatType format;
        bool exclude;
        const char* bytes;
    } cases[] = {
        {ofWindows, false, "a\r\nb\r\nc"},
        {ofUnix, false, "a\nb\nc\n"},
        {ofMac, false, "a\rb\rc\r"},
        {ofWindows, true, "a\r\nc\r\n"},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        s.LoadFromStrings({"a", "b", "c"});
        s.SetOutFormat(c.format);
        s.SetLineReadOnly(1, true);
        if (c.exclude)
            s.SetOptions(s.Options() | soExcludeReadOnlyLines);
        EXPECT_EQ(s.SaveToString(), c.bytes);
    }
}

TEST_F(FileTest, ChoosingAFormatRewritesMixedLineEndsAndStreamsAgree) {
    TMemoSource s;
    s.LoadFromString("a\r\nb\nc\r\n");
    EXPECT_EQ(s.SaveToString(), "a\r\nb\nc\r\n");
    s.SetOutFormat(ofUnix);
    EXPECT_EQ(s.SaveToString(), "a\nb\nc\n");
    TMemoryStream stream;
    s.Lines().SaveToStream(stream);
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadRemaining(), "a\nb\nc\n");
    stream.SetPosition(0);
    TMemoSource t;
    t.LoadFromStream(stream);
    EXPECT_EQ(Text(t), "a|b|c");
}

TEST_F(FileTest, LoadSendsTextThenModifiedNotification) {
    TMemoSource s;
    s.LoadFromString("old");
    s.Insert("x");
    ASSERT_TRUE(s.Modified());
    NotificationLog log;
    log.Attach(s);
    s.LoadFromString("one\r\ntwo");
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].state & kFullUpdateState, kFullUpdateState);
    EXPECT_TRUE(log.entries[0].state & msCountChanged);
    EXPECT_TRUE(log.entries[1].state & msModifiedChanged);
    EXPECT_FALSE(s.Modified());
    EXPECT_FALSE(s.UndoAvailable());
}

TEST_F(FileTest, FailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    for (bool backups : {false, true}) {
        const std::string file = Path("doc.htm");
        Write(file, "original text\r\n");
        FailingSource s;
        if (backups)
            s.SetOptions(s.Options() | soCreateBackups);
        s.LoadFromStrings({"new text that is longer than the original one"});
        EXPECT_THROW(s.SaveToFile(file), EMemoSourceError);
        EXPECT_EQ(Read(file), "original text\r\n");
        EXPECT_EQ(Files(), std::vector<std::string>{"doc.htm"}) << backups;
    }
}

TEST_F(FileTest, BackupKeepsThePreviousText) {
    const std::string file = Path("x.htm");
    Write(file, "version 1");
    TMemoSource s;
    s.SetOptions(s.Options() | soCreateBackups);
    s.LoadFromStrings({"version 2"});
    s.SaveToFile(file);
    EXPECT_EQ(Read(file), "version 2");
    EXPECT_EQ(Read(Path("x.~ht")), "version 1");
    s.OnGetBackupName = [](TCustomMemoSource&, const std::string& name, std::string& bak) {
        bak = name + ".old";
    };
    s.LoadFromStrings({"version 3"});
    s.SaveToFile(file);
    EXPECT_EQ(Read(Path("x.htm.old")), "version 2");
    EXPECT_EQ(Files(), (std::vector<std::string>{"x.htm", "x.htm.old", "x.~ht"}));
}

TEST_F(FileTest, FailedRenamesNameThePathsAndKeepTheOriginal) {
    const std::string file = Path("y.htm");
    Write(file, "kept");
    // A folder under the backup name cannot be deleted as a file.
    ASSERT_TRUE(CreateDirectoryA(Path("y.~ht").c_str(), nullptr));
    TMemoSource s;
    s.SetOptions(s.Options() | soCreateBackups);
    s.LoadFromStrings({"new"});
    try {
        s.SaveToFile(file);
        FAIL() << "no error";
    } catch (const EMemoSourceError& e) {
        // The platform's cause follows the name.
        EXPECT_EQ(std::string(e.what()), "Can't delete file " + Path("y.~ht") + ": Access denied");
    }
    EXPECT_EQ(Read(file), "kept");

    // Without backups: the target is a folder, so the new file cannot take its place.
    const std::string folder = Path("z.htm");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    TMemoSource t;
    t.LoadFromStrings({"new"});
    try {
        t.SaveToFile(folder);
        FAIL() << "no error";
    } catch (const EMemoSourceError& e) {
        std::string msg = e.what();
        EXPECT_EQ(msg.rfind("Can't rename file ", 0), 0u) << msg;
        EXPECT_NE(msg.find(" to file " + folder), std::string::npos) << msg;
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"y.htm", "y.~ht", "z.htm"}));
}

// When the previous text cannot be kept under the backup name, the file stays as it was and the new
// text stays in the temporary file, which the message names.
TEST_F(FileTest, FailedBackupKeepsTheNewTextAndSaysWhere) {
    const std::string file = Path("w.htm");
    Write(file, "old");
    TMemoSource s;
    s.SetOptions(s.Options() | soCreateBackups);
    s.OnGetBackupName = [this](TCustomMemoSource&, const std::string&, std::string& bak) {
        bak = Path("missing\\w.bak");
    };
    s.LoadFromStrings({"new"});
    std::string msg;
    try {
        s.SaveToFile(file);
    } catch (const EMemoSourceError& e) {
        msg = e.what();
    }
    EXPECT_EQ(msg.rfind("Can't rename file " + file + " to file " + Path("missing\\w.bak") + ": ", 0), 0u)
        << msg;
    const size_t at = msg.find(". The new text is in ");
    ASSERT_NE(at, std::string::npos) << msg;
    const std::string temp = msg.substr(at + 21);
    EXPECT_EQ(Read(temp), "new");
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(Files().size(), 2u);
}

// A file with the read-only attribute is refused and left alone, with the reason in the message.
TEST_F(FileTest, ReadOnlyFileIsNotOverwritten) {
    for (bool backups : {false, true}) {
        const std::string file = Path("ro.htm");
        Write(file, "kept");
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        TMemoSource s;
        if (backups)
            s.SetOptions(s.Options() | soCreateBackups);
        s.LoadFromStrings({"new"});
        try {
            s.SaveToFile(file);
            ADD_FAILURE() << "no error";
        } catch (const EMemoSourceError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + file + "\": the file is read-only");
        }
        EXPECT_EQ(Read(file), "kept");
        EXPECT_EQ(Files(), std::vector<std::string>{"ro.htm"});
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A save keeps what the platform keeps with the file itself: its attributes and the links to it.
TEST_F(FileTest, SaveKeepsTheFileItsAttributesAndLinks) {
    for (bool backups : {false, true}) {
        const std::string file = Path("h.htm"), link = Path("link.htm");
        Write(file, "old");
        ASSERT_TRUE(CreateHardLinkA(link.c_str(), file.c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
        TMemoSource s;
        if (backups)
            s.SetOptions(s.Options() | soCreateBackups);
        s.LoadFromStrings({"new text"});
        s.SaveToFile(file);
        EXPECT_EQ(Read(file), "new text");
        EXPECT_EQ(Read(link), "new text") << "the file was replaced, not written";
        EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(Files(), backups ? (std::vector<std::string>{"h.htm", "h.~ht", "link.htm"})
                                   : (std::vector<std::string>{"h.htm", "link.htm"}));
        if (backups) {
            EXPECT_EQ(Read(Path("h.~ht")), "old");
        }
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(link.c_str());
        DeleteFileA(Path("h.~ht").c_str());
    }
}

// Under Wine a file's Unix permissions stay through a save (a new file would take the default mode),
// and a file without write permission has the read-only attribute, so it is refused.
TEST_F(FileTest, SaveKeepsUnixPermissions) {
    const std::string file = Path("mode.htm");
    Write(file, "old");
    const std::string unixFile = UnixName(file);
    if (unixFile.empty())
        GTEST_SKIP() << "not under Wine";
    // The Unix mode of the file, in octal; the shell writes it to a file beside it, by a rename
    // so that it is never read half written.
    auto mode = [&] {
        const std::string out = Path("mode.txt");
        StartShell("stat -c %a '" + unixFile + "' > '" + unixFile + ".m' && mv '" + unixFile + ".m' '" +
                   UnixName(out) + "'");
        for (int i = 0; i < 500 && GetFileAttributesA(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(10);
        std::string m = Read(out);
        DeleteFileA(out.c_str());
        return m.substr(0, m.find('\n'));
    };
    auto setMode = [&](const std::string& wanted) {
        StartShell("chmod " + wanted + " '" + unixFile + "'");
        for (int i = 0; i < 50 && mode() != wanted; ++i)
            Sleep(10);
    };
    for (const char* kept : {"600", "640", "604"}) {
        for (bool backups : {false, true}) {
            setMode(kept);
            ASSERT_EQ(mode(), kept);
            TMemoSource s;
            if (backups)
                s.SetOptions(s.Options() | soCreateBackups);
            s.LoadFromStrings({std::string("text for ") + kept});
            s.SaveToFile(file);
            EXPECT_EQ(Read(file), std::string("text for ") + kept);
            EXPECT_EQ(mode(), kept) << (backups ? "with a backup" : "without a backup");
        }
    }
    setMode("444");
    EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    TMemoSource s;
    s.LoadFromStrings({"refused"});
    EXPECT_THROW(s.SaveToFile(file), EMemoSourceError);
    EXPECT_EQ(Read(file), "text for 604");
    setMode("644");
}

TEST_F(FileTest, MissingFileRaisesAndKeepsTheText) {
    TMemoSource s;
    s.LoadFromStrings({"keep"});
    EXPECT_THROW(s.LoadFromFile(Path("missing.txt")), EMemoSourceError);
    EXPECT_EQ(Text(s), "keep");
}

// A file read and cut on the preloading thread loads exactly as one read when it is opened: the
// same lines, line ends, final end and conversions, with and without converting.
TEST_F(FileTest, PreloadedFileLoadsAsTheFileItself) {
    const std::string cases[] = {
        "a\r\nb\r\n",
        "a\nb\nc\r\nd",
        "a\r\r\nb\n\r",
        "\ttab\t  \r\ntrailing   \r\n\t",
        "",
        "\r\n",
        std::string("nul\0in\r\n\x85\xFF\n", 13),
        std::string(70000, 'w') + "\t \r\nlast",
    };
    for (bool convert : {false, true}) {
        for (const auto& data : cases) {
            const std::string file = Path("p.txt");
            Write(file, data);
            auto setUp = [convert](TMemoSource& s) {
                s.KeepTrailingBlanks = !convert;
                if (!convert)
                    s.SetOptions(s.Options() | soUseTabCharacter);
            };
            TMemoSource read, preloaded;
            setUp(read);
            setUp(preloaded);
            read.LoadFromFile(file);
            PreloadTextFiles({file});
            preloaded.LoadFromFile(file);
            const std::string shown = testing::PrintToString(data) + (convert ? " converted" : "");
            EXPECT_EQ(Text(preloaded), Text(read)) << shown;
            EXPECT_EQ(preloaded.SaveToString(), read.SaveToString()) << shown;
            EXPECT_EQ(preloaded.LoadAltered(), read.LoadAltered()) << shown;
            EXPECT_FALSE(preloaded.Modified());
        }
    }
    DropPreloadedText();
}

// The preloaded lines serve one load of the file as it was read, found by its full name; a file
// changed since, one loaded a second time or one dropped is read from disk.
TEST_F(FileTest, PreloadServesOneLoadOfTheUnchangedFile) {
    const std::string a = Path("a.txt"), b = Path("b.txt");
    auto keepStampWrite = [](const std::string& file, const std::string& data) {
        WIN32_FILE_ATTRIBUTE_DATA before{};
        ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &before));
        Write(file, data);
        HANDLE h = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SetFileTime(h, nullptr, nullptr, &before.ftLastWriteTime);
        CloseHandle(h);
    };
    // Files are read in order: once b's lines are taken, a's have been read.
    auto preloadAndWait = [&](const std::string& name) {
        Write(b, "b");
        PreloadTextFiles({name, b});
        ASSERT_NE(TakePreloadedText(b), nullptr);
    };
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    Write(a, "one\r\ntwo");
    preloadAndWait("a.txt");
    SetCurrentDirectoryA(current);
    keepStampWrite(a, "ONE\r\nTWO");
    TMemoSource s;
    s.LoadFromFile(a);
    EXPECT_EQ(Text(s), "one|two") << "the lines read at start serve the load";
    s.LoadFromFile(a);
    EXPECT_EQ(Text(s), "ONE|TWO") << "a second load reads the file";

    preloadAndWait(a);
    Write(a, "changed, longer");
    s.LoadFromFile(a);
    EXPECT_EQ(Text(s), "changed, longer");

    preloadAndWait(a);
    DropPreloadedText();
    keepStampWrite(a, "CHANGED, LONGER");
    s.LoadFromFile(a);
    EXPECT_EQ(Text(s), "CHANGED, LONGER");

    PreloadTextFiles({Path("missing.txt")});
    EXPECT_THROW(s.LoadFromFile(Path("missing.txt")), EMemoSourceError);
    EXPECT_EQ(Text(s), "CHANGED, LONGER");
    DropPreloadedText();
}

TEST(BackupNames, ExtensionGetsATilde) {
    struct Case {
        const char* name;
        const char* bak;
    } cases[] = {
        {"a.html", "a.~ht"}, {"a.c", "a.~c"}, {"a", "a.~"}, {"d.x\\a.pas", "d.x\\a.~pa"}, {"a.", "a.~"}};
    for (const auto& c : cases)
        EXPECT_EQ(FileBakName(c.name), c.bak) << c.name;
}
