#include "controls/foundation/FileSystem.h"
#include "controls/foundation/HSResStrings.h"

#include <map>
#include <vector>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PathUtils.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TFileSystem, TComponent, {})
ZEL_DEFINE_CLASS(TWin32FileSystem, TFileSystem, {})

void TFileSystem::RenameFileExcept(const std::string& OldName, const std::string& NewName) {
    if (!RenameFile(OldName, NewName))
        throw EHSError(Format(LoadResString(SErrRenameFile).c_str(), OldName.c_str(), NewName.c_str()));
}

void TFileSystem::DeleteFileExcept(const std::string& Name) {
    if (FileExists(Name) && !DeleteFile(Name))
        throw EHSError(Format(LoadResString(SErrDeleteFile).c_str(), Name.c_str()));
}

std::string TFileSystem::GetBackupFileName(const std::string& Name) {
    return FileBakName(Name);
}

// ---- TWin32FileSystem ----

std::string TWin32FileSystem::GetCurrentDir() {
    char Buf[MAX_PATH + 1] = {};
    const DWORD N = GetCurrentDirectoryA(sizeof Buf, Buf);
    return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

void TWin32FileSystem::SetCurrentDir(const std::string& Dir) {
    SetCurrentDirectoryA(Dir.c_str());
}

TStream* TWin32FileSystem::GetFileStream(const std::string& Name, uint16_t Mode) {
    return new TFileStream(Name, Mode);
}

int32_t TWin32FileSystem::FileAge(const std::string& Name) {
    return ::FileAge(Name);
}

bool TWin32FileSystem::RenameFile(const std::string& OldName, const std::string& NewName) {
    return MoveFileA(OldName.c_str(), NewName.c_str()) != 0;
}

bool TWin32FileSystem::IsReadonly(const std::string& Name) {
    const DWORD Attr = GetFileAttributesA(Name.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_READONLY) != 0;
}

bool TWin32FileSystem::DeleteFile(const std::string& Name) {
    return DeleteFileA(Name.c_str()) != 0;
}

bool TWin32FileSystem::FileExists(const std::string& Name) {
    return ::FileExists(Name);
}

std::string TWin32FileSystem::GetTempFileName(const std::string& Name) {
    return TempFileName(Name);
}

// ---- stores ----

namespace {

TFileSystem* GWin32 = nullptr;

struct TFileSystemListItem {
    TFileSystem* FileSystem;
    int32_t UseCount;
};
std::map<std::string, TFileSystemListItem>* GCache = nullptr;

} // namespace

TFileSystem* Win32FileSystem() {
    if (!GWin32)
        GWin32 = new TWin32FileSystem(nullptr);
    return GWin32;
}

void FreeFileSystems() {
    if (GCache) {
        for (auto& E : *GCache)
            delete E.second.FileSystem;
        delete GCache;
        GCache = nullptr;
    }
    delete GWin32;
    GWin32 = nullptr;
}

std::string GetFilerID(TFileSystem* FileSystem) {
    return ObjectToBinary(FileSystem);
}

TFileSystem* GetFileSystem(const std::string& Descriptor) {
    if (Descriptor.empty())
        return Win32FileSystem();
    if (!GCache)
        GCache = new std::map<std::string, TFileSystemListItem>;
    auto It = GCache->find(Descriptor);
    if (It != GCache->end()) {
        ++It->second.UseCount;
        return It->second.FileSystem;
    }
    RegisterClass(TWin32FileSystem::StaticClass());
    TPersistent* Made = CreateObjectFromAnyForm(Descriptor, nullptr);
    auto* FileSystem = dynamic_cast<TFileSystem*>(Made);
    if (!FileSystem) {
        delete Made;
        throw EInvalidCast(SInvalidCast);
    }
    (*GCache)[Descriptor] = {FileSystem, 1};
    return FileSystem;
}

void ReleaseFileSystem(TFileSystem* FileSystem) {
    if (!FileSystem || FileSystem == GWin32 || !GCache)
        return;
    for (auto It = GCache->begin(); It != GCache->end(); ++It) {
        if (It->second.FileSystem != FileSystem)
            continue;
        if (--It->second.UseCount <= 0) {
            delete FileSystem;
            GCache->erase(It);
        }
        return;
    }
}

std::string TempFileName(const std::string& Name) {
    std::string Dir = ExtractFilePath(Name);
    if (Dir.empty())
        Dir = ".";
    char Buf[MAX_PATH + 1] = {};
    if (GetTempFileNameA(Dir.c_str(), ExtractFileName(Name).c_str(), 0, Buf) == 0)
        throw EHSError(LoadResString(SErrCantCreateTemp));
    return Buf;
}

std::string FileBakName(const std::string& Name) {
    const std::string Ext = ExtractFileExt(Name);
    if (Ext.size() < 2)
        return ChangeFileExt(Name, "") + ".~";
    return ChangeFileExt(Name, (".~" + Ext.substr(1)).substr(0, 4));
}

bool RenameToBak(const std::string& Name) {
    if (!::FileExists(Name))
        return true;
    const std::string Bak = FileBakName(Name);
    if (::FileExists(Bak))
        DeleteFileA(Bak.c_str());
    return MoveFileA(Name.c_str(), Bak.c_str()) != 0;
}

std::string ExpandRelativeFileName(const std::string& FileName, const std::string& RelName,
                                   const std::string& Descriptor) {
    if (RelName.empty())
        return "";
    return ExpandRelativePath(ExtractFilePath(FileName), RelName, Descriptor);
}

std::string ExpandRelativePath(const std::string& BasePath, const std::string& RelName,
                               const std::string& Descriptor) {
    TFileSystem* FileSystem = GetFileSystem(Descriptor);
    const std::string Saved = FileSystem->GetCurrentDir();
    FileSystem->SetCurrentDir(BasePath);
    TScopeGuard Restore([&] {
        FileSystem->SetCurrentDir(Saved);
        ReleaseFileSystem(FileSystem);
    });
    return ExpandFileName(RelName);
}
