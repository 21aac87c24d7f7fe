#pragma once
// The family's process-wide registry of pluggable classes and objects with named parameters
// (keyboard-map builders, code-template sets, option classes, verbs ...), and its verbs.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/foundation/HSVariant.h"
#include "framework/core/Object.h"

// How string parameters compare in lookups (a set of the two flags).
enum TCompareParamFlag : uint32_t { cpIgnoreCase = 1, cpPartialCompare = 2 };
using TCompareParam = uint32_t;

using TParamNames = std::vector<std::string>;
using TParamValues = std::vector<THSVariant>;

class TObjectParamListItem {
public:
    // Replaces the value of a name already present (names compare ignoring case), else adds it.
    void SetParamByName(const std::string& Name, const THSVariant& Value);
    // The null value when the name is absent.
    THSVariant GetParamByName(const std::string& Name) const;
    TClass GetClassPtr() const { return FClass; }
    TObject* GetObjectPtr() const { return FObject; }
    bool IsClass() const { return FIsClass; }
    // True when every name has a value of the same type that equals the one asked for.
    bool Matches(const TParamNames& Names, const TParamValues& Values, TCompareParam Compare) const;

private:
    friend class TObjectParamList;
    std::vector<std::pair<std::string, THSVariant>> FParams;
    TClass FClass = nullptr;
    TObject* FObject = nullptr;
    bool FIsClass = false;
};

using TForEveryClassProc = std::function<void(TObjectParamListItem* Item, void* Values, bool& Stop)>;

class TObjectParamList {
public:
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TObjectParamListItem* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)].get(); }
    TObjectParamListItem* Add(TClass Class, TObject* Object, const TParamNames& Names,
                              const TParamValues& Values);
    // Removes every entry that refers to the class or object.
    void Remove(const void* ClassOrObject);
    // The first entry referring to Ref.
    TObjectParamListItem* ItemByDataPtr(const void* Ref) const;
    // Every class entry derived from Class, from the last to the first, until Stop is set; an
    // entry removed by an earlier call is not offered.
    void ForEveryClass(TClass Class, void* Values, const TForEveryClassProc& Proc);

private:
    std::vector<std::unique_ptr<TObjectParamListItem>> FItems;
};

// The single registry (created on first use).
TObjectParamList& ObjectParamList();
void FreeObjectParamList();

TObjectParamListItem* RegisterClassExt(TClass Class, const TParamNames& Names, const TParamValues& Values);
TObjectParamListItem* RegisterObjectEx(TObject* Object, const TParamNames& Names, const TParamValues& Values);
void UnRegisterClassExt(const void* ClassOrObject);

// Lookups over class entries in registration order; the first match, or nil.
// Inherited: the entry's class is Class or an ancestor. Ex: the entry's class derives from
// Class (or is it). Equal: the same class.
TObjectParamListItem* GetItemInherited(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                       TCompareParam Compare = 0);
TObjectParamListItem* GetItemEx(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                TCompareParam Compare = 0);
void GetItemsEx(TClass Class, const TParamNames& Names, const TParamValues& Values, TCompareParam Compare,
                std::vector<TObjectParamListItem*>& List);
TObjectParamListItem* GetItemEqual(TClass Class, const TParamNames& Names, const TParamValues& Values,
                                   TCompareParam Compare = 0);
TClass GetClassEx(TClass Class, const TParamNames& Names, const TParamValues& Values,
                  TCompareParam Compare = 0);
TClass GetClassInherited(TClass Class, const TParamNames& Names, const TParamValues& Values,
                         TCompareParam Compare = 0);
// GetItemEx for Class, then for each ancestor in turn, ending after StopClass.
TObjectParamListItem* GetItemExParent(TClass Class, TClass StopClass, const TParamNames& Names,
                                      const TParamValues& Values, TCompareParam Compare = 0);
// Every class entry derived from Class, in registration order.
void GetRegisteredClasses(TClass Class, std::vector<TClass>& List);

// ---- verbs ----

enum TVerbStateFlag : uint32_t { vsVisible = 1, vsEnabled = 2, vsChecked = 4 };
using TVerbState = uint32_t;
using TVerbGetStateProc = void (*)(TVerbState& State);
using TVerbExecuteProc = void (*)();

struct TVerbData {
    std::string Name;
    TVerbGetStateProc GetState;
    TVerbExecuteProc Execute;
};

// The class under which verbs are registered.
class TVerbObject : public TObject {
    ZEL_DECLARE_CLASS(TVerbObject)
};

void RegisterVerb(const std::string& Name, TVerbGetStateProc GetState, TVerbExecuteProc Execute);
void RegisterVerbArray(const std::vector<TVerbData>& Verbs);
// The verb's entry (name compared ignoring case) with both procedures; nil when absent.
TObjectParamListItem* GetVerbProcAddr(const std::string& Name, TVerbGetStateProc& GetState,
                                      TVerbExecuteProc& Execute);
void CallVerbByName(const std::string& Name);
