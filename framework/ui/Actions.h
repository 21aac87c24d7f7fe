#pragma once
// An action: a command with the state that whatever shows it takes (caption, enabled, checked,
// visible), run through Execute and brought up to date through Update.
#include <string>

#include "framework/core/Component.h"

class TAction : public TComponent {
    ZEL_DECLARE_CLASS(TAction)
public:
    explicit TAction(TComponent* AOwner) : TComponent(AOwner) {}

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value) { FChecked = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }

    // Runs OnExecute; false when nothing handles the action.
    virtual bool Execute();
    // Runs OnUpdate; false when nothing brings the action up to date.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

private:
    std::string FCaption;
    bool FEnabled = true;
    bool FChecked = false;
    bool FVisible = true;
};
