#include "controls/foundation/HotStrings.h"

#include "framework/core/CharClass.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/ShellExec.h"

namespace Hscommon {
std::function<bool(const std::string&)> OnHotString;
} // namespace Hscommon

bool IsWWWString(const std::string& S) {
    std::string U = UpperCase(S);
    for (const char* P : {"WWW.", "HTTP://", "GOPHER://", "FTP://"})
        if (U.rfind(P, 0) == 0)
            return true;
    return false;
}

bool IsEmailString(const std::string& S) {
    if (UpperCase(S).rfind("MAILTO:", 0) == 0)
        return true;
    size_t At = S.find('@');
    if (At == std::string::npos || S.find('@', At + 1) != std::string::npos)
        return false;
    if (At + 1 >= S.size())
        return false;
    if (S.find('.', At + 1) == std::string::npos)
        return false;
    return IsIdentChar(S[At + 1]);
}

bool IsStringHot(const std::string& S) {
    if (IsWWWString(S) || IsEmailString(S))
        return true;
    return Hscommon::OnHotString ? Hscommon::OnHotString(S) : false;
}

void JumpToURL(const std::string& S) {
    ShellExecuteSeam("open", S, "", "", SW_SHOWNORMAL);
}
