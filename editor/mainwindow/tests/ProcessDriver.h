#pragma once
// Drives a program of ours from outside, as a person at the screen would: finds its windows by
// class and caption, posts keys and menu commands, and reads its standard controls (list view,
// status bar, tabs) across the process boundary through memory lent inside the other process.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TProcessDriver {
public:
    TProcessDriver() = default;
    ~TProcessDriver();
    TProcessDriver(const TProcessDriver&) = delete;
    TProcessDriver& operator=(const TProcessDriver&) = delete;

    // Starts the program; false when it could not be started.
    bool Start(const std::string& Exe, const std::string& Arguments, const std::string& Folder);
    // Waits for the end; false on time-out. The exit code goes to Code.
    bool WaitForExit(DWORD Milliseconds, DWORD& Code);
    void Kill();
    HANDLE Process() const { return FInfo.hProcess; }

    // A visible top-level window of the process whose caption satisfies Match (polls).
    HWND
    WaitForTopWindow(const std::function<bool(const std::string& Caption, const std::string& Class)>& Match,
                     DWORD Milliseconds);
    // Every child window of Parent with this class name.
    static std::vector<HWND> Children(HWND Parent, const std::string& ClassName, bool VisibleOnly);
    // The visible child of this class with the largest area, or null.
    static HWND LargestChild(HWND Parent, const std::string& ClassName);
    // Main and every shown window inside it have painted all they were asked to repaint. One look
    // asks about each window across the process boundary, which takes milliseconds of its own.
    static bool NothingToPaint(HWND Main);
    static std::string Caption(HWND Wnd);

    static void PostKey(HWND Wnd, WORD Key);
    static void PostChars(HWND Wnd, const std::string& Text);
    // A modifier (VK_CONTROL, VK_MENU) with a key through the input queue, since the receiver reads
    // modifiers from its keyboard state; it goes to the foreground window, which Wnd is made first.
    static void SendChord(HWND Wnd, WORD Modifier, WORD Key);

    // Cross-process reading of standard controls.
    int ListCount(HWND List);
    std::string ListText(HWND List, int Row, int Column);
    int ListSelected(HWND List);
    bool ListSelect(HWND List, int Row);
    std::string StatusText(HWND StatusBar, int Panel);
    std::string TabText(HWND Tabs, int Index);
    int TabCount(HWND Tabs);
    // The tab captioned Caption, or -1.
    int TabIndex(HWND Tabs, const std::string& Caption);
    // Chooses a tab as a click on it would, with the change notices to the owner.
    static void TabSelect(HWND Tabs, int Index);
    static int TabSelected(HWND Tabs);

    // Waits, letting the other process work, until Done or the time runs out.
    static bool WaitUntil(const std::function<bool()>& Done, DWORD Milliseconds);

private:
    // A block of memory inside the other process, freed with the guard.
    struct TRemote {
        HANDLE Process;
        void* Address;
        size_t Size;
        TRemote(HANDLE P, size_t S);
        ~TRemote();
        bool Write(const void* Data, size_t N, size_t Offset = 0);
        bool Read(void* Data, size_t N, size_t Offset = 0);
    };
    PROCESS_INFORMATION FInfo{};
};
