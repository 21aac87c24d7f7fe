#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/ui/Forms.h"

// Forms as data: a table of controls with their class, parent, position, caption, other
// published properties as text, and handlers. BuildForm makes the controls (owned by the form),
// sets the properties and scales the result from the table's pixels per inch to the screen's.
struct TFormItem {
    std::string ClassName; // a registered class ("TButton")
    std::string Name;      // the component name; FindComponent finds it
    std::string Parent;    // name of the parent control; "" for the form itself
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::string Caption;
    // Further published properties by name, values in their text form ("True", "taCenter", "12").
    std::vector<std::pair<std::string, std::string>> Properties;
    TNotifyEvent OnClick;
    // Anything the table cannot say.
    std::function<void(TControl& Control)> Setup;
};

struct TFormLayout {
    std::string Caption;
    int ClientWidth = 0, ClientHeight = 0;
    int PixelsPerInch = 96;
    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    TFormPosition Position = TFormPosition::poDesigned;
    std::vector<TFormItem> Items;
    std::string ActiveControl;
};

// Makes the controls of Layout on Form; raises EClassNotFound for an unknown class and
// EComponentError for an unknown parent.
void BuildForm(TCustomForm& Form, const TFormLayout& Layout);

// One table row that needs no handlers.
inline TFormItem FormItem(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
                          const char* Caption = "",
                          std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, Caption, std::move(Props), nullptr, nullptr};
}

// A control the table made, by its name, as the class the table gave it.
template <class T> T* FindOwned(TComponent& Owner, const std::string& Name) {
    return static_cast<T*>(Owner.FindComponent(Name));
}
