#include "controls/foundation/ModuleResources.h"

#include "controls/foundation/ResFileSystem.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Streams.h"

namespace {

bool ReadableRange(const void* Data, size_t Size) {
    const char* At = static_cast<const char*>(Data);
    if (!At)
        return false;
    const char* const End = At + Size;
    if (End < At)
        return false;
    while (At < End) {
        MEMORY_BASIC_INFORMATION Info;
        if (!VirtualQuery(At, &Info, sizeof Info) || Info.State != MEM_COMMIT ||
            (Info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) || !Info.Protect)
            return false;
        At = static_cast<const char*>(Info.BaseAddress) + Info.RegionSize;
    }
    return true;
}

} // namespace

const void* ResourceBytes(HMODULE Module, HRSRC Info, uint32_t& Size, HGLOBAL* Handle) {
    Size = 0;
    if (Handle)
        *Handle = nullptr;
    // A found resource is the address of its data entry in the module.
    if (!Info || !ReadableRange(Info, sizeof(IMAGE_RESOURCE_DATA_ENTRY)))
        return nullptr;
    HGLOBAL Loaded = LoadResource(Module, Info);
    const void* Bytes = Loaded ? LockResource(Loaded) : nullptr;
    const uint32_t Count = SizeofResource(Module, Info);
    if (!ReadableRange(Bytes, Count))
        return nullptr;
    Size = Count;
    if (Handle)
        *Handle = Loaded;
    return Bytes;
}

HGLOBAL GetResData(const std::string& Name, const void*& Data, uint32_t& Size, HMODULE Module) {
    Data = nullptr;
    Size = 0;
    if (!Module)
        Module = GetModuleHandleA(nullptr);
    HGLOBAL Handle = nullptr;
    Data = ResourceBytes(Module, FindResourceA(Module, Name.c_str(), MAKEINTRESOURCEA(10)), Size, &Handle);
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
    return ResourceUpdate(FileName, "#10", Name, 0, Data, Size);
}

bool AddResFromFile(const std::string& FileName, const std::string& ModuleName, const std::string& ResName) {
    TMemoryStream Bytes;
    try {
        Bytes.LoadFromFile(FileName);
    } catch (const Exception&) {
        // Only the whole file may go in: a part of it would pass for the resource.
        return false;
    }
    return AddRCDataResource(ModuleName, ResName, Bytes.Memory(), static_cast<uint32_t>(Bytes.Size()));
}

bool AddStringResource(const std::string& FileName, const std::string& Name, const std::string& Text) {
    if (Text.empty())
        return false;
    return AddRCDataResource(FileName, Name, Text.data(), static_cast<uint32_t>(Text.size()));
}
