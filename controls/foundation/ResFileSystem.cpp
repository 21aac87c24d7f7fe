#include "controls/foundation/ResFileSystem.h"

#include <cstring>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSResStrings.h"
#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"

namespace {

const char* const kTypeNames[23] = {
    "",        "CURSOR",      "BITMAP", "ICON",         "MENU",         "DIALOG",    "STRING",     "FONTDIR",
    "FONT",    "ACCELERATOR", "RCDATA", "MESSAGETABLE", "GROUP_CURSOR", "",          "GROUP_ICON", "",
    "VERSION", "DLGINCLUDE",  "",       "PLUGPLAY",     "VXD",          "ANICURSOR", "ANIICON"};

// The module loaded as data, freed by scope.
struct DataModule {
    HMODULE Handle;
    explicit DataModule(const std::string& FileName)
        : Handle(LoadLibraryExA(FileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule() {
        if (Handle)
            FreeLibrary(Handle);
    }
};

bool ReadResource(const std::string& FileName, const std::string& Type, const std::string& Name,
                  std::string& Data) {
    DataModule Module(FileName);
    if (!Module.Handle)
        return false;
    HRSRC Info = FindResourceA(Module.Handle, Name.c_str(), Type.c_str());
    if (!Info)
        return false;
    HGLOBAL Loaded = LoadResource(Module.Handle, Info);
    const void* Bytes = Loaded ? LockResource(Loaded) : nullptr;
    if (!Bytes)
        return false;
    Data.assign(static_cast<const char*>(Bytes), SizeofResource(Module.Handle, Info));
    return true;
}

} // namespace

std::string StringFromRType(uint32_t Type) {
    if (Type < 23 && kTypeNames[Type][0])
        return kTypeNames[Type];
    return IntToStr(static_cast<int64_t>(Type));
}

std::string StringFromRName(uint32_t Name) {
    return IntToStr(static_cast<int64_t>(Name));
}

uint32_t ResTypeFromString(const std::string& TypePart) {
    for (uint32_t I = 1; I < 23; ++I)
        if (kTypeNames[I][0] && SameText("RT_" + TypePart, std::string("RT_") + kTypeNames[I]))
            return I;
    return 0;
}

bool ResourceUpdate(const std::string& FileName, const std::string& Type, const std::string& Name,
                    uint16_t Language, const void* Data, uint32_t Size) {
    HANDLE Update = BeginUpdateResourceA(FileName.c_str(), FALSE);
    if (!Update)
        return false;
    if (!UpdateResourceA(Update, Type.c_str(), Name.c_str(), Language, const_cast<void*>(Data), Size)) {
        EndUpdateResourceA(Update, TRUE);
        return false;
    }
    return EndUpdateResourceA(Update, FALSE) != FALSE;
}

bool IsFormInResource(const std::string& FileName, const std::string& ResName, const std::string& ResType) {
    DataModule Module(FileName);
    if (!Module.Handle)
        throw EHSError(Format("Can't open module %s\r\nError code : %d", FileName.c_str(),
                              static_cast<int>(GetLastError())));
    HRSRC Info = FindResourceA(Module.Handle, ResName.c_str(), ResType.c_str());
    if (!Info || SizeofResource(Module.Handle, Info) < 4)
        return false;
    HGLOBAL Loaded = LoadResource(Module.Handle, Info);
    const void* Bytes = Loaded ? LockResource(Loaded) : nullptr;
    return Bytes && std::memcmp(Bytes, "TPF0", 4) == 0;
}

// ---- TResWriteStream

TResWriteStream::TResWriteStream(const std::string& FileName, const std::string& Type,
                                 const std::string& Name, uint16_t Mode)
    : FFileName(FileName), FType(Type), FName(Name) {
    std::string Data;
    if (ReadResource(FileName, Type, Name, Data))
        FFoundSize = static_cast<int64_t>(Data.size());
    if (Mode != fmCreate && !Data.empty()) {
        TMemoryStream::Write(Data.data(), static_cast<int32_t>(Data.size()));
        SetPosition(0);
    }
}

TResWriteStream::~TResWriteStream() {
    try {
        Flush();
    } catch (const Exception&) {
        // A destructor cannot report; callers that care flush first.
    }
}

int32_t TResWriteStream::Write(const void* Buffer, int32_t Count) {
    FModified = true;
    return TMemoryStream::Write(Buffer, Count);
}

void TResWriteStream::Flush() {
    if (!FModified && Size() == FFoundSize)
        return;
    if (!ResourceUpdate(FFileName, FType, FName, 0, Memory(), static_cast<uint32_t>(Size())))
        throw EHSError(LoadResString(SErrUpdateRes));
    FModified = false;
    FFoundSize = Size();
}

// ---- TResFileSystem

ZEL_DEFINE_CLASS(TResFileSystem, TFileSystem,
                 {Prop::String<TResFileSystem>("FileName", &TResFileSystem::FileName,
                                               &TResFileSystem::SetFileName)})

bool TResFileSystem::SplitResourceFileName(const std::string& FileName, std::string& Type,
                                           std::string& Name) {
    const size_t Slash = FileName.find('\\');
    if (Slash == std::string::npos) {
        Type.clear();
        Name.clear();
        return false;
    }
    const std::string TypePart = FileName.substr(0, Slash);
    Name = FileName.substr(Slash + 1);
    const size_t Dot = Name.rfind('.');
    if (Dot != std::string::npos)
        Name.erase(Dot);
    const uint32_t Numeric = ResTypeFromString(TypePart);
    // The platform takes a numbered type as "#10".
    Type = Numeric ? "#" + IntToStr(static_cast<int64_t>(Numeric)) : TypePart;
    return !Name.empty();
}

TStream* TResFileSystem::GetFileStream(const std::string& Name, uint16_t Mode) {
    std::string Type, ResName;
    if (!SplitResourceFileName(Name, Type, ResName))
        throw EHSError(LoadResString(SErrResNotFound));
    return new TResWriteStream(FFileName, Type, ResName, Mode);
}

bool TResFileSystem::FileExists(const std::string& Name) {
    std::string Type, ResName, Data;
    return SplitResourceFileName(Name, Type, ResName) && ReadResource(FFileName, Type, ResName, Data);
}

std::string GetResFileSystemFilerID(const std::string& FileName) {
    TResFileSystem FileSystem;
    FileSystem.SetFileName(FileName);
    return GetFilerID(&FileSystem);
}
