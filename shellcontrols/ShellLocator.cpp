#include "shellcontrols/ShellLocator.h"

#include <cstring>

ZEL_DEFINE_CLASS(TNVShellLocator, TPersistent, {})

TNVShellLocator::~TNVShellLocator() {
    DropList();
}

void TNVShellLocator::DropList() {
    ShellMemFree(FIdList);
    FIdList = nullptr;
}

LPCITEMIDLIST TNVShellLocator::GetIdList() {
    if (FWhich == TNVShellLocator_Which::useCSIDL && !FIdList && FCSIDL != csidlNone) {
        LPITEMIDLIST L = nullptr;
        if (SUCCEEDED(ShellGetSpecialFolderIdList(nullptr, FCSIDL, L)))
            FIdList = L;
    }
    return FIdList;
}

void TNVShellLocator::SetIdList(LPCITEMIDLIST List) {
    LPITEMIDLIST New = IdListLen(List) > 2 ? CopyIdList(nullptr, List) : nullptr;
    bool FormChanged = FWhich != TNVShellLocator_Which::usePidl;
    bool Differs;
    if (FormChanged)
        Differs = true;
    else if (FIdList && New)
        Differs = CompareAbsIdLists(FIdList, New) != 0;
    else
        Differs = (FIdList == nullptr) != (New == nullptr);
    DropList();
    FIdList = New;
    FWhich = TNVShellLocator_Which::usePidl;
    FCSIDL = csidlNone;
    if (Differs)
        Changed();
}

void TNVShellLocator::SetCSIDL(TCSIDL Value) {
    bool Differs = FWhich != TNVShellLocator_Which::useCSIDL || FCSIDL != Value;
    DropList();
    FWhich = TNVShellLocator_Which::useCSIDL;
    FCSIDL = Value;
    if (Differs)
        Changed();
}

void TNVShellLocator::SetPathName(const std::string& Path) {
    TNVIdListHolder L;
    if (FAILED(ShellGetIdListFromPath(Path, *L.Put())))
        L.Reset();
    SetIdList(L.Get());
}

std::string TNVShellLocator::GetPathName() {
    LPCITEMIDLIST L = GetIdList();
    return L ? ShellGetPathFromIdList(L) : std::string();
}

bool TNVShellLocator::IsEqual(TNVShellLocator* Other) {
    if (!Other)
        return false;
    if (Other == this)
        return true;
    if (Other->FWhich != FWhich)
        return false;
    if (FWhich == TNVShellLocator_Which::useCSIDL)
        return FCSIDL == Other->FCSIDL;
    return CompareAbsIdLists(FIdList, Other->FIdList) == 0;
}

void TNVShellLocator::Assign(TPersistent* Source) {
    if (!Source) {
        bool Had = FIdList != nullptr;
        DropList();
        if (Had)
            Changed();
        return;
    }
    if (auto* Other = dynamic_cast<TNVShellLocator*>(Source)) {
        if (IsEqual(Other))
            return;
        DropList();
        FWhich = Other->FWhich;
        FCSIDL = Other->FCSIDL;
        if (Other->FIdList)
            FIdList = CopyIdList(nullptr, Other->FIdList);
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

std::vector<uint8_t> TNVShellLocator::WriteData() const {
    std::vector<uint8_t> Out;
    if (FWhich == TNVShellLocator_Which::useCSIDL) {
        Out.push_back(1);
        Out.push_back(static_cast<uint8_t>(FCSIDL));
        return Out;
    }
    uint32_t Len = IdListLen(FIdList);
    Out.push_back(0);
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<uint8_t>(Len >> (8 * I)));
    const uint8_t* P = reinterpret_cast<const uint8_t*>(FIdList);
    Out.insert(Out.end(), P, P + Len);
    return Out;
}

bool TNVShellLocator::ReadData(const std::vector<uint8_t>& Data) {
    if (Data.empty())
        return false;
    if (Data[0] != 0) {
        if (Data.size() < 2 || Data[1] > static_cast<uint8_t>(csidlNone))
            return false;
        DropList();
        FWhich = TNVShellLocator_Which::useCSIDL;
        FCSIDL = static_cast<TCSIDL>(Data[1]);
        return true;
    }
    if (Data.size() < 5)
        return false;
    uint32_t Len = Data[1] | (Data[2] << 8) | (Data[3] << 16) | (static_cast<uint32_t>(Data[4]) << 24);
    if (Len == 0) {
        DropList();
        FWhich = TNVShellLocator_Which::useCSIDL;
        FCSIDL = csidlDesktop;
        return true;
    }
    if (Len < 2 || Data.size() - 5 < Len)
        return false;
    // The items must add up to the length, ending in the zero terminator.
    const uint8_t* P = Data.data() + 5;
    uint32_t Pos = 0;
    while (Pos + 2 <= Len) {
        uint16_t Cb = static_cast<uint16_t>(P[Pos] | (P[Pos + 1] << 8));
        if (Cb == 0)
            break;
        if (Cb < 2 || Pos + Cb > Len - 2)
            return false;
        Pos += Cb;
    }
    if (Pos + 2 != Len || P[Pos] != 0 || P[Pos + 1] != 0)
        return false;
    auto* L = static_cast<LPITEMIDLIST>(ShellMemAlloc(Len));
    if (!L)
        return false;
    std::memcpy(L, P, Len);
    DropList();
    FWhich = TNVShellLocator_Which::usePidl;
    FCSIDL = csidlNone;
    FIdList = Len > 2 ? L : nullptr;
    if (Len <= 2)
        ShellMemFree(L);
    return true;
}
