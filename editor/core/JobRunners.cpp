#include "editor/core/JobRunners.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/PathHelpers.h"
#include "framework/ui/Forms.h"

#include <new>
#include <string>

namespace {

void setStatus(const std::string& text) {
    if (EditorLink().SetStatusText)
        EditorLink().SetStatusText(text);
}

HWND mainWindow() {
    TEditorLink& link = EditorLink();
    return link.MainFormHandle ? link.MainFormHandle() : nullptr;
}

// A new job handle (-1 when the engine gives none; the failure is already shown), freed on exit.
struct JobHandle {
    int32_t handle = EngineNewJobHandle(2);
    ~JobHandle() { EngineFreeHandle(handle, 0); }
};

int32_t describeFileJob(int32_t job, const char* fileName) {
    if (EngineSetString(job, ZELID_JOB_INPUT, fileName) < 0 ||
        EngineSetFlag(job, ZELID_JOB_FLAGS, 0x10, 1) < 0 ||
        EngineSetFlag(job, ZELID_JOB_FLAGS, 0x800, 1) < 0 || EngineSetFlag(job, ZELID_JOB_FLAGS, 2, 1) < 0)
        return -1;
    return 0;
}

} // namespace

int32_t RunValidationJob(fileinfoclass* d, int32_t mode, int32_t f) {
    if (!p)
        return -7;
    if (!(f & ValidateFile) && !d)
        return -7;
    const std::string name = (f & ValidateFile) ? p->vol->fileToValidate.getString() : d->GetName(14);
    if (!(f & ValidateQuiet))
        setStatus("Validating " + name + "...");
    WindowControl busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
    busy.SetCursor(static_cast<int16_t>(crHourGlass));

    JobHandle job;
    if (job.handle < 0)
        return -1;
    int32_t failure = 0;
    if (mode != -2) {
        if (EngineSetInteger(job.handle, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE) < 0)
            failure = -2;
        if (!failure && mode >= 0 && EngineVersion() >= 45091 &&
            EngineSetInteger(job.handle, ZELID_JOB_INTEGER, mode) < 0)
            failure = -2;
    }
    if (!failure) {
        if ((f & ValidateKeepProgress) && EngineSetFlag(job.handle, ZELID_JOB_FLAGS, 0x40000, 0) < 0)
            failure = -6;
        if (!failure && (EngineSetFlag(job.handle, ZELID_JOB_FLAGS, 0x4000, 1) < 0 ||
                         EngineSetFlag(job.handle, ZELID_JOB_FLAGS, 0x8000, 1) < 0))
            failure = -6;
    }
    if (!failure && !(f & ValidateFile)) {
        if (d->PassLinesToJob(job.handle) < 0 || EngineSetFlag(job.handle, ZELID_JOB_FLAGS, 0x2000, 1) < 0 ||
            EngineSetString(job.handle, ZELID_JOB_INPUT,
                            d->sourceType == 0 ? "[Untitled]" : d->fileName.getString()) < 0)
            failure = -6;
    }
    if (!failure && (f & ValidateFile) && describeFileJob(job.handle, p->vol->fileToValidate.getString()) < 0)
        failure = -6;
    if (failure)
        return failure;

    int32_t results = EngineRunJobWaiting(nullptr, p->vol->optionsHandle, job.handle);
    if (results < 0) {
        if (!(f & ValidateQuiet))
            setStatus(results == ZEL_RUN_BUSY ? "Validation cancelled." : "Validation failed.");
        return results == ZEL_RUN_BUSY ? ValidationCancelled : -3;
    }
    if (f & ValidateFile)
        p->tools->lastValidateToolFilename = p->vol->fileToValidate;
    else if (d->sourceType != 0)
        p->tools->lastValidateToolFilename = d->fileName;
    // Taking the new results chooses the document's syntax parser again.
    if (!(f & ValidateFile))
        d->SetResultsHandle(results, 1);
    else
        EngineFreeHandle(results, 0);
    if (!(f & (ValidateQuiet | ValidateNoCounts)) && EditorLink().ShowResultCounts)
        EditorLink().ShowResultCounts(d);
    return 0;
}

int32_t RunTool(int32_t toolType, int32_t f) {
    if (!p)
        return -5;
    if (!(f & ToolQuiet))
        setStatus("Processing...");
    WindowControl busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
    busy.SetCursor(static_cast<int16_t>(crHourGlass));
    TEditorLink& link = EditorLink();
    fileinfoclass* old = link.GetCurrentFileInfo ? link.GetCurrentFileInfo() : nullptr;
    if (!old)
        return -5;

    JobHandle job;
    if (job.handle < 0)
        return -1;
    int32_t failure = 0;
    if (EngineSetInteger(job.handle, ZELID_JOB_TYPE, toolType) < 0)
        failure = -2;
    if (!failure) {
        if (!(f & ToolOnFile)) {
            if (old->PassLinesToJob(job.handle) < 0)
                failure = -6;
            else if (old->sourceType == 1)
                Engine.ZELSetString(job.handle, ZELID_JOB_INPUT, old->fileName.getString());
        } else if (describeFileJob(job.handle, p->vol->fileToValidate.getString()) < 0) {
            failure = -6;
        }
    }
    if (failure)
        return failure;

    int32_t results = EngineRunJobWaiting(mainWindow(), p->vol->optionsHandle, job.handle);
    if (results < 0) {
        if (!(f & ToolQuiet))
            setStatus(results == ZEL_RUN_BUSY ? "Processing cancelled." : "Processing not done.");
        return -3;
    }
    struct ResultsHandle {
        int32_t handle;
        ~ResultsHandle() { EngineFreeHandle(handle, 0); }
    } resultsGuard{results};

    if ((f & ToolOnFile) && toolType == 5)
        p->tools->lastToolFilename = p->vol->fileToValidate;

    int32_t code = 0;
    // A run the engine marks as failed gives no output to take over: its state is tested first.
    if (EngineGetFlag(results, ZELID_RESULT_STATUS, 2) != 0)
        code = -7;
    if (code == 0 && (f & ToolTakeOutput) && EngineGetFlag(results, ZELID_RESULT_FLAGS, 1) == 0) {
        auto* fresh = new (std::nothrow) fileinfoclass(old->sharedList, old->documentList);
        if (!fresh)
            return -4;
        // A record that never took the old one's place must not clear the old one's list slots.
        auto discard = [](fileinfoclass* record) {
            record->listPositions[0] = record->listPositions[1] = -1;
            delete record;
        };
        PointerArrayManager* files = old->documentList;
        const int32_t index = files ? files->find(old) : -1;
        old->undoNext = nullptr;
        fresh->Assign(old, 2);
        if (fresh->LoadRunText(results, 4) < 0) {
            discard(fresh);
            code = -4;
        } else {
            PointerArrayManager& undo = p->vol->undoFiles;
            int32_t slot = undo.firstEmpty();
            bool stored;
            if (slot >= 0) {
                stored = undo.setPointer(slot, old, false, false, true) == 1;
            } else {
                slot = undo.append(old);
                stored = slot >= 0;
            }
            if (!stored) {
                discard(fresh);
                ShowEngineCallError(-8, "RunTool()", "p->vol->undofiles->setPointer() failed");
                code = -8;
            } else if (index < 0 || files->setPointer(index, fresh, false, false, true) != 1) {
                undo.setPointer(slot, nullptr, false, false, true);
                discard(fresh);
                ShowEngineCallError(-8, "RunTool()", "oldfile->filearray->setPointer() failed");
                code = -8;
            } else {
                fresh->undoSlot = slot;
                fresh->undoList = &undo;
                // The text now differs from the file on disk: the document counts as changed.
                fresh->SetModifiedState(10);
                if (link.RefreshTab)
                    link.RefreshTab(fresh);
                fresh->UpdateSyntaxParser(0);
                if (link.SelectTab)
                    link.SelectTab(fresh);
            }
        }
    }
    if (!(f & ToolQuiet))
        setStatus(code >= 0 ? "Tool processing completed successfully."
                            : "An error occurred while processing the tool job.");
    return code;
}

int32_t LoadNetworkConfig(NetworkConfigClass* record, int32_t f) {
    if (!record)
        return -1;
    if (p && Engine.ZELGetIntegerEZ && Engine.ZELGetString) {
        const int32_t h = p->vol->optionsHandle;
        record->networkFlags = Engine.ZELGetIntegerEZ(h, ZELID_OPT_NETWORKWORD);
        const int32_t ids[4] = {ZELID_OPT_NETWORKSTRING1, ZELID_OPT_NETWORKSTRING2, ZELID_OPT_NETWORKSTRING3,
                                ZELID_OPT_NETWORKSTRING4};
        for (int32_t i = 0; i < 4; ++i) {
            const char* s = Engine.ZELGetString(h, ids[i]);
            record->strings[i] = s ? s : "";
        }
    }
    if (f & 1)
        record->agent = GetAgentText(1);
    if (f & 2)
        record->agent = ZelUpdateCheckAgentText;
    return 0;
}

int32_t RevalidateLastDocument() {
    if (!p)
        return 0;
    p->vol->fileToValidate = p->tools->lastValidateToolFilename;
    RunValidationJob(nullptr, 0, ValidateFile);
    return 0;
}
