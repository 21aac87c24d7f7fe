#pragma once
// Root of the object model: TObject with a run-time class (TClass), the class registry,
// TPersistent and event helpers.
//
// Every class that takes part in reflection declares ZEL_DECLARE_CLASS(Name) in its body and
// ZEL_DEFINE_CLASS(Name, Base, { published properties }) in one source file.

#include "framework/core/Win.h"

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/Properties.h"

class TObject;
class TComponent;
class TCollection;
class TMetaClass;
using TClass = const TMetaClass*;

// The run-time class: name, parent, a factory (the "virtual constructor") and the published
// properties this class adds to its parent's.
class TMetaClass {
public:
    using Factory = TObject* (*)(TComponent* owner);
    using ItemFactory = TObject* (*)(TCollection* collection);

    TMetaClass(const char* name, TClass parent, Factory factory, std::vector<TPropInfo> props,
               ItemFactory itemFactory = nullptr);
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    const std::string& ClassName() const { return FName; }
    TClass ClassParent() const { return FParent; }
    bool InheritsFrom(TClass other) const;
    // Creates an instance through the class's constructor taking an owner (components) or its
    // default constructor; nullptr for abstract classes.
    TObject* Create(TComponent* owner = nullptr) const;
    // For collection items: through the constructor taking the collection when the class has
    // one (the item is then in the collection from the start), else as Create.
    TObject* CreateItem(TCollection* collection) const;
    bool CanCreate() const { return FFactory != nullptr || FItemFactory != nullptr; }

    // Properties declared by this class only, in declaration order.
    const std::vector<TPropInfo>& OwnProperties() const { return FProps; }
    // Ancestors' properties first, each class in declaration order.
    std::vector<const TPropInfo*> Properties() const;
    // Case-insensitive; the most derived declaration wins.
    const TPropInfo* FindProperty(const std::string& name) const;

private:
    std::string FName;
    TClass FParent;
    Factory FFactory;
    std::vector<TPropInfo> FProps;
    ItemFactory FItemFactory;
};

template <class T> TObject* ConstructInstance(TComponent* owner) {
    if constexpr (std::is_abstract_v<T>) {
        (void)owner;
        return nullptr;
    } else if constexpr (std::is_constructible_v<T, TComponent*>) {
        return new T(owner);
    } else if constexpr (std::is_default_constructible_v<T>) {
        (void)owner;
        return new T();
    } else {
        (void)owner;
        return nullptr;
    }
}

template <class T> TObject* ConstructItem(TCollection* collection) {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TCollection*> &&
                  !std::is_constructible_v<T, TComponent*>) {
        return new T(collection);
    } else {
        (void)collection;
        return nullptr;
    }
}

#define ZEL_DECLARE_CLASS(Cls)                                                                               \
public:                                                                                                      \
    static TClass StaticClass();                                                                             \
    TClass ClassType() const override {                                                                      \
        return StaticClass();                                                                                \
    }

// Third argument: a braced list of TPropInfo (may be empty: {}).
#define ZEL_DEFINE_CLASS(Cls, Base, ...)                                                                     \
    TClass Cls::StaticClass() {                                                                              \
        static const TMetaClass meta(#Cls, Base::StaticClass(), &ConstructInstance<Cls>,                     \
                                     std::vector<TPropInfo> __VA_ARGS__, &ConstructItem<Cls>);               \
        return &meta;                                                                                        \
    }

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    // Announces the end through the freed-object hook when one is set.
    virtual ~TObject();

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    std::string ClassName() const;
    bool InheritsFrom(TClass cls) const;
    bool InheritsFromName(const std::string& className) const; // case-insensitive
};

// Called by every TObject's destructor while set, so a service can learn of any object's end.
// By then the object's derived parts are gone: it may be used only as an identity. Must not
// throw. Set by the service at start-up; nothing is called (and nothing costs) while unset.
using TObjectFreedHook = void (*)(TObject* Obj) noexcept;
// Returns the hook it replaces.
TObjectFreedHook SetObjectFreedHook(TObjectFreedHook Hook);

// Checked downcast in the style of "obj as TClass": raises EInvalidCast when obj is not a T.
template <class T> T* As(TObject* obj) {
    if (!obj)
        return nullptr;
    if (!obj->InheritsFrom(T::StaticClass()))
        throw EInvalidCast(SInvalidCast);
    return static_cast<T*>(obj);
}

// "obj is TClass"
template <class T> bool Is(const TObject* obj) {
    return obj && obj->InheritsFrom(T::StaticClass());
}

// Class registry used by the object text reader and by anyone who makes objects by class name.
void RegisterClass(TClass cls); // registering the same class twice is harmless
void UnRegisterClass(TClass cls);
TClass GetClass(const std::string& name);  // nullptr when unknown
TClass FindClass(const std::string& name); // raises EClassNotFound "Class %s not found"

// Events are std::function members named OnX; this calls one when it is set.
template <class F, class... A> void DoEvent(const F& event, A&&... args) {
    if (event)
        event(std::forward<A>(args)...);
}

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
    ZEL_DECLARE_CLASS(TPersistent)
public:
    // Copies Source into this object; the base asks Source->AssignTo and finally raises
    // EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* Source);
    virtual std::string GetNamePath() const;
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// Copies every published property that Source and Dest both have (looked up by name),
// in Source's declaration order. Object properties copy the reference unless the
// destination's setter does otherwise.
void AssignPublishedProperties(TObject* Source, TObject* Dest);
