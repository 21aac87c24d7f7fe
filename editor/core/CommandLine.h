#pragma once
// The command line, the hand-over of a second start to the running copy, and the command queue.

#include "editor/core/StringArrayStore.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TCustomForm;

constexpr UINT ZelHandOverMessage = WM_APP + 1; // 0x8001, lParam a global atom
constexpr const char* ZelMessageWindowClass = "TZELEditorMessageWindow";
constexpr const char* ZelMessageWindowTitle = "ZEL Editor Message Window";
// WM_COPYDATA tag of a command line too long for one atom.
constexpr ULONG_PTR ZelHandOverCopyDataTag = 0x5A454C31; // "ZEL1"
// Atom names hold at most 255 characters.
constexpr size_t ZelAtomTextLimit = 255;

// Results of HandOverCommandLine.
enum HandOverResult : int32_t { HandOverNoCopy = 0, HandOverDone = 1, HandOverFailed = -1 };

// Hands a command line (or "-BringToFront" for an empty one) to the running copy's window: a
// short line as a global atom posted with message 0x8001, a longer one whole as WM_COPYDATA.
int32_t HandOverCommandLine(HWND window, const char* commandLine);
// The receiving side, for the hand-over window: reads and deletes the atom (0x8001) or takes the
// copied text (WM_COPYDATA; true when it was ours) and queues it unless the program is closing.
void ReceiveHandOverAtom(LPARAM atom);
bool ReceiveHandOverCopyData(LPARAM copyData);

// Start-up: 1 when the line was queued, 0 when it was the switch "-x" and the file associations
// were removed (RemoveFileAssociations with no report: only a failure shows a box).
int32_t ParseCommandLine(HWND owner, const char* commandLine);
// True when the first word of the line is the switch "-x" (any case) and nothing else.
bool IsRemoveAssociationsSwitch(const char* commandLine);
// Splits off the first word: separated by white space, a run in double quotes one word with its
// quotes removed. Empty when none is left.
std::string NextCommandWord(std::string& rest);
// The files a queued command line opens: each of its words, unless the first is a switch.
std::vector<std::string> CommandLineFiles(const std::string& line);
// The line with each file in its full form (FullPathName), taken from the folder the program was
// started in; a line of switches is returned as it is. A second start hands over this line, so a
// relative name means the same file in the running copy.
std::string WithFullPathNames(const std::string& line);
// The main window's idle handler works the queue off. Returns 0.
int32_t ProcessCommandQueue(StringArrayStore& queue);

enum BringFlags : int32_t {
    BringAll = 1,
    BringShow = 2,
    BringFocus = 4,
    BringForeground = 8,
    BringActive = 0x10,
    BringRestoreForm = 0x20,
    BringRestoreApplication = 0x40,
    BringNoApplication = 0x80,
};
int32_t BringFormToFront(TCustomForm* form, int32_t flags);

// Rebuilds one command line from its words, quoting a word that holds a blank.
std::string JoinCommandLine(const std::vector<std::string>& words);
