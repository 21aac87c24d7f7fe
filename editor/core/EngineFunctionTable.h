#pragma once
// The editor's one way into the validation engine: 42 function pointers bound by name from the
// library loaded at start-up. Nothing of the engine is linked into the program; the header of the
// engine is included only for the function types and the value identifiers.

#include "engine/include/ZelValidator.h"

#include <windows.h>

#include <cstdint>

struct EngineFunctionTable {
    decltype(&::ZELFreeHandle) ZELFreeHandle;
    decltype(&::ZELHandle) ZELHandle;
    decltype(&::ZELGetFlag) ZELGetFlag;
    decltype(&::ZELGetFlag2) ZELGetFlag2;
    decltype(&::ZELGetInteger) ZELGetInteger;
    decltype(&::ZELGetIntegerEZ) ZELGetIntegerEZ;
    decltype(&::ZELGetInteger2) ZELGetInteger2;
    decltype(&::ZELGetInteger2EZ) ZELGetInteger2EZ;
    decltype(&::ZELGetInteger3) ZELGetInteger3;
    decltype(&::ZELGetInteger3EZ) ZELGetInteger3EZ;
    decltype(&::ZELGetInteger4) ZELGetInteger4;
    decltype(&::ZELGetInteger4EZ) ZELGetInteger4EZ;
    decltype(&::ZELGetInteger5) ZELGetInteger5;
    decltype(&::ZELGetInteger5EZ) ZELGetInteger5EZ;
    decltype(&::ZELGetInteger6) ZELGetInteger6;
    decltype(&::ZELGetInteger6EZ) ZELGetInteger6EZ;
    decltype(&::ZELGetNewHandle) ZELGetNewHandle;
    decltype(&::ZELGetNumberOfHandles) ZELGetNumberOfHandles;
    decltype(&::ZELGetString) ZELGetString;
    decltype(&::ZELGetString2) ZELGetString2;
    decltype(&::ZELGetString3) ZELGetString3;
    decltype(&::ZELGetString4) ZELGetString4;
    decltype(&::ZELGetString5) ZELGetString5;
    decltype(&::ZELGetString6) ZELGetString6;
    decltype(&::ZELHTMLConfiguration) ZELHTMLConfiguration;
    decltype(&::ZELOpenConfigurationEditor) ZELOpenConfigurationEditor;
    decltype(&::ZELOpenValidatorOptions) ZELOpenValidatorOptions;
    decltype(&::ZELReadFromRegistry) ZELReadFromRegistry;
    decltype(&::ZELRunJob) ZELRunJob;
    decltype(&::ZELSetFlag) ZELSetFlag;
    decltype(&::ZELSetFlag2) ZELSetFlag2;
    decltype(&::ZELSetInteger) ZELSetInteger;
    decltype(&::ZELSetInteger2) ZELSetInteger2;
    decltype(&::ZELSetInteger3) ZELSetInteger3;
    decltype(&::ZELSetInteger6) ZELSetInteger6;
    decltype(&::ZELSetPointer) ZELSetPointer;
    decltype(&::ZELSetString) ZELSetString;
    decltype(&::ZELSetString3) ZELSetString3;
    decltype(&::ZELSetString7) ZELSetString7;
    decltype(&::ZELSpellCheck) ZELSpellCheck;
    decltype(&::ZELSpellCheck2) ZELSpellCheck2;
    decltype(&::ZELWriteToRegistry) ZELWriteToRegistry;
};

constexpr int32_t EngineFunctionCount = 42;
static_assert(sizeof(EngineFunctionTable) == EngineFunctionCount * sizeof(void*),
              "one pointer per export, nothing else");

// The process's table; every slot is null until BindEngineFunctions and again after
// ClearEngineFunctions.
extern EngineFunctionTable Engine;

// Looks up all 42 names in the binding order (ZEL_EXPORT_NAMES) and stores every result, a null
// one too. 0 when all were found, -1 when any was missing.
int32_t BindEngineFunctions(HMODULE module);
// Forgets every slot; shutdown calls it before the library is unloaded.
void ClearEngineFunctions();
// True while every slot is bound.
bool EngineFunctionsBound();
// The slot at an index of the binding order, for checks.
void* EngineFunctionSlot(int32_t index);
