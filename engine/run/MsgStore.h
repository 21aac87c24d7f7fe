#pragma once
// The messages of one validation run: records, and the store that counts, filters, limits and
// orders them.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/run/MessageCatalogue.h"
#include "engine/run/RunOptions.h"

namespace zel::run {

class MsgStore;

// Line, character position and length of a message; a value of 0 or less means absent.
struct MsgLocation {
    int32_t line = -1;
    int32_t character = -1;
    int32_t length = -1;
    bool hasLine() const { return line > 0; }
    bool hasCharacter() const { return character > 0; }
    bool hasLength() const { return length > 0; }
};

class SingleMsgStore {
public:
    // Stores the text and reads its leading "[n]" and "[n] [m]" numbers.
    void setText(const std::string& text);
    const std::string& text() const { return text_; }

    std::string argument;
    std::string category;
    int32_t runningNumber = 0;
    int32_t leadingNumber1 = -1;
    int32_t leadingNumber2 = -1;
    int32_t flags = 0;
    MsgStore* owner = nullptr;
    int32_t styleFlags = 0;
    int32_t kind = KindErrorAt;
    MsgLocation location;
    int32_t id = 0;

private:
    std::string text_;
};

class MsgStore {
public:
    explicit MsgStore(const RunOptions* options = nullptr) : options_(options) {}

    // The options every test of the store reads; the run's private copy.
    void setOptions(const RunOptions* options) { options_ = options; }
    const RunOptions* options() const { return options_; }

    // Takes the record; returns 1 when it was shown or dropped, 0 when storing failed. A dropped
    // record is only counted: past a limit a long document may drop millions.
    int add(std::unique_ptr<SingleMsgStore> record);
    // True when a record of this kind and id would be dropped for a limit already reached: the
    // emitter then spares itself the record's text.
    bool dropsAtLimit(int32_t kind, int32_t id) const;
    void reset();

    bool hasCommentWithId(int32_t id) const;
    bool hasWarningWithArgument(int32_t id, const std::string& argument) const;

    // Shown records in display order; index from 0.
    size_t shownCount() const { return shown_.size(); }
    const SingleMsgStore* shown(size_t i) const { return i < shown_.size() ? shown_[i].get() : nullptr; }
    SingleMsgStore* shown(size_t i) { return i < shown_.size() ? shown_[i].get() : nullptr; }
    size_t droppedCount() const { return dropped_; }

    int32_t messageCount() const { return messages_; }
    int32_t warningCount() const { return warnings_; }
    int32_t errorCount() const { return errors_; }
    int32_t commentCount() const { return comments_; }
    bool errorLimitReached() const { return errorLimit_; }
    bool warningLimitReached() const { return warningLimit_; }
    int32_t firstErrorLine() const { return firstErrorLine_; }
    int32_t firstWarningLine() const { return firstWarningLine_; }

    // Running numbers of the readable output, counted up as the messages are written.
    int32_t outputNumbers[4] = {0, 0, 0, 0}; // errors, warnings, comments, messages
    void resetOutputNumbers();

    // Strict ordering of the shown list (true when a sorts before b).
    static bool sortsBefore(const SingleMsgStore& a, const SingleMsgStore& b);

private:
    const RunOptions* options_ = nullptr;
    std::vector<std::unique_ptr<SingleMsgStore>> shown_;
    size_t dropped_ = 0;
    // What the repeat filters ask of the shown records, kept as they are added: asking the
    // list itself would cost its length for every message.
    std::unordered_set<int32_t> commentIds_;
    std::unordered_set<std::string> warningArguments_; // id, a colon and the argument
    int32_t firstWord_ = -1;
    int32_t firstErrorLine_ = 0;
    int32_t firstWarningLine_ = 0;
    bool warningLimit_ = false;
    bool errorLimit_ = false;
    int32_t messages_ = 0;
    int32_t warnings_ = 0;
    int32_t errors_ = 0;
    int32_t comments_ = 0;
};

} // namespace zel::run
