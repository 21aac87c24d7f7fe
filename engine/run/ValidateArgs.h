#pragma once
// The state of one validation run and the walk over the document.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ConfigClass.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/DocumentLines.h"
#include "engine/program/Interpreter.h"
#include "engine/run/LineBuffer.h"
#include "engine/run/MessageEmitter.h"
#include "engine/run/RunOptions.h"
#include "engine/run/RunStatistics.h"
#include "engine/run/StructureStore.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStoreEx.h"

class JobClass;
class ResultClass;

namespace zel::run {

struct Loc {
    int32_t line = -1;
    int32_t character = -1;
};

// One cut of the document: a text run or a tag. A tag's text is what stands between its '<'
// and '>', with the location of every character; pieces that span lines are joined by a blank.
struct Piece {
    bool isTag = false;
    std::string text;
    std::vector<Loc> locs; // tags only
    Loc start;             // the '<' of a tag, the first character of a text run
    Loc end;               // the closing '>' of a tag
    void clear() {
        isTag = false;
        text.clear();
        locs.clear();
        start = end = Loc{};
    }
    // Member by member: the walk hands every piece over this way, keeping both buffers.
    void swap(Piece& other) noexcept {
        std::swap(isTag, other.isTag);
        text.swap(other.text);
        locs.swap(other.locs);
        std::swap(start, other.start);
        std::swap(end, other.end);
    }
};

// What the run reads of its job.
struct RunInput {
    DocumentLines lines;
    std::string inputName;  // job string 8000
    std::string extension;  // job string 8003
    std::string outputName; // job string 8001
    int32_t jobType = 6;
    uint32_t jobFlags = 0; // job word 2000
    int64_t byteSize = 0;
    bool inputIsFile = false;
    HWND progress = nullptr;
};

// The run record of a job: filled by the job runner.
struct ArgsClass {
    HWND window = nullptr;
    void* context = nullptr;
    ConfigClass* options = nullptr;
    JobClass* job = nullptr;
    ResultClass* results = nullptr;
};

class ValidateArgsClass : public ArgsClass {
public:
    ValidateArgsClass();

    // With flag 1: links the store, resets the run state and takes the options copy. 0, or
    // negative when the store is missing (-2).
    int initialize(int32_t flags, MsgStore* store, const RunOptions& options);
    int uninitialize(int32_t flags);

    // Starts ignoring text up to the closing tag of name (for elements whose text is not checked).
    void startIgnoring(const std::string& name, int32_t tagLine);

    // The run's private copy of the caller's options (with the job runner; none in unit tests),
    // and the values of it the walk reads.
    std::unique_ptr<ConfigClass> privateOptions;
    RunOptions runOptions;
    RunInput input;
    MsgStore* store = nullptr;
    LineSink* output1 = nullptr; // the output text
    LineSink* output2 = nullptr; // the structure listing, when the job asks for it

    // Ignore-to-closing-tag state. The name is kept whole, however long.
    std::string ignoreName;
    int32_t ignoreStartLine = 0;
    int32_t ignoreTagLine = 0;
    bool ignoring = false;

    Piece piece;
    StructureStore structure;
    // The tag and entity checks' own state for this run, made by them on first use.
    std::shared_ptr<void> checkState;
    MessageEmitter emitter;
    int32_t statistics[kRunStatisticCount] = {0, 0, 0, 0, 0, 0, 0};
    // The run's own program interpreter: the programs it runs and the symbols they set, which
    // the results' symbol getters answer from.
    Interpreter interpreter;
    ErrorStore errors;
    // Set by checks that fail internally; the walk stops at the next piece.
    ErrorStore internalErrors;
    bool initialized = false;
    int32_t reserved = -1;
    int32_t jobType = -1;

    int32_t tagsSeen = 0;
    int32_t xmlDeclarations = 0;
    int32_t lastLineReached = 0;
    int32_t currentLineIndex = 0;
    SYSTEMTIME startTime{};
    double elapsed = 0.0;
    bool limitReached = false;
};

// Walks the document: 0 when finished, -2 on a recorded internal failure, -3 / -4 when the
// closing-tag / tag check fails, -5 when the structure store refuses an entry.
int validate(ValidateArgsClass& args);

// Replaces every block from open through close in a tag piece by the replacement, keeping the
// locations around it; returns the number replaced. The flags are those of the located string's
// collapseBlocks.
int collapseBlocks(Piece& piece, const char* open, const char* close, const char* replacement, int flags);

} // namespace zel::run
