#include "engine/config/CfgLanguage.h"

#include "engine/program/Tokenizer.h"

#include <windows.h>

namespace {

bool namesLanguage(const Token& token, const char* language) {
    if (token.type != TokenType::Identifier && token.type != TokenType::String)
        return false;
    return lstrcmpiA(token.text.getString(), language) == 0;
}

} // namespace

std::string chooseLanguageText(const char* text, int32_t language, bool fallback) {
    if (!text)
        return std::string();
    const char* wanted = language == 1 ? "FRENCH" : "ENGLISH";
    StrStoreEx source;
    source.assign(text);
    ErrorStore errors;
    Token token;
    nextToken(token, source, errors);
    if (!token.is("{"))
        return fallback ? std::string(text) : std::string();

    std::string english, result;
    bool found = false;
    for (;;) {
        Token name;
        nextToken(name, source, errors);
        if (errors.number() != 0 || name.isEmpty() || name.is("}"))
            break;
        if (name.is(","))
            continue;
        Token colon;
        nextToken(colon, source, errors);
        if (errors.number() != 0 || !colon.is(":"))
            break;
        Token value;
        nextToken(value, source, errors);
        if (errors.number() != 0)
            break;
        StrStore decoded(value.text);
        if (value.type == TokenType::String)
            decoded.decodeBackslashEscapes();
        if (namesLanguage(name, "ENGLISH"))
            english = decoded.getString();
        if (namesLanguage(name, wanted)) {
            result = decoded.getString();
            found = true;
            break;
        }
    }
    (void)found;
    if (fallback && result.empty())
        return english;
    return result;
}
