#pragma once
// The one home of the option defaults: the options object, a run's copy of the options and the
// registry code all start from these.

#include <cstdint>

namespace zel::defaults {

constexpr uint32_t LoggingFlags = 0x1FFF4; // 1006
// 1002: double quotation marks in text, entity checks, and character references to any
// Unicode character, decimal and hexadecimal, as every HTML since 4.0 allows.
constexpr uint32_t EntityFlags = 0x3FFE000F;
constexpr uint32_t OutputFlags = 0x3FE0076B;       // 1001
constexpr uint32_t Switches500 = 0x7FFFFFFF;       // switches 500-529
constexpr uint32_t ValidatorFlags = 0x3F01E317;    // 1000
constexpr uint32_t ValidatorFlags250 = 0x3FFF8000; // 1021
constexpr uint32_t FurtherFlags = 0x3FFF8001;      // 1022
constexpr uint32_t SwitchWord = 0x7FFFFFFF;        // switches 1-180, six words
constexpr int32_t LineLength = 60;
constexpr int32_t MaximumErrors = 20;
constexpr int32_t MaximumWarnings = 20;
constexpr int32_t FurtherInteger = 50;
constexpr uint32_t ToolsFlags = 32767; // 1005
constexpr int32_t ConvertToolFileType = 1;
constexpr uint32_t GeneralFlags = 0x3FFC0005; // 1003
constexpr uint32_t NetworkFlags = 32766;      // 1004
constexpr int32_t NetworkNumber = 30;
constexpr int32_t NetworkNumber2 = 15;
constexpr int32_t ProgressBarLeft = 10;
constexpr int32_t ProgressBarTop = 10;
constexpr const char* DateFormat = "ddd',' MMM dd yyyy";
constexpr const char* TimeFormat = "hh':'mm':'ss tt";
constexpr const char* OutputViewer = "notepad.exe";

} // namespace zel::defaults
