#pragma once
// The design kit's component filer: a component stored as a designer stores a form, its events
// by the names of their handlers and its class as "T" followed by its name, and read back with
// every handler name turned into an identifier of the filer.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Strings.h"

class TStream;
struct TPropInfo;

// How a component is written: the text form, the binary form, or the binary form as a
// component resource (a resource-file header named after the component, then the binary form).
enum TCompFormat { cfText, cfBinary, cfResource };

class TCompFiler : public TComponent {
    ZEL_DECLARE_CLASS(TCompFiler)
public:
    explicit TCompFiler(TComponent* AOwner = nullptr);
    ~TCompFiler() override;

    // The identifier of a handler name (names compared ignoring case), added when it is new.
    // Identifiers count from 1; an empty name has none (0).
    int32_t AddEvent(const std::string& Name);
    // Empty for an identifier never given.
    std::string EventNameByID(int32_t ID) const;
    int32_t EventCount() const { return FEvents.Count(); }

    // Binds an event of the component to a handler (an empty name unbinds). Raises EHSError when
    // the class has no such event or the name is not an identifier.
    void SetEvent(TComponent* Component, const std::string& Event, const std::string& Handler);
    // The handler's identifier, 0 when the event is not bound.
    int32_t GetEventID(TComponent* Component, const std::string& Event) const;
    std::string GetEvent(TComponent* Component, const std::string& Event) const;

    // The component and everything it owns with their bound events; the root's class is
    // written as ClassName, else as "T" followed by its name (its own class when it has none).
    void SaveToStream(TStream& Stream, TComponent* Component, TCompFormat Format = cfResource,
                      const std::string& ClassName = "");
    // Creates or truncates the file.
    void SaveToFile(const std::string& FileName, TComponent* Component, TCompFormat Format = cfResource);
    // Reads a component of any of the three forms from the stream's position into Component,
    // whatever class the stream names; every handler read gets an identifier and is bound.
    // What cannot be read goes to ReaderErrorHandler, which may let the rest be read; without
    // it the whole component is refused and nothing changes. References to components of
    // other forms wait for FixupReferences.
    void LoadFromStream(TStream& Stream, TComponent* Component);
    void LoadFromFile(const std::string& FileName, TComponent* Component);
    // A new component owned by Owner: of the registered class the stream names when it derives
    // from Base, else of Base; nil when reading fails (the error is raised, nothing is left).
    TComponent* CreateFromStream(TStream& Stream, TComponent* Owner, TClass Base);
    TComponent* CreateFromFile(const std::string& FileName, TComponent* Owner, TClass Base);

    // The form a stream at its position holds: text, binary, or binary behind a resource header.
    static TCompFormat FormatOfStream(TStream& Stream);

    // Sets the references read into Root (or into any component, for nil) that name components
    // of other forms, through Find ("Form2.Table1" to the component, or nil). Answers the names
    // that stay unset: not found, or of a class the property cannot hold. Those stay waiting.
    std::vector<std::string> FixupReferences(TComponent* Root,
                                             const std::function<TComponent*(const std::string&)>& Find);
    // The names read into Root that wait for FixupReferences.
    std::vector<std::string> PendingReferences(TComponent* Root) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TPending {
        TComponent* Root;
        TObject* Obj;
        const TPropInfo* Prop;
        std::string Name;
    };
    void Watch(TComponent* Component);

    TStringList FEvents; // handler names; an identifier is the index plus one
    // Component -> event name -> handler identifier.
    std::map<TComponent*, std::map<std::string, int32_t>> FBindings;
    std::vector<TPending> FPending;
    std::set<TComponent*> FWatched; // told us they go away
};
