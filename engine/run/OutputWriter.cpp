#include "engine/run/OutputWriter.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "engine/run/DateTime.h"
#include "engine/run/RunBoxes.h"

namespace zel::run {

const char* const kSeparator = "\n--------------------------------------------------\n";
const char* const kEngineVersionText = "3.00";

namespace {

template <typename... A> std::string fmt(const char* pattern, A... args) {
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return n < 0 ? std::string()
                 : std::string(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

std::string locationText(const MsgLocation& l) {
    std::string text;
    appendNumber(text, l.line);
    if (l.hasCharacter()) {
        text.push_back(':');
        appendNumber(text, l.character);
    }
    return text;
}

bool addWrapped(LineSink& sink, const std::string& text, int32_t lineLength) {
    std::vector<std::string> pieces;
    if (!wrapText(text, lineLength, pieces))
        return false;
    for (const std::string& p : pieces)
        sink.addLine(p, false);
    return true;
}

// The listing's line for a document line, into line (a buffer the caller keeps from line to line).
const std::string& listingLine(int32_t number, std::string_view text, std::string& line) {
    line.clear();
    appendNumber(line, number, 4);
    line.append(": ").append(text.data(), text.size());
    return line;
}

std::string listingLine(int32_t number, std::string_view text) {
    std::string line;
    line.reserve(text.size() + 8);
    return listingLine(number, text, line);
}

const RunOptions& optionsOf(const OutputContext& ctx) {
    static const RunOptions kDefaults;
    return ctx.options ? *ctx.options : kDefaults;
}

int32_t documentLines(const OutputContext& ctx) {
    return ctx.document ? static_cast<int32_t>(ctx.document->size()) : 0;
}

} // namespace

bool wrapText(const std::string& text, int32_t lineLength, std::vector<std::string>& pieces) {
    if (lineLength < 1)
        return false;
    const size_t len = static_cast<size_t>(lineLength);
    size_t start = 0;
    do {
        if (text.size() - start <= len) {
            pieces.push_back(text.substr(start));
            break;
        }
        size_t cut = std::string::npos;
        for (size_t i = start + len; i > start; --i) {
            if (text[i] == ' ' || text[i] == '\t') {
                cut = i;
                break;
            }
        }
        if (cut == std::string::npos) {
            pieces.push_back(text.substr(start, len));
            start += len;
        } else {
            pieces.push_back(text.substr(start, cut - start));
            start = cut + 1;
        }
    } while (start < text.size());
    return true;
}

int formatMessage(SingleMsgStore& message, LineSink* sink, int32_t mode, int32_t lineLength,
                  bool listingFlag) {
    MsgStore* store = message.owner;
    if (!store)
        return 0;
    if (mode == FormatResetNumbers) {
        store->resetOutputNumbers();
        return 1;
    }
    if (!sink || (mode != FormatReadable && mode != FormatRecord))
        return 0;
    const MsgLocation& loc = message.location;
    const int32_t kind = message.kind;

    if (mode == FormatRecord) {
        const char* type = isErrorKind(kind)     ? "ERROR"
                           : isWarningKind(kind) ? "WARNING"
                           : kind == KindComment ? "COMMENT"
                                                 : "MESSAGE";
        sink->addLine(std::string("MESSAGETYPE=") + type, false);
        sink->addLine(fmt("MESSAGENUMBER=%d", message.runningNumber), false);
        if (kind != KindComment && loc.hasLine()) {
            sink->addLine(fmt("LINENUMBER=%d", loc.line), false);
            if (loc.hasCharacter()) {
                sink->addLine(fmt("CHARLOCATION=%d", loc.character), false);
                if (loc.hasLength())
                    sink->addLine(fmt("CHARLOCATIONLENGTH=%d", loc.length), false);
            }
        }
        sink->addLine("MESSAGE=" + message.text(), false);
        return 1;
    }

    if (lineLength < 1)
        return 0;
    if (listingFlag && loc.hasCharacter()) {
        std::string marker(static_cast<size_t>(loc.character) + 5, '-');
        marker += '|';
        if (loc.hasLength())
            marker.append(static_cast<size_t>(loc.length - 1), '|');
        sink->addLine(marker, false);
    }
    sink->addLine("", false);
    const std::string where = locationText(loc);
    std::string header;
    int32_t* numbers = store->outputNumbers;
    switch (kind) {
    case KindErrorAt:
    case KindErrorOther:
        ++numbers[0];
        header = loc.hasLine() ? fmt("[ZEL] Error number %d in line ", numbers[0]) + where + ":"
                               : fmt("[ZEL] Error number %d:", numbers[0]);
        break;
    case KindErrorTagLine:
        ++numbers[0];
        header = fmt("[ZEL] Error number %d for the tag beginning in line ", numbers[0]) + where + ":";
        break;
    case KindWarningAt:
        ++numbers[1];
        header = loc.hasLine() ? fmt("[ZEL] Warning number %d in line ", numbers[1]) + where + ":"
                               : fmt("[ZEL] Warning number %d:", numbers[1]);
        break;
    case KindWarningTagStart:
        ++numbers[1];
        header = fmt("[ZEL] Warning number %d for the tag beginning in line ", numbers[1]) + where + ":";
        break;
    case KindComment:
        ++numbers[2];
        header = fmt("[ZEL] Comment number %d:", numbers[2]);
        break;
    default:
        ++numbers[3];
        header = loc.hasLine()
                     ? fmt("[ZEL] Message number %d for the tag beginning in line ", numbers[3]) + where + ":"
                     : fmt("[ZEL] Message number %d:", numbers[3]);
        break;
    }
    if (!addWrapped(*sink, header, lineLength))
        return 0;
    if (!addWrapped(*sink, message.text(), lineLength))
        return 0;
    return 1;
}

void writeOutputHeader(const OutputContext& ctx, LineSink& sink) {
    if (ctx.recordMode) {
        sink.addLine("VALIDATOR=ZEL Orvalent Lite\n\n", false);
        sink.addLine(std::string("VERSION=") + kEngineVersionText, false);
        sink.addLine("FILENAME=" + ctx.inputName, false);
        sink.addLine(fmt("BYTESIZE=%lld", static_cast<long long>(ctx.byteSize)), false);
        return;
    }
    sink.addLine(kSeparator, false);
    sink.addLine("", false);
    sink.addLine(std::string("ZEL Orvalent Lite v") + kEngineVersionText + "\n", false);
    sink.addLine("Checking \"" + ctx.inputName + "\"" +
                     fmt(" (%lld bytes).\n", static_cast<long long>(ctx.byteSize)),
                 false);
    if (ctx.inputIsFile) {
        std::string date, time;
        if (fileDateTimeText(ctx.inputName, date, time) >= 0)
            sink.addLine("File date is " + date + " at " + time + ".\n", false);
    }
    sink.addLine("File checked on " + currentDateText() + " at " + currentTimeText() + ".", true);
    sink.addLine("\n\n", false);
}

int32_t tagCount(const OutputContext& ctx) {
    return ctx.openingTagEntries - ctx.statistics[StatUncountedTags];
}

int32_t linesChecked(const OutputContext& ctx) {
    return ctx.lastLineReached - ctx.statistics[StatLinesIgnored];
}

void writeStatistics(const OutputContext& ctx, LineSink& sink, uint32_t flags) {
    const RunOptions& o = optionsOf(ctx);
    MsgStore* store = ctx.store;
    const int32_t errors = store ? store->errorCount() : 0;
    const int32_t warnings = store ? store->warningCount() : 0;
    const int32_t comments = store ? store->commentCount() : 0;
    const int32_t messages = store ? store->messageCount() : 0;
    const int32_t lines = documentLines(ctx);
    const int32_t checked = linesChecked(ctx);
    const int32_t tags = tagCount(ctx);
    if (tags < 0)
        showRunBox("An internal error occurred: the number of tags is negative. Please report this problem.",
                   "Orvalent: Negative");
    const bool brief = (flags & StatisticsBrief) != 0;
    const bool entities = o.entity(ef::ValidateEntities);
    const bool server = o.validator(vf::IgnoreTextInPercents);

    if (ctx.recordMode) {
        size_t longest = 0;
        for (size_t i = 0; store && i < store->shownCount(); ++i)
            longest = std::max(longest, store->shown(i)->text().size());
        sink.addLine(fmt("LINESCHECKED=%d", checked), false);
        if (lines > 0)
            sink.addLine(fmt("PERCENTLINESCHECKED=%4.1f", checked * 100.0 / lines), false);
        sink.addLine(fmt("LINESINFILE=%d", lines), false);
        sink.addLine(fmt("LINESIGNORED=%d", ctx.statistics[StatLinesIgnored]), false);
        if (!brief) {
            if (entities)
                sink.addLine(fmt("NUMBEROFENTITIES=%d", ctx.entityCount), false);
            sink.addLine(fmt("NUMBEROFTAGNAMES=%d", tags), false);
            sink.addLine(fmt("NUMBEROFCLOSINGTAGS=%d", ctx.closingTagCount), false);
            if (tags != 0)
                sink.addLine(fmt("PERCENTCLOSED=%4.1f", ctx.closingTagCount * 100.0 / tags), false);
        }
        if (server)
            sink.addLine(fmt("SERVERSECTIONS=%d", ctx.statistics[StatServerSections]), false);
        if (!brief)
            sink.addLine(fmt("NUMBEROFHTMLCOMMENTS=%d", ctx.statistics[StatComments]), false);
        sink.addLine(fmt("NUMBEROFVALIDATORCOMMENTS=%d", comments), false);
        sink.addLine(fmt("NUMBEROFMESSAGES=%d", messages), false);
        sink.addLine(fmt("NUMBEROFERRORS=%d", errors), false);
        sink.addLine(fmt("NUMBEROFWARNINGS=%d", warnings), false);
        sink.addLine(fmt("MAXMESSAGECHARS=%d", static_cast<int32_t>(longest)), false);
        return;
    }

    if (errors == 0 && warnings == 0)
        sink.addLine("[ZEL] No errors or warnings were detected!\n\n", false);
    sink.addLine(fmt("     Number of lines checked: %d in %.2f seconds", checked, ctx.elapsedSeconds), false);
    sink.addLine(fmt("      Number of programs run: %d", ctx.programsRun), false);
    sink.addLine(fmt(" Number of lines in document: %d", lines), true);
    sink.addLine(lines > 0 ? fmt(" (%4.1f%% of lines checked)\n", checked * 100.0 / lines) : std::string(),
                 false);
    sink.addLine(fmt("     Number of lines ignored: %d\n", ctx.statistics[StatLinesIgnored]), false);
    if (!brief) {
        if (entities)
            sink.addLine(fmt("Number of character entities: %d\n", ctx.entityCount), false);
        sink.addLine(fmt("              Number of tags: %d\n", tags), false);
        sink.addLine(fmt("      Number of closing tags: %d", ctx.closingTagCount), true);
        sink.addLine(tags != 0 ? fmt(" (%4.1f%% of tags closed)\n", ctx.closingTagCount * 100.0 / tags)
                               : std::string(),
                     false);
    }
    if (server)
        sink.addLine(fmt("Number of <%% ... %%> sections: %d\n", ctx.statistics[StatServerSections]), false);
    if (!brief)
        sink.addLine(fmt("     Number of HTML comments: %d\n\n", ctx.statistics[StatComments]), false);
    sink.addLine(fmt("Number of validator comments: %d\n", comments), false);
    sink.addLine(fmt("          Number of messages: %d\n", messages), false);
    sink.addLine(fmt("            Number of errors: %d", errors), true);
    if (store && store->firstErrorLine() > 0)
        sink.addLine(fmt(" (first in line %d)", store->firstErrorLine()), true);
    sink.addLine(fmt("\n          Number of warnings: %d", warnings), true);
    if (store && store->firstWarningLine() > 0)
        sink.addLine(fmt(" (first in line %d)", store->firstWarningLine()), true);
    sink.addLine("", false);
    sink.addLine(kSeparator, false);
}

int listLines(const OutputContext& ctx, LineSink& sink, int32_t from, int32_t to) {
    if (!(1 <= from && from <= to && to <= documentLines(ctx)))
        return 0;
    sink.addLine("", false);
    std::string line;
    for (int32_t i = from; i <= to; ++i)
        sink.addLine(listingLine(i, (*ctx.document)[static_cast<size_t>(i - 1)], line), false);
    return 1;
}

namespace {

// A message's line is listed again above each message on it, with a marker line under it. On a
// long line with many messages that is the line again and again, so the lines listed again and
// their markers may fill this many times the document's size (past a first allowance); further
// messages then stand without their line.
constexpr int64_t kRepeatedListingFactor = 4;
constexpr int64_t kRepeatedListingAllowance = 64 * 1024;
const char* const kRepeatedListingEnded =
    "[ZEL] Lines are not listed again above the following messages: the lines listed again have "
    "reached four times the size of the document.";

} // namespace

void writeMessages(const OutputContext& ctx, LineSink& sink) {
    const RunOptions& o = optionsOf(ctx);
    MsgStore* store = ctx.store;
    if (!store)
        return;
    const int32_t lines = documentLines(ctx);
    const bool listing = !ctx.recordMode && o.output(of::IncludeHTML);
    const bool wholeFirst = listing && o.output(of::ShowMessagesAtBottom);
    const bool piecewise = listing && !wholeFirst;
    if (wholeFirst) {
        listLines(ctx, sink, 1, lines);
        sink.addLine(kSeparator, false);
    }
    store->resetOutputNumbers();
    int32_t listed = 0;
    bool repeatsEnded = false;
    int64_t repeatRoom =
        kRepeatedListingFactor * std::max<int64_t>(ctx.byteSize, 0) + kRepeatedListingAllowance;
    for (size_t i = 0; i < store->shownCount(); ++i) {
        SingleMsgStore& m = *store->shown(i);
        if (ctx.recordMode) {
            formatMessage(m, &sink, FormatRecord, o.lineLength, false);
            continue;
        }
        bool marked = piecewise;
        if (piecewise) {
            if (m.kind == KindComment) {
                if (listLines(ctx, sink, listed + 1, lines))
                    listed = lines;
            } else if (m.location.hasLine() && m.location.line <= lines) {
                const int32_t line = m.location.line;
                listLines(ctx, sink, listed + 1, line - 1);
                // A line listed for the first time is part of the document's listing; only a
                // line listed again, and the marker under it, spends the room for repeats.
                int64_t cost = 0;
                if (line <= listed) {
                    cost = static_cast<int64_t>((*ctx.document)[static_cast<size_t>(line - 1)].size()) + 8;
                    if (m.location.hasCharacter())
                        cost += int64_t{m.location.character} + std::max(m.location.length, 1) + 6;
                }
                if (cost <= repeatRoom) {
                    repeatRoom -= cost;
                    listLines(ctx, sink, line, line);
                    listed = std::max(listed, line);
                } else {
                    marked = false;
                    if (!repeatsEnded) {
                        repeatsEnded = true;
                        sink.addLine("", false);
                        addWrapped(sink, kRepeatedListingEnded, o.lineLength);
                    }
                }
            }
        }
        formatMessage(m, &sink, FormatReadable, o.lineLength, marked);
    }
    if (piecewise)
        listLines(ctx, sink, listed + 1, lines);
    if (!ctx.recordMode)
        sink.addLine(kSeparator, false);
}

int writeLogEntry(const OutputContext& ctx) {
    const RunOptions& o = optionsOf(ctx);
    if (!o.logging(lf::EnableLogging))
        return 1;
    MsgStore* store = ctx.store;
    LineBuffer log;
    log.addLine(kSeparator, false);
    log.addLine("", false);
    const int32_t errors = store ? store->errorCount() : 0;
    const int32_t warnings = store ? store->warningCount() : 0;
    if (errors > 0 || warnings > 0)
        log.addLine("*** This document contains errors and/or warnings. ***\n\n", false);
    log.addLine("Val Date: " + currentDateText() + "\n", false);
    log.addLine("Val Time: " + currentTimeText() + "\n", false);
    log.addLine("Document: " + ctx.inputName + "\n", false);
    if (ctx.inputIsFile) {
        std::string date, time;
        if (fileDateTimeText(ctx.inputName, date, time) > 0)
            log.addLine("Doc Date: " + date + "\nDoc Time: " + time + "\n", false);
    }
    if (!ctx.outputName.empty())
        log.addLine("  Output: " + ctx.outputName + "\n", false);
    log.addLine(fmt("   Lines: %d\n", documentLines(ctx)), false);
    log.addLine(fmt("  Errors: %d\n", errors), false);
    log.addLine(fmt("Warnings: %d\n", warnings), false);
    log.addLine(fmt("Comments: %d\n", store ? store->commentCount() : 0), false);
    log.addLine(fmt("Messages: %d\n", store ? store->messageCount() : 0), false);
    const bool logErrors = o.logging(lf::LogErrorMessages), logWarnings = o.logging(lf::LogWarningMessages);
    if (store && (logErrors || logWarnings)) {
        store->resetOutputNumbers();
        int32_t lastListed = 0;
        for (size_t i = 0; i < store->shownCount(); ++i) {
            SingleMsgStore& m = *store->shown(i);
            if (!((logErrors && isErrorKind(m.kind)) || (logWarnings && isWarningKind(m.kind))))
                continue;
            const int32_t line = m.location.line;
            if (o.logging(lf::IncludeHTMLInLog) && line != lastListed && line >= 1 &&
                line <= documentLines(ctx)) {
                log.addLine(listingLine(line, (*ctx.document)[static_cast<size_t>(line - 1)]), false);
                lastListed = line;
            }
            formatMessage(m, &log, FormatReadable, o.lineLength, false);
        }
    }
    const std::string text = log.joined("\r\n");
    HANDLE h = CreateFileA(o.logFileName.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = h != INVALID_HANDLE_VALUE;
    if (ok) {
        DWORD written = 0;
        ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
             written == text.size();
        CloseHandle(h);
    }
    if (!ok) {
        showRunBox(kLogFileBoxText, kLogFileBoxCaption);
        return 0;
    }
    return 1;
}

void appendNumber(std::string& out, int32_t n, size_t width) {
    // Written from the back of the buffer, then appended at once.
    char digits[12];
    char* first = digits + sizeof digits;
    uint32_t v = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    do {
        *--first = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (n < 0)
        *--first = '-';
    const size_t len = static_cast<size_t>(digits + sizeof digits - first);
    if (width > len)
        out.append(width - len, ' ');
    out.append(first, len);
}

} // namespace zel::run
