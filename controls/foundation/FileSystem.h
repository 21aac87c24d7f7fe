#pragma once
// The family reaches files through a file-system component, so that a document could live in
// another store; the plain disk store is the default and the only one the program uses.
// The text model's safe save takes its temporary and backup names from here.

#include <cstdint>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Win.h"

// The platform's macro would rename the member of the same name in some files and not others.
#undef GetTempFileName

class TStream;

class TFileSystem : public TComponent {
    ZEL_DECLARE_CLASS(TFileSystem)
public:
    explicit TFileSystem(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

    // Raise "Can't rename file %s to file %s" / "Can't delete file %s" on failure.
    virtual void RenameFileExcept(const std::string& OldName, const std::string& NewName);
    virtual void DeleteFileExcept(const std::string& Name);
    virtual std::string GetCurrentDir() { return ""; }
    virtual void SetCurrentDir(const std::string&) {}
    // A stream the caller frees.
    virtual TStream* GetFileStream(const std::string& Name, uint16_t Mode) = 0;
    virtual int32_t FileAge(const std::string&) { return 0; }
    virtual bool RenameFile(const std::string&, const std::string&) { return true; }
    virtual bool IsReadonly(const std::string&) { return false; }
    virtual bool DeleteFile(const std::string&) { return true; }
    virtual bool FileExists(const std::string& Name) = 0;
    virtual std::string GetTempFileName(const std::string& Name) { return Name; }
    virtual std::string GetBackupFileName(const std::string& Name);
    virtual int32_t GetFileSystemLevel() { return 0; }
};

class TWin32FileSystem : public TFileSystem {
    ZEL_DECLARE_CLASS(TWin32FileSystem)
public:
    explicit TWin32FileSystem(TComponent* AOwner = nullptr) : TFileSystem(AOwner) {}
    std::string GetCurrentDir() override;
    void SetCurrentDir(const std::string& Dir) override;
    TStream* GetFileStream(const std::string& Name, uint16_t Mode) override;
    int32_t FileAge(const std::string& Name) override;
    bool RenameFile(const std::string& OldName, const std::string& NewName) override;
    bool IsReadonly(const std::string& Name) override;
    bool DeleteFile(const std::string& Name) override;
    bool FileExists(const std::string& Name) override;
    std::string GetTempFileName(const std::string& Name) override;
};

// The single disk store (made on first use).
TFileSystem* Win32FileSystem();
// Program end: frees the disk store and every cached store.
void FreeFileSystems();

// A store by its descriptor (the component stream of a file-system component, binary form; the
// text form of earlier builds is read too); an empty descriptor is
// the disk store. Stores made from descriptors are shared and counted.
TFileSystem* GetFileSystem(const std::string& Descriptor);
void ReleaseFileSystem(TFileSystem* FileSystem);
std::string GetFilerID(TFileSystem* FileSystem);

// A new empty file in the folder of Name whose name starts with Name's file part; raises
// "Can't create temporary filename" when the platform cannot make one.
std::string TempFileName(const std::string& Name);
// The backup name: the extension gets a "~" after its dot and is cut to 4 characters
// (a.html -> a.~ht, a.c -> a.~c, a -> a.~).
std::string FileBakName(const std::string& Name);
// Renames an existing file to its backup name, replacing an older backup; true when done
// (or when there was no file).
bool RenameToBak(const std::string& Name);
// RelName expanded against the folder of FileName; empty when RelName is empty.
std::string ExpandRelativeFileName(const std::string& FileName, const std::string& RelName,
                                   const std::string& Descriptor = "");
std::string ExpandRelativePath(const std::string& BasePath, const std::string& RelName,
                               const std::string& Descriptor = "");
