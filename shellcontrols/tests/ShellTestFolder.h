#pragma once
// A real folder tree for the shell tests, made on the Z: drive (the host's /tmp), so the shell
// namespace of the platform is browsed as a user would browse it. Removed again at the end.
#include <string>
#include <vector>

class TShellTestFolder {
public:
    // Files and folders to make, relative to the root; a name ending in '\' is a folder.
    explicit TShellTestFolder(const std::vector<std::string>& Entries = {});
    ~TShellTestFolder();
    TShellTestFolder(const TShellTestFolder&) = delete;
    TShellTestFolder& operator=(const TShellTestFolder&) = delete;
    // The root, without a trailing backslash.
    const std::string& Root() const { return FRoot; }
    std::string Path(const std::string& Relative) const { return FRoot + "\\" + Relative; }
    void MakeFile(const std::string& Relative, const std::string& Content = "x") const;
    void MakeFolder(const std::string& Relative) const;

private:
    std::string FRoot;
};

// Removes a folder with everything in it.
void RemoveTree(const std::string& Path);
