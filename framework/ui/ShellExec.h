#pragma once
// Starting documents and addresses with the shell, through one replaceable function so that
// tests record the request instead of starting programs.
#include <functional>
#include <string>

#include "framework/core/Win.h"

using TShellExecuteFunc =
    std::function<bool(const std::string& Verb, const std::string& File, const std::string& Parameters,
                       const std::string& Directory, int ShowCmd)>;
// Returns the function it replaces; an empty function restores the platform's.
TShellExecuteFunc SetShellExecuteFunc(TShellExecuteFunc Func);
// True when the shell accepted the request.
bool ShellExecuteSeam(const std::string& Verb, const std::string& File, const std::string& Parameters = "",
                      const std::string& Directory = "", int ShowCmd = SW_SHOWNORMAL);
