#include "ProcessDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

TProcessDriver::~TProcessDriver() {
    Kill();
}

bool TProcessDriver::Start(const std::string& Exe, const std::string& Arguments, const std::string& Folder) {
    std::string Line = "\"" + Exe + "\" " + Arguments;
    std::vector<char> Buffer(Line.begin(), Line.end());
    Buffer.push_back('\0');
    STARTUPINFOA SI{};
    SI.cb = sizeof SI;
    return CreateProcessA(Exe.c_str(), Buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(),
                          &SI, &FInfo) != 0;
}

bool TProcessDriver::WaitForExit(DWORD Milliseconds, DWORD& Code) {
    if (!FInfo.hProcess)
        return false;
    if (WaitForSingleObject(FInfo.hProcess, Milliseconds) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(FInfo.hProcess, &Code);
    return true;
}

void TProcessDriver::Kill() {
    if (FInfo.hProcess) {
        DWORD Code = 0;
        if (GetExitCodeProcess(FInfo.hProcess, &Code) && Code == STILL_ACTIVE) {
            TerminateProcess(FInfo.hProcess, 99);
            WaitForSingleObject(FInfo.hProcess, 5000);
        }
        CloseHandle(FInfo.hProcess);
        CloseHandle(FInfo.hThread);
        FInfo = PROCESS_INFORMATION{};
    }
}

bool TProcessDriver::WaitUntil(const std::function<bool()>& Done, DWORD Milliseconds) {
    DWORD Start = GetTickCount();
    for (;;) {
        if (Done())
            return true;
        if (GetTickCount() - Start > Milliseconds)
            return false;
        Sleep(50);
    }
}

std::string TProcessDriver::Caption(HWND Wnd) {
    char Buffer[512] = {};
    // WM_GETTEXT across processes is marshalled by the system.
    SendMessageTimeoutA(Wnd, WM_GETTEXT, sizeof Buffer, reinterpret_cast<LPARAM>(Buffer), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return Buffer;
}

namespace {

std::string ClassOf(HWND Wnd) {
    char Buffer[256] = {};
    GetClassNameA(Wnd, Buffer, sizeof Buffer);
    return Buffer;
}

struct TFind {
    DWORD Pid;
    const std::function<bool(const std::string&, const std::string&)>* Match;
    HWND Found;
};

BOOL CALLBACK FindTop(HWND Wnd, LPARAM L) {
    auto* F = reinterpret_cast<TFind*>(L);
    DWORD Pid = 0;
    GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid != F->Pid || !IsWindowVisible(Wnd))
        return TRUE;
    if ((*F->Match)(TProcessDriver::Caption(Wnd), ClassOf(Wnd))) {
        F->Found = Wnd;
        return FALSE;
    }
    return TRUE;
}

struct TChildren {
    std::string Class;
    bool VisibleOnly;
    std::vector<HWND> Out;
};

BOOL CALLBACK CollectChild(HWND Wnd, LPARAM L) {
    auto* C = reinterpret_cast<TChildren*>(L);
    if (ClassOf(Wnd) == C->Class && (!C->VisibleOnly || IsWindowVisible(Wnd)))
        C->Out.push_back(Wnd);
    return TRUE;
}

} // namespace

HWND TProcessDriver::WaitForTopWindow(
    const std::function<bool(const std::string& Caption, const std::string& Class)>& Match,
    DWORD Milliseconds) {
    TFind F{FInfo.dwProcessId, &Match, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindTop, reinterpret_cast<LPARAM>(&F));
            return F.Found != nullptr;
        },
        Milliseconds);
    return F.Found;
}

std::vector<HWND> TProcessDriver::Children(HWND Parent, const std::string& ClassName, bool VisibleOnly) {
    TChildren C{ClassName, VisibleOnly, {}};
    EnumChildWindows(Parent, CollectChild, reinterpret_cast<LPARAM>(&C));
    return C.Out;
}

namespace {
BOOL CALLBACK CollectShown(HWND W, LPARAM L) {
    if (IsWindowVisible(W))
        reinterpret_cast<std::vector<HWND>*>(L)->push_back(W);
    return TRUE;
}
} // namespace

bool TProcessDriver::NothingToPaint(HWND Main) {
    std::vector<HWND> Shown{Main};
    EnumChildWindows(Main, CollectShown, reinterpret_cast<LPARAM>(&Shown));
    return std::none_of(Shown.begin(), Shown.end(), [](HWND W) { return GetUpdateRect(W, nullptr, FALSE); });
}

HWND TProcessDriver::LargestChild(HWND Parent, const std::string& ClassName) {
    HWND Best = nullptr;
    long BestArea = -1;
    for (HWND W : Children(Parent, ClassName, true)) {
        RECT R;
        GetWindowRect(W, &R);
        long Area = static_cast<long>(R.right - R.left) * (R.bottom - R.top);
        if (Area > BestArea) {
            BestArea = Area;
            Best = W;
        }
    }
    return Best;
}

void TProcessDriver::PostKey(HWND Wnd, WORD Key) {
    UINT Scan = MapVirtualKeyA(Key, 0);
    PostMessageA(Wnd, WM_KEYDOWN, Key, static_cast<LPARAM>(1 | (Scan << 16)));
    PostMessageA(Wnd, WM_KEYUP, Key, static_cast<LPARAM>(1 | (Scan << 16) | (3u << 30)));
}

void TProcessDriver::SendChord(HWND Wnd, WORD Modifier, WORD Key) {
    SetForegroundWindow(Wnd);
    INPUT In[4] = {};
    WORD Keys[4] = {Modifier, Key, Key, Modifier};
    for (int I = 0; I < 4; ++I) {
        In[I].type = INPUT_KEYBOARD;
        In[I].ki.wVk = Keys[I];
        In[I].ki.dwFlags = I >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, In, sizeof(INPUT));
}

void TProcessDriver::PostChars(HWND Wnd, const std::string& Text) {
    for (char C : Text)
        PostMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(C), 1);
}

TProcessDriver::TRemote::TRemote(HANDLE P, size_t S) : Process(P), Size(S) {
    Address = VirtualAllocEx(P, nullptr, S, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

TProcessDriver::TRemote::~TRemote() {
    if (Address)
        VirtualFreeEx(Process, Address, 0, MEM_RELEASE);
}

bool TProcessDriver::TRemote::Write(const void* Data, size_t N, size_t Offset) {
    SIZE_T Done = 0;
    return Address && WriteProcessMemory(Process, static_cast<char*>(Address) + Offset, Data, N, &Done) &&
           Done == N;
}

bool TProcessDriver::TRemote::Read(void* Data, size_t N, size_t Offset) {
    SIZE_T Done = 0;
    return Address && ReadProcessMemory(Process, static_cast<char*>(Address) + Offset, Data, N, &Done) &&
           Done == N;
}

int TProcessDriver::ListCount(HWND List) {
    return static_cast<int>(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0));
}

std::string TProcessDriver::ListText(HWND List, int Row, int Column) {
    constexpr size_t TextSize = 1024;
    TRemote Mem(FInfo.hProcess, sizeof(LVITEMA) + TextSize);
    LVITEMA Item{};
    Item.iSubItem = Column;
    Item.cchTextMax = TextSize;
    Item.pszText = reinterpret_cast<char*>(static_cast<char*>(Mem.Address) + sizeof(LVITEMA));
    if (!Mem.Write(&Item, sizeof Item))
        return {};
    SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(Mem.Address));
    char Text[TextSize] = {};
    Mem.Read(Text, TextSize - 1, sizeof(LVITEMA));
    return Text;
}

int TProcessDriver::ListSelected(HWND List) {
    return static_cast<int>(SendMessageA(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool TProcessDriver::ListSelect(HWND List, int Row) {
    TRemote Mem(FInfo.hProcess, sizeof(LVITEMA));
    LVITEMA Item{};
    Item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!Mem.Write(&Item, sizeof Item))
        return false;
    return SendMessageA(List, LVM_SETITEMSTATE, static_cast<WPARAM>(Row),
                        reinterpret_cast<LPARAM>(Mem.Address)) != 0;
}

std::string TProcessDriver::StatusText(HWND StatusBar, int Panel) {
    constexpr size_t TextSize = 1024;
    TRemote Mem(FInfo.hProcess, TextSize);
    LRESULT Length = SendMessageA(StatusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(Panel), 0);
    if (LOWORD(Length) >= TextSize)
        return {};
    SendMessageA(StatusBar, SB_GETTEXTA, static_cast<WPARAM>(Panel), reinterpret_cast<LPARAM>(Mem.Address));
    char Text[TextSize] = {};
    Mem.Read(Text, LOWORD(Length));
    return Text;
}

int TProcessDriver::TabCount(HWND Tabs) {
    return static_cast<int>(SendMessageA(Tabs, TCM_GETITEMCOUNT, 0, 0));
}

std::string TProcessDriver::TabText(HWND Tabs, int Index) {
    constexpr size_t TextSize = 512;
    TRemote Mem(FInfo.hProcess, sizeof(TCITEMA) + TextSize);
    TCITEMA Item{};
    Item.mask = TCIF_TEXT;
    Item.cchTextMax = TextSize;
    Item.pszText = reinterpret_cast<char*>(static_cast<char*>(Mem.Address) + sizeof(TCITEMA));
    if (!Mem.Write(&Item, sizeof Item))
        return {};
    SendMessageA(Tabs, TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Mem.Address));
    char Text[TextSize] = {};
    Mem.Read(Text, TextSize - 1, sizeof(TCITEMA));
    return Text;
}

int TProcessDriver::TabIndex(HWND Tabs, const std::string& Caption) {
    for (int I = 0, N = TabCount(Tabs); I < N; ++I)
        if (TabText(Tabs, I) == Caption)
            return I;
    return -1;
}

void TProcessDriver::TabSelect(HWND Tabs, int Index) {
    SendMessageA(Tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(Index), 0);
}

int TProcessDriver::TabSelected(HWND Tabs) {
    return static_cast<int>(SendMessageA(Tabs, TCM_GETCURSEL, 0, 0));
}
