#pragma once
// The engine's small always-on-top progress window shown while a validation runs.

#include <windows.h>

#include <cstdint>

namespace zel::run {

class ProgressWindow {
public:
    ProgressWindow() = default;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    ~ProgressWindow() { destroy(); }

    // Creates the window (hidden) at the given position when it does not exist yet.
    bool create(int32_t left, int32_t top);
    void destroy();
    void show();
    void hide();
    void setCaption(const char* caption);
    void setPosition(int32_t percent);
    int32_t position() const;
    bool isVisible() const;
    HWND handle() const { return window_; }
    HWND bar() const { return bar_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    int32_t shownPercent_ = -1;
};

// The one instance of the library; created on first use, destroyed by destroyProgressWindow.
ProgressWindow& progressWindow();
bool progressWindowExists();
void destroyProgressWindow();

// Options value 4004: 0 hides the window; any other value creates it on first use at the given
// position, with bit 2 sets the product caption and empties the bar, and shows it. With the
// general option "no progress window unless forced" only a value with bit 4 shows it.
// Returns the window handle shown, or 0.
intptr_t requestProgressWindow(int32_t value, int32_t left, int32_t top, bool onlyWhenForced);
// Global value 16006: a non-zero value hides the window when it exists.
void hideProgressWindow(int32_t value);
// Moves the bar to line index x 100 / line count when both are usable.
void stepProgressWindow(HWND window, int32_t lineIndex, int32_t lineCount);

extern const char* const kProgressCaption;

} // namespace zel::run
