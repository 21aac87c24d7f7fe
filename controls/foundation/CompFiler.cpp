#include "controls/foundation/CompFiler.h"

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PropStore.h"
#include "controls/foundation/PropertyStreams.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Properties.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCompFiler, TComponent, {})

namespace {

const TPropInfo& EventInfo(TComponent* Component, const std::string& Event) {
    const TPropInfo* Info = Component ? GetPropInfo(Component, Event) : nullptr;
    if (!Info || Info->Kind != tkMethod)
        throw EHSError(Format(SUnknownProperty, Event.c_str()));
    return *Info;
}

void WriteResourceHeader(TStream& Stream, const std::string& Name, uint32_t Size) {
    std::string Head = "\xFF\x0A";
    Head += '\0';
    Head += Name;
    Head += '\0';
    Head += "\x30\x10"; // moveable, pure, discardable
    for (int I = 0; I < 4; ++I)
        Head += static_cast<char>((Size >> (8 * I)) & 0xFF);
    Stream.WriteString(Head);
}

// The component's bytes from the stream's position: what a resource header announces, else the
// rest of the stream.
std::string ReadComponentBytes(TStream& Stream) {
    if (!SmartSkipResHeader(Stream, false))
        return Stream.ReadRemaining();
    Stream.Seek(-4, soCurrent);
    uint8_t Bytes[4];
    Stream.ReadBuffer(Bytes, 4);
    const uint32_t Size = Bytes[0] | Bytes[1] << 8 | Bytes[2] << 16 | static_cast<uint32_t>(Bytes[3]) << 24;
    if (Size > Stream.Size() - Stream.Position())
        throw EReadError(SInvalidImage);
    std::string Data(Size, '\0');
    Stream.ReadBuffer(Data.data(), static_cast<int32_t>(Size));
    return Data;
}

} // namespace

TCompFiler::TCompFiler(TComponent* AOwner) : TComponent(AOwner) {}

TCompFiler::~TCompFiler() {
    for (TComponent* C : FWatched)
        C->RemoveFreeNotification(this);
}

int32_t TCompFiler::AddEvent(const std::string& Name) {
    if (Name.empty())
        return 0;
    int Index = FEvents.IndexOf(Name);
    if (Index < 0)
        Index = FEvents.Add(Name);
    return Index + 1;
}

std::string TCompFiler::EventNameByID(int32_t ID) const {
    return ID >= 1 && ID <= FEvents.Count() ? FEvents.Get(ID - 1) : std::string();
}

void TCompFiler::Watch(TComponent* Component) {
    if (Component != this && FWatched.insert(Component).second)
        Component->FreeNotification(this);
}

void TCompFiler::SetEvent(TComponent* Component, const std::string& Event, const std::string& Handler) {
    const TPropInfo& Info = EventInfo(Component, Event);
    if (Handler.empty()) {
        auto It = FBindings.find(Component);
        if (It != FBindings.end())
            It->second.erase(Info.Name);
        return;
    }
    if (!IsValidIdent(Handler))
        throw EHSError(SInvalidPropertyValue);
    FBindings[Component][Info.Name] = AddEvent(Handler);
    Watch(Component);
}

int32_t TCompFiler::GetEventID(TComponent* Component, const std::string& Event) const {
    auto It = FBindings.find(Component);
    if (It == FBindings.end())
        return 0;
    const TPropInfo* Info = GetPropInfo(Component, Event);
    auto E = Info ? It->second.find(Info->Name) : It->second.end();
    return E == It->second.end() ? 0 : E->second;
}

std::string TCompFiler::GetEvent(TComponent* Component, const std::string& Event) const {
    return EventNameByID(GetEventID(Component, Event));
}

void TCompFiler::SaveToStream(TStream& Stream, TComponent* Component, TCompFormat Format,
                              const std::string& ClassName) {
    TFilerHooks Hooks;
    // As a designer stores a form: its class is the one made for it.
    Hooks.RootClassName = ClassName;
    if (ClassName.empty() && !Component->Name().empty())
        Hooks.RootClassName = "T" + Component->Name();
    Hooks.EventName = [this](TComponent* C, const TPropInfo& E) { return GetEvent(C, E.Name); };
    if (Format == cfText) {
        Stream.WriteString(ObjectToText(Component, Hooks));
        return;
    }
    const std::string Data = ObjectToBinary(Component, Hooks);
    if (Format == cfResource)
        WriteResourceHeader(Stream, Component->Name(), static_cast<uint32_t>(Data.size()));
    Stream.WriteString(Data);
}

void TCompFiler::SaveToFile(const std::string& FileName, TComponent* Component, TCompFormat Format) {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream, Component, Format);
}

TCompFormat TCompFiler::FormatOfStream(TStream& Stream) {
    if (SmartSkipResHeader(Stream, true))
        return cfResource;
    return IsTextStream(Stream) ? cfText : cfBinary;
}

void TCompFiler::LoadFromStream(TStream& Stream, TComponent* Component) {
    const int64_t Start = Stream.Position();
    TFailureGuard Rewind([&] { Stream.SetPosition(Start); });
    const std::string Data = ReadComponentBytes(Stream);
    bool IgnoreAll = false;
    std::vector<TPending> Pending;
    TFilerHooks Hooks;
    Hooks.AnyRootClass = true;
    Hooks.BindEvent = [&](TComponent* C, const TPropInfo& E, const std::string& Handler) {
        FBindings[C][E.Name] = AddEvent(Handler);
        Watch(C);
    };
    Hooks.SkipError = [&](const std::string& Message) { return ReaderMayGoOn(Message, IgnoreAll); };
    Hooks.OuterReference = [&](TObject* Obj, const TPropInfo& Prop, const std::string& Name) {
        Pending.push_back({Component, Obj, &Prop, Name});
    };
    ObjectFromAnyForm(Data, Component, Hooks);
    for (const TPending& P : Pending) {
        Watch(P.Root);
        if (auto* Holder = dynamic_cast<TComponent*>(P.Obj))
            Watch(Holder);
    }
    FPending.insert(FPending.end(), Pending.begin(), Pending.end());
}

void TCompFiler::LoadFromFile(const std::string& FileName, TComponent* Component) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream, Component);
}

TComponent* TCompFiler::CreateFromStream(TStream& Stream, TComponent* Owner, TClass Base) {
    if (!Base || !Base->InheritsFrom(TComponent::StaticClass()) || !Base->CanCreate())
        throw EReadError(SInvalidImage);
    TClass Class = GetClass(GetClassNameFromStream(Stream));
    if (!Class || !Class->InheritsFrom(Base) || !Class->CanCreate())
        Class = Base;
    auto* Component = static_cast<TComponent*>(Class->Create(Owner));
    TFailureGuard Free([&] { delete Component; });
    LoadFromStream(Stream, Component);
    return Component;
}

TComponent* TCompFiler::CreateFromFile(const std::string& FileName, TComponent* Owner, TClass Base) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    return CreateFromStream(Stream, Owner, Base);
}

std::vector<std::string>
TCompFiler::FixupReferences(TComponent* Root, const std::function<TComponent*(const std::string&)>& Find) {
    std::vector<std::string> Unset;
    std::vector<TPending> Waiting;
    for (const TPending& P : FPending) {
        if (Root && P.Root != Root) {
            Waiting.push_back(P);
            continue;
        }
        TComponent* Found = Find ? Find(P.Name) : nullptr;
        if (Found && (!P.Prop->PropClass || Found->InheritsFrom(P.Prop->PropClass))) {
            SetObjectProp(P.Obj, P.Prop, Found);
            continue;
        }
        Unset.push_back(P.Name);
        Waiting.push_back(P);
    }
    FPending = std::move(Waiting);
    return Unset;
}

std::vector<std::string> TCompFiler::PendingReferences(TComponent* Root) const {
    std::vector<std::string> Names;
    for (const TPending& P : FPending)
        if (P.Root == Root)
            Names.push_back(P.Name);
    return Names;
}

void TCompFiler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FWatched.erase(AComponent);
    FBindings.erase(AComponent);
    std::erase_if(FPending, [&](const TPending& P) { return P.Root == AComponent || P.Obj == AComponent; });
}
