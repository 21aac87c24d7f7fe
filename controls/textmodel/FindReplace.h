#pragma once
// Find and replace over a text model. The commands themselves are members of TCustomMemoSource
// (Find, Replace, FindNext ...); this header holds what callers set around them.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/foundation/StringListUtils.h"
#include "controls/foundation/StringUtils.h"
#include "controls/textmodel/MemoOptions.h"

class TCustomMemoSource;

// Chooses modal dialogs; also the default "handled" answer of HandleSearchException is its negation.
extern bool ModalSearchAndReplace;

// Answers to "Replace this occurence of ...?".
enum TReplaceAnswer : uint8_t { raYes, raNo, raCancel, raAll };
// The one place where the replace question is asked; tests script the answers. The default asks
// through the framework's message boxes.
using TReplacePromptFunc = std::function<TReplaceAnswer(const std::string& question)>;
TReplacePromptFunc SetReplacePromptFunc(TReplacePromptFunc func);

// Searches a string list from `point` (1-based column, 0-based line) as the options say. With
// FirstSearch and the origin "entire scope" the search starts at the scope's start (or end) and
// FirstSearch is cleared. Raises ERegExprError for a bad regular expression.
bool SearchinStrings(const TStrings* strings, TSearchOptions& options, TStrPos& point, int32_t& len,
                     const TCharSet& delimiters);

// Replacements made by the source's last replace command.
int32_t GetReplaceCount(const TCustomMemoSource& source);

using TSearchExceptionEvent =
    std::function<void(TCustomMemoSource& sender, const std::string& message, bool& handled)>;
using TBeforeFindReplaceEvent = std::function<void(TCustomMemoSource& sender, bool isReplace)>;
void SetOnSearchException(TCustomMemoSource& source, TSearchExceptionEvent handler);
void SetOnBeforeFindReplace(TCustomMemoSource& source, TBeforeFindReplaceEvent handler);
