#include "controls/foundation/FileRemoval.h"

#include "framework/core/Win.h"

bool RemoveFile(const std::string& FileName) {
    if (FileName.empty())
        return false;
    if (DeleteFileA(FileName.c_str()))
        return true;
    const DWORD Error = GetLastError();
    if (Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND)
        return true;
    // The platform's own delayed delete: no script is written, so nothing in the name can run.
    return MoveFileExA(FileName.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}
