#pragma once
// Turns message ids and their arguments into records of the run's message store.

#include <cstdint>
#include <string>

#include "engine/run/MsgStore.h"

namespace zel::run {

class MessageEmitter {
public:
    MsgStore* store = nullptr;
    const RunOptions* options = nullptr;
    // Where errors and warnings without a location of their own are reported.
    MsgLocation pieceLocation;
    // Where tag-start warnings and tag-line errors are reported.
    MsgLocation tagStartLocation;
    // Replacement text for message 109 when the run holds one.
    std::string replacement109;
    // Prefix of message 112 (a configuration string; empty when the configuration has none).
    std::string prepend112;
    // Column of the message texts in use; also picks the language of "{ENGLISH: ...}" texts.
    int32_t language = 0;
    // The record emitted last (owned by the store), or nullptr.
    const SingleMsgStore* current = nullptr;

    // Emits catalogue message id. Returns 1, or 0 when the id has no case (an internal error
    // message is emitted instead) or the repeat filter suppressed it.
    int addMessage(int32_t id, const MsgLocation* location = nullptr, const char* arg1 = nullptr,
                   const char* arg2 = nullptr, int32_t number = 0);
    // Emits hint id (a comment). arg is the container name of 216 and the text of 226.
    int addHint(int32_t id, const char* arg = nullptr);

private:
    void place(SingleMsgStore& record, int32_t kind, const MsgLocation* location) const;
    int32_t nextRunningNumber(int32_t kind) const;
};

} // namespace zel::run
