#include "framework/core/Object.h"

#include <map>

#include "framework/core/SysUtils.h"

TMetaClass::TMetaClass(const char* name, TClass parent, Factory factory, std::vector<TPropInfo> props,
                       ItemFactory itemFactory)
    : FName(name), FParent(parent), FFactory(factory), FProps(std::move(props)), FItemFactory(itemFactory) {}

bool TMetaClass::InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->FParent)
        if (c == other)
            return true;
    return false;
}

TObject* TMetaClass::Create(TComponent* owner) const {
    return FFactory ? FFactory(owner) : nullptr;
}

TObject* TMetaClass::CreateItem(TCollection* collection) const {
    if (FItemFactory)
        if (TObject* obj = FItemFactory(collection))
            return obj;
    return Create(nullptr);
}

std::vector<const TPropInfo*> TMetaClass::Properties() const {
    std::vector<TClass> chain;
    for (TClass c = this; c; c = c->FParent)
        chain.push_back(c);
    std::vector<const TPropInfo*> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const TPropInfo& p : (*it)->FProps) {
            // A redeclared property keeps its place but takes the derived declaration.
            bool replaced = false;
            for (auto& q : out)
                if (SameText(q->Name, p.Name)) {
                    q = &p;
                    replaced = true;
                    break;
                }
            if (!replaced)
                out.push_back(&p);
        }
    }
    return out;
}

const TPropInfo* TMetaClass::FindProperty(const std::string& name) const {
    for (TClass c = this; c; c = c->FParent)
        for (const TPropInfo& p : c->FProps)
            if (SameText(p.Name, name))
                return &p;
    return nullptr;
}

namespace {
TObjectFreedHook GObjectFreedHook = nullptr;
}

TObjectFreedHook SetObjectFreedHook(TObjectFreedHook Hook) {
    TObjectFreedHook Old = GObjectFreedHook;
    GObjectFreedHook = Hook;
    return Old;
}

TObject::~TObject() {
    if (GObjectFreedHook)
        GObjectFreedHook(this);
}

TClass TObject::StaticClass() {
    static const TMetaClass meta("TObject", nullptr, nullptr, {});
    return &meta;
}

std::string TObject::ClassName() const {
    return ClassType()->ClassName();
}

bool TObject::InheritsFrom(TClass cls) const {
    return ClassType()->InheritsFrom(cls);
}

bool TObject::InheritsFromName(const std::string& className) const {
    for (TClass c = ClassType(); c; c = c->ClassParent())
        if (SameText(c->ClassName(), className))
            return true;
    return false;
}

namespace {
std::map<std::string, TClass>& ClassTable() {
    static std::map<std::string, TClass> table;
    return table;
}
} // namespace

void RegisterClass(TClass cls) {
    if (!cls)
        return;
    auto& t = ClassTable();
    std::string key = UpperCase(cls->ClassName());
    auto it = t.find(key);
    if (it != t.end() && it->second != cls)
        throw EFilerError(Format(SDuplicateClass, cls->ClassName().c_str()));
    t[key] = cls;
}

void UnRegisterClass(TClass cls) {
    if (!cls)
        return;
    auto& t = ClassTable();
    auto it = t.find(UpperCase(cls->ClassName()));
    if (it != t.end() && it->second == cls)
        t.erase(it);
}

TClass GetClass(const std::string& name) {
    auto& t = ClassTable();
    auto it = t.find(UpperCase(name));
    return it == t.end() ? nullptr : it->second;
}

TClass FindClass(const std::string& name) {
    TClass c = GetClass(name);
    if (!c)
        throw EClassNotFound(Format(SClassNotFound, name.c_str()));
    return c;
}

ZEL_DEFINE_CLASS(TPersistent, TObject, {})

void TPersistent::Assign(TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError(Format(SAssignError, "nil", ClassName().c_str()));
}

void TPersistent::AssignTo(TPersistent* Dest) {
    throw EConvertError(Format(SAssignError, ClassName().c_str(), Dest->ClassName().c_str()));
}

std::string TPersistent::GetNamePath() const {
    // A persistent has no name of its own; its class name stands in for it.
    return ClassName();
}

void AssignPublishedProperties(TObject* Source, TObject* Dest) {
    if (!Source || !Dest || Source == Dest)
        return;
    for (const TPropInfo* sp : GetPropList(Source)) {
        const TPropInfo* dp = GetPropInfo(Dest, sp->Name);
        if (!dp || dp->IsReadOnly())
            continue;
        if (sp->IsOrdinal() && dp->IsOrdinal())
            SetOrdProp(Dest, dp, GetOrdProp(Source, sp));
        else if (sp->Kind == tkFloat && dp->Kind == tkFloat)
            SetFloatProp(Dest, dp, GetFloatProp(Source, sp));
        else if ((sp->Kind == tkString || sp->Kind == tkBinary) && sp->Kind == dp->Kind)
            SetStrProp(Dest, dp, GetStrProp(Source, sp));
        else if (sp->Kind == tkClass && dp->Kind == tkClass)
            SetObjectProp(Dest, dp, GetObjectProp(Source, sp));
    }
}

// The published properties of an object are those of its class.
const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name) {
    return obj ? obj->ClassType()->FindProperty(name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj) {
    return obj ? obj->ClassType()->Properties() : std::vector<const TPropInfo*>{};
}

bool IsPublishedProp(const TObject* obj, const std::string& name) {
    return GetPropInfo(obj, name) != nullptr;
}
