#pragma once
// Start-up and shut-down of the design kit's run-time part, and the registry of property-change
// notifiers that the kit answers the designers' "modified" broadcast with.

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/Object.h"

// The designers' broadcast that objects were modified; its first parameter points to a
// std::vector<TObject*> of the changed objects.
inline constexpr uint32_t HS_DESIGNERMODIFIED = 2026;

// Groups of design-time property editors: a group is opened before registrations and freed at
// shutdown. The current group number starts at -2 (none open yet).
int NewEditorGroup();
int CurrentEditorGroup();
// What freeing one group does (the editors of that group go); set by whoever registers editors.
extern std::function<void(int Group)> FreeEditorGroupProc;
// Frees every group from -1 up to the current one.
void FreePropEditors();

// Counted: the work is done by the first start-up and undone by the matching last shut-down.
// Start-up opens an editor group when none is open, registers the family's file systems for streaming,
// installs the kit's component caption builder (BuildCompNameFunc), starts answering HS_DESIGNERMODIFIED and
// makes the kit's application object App.
void InitDesignKit();
void DoneDesignKit();
bool DesignKitStarted();

// Called once per broadcast with the entry's data and the whole list of changed objects.
using TPropChangesProc = std::function<void(void* Data, const std::vector<TObject*>& Objects)>;
void RegisterPropChangesNotifier(TObject* Instance, TPropChangesProc Proc, void* Data = nullptr);
// Removes the first entry of that instance.
void UnRegisterPropChangesNotifier(TObject* Instance);
