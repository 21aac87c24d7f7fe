#include "controls/foundation/FileParams.h"

#include "controls/foundation/FileSearch.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

void SaveStringToFile(const std::string& S, const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    if (!S.empty())
        Stream.WriteBuffer(S.data(), static_cast<int32_t>(S.size()));
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
    auto Update = UpdateBracket(*Strings);
    for (int I = 0; I < Strings->Count(); ++I)
        Strings->Put(I, ChangeParamsEx(Strings->Get(I), Params, Delim));
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

void ChangeParamsInFiles(const std::string& Folder, const std::string& Masks, uint32_t Attr,
                         const TStrings* Params, bool Recursive) {
    TStringList Files;
    FindFilesEx(Folder, Masks, Attr, Recursive, &Files);
    for (int I = 0; I < Files.Count(); ++I)
        ChangeParamsInFile(Files[I], Params);
}
