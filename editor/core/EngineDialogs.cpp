#include "editor/core/EngineDialogs.h"

#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EditorMessageBox.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/PathHelpers.h"

HWND ChooseDialogOwner(int32_t ownerFlags) {
    TEditorLink& link = EditorLink();
    if (ownerFlags & OwnerNone)
        return nullptr;
    if (ownerFlags & OwnerDropWindow)
        return link.DragDropFormHandle ? link.DragDropFormHandle() : nullptr;
    return link.MainFormHandle ? link.MainFormHandle() : nullptr;
}

namespace {
int32_t OptionsHandle() {
    return p && p->vol ? p->vol->optionsHandle : -1;
}
} // namespace

int32_t OpenValidatorOptions(int32_t, int32_t engineFlags, int32_t ownerFlags) {
    if (!Engine.ZELOpenValidatorOptions)
        return 0;
    HWND owner = (ownerFlags & OwnerNoneToo) ? nullptr : ChooseDialogOwner(ownerFlags);
    return Engine.ZELOpenValidatorOptions(owner, OptionsHandle(), engineFlags) == 1 ? 1 : 0;
}

int32_t OpenConfigurationEditor(int32_t, int32_t engineFlags, int32_t ownerFlags) {
    const int32_t result =
        Engine.ZELOpenConfigurationEditor
            ? Engine.ZELOpenConfigurationEditor(ChooseDialogOwner(ownerFlags), OptionsHandle(), engineFlags)
            : -1;
    if (result < 0)
        ReportEngineFailure(FailConfigurationEditor);
    return result;
}

int32_t ShowDragDropToolDialog(int32_t, int32_t, int32_t ownerFlags) {
    TEditorLink& link = EditorLink();
    if (!link.ShowDragDropToolDialog)
        return -1;
    HWND owner = ChooseDialogOwner(ownerFlags);
    // The dialog places itself beside its owner, which it finds here.
    struct OwnerScope {
        explicit OwnerScope(HWND h) {
            if (p && p->vol)
                p->vol->dialogOwner = h;
        }
        ~OwnerScope() {
            if (p && p->vol)
                p->vol->dialogOwner = nullptr;
        }
        OwnerScope(const OwnerScope&) = delete;
        OwnerScope& operator=(const OwnerScope&) = delete;
    } scope(owner);
    try {
        return link.ShowDragDropToolDialog(owner);
    } catch (const std::exception&) {
        return -1;
    }
}

int32_t ShowHelpPage(HWND owner, const std::string& page, const std::string& folder, int32_t) {
    const std::string target = folder.empty() ? page : folder + "\\" + page;
    return OpenDocument(owner, target.c_str());
}

int32_t CheckLogFileExists(HWND owner, const std::string& fileName) {
    if (CanOpenFile(fileName.c_str()))
        return 1;
    const char* text = "There is currently no log file on disk.";
    const char* caption = "Orvalent: No Log File On Disk";
    TEditorLink& link = EditorLink();
    if (link.ShowMessageBox)
        link.ShowMessageBox(text, caption, 2);
    else
        EditorMessageBox(owner, text, caption, ZelBoxInformation);
    return 0;
}
