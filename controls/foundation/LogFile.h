#pragma once
// The log hook and the files of the log folder.

#include <functional>
#include <string>

#include "framework/core/Win.h"

// The log hook: nothing in the program installs one, so logging is silent.
using TWriteLogEvent = std::function<void(const std::string& Value)>;
extern TWriteLogEvent WriteLogEvent;
void WriteToLog(const std::string& Value);
// Installs a hook that writes each value and a line end to the standard output.
void MapLogFileToWriteln();
// A new name in the folder "LOGS\" under the program's folder (made when missing).
std::string GetLogDataFileName();
