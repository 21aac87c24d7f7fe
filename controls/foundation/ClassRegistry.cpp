#include "controls/foundation/ClassRegistry.h"

#include <algorithm>

#include "controls/foundation/Broadcasts.h"
#include "framework/core/SysUtils.h"

namespace {

TObjectParamList* GList = nullptr;

bool SameParam(const THSVariant& Have, const THSVariant& Want, TCompareParam Compare) {
    if (Have.VType != Want.VType)
        return false;
    if (Have.VType != varString)
        return Have == Want;
    std::string A = Have.Str;
    std::string B = Want.Str;
    if (Compare & cpIgnoreCase) {
        A = AnsiUpperCase(A);
        B = AnsiUpperCase(B);
    }
    if (Compare & cpPartialCompare)
        return A.find(B) != std::string::npos || B.find(A) != std::string::npos;
    return A == B;
}

template <class Relation>
TObjectParamListItem* FirstClassItem(Relation&& Related, const TParamNames& Names, const TParamValues& Values,
                                     TCompareParam Compare) {
    TObjectParamList& L = ObjectParamList();
    for (int32_t I = 0; I < L.Count(); ++I) {
        TObjectParamListItem* Item = L.Item(I);
        if (Item->IsClass() && Related(Item->GetClassPtr()) && Item->Matches(Names, Values, Compare))
            return Item;
    }
    return nullptr;
}

} // namespace

// ---- TObjectParamListItem ----

void TObjectParamListItem::SetParamByName(const std::string& Name, const THSVariant& Value) {
    for (auto& P : FParams)
        if (CompareText(P.first, Name) == 0) {
            P.second = Value;
            return;
        }
    FParams.emplace_back(Name, Value);
}

THSVariant TObjectParamListItem::GetParamByName(const std::string& Name) const {
    for (const auto& P : FParams)
        if (CompareText(P.first, Name) == 0)
            return P.second;
    return THSVariant::Null();
}

bool TObjectParamListItem::Matches(const TParamNames& Names, const TParamValues& Values,
                                   TCompareParam Compare) const {
    for (size_t I = 0; I < Names.size(); ++I) {
        const THSVariant Want = I < Values.size() ? Values[I] : THSVariant::Null();
        if (!SameParam(GetParamByName(Names[I]), Want, Compare))
            return false;
    }
    return true;
}

// ---- TObjectParamList ----

TObjectParamListItem* TObjectParamList::Add(TClass Class, TObject* Object, const TParamNames& Names,
                                            const TParamValues& Values) {
    auto Item = std::make_unique<TObjectParamListItem>();
    Item->FClass = Class;
    Item->FObject = Object;
    Item->FIsClass = Class != nullptr;
    for (size_t I = 0; I < Names.size(); ++I)
        Item->SetParamByName(Names[I], I < Values.size() ? Values[I] : THSVariant::Null());
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

void TObjectParamList::Remove(const void* Ref) {
    std::erase_if(FItems, [&](const std::unique_ptr<TObjectParamListItem>& I) {
        return (I->FIsClass ? static_cast<const void*>(I->FClass) : static_cast<const void*>(I->FObject)) ==
               Ref;
    });
}

TObjectParamListItem* TObjectParamList::ItemByDataPtr(const void* Ref) const {
    for (const auto& I : FItems)
        if ((I->FIsClass ? static_cast<const void*>(I->FClass) : static_cast<const void*>(I->FObject)) == Ref)
            return I.get();
    return nullptr;
}

void TObjectParamList::ForEveryClass(TClass Class, void* Values, const TForEveryClassProc& Proc) {
    std::vector<TObjectParamListItem*> Snapshot;
    for (const auto& I : FItems)
        Snapshot.push_back(I.get());
    bool Stop = false;
    for (auto It = Snapshot.rbegin(); It != Snapshot.rend() && !Stop; ++It) {
        const bool Live =
            std::any_of(FItems.begin(), FItems.end(), [&](const auto& I) { return I.get() == *It; });
        if (!Live || !(*It)->IsClass() || !(*It)->GetClassPtr()->InheritsFrom(Class))
            continue;
        Proc(*It, Values, Stop);
    }
}

TObjectParamList& ObjectParamList() {
    if (!GList)
        GList = new TObjectParamList;
    return *GList;
}

void FreeObjectParamList() {
    delete GList;
    GList = nullptr;
}

TObjectParamListItem* RegisterClassExt(TClass Class, const TParamNames& Names, const TParamValues& Values) {
    return ObjectParamList().Add(Class, nullptr, Names, Values);
}

TObjectParamListItem* RegisterObjectEx(TObject* Object, const TParamNames& Names,
                                       const TParamValues& Values) {
    return ObjectParamList().Add(nullptr, Object, Names, Values);
}

void UnRegisterClassExt(const void* ClassOrObject) {
    ObjectParamList().Remove(ClassOrObject);
}

TObjectParamListItem* GetItemInherited(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                       TCompareParam Compare) {
    return FirstClassItem([&](TClass C) { return Class->InheritsFrom(C); }, Names, Values, Compare);
}

TObjectParamListItem* GetItemEx(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                TCompareParam Compare) {
    return FirstClassItem([&](TClass C) { return C->InheritsFrom(Class); }, Names, Values, Compare);
}

void GetItemsEx(TClass Class, const TParamNames& Names, const TParamValues& Values, TCompareParam Compare,
                std::vector<TObjectParamListItem*>& List) {
    TObjectParamList& L = ObjectParamList();
    for (int32_t I = 0; I < L.Count(); ++I) {
        TObjectParamListItem* Item = L.Item(I);
        if (Item->IsClass() && Item->GetClassPtr()->InheritsFrom(Class) &&
            Item->Matches(Names, Values, Compare))
            List.push_back(Item);
    }
}

TObjectParamListItem* GetItemEqual(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                   TCompareParam Compare) {
    return FirstClassItem([&](TClass C) { return C == Class; }, Names, Values, Compare);
}

TClass GetClassEx(TClass Class, const TParamNames& Names, const TParamValues& Values, TCompareParam Compare) {
    TObjectParamListItem* Item = GetItemEx(Class, Names, Values, Compare);
    return Item ? Item->GetClassPtr() : nullptr;
}

TClass GetClassInherited(TClass Class, const TParamNames& Names, const TParamValues& Values,
                         TCompareParam Compare) {
    TObjectParamListItem* Item = GetItemInherited(Class, Names, Values, Compare);
    return Item ? Item->GetClassPtr() : nullptr;
}

TObjectParamListItem* GetItemExParent(TClass Class, TClass StopClass, const TParamNames& Names,
                                      const TParamValues& Values, TCompareParam Compare) {
    for (TClass C = Class; C; C = C->ClassParent()) {
        if (TObjectParamListItem* Item = GetItemEx(C, Names, Values, Compare))
            return Item;
        if (C == StopClass)
            break;
    }
    return nullptr;
}

void GetRegisteredClasses(TClass Class, std::vector<TClass>& List) {
    List.clear();
    TObjectParamList& L = ObjectParamList();
    for (int32_t I = 0; I < L.Count(); ++I)
        if (L.Item(I)->IsClass() && L.Item(I)->GetClassPtr()->InheritsFrom(Class))
            List.push_back(L.Item(I)->GetClassPtr());
}

// ---- verbs ----

ZEL_DEFINE_CLASS(TVerbObject, TObject, {})

namespace {
THSVariant ProcValue(const void* Proc) {
    THSVariant V = THSVariant::Of(varInteger);
    V.Int = reinterpret_cast<intptr_t>(Proc);
    return V;
}
} // namespace

void RegisterVerb(const std::string& Name, TVerbGetStateProc GetState, TVerbExecuteProc Execute) {
    RegisterClassExt(TVerbObject::StaticClass(), {"Verb.Name", "Verb.GetState", "Verb.Execute"},
                     {THSVariant(Name), ProcValue(reinterpret_cast<const void*>(GetState)),
                      ProcValue(reinterpret_cast<const void*>(Execute))});
    IDEChanged();
}

void RegisterVerbArray(const std::vector<TVerbData>& Verbs) {
    IDEBeginUpdate();
    for (const TVerbData& V : Verbs)
        RegisterVerb(V.Name, V.GetState, V.Execute);
    IDEEndUpdate();
}

TObjectParamListItem* GetVerbProcAddr(const std::string& Name, TVerbGetStateProc& GetState,
                                      TVerbExecuteProc& Execute) {
    TObjectParamListItem* Item =
        GetItemEqual(TVerbObject::StaticClass(), {"Verb.Name"}, {THSVariant(Name)}, cpIgnoreCase);
    GetState = nullptr;
    Execute = nullptr;
    if (!Item)
        return nullptr;
    GetState =
        reinterpret_cast<TVerbGetStateProc>(static_cast<intptr_t>(Item->GetParamByName("Verb.GetState").Int));
    Execute =
        reinterpret_cast<TVerbExecuteProc>(static_cast<intptr_t>(Item->GetParamByName("Verb.Execute").Int));
    return Item;
}

void CallVerbByName(const std::string& Name) {
    TVerbGetStateProc GetState = nullptr;
    TVerbExecuteProc Execute = nullptr;
    if (GetVerbProcAddr(Name, GetState, Execute) && Execute)
        Execute();
}
