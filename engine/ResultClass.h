#pragma once
// The object behind a results handle: what a run produced. The message store, the tag-count store
// and the run's validation state are built by the validation run; until then they are none.

#include "engine/ValidatorBaseClass.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/FileStore.h"
#include "engine/utils/IntStore.h"

#include <cstdint>

namespace zel::run {
class MsgStore;
class TagCountStore;
class ValidateArgsClass;
} // namespace zel::run

class ResultClass : public ValidatorBaseClass {
public:
    ResultClass() : ValidatorBaseClass(2) {}
    ~ResultClass() override;
    ResultClass(const ResultClass&) = delete;
    ResultClass& operator=(const ResultClass&) = delete;

    int32_t word = -1;
    uint32_t flags = 0;                           // 3000
    FileStore lines1;                             // 9000/9001, 12000, 6002
    FileStore lines2;                             // 9002/9003, 12002, 6004
    IntStore statistics;                          // seven entries from the start of a validation run
    zel::run::TagCountStore* tagCounts = nullptr; // owned
    ErrorStore errors;
    zel::run::MsgStore* messages = nullptr; // owned
    int64_t runStart = 0;                   // the run's start time
    float elapsedSeconds = 0.0f;
    zel::run::ValidateArgsClass* validation = nullptr; // owned
};
