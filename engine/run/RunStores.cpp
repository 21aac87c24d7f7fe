// What the exported getters read of a run's results: message store, tag counts, the validation
// state and the progress window.
#include <windows.h>

#include "engine/ConfigClass.h"
#include "engine/EngineStores.h"
#include "engine/OptionBits.h"
#include "engine/run/MsgStore.h"
#include "engine/run/ProgressWindow.h"
#include "engine/run/StructureStore.h"
#include "engine/run/TagCountStore.h"
#include "engine/run/ValidateArgs.h"

namespace zel::run {

TagCountStore::Row& TagCountStore::row(const std::string& name) {
    std::string key = StructureStore::key(name);
    const auto found = index_.find(key);
    if (found != index_.end())
        return rows_[found->second];
    index_.emplace(std::move(key), rows_.size());
    rows_.push_back(Row{});
    rows_.back().name = name;
    return rows_.back();
}

const TagCountStore::Row* TagCountStore::rowAt(int32_t index) const {
    return index >= 1 && index <= rowCount() ? &rows_[static_cast<size_t>(index - 1)] : nullptr;
}

void countTags(const StructureStore& structure, TagCountStore& counts) {
    // The store keeps one copy of each spelling of a tag name, so its text pointer finds the row
    // again without making the key once more for every tag of the document.
    std::unordered_map<const char*, TagCountStore::Row*> rows;
    const int32_t n = structure.count();
    for (int32_t i = 0; i < n; ++i) {
        const StructureEntry* e = structure.entry(i);
        if (!e || e->text.empty())
            continue;
        const int which = e->kind == EntryOpeningTag ? 0 : e->kind == EntryClosingTag ? 1 : -1;
        if (which < 0)
            continue;
        TagCountStore::Row*& row = rows[e->text.c_str()];
        if (!row)
            row = &counts.row(e->text);
        ++row->counts[which];
    }
}

} // namespace zel::run

using zel::run::MsgStore;
using zel::run::SingleMsgStore;
using zel::run::TagCountStore;
using zel::run::ValidateArgsClass;

void deleteMsgStore(MsgStore* store) {
    delete store;
}
void deleteTagCountStore(TagCountStore* store) {
    delete store;
}
void deleteValidateArgs(ValidateArgsClass* state) {
    delete state;
}

int32_t msgStoreCount(const MsgStore& store, MessageCount which) {
    switch (which) {
    case MessageCount::Errors:
        return store.errorCount();
    case MessageCount::Warnings:
        return store.warningCount();
    case MessageCount::Records:
        return static_cast<int32_t>(store.shownCount());
    case MessageCount::Messages:
        return store.messageCount();
    case MessageCount::Comments:
        return store.commentCount();
    }
    return -1;
}

bool msgStoreMessage(const MsgStore& store, int32_t index, MessageView& out) {
    if (index < 1 || static_cast<size_t>(index) > store.shownCount())
        return false;
    const SingleMsgStore& m = *store.shown(static_cast<size_t>(index - 1));
    const int32_t type = zel::run::publicMessageType(m.kind);
    out.kind = type ? type : -2;
    out.line = m.location.line;
    out.character = m.location.character;
    out.length = m.location.length;
    out.runningNumber = m.runningNumber;
    out.leadingNumber1 = m.leadingNumber1;
    out.styleFlags = m.styleFlags;
    out.leadingNumber2 = m.leadingNumber2;
    out.text = m.text().c_str();
    out.text2 = m.category.c_str();
    return true;
}

void msgStoreSetMessageLine(MsgStore& store, int32_t index, int32_t line) {
    if (index < 1 || static_cast<size_t>(index) > store.shownCount())
        return;
    store.shown(static_cast<size_t>(index - 1))->location.line = line;
}

int32_t tagCountRows(const TagCountStore& store) {
    return store.rowCount();
}

const char* tagCountName(const TagCountStore& store, int32_t row) {
    const TagCountStore::Row* r = store.rowAt(row);
    return r ? r->name.c_str() : nullptr;
}

bool tagCountValue(const TagCountStore& store, int32_t row, int32_t which, int32_t& value) {
    const TagCountStore::Row* r = store.rowAt(row);
    if (!r || which < 1 || which > 3)
        return false;
    value = r->counts[which - 1];
    return true;
}

bool tagCountByFlag(const TagCountStore& store, int32_t row, int32_t flag, int32_t& value) {
    const TagCountStore::Row* r = store.rowAt(row);
    const int slot = flag == 1 ? 0 : flag == 2 ? 1 : flag == 4 ? 2 : -1;
    if (!r || slot < 0)
        return false;
    value = r->byFlag[slot];
    return true;
}

// The program symbols are those the run's own interpreter collected.
int32_t symbolValueCount(const ValidateArgsClass& state, int32_t symbol) {
    return state.interpreter.symbols.valueCount(symbol);
}
const char* symbolValue(const ValidateArgsClass& state, int32_t symbol, int32_t value) {
    return state.interpreter.symbols.value(symbol, value);
}
int32_t symbolIndex(const ValidateArgsClass& state, const char* name) {
    return state.interpreter.symbols.indexOf(name);
}

void progressWindowSet(ConfigClass& options, int32_t value) {
    zel::run::requestProgressWindow(value, options.window.ProgressBarLeft, options.window.ProgressBarTop,
                                    (options.general.Flags40 & zel::bits::general::NeverShowProgressBar) !=
                                        0);
}

void progressWindowHide() {
    zel::run::hideProgressWindow(1);
}

void progressWindowDestroy() {
    zel::run::destroyProgressWindow();
}
