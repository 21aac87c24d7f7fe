#include "controls/foundation/FileUtils.h"

#include "controls/foundation/PathUtils.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/StringUtils.h"
#include "controls/foundation/SystemUtils.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

bool IsDots(const char* Name) {
  return Name[0] == '.' && (Name[1] == 0 || (Name[1] == '.' && Name[2] == 0));
}

bool Passes(uint32_t EntryAttr, uint32_t Attr) {
  if (EntryAttr & Attr) return true;
  const bool Plain = EntryAttr == 0 || EntryAttr == FILE_ATTRIBUTE_NORMAL;
  return Plain && (Attr & faAnyPlainFile) != 0;
}

int32_t Enumerate(const std::string& Folder, const std::string& Part, uint32_t Attr, bool Recursive,
                  const TForEachFileProc& Proc, bool& Continue) {
  int32_t Count = 0;
  WIN32_FIND_DATAA Entry;
  HANDLE H = FindFirstFileA((Folder + Part).c_str(), &Entry);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      if (IsDots(Entry.cFileName) || !Passes(Entry.dwFileAttributes, Attr)) continue;
      ++Count;
      Proc(Folder, Entry, Continue);
    } while (Continue && FindNextFileA(H, &Entry));
    FindClose(H);
  }
  if (!Recursive || !Continue) return Count;
  H = FindFirstFileA((Folder + "*.*").c_str(), &Entry);
  if (H == INVALID_HANDLE_VALUE) return Count;
  do {
    if (Entry.cFileName[0] == '.' || !(Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    Count += Enumerate(Folder + Entry.cFileName + "\\", Part, Attr, Recursive, Proc, Continue);
  } while (Continue && FindNextFileA(H, &Entry));
  FindClose(H);
  return Count;
}

}  // namespace

int32_t ForEachFile(const std::string& Mask, uint32_t Attr, bool Recursive, const TForEachFileProc& Proc) {
  if (!Proc) return 0;
  bool Continue = true;
  return Enumerate(AddSlash(ExtractFileDir(Mask)), ExtractFileName(Mask), Attr, Recursive, Proc, Continue);
}

void FindFiles(const std::string& Mask, uint32_t Attr, bool Recursive, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    ForEachFile(Mask, Attr, Recursive,
                [&](const std::string& Folder, const WIN32_FIND_DATAA& E, bool&) { Strings->Add(Folder + E.cFileName); });
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void FindFilesEx(const std::string& Folder, const std::string& Masks, uint32_t Attr, bool Recursive,
                 TStrings* Strings) {
  TStringList All;
  All.SetSorted(true);
  All.SetDuplicates(dupIgnore);
  TStringList Parts;
  Parts.SetText(ChangeCharTo(';', '\n', Masks.empty() ? std::string("*.*") : Masks));
  for (int I = 0; I < Parts.Count(); ++I) {
    if (Parts[I].empty()) continue;
    TStringList Found;
    FindFiles(AddSlash(Folder) + Parts[I], Attr, Recursive, &Found);
    for (int J = 0; J < Found.Count(); ++J) All.Add(AnsiUpperCase(Found[J]));
  }
  Strings->Assign(&All);
}

bool ModifyFileAttr(const std::string& Name, uint32_t ClearAttr, uint32_t SetAttr) {
  const DWORD Old = GetFileAttributesA(Name.c_str());
  if (Old == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD New = (Old & ~ClearAttr) | SetAttr;
  const bool Done = SetFileAttributesA(Name.c_str(), New) != 0;
  WriteToLog(Format("%s: attributes %lu -> %lu%s", Name.c_str(), static_cast<unsigned long>(Old),
                    static_cast<unsigned long>(New), Done ? "" : " failed"));
  return Done;
}

void ModifyFilesAttr(const TStrings* Names, uint32_t ClearAttr, uint32_t SetAttr) {
  for (int I = 0; I < Names->Count(); ++I) ModifyFileAttr(Names->Get(I), ClearAttr, SetAttr);
}

void ModifyFilesAttrInFolder(const std::string& Mask, uint32_t ClearAttr, uint32_t SetAttr, bool Recursive) {
  TStringList Names;
  FindFiles(Mask, faAnyPlainFile, Recursive, &Names);
  ModifyFilesAttr(&Names, ClearAttr, SetAttr);
}

void SaveStringToFile(const std::string& S, const std::string& FileName) {
  TFileStream Stream(FileName, fmCreate);
  if (!S.empty()) Stream.WriteBuffer(S.data(), static_cast<int32_t>(S.size()));
}

std::string ChangeParamsEx(const std::string& S, const TStrings* Params, const std::string& Delim) {
  std::string R = S;
  for (int I = 0; I < Params->Count(); ++I) {
    const std::string Line = Params->Get(I);
    const size_t Eq = Line.find('=');
    const std::string Name = Trim(Line.substr(0, Eq));
    const std::string Value = Eq == std::string::npos ? std::string() : Trim(Line.substr(Eq + 1));
    ReplaceAllOccurEx(R, Delim + Name + Delim, Value, true);
  }
  return R;
}

void ChangeParamsInStringsEx(TStrings* Strings, const TStrings* Params, const std::string& Delim) {
  Strings->BeginUpdate();
  for (int I = 0; I < Strings->Count(); ++I) Strings->Put(I, ChangeParamsEx(Strings->Get(I), Params, Delim));
  Strings->EndUpdate();
}

void ChangeParamsInStrings(TStrings* Strings, const TStrings* Params) {
  ChangeParamsInStringsEx(Strings, Params, "%");
}

void ChangeParamsInFile(const std::string& FileName, const TStrings* Params) {
  TStringList Lines;
  Lines.LoadFromFile(FileName);
  ChangeParamsInStrings(&Lines, Params);
  Lines.SaveToFile(FileName);
}

void ChangeParamsInFiles(const std::string& Folder, const std::string& Masks, uint32_t Attr, const TStrings* Params,
                         bool Recursive) {
  TStringList Files;
  FindFilesEx(Folder, Masks, Attr, Recursive, &Files);
  for (int I = 0; I < Files.Count(); ++I) ChangeParamsInFile(Files[I], Params);
}

std::string AppFolder() {
  char Buf[MAX_PATH + 1] = {};
  const DWORD N = GetModuleFileNameA(nullptr, Buf, MAX_PATH);
  return ExtractFilePath(std::string(Buf, N));
}

bool UnderWindowsNT() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  return GetVersionExA(&Info) && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool CompiledWithPackages() {
  return GetModuleHandleA("VCL50.BPL") != nullptr;
}

std::string HSExpandRelativePathEx(const std::string& Path, const std::string& Base) {
  const bool Absolute = (Path.size() >= 2 && Path[1] == ':') || (!Path.empty() && Path[0] == '\\');
  return ExpandFileName(Absolute || Base.empty() ? Path : AddSlash(Base) + Path);
}

std::string HSExpandRelativeFileEx(const std::string& FileName, const std::string& Base) {
  return HSExpandRelativePathEx(FileName, Base);
}

std::string HSRelativeFileSearch(const std::string& FileName, const std::string& Paths) {
  if (FileExists(FileName)) return FileName;
  TStringList Folders;
  Folders.SetText(ChangeCharTo(';', '\n', Paths));
  for (int I = 0; I < Folders.Count(); ++I) {
    if (Folders[I].empty()) continue;
    const std::string Candidate = HSExpandRelativeFileEx(FileName, Folders[I]);
    if (FileExists(Candidate)) return Candidate;
  }
  return "";
}
