#include "controls/foundation/ModuleResources.h"

HGLOBAL GetResData(const std::string& Name, const void*& Data, uint32_t& Size, HMODULE Module) {
    Data = nullptr;
    Size = 0;
    if (!Module)
        Module = GetModuleHandleA(nullptr);
    HRSRC Info = FindResourceA(Module, Name.c_str(), MAKEINTRESOURCEA(10));
    if (!Info)
        return nullptr;
    HGLOBAL Handle = LoadResource(Module, Info);
    if (!Handle)
        return nullptr;
    Data = LockResource(Handle);
    Size = SizeofResource(Module, Info);
    return Handle;
}

void ReleaseResData(HGLOBAL Handle) {
    if (Handle)
        FreeResource(Handle);
}

std::string LoadStringFromRCData(const std::string& Name, HMODULE Module) {
    const void* Data = nullptr;
    uint32_t Size = 0;
    HGLOBAL Handle = GetResData(Name, Data, Size, Module);
    std::string S = Data ? std::string(static_cast<const char*>(Data), Size) : std::string();
    ReleaseResData(Handle);
    return S;
}

bool AddRCDataResource(const std::string& FileName, const std::string& Name, const void* Data,
                       uint32_t Size) {
    HANDLE Update = BeginUpdateResourceA(FileName.c_str(), FALSE);
    if (!Update)
        return false;
    if (!UpdateResourceA(Update, MAKEINTRESOURCEA(10), Name.c_str(), 0, const_cast<void*>(Data), Size)) {
        EndUpdateResourceA(Update, TRUE);
        return false;
    }
    return EndUpdateResourceA(Update, FALSE) != 0;
}

bool AddStringResource(const std::string& FileName, const std::string& Name, const std::string& Text) {
    if (Text.empty())
        return false;
    return AddRCDataResource(FileName, Name, Text.data(), static_cast<uint32_t>(Text.size()));
}
