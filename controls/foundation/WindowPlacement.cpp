#include "controls/foundation/WindowPlacement.h"

#include "controls/foundation/RegistryStorage.h"
#include "framework/ui/Forms.h"

void WriteWinPosToReg(TWinControl* Control, const std::string& Name) {
    if (!Control || !Control->HandleAllocated())
        return;
    WINDOWPLACEMENT WP{};
    WP.length = sizeof(WP);
    static_assert(sizeof(WINDOWPLACEMENT) == 44, "the stored placement is 44 bytes");
    if (!GetWindowPlacement(Control->Handle(), &WP))
        return;
    std::string Key = "Forms\\" + Name + "\\";
    WriteBufToRegistry(Key + "WinPos", &WP, sizeof(WP));
    if (auto* Form = dynamic_cast<TCustomForm*>(Control))
        WriteToRegistry(Key + "WindowState", THSVariant(static_cast<int32_t>(Form->WindowState())));
}

void ReadWinPosFromReg(TWinControl* Control, const std::string& Name) {
    if (!Control)
        return;
    std::string Key = "Forms\\" + Name + "\\";
    WINDOWPLACEMENT WP{};
    if (GetRegBufSize(Key + "WinPos") != static_cast<int32_t>(sizeof(WP)))
        return;
    if (ReadBufFromRegistry(Key + "WinPos", &WP, sizeof(WP)) != static_cast<int32_t>(sizeof(WP)))
        return;
    // Another screen, a damaged value or a hand edit must not put the window out of reach.
    RECT R = FitRectToWorkArea(WP.rcNormalPosition, 100, 50);
    Control->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    if (auto* Form = dynamic_cast<TCustomForm*>(Control)) {
        int64_t State = ReadFromRegistry(Key + "WindowState", THSVariant(int32_t{0})).AsInt();
        if (State < 0 || State > 2)
            State = 0;
        Form->SetWindowState(static_cast<TWindowState>(State));
    }
}

void CalcEditorMinMaxInfo(TMessage& Msg, TControl* Form, bool Flag) {
    auto* Info = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
    RECT Work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    int FrameW = GetSystemMetrics(SM_CXFRAME), FrameH = GetSystemMetrics(SM_CYFRAME);
    int W = Work.right - Work.left, H = Work.bottom - Work.top;
    Info->ptMinTrackSize = POINT{320, 240};
    Msg.Result = 0;
    if (!Form)
        return;
    int Bottom = Form->Top() + Form->Height();
    Info->ptMaxPosition.x = Work.left - FrameW;
    if (!Flag && Form->Top() < H - Bottom) {
        Info->ptMaxPosition.y = Bottom;
        Info->ptMaxSize.y = FrameH + H - Bottom;
    } else {
        Info->ptMaxPosition.y = Work.top - FrameH;
        Info->ptMaxSize = POINT{W + 2 * FrameW, H + 2 * FrameH};
    }
}
