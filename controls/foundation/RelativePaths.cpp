#include "controls/foundation/RelativePaths.h"

#include "controls/foundation/PathUtils.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

std::string HSExpandRelativePathEx(const std::string& Path, const std::string& Base) {
    const bool Absolute = (Path.size() >= 2 && Path[1] == ':') || (!Path.empty() && Path[0] == '\\');
    return ExpandFileName(Absolute || Base.empty() ? Path : AddSlash(Base) + Path);
}

std::string HSExpandRelativeFileEx(const std::string& FileName, const std::string& Base) {
    return HSExpandRelativePathEx(FileName, Base);
}

std::string HSRelativeFileSearch(const std::string& FileName, const std::string& Paths) {
    if (FileExists(FileName))
        return FileName;
    TStringList Folders;
    Folders.SetText(ChangeCharTo(';', '\n', Paths));
    for (int I = 0; I < Folders.Count(); ++I) {
        if (Folders[I].empty())
            continue;
        const std::string Candidate = HSExpandRelativeFileEx(FileName, Folders[I]);
        if (FileExists(Candidate))
            return Candidate;
    }
    return "";
}
