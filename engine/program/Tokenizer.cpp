#include "engine/program/Tokenizer.h"
#include "engine/utils/CharClasses.h"

#include <cctype>
#include <string>

namespace {

using zel::chars::isBlank;
using zel::chars::isDigit;

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
// The token's characters [start, end) with their locations when the source has them.
void takeText(Token& token, const StrStoreEx& source, int32_t start, int32_t end) {
    token.text.clearEx();
    if (end <= start)
        return;
    if (source.hasLocations())
        token.text = source.getStringWithLoc(start, end - 1);
    else
        token.text.append(source.getString() + start, end - start);
}

int32_t skipSpaces(const StrStoreEx& source, int32_t pos) {
    const char* s = source.getString();
    const int32_t n = source.getStringLength();
    while (pos < n && isBlank(s[pos]))
        ++pos;
    return pos;
}

} // namespace

bool atSourceEnd(const StrStoreEx& source) {
    return skipSpaces(source, source.getReadPosition()) >= source.getStringLength();
}

void nextToken(Token& token, StrStoreEx& source, ErrorStore& errors, int32_t flags) {
    token.text.clearEx();
    token.type = TokenType::None;
    if (errors.number() != 0)
        return;
    const char* s = source.getString();
    const int32_t n = source.getStringLength();
    int32_t pos = skipSpaces(source, source.getReadPosition());

    // Comments between tokens are skipped, as many as there are.
    while (pos + 1 < n && s[pos] == '/' && s[pos + 1] == '*') {
        int32_t end = pos + 2;
        while (end + 1 < n && !(s[end] == '*' && s[end + 1] == '/'))
            ++end;
        if (end + 1 >= n) {
            source.setProperty(StrStoreEx::SecondPosition, pos);
            source.setReadPosition(n);
            errors.set(TOKEN_UNTERMINATED_COMMENT, "cannot find the end of a comment; looking for '*/'");
            return;
        }
        pos = skipSpaces(source, end + 2);
    }

    source.setProperty(StrStoreEx::SecondPosition, pos);
    if (pos >= n) {
        source.setReadPosition(n);
        return;
    }
    const char c = s[pos];
    int32_t end = pos + 1;
    if (isLetter(c)) {
        while (end < n && (isLetter(s[end]) || isDigit(s[end]) || s[end] == '_'))
            ++end;
        token.type = TokenType::Identifier;
    } else if (isDigit(c)) {
        while (end < n && (isDigit(s[end]) || s[end] == '.'))
            ++end;
        if (end < n && (s[end] == 'e' || s[end] == 'E')) {
            ++end;
            if (end < n && (s[end] == '+' || s[end] == '-'))
                ++end;
            while (end < n && isDigit(s[end]))
                ++end;
        }
        token.type = TokenType::Number;
    } else if (c == '"' || c == '\'') {
        while (end < n && s[end] != c) {
            if (s[end] == '\\' && end + 1 < n)
                ++end;
            ++end;
        }
        if (end >= n) {
            source.setReadPosition(n);
            errors.set(TOKEN_MISSING_QUOTE, "missing closing quotation mark for a string");
            return;
        }
        takeText(token, source, pos + 1, end);
        token.type = TokenType::String;
        source.setReadPosition(end + 1);
        return;
    } else {
        const char next = end < n ? s[end] : '\0';
        switch (c) {
        case '!':
        case '=':
        case '>':
            if (next == '=')
                ++end;
            break;
        case '<':
            if (next == '>' || next == '=')
                ++end;
            break;
        case '&':
        case '|':
            if (next == c)
                ++end;
            break;
        case '+':
        case '-':
            if ((flags & TOKEN_DOUBLE_SIGNS) && next == c)
                ++end;
            break;
        case '#':
        case '$':
        case '(':
        case ')':
        case '*':
        case ',':
        case ':':
        case ';':
        case '@':
        case '[':
        case ']':
        case '{':
        case '}':
        case '.':
        case '/':
            break;
        default:
            source.setReadPosition(pos);
            errors.set(TOKEN_UNKNOWN_TYPE, "cannot determine token type");
            return;
        }
        token.type = TokenType::Symbol;
    }
    takeText(token, source, pos, end);
    source.setReadPosition(end);
    if (token.type == TokenType::None)
        errors.set(TOKEN_NO_TYPE, "internal parsing error, no tokentype");
}

void formatSyntaxError(const StrStoreEx& source, ErrorStore& errors, const Token& token, const char* expected,
                       int32_t code, int32_t mode) {
    const int32_t start = source.getProperty(StrStoreEx::SecondPosition);
    const int32_t from = start > 20 ? start - 20 : 0;
    std::string context(source.getString() + from, static_cast<size_t>(start - from));
    std::string text;
    if (mode & SYNTAX_FULL) {
        text = std::string("misplaced or missing ") + (expected ? expected : "") + " where token '" +
               token.text.getString() + "' found at location " + std::to_string(start + 1) + " (..." +
               context + "...)";
    } else {
        text = std::string(token.text.getString()) + " (..." + context + "...)";
    }
    errors.set(code, text.c_str());
}

namespace {

bool expectSymbol(StrStoreEx& source, ErrorStore& errors, const char* symbol, const char* name,
                  int32_t code) {
    if (errors.number() != 0)
        return false;
    Token token;
    nextToken(token, source, errors);
    if (errors.number() != 0)
        return false;
    if (token.is(symbol))
        return true;
    formatSyntaxError(source, errors, token, name, code, SYNTAX_FULL);
    return false;
}

} // namespace

bool expectOpenParenthesis(StrStoreEx& source, ErrorStore& errors) {
    return expectSymbol(source, errors, "(", "opening parenthesis", TOKEN_MISSING_OPEN_PAREN);
}

bool expectCloseParenthesis(StrStoreEx& source, ErrorStore& errors) {
    return expectSymbol(source, errors, ")", "closing parenthesis", TOKEN_MISSING_CLOSE_PAREN);
}
