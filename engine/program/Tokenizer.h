#pragma once
// The tokenizer of the configuration's programs and of template expressions. It reads a located
// string from its read position; the first error stops it, and every later call gives an empty
// token, so that callers unwind.

#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStoreEx.h"

#include <cstdint>

enum class TokenType : int32_t { None = 0, Identifier, Number, String, Symbol };

struct Token {
    StrStoreEx text; // a string token holds what stood between its quotation marks, escapes kept
    TokenType type = TokenType::None;
    bool isEmpty() const { return text.getStringLength() == 0 && type != TokenType::String; }
    bool is(const char* symbol) const { return type == TokenType::Symbol && text.equals(symbol); }
};

// Error numbers of the tokenizer.
constexpr int32_t TOKEN_MISSING_OPEN_PAREN = 98012902;
constexpr int32_t TOKEN_MISSING_CLOSE_PAREN = 98012903;
constexpr int32_t TOKEN_MISSING_QUOTE = 98012904;
constexpr int32_t TOKEN_UNKNOWN_TYPE = 98012905;
constexpr int32_t TOKEN_NO_TYPE = 98013002;
constexpr int32_t TOKEN_UNTERMINATED_COMMENT = 98081601;

// Flag of nextToken: "++" and "--" are one token.
constexpr int32_t TOKEN_DOUBLE_SIGNS = 0x1;

// Reads one token and advances the source; the source's second position keeps the token's start.
void nextToken(Token& token, StrStoreEx& source, ErrorStore& errors, int32_t flags = 0);
// True when only white space is left.
bool atSourceEnd(const StrStoreEx& source);

// Read the next token and succeed when it is "(" (or ")"); otherwise record the syntax error.
bool expectOpenParenthesis(StrStoreEx& source, ErrorStore& errors);
bool expectCloseParenthesis(StrStoreEx& source, ErrorStore& errors);

// Records a syntax error at the token just read: mode 0x1 the full text, "misplaced or missing
// <expected> where token '<token>' found at location <n> (...<context>...)"; mode 0x2 the token
// followed by " (...<context>...)". The location counts characters of the source from 1.
enum : int32_t { SYNTAX_FULL = 0x1, SYNTAX_SHORT = 0x2 };
void formatSyntaxError(const StrStoreEx& source, ErrorStore& errors, const Token& token, const char* expected,
                       int32_t code, int32_t mode);
