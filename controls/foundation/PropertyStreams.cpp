#include "controls/foundation/PropertyStreams.h"

#include <cstring>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSResStrings.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Properties.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

void WriteInt32(TStream& Stream, int32_t Value) {
    uint8_t Bytes[4];
    for (int I = 0; I < 4; ++I)
        Bytes[I] = static_cast<uint8_t>(static_cast<uint32_t>(Value) >> (8 * I));
    Stream.WriteBuffer(Bytes, 4);
}

int32_t ReadInt32(TStream& Stream) {
    uint8_t Bytes[4];
    Stream.ReadBuffer(Bytes, 4);
    uint32_t V = 0;
    for (int I = 0; I < 4; ++I)
        V |= static_cast<uint32_t>(Bytes[I]) << (8 * I);
    return static_cast<int32_t>(V);
}

} // namespace

void WritePropsToStream(TStream& Stream, TComponent* Component, const std::vector<std::string>& PropNames) {
    if (!Component)
        return;
    const std::string Image = ObjectSubsetToBinary(Component, PropNames);
    WriteInt32(Stream, static_cast<int32_t>(Image.size()));
    Stream.WriteString(Image);
}

void WritePropsToStream(TStream& Stream, TComponent* Component, const TStrings* PropNames) {
    std::vector<std::string> Names;
    if (PropNames)
        for (int I = 0; I < PropNames->Count(); ++I)
            Names.push_back(Trim(PropNames->Get(I)));
    WritePropsToStream(Stream, Component, Names);
}

void ReadPropsFromStream(TStream& Stream, TComponent* Component) {
    if (!Component)
        return;
    const int64_t Start = Stream.Position();
    const int32_t Size = ReadInt32(Stream);
    if (Size < 0 || Size > Stream.Size() - Stream.Position()) {
        Stream.SetPosition(Start);
        throw EReadError(SInvalidImage);
    }
    std::string Image(static_cast<size_t>(Size), '\0');
    Stream.ReadBuffer(Image.data(), Size);
    // A rejected image leaves the stream where it was.
    TFailureGuard Rewind([&] { Stream.SetPosition(Start); });
    ObjectFromBinary(Image, Component);
}

bool SmartSkipResHeader(TStream& Stream, bool KeepPosition) {
    const int64_t Start = Stream.Position();
    uint8_t Head[MaxResHeaderProbe];
    const int32_t N = Stream.Read(Head, MaxResHeaderProbe);
    Stream.SetPosition(Start);
    if (N < 3 || Head[0] != 0xFF || Head[1] != 10 || Head[2] != 0)
        return false;
    const void* End = std::memchr(Head + 3, 0, static_cast<size_t>(N - 3));
    if (!End)
        return false;
    const int32_t NameLength = static_cast<int32_t>(static_cast<const uint8_t*>(End) - (Head + 3));
    const int32_t HeaderLength = NameLength + 10;
    if (HeaderLength > Stream.Size() - Start)
        return false;
    if (!KeepPosition)
        Stream.SetPosition(Start + HeaderLength);
    return true;
}

TClass GetClassFromStream(TStream& Stream) {
    const int64_t Start = Stream.Position();
    SmartSkipResHeader(Stream, false);
    const std::string Name = ReadBinaryClassName(Stream);
    Stream.SetPosition(Start);
    return Name.empty() ? nullptr : GetClass(Name);
}

bool IsTextStream(TStream& Stream) {
    const int64_t Start = Stream.Position();
    char Head[9];
    const int32_t N = Stream.Read(Head, 9);
    Stream.SetPosition(Start);
    const std::string S(Head, static_cast<size_t>(N > 0 ? N : 0));
    return S.rfind("object", 0) == 0 || S.rfind("inherited", 0) == 0;
}

std::string GetClassNameFromStream(TStream& Stream) {
    const int64_t Start = Stream.Position();
    if (!IsTextStream(Stream)) {
        SmartSkipResHeader(Stream, false);
        const std::string Name = ReadBinaryClassName(Stream);
        Stream.SetPosition(Start);
        return Name;
    }
    char Buffer[522];
    const int32_t N = Stream.Read(Buffer, sizeof Buffer);
    Stream.SetPosition(Start);
    std::string Line(Buffer, static_cast<size_t>(N > 0 ? N : 0));
    Line = Line.substr(0, Line.find('\n'));
    Line = Line.substr(0, Line.find('\r'));
    const size_t Colon = Line.find(':');
    if (Colon != std::string::npos)
        return Trim(Line.substr(Colon + 1));
    // An object without a name: "object TClass".
    const size_t Blank = Line.find(' ');
    return Blank == std::string::npos ? std::string() : Trim(Line.substr(Blank + 1));
}

std::string GetCompName(const TPersistent* Obj) {
    return Obj ? Obj->GetNamePath() : std::string();
}

void CompNamesToProc(TComponent* Owner, TComponent* Root, TClass Class,
                     const std::function<void(const std::string&)>& Proc) {
    if (!Owner || !Proc)
        return;
    for (int I = 0; I < Owner->ComponentCount(); ++I) {
        TComponent* C = Owner->Components(I);
        if (C->Name().empty() || (Class && !C->InheritsFrom(Class)))
            continue;
        Proc(Owner == Root ? C->Name() : Owner->Name() + "." + C->Name());
    }
}

void CompListNamesToProc(const std::vector<TComponent*>& Owners, TComponent* Root, TClass Class,
                         const std::function<void(const std::string&)>& Proc) {
    for (TComponent* Owner : Owners)
        CompNamesToProc(Owner, Root, Class, Proc);
}

// ---- TPropStream ----

TPropStream::TPropStream(TPersistent* Object, uint16_t Mode, const std::string& PropName)
    : FObject(Object), FMode(static_cast<uint16_t>(Mode & 3)), FPropName(PropName) {
    CheckProperty();
    if (FMode != psWrite) {
        WriteString(PropertyText());
        SetPosition(0);
    }
}

TPropStream::~TPropStream() {
    try {
        Flush();
    } catch (const Exception&) {
        // A destructor cannot report; callers that care flush first.
    }
}

void TPropStream::Flush() {
    if (FMode == psRead || FFlushed)
        return;
    SetPropertyText(std::string(Memory(), static_cast<size_t>(Size())));
    FFlushed = true;
}

void TPropStream::CheckProperty() const {
    if (!FObject || FPropName.empty())
        throw EHSError(LoadResString(SErrBadPropStream));
    const TPropInfo* Info = GetPropInfo(FObject, FPropName);
    if (!Info)
        throw EHSError(LoadResString(SErrBadPropStream));
    if (Info->Kind == tkString || Info->Kind == tkChar)
        return;
    if (Info->Kind == tkClass && dynamic_cast<TStrings*>(GetObjectProp(FObject, Info)))
        return;
    throw EHSError(LoadResString(SErrBadPropStream));
}

std::string TPropStream::PropertyText() const {
    CheckProperty();
    const TPropInfo* Info = GetPropInfo(FObject, FPropName);
    if (Info->Kind == tkClass)
        return static_cast<TStrings*>(GetObjectProp(FObject, Info))->Text();
    if (Info->Kind == tkChar)
        return std::string(1, static_cast<char>(GetOrdProp(FObject, Info)));
    return GetStrProp(FObject, Info);
}

void TPropStream::SetPropertyText(const std::string& Text) {
    CheckProperty();
    const TPropInfo* Info = GetPropInfo(FObject, FPropName);
    if (Info->Kind == tkClass)
        static_cast<TStrings*>(GetObjectProp(FObject, Info))->SetText(Text);
    else if (Info->Kind == tkChar)
        SetOrdProp(FObject, Info, Text.empty() ? 0 : static_cast<uint8_t>(Text[0]));
    else
        SetStrProp(FObject, Info, Text);
}
