#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "spell/CustomDictionary.h"
#include "spell/SpellUtils.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

void push32(std::vector<uint8_t>& f, int32_t v) {
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

std::vector<uint8_t> header(int32_t ign, int32_t exc, int32_t ac, int32_t words, int32_t slots) {
    std::vector<uint8_t> f(kUserDictionaryBanner, kUserDictionaryBanner + 120);
    f.push_back(26);
    for (int32_t v : {ign, exc, ac, words, slots})
        push32(f, v);
    return f;
}

// A hand-made dictionary of 251 slots holding one ignore word at its hashed slot.
std::vector<uint8_t> handMadeIgnore(const std::string& word) {
    std::vector<uint8_t> f = header(1, 0, 0, 1, 251);
    int32_t slot = HashString(word.c_str(), 251);
    for (int i = 0; i < 251; ++i)
        push32(f, i == slot ? 1 : 0);
    std::string entry = "I" + word + '\0';
    push32(f, static_cast<int32_t>(entry.size()));
    f.insert(f.end(), entry.begin(), entry.end());
    return f;
}

std::vector<uint8_t> handMadeHello() {
    return handMadeIgnore("hello");
}

// Puts handMadeHello() in tmp as user.wdu and answers its path.
std::string helloFile(TempFolder& tmp) {
    std::string path = tmp.File("user.wdu");
    WriteBytes(path, handMadeHello());
    return path;
}

void setFileTime(const std::string& path, uint64_t t) {
    HANDLE h =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

uint64_t fileTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d);
    return static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32 | d.ftLastWriteTime.dwLowDateTime;
}

} // namespace

TEST(UserDictionary, BannerIsOneHundredNineteenCharactersAndZero) {
    EXPECT_EQ(std::strlen(kUserDictionaryBanner), 119u);
    EXPECT_EQ(kUserDictionaryBanner[119], 0);
}

TEST(UserDictionary, NewFileAfterOneIgnoredFiveLetterWord) {
    TempFolder tmp;
    std::string path = tmp.File("user.wdu");
    {
        TCustomDictionary d;
        d.WriteFilename(path);
        ASSERT_EQ(d.GetFilename(), path);
        d.WriteLoaded(true);
        EXPECT_TRUE(d.GetLoaded());
        EXPECT_TRUE(d.Modified()); // a missing file is written at the next save
        EXPECT_TRUE(d.AddIgnore("hello"));
        EXPECT_EQ(d.SlotCount(), 251);
        EXPECT_TRUE(d.Save());
        EXPECT_FALSE(d.Modified());
    }
    std::vector<uint8_t> f = ReadBytes(path);
    ASSERT_EQ(f.size(), 1156u);
    EXPECT_EQ(std::memcmp(f.data(), kUserDictionaryBanner, 120), 0);
    EXPECT_EQ(f[120], 26);
    EXPECT_EQ(ReadLE32(f, 121), 1); // ignore count
    EXPECT_EQ(ReadLE32(f, 133), 1); // word count
    EXPECT_EQ(ReadLE32(f, 137), 251);
    EXPECT_EQ(ReadLE32(f, 141 + 4 * HashString("hello", 251)), 1);
    EXPECT_EQ(ReadLE32(f, 141 + 1004), 7);
    EXPECT_EQ(std::string(f.begin() + 1149, f.end()), std::string("Ihello\0", 7));
    // The file written by hand the same way is the same file.
    EXPECT_EQ(f, handMadeHello());
}

TEST(UserDictionary, ReadsHandMadeFile) {
    TempFolder tmp;
    std::string path = tmp.File("hand.wdu");
    WriteBytes(path, handMadeHello());
    TCustomDictionary d;
    d.WriteFilename(path);
    ASSERT_EQ(d.GetFilename(), path);
    EXPECT_TRUE(d.IgnoreExists("hello"));
    EXPECT_FALSE(d.IgnoreExists("Hello"));
    EXPECT_FALSE(d.ExcludeExists("hello"));
    EXPECT_EQ(d.IgnoreCount(), 1);
    EXPECT_EQ(d.GetIgnoreWord(0), "hello");
    EXPECT_EQ(d.GetIgnoreWord(1), "");
    EXPECT_FALSE(d.Modified());
}

TEST(UserDictionary, KindsCaseAndLengthLimit) {
    TCustomDictionary d; // in memory only
    EXPECT_TRUE(d.AddIgnore("word"));
    EXPECT_TRUE(d.AddIgnore("Word"));
    EXPECT_FALSE(d.AddExclude("word"));
    EXPECT_FALSE(d.AddIgnore(""));
    EXPECT_TRUE(d.AddAutoCorrect(std::string(250, 'a'), std::string(250, 'b')));
    EXPECT_FALSE(d.AddAutoCorrect(std::string(250, 'c'), std::string(251, 'd')));
    EXPECT_TRUE(d.AddAutoCorrect("teh", "the"));
    std::string r;
    EXPECT_TRUE(d.AutoCorrectExists("teh", r));
    EXPECT_EQ(r, "the");
    EXPECT_FALSE(d.IgnoreExists("teh"));
    std::string rep;
    EXPECT_EQ(d.GetAutoCorrectWord(1, rep), "teh");
    EXPECT_EQ(rep, "the");
}

TEST(UserDictionary, RemovedWordLeavesDeletedSlotAndText) {
    TCustomDictionary d;
    ASSERT_TRUE(d.AddIgnore("hello"));
    int32_t slot = HashString("hello", 251);
    int32_t length = d.BufferLength();
    EXPECT_TRUE(d.RemoveIgnore("hello"));
    EXPECT_FALSE(d.RemoveIgnore("hello"));
    EXPECT_EQ(d.Slot(slot), -1);
    EXPECT_EQ(d.BufferLength(), length);
    EXPECT_FALSE(d.IgnoreExists("hello"));
    EXPECT_TRUE(d.AddIgnore("hello")); // a deleted slot is reused at the first probe
    EXPECT_EQ(d.Slot(slot), length + 1);
    EXPECT_EQ(d.BufferLength(), 2 * length);
}

TEST(UserDictionary, TableGrowsAtTheSixtyThirdWord) {
    TCustomDictionary d;
    for (int i = 0; i < 62; ++i)
        ASSERT_TRUE(d.AddIgnore("w" + std::to_string(i)));
    EXPECT_EQ(d.SlotCount(), 251);
    ASSERT_TRUE(d.RemoveIgnore("w0"));
    ASSERT_TRUE(d.AddIgnore("w62")); // 62 live after removal: no growth yet
    EXPECT_EQ(d.SlotCount(), 251);
    ASSERT_TRUE(d.AddIgnore("w63")); // 63 * 4 >= 251
    EXPECT_EQ(d.SlotCount(), 509);
    int deleted = 0;
    for (int i = 0; i < 509; ++i)
        deleted += d.Slot(i) == -1;
    EXPECT_EQ(deleted, 0);
    for (int i = 1; i <= 63; ++i)
        EXPECT_TRUE(d.IgnoreExists("w" + std::to_string(i))) << i;
    EXPECT_EQ(d.IgnoreCount(), 63);
}

TEST(UserDictionary, HostileFilesAreRefused) {
    TempFolder tmp;
    std::vector<uint8_t> good = handMadeHello();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 130)});
    cases.push_back({"truncated slots", std::vector<uint8_t>(good.begin(), good.begin() + 600)});
    cases.push_back({"truncated buffer", std::vector<uint8_t>(good.begin(), good.end() - 3)});
    {
        std::vector<uint8_t> f = header(0, 0, 0, 0, 1);
        push32(f, 0);
        push32(f, 0);
        cases.push_back({"one slot", f});
    }
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, 137, 0x7FFFFFFF);
        cases.push_back({"huge slot count", f});
    }
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, 141 + 4 * HashString("hello", 251), 5000);
        cases.push_back({"position past the buffer", f});
    }
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, 141 + 1004, 0x7FFFFFF0);
        cases.push_back({"huge buffer length", f});
    }
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, 133, 100);
        cases.push_back({"word count above the live slots", f});
    }
    {
        std::vector<uint8_t> f = good;
        f.back() = 'x'; // no terminator
        cases.push_back({"unterminated word", f});
    }
    {
        // Every slot taken: a lookup of an absent word would never meet an empty slot.
        std::vector<uint8_t> f = header(251, 0, 0, 251, 251);
        for (int i = 0; i < 251; ++i)
            push32(f, 1);
        push32(f, 3);
        f.push_back('I');
        f.push_back('x');
        f.push_back(0);
        cases.push_back({"full table", f});
    }
    {
        // The word sits one slot away from where its hash leads: it could be listed, never found.
        std::vector<uint8_t> f = good;
        int32_t slot = HashString("hello", 251);
        PutLE32(f, 141 + 4 * slot, 0);
        PutLE32(f, 141 + 4 * ((slot + 1) % 251), 1);
        cases.push_back({"word off its probe sequence", f});
    }
    {
        // Two slots hold the same word.
        std::vector<uint8_t> f = header(2, 0, 0, 2, 251);
        int32_t slot = HashString("hello", 251), second = (slot + SecondaryHash(slot)) % 251;
        for (int i = 0; i < 251; ++i)
            push32(f, i == slot ? 1 : i == second ? 8 : 0);
        std::string entries = std::string("Ihello") + '\0' + "Ihello" + '\0';
        push32(f, static_cast<int32_t>(entries.size()));
        f.insert(f.end(), entries.begin(), entries.end());
        cases.push_back({"one word in two slots", f});
    }
    for (const Case& c : cases) {
        std::string path = tmp.File("bad.wdu");
        WriteBytes(path, c.bytes);
        {
            TCustomDictionary d;
            d.WriteFilename(path);
            ASSERT_EQ(d.GetFilename(), path) << c.name; // the banner is right
            d.WriteLoaded(true);
            EXPECT_FALSE(d.GetLoaded()) << c.name;
            EXPECT_FALSE(d.LastError().empty()) << c.name;
            EXPECT_FALSE(d.IgnoreExists("absent")) << c.name;
            // Nothing can be added to, emptied from or copied out of a dictionary that was not read,
            // so no save can put a few new words in place of the file's.
            EXPECT_FALSE(d.AddIgnore("new")) << c.name;
            EXPECT_FALSE(d.AddAutoCorrect("teh", "the")) << c.name;
            d.RemoveAll();
            EXPECT_FALSE(d.Modified()) << c.name;
            EXPECT_TRUE(d.Save()) << c.name;
            EXPECT_FALSE(d.SaveAs(tmp.File("copy.wdu"))) << c.name;
        }
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name; // nothing was written over it
        EXPECT_EQ(GetFileAttributesA(tmp.File("copy.wdu").c_str()), INVALID_FILE_ATTRIBUTES) << c.name;
    }
    // A file whose banner differs in its terminating byte is no user dictionary at all.
    std::vector<uint8_t> f = good;
    f[119] = ' ';
    std::string path = tmp.File("foreign.wdu");
    WriteBytes(path, f);
    TCustomDictionary d;
    d.WriteFilename(path);
    EXPECT_EQ(d.GetFilename(), "");
    // Byte 120 is not tested.
    f = good;
    f[120] = 0;
    WriteBytes(path, f);
    d.WriteFilename(path);
    EXPECT_EQ(d.GetFilename(), path);
    EXPECT_TRUE(d.IgnoreExists("hello"));
}

TEST(UserDictionary, FailedSaveKeepsOldFileAndChanges) {
    TempFolder tmp;
    std::string path = helloFile(tmp);
    TCustomDictionary d;
    d.WriteFilename(path);
    ASSERT_TRUE(d.AddIgnore("world"));
    // The temporary file cannot be made: a folder has its name.
    ASSERT_TRUE(CreateDirectoryA((path + ".new~").c_str(), nullptr));
    EXPECT_FALSE(d.Save());
    EXPECT_TRUE(d.Modified());
    EXPECT_EQ(ReadBytes(path), handMadeHello());
    RemoveDirectoryA((path + ".new~").c_str());
    EXPECT_TRUE(d.Save());
    EXPECT_FALSE(d.Modified());
    TCustomDictionary again;
    again.WriteFilename(path);
    EXPECT_TRUE(again.IgnoreExists("hello"));
    EXPECT_TRUE(again.IgnoreExists("world"));
}

TEST(UserDictionary, SaveOverForeignFileKeepsChangesForLater) {
    TempFolder tmp;
    std::string path = helloFile(tmp);
    TCustomDictionary d;
    d.WriteFilename(path);
    ASSERT_TRUE(d.AddIgnore("world"));
    WriteBytes(path, {'n', 'o', 't', ' ', 'a', ' ', 'd', 'i', 'c', 't'});
    EXPECT_FALSE(d.Save());
    EXPECT_TRUE(d.Modified());
    EXPECT_EQ(ReadBytes(path).size(), 10u);
    WriteBytes(path, handMadeHello());
    EXPECT_TRUE(d.Save());
    TCustomDictionary again;
    again.WriteFilename(path);
    EXPECT_TRUE(again.IgnoreExists("world"));
}

TEST(UserDictionary, SaveMergesWithAFileChangedOnDisk) {
    TempFolder tmp;
    std::string path = helloFile(tmp);
    uint64_t loadedTime = fileTime(path);
    TCustomDictionary mine;
    mine.WriteFilename(path);
    ASSERT_TRUE(mine.AddIgnore("mine"));
    ASSERT_TRUE(mine.RemoveIgnore("hello"));
    {
        // Another program rewrites the file within the same two seconds and keeps its size.
        TCustomDictionary other;
        other.WriteFilename(path);
        ASSERT_TRUE(other.RemoveIgnore("hello"));
        ASSERT_TRUE(other.AddIgnore("hallo"));
        ASSERT_TRUE(other.Save());
    }
    ASSERT_EQ(ReadBytes(path).size(), handMadeHello().size() + 7);
    setFileTime(path, loadedTime + 10000000 / 2); // half a second later
    EXPECT_TRUE(mine.Save());
    TCustomDictionary merged;
    merged.WriteFilename(path);
    EXPECT_TRUE(merged.IgnoreExists("hallo"));
    EXPECT_TRUE(merged.IgnoreExists("mine"));
    EXPECT_FALSE(merged.IgnoreExists("hello"));
}

TEST(UserDictionary, ChangedOnDiskIsSeenAtSameSizeWithinTwoSeconds) {
    TempFolder tmp;
    std::string path = helloFile(tmp);
    uint64_t t = fileTime(path);
    TCustomDictionary mine;
    mine.WriteFilename(path);
    ASSERT_TRUE(mine.AddIgnore("mine"));
    // Same size, one word changed, a second later: a two-second date would call it unchanged.
    std::vector<uint8_t> changed = handMadeIgnore("jelly");
    ASSERT_EQ(changed.size(), handMadeHello().size());
    WriteBytes(path, changed);
    setFileTime(path, t + 10000000);
    EXPECT_TRUE(mine.Save());
    TCustomDictionary merged;
    merged.WriteFilename(path);
    EXPECT_TRUE(merged.IgnoreExists("jelly"));
    EXPECT_TRUE(merged.IgnoreExists("mine"));
}

TEST(UserDictionary, RemoveAllIsAChangeThatReachesTheFile) {
    TempFolder tmp;
    std::string path = helloFile(tmp);
    TCustomDictionary d;
    d.WriteFilename(path);
    d.WriteLoaded(true);
    d.RemoveAll();
    EXPECT_TRUE(d.Modified());
    EXPECT_TRUE(d.Save());
    TCustomDictionary again;
    again.WriteFilename(path);
    EXPECT_FALSE(again.IgnoreExists("hello"));
    again.WriteLoaded(true);
    EXPECT_TRUE(again.GetLoaded());
    EXPECT_EQ(again.IgnoreCount(), 0);
}

TEST(UserDictionary, UnloadSavesAndFilenameRefusesForeignFiles) {
    TempFolder tmp;
    std::string path = tmp.File("user.wdu");
    std::string foreign = tmp.File("foreign.txt");
    WriteBytes(foreign, std::vector<uint8_t>(200, 'x'));
    {
        TCustomDictionary d;
        d.WriteFilename(path);
        ASSERT_TRUE(d.AddExclude("colour"));
        d.WriteFilename(foreign); // refused: keeps the old name
        EXPECT_EQ(d.GetFilename(), path);
    } // the destructor saves
    TCustomDictionary again;
    again.WriteFilename(path);
    EXPECT_TRUE(again.ExcludeExists("colour"));
    EXPECT_EQ(ReadBytes(foreign), std::vector<uint8_t>(200, 'x'));
}
