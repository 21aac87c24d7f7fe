#pragma once
// The run's output text: header, messages (readable or KEY=VALUE records), statistics, the
// document listing and the log entry.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/DocumentLines.h"
#include "engine/run/LineBuffer.h"
#include "engine/run/MsgStore.h"
#include "engine/run/RunStatistics.h"

namespace zel::run {

extern const char* const kSeparator;
extern const char* const kEngineVersionText;

enum FormatMode : int32_t { FormatReadable = 1, FormatRecord = 2, FormatResetNumbers = 3 };

// Adds the message in the given mode; returns 1 when lines were added (or the numbers reset),
// 0 when the message has no store, no sink was given, or wrapping failed.
int formatMessage(SingleMsgStore& message, LineSink* sink, int32_t mode, int32_t lineLength,
                  bool listingFlag);

// Cuts text into pieces of at most lineLength characters at blanks or tabs; false for a line
// length below 1.
bool wrapText(const std::string& text, int32_t lineLength, std::vector<std::string>& pieces);

// Everything the writers need to know of the run.
struct OutputContext {
    const RunOptions* options = nullptr;
    MsgStore* store = nullptr;
    bool recordMode = false;
    std::string inputName;  // job string 8000
    std::string outputName; // job string 8001
    int64_t byteSize = 0;
    bool inputIsFile = false; // the input name names a file whose date can be shown
    const DocumentLines* document = nullptr;
    int32_t statistics[kRunStatisticCount] = {0, 0, 0, 0, 0, 0, 0};
    int32_t entityCount = 0;
    int32_t openingTagEntries = 0;
    int32_t closingTagCount = 0;
    int32_t programsRun = 0;
    int32_t lastLineReached = 0;
    double elapsedSeconds = 0.0;
};

void writeOutputHeader(const OutputContext& ctx, LineSink& sink);
// Appends the decimal digits of n, right-aligned in at least width places: the listings write one
// for every line or item, where a formatted print costs more than the rest of the item's work.
void appendNumber(std::string& out, int32_t n, size_t width = 0);
enum StatisticsFlags : uint32_t {
    StatisticsBrief = 0x1, // without the entity, tag, closing-tag and HTML-comment lines
};
void writeStatistics(const OutputContext& ctx, LineSink& sink, uint32_t flags);
void writeMessages(const OutputContext& ctx, LineSink& sink);
// Lists document lines from..to (1-based, inclusive) after an empty line; 0 when out of range.
int listLines(const OutputContext& ctx, LineSink& sink, int32_t from, int32_t to);
// Appends the log entry when logging is on; 1 written or not asked for, 0 when the file failed.
int writeLogEntry(const OutputContext& ctx);

// Counts the statistics derive from the structure of the run.
int32_t tagCount(const OutputContext& ctx);
int32_t linesChecked(const OutputContext& ctx);

} // namespace zel::run
