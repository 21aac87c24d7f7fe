#pragma once
// The value binding of the family's edit controls: where an edit control reads and writes its value.
#include "controls/foundation/HSVariant.h"
#include "framework/core/Component.h"

class TEditSource : public TComponent {
    ZEL_DECLARE_CLASS(TEditSource)
public:
    explicit TEditSource(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    virtual THSVariant GetValue() = 0;
    virtual void SetValue(const THSVariant& Value) = 0;
    // Called just before a character or an editing key reaches the edit control's inner editor;
    // a binding that must prepare its value (lock a record, say) does it here.
    virtual void StartEdit() {}
};
