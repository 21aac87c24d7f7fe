#pragma once
// A drag over a shell view is handed on to the drop target of the item under the pointer; the
// tree and the list do it the same way.
#include <windows.h>

#include <ole2.h>

#include <utility>

#include "shellcontrols/ComPtr.h"

// The effect Target allows for a drag entering at Pt (screen coordinates), or none.
inline DWORD ItemDragEnterEffect(IDropTarget* Target, IDataObject* Data, DWORD KeyState, POINT Pt,
                                 DWORD Allowed) {
    DWORD Effect = Allowed;
    if (!Target || FAILED(Target->DragEnter(Data, KeyState, POINTL{Pt.x, Pt.y}, &Effect)))
        return DROPEFFECT_NONE;
    return Effect;
}

// The effect Target allows for the drag at Pt, or none.
inline DWORD ItemDragOverEffect(IDropTarget* Target, DWORD KeyState, POINT Pt, DWORD Allowed) {
    DWORD Effect = Allowed;
    if (!Target || FAILED(Target->DragOver(KeyState, POINTL{Pt.x, Pt.y}, &Effect)))
        return DROPEFFECT_NONE;
    return Effect;
}

// The pointer moved onto another item: the old item's target is left and the new one entered.
inline void SwitchItemDropTarget(TComPtr<IDropTarget>& Current, TComPtr<IDropTarget> Next, IDataObject* Data,
                                 DWORD KeyState, POINT Pt, DWORD Allowed) {
    if (Current)
        Current->DragLeave();
    Current = std::move(Next);
    ItemDragEnterEffect(Current.Get(), Data, KeyState, Pt, Allowed);
}

inline void LeaveItemDropTarget(TComPtr<IDropTarget>& Current) {
    if (Current)
        Current->DragLeave();
    Current.Reset();
}
