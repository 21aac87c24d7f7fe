#pragma once
// Path, web-address, file, date and time helpers shared by the editor's document, settings and
// window code, and WindowControl, a guard that shows a busy state and restores the previous one.

#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TControl;
class TStatusBar;

enum ResolveFlags : int32_t {
    ResolveBackslash = 1,
    ResolveSlash = 2,
    ResolveBaseIsFile = 4,
    ResolveSlashesToBackslashes = 8,
    ResolveKeepBase = 16,
    ResolveFragmentOnFile = 32,
};
StrStore ResolveRelativePath(const char* base, const char* relative, int32_t flags, int32_t* result);
StrStore NormaliseDots(const char* text, int32_t separatorFlag, int32_t* result);
StrStore ExtractFileNamePart(const char* path);
StrStore GetURLFilePart(const char* address, int32_t flags);
StrStore StripFragment(const char* path);
bool HasSchemePrefix(const char* text);
bool EndsWithBackslash(const char* text);
bool IsAbsolutePath(const char* text);
// The platform's full form of a file name (drive or share, backslashes, no "." or ".." steps),
// the one form every caption, question and list of the editor shows. A web address ("://") and
// an empty name are returned as they are.
std::string FullPathName(const std::string& name);

FILETIME* GetFileTimeAndSize(const char* fileName, FILETIME* time, int32_t* size, int32_t* ok);
int32_t CanOpenFile(const char* name);
int32_t OpenDocument(HWND window, const char* target);

const char* GetDateString(const SYSTEMTIME* date);
const char* GetTimeString(const SYSTEMTIME* time);
void GetLocalTimeCopy(SYSTEMTIME* out);
int32_t GetYear();
int32_t GetMonth();
int32_t GetDay();
int32_t DayNumber();
int32_t DayNumberOf(int32_t year, int32_t month, int32_t day);

class WindowControl {
public:
    enum Flags : uint32_t { SaveScreenCursor = 1, SaveCaption = 2, SaveControlCursor = 8 };
    WindowControl(uint32_t flags, TControl* control, TStatusBar* statusBar);
    ~WindowControl();
    WindowControl(const WindowControl&) = delete;
    WindowControl& operator=(const WindowControl&) = delete;

    int32_t SetCursor(int16_t cursor);
    int32_t SetBusy(bool on, int32_t panel);
    int32_t SetStatusText(int32_t panel, const std::string& text);
    int32_t SetCaption(const std::string& text);
    int32_t SetCaptionAndStatus(const std::string& caption, int32_t panel, const std::string& text);

private:
    TControl* control_;
    TStatusBar* statusBar_;
    uint32_t flags_;
    int32_t busyPanel_ = -1;
    std::string savedCaption_;
    std::string second_;
    int16_t savedScreenCursor_ = 0, cursorBeforeBusy_ = 0, currentScreenCursor_ = 0;
    int16_t savedControlCursor_ = 0, controlCursorCopies_[2] = {0, 0};
};
