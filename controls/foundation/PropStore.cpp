#include "controls/foundation/PropStore.h"

#include "controls/foundation/PropertyStreams.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"

TReaderErrorHandler ReaderErrorHandler;
TFindGlobalObjectFunc FindGlobalObjectFunc = nullptr;
TPropStoreFormServices PropStoreFormServices;

namespace {

// The framework's value encoding of the component streams.
constexpr uint8_t vaString = 6, vaFalse = 8, vaTrue = 9, vaLString = 12;

void WriteBool(TStream& S, bool B) {
    const uint8_t Tag = B ? vaTrue : vaFalse;
    S.WriteBuffer(&Tag, 1);
}

void WriteStr(TStream& S, const std::string& Text) {
    if (Text.size() <= 255) {
        const uint8_t Head[2] = {vaString, static_cast<uint8_t>(Text.size())};
        S.WriteBuffer(Head, 2);
    } else {
        const uint32_t N = static_cast<uint32_t>(Text.size());
        const uint8_t Head[5] = {vaLString, static_cast<uint8_t>(N), static_cast<uint8_t>(N >> 8),
                                 static_cast<uint8_t>(N >> 16), static_cast<uint8_t>(N >> 24)};
        S.WriteBuffer(Head, 5);
    }
    S.WriteString(Text);
}

uint8_t ReadByte(TStream& S) {
    uint8_t B;
    S.ReadBuffer(&B, 1);
    return B;
}

bool ReadBool(TStream& S) {
    const uint8_t Tag = ReadByte(S);
    if (Tag != vaTrue && Tag != vaFalse)
        throw EReadError(SInvalidImage);
    return Tag == vaTrue;
}

uint32_t ReadU32(TStream& S) {
    uint8_t B[4];
    S.ReadBuffer(B, 4);
    return B[0] | (uint32_t(B[1]) << 8) | (uint32_t(B[2]) << 16) | (uint32_t(B[3]) << 24);
}

std::string ReadStr(TStream& S) {
    const uint8_t Tag = ReadByte(S);
    uint32_t N;
    if (Tag == vaString)
        N = ReadByte(S);
    else if (Tag == vaLString)
        N = ReadU32(S);
    else
        throw EReadError(SInvalidImage);
    if (N > S.Size() - S.Position())
        throw EReadError(SInvalidImage);
    std::string Text(N, '\0');
    S.ReadBuffer(Text.data(), static_cast<int32_t>(N));
    return Text;
}

std::string JoinLines(const std::vector<std::string>& Names) {
    std::string Out;
    for (size_t I = 0; I < Names.size(); ++I)
        Out += (I ? "\r\n" : "") + Names[I];
    return Out;
}

} // namespace

ZEL_DEFINE_CLASS(THSPropStore, TComponent,
                 {Prop::Object<THSPropStore>("PropList", &THSPropStore::PropList, &THSPropStore::SetPropList),
                  Prop::String<THSPropStore>("Key", &THSPropStore::Key, &THSPropStore::SetKey),
                  Prop::Bool<THSPropStore>("IgnoreErrors", &THSPropStore::IgnoreErrors,
                                           &THSPropStore::SetIgnoreErrors)
                      .WithDefault(1),
                  Prop::Bool<THSPropStore>("StorePos", &THSPropStore::StorePos, &THSPropStore::SetStorePos)
                      .WithDefault(1)})

THSPropStore::THSPropStore(TComponent* AOwner)
    : TComponent(AOwner), FPropList(std::make_unique<TStringList>()) {}

THSPropStore::~THSPropStore() {
    // A form that is ending has dropped its handlers already; the token going makes a hook that
    // somebody else has chained over a mere pass-through.
    if (FCloseHook && Owner() && !Owner()->HasState(csDestroying) && PropStoreFormServices.UnhookCloseQuery)
        PropStoreFormServices.UnhookCloseQuery(this);
}

void THSPropStore::Loaded() {
    TComponent::Loaded();
    if (HasState(csDesigning))
        return;
    if (!FCloseHook && Owner() && PropStoreFormServices.HookCloseQuery)
        FCloseHook = PropStoreFormServices.HookCloseQuery(this);
    Load();
}

std::string THSPropStore::GetKey() const {
    if (!FKey.empty())
        return FKey;
    return (Owner() ? Owner()->Name() : std::string()) + Name();
}

TComponent* THSPropStore::Resolve(const std::string& Path) const {
    TComponent* Root = Owner();
    if (Path.empty())
        return Root;
    if (TComponent* Direct = Root->FindComponent(Path))
        return Direct;
    // A dotted path walks down the owned components.
    TComponent* C = Root;
    size_t From = 0;
    while (C) {
        const size_t Dot = Path.find('.', From);
        C = C->FindComponent(Path.substr(From, Dot == std::string::npos ? std::string::npos : Dot - From));
        if (Dot == std::string::npos)
            break;
        From = Dot + 1;
    }
    if (C)
        return C;
    if (FindGlobalObjectFunc) {
        if (TComponent* G = FindGlobalObjectFunc(Root->Name() + "." + Path))
            return G;
        return FindGlobalObjectFunc(Path);
    }
    return nullptr;
}

std::vector<THSPropStore::Group> THSPropStore::Groups() const {
    std::vector<Group> Out;
    for (int I = 0; I < FPropList->Count(); ++I) {
        const std::string Line = Trim(FPropList->Get(I));
        if (Line.empty())
            continue;
        const size_t Dot = Line.rfind('.');
        const std::string Path = Dot == std::string::npos ? std::string() : Line.substr(0, Dot);
        const std::string Prop = Dot == std::string::npos ? Line : Line.substr(Dot + 1);
        if (Out.empty() || !SameText(Out.back().Path, Path)) {
            Group G;
            G.Path = Path;
            G.Component = Owner() ? Resolve(Path) : nullptr;
            Out.push_back(std::move(G));
        }
        Out.back().Names.push_back(Prop);
    }
    return Out;
}

void THSPropStore::SaveToStream(TStream& Stream) {
    if (!Owner())
        return;
    for (const Group& G : Groups()) {
        WriteBool(Stream, true);
        if (!G.Component) {
            WriteStr(Stream, "0");
            continue;
        }
        WriteStr(Stream, G.Path.empty() ? Owner()->Name() : G.Path);
        WriteStr(Stream, JoinLines(G.Names));
        WritePropsToStream(Stream, G.Component, G.Names);
    }
    WriteBool(Stream, false);
}

bool ReaderMayGoOn(const std::string& Message, bool& IgnoreAll) {
    if (IgnoreAll)
        return true;
    if (!ReaderErrorHandler)
        return false;
    bool Handled = false;
    ReaderErrorHandler(Message, Handled, IgnoreAll);
    return Handled;
}

bool THSPropStore::ReadError(const std::string& Message, bool& IgnoreAll) {
    return FIgnoreErrors || ReaderMayGoOn(Message, IgnoreAll);
}

void THSPropStore::LoadFromStream(TStream& Stream) {
    if (!Owner())
        return;
    bool IgnoreAll = false;
    for (const Group& G : Groups()) {
        if (!ReadBool(Stream))
            return;
        const std::string Path = ReadStr(Stream);
        if (Path == "0")
            continue;
        TStringList Stored;
        Stored.SetText(ReadStr(Stream));
        const uint32_t Size = ReadU32(Stream);
        if (Size > Stream.Size() - Stream.Position())
            throw EReadError(SInvalidImage);
        const int64_t End = Stream.Position() + Size;
        std::vector<std::string> Work;
        for (const std::string& N : G.Names)
            if (Stored.IndexOf(N) >= 0)
                Work.push_back(N);
        if (Work.empty() || !G.Component) {
            Stream.SetPosition(End);
            continue;
        }
        std::string Image(Size, '\0');
        Stream.ReadBuffer(Image.data(), static_cast<int32_t>(Size));
        try {
            // Only the work list is applied; the class's property table is never touched.
            ObjectSubsetFromBinary(Image, G.Component, Work);
        } catch (const Exception& E) {
            Stream.SetPosition(End);
            if (!ReadError(E.Message(), IgnoreAll))
                throw;
        }
    }
}

void THSPropStore::Save() {
    bool Cancel = false;
    if (OnSaveChanges)
        OnSaveChanges(this, Cancel);
    if (Cancel)
        return;
    TMemoryStream Stream;
    SaveToStream(Stream);
    WriteBufToRegistry(GetKey(), Stream.Memory(), static_cast<int32_t>(Stream.Size()));
    if (FStorePos && Owner() && PropStoreFormServices.WritePlacement)
        PropStoreFormServices.WritePlacement(Owner(), GetKey());
}

void THSPropStore::Load() {
    bool Cancel = false;
    if (OnLoadChanges)
        OnLoadChanges(this, Cancel);
    if (Cancel)
        return;
    const int32_t Size = GetRegBufSize(GetKey());
    if (Size > 0) {
        TMemoryStream Stream;
        Stream.SetSize(Size);
        const int32_t Read = ReadBufFromRegistry(GetKey(), Stream.Memory(), Size);
        Stream.SetSize(Read);
        Stream.SetPosition(0);
        LoadFromStream(Stream);
    }
    if (FStorePos && Owner() && PropStoreFormServices.ReadPlacement)
        PropStoreFormServices.ReadPlacement(Owner(), GetKey());
}
