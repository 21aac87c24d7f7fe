#pragma once
// Small helpers that place, show, restore and focus forms safely while the program may be
// starting up or closing, and the global hot key F2.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class TCustomForm;
class TWinControl;
class TFont;
class TMenuItem;

int32_t EnableHotKey(HWND window, int32_t on);
HWND GetMainFormHandle(void* ignored, int32_t flags);
int32_t FitFormToScreen(TCustomForm* form, const int32_t* left, const int32_t* top, const int32_t* width,
                        const int32_t* height, int32_t ignored = 0);
// The placement FitFormToScreen makes, for a screen of the given size.
void FitRectToScreen(int32_t& left, int32_t& top, int32_t width, int32_t height, int32_t screenWidth,
                     int32_t screenHeight);
int32_t SafeSetFocus(TWinControl* control);
int32_t SetFormWindowState(TCustomForm* form, int32_t state);
bool FontWidthsDiffer(TFont& a, TFont& b);
int32_t HideMenuItem(TMenuItem* item);
// The splash form, for SafeSetFocus's answer (set by start-up while one is shown).
extern TCustomForm* SplashForm;

// One status line on the splash window while start-up shows one; nothing otherwise. Start-up
// installs the sink for as long as the splash may exist.
void SetSplashStatus(const std::string& text);
void SetSplashStatusSink(std::function<void(const std::string&)> sink);
