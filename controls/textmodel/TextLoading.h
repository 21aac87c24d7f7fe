#pragma once
// A file's text cut into line records, apart from any source: the cutting needs no window and no
// source's options, so a file named at start can be read and cut on another thread while the
// program makes its windows, and a source then takes the records whole.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/textmodel/LineStore.h"
#include "controls/textmodel/TextEncoding.h"

struct TLoadedLines {
    // Each record holds its line's text as it stood and, in LineEnd, the end it had (leDefault for
    // a last line without one).
    TInternalStrings Lines;
    int32_t EndCounts[4] = {0, 0, 0, 0};
    bool AnyTab = false;
    bool AnyTrailingBlank = false;
    // How the text was decoded from the file's bytes, and so how to write it back.
    TFileEncoding Encoding;
};

// Cuts at CR LF, CR or LF.
void SplitLoadedText(const std::string& data, TLoadedLines& out);
// Decodes a file's bytes (TextEncoding.h), then cuts the text.
void SplitFileBytes(const std::string& bytes, TLoadedLines& out);

// Reads a whole file; false with the reason in `error` when it cannot.
bool ReadTextFile(const std::string& fileName, std::string& data, std::string& error);

// Starts reading and cutting these files on a thread of their own, one after the other.
void PreloadTextFiles(const std::vector<std::string>& fileNames);
// The preloaded lines of this file, once they are ready; null when it was not preloaded, could
// not be read, or has changed on disk since.
std::unique_ptr<TLoadedLines> TakePreloadedText(const std::string& fileName);
// Forgets what was not taken, once the thread has ended.
void DropPreloadedText();
