#include "controls/foundation/ResFileSystem.h"

#include <cstring>
#include <vector>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/ModuleResources.h"
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

// ---- A check of a module before the platform's resource update reads it, and again after: the
// update follows every offset of the headers and the resource tree without a bounds check, and
// faults, or writes a module the loader reads otherwise, when they are broken.

bool ReadWholeFile(const std::string& FileName, std::string& Bytes) {
    HANDLE File =
        CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER Size;
    bool Ok = GetFileSizeEx(File, &Size) && Size.QuadPart < (1ll << 30);
    if (Ok) {
        Bytes.resize(static_cast<size_t>(Size.QuadPart));
        DWORD Read = 0;
        Ok = Bytes.empty() || (ReadFile(File, &Bytes[0], static_cast<DWORD>(Bytes.size()), &Read, nullptr) &&
                               Read == Bytes.size());
    }
    CloseHandle(File);
    return Ok;
}

// A resource's type, name or language as the platform takes it: a number, or a name.
struct TResId {
    uint16_t Id = 0;
    std::wstring Name;
    LPCWSTR Get() const { return Name.empty() ? MAKEINTRESOURCEW(Id) : Name.c_str(); }
};

struct TResKey {
    TResId Type, Name;
    uint16_t Language = 0;
};

class TResourceTreeCheck {
public:
    explicit TResourceTreeCheck(const std::string& Bytes) : B(Bytes) {}

    // Whether the headers can be read and every resource section's tree lies within the file;
    // Keys then holds every resource of the tree the loader reads.
    bool Sound() {
        if (B.size() < 0x40 || B.compare(0, 2, "MZ") != 0)
            return false;
        const uint64_t Pe = U32(0x3C);
        if (!Fits(Pe, 24) || U32(Pe) != 0x4550)
            return false;
        const uint64_t Opt = Pe + 24, OptSize = U16(Pe + 20);
        NumSections = U16(Pe + 6);
        const uint16_t Magic = U16(Opt);
        const uint64_t Dirs = Opt + (Magic == 0x20B ? 112 : 96);
        const uint64_t DirCount = U32(Dirs - 4);
        if ((Magic != 0x10B && Magic != 0x20B) || !Fits(Opt, OptSize) || DirCount < 3 || DirCount > 16 ||
            Dirs + DirCount * 8 > Opt + OptSize)
            return false;
        // The section table within the headers, the alignments powers of two, the raw data of
        // every section within the file: the update copies and aligns by all of them.
        const uint32_t SectionAlign = U32(Opt + 32), FileAlign = U32(Opt + 36), HeaderSize = U32(Opt + 60);
        auto PowerOfTwo = [](uint32_t V) { return V && !(V & (V - 1)); };
        for (uint64_t I = 0; I < DirCount; ++I)
            Directories.emplace_back(U32(Dirs + I * 8), U32(Dirs + I * 8 + 4));
        Sections = Opt + OptSize;
        if (NumSections > 96 || Sections + uint64_t(NumSections) * 40 > HeaderSize || !Fits(0, HeaderSize) ||
            !PowerOfTwo(SectionAlign) || !PowerOfTwo(FileAlign) || FileAlign > SectionAlign)
            return false;
        // Sections aligned, in ascending order after the headers, apart in memory and in the file:
        // where they overlap, the loader and the update each take a different one for the same
        // address; the update copies whole aligned blocks.
        // Without resources the update adds a section, whose header must find room.
        uint64_t MemoryEnd = HeaderSize, FileEnd = HeaderSize;
        const uint32_t ResRva = U32(Dirs + 2 * 8);
        if (ResRva == 0 && Sections + uint64_t(NumSections + 1) * 40 > HeaderSize)
            return false;
        for (uint32_t I = 0; I < NumSections; ++I) {
            const uint64_t Sh = Sections + I * 40u;
            const uint32_t Extent = U32(Sh + 8), Va = U32(Sh + 12), Raw = U32(Sh + 16), Ptr = U32(Sh + 20);
            if (!Fits(Ptr, Raw) || Va < MemoryEnd || (Raw && Ptr < FileEnd) || Va % SectionAlign ||
                Ptr % FileAlign || Raw % FileAlign)
                return false;
            MemoryEnd = uint64_t(Va) + (Extent ? Extent : Raw);
            if (Raw)
                FileEnd = uint64_t(Ptr) + Raw;
            if (Va != ResRva && B.compare(Sh, 8, std::string(".rsrc\0\0\0", 8)) != 0)
                Others.push_back({B.substr(Sh, 8), Va, Extent ? Extent : Raw,
                                  B.substr(Ptr, std::min(Raw, Extent ? Extent : Raw)),
                                  (U32(Sh + 36) & IMAGE_SCN_MEM_DISCARDABLE) != 0});
        }
        bool Found = ResRva == 0;
        for (uint32_t I = 0; I < NumSections; ++I) {
            const uint64_t Sh = Sections + I * 40u;
            const bool AtRva = ResRva != 0 && U32(Sh + 12) == ResRva;
            if (!AtRva && B.compare(Sh, 8, std::string(".rsrc\0\0\0", 8)) != 0)
                continue;
            Found = Found || AtRva;
            Root = U32(Sh + 20);
            Limit = U32(Sh + 16);
            Budget = 1 << 20;
            Collect = AtRva;
            if (!Directory(0, 0, {}))
                return false;
        }
        return Found;
    }

    std::vector<TResKey> Keys;
    // Every section but the resources: name, address, extent, contents, and whether the loaded
    // program leaves it alone (the update moves such sections behind grown resources).
    struct TSection {
        std::string Name;
        uint32_t Va, Extent;
        std::string Bytes;
        bool Discardable;
    };
    std::vector<TSection> Others;
    // The data directories: address and size each.
    std::vector<std::pair<uint32_t, uint32_t>> Directories;

private:
    const std::string& B;
    uint64_t Sections = 0, Root = 0, Limit = 0;
    uint32_t NumSections = 0;
    int64_t Budget = 0;
    bool Collect = false;

    bool Fits(uint64_t At, uint64_t Count) const { return At <= B.size() && Count <= B.size() - At; }
    uint32_t U32(uint64_t At) const {
        uint32_t V = 0;
        if (Fits(At, 4))
            std::memcpy(&V, B.data() + At, 4);
        return V;
    }
    uint16_t U16(uint64_t At) const {
        uint16_t V = 0;
        if (Fits(At, 2))
            std::memcpy(&V, B.data() + At, 2);
        return V;
    }
    bool InSection(uint64_t Offset, uint64_t Count) const {
        return Offset <= Limit && Count <= Limit - Offset;
    }

    // Types, names and languages: three levels of directories, then data entries.
    bool Directory(uint32_t Offset, int Level, TResKey Key) {
        if (!InSection(Offset, 16))
            return false;
        const uint64_t Count = uint64_t(U16(Root + Offset + 12)) + U16(Root + Offset + 14);
        if (!InSection(uint64_t(Offset) + 16, Count * 8) || (Budget -= int64_t(Count) + 1) < 0)
            return false;
        for (uint64_t E = 0; E < Count; ++E) {
            const uint64_t Entry = Root + Offset + 16 + E * 8;
            const uint32_t Name = U32(Entry), Target = U32(Entry + 4);
            TResId Id;
            Id.Id = static_cast<uint16_t>(Name);
            if (Name & 0x80000000u) {
                const uint32_t At = Name & 0x7FFFFFFFu;
                const uint16_t Length = U16(Root + At);
                if (!InSection(At, 2) || !InSection(uint64_t(At) + 2, uint64_t(Length) * 2))
                    return false;
                for (uint16_t C = 0; C < Length; ++C)
                    Id.Name += static_cast<wchar_t>(U16(Root + At + 2 + 2u * C));
                if (Id.Name.empty())
                    Id.Name = L"?"; // an empty name: no lookup reaches it
            }
            if (Level == 0)
                Key.Type = Id;
            else if (Level == 1)
                Key.Name = Id;
            else
                Key.Language = Id.Id;
            const bool Sub = (Target & 0x80000000u) != 0;
            if (Level < 2 ? !Sub || !Directory(Target & 0x7FFFFFFFu, Level + 1, Key) : Sub || !Data(Target))
                return false;
            if (Level == 2 && Collect && !(Name & 0x80000000u))
                Keys.push_back(Key);
        }
        return true;
    }

    bool Data(uint32_t Offset) const {
        if (!InSection(Offset, 16))
            return false;
        const uint32_t Rva = U32(Root + Offset), Size = U32(Root + Offset + 4);
        for (uint32_t I = 0; I < NumSections; ++I) {
            const uint64_t Sh = Sections + I * 40u;
            const uint32_t Va = U32(Sh + 12), Raw = U32(Sh + 16);
            if (Rva >= Va && uint64_t(Rva) + Size <= uint64_t(Va) + Raw)
                return true;
        }
        return false;
    }
};

// Whether an update left everything but the resources as it was: every other section with its
// contents, a section the program uses at its address, and every data directory but the
// resources' (and the certificates', a file offset) pointing where it pointed, moved along with
// its section.
bool SameOutsideResources(const TResourceTreeCheck& Before, const TResourceTreeCheck& After) {
    if (Before.Others.size() != After.Others.size() || Before.Directories.size() != After.Directories.size())
        return false;
    for (size_t I = 0; I < Before.Others.size(); ++I) {
        const auto &Old = Before.Others[I], &New = After.Others[I];
        if (Old.Name != New.Name || Old.Bytes != New.Bytes || Old.Discardable != New.Discardable ||
            (Old.Va != New.Va && !Old.Discardable))
            return false;
    }
    for (size_t D = 0; D < Before.Directories.size(); ++D) {
        if (D == IMAGE_DIRECTORY_ENTRY_RESOURCE || D == IMAGE_DIRECTORY_ENTRY_SECURITY)
            continue;
        auto [Rva, Size] = Before.Directories[D];
        for (size_t I = 0; I < Before.Others.size(); ++I) {
            const auto& Old = Before.Others[I];
            if (Rva >= Old.Va && Rva - Old.Va < Old.Extent) {
                Rva = Rva - Old.Va + After.Others[I].Va;
                break;
            }
        }
        if (After.Directories[D] != std::make_pair(Rva, Size))
            return false;
    }
    return true;
}

// The bytes the loader gives for a resource of a loaded module; false when it has none readable.
bool LoadedBytes(HMODULE Module, const TResKey& Key, std::string& Data) {
    uint32_t Size = 0;
    const void* Bytes =
        ResourceBytes(Module, FindResourceExW(Module, Key.Type.Get(), Key.Name.Get(), Key.Language), Size);
    if (Bytes)
        Data.assign(static_cast<const char*>(Bytes), Size);
    return Bytes != nullptr;
}

bool CopyResource(HMODULE Module, HRSRC Info, std::string& Data) {
    uint32_t Size = 0;
    const void* Bytes = ResourceBytes(Module, Info, Size);
    if (!Bytes)
        return false;
    Data.assign(static_cast<const char*>(Bytes), Size);
    return true;
}

bool ReadResource(const std::string& FileName, const std::string& Type, const std::string& Name,
                  std::string& Data) {
    DataModule Module(FileName);
    return Module.Handle &&
           CopyResource(Module.Handle, FindResourceA(Module.Handle, Name.c_str(), Type.c_str()), Data);
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
    // The platform rewrites the module in place and may stop half-way; it follows the resource
    // tree without bounds checks; and where the loader and the update read a broken module
    // differently, it reports success for a module whose resources the loader no longer reads as
    // before. So the update goes into a copy beside the module, of a module whose tree was checked
    // first; the copy must give the bytes written and every other resource as the module gave
    // it; and only then does the copy take the module's place.
    const std::string Folder = ExtractFilePath(FileName);
    char Copy[MAX_PATH];
    if (!GetTempFileNameA(Folder.empty() ? "." : Folder.c_str(), "res", 0, Copy))
        return false;
    std::string Bytes;
    bool Ok = CopyFileA(FileName.c_str(), Copy, FALSE) && ReadWholeFile(Copy, Bytes);
    TResourceTreeCheck Tree(Bytes);
    Ok = Ok && Tree.Sound();
    std::vector<std::pair<TResKey, std::string>> Before;
    if (Ok) {
        DataModule Original(Copy);
        Ok = Original.Handle != nullptr;
        for (const TResKey& Key : Tree.Keys) {
            std::string Old;
            if (Ok && LoadedBytes(Original.Handle, Key, Old))
                Before.emplace_back(Key, std::move(Old));
        }
    }
    if (Ok) {
        HANDLE Update = BeginUpdateResourceA(Copy, FALSE);
        // Without data and size the platform would delete the resource instead.
        static const char NoBytes = 0;
        Ok = Update && UpdateResourceA(Update, Type.c_str(), Name.c_str(), Language,
                                       const_cast<void*>(Data ? Data : &NoBytes), Size);
        if (Update)
            Ok = EndUpdateResourceA(Update, !Ok) != FALSE && Ok;
    }
    // The update must leave a module as sound as the one it was given, its other sections
    // where and as they were.
    std::string Written;
    Ok = Ok && ReadWholeFile(Copy, Written);
    TResourceTreeCheck After(Written);
    Ok = Ok && After.Sound() && SameOutsideResources(Tree, After);
    if (Ok) {
        DataModule Updated(Copy);
        const HRSRC Target =
            Updated.Handle ? FindResourceExA(Updated.Handle, Type.c_str(), Name.c_str(), Language) : nullptr;
        std::string Stored;
        Ok = Target && CopyResource(Updated.Handle, Target, Stored) && Stored.size() == Size &&
             (Size == 0 || std::memcmp(Stored.data(), Data, Size) == 0);
        for (size_t I = 0; Ok && I < Before.size(); ++I) {
            const TResKey& Key = Before[I].first;
            if (FindResourceExW(Updated.Handle, Key.Type.Get(), Key.Name.Get(), Key.Language) == Target)
                continue;
            std::string Now;
            Ok = LoadedBytes(Updated.Handle, Key, Now) && Now == Before[I].second;
        }
    }
    if (Ok)
        Ok = MoveFileExA(Copy, FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!Ok)
        DeleteFileA(Copy);
    return Ok;
}

bool IsFormInResource(const std::string& FileName, const std::string& ResName, const std::string& ResType) {
    DataModule Module(FileName);
    if (!Module.Handle)
        throw EHSError(Format("Can't open module %s\r\nError code : %d", FileName.c_str(),
                              static_cast<int>(GetLastError())));
    uint32_t Size = 0;
    const void* Bytes =
        ResourceBytes(Module.Handle, FindResourceA(Module.Handle, ResName.c_str(), ResType.c_str()), Size);
    return Bytes && Size >= 4 && std::memcmp(Bytes, "TPF0", 4) == 0;
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
