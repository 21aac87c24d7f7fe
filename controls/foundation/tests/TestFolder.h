#pragma once
// A fresh folder under the platform's temporary folder, removed with everything in it.

#include <string>

class TTestFolder {
public:
    TTestFolder();
    ~TTestFolder();
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;
    // The folder with a trailing backslash.
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + Name; }

private:
    std::string FPath;
};

// Sets an environment variable for the life of the guard and puts the old value (or its absence)
// back when the test ends, also when an assertion ends it early.
class TScopedEnvironment {
public:
    TScopedEnvironment(const std::string& Name, const std::string& Value);
    ~TScopedEnvironment();
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;
    void Set(const std::string& Value);

private:
    std::string FName, FOld;
    bool FHad = false;
};

std::string ReadWholeFile(const std::string& FileName);
void WriteWholeFile(const std::string& FileName, const std::string& Data);
