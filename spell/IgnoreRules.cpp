#include "spell/IgnoreRules.h"

#include "framework/core/SysUtils.h"
#include "spell/SpellUtils.h"

namespace {

// Whether the text from the cursor on equals s; on success the cursor rests on the character that
// matched the last one of s, on failure it is back where it started.
bool match(const char* s, TControlParser* p) {
    if (p->GetChar() != s[0])
        return false;
    if (s[1] == 0)
        return true;
    if (!p->MoveNext())
        return false;
    if (match(s + 1, p))
        return true;
    p->MovePrevious();
    return false;
}

} // namespace

bool THTMLIgnore::ExecuteIgnore(char C, TControlParser* Parser) {
    if (C != '<' || !Parser)
        return false;
    if (!Parser->MoveNext())
        return true;
    bool comment = match("!--", Parser);
    char open = Parser->GetChar();
    bool server = !comment && (open == '%' || open == '?');
    bool previous = false;
    for (;;) {
        bool atEnd;
        if (comment)
            atEnd = match("-->", Parser);
        else
            atEnd = Parser->GetChar() == '>' && (!server || previous);
        if (atEnd)
            return true;
        previous = Parser->GetChar() == open;
        if (!Parser->MoveNext())
            return true;
    }
}

bool THTMLIgnore::ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser*) {
    return !Word.empty() && Word[0] == '&';
}

bool TURLIgnore::ExecuteWordIgnorePreCheck(const std::string& Word, TControlParser* Parser) {
    if (!Parser)
        return false;
    bool ignore = false;
    char c = Parser->GetChar();
    std::string lower = LowerCase(Word);
    if (c == ':') {
        static const char* const schemes[] = {"http", "ftp",   "news",   "mailto", "nntp",
                                              "file", "https", "telnet", "wais"};
        for (const char* s : schemes)
            if (lower == s)
                ignore = true;
    }
    if (c == '@')
        ignore = true;
    if ((c == '\\' || c == '/') && lower.rfind("www.", 0) == 0)
        ignore = true;
    if (ignore) {
        static const std::string delimiters = std::string("\r\n\t \"()[]{},<>'");
        for (;;) {
            char d = Parser->GetChar();
            if (d == 0 || delimiters.find(d) != std::string::npos)
                break;
            if (!Parser->MoveNext())
                break;
        }
    }
    return ignore;
}

bool TURLIgnore::ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser*) {
    return LowerCase(Word).rfind("www.", 0) == 0;
}

bool TQuotedLineIgnore::ExecuteLineIgnore(const std::string& Line) {
    return !Line.empty() && QuoteChars.find(Line[0]) != std::string::npos;
}

bool TQuotedLineIgnore::ExecuteWordIgnorePostCheck(const std::string&, TControlParser* Parser) {
    return Parser && ExecuteLineIgnore(Parser->GetLine());
}

bool TUppercaseWordIgnore::ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser*) {
    return Word == WordUpperCase(Word);
}

bool TNumbersIgnore::ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser*) {
    for (char c : Word)
        if (c >= '0' && c <= '9')
            return true;
    return false;
}

bool TAbbreviationsIgnore::ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser*) {
    if (Word.find('.') == std::string::npos)
        return false;
    std::string s = Word;
    while (s.size() > 2 && s[1] == '.')
        s.erase(0, 2);
    return s.size() <= 2;
}
