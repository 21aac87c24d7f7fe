#include "controls/foundation/PropertyUtils.h"

#include <algorithm>
#include <vector>

#include "framework/core/ObjectText.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

void Error(const std::string& Msg) {
    throw EHSError(Msg);
}

void ClearList(TList* List) {
    if (!List)
        return;
    while (List->Count() > 0) {
        auto* Obj = static_cast<TObject*>(List->Get(0));
        List->Delete(0);
        delete Obj;
    }
}

void FreeList(TList*& List) {
    if (!List)
        return;
    ClearList(List);
    FreeObject(List);
}

void CopyList(const TList* Source, TList* Dest) {
    if (!Source || !Dest || Source == Dest)
        return;
    Dest->SetCount(Source->Count());
    for (int I = 0; I < Source->Count(); ++I)
        Dest->Put(I, Source->Get(I));
}

int32_t ListIndexOf(const TList* List, const void* P) {
    if (!List)
        return -1;
    for (int I = 0; I < List->Count(); ++I)
        if (List->Get(I) == P)
            return I;
    return -1;
}

void RemoveFromStrings(TStrings* Strings, const std::string& S) {
    const int I = Strings->IndexOf(S);
    if (I >= 0)
        Strings->Delete(I);
}

namespace {
intptr_t CountOf(const TStrings* Strings, int Index) {
    return reinterpret_cast<intptr_t>(Strings->GetObject(Index));
}
} // namespace

void AddToCountedStrings(TStrings* Strings, const std::string& S) {
    const int I = Strings->IndexOf(S);
    if (I >= 0)
        Strings->PutObject(I, reinterpret_cast<TObject*>(CountOf(Strings, I) + 1));
    else
        Strings->AddObject(S, reinterpret_cast<TObject*>(intptr_t{1}));
}

void RemoveFromCountedStrings(TStrings* Strings, const std::string& S) {
    const int I = Strings->IndexOf(S);
    if (I < 0)
        return;
    const intptr_t N = CountOf(Strings, I);
    if (N <= 1)
        Strings->Delete(I);
    else
        Strings->PutObject(I, reinterpret_cast<TObject*>(N - 1));
}

int32_t CountedStringsCount(const TStrings* Strings, int Index) {
    return static_cast<int32_t>(CountOf(Strings, Index));
}

bool StrToBool(const std::string& S) {
    return CompareText(S, "True") == 0;
}

std::string BoolToStr(bool B) {
    return B ? "True" : "False";
}

std::string ChangeCharTo(char Old, char New, const std::string& S) {
    std::string R = S;
    std::replace(R.begin(), R.end(), Old, New);
    return R;
}

void ParseString(const std::string& S, char Delim, TStrings* Strings) {
    TStringList Parts;
    Parts.SetText(ChangeCharTo(Delim, '\n', S));
    Strings->AddStrings(&Parts);
}

void ParseAndCompactString(const std::string& S, char Delim, TStrings* Strings) {
    const int First = Strings->Count();
    ParseString(S, Delim, Strings);
    for (int I = Strings->Count() - 1; I >= First; --I) {
        const std::string T = Trim(Strings->Get(I));
        if (T.empty())
            Strings->Delete(I);
        else
            Strings->Put(I, T);
    }
}

bool InheritsFromClassName(const TObject* Obj, const std::string& Name) {
    return Obj && Obj->InheritsFromName(Name);
}

// ---- properties ----

void AssignPropInfo(TObject* Source, TObject* Dest, const TPropInfo* SI, const TPropInfo* DI) {
    if (!SI || !DI || DI->IsReadOnly())
        return;
    if (SI->IsOrdinal() && DI->IsOrdinal())
        SetOrdProp(Dest, DI, GetOrdProp(Source, SI));
    else if (SI->Kind == tkFloat && DI->Kind == tkFloat)
        SetFloatProp(Dest, DI, GetFloatProp(Source, SI));
    else if ((SI->Kind == tkString || SI->Kind == tkBinary) && DI->Kind == SI->Kind)
        SetStrProp(Dest, DI, GetStrProp(Source, SI));
    else if (SI->Kind == tkClass && DI->Kind == tkClass)
        SetObjectProp(Dest, DI, GetObjectProp(Source, SI));
}

void AssignProp(TObject* Source, TObject* Dest, const std::string& Name) {
    AssignPropInfo(Source, Dest, GetPropInfo(Source, Name), GetPropInfo(Dest, Name));
}

void AssignAllPropsExclude(TObject* Source, TObject* Dest, const TStrings* Exclude) {
    if (!AreObjNotEqualNotNil(Source, Dest))
        return;
    for (const TPropInfo* Info : GetPropList(Source)) {
        if (Info->Kind == tkMethod)
            continue;
        if (Exclude && Exclude->IndexOf(Info->Name) >= 0)
            continue;
        AssignPropInfo(Source, Dest, Info, GetPropInfo(Dest, Info->Name));
    }
}

void AssignAllProps(TObject* Source, TObject* Dest) {
    AssignAllPropsExclude(Source, Dest, nullptr);
}

THSVariant GetPropValueByPropInfo(TObject* Obj, const TPropInfo* Info) {
    if (!Info)
        return THSVariant();
    if (Info->Kind == tkBool)
        return THSVariant(GetOrdProp(Obj, Info) != 0);
    if (Info->IsOrdinal()) {
        THSVariant V = THSVariant::Of(varInteger);
        V.Int = GetOrdProp(Obj, Info);
        return V;
    }
    if (Info->Kind == tkFloat)
        return THSVariant(GetFloatProp(Obj, Info));
    if (Info->Kind == tkString || Info->Kind == tkBinary)
        return THSVariant(GetStrProp(Obj, Info));
    return THSVariant();
}

void SetPropValueByPropInfo(TObject* Obj, const TPropInfo* Info, const THSVariant& Value) {
    if (!Info)
        return;
    if (Info->IsOrdinal()) {
        const int64_t N = Value.IsText() ? StrToInt64(Value.Str) : Value.AsInt();
        SetOrdProp(Obj, Info, N);
    } else if (Info->Kind == tkFloat) {
        SetFloatProp(Obj, Info, Value.IsText() ? StrToFloat(Value.Str) : Value.AsReal());
    } else if (Info->Kind == tkString || Info->Kind == tkBinary) {
        std::string S;
        if (Value.IsText())
            S = Value.Str;
        else if (Value.VType == varBoolean)
            S = BoolToStr(Value.AsBool());
        else if (Value.IsReal())
            S = FloatToStr(Value.Real);
        else if (!Value.IsEmpty() && !Value.IsNull())
            S = IntToStr(Value.Int);
        SetStrProp(Obj, Info, S);
    }
}

TObject* GetClassProperty(TObject* Obj, const std::string& Name) {
    if (!Obj)
        return nullptr;
    const TPropInfo* Info = GetPropInfo(Obj, Name);
    return Info && Info->Kind == tkClass ? GetObjectProp(Obj, Info) : nullptr;
}

void IterateProps(TObject* Obj, uint32_t Kinds, const TPropProc& Proc, void* Data, bool OnlyStored) {
    if (!Obj)
        return;
    std::vector<const TPropInfo*> List = GetPropList(Obj);
    std::stable_sort(List.begin(), List.end(), [](const TPropInfo* A, const TPropInfo* B) {
        return CompareText(A->Name, B->Name) < 0;
    });
    for (const TPropInfo* Info : List) {
        if ((Kinds & KindBit(Info->Kind)) == 0)
            continue;
        if (OnlyStored && !IsStoredProp(Obj, Info))
            continue;
        Proc(Obj, Info, Data);
    }
}

void ForEachProp(TObject* Obj, const TPropProc& Proc, void* Data, bool OnlyStored) {
    IterateProps(Obj, tkAny, Proc, Data, OnlyStored);
}

// ---- substrings ----

int32_t PosEx(const std::string& SubStr, const std::string& S, int32_t Start) {
    if (SubStr.empty() || S.empty() || SubStr.size() > S.size())
        return 0;
    if (Start < 1)
        Start = 1;
    if (static_cast<size_t>(Start) > S.size())
        return 0;
    const size_t P = S.find(SubStr, static_cast<size_t>(Start - 1));
    return P == std::string::npos ? 0 : static_cast<int32_t>(P + 1);
}

int32_t BackPosEx(const std::string& SubStr, const std::string& S, int32_t Start) {
    if (SubStr.empty() || S.empty() || SubStr.size() > S.size() || Start < 1)
        return 0;
    const size_t P = S.rfind(SubStr, static_cast<size_t>(Start - 1));
    return P == std::string::npos ? 0 : static_cast<int32_t>(P + 1);
}

// ---- object streams ----

ZEL_DEFINE_CLASS(TPersHolder, TComponent,
                 {Prop::Object<TPersHolder>("P", &TPersHolder::P, &TPersHolder::SetP)})

void WriteObjToStream(TStream& Stream, TPersistent* Obj) {
    if (Is<TComponent>(Obj))
        return WriteObjectBinary(Stream, Obj);
    TPersHolder Holder;
    Holder.SetP(Obj);
    WriteObjectBinary(Stream, &Holder);
}

// Settings that earlier builds stored as text keep loading, so both forms are read here.
void ReadObjFromStream(TStream& Stream, TPersistent* Obj) {
    if (Is<TComponent>(Obj))
        return ReadObjectAnyForm(Stream, Obj);
    TPersHolder Holder;
    Holder.SetP(Obj);
    ReadObjectAnyForm(Stream, &Holder);
}

void WriteObjToTextStream(TStream& Stream, TPersistent* Obj) {
    if (Is<TComponent>(Obj))
        return WriteObjectText(Stream, Obj);
    TPersHolder Holder;
    Holder.SetP(Obj);
    WriteObjectText(Stream, &Holder);
}

void ReadObjFromTextStream(TStream& Stream, TPersistent* Obj) {
    ReadObjFromStream(Stream, Obj);
}

void WriteObjToFile(TPersistent* Obj, const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    WriteObjToStream(Stream, Obj);
}

void WriteObjToTextFile(TPersistent* Obj, const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    WriteObjToTextStream(Stream, Obj);
}

void ReadObjFromFile(TPersistent* Obj, const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    ReadObjFromStream(Stream, Obj);
}

void ReadObjFromTextFile(TPersistent* Obj, const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    ReadObjFromTextStream(Stream, Obj);
}

// ---- property copying by name and class registration ----

void AssignPropsEx(TObject* Source, TObject* Dest, const std::string& Names) {
    if (!AreObjNotEqualNotNil(Source, Dest))
        return;
    size_t Start = 0;
    while (Start <= Names.size()) {
        size_t End = Names.find(',', Start);
        if (End == std::string::npos)
            End = Names.size();
        std::string Name = Trim(Names.substr(Start, End - Start));
        if (!Name.empty())
            AssignProp(Source, Dest, Name);
        Start = End + 1;
    }
}

void SafeRegisterClass(TClass Class) {
    if (!Class)
        return;
    if (!GetClass(Class->ClassName()))
        RegisterClass(Class);
}

TCallPropertyEditHook CallPropertyEditHook = nullptr;

void CallPropertyEdit(TObject* Instance, const std::string& PropertyName) {
    if (CallPropertyEditHook)
        CallPropertyEditHook(Instance, PropertyName);
}
