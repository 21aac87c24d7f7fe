#pragma once
// Small helpers of the family: raising errors, freeing and copying lists, counted string
// lists, run-time property access, substring search from a position, and writing and reading
// persistent objects through the framework's component streams.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSVariant.h"
#include "framework/core/Component.h"
#include "framework/core/List.h"
#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"

class TStrings;
class TStream;
class TPersistent;

[[noreturn]] void Error(const std::string& Msg);
template <class... A> [[noreturn]] void ErrorFmt(const char* Fmt, A... Args) {
    Error(Format(Fmt, Args...));
}

template <class T> void FreeObject(T*& Obj) {
    T* P = Obj;
    Obj = nullptr;
    delete P;
}

// Removes entry 0 and frees it as an object until the list is empty; nil is accepted.
void ClearList(TList* List);
void FreeList(TList*& List);
// Dest gets Source's count and all its pointers.
void CopyList(const TList* Source, TList* Dest);
int32_t ListIndexOf(const TList* List, const void* P);

void RemoveFromStrings(TStrings* Strings, const std::string& S);
// A use count per string, kept in the entry's object slot.
void AddToCountedStrings(TStrings* Strings, const std::string& S);
void RemoveFromCountedStrings(TStrings* Strings, const std::string& S);
int32_t CountedStringsCount(const TStrings* Strings, int Index);

inline int32_t Min(int32_t A, int32_t B) {
    return A < B ? A : B;
}
inline int32_t Max(int32_t A, int32_t B) {
    return A > B ? A : B;
}
inline void SwapInt(int32_t& A, int32_t& B) {
    const int32_t T = A;
    A = B;
    B = T;
}
// Afterwards A <= B.
inline void SwapMaxInt(int32_t& A, int32_t& B) {
    if (B < A)
        SwapInt(A, B);
}

// True exactly when S equals "True" ignoring case.
bool StrToBool(const std::string& S);
std::string BoolToStr(bool B);
std::string ChangeCharTo(char Old, char New, const std::string& S);
// Splits S at Delim (and at line breaks) and appends the parts; a final empty part is dropped.
void ParseString(const std::string& S, char Delim, TStrings* Strings);
// As ParseString, then trims the appended entries and deletes those left empty.
void ParseAndCompactString(const std::string& S, char Delim, TStrings* Strings);
inline int32_t GetDWordSize(int32_t N) {
    return (N + 3) / 4;
}
// Every resource string of the family passes through here before use.
inline const std::string& ResStr(const std::string& S) {
    return S;
}

inline bool AreObjNotEqualNotNil(const TObject* A, const TObject* B) {
    return A && B && A != B;
}
// True when the class of Obj or an ancestor has that name (ignoring case); false for nil.
bool InheritsFromClassName(const TObject* Obj, const std::string& Name);

// Copies every published property of Source that Dest has too, except those named in Exclude.
void AssignAllPropsExclude(TObject* Source, TObject* Dest, const TStrings* Exclude);
void AssignAllProps(TObject* Source, TObject* Dest);
void AssignProp(TObject* Source, TObject* Dest, const std::string& Name);
void AssignPropInfo(TObject* Source, TObject* Dest, const TPropInfo* SourceInfo, const TPropInfo* DestInfo);
// Ordinals as integers (booleans as booleans), floats as reals, strings as strings; no info: empty.
THSVariant GetPropValueByPropInfo(TObject* Obj, const TPropInfo* Info);
// A string given to an ordinal is converted to an integer (EConvertError when it is none).
void SetPropValueByPropInfo(TObject* Obj, const TPropInfo* Info, const THSVariant& Value);
// The object held in the published property Name; nil when Obj is nil or has none.
TObject* GetClassProperty(TObject* Obj, const std::string& Name);

using TPropProc = std::function<void(TObject* Obj, const TPropInfo* Info, void* Data)>;
inline constexpr uint32_t tkAny = 0xFFFFFFFFu;
inline constexpr uint32_t KindBit(TTypeKind K) {
    return 1u << K;
}
// Published properties of the kinds in Kinds (a set of KindBit), in order of their names;
// with OnlyStored, properties whose stored rule answers false are left out.
void IterateProps(TObject* Obj, uint32_t Kinds, const TPropProc& Proc, void* Data, bool OnlyStored);
void ForEachProp(TObject* Obj, const TPropProc& Proc, void* Data, bool OnlyStored);

// Positions count from 1; 0 means not found.
int32_t PosEx(const std::string& SubStr, const std::string& S, int32_t Start);
int32_t BackPosEx(const std::string& SubStr, const std::string& S, int32_t Start);

// Lets an object that is not a component (a collection among them) pass through the streaming
// of components: its published properties are written as those of the holder's P.
class TPersHolder : public TComponent {
    ZEL_DECLARE_CLASS(TPersHolder)
public:
    explicit TPersHolder(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TPersistent* P() const { return FP; }
    void SetP(TPersistent* Value) { FP = Value; }

private:
    TPersistent* FP = nullptr;
};

// Persistent objects through the framework's streaming of published properties; components
// directly, any other object inside a TPersHolder. The plain functions write the binary form
// ("TPF0"), the Text ones the text form; every reader takes either form.
void WriteObjToStream(TStream& Stream, TPersistent* Obj);
void ReadObjFromStream(TStream& Stream, TPersistent* Obj);
void WriteObjToTextStream(TStream& Stream, TPersistent* Obj);
void ReadObjFromTextStream(TStream& Stream, TPersistent* Obj);
void WriteObjToFile(TPersistent* Obj, const std::string& FileName);
void WriteObjToTextFile(TPersistent* Obj, const std::string& FileName);
void ReadObjFromFile(TPersistent* Obj, const std::string& FileName);
void ReadObjFromTextFile(TPersistent* Obj, const std::string& FileName);

// Copies the published properties named in Names (comma-separated) from Source to Dest; a name
// that either side does not publish is skipped. Nothing happens for one object or a nil one.
void AssignPropsEx(TObject* Source, TObject* Dest, const std::string& Names);
// Registers the class by name unless a class of that name is registered already; nil does nothing.
void SafeRegisterClass(TClass Class);
// The design environment's property editor hook; unset (and so doing nothing) at run time.
using TCallPropertyEditHook = void (*)(TObject* Instance, const std::string& PropertyName);
extern TCallPropertyEditHook CallPropertyEditHook;
void CallPropertyEdit(TObject* Instance, const std::string& PropertyName);
