#pragma once
// The validator's numbered messages: their texts, kinds and the hints that go with them.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace zel::run {

// Kinds of a message record. Errors are 0-2, warnings 3-4.
enum MsgKind : int32_t {
    KindErrorAt = 0,         // error at a location (or at the current piece)
    KindErrorTagLine = 1,    // error reported for the line where the tag began
    KindErrorOther = 2,      // error of a kind this program never produces
    KindWarningAt = 3,       // warning at a location (or at the current piece)
    KindWarningTagStart = 4, // warning at the current tag's start
    KindComment = 5,
    KindMessage = 6,
};

// Public message type as the getters return it: 1 error, 2 warning, 3 comment, 4 message; 0 unknown.
int32_t publicMessageType(int32_t kind);
bool isErrorKind(int32_t kind);
bool isWarningKind(int32_t kind);

struct CatalogueEntry {
    int32_t id;
    int32_t kind;     // one of MsgKind
    int32_t hint1;    // hint emitted before the message, 0 for none
    int32_t hint2;    // second hint, 0 for none
    const char* text; // printf-like: %s and %d filled in order
};

// The catalogue case of a message id, or nullptr when the id has none.
const CatalogueEntry* findCatalogueEntry(int32_t id);

struct HintEntry {
    int32_t id;
    int32_t switchNumber; // option switch 500-525, 0 for the summary (always emitted)
    const char* text;
};

const HintEntry* findHint(int32_t id);

// Alternative text of message 53, used when strict comments are off.
extern const char* const kEndOfDocumentNoCommentText;
// Fallback texts for ids without a catalogue case.
extern const char* const kNoCaseErrorText;
extern const char* const kNoCaseWarningText;
extern const char* const kMessageTooLongText;

// Texts the tag checks build into messages 85, 86 and 67.
namespace fragments {
extern const char* const kInvalidAttributeValue;
extern const char* const kTryValue;
extern const char* const kTryValues;
extern const char* const kAttributeNotValid;
extern const char* const kNoAttributes;
extern const char* const kOnlyValidAttribute;
extern const char* const kValidAttributes;
extern const char* const kMayBeContainedIn;
extern const char* const kMayNotBeContainedIn;
extern const char* const kContainedInRefusing;
extern const char* const kNotContainedInAllowing;
extern const char* const kAnd;
extern const char* const kOr;
} // namespace fragments

// Names of the built-in attribute value kinds, in their order.
extern const char* const kValueKindNames[17];

// Box texts other parts of the engine show.
extern const char* const kNeedUpdateBoxText;
extern const char* const kNeedUpdateBoxCaption;
extern const char* const kLogFileBoxText;
extern const char* const kLogFileBoxCaption;

// Fills %s and %d of a catalogue text in order. Grows as needed, so texts from the document
// of any length are safe; missing arguments become empty (or 0).
struct FormatArg {
    bool isNumber = false;
    std::string text;
    int32_t number = 0;
    FormatArg(const std::string& s) : text(s) {}
    FormatArg(const char* s) : text(s ? s : "") {}
    FormatArg(int32_t n) : isNumber(true), number(n) {}
};
std::string formatText(const char* pattern, std::initializer_list<FormatArg> args);

} // namespace zel::run
