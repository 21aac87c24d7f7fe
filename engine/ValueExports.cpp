// The typed Get/Set families: each value of an options, job or results object and the engine's
// global values is named by an identifier. Checks run in the order value pointer, handle, object
// kind, identifier.
#include "engine/EngineContext.h"
#include "engine/EngineStores.h"
#include "engine/ExportGuard.h"
#include "engine/ValueTables.h"
#include "engine/include/ZelValidator.h"

#include <span>

using namespace zel::values;

namespace {

// Code of a wrong identifier by the kind of object it was asked of.
int32_t badIdentifier(const char* function, int32_t kind) {
    return ZELError(kind == ZEL_KIND_OPTIONS ? -3 : kind == ZEL_KIND_JOB ? -4 : -5, function, kBadIdentifier);
}

bool validKind(const ValidatorBaseClass* object) {
    return object->kind == ZEL_KIND_OPTIONS || object->kind == ZEL_KIND_JOB ||
           object->kind == ZEL_KIND_RESULTS;
}

// ---- Finding a row --------------------------------------------------------------------------------

// The object of a handle and the row of an identifier for its kind that has the wanted function;
// without a row, code is what the export answers.
template <typename Row> struct Found {
    Object* object = nullptr;
    const Row* row = nullptr;
    int32_t code = 0;
};

template <typename Row, typename Function>
Found<Row> findRow(const char* fn, int32_t handle, int32_t id, std::span<const Row> rows,
                   Function Row::*function) {
    Found<Row> found;
    found.object = handleObject(handle);
    if (!found.object) {
        found.code = ZELError(-2, fn, kBadHandle);
        return found;
    }
    if (!validKind(found.object)) {
        found.code = -1;
        return found;
    }
    for (const Row& row : rows)
        if (row.id == id && row.kind == found.object->kind && row.*function) {
            found.row = &row;
            return found;
        }
    found.code = badIdentifier(fn, found.object->kind);
    return found;
}

int32_t getFlag(int32_t handle, int32_t id, int32_t mask) {
    auto found = findRow("ZELGetFlag", handle, id, flagRows(), &FlagRow::getFlag);
    return found.row ? found.row->getFlag(*found.object, mask) : found.code;
}

int32_t setFlag(int32_t handle, int32_t id, int32_t mask, int32_t value) {
    auto found = findRow("ZELSetFlag", handle, id, flagRows(), &FlagRow::setFlag);
    return found.row ? found.row->setFlag(*found.object, mask, value) : found.code;
}

int32_t getInteger(int32_t handle, int32_t id, int32_t* value) {
    const char* fn = "ZELGetInteger";
    if (!value)
        return ZELError(-6, fn, kNullPointer);
    *value = -1;
    auto found = findRow(fn, handle, id, valueRows(), &ValueRow::getInteger);
    return found.row ? found.row->getInteger(*found.object, *value) : found.code;
}

int32_t setInteger(int32_t handle, int32_t id, int32_t value) {
    auto found = findRow("ZELSetInteger", handle, id, valueRows(), &ValueRow::setInteger);
    return found.row ? found.row->setInteger(*found.object, value) : found.code;
}

const char* getString(int32_t handle, int32_t id) {
    auto found = findRow("ZELGetString", handle, id, valueRows(), &ValueRow::getString);
    return found.row ? found.row->getString(*found.object) : nullptr;
}

int32_t setString(int32_t handle, int32_t id, const char* text) {
    auto found = findRow("ZELSetString", handle, id, valueRows(), &ValueRow::setString);
    return found.row ? found.row->setString(*found.object, text) : found.code;
}

int32_t getInteger2(int32_t handle, int32_t id, int32_t index, int32_t* value) {
    const char* fn = "ZELGetInteger2";
    if (!value)
        return ZELError(-8, fn, kNullPointer);
    *value = -1;
    auto found = findRow(fn, handle, id, indexedRows(), &IndexedRow::getInteger);
    return found.row ? found.row->getInteger(*found.object, index, *value) : found.code;
}

int32_t setInteger2(int32_t handle, int32_t id, int32_t index, int32_t value) {
    auto found = findRow("ZELSetInteger2", handle, id, indexedRows(), &IndexedRow::setInteger);
    return found.row ? found.row->setInteger(*found.object, index, value) : found.code;
}

const char* getString2(int32_t handle, int32_t id, int32_t index) {
    auto found = findRow("ZELGetString2", handle, id, indexedRows(), &IndexedRow::getString);
    return found.row ? found.row->getString(*found.object, index) : nullptr;
}

int32_t getInteger4(int32_t handle, int32_t id, const char* name, int32_t* value) {
    const char* fn = "ZELGetInteger4";
    if (!value)
        return ZELError(-7, fn, kNullPointer);
    *value = -1;
    auto found = findRow(fn, handle, id, symbolRows(), &SymbolRow::getInteger);
    return found.row ? found.row->getInteger(*found.object, name, *value) : found.code;
}

const char* getString4(int32_t handle, int32_t id, int32_t symbol, int32_t valueIndex) {
    auto found = findRow("ZELGetString4", handle, id, symbolRows(), &SymbolRow::getString);
    return found.row ? found.row->getString(*found.object, symbol, valueIndex) : nullptr;
}

const char* getString6(int32_t id, int32_t argument) {
    const char* fn = "ZELGetString6";
    if (id == ZELID_MSGTYPESTRING) {
        static const char* const names[] = {"Error", "Warning", "Comment", "Message"};
        if (argument >= 1 && argument <= 4)
            return names[argument - 1];
        ZELErrorMessage(-2, fn, "bad arg (message type) for ZELMSGTYPESTRING");
        return nullptr;
    }
    if (id == ZELID_MSGSTYLESTRING) {
        static StrStore buffer(8);
        buffer.assign((argument & 1) ? "[CSS]" : "");
        return buffer.getString();
    }
    ZELError(-3, fn, kBadIdentifier);
    return nullptr;
}

// Identifier families that hold no values: every call is a wrong identifier.
int32_t noValues(const char* function, int32_t code, int32_t* value, int32_t nullCode) {
    if (value == nullptr && nullCode)
        return ZELError(nullCode, function, kNullPointer);
    if (value)
        *value = -1;
    return ZELError(code, function, kBadIdentifier);
}

template <typename Fn> int32_t ez(Fn&& pointerForm) {
    int32_t value = -1;
    int32_t code = pointerForm(&value);
    return code < 0 ? code : value;
}

} // namespace

extern "C" {

int32_t ZELAPI ZELGetFlag(int32_t handle, int32_t identifier, int32_t mask) {
    return exportBody("ZELGetFlag", -1, [&] { return getFlag(handle, identifier, mask); });
}

int32_t ZELAPI ZELSetFlag(int32_t handle, int32_t identifier, int32_t mask, int32_t value) {
    return exportBody("ZELSetFlag", -1, [&] { return setFlag(handle, identifier, mask, value); });
}

int32_t ZELAPI ZELGetFlag2(int32_t identifier, int32_t mask) {
    return exportBody("ZELGetFlag2", -1, [&] {
        if (identifier != ZELID_GLOBAL_FLAGS)
            return ZELError(-3, "ZELGetFlag2", kBadIdentifier);
        return (engineContext().globalFlags & static_cast<uint32_t>(mask)) ? 1 : 0;
    });
}

int32_t ZELAPI ZELSetFlag2(int32_t identifier, int32_t mask, int32_t value) {
    return exportBody("ZELSetFlag2", -1, [&] {
        if (identifier != ZELID_GLOBAL_FLAGS)
            return ZELError(-3, "ZELSetFlag2", kBadIdentifier);
        applyBits(engineContext().globalFlags, static_cast<uint32_t>(mask), value);
        return 0;
    });
}

int32_t ZELAPI ZELGetInteger(int32_t handle, int32_t identifier, int32_t* value) {
    return exportBody("ZELGetInteger", -1, [&] { return getInteger(handle, identifier, value); });
}

int32_t ZELAPI ZELGetIntegerEZ(int32_t handle, int32_t identifier) {
    return ez([&](int32_t* v) { return ZELGetInteger(handle, identifier, v); });
}

int32_t ZELAPI ZELGetInteger2(int32_t handle, int32_t identifier, int32_t index, int32_t* value) {
    return exportBody("ZELGetInteger2", -1, [&] { return getInteger2(handle, identifier, index, value); });
}

int32_t ZELAPI ZELGetInteger2EZ(int32_t handle, int32_t identifier, int32_t index) {
    return ez([&](int32_t* v) { return ZELGetInteger2(handle, identifier, index, v); });
}

int32_t ZELAPI ZELGetInteger3(int32_t identifier, int32_t* value) {
    return exportBody("ZELGetInteger3", -1, [&] {
        if (!value)
            return ZELError(-4, "ZELGetInteger3", kNullPointer);
        *value = -1;
        if (identifier != ZELID_VERSION)
            return ZELError(-3, "ZELGetInteger3", kBadIdentifier);
        *value = ZEL_ENGINE_VERSION;
        return 0;
    });
}

int32_t ZELAPI ZELGetInteger3EZ(int32_t identifier) {
    return ez([&](int32_t* v) { return ZELGetInteger3(identifier, v); });
}

int32_t ZELAPI ZELGetInteger4(int32_t handle, int32_t identifier, const char* name, int32_t* value) {
    return exportBody("ZELGetInteger4", -1, [&] { return getInteger4(handle, identifier, name, value); });
}

int32_t ZELAPI ZELGetInteger4EZ(int32_t handle, int32_t identifier, const char* name) {
    return ez([&](int32_t* v) { return ZELGetInteger4(handle, identifier, name, v); });
}

int32_t ZELAPI ZELGetInteger5(int32_t, int32_t, int32_t, int32_t, int32_t* value) {
    return exportBody("ZELGetInteger5", -3, [&] { return noValues("ZELGetInteger5", -3, value, -4); });
}

int32_t ZELAPI ZELGetInteger5EZ(int32_t handle, int32_t identifier, int32_t index1, int32_t index2) {
    return ez([&](int32_t* v) { return ZELGetInteger5(handle, identifier, index1, index2, v); });
}

int32_t ZELAPI ZELGetInteger6(int32_t, int32_t, const char*, int32_t, int32_t* value) {
    return exportBody("ZELGetInteger6", -3, [&] { return noValues("ZELGetInteger6", -3, value, -4); });
}

int32_t ZELAPI ZELGetInteger6EZ(int32_t handle, int32_t identifier, const char* name, int32_t index) {
    return ez([&](int32_t* v) { return ZELGetInteger6(handle, identifier, name, index, v); });
}

int32_t ZELAPI ZELSetInteger(int32_t handle, int32_t identifier, int32_t value) {
    return exportBody("ZELSetInteger", -1, [&] { return setInteger(handle, identifier, value); });
}

int32_t ZELAPI ZELSetInteger2(int32_t handle, int32_t identifier, int32_t index, int32_t value) {
    return exportBody("ZELSetInteger2", -1, [&] { return setInteger2(handle, identifier, index, value); });
}

int32_t ZELAPI ZELSetInteger3(int32_t identifier, int32_t value) {
    return exportBody("ZELSetInteger3", -1, [&] {
        if (identifier != ZELID_HIDEPROGRESS)
            return ZELError(-3, "ZELSetInteger3", kBadIdentifier);
        if (value)
            progressWindowHide();
        return 0;
    });
}

int32_t ZELAPI ZELSetInteger6(int32_t, int32_t, const char*, int32_t, int32_t) {
    return exportBody("ZELSetInteger6", -3, [&] { return ZELError(-3, "ZELSetInteger6", kBadIdentifier); });
}

int32_t ZELAPI ZELSetPointer(int32_t, int32_t, void*) {
    return exportBody("ZELSetPointer", -3, [&] { return ZELError(-3, "ZELSetPointer", kBadIdentifier); });
}

const char* ZELAPI ZELGetString(int32_t handle, int32_t identifier) {
    return exportBody<const char*>("ZELGetString", nullptr, [&] { return getString(handle, identifier); });
}

const char* ZELAPI ZELGetString2(int32_t handle, int32_t identifier, int32_t index) {
    return exportBody<const char*>("ZELGetString2", nullptr,
                                   [&] { return getString2(handle, identifier, index); });
}

const char* ZELAPI ZELGetString3(int32_t identifier) {
    return exportBody<const char*>("ZELGetString3", nullptr, [&]() -> const char* {
        if (identifier == ZELID_VERSIONTEXT)
            return "3.0000";
        if (identifier == ZELID_VERSIONTEXTSHORT)
            return "3.00";
        ZELError(-3, "ZELGetString3", kBadIdentifier);
        return nullptr;
    });
}

const char* ZELAPI ZELGetString4(int32_t handle, int32_t identifier, int32_t symbolIndex,
                                 int32_t valueIndex) {
    return exportBody<const char*>("ZELGetString4", nullptr,
                                   [&] { return getString4(handle, identifier, symbolIndex, valueIndex); });
}

const char* ZELAPI ZELGetString5(int32_t, int32_t, int32_t, int32_t) {
    return exportBody<const char*>("ZELGetString5", nullptr, [&]() -> const char* {
        ZELError(-3, "ZELGetString5", kBadIdentifier);
        return nullptr;
    });
}

const char* ZELAPI ZELGetString6(int32_t identifier, int32_t argument) {
    return exportBody<const char*>("ZELGetString6", nullptr,
                                   [&] { return getString6(identifier, argument); });
}

int32_t ZELAPI ZELSetString(int32_t handle, int32_t identifier, const char* text) {
    return exportBody("ZELSetString", -1, [&] { return setString(handle, identifier, text); });
}

int32_t ZELAPI ZELSetString3(int32_t, int32_t, int32_t, const char*) {
    return exportBody("ZELSetString3", -2, [&] { return ZELError(-2, "ZELSetString3", kBadIdentifier); });
}

int32_t ZELAPI ZELSetString7(int32_t, int32_t, int32_t, int32_t, const char*) {
    return exportBody("ZELSetString7", -2, [&] { return ZELError(-2, "ZELSetString7", kBadIdentifier); });
}

} // extern "C"
