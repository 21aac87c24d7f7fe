#pragma once
// The base of a scripter that keeps the event handlers of a form in script text: the designer
// tells it when design starts and ends and when handlers are made, renamed or dropped.

#include <string>

#include "framework/core/Component.h"

class THSSimpleScripter : public TComponent {
    ZEL_DECLARE_CLASS(THSSimpleScripter)
public:
    explicit THSSimpleScripter(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

    virtual void BeginDesign() = 0;
    virtual void EndDesign() = 0;
    // Makes the handler named HandlerName for the event EventName of Component.
    virtual void CreateEvent(TComponent* Component, const std::string& EventName,
                             const std::string& HandlerName) = 0;
    virtual void RenameEvent(const std::string& OldName, const std::string& NewName) = 0;
    virtual void EventDeleted(const std::string& HandlerName) = 0;
};
