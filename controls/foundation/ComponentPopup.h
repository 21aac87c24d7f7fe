#pragma once
// Component editors as sources of verbs, and the popup menu of a component built from a menu of
// the program and the verbs of its editors.

#include <cstdint>
#include <string>

#include "framework/core/Object.h"

class TComponent;
class TPopupMenu;

// The verbs (named commands) an editor offers for one component.
class TComponentEditor : public TObject {
public:
    explicit TComponentEditor(TComponent* Component) : FComponent(Component) {}
    TComponent* Component() const { return FComponent; }
    virtual int32_t GetVerbCount() = 0;
    virtual std::string GetVerb(int32_t Index) = 0;
    virtual void ExecuteVerb(int32_t Index) = 0;

private:
    TComponent* FComponent;
};

// The verbs of App's action list that apply to the component; none before the kit has started.
class TActionEditor : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
    int32_t GetVerbCount() override;
    std::string GetVerb(int32_t Index) override;
    void ExecuteVerb(int32_t Index) override;
};

// One verb, "Assign Verbs", that opens the editor of the component's "VerbList" property.
class TDispatchCompEditor : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
    int32_t GetVerbCount() override { return 1; }
    std::string GetVerb(int32_t Index) override;
    void ExecuteVerb(int32_t Index) override;
};

// Dest's items are freed and replaced by copies of Source's items (owned by Dest, with their
// captions, states, names and click handlers), sub-items included.
void CopyPopupMenu(TPopupMenu* Source, TPopupMenu* Dest);
// CopyPopupMenu, Dest's popup event cleared, and, with an editor, one item per verb of the editor
// (tags from 1000) and then one per verb of App's action list for its component (tags from 2000)
// put at the top; then extra separators go. The editor must outlive Dest's items.
void MakeComponentPopup(TPopupMenu* Source, TPopupMenu* Dest, TComponentEditor* Editor);
