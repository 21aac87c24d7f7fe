// The validation run's walk over the document: the scanner that cuts it into text runs and tags,
// the handling of declarations, comments and server blocks, and the end-of-document checks.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/ResultClass.h"
#include "engine/checks/CheckRun.h"
#include "engine/checks/EntityChecks.h"
#include "engine/checks/StructureChecks.h"
#include "engine/checks/TagChecks.h"
#include "engine/run/DateTime.h"
#include "engine/run/MessageIds.h"
#include "engine/run/OutputWriter.h"
#include "engine/run/ProgressWindow.h"
#include "engine/run/TagCountStore.h"
#include "engine/run/ValidateArgs.h"
#include "engine/utils/CharClasses.h"

namespace zel::run {

namespace {

using chars::isBlank;

bool startsWith(const std::string& s, size_t pos, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return s.size() >= pos + n && s.compare(pos, n, prefix) == 0;
}

bool startsWithCaseBlind(const std::string& s, size_t pos, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (s.size() < pos + n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(s[pos + i]), b = static_cast<unsigned char>(prefix[i]);
        if (std::toupper(a) != std::toupper(b))
            return false;
    }
    return true;
}

// Characters that stop a run of plain characters, one table for each place in the walk.
struct StopTable {
    bool stops[256] = {};
    constexpr explicit StopTable(const char* chars) {
        for (; *chars; ++chars)
            stops[static_cast<unsigned char>(*chars)] = true;
    }
};
constexpr StopTable kTextStops("<>\"&"); // text between tags
constexpr StopTable kTagStops("<>\"'&"); // a tag outside quoted values
constexpr StopTable kMarkupStops("<>");  // comments, server blocks, instructions

// The first position at or after pos whose character stops the run, or the line's end.
size_t skipTo(const std::string& line, size_t pos, const StopTable& table) {
    const char* s = line.data();
    const size_t n = line.size();
    while (pos < n && !table.stops[static_cast<unsigned char>(s[pos])])
        ++pos;
    return pos;
}

MsgLocation msgLoc(const Loc& l, int32_t length = -1) {
    MsgLocation m;
    m.line = l.line;
    m.character = l.character;
    m.length = length;
    return m;
}

// Cuts the document into text runs and tags.
class Scanner {
public:
    explicit Scanner(ValidateArgsClass& args) : a_(args), lines_(args.input.lines) {}

    // The next piece, or false at the end of the document.
    bool next(Piece& out);
    int32_t lineIndex() const { return static_cast<int32_t>(li_); }

private:
    enum class TagKind { Undecided, Ordinary, Comment, Server, Instruction, Hash };

    void emit(int32_t id, size_t pos) {
        MsgLocation l;
        l.line = static_cast<int32_t>(li_) + 1;
        l.character = static_cast<int32_t>(pos) + 1;
        a_.emitter.addMessage(id, &l);
    }
    void startTag(size_t pos) {
        tag_.clear();
        tag_.isTag = true;
        tag_.start = Loc{static_cast<int32_t>(li_) + 1, static_cast<int32_t>(pos) + 1};
        kind_ = TagKind::Undecided;
        stretch_ = 0;
        inTag_ = true;
    }
    void addTagChar(char c, size_t pos) {
        tag_.text += c;
        tag_.locs.push_back(Loc{static_cast<int32_t>(li_) + 1, static_cast<int32_t>(pos) + 1});
    }
    // The characters [from, to) of the line, added to the tag at once.
    void addTagChars(const std::string& line, size_t from, size_t to) {
        tag_.text.append(line, from, to - from);
        const size_t first = tag_.locs.size();
        tag_.locs.resize(first + (to - from));
        const int32_t lineNo = static_cast<int32_t>(li_) + 1;
        for (size_t i = from; i < to; ++i)
            tag_.locs[first + (i - from)] = Loc{lineNo, static_cast<int32_t>(i) + 1};
    }
    const RunOptions& o() const { return a_.runOptions; }
    // The file's NUL character on the line just loaded, when it held one.
    void reportNul() {
        const std::vector<FileStore::Position>& nuls = lines_.nulCharacters();
        while (nextNul_ < nuls.size() && nuls[nextNul_].line < static_cast<int32_t>(li_) + 1)
            ++nextNul_;
        if (nextNul_ < nuls.size() && nuls[nextNul_].line == static_cast<int32_t>(li_) + 1) {
            MsgLocation l{nuls[nextNul_].line, nuls[nextNul_].character, 1};
            a_.emitter.addMessage(msg::NulCharacter, &l);
        }
    }
    bool scanTag(const std::string& line, Piece& out);
    bool finishTag(size_t pos, Piece& out);

    ValidateArgsClass& a_;
    const DocumentLines& lines_;
    std::string line_; // the line being read
    size_t loadedLine_ = static_cast<size_t>(-1);
    size_t currentLength_ = 0;  // of the line in line_
    size_t previousLength_ = 0; // of the line before it
    size_t li_ = 0;
    size_t pos_ = 0;
    bool inTag_ = false;
    bool lineStarted_ = false; // the current line has contributed to the piece being built
    TagKind kind_ = TagKind::Undecided;
    size_t bodyStart_ = 0; // where the tag's text begins after leading blanks
    char stretch_ = 0;     // '"', '\'', 'M' Miva macro, 'S' server block, 'P' PHP block
    Loc stretchStart_;
    Piece text_;
    Piece tag_;
    bool quoteReported_ = false;
    bool finished_ = false;
    size_t nextNul_ = 0;
};

bool Scanner::next(Piece& out) {
    if (finished_)
        return false;
    while (li_ < lines_.size()) {
        // The line is copied once, not for every piece it gives: a page served on one line
        // would otherwise cost time in the square of its length.
        if (loadedLine_ != li_) {
            line_.assign(lines_[li_]);
            previousLength_ = currentLength_;
            currentLength_ = line_.size();
            loadedLine_ = li_;
            reportNul();
        }
        const std::string& line = line_;
        const int32_t lineNo = static_cast<int32_t>(li_) + 1;
        if (pos_ == 0 && !lineStarted_) {
            lineStarted_ = true;
            quoteReported_ = false;
            // A piece that goes on from the line before is joined to it with one blank.
            if (li_ > 0 && inTag_) {
                tag_.text += ' ';
                tag_.locs.push_back(Loc{lineNo - 1, static_cast<int32_t>(previousLength_) + 1});
            } else if (li_ > 0 && !text_.text.empty()) {
                text_.text += ' ';
            }
        }
        if (!inTag_) {
            bool tagStarts = false;
            while (pos_ < line.size()) {
                // Most characters of a text run only join it: taken a run at a time.
                const size_t plain = skipTo(line, pos_, kTextStops);
                if (plain > pos_) {
                    if (text_.text.empty())
                        text_.start = Loc{lineNo, static_cast<int32_t>(pos_) + 1};
                    text_.text.append(line, pos_, plain - pos_);
                    pos_ = plain;
                    if (pos_ == line.size())
                        break;
                }
                const char c = line[pos_];
                if (c == '<') {
                    tagStarts = true;
                    break;
                }
                if (c == '>') {
                    if (!a_.ignoring)
                        emit(msg::GreaterThanWithoutTag, pos_);
                } else if (c == '"') {
                    if (!o().entity(ef::AllowDoubleQuote) && !a_.ignoring && !quoteReported_) {
                        emit(msg::QuoteOutsideTag, pos_);
                        quoteReported_ = true;
                    }
                } else if (c == '&' && o().entity(ef::ValidateEntities) && !a_.ignoring &&
                           !(o().validator(vf::MivaMacros) && pos_ + 1 < line.size() &&
                             line[pos_ + 1] == '[')) {
                    if (text_.text.empty())
                        text_.start = Loc{lineNo, static_cast<int32_t>(pos_) + 1};
                    // Without a configuration (the walk's own tests) nothing is checked.
                    checks::CheckRun* run = checks::checkRun(a_);
                    size_t resume = run ? checks::scanEntity(*run, line, pos_, lineNo) : pos_ + 1;
                    if (resume <= pos_)
                        resume = pos_ + 1;
                    if (resume > line.size())
                        resume = line.size();
                    text_.text.append(line, pos_, resume - pos_);
                    pos_ = resume;
                    continue;
                }
                if (text_.text.empty())
                    text_.start = Loc{lineNo, static_cast<int32_t>(pos_) + 1};
                text_.text += c;
                ++pos_;
            }
            if (!tagStarts) {
                ++li_;
                pos_ = 0;
                lineStarted_ = false;
                continue;
            }
            const bool haveText = !text_.text.empty();
            if (haveText)
                out.swap(text_);
            text_.clear();
            startTag(pos_++);
            if (haveText)
                return true;
        }
        if (scanTag(line, out))
            return true;
        if ((stretch_ == '"' || stretch_ == '\'' || stretch_ == 'M') &&
            !o().validator(vf::AllowMultiLineQuotes) && !a_.ignoring) {
            MsgLocation l = msgLoc(stretchStart_);
            a_.emitter.addMessage(msg::EndOfLineInQuote, &l);
        }
        ++li_;
        pos_ = 0;
        lineStarted_ = false;
    }
    finished_ = true;
    if (inTag_) {
        inTag_ = false;
        MsgLocation l = msgLoc(tag_.start);
        if (stretch_ == '"' || stretch_ == '\'' || stretch_ == 'M')
            a_.emitter.addMessage(msg::EndOfDocumentInQuote, &l);
        else
            a_.emitter.addMessage(msg::EndOfDocumentInTag, &l);
        return false;
    }
    if (!text_.text.empty()) {
        out.swap(text_);
        text_.clear();
        return true;
    }
    return false;
}

bool Scanner::finishTag(size_t pos, Piece& out) {
    tag_.end = Loc{static_cast<int32_t>(li_) + 1, static_cast<int32_t>(pos) + 1};
    pos_ = pos + 1;
    inTag_ = false;
    // Swapped, not moved: the piece handed out last gives its buffers back for the next one, so
    // a tag's text and locations are not grown from nothing again for every tag.
    out.swap(tag_);
    tag_.clear();
    return true;
}

bool Scanner::scanTag(const std::string& line, Piece& out) {
    while (pos_ < line.size()) {
        const char c = line[pos_];
        if (kind_ == TagKind::Undecided) {
            if (isBlank(c)) {
                addTagChar(c, pos_++);
                continue;
            }
            bodyStart_ = tag_.text.size();
            if (startsWith(line, pos_, "!--"))
                kind_ = TagKind::Comment;
            else if (c == '%' && o().validator(vf::IgnoreTextInPercents))
                kind_ = TagKind::Server;
            else if (c == '?')
                kind_ = TagKind::Instruction;
            else if (startsWith(line, pos_, "##"))
                kind_ = TagKind::Hash;
            else
                kind_ = TagKind::Ordinary;
        }
        if (kind_ != TagKind::Ordinary) {
            // Closed only by its own marker, which may not overlap the opening one.
            const char* tail = kind_ == TagKind::Comment       ? "--"
                               : kind_ == TagKind::Server      ? "%"
                               : kind_ == TagKind::Instruction ? "?"
                                                               : "##";
            const size_t opening = kind_ == TagKind::Comment ? 3 : kind_ == TagKind::Hash ? 2 : 1;
            const size_t tailLen = std::strlen(tail);
            if (c != '>' && c != '<') {
                // Only '>' can end it and only '<' and '>' are looked at: the rest at once.
                const size_t plain = skipTo(line, pos_, kMarkupStops);
                addTagChars(line, pos_, plain);
                pos_ = plain;
                continue;
            }
            const size_t body = tag_.text.size() - bodyStart_;
            if (c == '>' && body >= opening + tailLen &&
                tag_.text.compare(tag_.text.size() - tailLen, tailLen, tail) == 0)
                return finishTag(pos_, out);
            if (kind_ == TagKind::Comment && o().output(of::ShowCommentWarnings) && !a_.ignoring) {
                if (c == '<')
                    emit(msg::LessThanInComment, pos_);
                else if (c == '>')
                    emit(msg::GreaterThanInComment, pos_);
            }
            addTagChar(c, pos_++);
            continue;
        }
        if (stretch_ == '"' || stretch_ == '\'') {
            // A quoted value ends only at its own quote.
            const size_t quote = line.find(stretch_, pos_);
            const size_t plain = quote == std::string::npos ? line.size() : quote;
            if (plain > pos_) {
                addTagChars(line, pos_, plain);
                pos_ = plain;
                continue;
            }
        }
        if (stretch_ != 0) {
            const bool closesTwo = (stretch_ == 'S' && c == '%') || (stretch_ == 'P' && c == '?');
            const bool closes = (stretch_ == c && (c == '"' || c == '\'')) || (stretch_ == 'M' && c == ']') ||
                                (closesTwo && pos_ + 1 < line.size() && line[pos_ + 1] == '>');
            addTagChar(c, pos_++);
            if (closes) {
                if (closesTwo)
                    addTagChar(line[pos_], pos_), ++pos_;
                stretch_ = 0;
            }
            continue;
        }
        if (!a_.ignoring) {
            const char next = pos_ + 1 < line.size() ? line[pos_ + 1] : '\0';
            char opens = 0;
            if (c == '"' || c == '\'')
                opens = c;
            else if (c == '&' && next == '[' && o().validator(vf::MivaMacros))
                opens = 'M';
            else if (c == '<' && next == '%' && o().validator(vf::IgnoreTextInPercents))
                opens = 'S';
            else if (c == '<' && next == '?' && o().validator(vf::PHPBlocks))
                opens = 'P';
            if (opens) {
                stretch_ = opens;
                stretchStart_ = Loc{static_cast<int32_t>(li_) + 1, static_cast<int32_t>(pos_) + 1};
                addTagChar(c, pos_++);
                if (opens != c)
                    addTagChar(line[pos_], pos_), ++pos_;
                continue;
            }
        }
        if (c == '>')
            return finishTag(pos_, out);
        if (c == '<') {
            if (!a_.ignoring)
                emit(msg::LessThanInTag, pos_);
            startTag(pos_++);
            continue;
        }
        // Up to the next character that can open a stretch or end the tag, nothing is decided.
        const size_t plain = std::max(skipTo(line, pos_, kTagStops), pos_ + 1);
        addTagChars(line, pos_, plain);
        pos_ = plain;
    }
    return false;
}

// The structure listing's form as the output options ask for it.
int32_t listingFlags(const RunOptions& o) {
    int32_t flags = 0;
    if (o.output(of::ShowEntities))
        flags |= checks::ListEntities;
    if (o.output(of::UseCompactForm))
        flags |= checks::ListCompact;
    if (o.output(of::ShowLineNumbers))
        flags |= checks::ListLineNumbers;
    return flags;
}

} // namespace

int collapseBlocks(Piece& p, const char* open, const char* close, const char* replacement, int flags) {
    const size_t openLen = std::strlen(open), closeLen = std::strlen(close),
                 replLen = std::strlen(replacement);
    if (!openLen || !closeLen)
        return 0;
    int count = 0;
    size_t from = 0;
    while (true) {
        size_t at = p.text.find(open, from);
        if (at == std::string::npos)
            break;
        if (((flags & StrStoreEx::SkipEmptyBlock) && startsWith(p.text, at + openLen, close)) ||
            ((flags & StrStoreEx::SkipXmlDeclaration) && startsWith(p.text, at + openLen, "xml"))) {
            from = at + openLen + ((flags & StrStoreEx::SkipEmptyBlock) ? closeLen : 0);
            continue;
        }
        const size_t closeAt = p.text.find(close, at + openLen);
        if (closeAt == std::string::npos)
            break;
        const size_t endAt = closeAt + closeLen;
        const Loc where = p.locs[at];
        p.text.replace(at, endAt - at, replacement);
        p.locs.erase(p.locs.begin() + static_cast<std::ptrdiff_t>(at),
                     p.locs.begin() + static_cast<std::ptrdiff_t>(endAt));
        p.locs.insert(p.locs.begin() + static_cast<std::ptrdiff_t>(at), replLen, where);
        ++count;
        from = at + replLen;
    }
    return count;
}

namespace {

bool isCfmlExtension(const std::string& ext) {
    return lstrcmpiA(ext.c_str(), "cfm") == 0 || lstrcmpiA(ext.c_str(), "cfml") == 0;
}

// True when the closing tag text (after "/" and blanks) names the awaited element and nothing else.
bool closesIgnored(const std::string& text, const std::string& name) {
    size_t i = 1;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (!startsWithCaseBlind(text, i, name.c_str()))
        return false;
    i += name.size();
    return i == text.size() || isBlank(text[i]);
}

void outputContext(const ValidateArgsClass& a, OutputContext& ctx) {
    ctx.options = &a.runOptions;
    ctx.store = a.store;
    ctx.recordMode = (a.input.jobFlags & ZEL_JOB_RECORDMODE) != 0;
    ctx.inputName = a.input.inputName;
    ctx.outputName = a.input.outputName;
    ctx.byteSize = a.input.byteSize;
    ctx.inputIsFile = a.input.inputIsFile;
    ctx.document = &a.input.lines;
    for (int i = 0; i < kRunStatisticCount; ++i)
        ctx.statistics[i] = a.statistics[i];
    ctx.entityCount = a.structure.countOf(EntryEntity);
    ctx.openingTagEntries = a.structure.countOf(EntryOpeningTag);
    ctx.closingTagCount = a.structure.countOf(EntryClosingTag);
    ctx.programsRun = a.interpreter.counters.value(0);
    ctx.lastLineReached = a.lastLineReached;
    ctx.elapsedSeconds = a.elapsed;
}

// Lines are 8-bit texts ended by a NUL: of a page of two or four bytes a character they keep the
// byte-order mark and at most one character a line, nothing that could be checked. (A file in
// such a form was decoded when it was loaded.)
bool wideFormInLines(const DocumentLines& lines) {
    if (lines.empty() || lines.readFromFile())
        return false;
    const std::string_view first = lines[0];
    return first.starts_with("\xFF\xFE") || first.starts_with("\xFE\xFF");
}

std::string plural(int32_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void endOfDocumentChecks(ValidateArgsClass& a) {
    MessageEmitter& e = a.emitter;
    MsgStore& store = *a.store;
    const int32_t lines = static_cast<int32_t>(a.input.lines.size());
    const bool errorLimit = store.errorLimitReached(), warningLimit = store.warningLimitReached();
    if (errorLimit)
        e.addMessage(msg::TooManyErrors);
    if (warningLimit)
        e.addMessage(msg::TooManyWarnings);
    a.limitReached = errorLimit || warningLimit;
    if (a.ignoring)
        a.statistics[StatLinesIgnored] += a.lastLineReached - a.ignoreStartLine + 1;
    if (a.runOptions.validator(vf::CheckHighASCII)) {
        for (int32_t i = 0; i < lines; ++i) {
            const std::string_view l = a.input.lines[static_cast<size_t>(i)];
            for (size_t c = 0; c < l.size(); ++c) {
                if (static_cast<unsigned char>(l[c]) > 127) {
                    MsgLocation at{i + 1, static_cast<int32_t>(c) + 1, 1};
                    e.addMessage(msg::HighCharacters, &at);
                    break;
                }
            }
        }
    }
    if (!a.limitReached) {
        if (a.ignoring) {
            e.pieceLocation = MsgLocation{a.ignoreTagLine, -1, -1};
            e.addMessage(msg::EndOfDocumentBeforeClosingTag, nullptr, a.ignoreName.c_str(), nullptr,
                         a.ignoreTagLine);
        }
        for (int32_t i = 0; i < a.structure.count(); ++i) {
            const StructureEntry& entry = *a.structure.entry(i);
            if (entry.kind != EntryOpeningTag || entry.inactive || entry.closed)
                continue;
            const int32_t rule = entry.closingRule;
            MsgLocation at{entry.line, entry.character, -1};
            if (rule == 0)
                e.addMessage(msg::ElementNotClosed, &at, entry.text.c_str());
            else if (a.runOptions.validator(vf::RequireQuickClose) && !entry.quickClose)
                e.addMessage(rule == 2 ? msg::QuickCloseRequired : msg::QuickCloseOrClosingTagRequired, &at,
                             entry.text.c_str());
        }
    }
    a.ignoring = false;
}

} // namespace

int validate(ValidateArgsClass& a) {
    if (!a.store)
        return -2;
    RunOptions& o = a.runOptions;
    MessageEmitter& e = a.emitter;
    o.validatorFlags &= ~vf::CFML;
    if (isCfmlExtension(a.input.extension))
        o.validatorFlags |= vf::CFML;
    a.jobType = a.input.jobType;
    // The checks' state points into the structure store: the two start again together.
    a.structure.reset();
    a.checkState.reset();

    LineBuffer scratch;
    LineSink& out = a.output1 ? *a.output1 : scratch;
    {
        OutputContext ctx;
        outputContext(a, ctx);
        writeOutputHeader(ctx, out);
    }

    Scanner scanner(a);
    const int32_t lineCount = static_cast<int32_t>(a.input.lines.size());
    const bool unreadable = wideFormInLines(a.input.lines);
    if (unreadable) {
        MsgLocation at{1, 1, 2};
        e.addMessage(msg::WideFormInLines, &at);
    }
    while (!unreadable) {
        if (a.store->errorLimitReached() || a.store->warningLimitReached())
            break;
        if (!scanner.next(a.piece))
            break;
        stepProgressWindow(a.input.progress, scanner.lineIndex(), lineCount);
        const ErrorStore& failure =
            a.results && a.results->errors.number() != 0 ? a.results->errors : a.internalErrors;
        if (failure.number() != 0) {
            a.errors.set(failure.number(), failure.text().getString());
            a.lastLineReached = std::min(scanner.lineIndex() + 1, lineCount);
            return -2;
        }
        Piece& p = a.piece;
        if (!p.isTag) {
            e.pieceLocation = msgLoc(p.start);
            a.structure.add(EntryText, p.text, p.start.line, p.start.character);
            continue;
        }
        const int32_t length = p.start.line == p.end.line ? p.end.character - p.start.character + 1 : -1;
        e.pieceLocation = msgLoc(p.start, length);
        e.tagStartLocation = msgLoc(p.start);

        const bool rawBlank = !p.text.empty() && isBlank(p.text[0]);
        if (o.validator(vf::IgnoreTextInPercents)) {
            const int n = collapseBlocks(p, "<%", "%>", o.validator(vf::CollapseASP) ? "ASP" : "", 0);
            a.statistics[StatServerSections] += n;
        }
        if (o.validator(vf::PHPBlocks) &&
            collapseBlocks(p, "<?", "?>", "PHP", StrStoreEx::SkipXmlDeclaration) > 0)
            e.addHint(msg::HintPhpCollapsed);
        if (o.validator(vf::MivaMacros) && collapseBlocks(p, "&[", "]", "MIVA", 0) > 0)
            e.addHint(msg::HintMacroCollapsed);
        if (o.validator(vf::CFML))
            collapseBlocks(p, "#", "#", "CxF", StrStoreEx::SkipEmptyBlock);

        size_t lead = 0;
        while (lead < p.text.size() && isBlank(p.text[lead]))
            ++lead;
        if (lead) {
            p.text.erase(0, lead);
            p.locs.erase(p.locs.begin(), p.locs.begin() + static_cast<std::ptrdiff_t>(lead));
        }
        const std::string& t = p.text;

        if (a.ignoring) {
            if (t.empty() || t[0] != '/') {
                a.structure.add(EntryIgnored, t, p.start.line, p.start.character);
                continue;
            }
            if (!closesIgnored(t, a.ignoreName))
                continue;
            a.statistics[StatLinesIgnored] += p.start.line - a.ignoreStartLine + 1;
            a.ignoring = false;
        }
        if (t.empty()) {
            e.addMessage(msg::EmptyTagBlock);
            continue;
        }
        if (rawBlank)
            e.addMessage(msg::SpacesAfterTagStart, &e.tagStartLocation);
        if (t[0] == '!') {
            a.structure.add(EntryDeclaration, t, p.start.line, p.start.character);
            if (startsWithCaseBlind(t, 0, "!DOCTYPE")) {
                ++a.statistics[StatDoctypes];
                if (a.tagsSeen > 0 || a.statistics[StatDoctypes] > 1)
                    e.addMessage(msg::ExtraDoctype);
            } else {
                if (o.validator(vf::StrictComments) && !startsWith(t, 0, "!--"))
                    e.addMessage(msg::BadCommentForm);
                ++a.statistics[StatComments];
            }
            continue;
        }
        if (t[0] == '?') {
            if (startsWith(t, 0, "?xml ")) {
                ++a.statistics[StatXmlDeclarations];
                if (a.tagsSeen > 0 || a.statistics[StatDoctypes] > 0 || a.statistics[StatXmlDeclarations] > 1)
                    e.addMessage(msg::ExtraXmlDeclaration);
            }
            continue;
        }
        if (t[0] == '%' && o.validator(vf::IgnoreTextInPercents)) {
            ++a.statistics[StatServerSections];
            continue;
        }
        if (startsWith(t, 0, "##"))
            continue;
        if (isBlank(t.back()) && !o.validator(vf::AllowSpacesAroundTags)) {
            MsgLocation at = msgLoc(p.end);
            e.addMessage(msg::SpacesBeforeTagEnd, &at);
        }
        ++a.tagsSeen;
        checks::CheckRun* run = checks::checkRun(a); // none without a configuration: nothing to check
        if (run && t[0] == '/' && !checks::validateCloseTag(*run)) {
            a.errors.set(99091201, "validateCloseTag() failed");
            return -3;
        }
        if (run && t[0] != '/' && !checks::validateTag(*run)) {
            a.errors.set(99091202, "validateTag() failed");
            return -4;
        }
    }
    a.lastLineReached = std::min(scanner.lineIndex() + 1, lineCount);
    if (lineCount == 0)
        a.lastLineReached = 0;

    endOfDocumentChecks(a);
    if (a.results && a.results->tagCounts)
        countTags(a.structure, *a.results->tagCounts);
    a.elapsed = elapsedSeconds(a.startTime, currentLocalTime());
    if (a.elapsed < 0)
        a.elapsed = 0.0;

    MsgStore& store = *a.store;
    const std::string summary =
        plural(store.errorCount(), "error") + ", " + plural(store.warningCount(), "warning") + ", " +
        plural(store.messageCount(), "message") + ", " + plural(store.commentCount() + 1, "comment") + ".";
    e.addHint(msg::HintSummary, summary.c_str());

    OutputContext ctx;
    outputContext(a, ctx);
    writeMessages(ctx, out);
    writeStatistics(ctx, out, 0);
    if (ctx.recordMode) {
        out.addLine("ENDOFFILE=YES", false);
    } else if (o.output(of::ShowDocumentStructure)) {
        checks::writeStructureListing(a.structure, out, listingFlags(o));
    }
    if ((a.input.jobFlags & ZEL_JOB_LISTINGTOSTORE2) && a.output2)
        checks::writeStructureListing(a.structure, *a.output2, listingFlags(o) | checks::ListSecondStore);
    writeLogEntry(ctx);
    return 0;
}

} // namespace zel::run
