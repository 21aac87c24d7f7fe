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

std::string ReadWholeFile(const std::string& FileName);
void WriteWholeFile(const std::string& FileName, const std::string& Data);
