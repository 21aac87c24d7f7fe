#include "engine/program/TemplateEvaluator.h"

#include "engine/program/Tokenizer.h"

#include <cstdio>
#include <string>

namespace {

// Joins b to a, locations included when both carry them.
void appendValue(StrStoreEx& a, const StrStoreEx& b) {
    if (a.getStringLength() == 0 && b.hasLocations()) {
        a = b;
    } else if (a.hasLocations() && b.hasLocations()) {
        a << b;
    } else {
        a.append(b);
    }
}

void recordf(ErrorStore& errors, int32_t number, const char* format, const char* argument) {
    errors.setf(number, format, argument);
}

StrStoreEx fileContents(Interpreter& context, StrStoreEx& source, ErrorStore& errors) {
    StrStoreEx empty;
    auto addSuffix = [&] {
        std::string text = std::string(errors.text().getString()) + " for FileContents()";
        const int32_t number = errors.number();
        errors.clear();
        errors.set(number, text.c_str());
    };
    if (!expectOpenParenthesis(source, errors)) {
        addSuffix();
        return empty;
    }
    StrStoreEx name = evaluateTemplateTerm(context, source, errors);
    if (errors.number() != 0)
        return empty;
    if (!expectCloseParenthesis(source, errors)) {
        addSuffix();
        return empty;
    }
    FILE* f = std::fopen(name.getString(), "rb");
    if (!f) {
        recordf(errors, TEMPLATE_CANNOT_OPEN, "cannot open file \"%s\" for reading", name.getString());
        return empty;
    }
    StrStoreEx value;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        value.append(buffer, static_cast<int32_t>(n));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        recordf(errors, TEMPLATE_CANNOT_READ, "cannot read file \"%s\"", name.getString());
        return empty;
    }
    return value;
}

} // namespace

StrStoreEx evaluateTemplateTerm(Interpreter& context, StrStoreEx& source, ErrorStore& errors) {
    StrStoreEx value;
    if (errors.number() != 0)
        return value;
    Token token;
    nextToken(token, source, errors);
    if (errors.number() != 0)
        return StrStoreEx();
    if (token.type == TokenType::String) {
        value = token.text;
        value.decodeBackslashEscapes();
    } else if (token.type == TokenType::Identifier && token.text.equals("FileContents")) {
        value = fileContents(context, source, errors);
    } else {
        recordf(errors, TEMPLATE_UNKNOWN_FUNCTION, "unknown function name \"%s\"", token.text.getString());
    }
    if (errors.number() != 0)
        return StrStoreEx();
    if (!atSourceEnd(source)) {
        nextToken(token, source, errors);
        if (token.is("+")) {
            StrStoreEx rest = evaluateTemplateTerm(context, source, errors);
            if (errors.number() != 0)
                return StrStoreEx();
            appendValue(value, rest);
        } else {
            source.putBack();
        }
    }
    return value;
}

StrStoreEx evaluateTemplateLine(Interpreter& context, const StrStoreEx& line, ErrorStore& errors) {
    if (errors.number() != 0)
        return StrStoreEx();
    const char* s = line.getString();
    int32_t start = 0, end = line.getStringLength();
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (start < end && space(s[start]))
        ++start;
    while (end > start && space(s[end - 1]))
        --end;
    StrStoreEx source = line.hasLocations() && end > start ? line.getStringWithLoc(start, end - 1)
                                                           : line.slice(start, end - start);
    source.setReadPosition(0);
    StrStoreEx value = evaluateTemplateTerm(context, source, errors);
    if (errors.number() == 0 && !atSourceEnd(source))
        errors.set(TEMPLATE_TRAILING_TEXT, "unrecognized text at end of line");
    if (errors.number() != 0)
        return StrStoreEx();
    return value;
}
