#include "controls/foundation/LogFile.h"

#include <cstdio>

#include "controls/foundation/PathUtils.h"
#include "controls/foundation/ProgramInfo.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/SysUtils.h"

TWriteLogEvent WriteLogEvent;

void WriteToLog(const std::string& Value) {
    if (WriteLogEvent)
        WriteLogEvent(Value);
}

void MapLogFileToWriteln() {
    WriteLogEvent = [](const std::string& Value) {
        std::fwrite(Value.data(), 1, Value.size(), stdout);
        std::fputs("\n", stdout);
    };
}

std::string GetLogDataFileName() {
    const std::string Folder = AppFolder() + "LOGS\\";
    CreateAllDirectories(Folder, nullptr);
    return Folder + GUIDToString(CreateNewGUID()) + ".log";
}
