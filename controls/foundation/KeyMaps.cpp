#include "controls/foundation/KeyMaps.h"

#include "controls/foundation/ClassRegistry.h"

ZEL_DEFINE_CLASS(TKeyData, TCollectionItem, {})
ZEL_DEFINE_CLASS(TKeyList, TCollection, {})

namespace {
const char* const IdParam = "KeyboardClass.ID";
const char* const NameParam = "KeyboardClass.InitName";
const char* const ProcParam = "KeyboardClass.InitProc";
} // namespace

void TKeyData::Assign(TPersistent* Source) {
    if (auto* K = dynamic_cast<TKeyData*>(Source)) {
        State = K->State;
        NewState = K->NewState;
        Key = K->Key;
        Shift = K->Shift;
        Method = K->Method;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

TKeyData* TKeyList::AddKey(uint16_t Key, TShiftState Shift, TKeyMethod Method, uint8_t State,
                           uint8_t NewState) {
    auto* K = static_cast<TKeyData*>(Add());
    K->Key = Key;
    K->Shift = Shift;
    K->Method = std::move(Method);
    K->State = State;
    K->NewState = NewState;
    return K;
}

TKeyData* TKeyList::FindKeyData(uint16_t Key, TShiftState Shift, uint8_t State) {
    auto Matches = [&](const TKeyData* K) {
        return K->Key == Key && K->Shift == Shift && (K->State == State || K->State == AnyKeyState);
    };
    if (FLast && Matches(FLast))
        return FLast;
    for (int I = Count() - 1; I >= 0; --I) {
        TKeyData* K = Item(I);
        if (Matches(K)) {
            FLast = K;
            return K;
        }
    }
    return nullptr;
}

void TKeyList::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    FLast = nullptr;
}

void TKeyList::Notify(TCollectionItem* Item, bool Added) {
    TCollection::Notify(Item, Added);
    // A removed binding must not stay remembered.
    FLast = nullptr;
}

void RegisterKeyboardInitProc(TClass ControlClass, const std::string& Name, TKeyboardInitProc Proc) {
    THSVariant ProcValue = THSVariant::Of(varInteger);
    ProcValue.Int = static_cast<int64_t>(reinterpret_cast<intptr_t>(Proc));
    RegisterClassExt(ControlClass, {IdParam, NameParam, ProcParam},
                     {THSVariant(IdParam), THSVariant(Name), ProcValue});
}

TKeyboardInitProc GetKeyboardInitProc(TClass ControlClass, const std::string& Name) {
    TObjectParamListItem* Item = GetItemInherited(ControlClass, {IdParam, NameParam},
                                                  {THSVariant(IdParam), THSVariant(Name)}, cpIgnoreCase);
    if (!Item)
        return nullptr;
    THSVariant V = Item->GetParamByName(ProcParam);
    return reinterpret_cast<TKeyboardInitProc>(static_cast<intptr_t>(V.Int));
}
