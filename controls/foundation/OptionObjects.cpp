#include "framework/core/Win.h"

#include "controls/foundation/OptionObjects.h"

#include <algorithm>
#include <exception>

#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/PathUtils.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/Collection.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

bool StoreOptionsInFile = false;
std::string OptionsFileName;

namespace {

std::vector<TOptionExt*>& GlobalInstances() {
    static std::vector<TOptionExt*> List;
    return List;
}

std::vector<TOptionsInitializator>& Initializators() {
    static std::vector<TOptionsInitializator> List;
    return List;
}

TOptionExt* FindGlobalByName(const std::string& ClassName) {
    for (TOptionExt* O : GlobalInstances())
        if (CompareText(O->ClassName(), ClassName) == 0)
            return O;
    return nullptr;
}

// Reads or writes the stored published properties of O under Key: simple values as values,
// string lists as one string, collections as their text form, other objects as subkeys.
// A stored value that cannot be read keeps the current value.
void WalkRegistry(TObject* O, const std::string& Key, bool Reading) {
    ForEachProp(
        O,
        [&](TObject* Obj, const TPropInfo* Info, void*) {
            const std::string Path = AddSlash(Key) + Info->Name;
            if (Info->Kind == tkMethod)
                return;
            if (Info->Kind == tkClass) {
                TObject* Value = GetObjectProp(Obj, Info);
                if (!Value)
                    return;
                if (auto* Strings = dynamic_cast<TStrings*>(Value)) {
                    if (!Reading)
                        return WriteStringsToRegistry(Path, Strings);
                    try {
                        ReadStringsFromRegistry(Path, Strings);
                    } catch (const Exception&) {
                    }
                } else if (auto* Collection = dynamic_cast<TCollection*>(Value)) {
                    if (!Reading)
                        return WriteObjTextToRegistry(Path, Collection);
                    try {
                        ReadObjTextFromRegistry(Path, Collection);
                    } catch (const Exception&) {
                    }
                } else {
                    WalkRegistry(Value, Path, Reading);
                }
                return;
            }
            if (Info->Kind == tkBinary) {
                if (!Reading) {
                    const std::string Data = GetStrProp(Obj, Info);
                    return WriteBufToRegistry(Path, Data.data(), static_cast<int32_t>(Data.size()));
                }
                if (Info->IsReadOnly())
                    return;
                try {
                    const int32_t Size = GetRegBufSize(Path);
                    if (Size < 0)
                        return;
                    std::string Data(static_cast<size_t>(Size), '\0');
                    Data.resize(static_cast<size_t>(ReadBufFromRegistry(Path, Data.data(), Size)));
                    SetStrProp(Obj, Info, Data);
                } catch (const Exception&) {
                }
                return;
            }
            if (!Reading)
                return WriteToRegistry(Path, GetPropValueByPropInfo(Obj, Info));
            if (Info->IsReadOnly())
                return;
            try {
                SetPropValueByPropInfo(Obj, Info, ReadFromRegistry(Path, GetPropValueByPropInfo(Obj, Info)));
            } catch (const Exception&) {
                // A value of the wrong type (edited by hand, or left by another version) keeps the default.
            }
        },
        nullptr, true);
}

const char HexDigits[] = "0123456789ABCDEF";

int HexValue(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

} // namespace

ZEL_DEFINE_CLASS(TOptionExt, TPersistent, {})

TOptionExt::~TOptionExt() {
    if (FIsGlobal)
        std::erase(GlobalInstances(), this);
}

void TOptionExt::Initialize() {
    TOptionExt* Global = FindGlobalByName(ClassName());
    if (Global && Global != this) {
        FGlobal = Global;
        FIsGlobal = false;
        Assign(Global);
        return;
    }
    if (Global == this)
        return;
    FIsGlobal = true;
    GlobalInstances().push_back(this);
    InitValues();
    InitializeOptions();
    LoadConfig();
}

void TOptionExt::Assign(TPersistent* Source) {
    auto Bracket = UpdateBracket(*this);
    AssignAllProps(Source, this);
}

std::string TOptionExt::GetKey() const {
    const std::string Name = ClassName();
    return Name.empty() ? Name : Name.substr(1);
}

void TOptionExt::LoadConfig() {
    auto Bracket = UpdateBracket(*this);
    if (StoreOptionsInFile) {
        try {
            LoadComponentFromIniFile(GetOptionControl(), GetKey());
        } catch (const Exception&) {
            // Unreadable stored options keep the values the object has.
        }
    } else {
        WalkRegistry(GetOptionControl(), GetKey(), true);
    }
}

void TOptionExt::SaveConfig() {
    if (StoreOptionsInFile) {
        if (!SaveComponentToIniFile(GetOptionControl(), GetKey()))
            throw EWriteError("Can't save the options " + GetKey() + " to " + OptionsFileName);
    } else
        WalkRegistry(GetOptionControl(), GetKey(), false);
}

void TOptionExt::ApplyOptions() {
    if (FIsGlobal) {
        Update();
        return;
    }
    if (!FGlobal)
        return;
    auto Bracket = UpdateBracket(*this);
    FGlobal->Assign(this);
}

void TOptionExt::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        Update();
}

void TOptionExt::InitializeOptions() {
    const std::vector<TOptionsInitializator> Procs = Initializators();
    for (auto It = Procs.rbegin(); It != Procs.rend(); ++It)
        (*It)(this);
}

TOptionExt* CreateOptionsOfClass(TClass Class) {
    TObject* Obj = Class ? Class->Create(nullptr) : nullptr;
    auto* Options = dynamic_cast<TOptionExt*>(Obj);
    if (!Options) {
        delete Obj;
        throw EInvalidCast(SInvalidCast);
    }
    try {
        Options->Initialize();
    } catch (...) {
        // A global instance stays registered (and owned by the list) even when loading failed.
        if (!Options->IsGlobal())
            delete Options;
        throw;
    }
    return Options;
}

TOptionExt* FindGlobalOptions(TClass Class) {
    return Class ? FindGlobalByName(Class->ClassName()) : nullptr;
}

TOptionExt* GetOptionsByClass(TClass Class) {
    if (TOptionExt* Global = FindGlobalOptions(Class))
        return Global;
    return CreateOptionsOfClass(Class);
}

void RegisterOptionsInitializator(TOptionsInitializator Proc) {
    Initializators().push_back(Proc);
}

void UnRegisterOptionsInitializator(TOptionsInitializator Proc) {
    auto& L = Initializators();
    auto It = std::find(L.begin(), L.end(), Proc);
    if (It != L.end())
        L.erase(It);
}

void SaveGlobalOptions() {
    // One area that cannot be saved must not keep the others from being saved.
    std::exception_ptr First;
    const std::vector<TOptionExt*> List = GlobalInstances();
    for (TOptionExt* O : List) {
        try {
            O->SaveConfig();
        } catch (...) {
            if (!First)
                First = std::current_exception();
        }
    }
    if (First)
        std::rethrow_exception(First);
}

void FreeGlobalOptions() {
    std::exception_ptr Failure;
    try {
        SaveGlobalOptions();
    } catch (...) {
        Failure = std::current_exception();
    }
    while (!GlobalInstances().empty())
        delete GlobalInstances().back();
    if (Failure)
        std::rethrow_exception(Failure);
}

void RegisterOptionExt(TClass Class) {
    RegisterClassExt(Class, {"Environment.Options"}, {THSVariant(int32_t{123})});
}

namespace {

std::vector<std::string> ReadLines(const std::string& FileName) {
    std::vector<std::string> Lines;
    if (!FileExists(FileName))
        return Lines;
    TStringList L;
    L.LoadFromFile(FileName);
    for (int I = 0; I < L.Count(); ++I)
        Lines.push_back(L.Get(I));
    return Lines;
}

bool IsSectionHeader(const std::string& Line) {
    const std::string T = Trim(Line);
    return !T.empty() && T[0] == '[';
}

// The section's body lines [First, Last) in Lines; false when the section is missing.
bool FindSection(const std::vector<std::string>& Lines, const std::string& Section, size_t& First,
                 size_t& Last) {
    for (size_t I = 0; I < Lines.size(); ++I) {
        if (CompareText(Trim(Lines[I]), "[" + Section + "]") != 0)
            continue;
        First = I + 1;
        Last = First;
        while (Last < Lines.size() && !IsSectionHeader(Lines[Last]))
            ++Last;
        return true;
    }
    return false;
}

} // namespace

// The body lines hold no "=", which the platform's profile functions do not all keep, so the
// section is read and written here.
bool SaveComponentToIniFile(TPersistent* Object, const std::string& Section) {
    TStringStream Stream;
    WriteObjToStream(Stream, Object);
    const std::string Image = Stream.DataString();
    std::vector<std::string> Body;
    for (size_t I = 0; I < Image.size(); I += 32) {
        std::string Line;
        for (size_t J = I; J < Image.size() && J < I + 32; ++J) {
            const auto B = static_cast<unsigned char>(Image[J]);
            Line += HexDigits[B >> 4];
            Line += HexDigits[B & 15];
        }
        Body.push_back(Line);
    }
    try {
        std::vector<std::string> Lines = ReadLines(OptionsFileName);
        size_t First = 0;
        size_t Last = 0;
        if (FindSection(Lines, Section, First, Last)) {
            Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(First),
                        Lines.begin() + static_cast<std::ptrdiff_t>(Last));
            Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(First), Body.begin(), Body.end());
        } else {
            Lines.push_back("[" + Section + "]");
            Lines.insert(Lines.end(), Body.begin(), Body.end());
        }
        TStringList Out;
        for (const std::string& L : Lines)
            Out.Add(L);
        // Written beside the file first, so a failed write leaves the old file whole.
        const std::string Temp = OptionsFileName + ".new";
        Out.SaveToFile(Temp);
        if (!MoveFileExA(Temp.c_str(), OptionsFileName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileA(Temp.c_str());
            return false;
        }
    } catch (const Exception&) {
        return false;
    }
    return true;
}

void LoadComponentFromIniFile(TPersistent* Object, const std::string& Section) {
    const std::vector<std::string> Lines = ReadLines(OptionsFileName);
    size_t First = 0;
    size_t Last = 0;
    if (!FindSection(Lines, Section, First, Last))
        return;
    std::string Image;
    for (size_t L = First; L < Last; ++L) {
        const std::string Text = Trim(Lines[L]);
        if (Text.size() % 2 != 0)
            throw EReadError("Invalid options data in section " + Section);
        for (size_t I = 0; I < Text.size(); I += 2) {
            const int Hi = HexValue(Text[I]);
            const int Lo = HexValue(Text[I + 1]);
            if (Hi < 0 || Lo < 0)
                throw EReadError("Invalid options data in section " + Section);
            Image += static_cast<char>(Hi * 16 + Lo);
        }
    }
    if (Image.empty())
        return;
    TStringStream Stream(Image);
    ReadObjFromStream(Stream, Object);
}

// ---- TOptionExtList ----

TOptionExtList::TOptionExtList() {
    std::vector<TClass> Classes;
    GetRegisteredClasses(TOptionExt::StaticClass(), Classes);
    // A constructor that throws runs no destructor: the objects made so far go here.
    TFailureGuard Release([this] {
        for (TOptionExt* O : FItems)
            delete O;
    });
    for (TClass C : Classes) {
        TOptionExt* O = CreateOptionsOfClass(C);
        // The first object of a class becomes its global instance: the list holds copies only.
        if (O->IsGlobal())
            O = CreateOptionsOfClass(C);
        FItems.push_back(O);
    }
}

TOptionExtList::~TOptionExtList() {
    for (TOptionExt* O : FItems)
        delete O;
}

TOptionExt* TOptionExtList::GetOptionWithClass(const std::string& Name) const {
    for (TOptionExt* O : FItems)
        if (CompareText(O->ClassName(), Name) == 0)
            return O;
    return nullptr;
}

void TOptionExtList::ApplyOptions() {
    for (TOptionExt* O : FItems)
        O->ApplyOptions();
}
