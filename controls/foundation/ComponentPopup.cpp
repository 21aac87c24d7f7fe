#include "controls/foundation/ComponentPopup.h"

#include "controls/foundation/FormServices.h"
#include "controls/foundation/HSApplication.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/ui/Menus.h"

int32_t TActionEditor::GetVerbCount() {
    return App ? App->GetActionList()->GetVerbCount(Component()) : 0;
}

std::string TActionEditor::GetVerb(int32_t Index) {
    return App ? App->GetActionList()->GetVerb(Component(), Index) : std::string();
}

void TActionEditor::ExecuteVerb(int32_t Index) {
    if (App)
        App->GetActionList()->ExecuteVerb(Component(), Index);
}

std::string TDispatchCompEditor::GetVerb(int32_t Index) {
    return Index == 0 ? LoadResString(SVerbAssignVerbs) : std::string();
}

void TDispatchCompEditor::ExecuteVerb(int32_t Index) {
    if (Index == 0)
        CallPropertyEdit(Component(), "VerbList");
}

namespace {

constexpr int32_t kEditorVerbTag = 1000, kActionVerbTag = 2000;

void CopyItems(TMenuItem* From, TMenuItem* To, TComponent* Owner) {
    for (int I = 0; I < From->Count(); ++I) {
        TMenuItem* S = From->Items(I);
        auto* D = new TMenuItem(Owner);
        To->Add(D);
        if (!S->Name().empty() && !Owner->FindComponent(S->Name()))
            D->SetName(S->Name());
        D->SetCaption(S->Caption());
        D->SetShortCut(S->ShortCut());
        D->SetChecked(S->Checked());
        D->SetEnabled(S->Enabled());
        D->SetVisible(S->Visible());
        D->SetRadioItem(S->RadioItem());
        D->SetDefault(S->Default());
        D->SetGroupIndex(S->GroupIndex());
        D->SetHint(S->Hint());
        D->SetTag(S->Tag());
        D->OnClick = S->OnClick;
        CopyItems(S, D, Owner);
    }
}

// Runs the verb an item's tag names.
void VerbClick(TComponentEditor* Editor, TObject* Sender) {
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!Item)
        return;
    const auto Tag = static_cast<int32_t>(Item->Tag());
    if (Tag >= kActionVerbTag)
        TActionEditor(Editor->Component()).ExecuteVerb(Tag - kActionVerbTag);
    else if (Tag >= kEditorVerbTag)
        Editor->ExecuteVerb(Tag - kEditorVerbTag);
}

int InsertVerbs(TPopupMenu* Dest, TComponentEditor& Verbs, TComponentEditor* Editor, int At,
                int32_t FirstTag) {
    const int32_t Count = Verbs.GetVerbCount();
    for (int32_t I = 0; I < Count; ++I) {
        auto* Item = new TMenuItem(Dest);
        Item->SetCaption(Verbs.GetVerb(I));
        Item->SetTag(FirstTag + I);
        Item->OnClick = [Editor](TObject* Sender) { VerbClick(Editor, Sender); };
        Dest->Items()->Insert(At++, Item);
    }
    return At;
}

} // namespace

void CopyPopupMenu(TPopupMenu* Source, TPopupMenu* Dest) {
    if (!Dest)
        return;
    Dest->Items()->Clear();
    if (Source && Source != Dest)
        CopyItems(Source->Items(), Dest->Items(), Dest);
    Dest->MenuChanged();
}

void MakeComponentPopup(TPopupMenu* Source, TPopupMenu* Dest, TComponentEditor* Editor) {
    if (!Dest)
        return;
    CopyPopupMenu(Source, Dest);
    Dest->OnPopup = nullptr;
    if (Editor) {
        int At = InsertVerbs(Dest, *Editor, Editor, 0, kEditorVerbTag);
        TActionEditor Actions(Editor->Component());
        InsertVerbs(Dest, Actions, Editor, At, kActionVerbTag);
    }
    RemoveExtraMenuSeparators(Dest->Items());
}
