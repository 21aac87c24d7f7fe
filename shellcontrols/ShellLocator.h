#pragma once
// A persistent reference to a folder of the shell namespace, held as an item ID list or as a
// special-folder identifier. Every shell control keeps its folder in one; its stored form is the
// "Pidl" block of bytes (byte 0: 0 = ID list, else special folder; then the identifier, or a
// little-endian 32-bit length and the list itself).
#include "framework/core/Win.h"

#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "shellcontrols/ShellUtils.h"

enum class TNVShellLocator_Which : uint8_t { usePidl, useCSIDL };

class TNVShellLocator : public TPersistent {
    ZEL_DECLARE_CLASS(TNVShellLocator)
public:
    TNVShellLocator() = default;
    ~TNVShellLocator() override;
    TNVShellLocator(const TNVShellLocator&) = delete;
    TNVShellLocator& operator=(const TNVShellLocator&) = delete;

    TNVShellLocator_Which Which() const { return FWhich; }
    // The held list (null: the desktop); a special folder's list is fetched on first use.
    LPCITEMIDLIST GetIdList();
    // The empty list is held as null. Fires OnChange when the folder changed; two lists that the
    // shell cannot compare count as different.
    void SetIdList(LPCITEMIDLIST List);
    void SetCSIDL(TCSIDL Value);
    TCSIDL GetCSIDL() const { return FWhich == TNVShellLocator_Which::useCSIDL ? FCSIDL : csidlNone; }
    // A path that does not resolve gives the desktop.
    void SetPathName(const std::string& Path);
    std::string GetPathName();
    void Clear() { SetIdList(nullptr); }
    bool IsEqual(TNVShellLocator* Other);
    void Assign(TPersistent* Source) override;

    // The "Pidl" property: written only when a list is held or a special folder is named.
    bool HasData() const { return FIdList || FWhich == TNVShellLocator_Which::useCSIDL; }
    std::vector<uint8_t> WriteData() const;
    // Reads the stored form without firing OnChange; false (and nothing changed) for a block
    // that is cut short or holds a broken list.
    bool ReadData(const std::vector<uint8_t>& Data);

    TNotifyEvent OnChange;

protected:
    virtual void Changed() { DoEvent(OnChange, this); }

private:
    void DropList();
    TNVShellLocator_Which FWhich = TNVShellLocator_Which::usePidl;
    LPITEMIDLIST FIdList = nullptr;
    TCSIDL FCSIDL = csidlNone;
};
