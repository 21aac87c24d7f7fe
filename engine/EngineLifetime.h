#pragma once
// The whole engine's start and stop, in their stated order. The library's entry point calls
// these; test programs and the fuzzer call them from their fixtures.
//
// engineLoad: the context with its semaphores and the template tool's interpreter, then the
// module and what the installer recorded in the registry (a missing entry is remembered and shown
// by the first exported call, never under the loader lock).
// engineUnload: every handle freed (each object frees what it owns), the run's progress window
// destroyed, then the context and interpreter freed.

#include <windows.h>

void engineLoad(HMODULE module);
void engineUnload();
