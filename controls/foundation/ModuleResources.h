#pragma once
// Raw-data resources of the program's own module, and adding them to a module file.

#include <cstdint>
#include <string>

#include "framework/core/Win.h"

// The loaded bytes of a resource that FindResource found, and their count; nil when the module's
// entry for it or its data cannot be read as a whole (a broken module's entry may lie, or reach,
// past the mapped module). Handle, when given, receives the loaded resource's handle.
const void* ResourceBytes(HMODULE Module, HRSRC Info, uint32_t& Size, HGLOBAL* Handle = nullptr);
// Finds, loads and locks the raw-data resource Name of Module (nil: the program's own module).
// Answers the resource handle (nil when missing or not readable as a whole) with the data's
// address and size.
HGLOBAL GetResData(const std::string& Name, const void*& Data, uint32_t& Size, HMODULE Module = nullptr);
void ReleaseResData(HGLOBAL Handle);
// The whole raw-data resource as a string; empty when missing.
std::string LoadStringFromRCData(const std::string& Name, HMODULE Module = nullptr);
// Writes Data as raw-data resource Name (language 0) into the module file, keeping its other
// resources. True when the update was committed.
bool AddRCDataResource(const std::string& FileName, const std::string& Name, const void* Data, uint32_t Size);
// The whole file FileName as raw-data resource ResName of the module ModuleName. False, with the
// module untouched, when the file cannot be read as a whole or the module refuses the write.
bool AddResFromFile(const std::string& FileName, const std::string& ModuleName, const std::string& ResName);
// The characters of Text (without a terminating zero); nothing for an empty Text.
bool AddStringResource(const std::string& FileName, const std::string& Name, const std::string& Text);
