#pragma once
// What the exported interface asks of the stores that other parts of the engine build: the
// configuration store (engine/config) and the message store, tag-count store, validation state
// and progress window (engine/run). Each library defines its own group.

#include <windows.h>

#include <cstdint>

class CfgStore;
class ConfigClass;
namespace zel::run {
class MsgStore;
class TagCountStore;
class ValidateArgsClass;
} // namespace zel::run

// --- configuration store ---------------------------------------------------------------------
void deleteCfgStore(CfgStore* store);
CfgStore* newCfgStore(ConfigClass& options); // NULL when it cannot be made
int32_t cfgStoreItemCount(const CfgStore& store);
int32_t cfgStoreFlagWord(const CfgStore& store);
void cfgStoreOrFlagWord(CfgStore& store, int32_t bits);
const char* cfgStoreHeaderString(const CfgStore& store, int32_t n); // NULL outside 0-9
const char* cfgStoreItem(const CfgStore& store, int32_t i);         // NULL without such item

// --- results of a validation run -------------------------------------------------------------
void deleteMsgStore(zel::run::MsgStore* store);
void deleteTagCountStore(zel::run::TagCountStore* store);
void deleteValidateArgs(zel::run::ValidateArgsClass* state);

enum class MessageCount { Errors, Warnings, Records, Messages, Comments };
int32_t msgStoreCount(const zel::run::MsgStore& store, MessageCount which);

// One shown message as the getters see it; texts stay valid while the store is unchanged.
struct MessageView {
    int32_t kind = -1; // 1 error, 2 warning, 3 comment, 4 message; anything else is reported as -2
    int32_t line = -1;
    int32_t character = -1;
    int32_t length = -1;
    int32_t runningNumber = -1;
    int32_t leadingNumber1 = -1;
    int32_t styleFlags = -1;
    int32_t leadingNumber2 = -1;
    const char* text = nullptr;
    const char* text2 = nullptr;
};
// index counts from 1 over the shown list; false outside 1..count.
bool msgStoreMessage(const zel::run::MsgStore& store, int32_t index, MessageView& out);
// Sets line and second line of message index's location; nothing outside 1..count.
void msgStoreSetMessageLine(zel::run::MsgStore& store, int32_t index, int32_t line);

int32_t tagCountRows(const zel::run::TagCountStore& store);
const char* tagCountName(const zel::run::TagCountStore& store, int32_t row); // NULL for a bad row
// which: 1 open, 2 close, 3 the third count; false for a bad row.
bool tagCountValue(const zel::run::TagCountStore& store, int32_t row, int32_t which, int32_t& value);
// The count of row i selected by flag 1, 2 or 4; false for a bad row.
bool tagCountByFlag(const zel::run::TagCountStore& store, int32_t row, int32_t flag, int32_t& value);

int32_t symbolValueCount(const zel::run::ValidateArgsClass& state, int32_t symbol); // -1 no symbol
const char* symbolValue(const zel::run::ValidateArgsClass& state, int32_t symbol, int32_t value);
int32_t symbolIndex(const zel::run::ValidateArgsClass& state, const char* name); // -1 not found

// --- progress window -------------------------------------------------------------------------
// Option 4004: 0 hides the window; other values show it (bit 2 resets caption and bar, bit 4
// forces it when the general flag 0x40 is set).
void progressWindowSet(ConfigClass& options, int32_t value);
void progressWindowHide();    // 16006
void progressWindowDestroy(); // library detach
