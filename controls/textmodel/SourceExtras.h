#pragma once
// State that the search, option and template commands keep per source. It lives beside the
// source and goes when the source is freed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Object.h"

class TCustomMemoSource;

struct TMemoSourceExtras {
    bool UseGlobalOptions = false;
    // The source's code templates, made by the template code on first need; held as a plain
    // persistent so that these extras stay below the code that fills them.
    std::unique_ptr<TPersistent> CodeTemplates;
    std::string TemplatesType = "None";
    // Replacements made by the last replace command.
    int32_t ReplaceCount = 0;
    // Where the last forward search found an empty match (line, 0-based column; -1: none). A
    // search that starts there again begins one column on, so it does not find the same spot.
    int32_t EmptyMatchLine = -1, EmptyMatchChar = -1;
    std::function<void(TCustomMemoSource& sender, const std::string& message, bool& handled)>
        OnSearchException;
    std::function<void(TCustomMemoSource& sender, bool isReplace)> OnBeforeFindReplace;
};

TMemoSourceExtras& SourceExtras(TCustomMemoSource& source);
// Nil when none were made yet.
const TMemoSourceExtras* FindSourceExtras(const TCustomMemoSource& source);
