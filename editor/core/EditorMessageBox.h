#pragma once
// Every box of the editor's core goes through the framework's message-box seam. A program started
// with ZEL_MESSAGE_BOX_LOG naming a file writes each box there (style in hex, caption, text,
// tab-separated, one line a box) and answers it as a person pressing the default button would,
// so test runs never block; the engine library reads the same variable for its own boxes.

#include <windows.h>

#include <string>

constexpr UINT ZelBoxError = MB_OK | MB_ICONHAND | MB_SETFOREGROUND;              // 0x10010
constexpr UINT ZelBoxInformation = MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND; // 0x10040
constexpr UINT ZelBoxQuestion = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;    // 0x10024

int EditorMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
// Reads ZEL_MESSAGE_BOX_LOG (and ZEL_MESSAGE_BOX_ANSWER: "yes" or "no" for questions); true when
// the file log was installed.
bool InstallEditorBoxLogFromEnvironment();
