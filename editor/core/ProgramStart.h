#pragma once
#include <functional>
#include <string>
#include <vector>
// What start-up needs of the windows layer above it; each may be empty in tests.
struct TProgramWindows {
    std::function<void()> ShowSplash;                     // splash window, when no running copy was found
    std::function<void(const std::string&)> SplashStatus; // one status line on the splash
    std::function<void()> HideSplash;
    std::function<bool()> CreateMainForms; // main form, then the hidden message window; false: start-up ends
    std::function<void()>
        SetUpViews; // views, hot key, image lists, text styles, drop window, options form, inserter windows
    std::function<void()> DestroyForms; // shutdown frees forms first, then records, then unloads the engine
    // Added by the core: the splash's repaint between stages (may be empty).
    std::function<void()> RepaintSplash;
};
// The whole program: start-up stages, message loop, shutdown. Returns the process exit code.
// args are the words of the command line without the program name (as split by the platform's
// rules); the command line as one string is rebuilt from them, quoting words with blanks.
int ZelProgramMain(const std::vector<std::string>& args, const TProgramWindows& windows);
// The same, with the command line as the one string the platform gave (without the program name).
int ZelProgramMainLine(const std::string& commandLine, const TProgramWindows& windows);
