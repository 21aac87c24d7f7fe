#include "controls/foundation/PackagedRegistries.h"

namespace {
int32_t GGroup = 0;
TPackagedCollection<TPopupClassInfo>* GPopup = nullptr;
TPackagedCollection<TEditClassInfo>* GEdit = nullptr;
TPackagedCollection<TEditSourceClassInfo>* GEditSource = nullptr;
TClassItems* GClassItems = nullptr;

template <class T> T& Lazy(T*& P) {
    if (!P)
        P = new T;
    return *P;
}

template <class TItem>
void FillEditor(TItem* Item, const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                TClass EditorClass) {
    Item->TypeInfo = TypeInfo;
    Item->ComponentClass = ComponentClass;
    Item->PropName = PropName;
    Item->EditorClass = EditorClass;
    if (EditorClass)
        ::RegisterClass(EditorClass);
}

template <class TItem>
void RemoveFirstEqual(TPackagedCollection<TItem>& C, const void* TypeInfo, TClass ComponentClass,
                      const std::string& PropName, TClass EditorClass) {
    for (int32_t I = 0; I < C.Count(); ++I)
        if (C.Item(I)->Equals(EditorClass, TypeInfo, PropName, ComponentClass)) {
            C.Delete(I);
            return;
        }
}
} // namespace

int32_t CurrentPackageGroup() {
    return GGroup;
}

void SetCurrentPackageGroup(int32_t Group) {
    GGroup = Group;
}

bool TPopupClassInfo::Equals(TClass AEditor, const void* AType, const std::string& AProp,
                             TClass AComponent) const {
    return EditorClass == AEditor && TypeInfo == AType && PropName == AProp && ComponentClass == AComponent;
}

TClassItem* TClassItems::RegisterClass(TClass Class, uint32_t Categories) {
    for (int32_t I = 0; I < Count(); ++I)
        if (Item(I)->Class == Class) {
            Item(I)->Categories |= Categories;
            return Item(I);
        }
    TClassItem* New = Add();
    New->Class = Class;
    New->Categories = Categories;
    return New;
}

void TClassItems::ListFieldClasses(std::vector<TClass>& List) const {
    List.clear();
    for (int32_t I = 0; I < Count(); ++I)
        if (Item(I)->Categories & icField)
            List.push_back(Item(I)->Class);
}

bool TClassItems::IsIconClass(TClass Class) const {
    for (int32_t I = 0; I < Count(); ++I)
        if (Class && Class->InheritsFrom(Item(I)->Class))
            return (Item(I)->Categories & icNoIcon) == 0;
    return true;
}

TPackagedCollection<TPopupClassInfo>& PopupClasses() {
    return Lazy(GPopup);
}
TPackagedCollection<TEditClassInfo>& EditClasses() {
    return Lazy(GEdit);
}
TPackagedCollection<TEditSourceClassInfo>& EditSourceClasses() {
    return Lazy(GEditSource);
}
TClassItems& ClassItems() {
    return Lazy(GClassItems);
}

void FreePackagedRegistries() {
    delete GPopup;
    delete GEdit;
    delete GEditSource;
    delete GClassItems;
    GPopup = nullptr;
    GEdit = nullptr;
    GEditSource = nullptr;
    GClassItems = nullptr;
}

void RegisterPopupClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                        TClass EditorClass) {
    FillEditor(PopupClasses().Add(), TypeInfo, ComponentClass, PropName, EditorClass);
}

void RegisterEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                       TClass EditorClass) {
    FillEditor(EditClasses().Add(), TypeInfo, ComponentClass, PropName, EditorClass);
}

void RegisterTextEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                           TClass EditorClass) {
    RegisterEditClass(TypeInfo, ComponentClass, PropName, EditorClass);
    EditClasses().Last()->TextEditor = true;
}

void UnRegisterPopupClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                          TClass EditorClass) {
    RemoveFirstEqual(PopupClasses(), TypeInfo, ComponentClass, PropName, EditorClass);
}

void UnRegisterEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                         TClass EditorClass) {
    RemoveFirstEqual(EditClasses(), TypeInfo, ComponentClass, PropName, EditorClass);
}

bool IsTextEditClass(TClass EditorClass) {
    TPackagedCollection<TEditClassInfo>& C = EditClasses();
    for (int32_t I = C.Count() - 1; I >= 0; --I)
        if (C.Item(I)->EditorClass == EditorClass && C.Item(I)->TextEditor)
            return true;
    return false;
}

void RegisterEditSource(TClass Class) {
    EditSourceClasses().Add()->EditSourceClass = Class;
    if (Class)
        ::RegisterClass(Class);
}

void RegisterNonInstant(const std::vector<TClass>& Classes) {
    for (TClass C : Classes) {
        ::RegisterClass(C);
        ClassItems().RegisterClass(C, icNoIcon);
    }
}
