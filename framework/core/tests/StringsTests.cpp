#include "framework/core/Strings.h"

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"
#include "TempFolder.h"

static std::string Joined(const TStrings& l) {
    std::string s;
    for (int i = 0; i < l.Count(); ++i)
        s += (i ? "|" : "") + l.Get(i);
    return s;
}

TEST(TStringList, SortedAddFollowsTheDuplicatesMode) {
    struct Case {
        TDuplicates mode;
        bool caseSensitive;
        const char* expected;
        int indexOfSecondB; // what Add("b") answers when "b" is already there
    } cases[] = {
        {dupIgnore, false, "a|B|c", 1},
        {dupAccept, false, "a|b|B|c", 1}, // inserted before the equal entry
        {dupIgnore, true, "a|b|B|c", 1},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetSorted(true);
        l.SetDuplicates(c.mode);
        l.SetCaseSensitive(c.caseSensitive);
        l.Add("c");
        l.Add("B");
        l.Add("a");
        EXPECT_EQ(l.Add("b"), c.indexOfSecondB);
        EXPECT_EQ(Joined(l), c.expected);
    }
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(dupError);
    l.Add("x");
    try {
        l.Add("X");
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(l.Count(), 1);
    EXPECT_THROW(l.Insert(0, "y"), EStringListError);
    EXPECT_THROW(l.Put(0, "y"), EStringListError);
}

TEST(TStringList, FindBisects) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(dupAccept);
    for (const char* s : {"delta", "alpha", "charlie", "bravo", "bravo", "echo"})
        l.Add(s);
    struct Case {
        const char* key;
        bool found;
        int index;
    } cases[] = {
        {"alpha", true, 0}, {"BRAVO", true, 1}, // first of the equal ones
        {"aaa", false, 0},  {"bz", false, 3},   {"zulu", false, 6}, {"echo", true, 5},
    };
    for (const auto& c : cases) {
        int i = -1;
        EXPECT_EQ(l.Find(c.key, i), c.found) << c.key;
        EXPECT_EQ(i, c.index) << c.key;
    }
    TStringList empty;
    int i = -1;
    EXPECT_FALSE(empty.Find("x", i));
    EXPECT_EQ(i, 0);
}

TEST(TStringList, CaseSensitivityAndLocaleOrder) {
    TStringList l;
    for (const char* s : {"b", "\xE9t\xE9", "A", "a"})
        l.Add(s);
    EXPECT_EQ(l.IndexOf("B"), 0);
    EXPECT_EQ(l.IndexOf("\xC9T\xC9"), 1); // accented letters fold through the locale
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("B"), -1);
    l.SetCaseSensitive(false);
    l.SetSorted(true);
    // "a" and "A" sort together, before "b"; accented letters sort with their base letter.
    EXPECT_TRUE(SameText(l.Get(0), "a"));
    EXPECT_TRUE(SameText(l.Get(1), "a"));
    EXPECT_EQ(l.Get(2), "b");
    EXPECT_EQ(l.Get(3), "\xE9t\xE9");
}

TEST(TStrings, TextRoundTrips) {
    struct Case {
        const char* text;
        const char* lines;
        const char* back;
    } cases[] = {
        {"", "", ""},
        {"a", "a", "a\r\n"},
        {"a\r\nb\r\n", "a|b", "a\r\nb\r\n"},
        {"a\nb\rc", "a|b|c", "a\r\nb\r\nc\r\n"},
        {"a\r\n\r\nb", "a||b", "a\r\n\r\nb\r\n"},
        {"\r\n", "", "\r\n"},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetText(c.text);
        EXPECT_EQ(Joined(l), c.lines) << c.text;
        EXPECT_EQ(l.Text(), c.back) << c.text;
    }
}

TEST(TStrings, CommaAndDelimitedText) {
    struct Case {
        const char* comma;
        const char* lines;
        const char* back;
    } cases[] = {
        {"a,b,c", "a|b|c", "a,b,c"},
        {"a b", "a|b", "a,b"}, // a blank separates as well
        {"\"a b\",c", "a b|c", "\"a b\",c"},
        {"\"say \"\"hi\"\"\"", "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a,,b", "a||b", "a,,b"},
        {"  x  ,  y  ", "x|y", "x,y"},
        {"\"\"", "", "\"\""},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetCommaText(c.comma);
        EXPECT_EQ(Joined(l), c.lines) << c.comma;
        EXPECT_EQ(l.CommaText(), c.back) << c.comma;
    }
    TStringList nul;
    nul.SetCommaText(std::string("a,b\0,c", 7)); // ends at the NUL
    EXPECT_EQ(Joined(nul), "a|b");

    TStringList l;
    l.SetDelimiter(';');
    l.SetQuoteChar('\'');
    l.SetDelimitedText("a;'b;c';d");
    EXPECT_EQ(Joined(l), "a|b;c|d");
    EXPECT_EQ(l.DelimitedText(), "a;'b;c';d");
}

TEST(TStrings, NamesAndValues) {
    TStringList l;
    l.SetText("Width=10\nHeight=20\nplain\nKey=a=b\n");
    EXPECT_EQ(l.Names(0), "Width");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.Values("height"), "20");
    EXPECT_EQ(l.Values("Key"), "a=b");
    EXPECT_EQ(l.Values("missing"), "");
    EXPECT_EQ(l.IndexOfName("KEY"), 3);
    l.SetValue("Width", "11");
    l.SetValue("Depth", "5");
    l.SetValue("Height", "");
    EXPECT_EQ(Joined(l), "Width=11|plain|Key=a=b|Depth=5");
    EXPECT_EQ(l.ValueFromIndex(3), "5");
}

TEST(TStringList, ChangeEventsAndUpdateBrackets) {
    TStringList l;
    int changing = 0, changed = 0;
    l.OnChanging = [&](TObject*) { ++changing; };
    l.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changed;
    };
    l.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    l.BeginUpdate();
    l.BeginUpdate();
    l.Add("b");
    l.Add("c");
    l.EndUpdate();
    EXPECT_EQ(changed, 1);
    l.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    l.SetText("x\ny"); // one bracket
    EXPECT_EQ(changed, 3);
}

TEST(TStrings, ObjectsAssignAndAddStrings) {
    TObject o1, o2;
    TStringList a;
    a.AddObject("one", &o1);
    a.AddObject("two", &o2);
    TStringList b;
    b.Add("old");
    b.Assign(&a);
    EXPECT_EQ(Joined(b), "one|two");
    EXPECT_EQ(b.Objects(1), &o2);
    EXPECT_EQ(b.IndexOfObject(&o1), 0);
    b.AddStrings(&a);
    EXPECT_EQ(b.Count(), 4);
    EXPECT_TRUE(a.Equals(&a));
    EXPECT_FALSE(a.Equals(&b));
    b.Move(0, 3);
    EXPECT_EQ(Joined(b), "two|one|two|one");
    EXPECT_EQ(b.Objects(3), &o1);
    try {
        b.Get(4);
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (4)");
    }
}

TEST(TStrings, FileAndStreamRoundTrip) {
    TempFolder tmp;
    TStringList l;
    l.SetText("first\r\n\xE9t\xE9\r\n\r\nlast");
    l.SaveToFile(tmp.File("list.txt"));
    TStringList r;
    r.LoadFromFile(tmp.File("list.txt"));
    EXPECT_TRUE(r.Equals(&l));
    TMemoryStream m;
    l.SaveToStream(m);
    EXPECT_EQ(m.Size(), static_cast<int64_t>(l.Text().size()));
    m.SetPosition(0);
    TStringList r2;
    r2.Add("replaced");
    r2.LoadFromStream(m);
    EXPECT_TRUE(r2.Equals(&l));
    TStringList keep;
    keep.Add("kept");
    EXPECT_THROW(keep.LoadFromFile(tmp.File("missing.txt")), EFOpenError);
    EXPECT_EQ(Joined(keep), "kept");
}
