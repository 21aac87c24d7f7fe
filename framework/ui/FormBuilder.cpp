#include "framework/ui/FormBuilder.h"

#include "framework/core/SysUtils.h"

void BuildForm(TCustomForm& Form, const TFormLayout& Layout) {
    RegisterUiClasses();
    if (!Layout.Caption.empty())
        Form.SetCaption(Layout.Caption);
    Form.SetBorderStyle(Layout.BorderStyle);
    Form.SetPosition(Layout.Position);
    Form.SetPixelsPerInch(Layout.PixelsPerInch);
    if (Layout.ClientWidth)
        Form.SetClientWidth(Layout.ClientWidth);
    if (Layout.ClientHeight)
        Form.SetClientHeight(Layout.ClientHeight);
    // The controls are read as from a stored form: what adapts to its other properties (a label
    // sizing itself to its caption) waits until all of them are in, then Loaded runs.
    std::vector<TComponent*> Built;
    for (const TFormItem& Item : Layout.Items) {
        TClass Cls = FindClass(Item.ClassName);
        TWinControl* Parent = &Form;
        if (!Item.Parent.empty()) {
            Parent = dynamic_cast<TWinControl*>(Form.FindComponent(Item.Parent));
            if (!Parent)
                throw EComponentError(
                    Format("Parent %s of %s not found", Item.Parent.c_str(), Item.Name.c_str()));
        }
        TObject* Obj = Cls->Create(&Form);
        auto* Comp = dynamic_cast<TComponent*>(Obj);
        if (!Comp) {
            delete Obj;
            throw EComponentError(Format("%s is not a component", Item.ClassName.c_str()));
        }
        Comp->SetState(csLoading | csReading, true);
        Built.push_back(Comp);
        if (!Item.Name.empty())
            Comp->SetName(Item.Name);
        if (auto* C = dynamic_cast<TControl*>(Comp)) {
            C->SetBounds(Item.Left, Item.Top, Item.Width, Item.Height);
            if (!Item.Caption.empty())
                C->SetCaption(Item.Caption);
            C->SetParent(Parent);
            if (Item.OnClick)
                C->OnClick = Item.OnClick;
        }
        for (const auto& [Name, Value] : Item.Properties) {
            // Dotted names reach sub-objects: "Font.Style".
            TObject* Target = Comp;
            std::string Rest = Name;
            for (size_t Dot = Rest.find('.'); Dot != std::string::npos; Dot = Rest.find('.')) {
                const TPropInfo* Sub = GetPropInfo(Target, Rest.substr(0, Dot));
                if (!Sub || Sub->Kind != tkClass || !(Target = GetObjectProp(Target, Sub)))
                    throw EPropertyError(Format(SUnknownProperty, Name.c_str()));
                Rest = Rest.substr(Dot + 1);
            }
            const TPropInfo* Info = GetPropInfo(Target, Rest);
            if (!Info)
                throw EPropertyError(Format(SUnknownProperty, Name.c_str()));
            SetPropValueText(Target, Info, Value);
        }
        if (Item.Setup) {
            if (auto* C = dynamic_cast<TControl*>(Comp))
                Item.Setup(*C);
        }
    }
    for (TComponent* Comp : Built) {
        Comp->SetState(csReading, false);
        Comp->Loaded();
    }
    if (!Layout.ActiveControl.empty())
        Form.SetActiveControl(dynamic_cast<TWinControl*>(Form.FindComponent(Layout.ActiveControl)));
    Form.ScaleToScreen();
}
