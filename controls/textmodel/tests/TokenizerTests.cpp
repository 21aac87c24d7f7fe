#include <gtest/gtest.h>

#include <memory>

#include "controls/textmodel/LanguageParsers.h"

namespace {
// Digits for colour bytes, so expectations read like the text they colour.
std::string Colours(TCustomHSParser& p, const std::string& line, int32_t& state) {
    std::string cd(line.size(), '\0');
    state = p.ColorString(line, state, cd);
    for (char& c : cd)
        c = char(c < 10 ? '0' + c : 'a' + c - 10);
    return cd;
}

class WordParser : public TStringsParser {
public:
    WordParser() {
        InitCommon();
        RegisterNormalProc(IdentStartChars(), &WordParser::ParseIdentifier);
        RegisterNormalProc(CharSet("~"), static_cast<TParseProc>(&WordParser::SkipOne));
    }
    int32_t SkipOne() {
        ++FPos;
        return tokNone;
    }
};
} // namespace

TEST(Tokenizer, ReservedWordsAreTrimmedDeduplicatedAndMatchedByCase) {
    WordParser p;
    p.SetResWords({" begin ", "", "End", "end", "begin"});
    EXPECT_EQ(p.ResWords(), (std::vector<std::string>{"begin", "end"}));
    int32_t st = 0;
    EXPECT_EQ(Colours(p, "BEGIN end x", st), "66666066603");
    p.SetCaseSensitive(true);
    EXPECT_EQ(Colours(p, "BEGIN begin end", st), "333330666660666");
}

TEST(Tokenizer, BlanksAndSkippedCharactersKeepColourZero) {
    WordParser p;
    int32_t st = 0;
    EXPECT_EQ(Colours(p, "ab  cd", st), "330033");
    EXPECT_EQ(Colours(p, "a~b;", st), "3037"); // '~' consumed by a routine that reports no token
    std::string cd = "keep";
    EXPECT_EQ(p.ColorString("", 7, cd), 7);
    EXPECT_EQ(cd, "keep");
}

TEST(Tokenizer, HashBucketsIgnoreCase) {
    EXPECT_EQ(ResWordHash("", 0), 255);
    EXPECT_EQ(ResWordHash("while", 5), ResWordHash("WHILE", 5));
    EXPECT_EQ(ResWordHash("a", 1), 65);
}

TEST(Tokenizer, PositionStack) {
    std::vector<std::string> lines{"one two three"};
    WordParser p;
    p.SetStrings(&lines);
    std::string s;
    p.NextTokenStr(s);
    EXPECT_EQ(s, "one");
    p.PushState();
    p.SoftPushState();
    p.NextToken();
    p.SoftPushState();
    p.NextTokenStr(s);
    EXPECT_EQ(s, "three");
    p.PopState(); // the two soft records go with the hard one below them
    EXPECT_EQ(p.GetInternalState(), -1);
    EXPECT_EQ(p.TokenString(), "one");
    EXPECT_EQ(p.PeekTokenStr(s), tokIdentifier);
    EXPECT_EQ(s, "two");
    EXPECT_EQ(p.TokenString(), "one");
    p.PushState();
    EXPECT_THROW(
        {
            try {
                p.SetInternalState(1);
            } catch (const EParserError& e) {
                EXPECT_STREQ(e.what(), "Unexpected parser state at Line:1, Char:1. ");
                throw;
            }
        },
        EParserError);
    p.SetInternalState(0);
    EXPECT_THROW(p.PopState(), EParserError);
}

namespace {
// Saved positions of its own class, which note the lines of the positions popped.
class CountingParser : public WordParser {
public:
    struct Record : TTokenData {
        void ProcessSinglePop(TCustomHSParser& parser) override {
            static_cast<CountingParser&>(parser).Popped.push_back(LineNo);
        }
    };
    std::vector<int32_t> Popped;

protected:
    std::unique_ptr<TTokenData> GetTokenDataClass() const override { return std::make_unique<Record>(); }
};
} // namespace

TEST(Tokenizer, SavedPositionsAreOfTheParsersRecordClassAndHearEachPop) {
    std::vector<std::string> lines{"one", "two", "three"};
    CountingParser p;
    p.SetStrings(&lines);
    std::string s;
    p.NextTokenStr(s);
    p.PushState();
    p.NextTokenStr(s);
    p.SoftPushState();
    p.NextTokenStr(s);
    p.SoftPushState();
    EXPECT_EQ(p.PopState(), tokIdentifier);
    EXPECT_EQ(p.Popped, (std::vector<int32_t>{2, 1, 0})); // newest first, down to the hard one
    EXPECT_EQ(p.TokenString(), "one");
    p.PushState();
    p.SoftPushState();
    p.SoftPopState();
    EXPECT_EQ(p.Popped.size(), 4u);
    p.PopState();
    EXPECT_EQ(p.Popped.size(), 5u);
}

TEST(Tokenizer, StringsParserCarriesStateAcrossLines) {
    std::vector<std::string> lines{"int a; /* open", "still */ b", "", "c"};
    TCParser p;
    p.SetStrings(&lines);
    std::vector<std::pair<int32_t, std::string>> tokens;
    std::string s;
    while (p.NextTokenStr(s) != tokEof)
        tokens.push_back({p.TokenKind(), s});
    std::vector<std::pair<int32_t, std::string>> expected{
        {tokResWord, "int"},      {tokIdentifier, "a"}, {tokDelimiter, ";"}, {tokComment, "/* open"},
        {tokComment, "still */"}, {tokIdentifier, "b"}, {tokIdentifier, "c"}};
    EXPECT_EQ(tokens, expected);
    EXPECT_EQ(p.LineNo(), 3);

    TCParser none;
    EXPECT_THROW(none.NextToken(), EParserError);
    EXPECT_THROW(none.SetLinePos(0), EParserError);
}

TEST(Tokenizer, ColourEventMayRecolourATokenAndIsKeptToItsLength) {
    TSqlParser p;
    p.OnGetColorData = [](TCustomHSParser&, int32_t kind, const std::string&, std::string& colour) {
        if (kind == tokResWord)
            colour = std::string(1, char(9)); // shorter: the rest gets the kind
    };
    int32_t st = 0;
    EXPECT_EQ(Colours(p, "select x", st), "966666"
                                          "03");
}

namespace {
int gChangeCalls = 0;
void CountChange(TObject*, int32_t, int32_t) {
    ++gChangeCalls;
}
} // namespace

TEST(Tokenizer, ChangingWordsNotifiesListeners) {
    TSqlParser p;
    gChangeCalls = 0;
    p.RegisterNotifier(THSNotifyEvent(&CountChange));
    int& calls = gChangeCalls;
    p.SetResWords({"ONLY"});
    p.SetCaseSensitive(true);
    p.SetCaseSensitive(true);
    EXPECT_EQ(calls, 2);
}

TEST(PerlHereDocuments, TerminatorTravelsWithTheLineState) {
    TPerlParser p;
    int32_t a = 0, b = 0;
    Colours(p, "print <<AAA;", a);
    Colours(p, "print <<\"B-B\";", b);
    EXPECT_EQ(a & 0xFF, 11);
    EXPECT_EQ(b & 0xFF, 11);
    EXPECT_NE(a, b);
    // Lines of either document are coloured by their own terminator, whatever was parsed last.
    int32_t st = a;
    EXPECT_EQ(Colours(p, "x B-B AAA y", st), "11111111103");
    EXPECT_EQ(st, 0);
    st = b;
    EXPECT_EQ(Colours(p, "x AAA B-B y", st), "11111111103");
    EXPECT_EQ(st, 0);
    st = a;
    EXPECT_EQ(Colours(p, "no end here", st), "11111111111");
    EXPECT_EQ(st, a);
}

TEST(Tokenizer, StatesFromElsewhereNeverCrash) {
    // A text model hands back whatever state it stored; a stale or foreign one must be harmless.
    THTMLParser html;
    TPerlParser perl;
    TDelphiParser delphi;
    for (TCustomHSParser* p : std::initializer_list<TCustomHSParser*>{&html, &perl, &delphi}) {
        for (int32_t state : {-1, 12345, INT32_MIN, 11 | (999 << 8), 4}) {
            std::string cd(12, '\0');
            EXPECT_NO_THROW(p->ColorString("<a x='y'> b\t", state, cd));
            EXPECT_EQ(cd.size(), 12u);
        }
    }
}

TEST(Tokenizer, ParsersAreMadeByClassAndPublishCaseSensitive) {
    std::unique_ptr<TObject> made(THTMLParser::StaticClass()->Create(nullptr));
    auto* html = dynamic_cast<THTMLParser*>(made.get());
    ASSERT_NE(html, nullptr);
    int32_t st = 0;
    EXPECT_EQ(Colours(*html, "<b>", st), "aaa");
    EXPECT_NE(TSqlParser::StaticClass()->FindProperty("CaseSensitive"), nullptr);
    EXPECT_EQ(TPythonParser::StaticClass()->FindProperty("CaseSensitive"), nullptr);
}
