#include "editor/core/EditorMessageBox.h"

#include "framework/ui/Dialogs.h"

#include <cstdio>

namespace {

std::string logPath;
std::string questionAnswer = "yes";

std::string environment(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return {};
    return std::string(buffer, n);
}

int answerFor(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return questionAnswer == "no" ? IDNO : IDYES;
    case MB_OKCANCEL:
        return IDOK;
    case MB_RETRYCANCEL:
        return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

int logBox(const std::string& text, const std::string& caption, UINT style) {
    if (FILE* f = std::fopen(logPath.c_str(), "ab")) {
        std::fprintf(f, "%08X\t%s\t%s\n", static_cast<unsigned>(style), caption.c_str(), text.c_str());
        std::fclose(f);
    }
    return answerFor(style);
}

} // namespace

int EditorMessageBox(HWND, const std::string& text, const std::string& caption, UINT style) {
    return ShowMessageBox(text, caption, style);
}

bool InstallEditorBoxLogFromEnvironment() {
    logPath = environment("ZEL_MESSAGE_BOX_LOG");
    if (logPath.empty())
        return false;
    std::string answer = environment("ZEL_MESSAGE_BOX_ANSWER");
    if (!answer.empty())
        questionAnswer = answer;
    SetMessageBoxFunc(logBox);
    return true;
}
