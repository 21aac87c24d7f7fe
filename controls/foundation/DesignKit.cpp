#include "controls/foundation/DesignKit.h"

#include <algorithm>
#include <memory>
#include <set>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/HSApplication.h"
#include "controls/foundation/PropFileSystem.h"
#include "controls/foundation/PropertyStreams.h"
#include "controls/foundation/PropertyServices.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/ResFileSystem.h"
#include "framework/core/Component.h"

namespace {

struct TPCNotifierInfo {
    TObject* Instance;
    TPropChangesProc Proc;
    void* Data;
};

int gStarts = 0;
std::vector<TPCNotifierInfo>* gNotifiers = nullptr;
TMessageAnswer* gAnswer = nullptr;
TBuildCompNameFunc gSavedBuildCompName = nullptr;

std::string KitCaption(TComponent* Component, const std::string& Name) {
    if (!Component)
        return std::string();
    const std::string N = Name.empty() ? GetCompName(Component) : Name;
    return N.empty() ? std::string() : N + ": " + Component->ClassName();
}

void AnswerModified(THSMessage& Message) {
    if (Message.Msg != HS_DESIGNERMODIFIED || !gNotifiers || !Message.A)
        return;
    const auto& Changed = *reinterpret_cast<const std::vector<TObject*>*>(Message.A);
    // Each entry once, however many of its objects changed, in the order of registration.
    std::set<size_t> Entries;
    for (TObject* Obj : Changed)
        for (size_t I = 0; I < gNotifiers->size(); ++I)
            if ((*gNotifiers)[I].Instance == Obj)
                Entries.insert(I);
    // A procedure may change the registry; work on a copy of the chosen entries.
    std::vector<TPCNotifierInfo> Calls;
    for (size_t I : Entries)
        Calls.push_back((*gNotifiers)[I]);
    for (const TPCNotifierInfo& E : Calls)
        if (E.Proc)
            E.Proc(E.Data, Changed);
}

int gEditorGroup = -2;

} // namespace

std::function<void(int Group)> FreeEditorGroupProc;

int NewEditorGroup() {
    return ++gEditorGroup;
}
int CurrentEditorGroup() {
    return gEditorGroup;
}

void FreePropEditors() {
    for (int Group = -1; Group <= gEditorGroup; ++Group)
        if (FreeEditorGroupProc)
            FreeEditorGroupProc(Group);
}

void InitDesignKit() {
    if (gStarts++ > 0)
        return;
    // What the kit registers lands in a group of its own.
    if (CurrentEditorGroup() < 0)
        NewEditorGroup();
    SafeRegisterClasses(
        {TWin32FileSystem::StaticClass(), TResFileSystem::StaticClass(), TPropFileSystem::StaticClass()});
    gSavedBuildCompName = BuildCompNameFunc;
    BuildCompNameFunc = &KitCaption;
    gNotifiers = new std::vector<TPCNotifierInfo>;
    gAnswer = new TMessageAnswer;
    gAnswer->OnMessage = &AnswerModified;
    new THSApplication; // sets App
}

void DoneDesignKit() {
    if (gStarts == 0 || --gStarts > 0)
        return;
    if (BuildCompNameFunc == &KitCaption)
        BuildCompNameFunc = gSavedBuildCompName;
    delete App;
    delete gAnswer;
    gAnswer = nullptr;
    delete gNotifiers;
    gNotifiers = nullptr;
}

bool DesignKitStarted() {
    return gStarts > 0;
}

void RegisterPropChangesNotifier(TObject* Instance, TPropChangesProc Proc, void* Data) {
    if (!gNotifiers || !Instance)
        return;
    gNotifiers->push_back({Instance, std::move(Proc), Data});
}

void UnRegisterPropChangesNotifier(TObject* Instance) {
    if (!gNotifiers)
        return;
    auto It = std::find_if(gNotifiers->begin(), gNotifiers->end(),
                           [&](const TPCNotifierInfo& E) { return E.Instance == Instance; });
    if (It != gNotifiers->end())
        gNotifiers->erase(It);
}
