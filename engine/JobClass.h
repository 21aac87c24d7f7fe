#pragma once
// The object behind a job handle: what one run needs.

#include "engine/ValidatorBaseClass.h"
#include "engine/include/ZelValidator.h"
#include "engine/utils/FileStore.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>

class JobClass : public ValidatorBaseClass {
public:
    JobClass() : ValidatorBaseClass(1) {}
    ~JobClass() override;
    JobClass(const JobClass&) = delete;
    JobClass& operator=(const JobClass&) = delete;

    bool isPathJob() const { return jobType >= 1 && jobType <= 5; }

    StrStore input;        // 8000: the input text or the input file's name
    StrStore outputFile;   // 8001
    FileStore paths;       // 8002 adds, 10000 reads; in file mode the input file's lines
    int32_t jobType = -1;  // 5001
    int32_t inputMode = 2; // 5000: 2 text, 1 file
    int32_t word = -1;
    uint32_t flags = ZEL_JOB_DEFAULTFLAGS; // 2000
    int32_t lineEnd = 4;                   // 5002
    int32_t jobInteger = -1;               // 5004
    int32_t inputLines = -1;               // taken when a validation starts
    HWND progressWindow = nullptr;
};
