#pragma once
// Evaluates a template expression into a located string: string literals, FileContents() and
// concatenation with "+".

#include "engine/program/Interpreter.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStoreEx.h"

constexpr int32_t TEMPLATE_UNKNOWN_FUNCTION = 98012901;
constexpr int32_t TEMPLATE_CANNOT_OPEN = 98013001;
constexpr int32_t TEMPLATE_CANNOT_READ = 98013003;
constexpr int32_t TEMPLATE_TRAILING_TEXT = 98013102;

// Empty when the error list already holds an error or the evaluation fails (the error recorded).
StrStoreEx evaluateTemplateLine(Interpreter& context, const StrStoreEx& line, ErrorStore& errors);
// One literal or function call and any "+" terms after it, read from the source's read position.
StrStoreEx evaluateTemplateTerm(Interpreter& context, StrStoreEx& source, ErrorStore& errors);
