#include "controls/foundation/NamedItems.h"

#include "controls/foundation/FreeNotifications.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(THSNamedItem, TCollectionItem,
                 {Prop::String<THSNamedItem>("Name", &THSNamedItem::GetNameProp, &THSNamedItem::SetName)})

void THSNamedItem::Assign(TPersistent* Source) {
    if (Is<THSNamedItem>(Source)) {
        AssignAllProps(Source, this);
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string THSNamedItem::GetDisplayName() const {
    return FName.empty() ? TCollectionItem::GetDisplayName() : FName;
}

void THSNamedItem::SetDisplayName(const std::string& Value) {
    FName = Value;
}

void THSNamedItem::SetName(const std::string& Value) {
    FName = Value;
}

void THSNamedItem::OnChange(TObject*) {
    Changed(false);
}

ZEL_DEFINE_CLASS(TCustomHSNamedItems, TCollection, {})

TCustomHSNamedItems::TCustomHSNamedItems(TComponent* AOwner, TClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {
    dcAddFreeNotification(FOwner, TFreeNotifyProc(this, &TCustomHSNamedItems::OwnerFreed));
}

TCustomHSNamedItems::~TCustomHSNamedItems() {
    dcRemoveFreeNotification(FOwner, TFreeNotifyProc(this, &TCustomHSNamedItems::OwnerFreed));
}

void TCustomHSNamedItems::OwnerFreed(TObject* Obj) {
    if (Obj != FOwner)
        return;
    dcRemoveFreeNotification(FOwner, TFreeNotifyProc(this, &TCustomHSNamedItems::OwnerFreed));
    FOwner = nullptr;
}

int TCustomHSNamedItems::IndexOfName(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (CompareText(NamedItem(I)->Name(), Name) == 0)
            return I;
    return -1;
}

int TCustomHSNamedItems::IndexOf(const TCollectionItem* Item) const {
    for (int I = 0; I < Count(); ++I)
        if (Items(I) == Item)
            return I;
    return -1;
}

void TCustomHSNamedItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    DoEvent(OnChange, this);
    DoEvent(OnItemUpdate, this, Item);
}

ZEL_DEFINE_CLASS(THSNamedItems, TCustomHSNamedItems, {})

void THSNamedItems::LoadFromFile(const std::string& FileName) {
    ReadObjFromFile(this, FileName);
}

void THSNamedItems::LoadFromStream(TStream& Stream) {
    ReadObjFromStream(Stream, this);
}

void THSNamedItems::SaveToStream(TStream& Stream) {
    WriteObjToStream(Stream, this);
}

void THSNamedItems::SaveToFile(const std::string& FileName) {
    WriteObjToFile(this, FileName);
}
