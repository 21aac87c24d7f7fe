#include "engine/run/MsgStore.h"

#include "engine/run/MessageIds.h"

#include <algorithm>
#include <cctype>

namespace zel::run {

namespace {

// Reads a decimal number at p; returns the position after it, or nullptr when there is none.
const char* readNumber(const char* p, int32_t& value) {
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return nullptr;
    int64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        if (v < 0x7FFFFFFF)
            v = v * 10 + (*p - '0');
        ++p;
    }
    value = static_cast<int32_t>(std::min<int64_t>(v, 0x7FFFFFFF));
    return p;
}

} // namespace

void SingleMsgStore::setText(const std::string& text) {
    text_ = text;
    leadingNumber1 = -1;
    leadingNumber2 = -1;
    const char* p = text_.c_str();
    if (*p != '[')
        return;
    int32_t n = 0;
    const char* q = readNumber(p + 1, n);
    if (!q)
        return;
    leadingNumber1 = n;
    if (q[0] == ']' && q[1] && std::isspace(static_cast<unsigned char>(q[1])) && q[2] == '[') {
        int32_t m = 0;
        if (readNumber(q + 3, m))
            leadingNumber2 = m;
    }
}

void MsgStore::resetOutputNumbers() {
    for (int32_t& n : outputNumbers)
        n = 0;
}

void MsgStore::reset() {
    warningLimit_ = errorLimit_ = false;
    messages_ = warnings_ = errors_ = comments_ = 0;
    resetOutputNumbers();
    firstWord_ = -1;
    shown_.clear();
    commentIds_.clear();
    warningArguments_.clear();
    dropped_ = 0;
    firstErrorLine_ = firstWarningLine_ = 0;
}

bool MsgStore::sortsBefore(const SingleMsgStore& a, const SingleMsgStore& b) {
    const bool ac = a.kind == KindComment, bc = b.kind == KindComment;
    if (ac != bc)
        return bc;
    if (ac)
        return a.runningNumber < b.runningNumber;
    if (a.location.line != b.location.line)
        return a.location.line < b.location.line;
    const bool am = a.kind == KindMessage, bm = b.kind == KindMessage;
    if (am != bm)
        return bm;
    const bool ap = a.location.hasCharacter(), bp = b.location.hasCharacter();
    if (ap != bp)
        return ap;
    if (ap)
        return a.location.character < b.location.character;
    return false;
}

int MsgStore::add(std::unique_ptr<SingleMsgStore> record) {
    if (!record)
        return 0;
    if (!record->owner)
        record->owner = this;
    static const RunOptions kDefaults;
    const RunOptions& o = options_ ? *options_ : kDefaults;

    bool keep = false;
    const int32_t kind = record->kind;
    if (kind == KindMessage) {
        keep = o.output(of::ShowMessages);
        if (keep)
            ++messages_;
    } else if (isWarningKind(kind)) {
        keep = o.output(of::ShowWarnings);
        if (keep) {
            ++warnings_;
            if (warnings_ > o.maximumWarnings) {
                --warnings_;
                keep = false;
                warningLimit_ = true;
            }
        }
    } else if (isErrorKind(kind)) {
        keep = true;
        ++errors_;
        if (errors_ > o.maximumErrors && record->id != msg::TooManyErrors &&
            record->id != msg::TooManyWarnings) {
            --errors_;
            keep = false;
            errorLimit_ = true;
        }
    } else if (kind == KindComment) {
        ++comments_;
        keep = o.output(of::ShowComments);
    }

    if (!keep) {
        ++dropped_;
        return 1;
    }
    try {
        const int32_t line = record->location.line;
        if (line > 0) {
            if (isErrorKind(kind) && (firstErrorLine_ == 0 || line < firstErrorLine_))
                firstErrorLine_ = line;
            if (isWarningKind(kind) && (firstWarningLine_ == 0 || line < firstWarningLine_))
                firstWarningLine_ = line;
        }
        // Equal records keep their arrival order.
        auto at =
            std::upper_bound(shown_.begin(), shown_.end(), record,
                             [](const std::unique_ptr<SingleMsgStore>& a,
                                const std::unique_ptr<SingleMsgStore>& b) { return sortsBefore(*a, *b); });
        if (kind == KindComment)
            commentIds_.insert(record->id);
        else if (isWarningKind(kind))
            warningArguments_.insert(std::to_string(record->id) + ":" + record->argument);
        shown_.insert(at, std::move(record));
        return 1;
    } catch (...) {
        return 0;
    }
}

bool MsgStore::dropsAtLimit(int32_t kind, int32_t id) const {
    if (isErrorKind(kind))
        return errorLimit_ && id != msg::TooManyErrors && id != msg::TooManyWarnings;
    return isWarningKind(kind) && warningLimit_;
}

bool MsgStore::hasCommentWithId(int32_t id) const {
    return commentIds_.count(id) != 0;
}

bool MsgStore::hasWarningWithArgument(int32_t id, const std::string& argument) const {
    return warningArguments_.count(std::to_string(id) + ":" + argument) != 0;
}

} // namespace zel::run
