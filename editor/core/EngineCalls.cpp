#include "editor/core/EngineCalls.h"

#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EditorMessageBox.h"
#include "framework/ui/Controls.h"

#include <string>

namespace {

constexpr const char* RequestSentence =
    "Please contact Nortavia (support@nortavia.example) if you believe that you've found a bug or need "
    "assistance.";

struct FailureText {
    int32_t bit;
    const char* text;
    const char* caption;
};

constexpr FailureText FailureTexts[] = {
    {FailConfigurationEditor, "The Configuration Editor could not be opened.",
     "Orvalent: Error Opening Configuration Editor"},
    {FailNewHandle, "ZELGetNewHandle() or GetNewHandle() failed.", "Orvalent: ZELGetNewHandle() Failed"},
    {FailSetInteger, "ZELSetInteger() failed.", "Orvalent: ZELSetInteger() Failed"},
    {FailRunJob, "ZELRunJob() failed.", "Orvalent: ZELRunJob() Failed"},
    {FailFreeHandle, "ZELFreeHandle() failed.", "Orvalent: ZELFreeHandle() Failed"},
    {FailSetString, "ZELSetString() failed.", "Orvalent: ZELSetString() Failed"},
    {FailGetFlag, "ZELGetFlag() failed.", "Orvalent: ZELGetFlag() Failed"},
    {FailSetFlag, "ZELSetFlag() failed.", "Orvalent: ZELSetFlag() Failed"},
    {FailSetString3, "ZELSetString3() failed.", "Orvalent: ZELSetString3() Failed"},
};

std::string configurationFileName() {
    if (!p || !Engine.ZELGetString)
        return {};
    const char* name = Engine.ZELGetString(p->vol->optionsHandle, ZELID_OPT_CONFIGFILE);
    return name ? name : "";
}

// The main window's box when there is a main window (it also shows the text in the status bar),
// else a plain box without an owner.
void showError(const std::string& text, const std::string& caption) {
    TEditorLink& link = EditorLink();
    if (link.ShowMessageBox && link.MainFormHandle && link.MainFormHandle())
        link.ShowMessageBox(text, caption, 1);
    else
        EditorMessageBox(nullptr, text, caption, ZelBoxError);
}

// A missing entry point counts as a failed call; every failure is shown under its own caption.
template <typename Fn, typename... Args> int32_t callReportingFailure(Fn fn, int32_t failure, Args... args) {
    const int32_t r = fn ? fn(args...) : -1;
    if (r < 0)
        ReportEngineFailure(failure);
    return r;
}

// How long one call into the engine waits for its locks before the editor repaints.
constexpr int32_t RunWaitSlice = 100;
// Windows whose painting never validates them are not waited for.
constexpr int RepaintsPerSlice = 64;

// Repaints what waits to be painted and sets aside the input that arrived: true when Esc was
// among it. Messages sent by other threads are handled by the look into the queue itself.
bool repaintAndSeeEscape() {
    MSG m;
    bool escape = false;
    while (PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        escape = escape || (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE);
    while (PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
           PeekMessageA(&m, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
    for (int i = 0; i < RepaintsPerSlice && PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageA(&m);
    return escape;
}

} // namespace

int32_t ReportEngineFailure(int32_t bits) {
    std::string text, caption;
    if (bits & FailConfigurationNotLoaded) {
        text = "There was an error opening the configuration file \"" + configurationFileName() +
               "\". The configuration could not be loaded. If Orvalent was trying to load the default "
               "configuration file (for example, at startup), make sure that the default configuration file "
               "points to the correct file with full path information in the General tab of the Validator "
               "Engine Options.";
        caption = "Orvalent: Error Opening Configuration File";
    }
    for (const FailureText& f : FailureTexts) {
        if (bits & f.bit) {
            text = std::string(f.text) + " " + RequestSentence;
            caption = f.caption;
        }
    }
    if (!text.empty())
        showError(text, caption);
    return 0;
}

int32_t EngineFreeHandle(int32_t handle, int32_t flags) {
    if (handle < 0)
        return 0;
    if (!Engine.ZELFreeHandle)
        return -1;
    int32_t r = Engine.ZELFreeHandle(handle, flags);
    if (r < 0)
        ReportEngineFailure(FailFreeHandle);
    return r;
}

int32_t EngineGetFlag(int32_t handle, int32_t identifier, int32_t mask) {
    return callReportingFailure(Engine.ZELGetFlag, FailGetFlag, handle, identifier, mask);
}

int32_t EngineNewJobHandle(int32_t flags) {
    int32_t r = -1;
    if ((flags & 2) && Engine.ZELGetNewHandle) {
        r = Engine.ZELGetNewHandle(ZEL_HANDLE_JOB);
        if (r < 0)
            r = -1;
    }
    if ((flags & 7) == 0 || r == -1) {
        ReportEngineFailure(FailNewHandle);
        return -1;
    }
    return r;
}

int32_t EngineRunJob(HWND window, int32_t optionsHandle, int32_t jobHandle, int32_t reserved) {
    int32_t r = Engine.ZELRunJob ? Engine.ZELRunJob(window, optionsHandle, jobHandle, reserved) : -1;
    if (r < 0 && r != -10)
        ReportEngineFailure(FailRunJob);
    return r;
}

int32_t EngineRunJobWaiting(HWND window, int32_t optionsHandle, int32_t jobHandle) {
    bool told = false;
    while (true) {
        const int32_t r = EngineRunJob(window, optionsHandle, jobHandle, RunWaitSlice);
        if (r != ZEL_RUN_BUSY)
            return r;
        if (!told && EditorLink().SetStatusText)
            EditorLink().SetStatusText(
                "Waiting for another program to finish its validation... (Esc cancels)");
        told = true;
        if (repaintAndSeeEscape())
            return ZEL_RUN_BUSY;
    }
}

int32_t EngineSetInteger(int32_t handle, int32_t identifier, int32_t value) {
    return callReportingFailure(Engine.ZELSetInteger, FailSetInteger, handle, identifier, value);
}

int32_t EngineSetString(int32_t handle, int32_t identifier, const char* text) {
    return callReportingFailure(Engine.ZELSetString, FailSetString, handle, identifier, text);
}

int32_t EngineSetFlag(int32_t handle, int32_t identifier, int32_t mask, int32_t on) {
    return callReportingFailure(Engine.ZELSetFlag, FailSetFlag, handle, identifier, mask, on);
}

int32_t ShowEngineCallError(int32_t code, const std::string& functionName, const std::string& reason) {
    EditorMessageBox(nullptr,
                     "ZEL Orvalent error in function or function call for " + functionName + "(): " + reason,
                     "ZEL Orvalent Error", ZelBoxError);
    return code;
}

int32_t ReportEditorError(int32_t code, const std::string& functionName, int32_t reason) {
    if (reason == 1)
        return ShowEngineCallError(code, functionName, "NULL passed for needed parameter");
    return ShowEngineCallError(code, "ZELError",
                               "internal error in ZELError(); an error generated another error");
}

int32_t EngineVersion() {
    if (p && p->vol->engineVersion > 0)
        return p->vol->engineVersion;
    return Engine.ZELGetInteger3EZ ? Engine.ZELGetInteger3EZ(16000) : -1;
}

int32_t SetValidatingStatus(TControl* control, int32_t flags) {
    if (flags & 1) {
        if (EditorLink().StatusControls)
            for (TControl* c : EditorLink().StatusControls())
                SetValidatingStatus(c, flags & 2);
        return 0;
    }
    if (!control)
        return 0;
    control->SetCaption((flags & 2) ? "A problem occurred." : "Validating...");
    control->Repaint();
    return 1;
}
