#include <gtest/gtest.h>

#include "SourceTestUtil.h"
#include "controls/textmodel/CodeTemplates.h"
#include "controls/textmodel/MemoOptions.h"
#include "framework/core/Strings.h"

namespace {

std::string Names(const std::vector<TMemoCodeTemplate*>& list) {
    std::string out;
    for (auto* t : list)
        out += (out.empty() ? "" : ",") + t->Name();
    return out;
}

TEST(CodeTemplates, FilterByPrefix) {
    TMemoSource source;
    SetTemplatesType(source, "Delphi");
    EXPECT_EQ("Delphi", GetTemplatesType(source));
    const TMemoCodeTemplates& t = GetCodeTemplates(source);
    EXPECT_EQ(22, t.Count());
    const struct {
        const char* prefix;
        const char* names;
        bool exact;
    } cases[] = {
        {"if", "ifb,ife,ifeb,ifs", false}, {"ifs", "ifs", true}, {"IFB", "ifb", true},
        {"try", "trycf,trye,tryf", false}, {"zz", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        std::vector<TMemoCodeTemplate*> list;
        bool exact = !c.exact;
        t.FilterNames(list, c.prefix, exact);
        EXPECT_EQ(c.names, Names(list));
        EXPECT_EQ(c.exact, exact);
    }
    std::vector<TMemoCodeTemplate*> all;
    bool exact = true;
    t.FilterNames(all, "", exact);
    EXPECT_EQ(22u, all.size());
    EXPECT_FALSE(exact);

    TStringList lines;
    EXPECT_EQ(0, t.ConvertCodeTemplates(&lines, "ifs"));
    ASSERT_EQ(1, lines.Count());
    EXPECT_EQ("~ifs~|if (no begin/end)", lines.Get(0));
    EXPECT_EQ(-1, t.ConvertCodeTemplates(&lines, "with"));
    EXPECT_EQ(2, lines.Count());
}

TEST(CodeTemplates, SetsAndTheirCode) {
    TMemoSource source;
    EXPECT_EQ("None", GetTemplatesType(source));
    SetTemplatesType(source, "C++");
    EXPECT_EQ(17, GetCodeTemplates(source).Count());
    const TMemoCodeTemplate* sw = GetCodeTemplates(source).GetItem(11);
    EXPECT_EQ("switche", sw->Name());
    EXPECT_EQ(8, sw->Code()->Count());
    EXPECT_EQ("switch (|)", sw->Code()->Get(0));
    // Unknown names and the sets without a fill routine leave the collection alone.
    SetTemplatesType(source, "Cobol");
    EXPECT_EQ("C++", GetTemplatesType(source));
    SetTemplatesType(source, "Custom");
    EXPECT_EQ("Custom", GetTemplatesType(source));
    EXPECT_EQ(17, GetCodeTemplates(source).Count());
    SetTemplatesType(source, "Clipper");
    EXPECT_EQ(16, GetCodeTemplates(source).Count());
}

TEST(MemoOptions, SharedTabStopsReachOnlySourcesThatUseThem) {
    TMemoSourceOptions* g = GlobalMemoSourceOptions();
    const std::string oldStops = g->TabStops();
    TMemoSource follows, own;
    SetUseGlobalOptions(follows, true);
    own.SetTabStops("5");
    g->SetTabStops("4,8");
    EXPECT_EQ("4,8", follows.TabStops());
    EXPECT_EQ("5", own.TabStops());
    EXPECT_THROW(g->SetTabStops("17,9"), Exception);
    EXPECT_EQ("4,8", g->TabStops());
    g->SetBlockIndent(3);
    EXPECT_EQ(3, follows.BlockIndent());
    EXPECT_EQ(1, own.BlockIndent());
    g->SetTabStops(oldStops);
    g->SetBlockIndent(1);
}

TEST(SearchOptions, DisplayTextDoublesAmpersands) {
    TSearchOptions& o = *GetSearchOptions();
    o.TextToFind = "a&b&&c";
    EXPECT_EQ("a&&b&&&&c", o.GetDisplayTextToFind());
    o.InitValues();
    EXPECT_EQ(soEntireScope, o.Origin);
    EXPECT_EQ(swDirectories, o.Where);
}

} // namespace
