#pragma once
// The state of one program interpreter: the template tool keeps one for the library's life,
// every validation run makes its own.

#include "engine/program/SymbolValueStore.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/IntStore.h"
#include "engine/utils/StrStoreEx.h"

#include <cstdint>

class Interpreter {
public:
    Interpreter() : counters(1, 0), work1(512), work2(512), work3(32) {}
    IntStore counters; // entry 0: programs run
    int32_t word1 = 0;
    ErrorStore errors;
    int32_t word2 = 0;
    StrStoreEx work1;
    StrStoreEx work2;
    StrStoreEx work3;
    SymbolValueStore symbols;
    int32_t word3 = 0;
};
