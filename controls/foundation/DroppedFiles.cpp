#include "controls/foundation/DroppedFiles.h"

#include <shellapi.h>

#include "framework/core/SysUtils.h"

std::string DropFiles(bool FoldersOnly, bool Multiple, const std::string& Separator, TMessage& Msg) {
    auto Drop = reinterpret_cast<HDROP>(Msg.WParam);
    std::string Result;
    UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT I = 0; I < Count; ++I) {
        // Names may be longer than the old path limit: ask each one's length.
        UINT Len = DragQueryFileA(Drop, I, nullptr, 0);
        std::string Name(static_cast<size_t>(Len) + 1, '\0');
        Len = DragQueryFileA(Drop, I, Name.data(), Len + 1);
        Name.resize(Len);
        if (FoldersOnly && FileExists(Name))
            Name = ExtractFileDir(Name);
        if (I > 0)
            Result += Separator;
        Result += Name;
        if (!Multiple)
            break;
    }
    DragFinish(Drop);
    Msg.Result = 0;
    return Result;
}
