#include "controls/foundation/FormFiles.h"

#include <memory>
#include <vector>

#include "controls/foundation/CompFiler.h"
#include "controls/foundation/FileSearch.h"
#include "controls/foundation/FileSystem.h"
#include "controls/foundation/FormServices.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/LogFile.h"
#include "controls/foundation/PropertyStreams.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

namespace {

struct TFormFile {
    std::string FileName;
    std::string Bytes; // as the file holds it
    TCompFormat Format = cfText;
    std::string ClassName;
    std::unique_ptr<TComponent> Form;
};

std::string ReadFileBytes(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    return Stream.ReadRemaining();
}

// The new bytes take the file's place; the old file keeps its backup name. Nothing is lost when
// a step fails: the new bytes are whole on disk before the old file moves.
void ReplaceFile(const std::string& FileName, const std::string& Bytes) {
    const std::string Temp = TempFileName(FileName);
    try {
        {
            TFileStream Out(Temp, fmCreate);
            Out.WriteString(Bytes);
        }
        if (!RenameToBak(FileName))
            throw EHSError(Format(LoadResString(SErrRenameFile).c_str(), FileName.c_str(),
                                  FileBakName(FileName).c_str()));
        if (!RenameFile(Temp, FileName)) {
            RenameFile(FileBakName(FileName), FileName);
            throw EHSError(Format(LoadResString(SErrRenameFile).c_str(), Temp.c_str(), FileName.c_str()));
        }
    } catch (...) {
        DeleteFile(Temp);
        throw;
    }
}

int32_t ConvertFolderFiles(const std::vector<std::string>& FileNames) {
    TCompFiler Filer;
    std::vector<TFormFile> Files;
    for (const std::string& Name : FileNames) {
        TFormFile F;
        F.FileName = Name;
        try {
            F.Bytes = ReadFileBytes(Name);
            TStringStream Stream(F.Bytes);
            F.Format = TCompFiler::FormatOfStream(Stream);
            F.ClassName = GetClassNameFromStream(Stream);
            F.Form.reset(Filer.CreateFromStream(Stream, nullptr, TForm::StaticClass()));
        } catch (const Exception& E) {
            WriteToLog(Format("Form %s not converted: %s", Name.c_str(), E.Message().c_str()));
            continue;
        }
        Files.push_back(std::move(F));
    }
    // "Form2.Table1": a form of this folder first, then one the program shows.
    auto Find = [&](const std::string& Ref) -> TComponent* {
        const size_t Dot = Ref.find('.');
        const std::string FormName = Ref.substr(0, Dot);
        for (const TFormFile& F : Files)
            if (SameText(F.Form->Name(), FormName))
                return Dot == std::string::npos ? F.Form.get() : F.Form->FindComponent(Ref.substr(Dot + 1));
        return dynamic_cast<TComponent*>(GlobalFindObject(Ref));
    };
    int32_t Converted = 0;
    for (TFormFile& F : Files) {
        const std::vector<std::string> Unset = Filer.FixupReferences(F.Form.get(), Find);
        try {
            if (!Unset.empty())
                throw EHSError("no form holds " + Unset.front());
            TMemoryStream Out;
            Filer.SaveToStream(Out, F.Form.get(), F.Format, F.ClassName);
            const std::string Bytes(Out.Memory(), static_cast<size_t>(Out.Size()));
            if (Bytes == F.Bytes)
                continue;
            ReplaceFile(F.FileName, Bytes);
            WriteToLog(Format("Form %s converted", F.FileName.c_str()));
            ++Converted;
        } catch (const Exception& E) {
            WriteToLog(Format("Form %s not converted: %s", F.FileName.c_str(), E.Message().c_str()));
        }
    }
    return Converted;
}

int32_t ConvertFolder(const std::string& Folder, bool Recursive) {
    std::vector<std::string> Files, Folders;
    ForEachFile(Folder + "*.dfm", faAnyPlainFile, false,
                [&](const std::string& Dir, const WIN32_FIND_DATAA& E, bool&) {
                    // The platform's short names let "*.dfm" match longer extensions too.
                    if (CheckFileExt(E.cFileName, "DFM"))
                        Files.push_back(Dir + E.cFileName);
                });
    if (Recursive)
        ForEachFile(Folder + "*", FILE_ATTRIBUTE_DIRECTORY, false,
                    [&](const std::string& Dir, const WIN32_FIND_DATAA& E, bool&) {
                        if ((E.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && E.cFileName[0] != '.')
                            Folders.push_back(Dir + E.cFileName + "\\");
                    });
    int32_t Converted = Files.empty() ? 0 : ConvertFolderFiles(Files);
    for (const std::string& Sub : Folders)
        Converted += ConvertFolder(Sub, true);
    return Converted;
}

} // namespace

int32_t CorrectFormFiles(const std::string& Path, bool Recursive) {
    if (CheckFileExt(Path, "DFM") && FileExists(Path))
        return ConvertFolderFiles({Path});
    return ConvertFolder(IncludeTrailingBackslash(Path), Recursive);
}
