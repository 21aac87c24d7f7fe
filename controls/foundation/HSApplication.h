#pragma once
// The design kit's application object: the verbs that component editors and popup menus offer
// per class of components, and the ActiveX type libraries made known to the family (kept in the
// registry value "KnownActiveXs" below the family key).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/ActiveXControls.h"
#include "framework/core/Object.h"
#include "framework/core/Win.h"

class TComponent;
class TStringList;

// Broadcasts that a type library was made known or forgotten; the first parameter points to the
// TAxControlInfo.
inline constexpr uint32_t HS_ACTIVEXREGISTERED = 2032;
inline constexpr uint32_t HS_ACTIVEXUNREGISTERED = 2033;

enum TActionCallType : uint8_t { ctPropName, ctActionProc };
using TComponentActionProc = std::function<void(TComponent* Component)>;

struct TActionListItem {
    std::string Caption;
    TClass ComponentClass = nullptr; // nil: every class
    TActionCallType CallType = ctPropName;
    std::string PropName;        // ctPropName: the property whose editor the verb opens
    TComponentActionProc Action; // ctActionProc
};

class TActionsList {
public:
    TActionListItem* RegisterVisualProperty(const std::string& Caption, TClass ComponentClass,
                                            const std::string& PropName);
    TActionListItem* RegisterComponentAction(const std::string& Caption, TClass ComponentClass,
                                             TComponentActionProc Action);
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TActionListItem* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)].get(); }

    // The entries that apply to Instance (no class, or a class Instance is of), in list order.
    int32_t GetVerbCount(const TComponent* Instance) const;
    // Nil when fewer apply.
    TActionListItem* GetActionItem(const TComponent* Instance, int32_t Index) const;
    std::string GetVerb(const TComponent* Instance, int32_t Index) const;
    // Runs the action with Instance, or opens the property's editor (CallPropertyEdit).
    void ExecuteVerb(TComponent* Instance, int32_t Index) const;

private:
    std::vector<std::unique_ptr<TActionListItem>> FItems;
};

class THSApplication : public TObject {
public:
    THSApplication();
    ~THSApplication() override;

    TActionsList* GetActionList();
    // The known type-library identifiers, sorted; read from the registry when first asked for.
    TStringList* GetGUIDS();
    bool ActiveXRegistered(const GUID& Guid);
    // Adds the control's type library, broadcasts HS_ACTIVEXREGISTERED and writes the list back.
    void RegisterActiveX(const TAxControlInfo* Info);
    // Only for a known library: removes it, broadcasts HS_ACTIVEXUNREGISTERED, writes the list.
    void UnRegisterActiveX(const TAxControlInfo* Info);
    void SaveActiveXConfig();

private:
    std::unique_ptr<TActionsList> FActionList;
    std::unique_ptr<TStringList> FGuids;
};

// The kit's one application object, made by the design kit's start-up (nil before and after).
extern THSApplication* App;

// On App's action list; nothing before the kit has started.
void RegisterVisualProperty(const std::string& Caption, TClass ComponentClass, const std::string& PropName);
void RegisterComponentAction(const std::string& Caption, TClass ComponentClass, TComponentActionProc Action);
