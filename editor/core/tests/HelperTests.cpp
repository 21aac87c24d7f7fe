// The most-recently-used store and the path, file and day helpers.
#include "CoreTestSupport.h"

#include "editor/core/PathHelpers.h"
#include "editor/core/StringArrayStore.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Screen.h"
#include "framework/ui/ShellExec.h"
#include "framework/ui/StdCtrls.h"

namespace {

std::vector<std::string> entries(const StringArrayStore& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.Count(); ++i)
        out.push_back(s.GetText(i));
    return out;
}

using Strings = std::vector<std::string>;

} // namespace

class StringArrayStoreTest : public CoreTest {};

TEST_F(StringArrayStoreTest, AddOrdersRemovesDuplicatesAndCuts) {
    struct Case {
        const char* name;
        Strings before;
        const char* text;
        int32_t flags;
        Strings after;
    } cases[] = {
        {"front", {"b"}, "a", 0, {"a", "b"}},
        {"end", {"b"}, "a", StringArrayStore::AddAtEnd, {"b", "a"}},
        {"equal ignoring case, new spelling",
         {"X", "C:\\PAGE.HTML"},
         "c:\\page.html",
         2,
         {"c:\\page.html", "X"}},
        {"equal ignoring case, old spelling",
         {"X", "C:\\PAGE.HTML"},
         "c:\\page.html",
         2 | 16,
         {"C:\\PAGE.HTML", "X"}},
        {"exact keeps other spelling", {"A"}, "a", 2 | 4, {"a", "A"}},
        {"prefix before bracket",
         {"Perl Files (*.pl,*.pm)", "Z"},
         "Perl Files (*.pl;*.pm)",
         2 | 8,
         {"Perl Files (*.pl;*.pm)", "Z"}},
    };
    for (const Case& c : cases) {
        StringArrayStore s;
        for (const std::string& e : c.before)
            s.Add(e.c_str(), StringArrayStore::AddAtEnd);
        EXPECT_EQ(s.Add(c.text, c.flags), 1) << c.name;
        EXPECT_EQ(entries(s), c.after) << c.name;
    }
}

TEST_F(StringArrayStoreTest, MaximumLengthDropsTheLastUnlessAskedNotTo) {
    StringArrayStore s;
    for (int i = 0; i < 20; ++i)
        s.Add(("f" + std::to_string(i)).c_str(), StringArrayStore::AddAtEnd);
    s.Add("new", 0);
    ASSERT_EQ(s.Count(), 20);
    EXPECT_STREQ(s.GetText(0), "new");
    EXPECT_STREQ(s.GetText(19), "f18");
    s.Add("more", StringArrayStore::AddNoCut);
    EXPECT_EQ(s.Count(), 21);
}

TEST_F(StringArrayStoreTest, RegistryRoundTripWithCountsAndDeletions) {
    const std::string key = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Reopen";
    {
        QXRegistryEx reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteInteger("NumberOfStrings", 3);
        reg.WriteString("String0", "one");
        reg.WriteString("String1", "");
        reg.WriteString("String2", "three");
        reg.WriteString("String3", "stale");
        reg.WriteString("String4", "stale");
    }
    StringArrayStore s;
    ASSERT_TRUE(s.ReadFromRegistry(key, 0, StringArrayStore::CountStored));
    EXPECT_EQ(entries(s), (Strings{"one", "three"}));

    s.Add("zero", 0);
    ASSERT_TRUE(s.WriteToRegistry(key, 0, 5));
    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(key, false));
    EXPECT_EQ(reg.TRegistry::ReadString("String0"), "zero");
    EXPECT_EQ(reg.TRegistry::ReadString("String2"), "three");
    EXPECT_FALSE(reg.ValueExists("String3"));
    EXPECT_FALSE(reg.ValueExists("String4"));
}

// A damaged "NumberOfStrings" is read as far as it can be believed, and quickly: a huge one must
// not keep start-up busy reading values that are not there.
TEST_F(StringArrayStoreTest, DamagedStoredCountsAreBounded) {
    const std::string key = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Reopen";
    for (const int32_t stored : {2000000000, -5}) {
        {
            QXRegistryEx reg;
            ASSERT_TRUE(reg.OpenKey(key, true));
            reg.WriteInteger("NumberOfStrings", stored);
            reg.WriteString("String0", "one");
            reg.WriteString("String1", "two");
        }
        StringArrayStore s;
        const DWORD start = GetTickCount();
        s.ReadFromRegistry(key, 0, StringArrayStore::CountStored);
        EXPECT_LT(GetTickCount() - start, 20000u) << stored;
        EXPECT_EQ(entries(s), stored > 0 ? (Strings{"one", "two"}) : Strings{}) << stored;
    }
}

class PathHelperTest : public CoreTest {};

TEST_F(PathHelperTest, ResolveRelativePath) {
    struct Case {
        const char* base;
        const char* relative;
        int32_t flags;
        const char* expected;
        int32_t code;
    } cases[] = {
        {"C:\\site\\docs\\page.html", "../img/logo.png", 1 | 4 | 8, "C:\\site\\img\\logo.png", 0},
        {"C:\\site\\docs\\page.html", "../../../../x.html", 1 | 4 | 8, "", -1},
        {"C:\\site\\docs\\page.html", "D:\\other\\.\\x.html", 1 | 4, "D:\\other\\x.html", 0},
        {"C:\\site\\page.html", "#top", 1 | 4 | 32, "C:\\site\\page.html#top", 0},
        {"http://host/a/b/c.html", "/root.html", 2 | 4, "http://host/root.html", 0},
        {"http://host/a/b/c.html", "./d.html", 2 | 4, "http://host/a/b/d.html", 0},
        {"C:\\site", "x.html", 0, "", -2},
    };
    for (const Case& c : cases) {
        int32_t code = 99;
        StrStore r = ResolveRelativePath(c.base, c.relative, c.flags, &code);
        EXPECT_STREQ(r.getString(), c.expected) << c.base << " + " << c.relative;
        EXPECT_EQ(code, c.code) << c.base << " + " << c.relative;
    }
}

TEST_F(PathHelperTest, NamesAndAddresses) {
    EXPECT_STREQ(GetURLFilePart("http://h/a/page.html?x=1", 0).getString(), "page.html");
    EXPECT_STREQ(GetURLFilePart("http://h/a/page.html#top", 2).getString(), "page.html");
    EXPECT_STREQ(GetURLFilePart("http://h/a/dir/", 0).getString(), "dir");
    EXPECT_STREQ(StripFragment("C:\\a\\b.html#x").getString(), "C:\\a\\b.html");
    EXPECT_STREQ(StripFragment("C:\\a#b\\c.html").getString(), "C:\\a#b\\c.html");
    EXPECT_STREQ(ExtractFileNamePart("C:\\a\\b.html").getString(), "b.html");
    EXPECT_STREQ(ExtractFileNamePart("C:b.html").getString(), "b.html");
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\x"));
    EXPECT_TRUE(IsAbsolutePath("C:\\x.html"));
    EXPECT_FALSE(IsAbsolutePath("C:\\dir\\"));
    EXPECT_FALSE(IsAbsolutePath("dir\\x.html"));
    EXPECT_TRUE(HasSchemePrefix("  http://x/"));
    EXPECT_FALSE(HasSchemePrefix("a/b:c"));
}

TEST_F(PathHelperTest, FileTimeSizeAndDayNumber) {
    std::string path = WriteFile("five.bin", std::string(5000, 'x'));
    FILETIME t{};
    int32_t size = 0, ok = 0;
    GetFileTimeAndSize(path.c_str(), &t, &size, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(size, 5000);
    EXPECT_NE(t.dwLowDateTime | t.dwHighDateTime, 0u);
    GetFileTimeAndSize((Folder() + "\\missing").c_str(), &t, &size, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(t.dwLowDateTime | t.dwHighDateTime, 0u);
    EXPECT_EQ(DayNumberOf(2026, 12, 9), 740351);
    EXPECT_EQ(CanOpenFile(path.c_str()), 1);
    EXPECT_EQ(CanOpenFile((Folder() + "\\missing").c_str()), 0);
}

// Opening a document goes through the shell seam; a refusal is told with the target named.
TEST_F(PathHelperTest, OpenDocumentTellsWhatTheShellRefused) {
    std::vector<std::string> asked;
    bool accept = true;
    const TShellExecuteFunc saved = SetShellExecuteFunc(
        [&](const std::string& verb, const std::string& file, const std::string&, const std::string&, int) {
            asked.push_back(verb + " " + file);
            return accept;
        });
    EXPECT_EQ(OpenDocument(nullptr, ""), 0);
    EXPECT_EQ(OpenDocument(nullptr, nullptr), 0);
    EXPECT_TRUE(asked.empty()) << "nothing to open reaches no shell";
    EXPECT_EQ(OpenDocument(nullptr, "C:\\pages\\a.html"), 1);
    EXPECT_TRUE(boxes.empty());
    accept = false;
    EXPECT_EQ(OpenDocument(nullptr, "http://host/x.html"), 0);
    SetShellExecuteFunc(saved);
    EXPECT_EQ(asked, (Strings{"open C:\\pages\\a.html", "open http://host/x.html"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvalent: Could Not Open Document");
    EXPECT_EQ(boxes[0].style, 0x10010u);
    EXPECT_EQ(boxes[0].text.rfind(
                  "The operating system was unable to open the document \"http://host/x.html\". ", 0),
              0u);
}

// The busy state shows in the status bar and goes again; what was saved comes back on every way
// out, the screen cursor too when a busy state was still on.
TEST_F(PathHelperTest, BusyStateIsUndoneByScope) {
    TLabel label(nullptr);
    label.SetCaption("Ready");
    TStatusBar bar(nullptr);
    bar.Panels.resize(2);
    const TCursor before = Screen ? Screen->Cursor() : crDefault;
    {
        WindowControl busy(WindowControl::SaveScreenCursor | WindowControl::SaveCaption, &label, &bar);
        busy.SetCursor(static_cast<int16_t>(crHourGlass));
        EXPECT_EQ(busy.SetCaptionAndStatus("Working", 0, "Step 1"), 1);
        EXPECT_EQ(label.Caption(), "Working");
        EXPECT_EQ(bar.Panels[0].Text, "Step 1");
        busy.SetBusy(true, 1);
        EXPECT_EQ(bar.Panels[1].Text, "Busy");
        if (Screen) {
            EXPECT_EQ(Screen->Cursor(), crHourGlass);
        }
    }
    EXPECT_EQ(label.Caption(), "Ready");
    EXPECT_EQ(bar.Panels[1].Text, "");
    if (Screen) {
        EXPECT_EQ(Screen->Cursor(), before);
    }
}
