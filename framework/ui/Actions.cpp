#include "framework/ui/Actions.h"

#include "framework/core/Properties.h"

ZEL_DEFINE_CLASS(TAction, TComponent,
                 {Prop::String<TAction>("Caption", &TAction::Caption, &TAction::SetCaption),
                  Prop::Bool<TAction>("Checked", &TAction::Checked, &TAction::SetChecked).WithDefault(0),
                  Prop::Bool<TAction>("Enabled", &TAction::Enabled, &TAction::SetEnabled).WithDefault(1),
                  Prop::Bool<TAction>("Visible", &TAction::Visible, &TAction::SetVisible).WithDefault(1)})

bool TAction::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TAction::Update() {
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}
