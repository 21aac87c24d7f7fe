#include "controls/foundation/DesignTimeUtils.h"

#include <gtest/gtest.h>

#include "framework/core/Win.h"

#include <commctrl.h>

#include "UiTestSupport.h"
#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/DesignerServices.h"
#include <map>
#include <stdexcept>

#include "framework/core/Exceptions.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Application.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ListView.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

namespace {

class DesignTimeUtils : public UiTest {};

// A component whose published object property refers to something of another form.
class TLinkHolder : public TComponent {
    ZEL_DECLARE_CLASS(TLinkHolder)
public:
    using TComponent::TComponent;
    TComponent* Link = nullptr;
    TComponent* GetLink() const { return Link; }
    void SetLink(TComponent* V) { Link = V; }
};
ZEL_DEFINE_CLASS(TLinkHolder, TComponent,
                 {Prop::Object<TLinkHolder>("Link", &TLinkHolder::GetLink, &TLinkHolder::SetLink)})

TEST_F(DesignTimeUtils, PagesAndTabs) {
    TForm Form(nullptr);
    auto* Pages = new TPageControl(&Form);
    Pages->SetParent(&Form);
    TTabSheet* A = CreateNewTabSheet(Pages);
    TTabSheet* B = CreateNewTabSheet(Pages);
    ASSERT_EQ(Pages->PageCount(), 2);
    EXPECT_EQ(A->Owner(), &Form);
    A->SetName("SheetA");
    B->SetName("SheetB");
    Pages->SetActivePage(A);
    SetTabsVisible(Pages, {"SheetA", "Nowhere"}, false);
    EXPECT_FALSE(A->TabVisible());
    EXPECT_EQ(Pages->ActivePage(), B);
    SetAllTabsVisible(Pages, true);
    EXPECT_TRUE(A->TabVisible());
    CorrectActiveTab(Pages);
    EXPECT_EQ(Pages->ActivePage(), A);

    auto* Tabs = new TTabControl(&Form);
    Tabs->SetParent(&Form);
    Tabs->SetTabs({"One", "Two", "Three"});
    Tabs->SetTabIndex(0);
    DeleteTab(Tabs, "Missing");
    EXPECT_EQ(Tabs->Tabs().size(), 3u);
    DeleteTab(Tabs, "Two");
    EXPECT_EQ(Tabs->Tabs(), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(Tabs->TabIndex(), 1);
    DeleteTab(Tabs, "Three");
    EXPECT_EQ(Tabs->TabIndex(), 0);
}

// The moved row is the same item object at its new place, and its row shows all of it; the other
// rows keep their items and order.
TEST_F(DesignTimeUtils, AMovedListRowKeepsItsItem) {
    struct Case {
        const char* Item;
        const char* Target;
        TSourceAttachMode Mode;
        const char* Order;
    };
    const Case Cases[] = {
        {"C", "A", TSourceAttachMode::saInsert, "CABD"},  {"A", "D", TSourceAttachMode::saInsert, "BCAD"},
        {"B", "C", TSourceAttachMode::saInsert, "ABCD"},  {"B", "B", TSourceAttachMode::saInsert, "ABCD"},
        {"B", nullptr, TSourceAttachMode::saAdd, "ACDB"}, {"B", "A", TSourceAttachMode::saAdd, "ACDB"},
        {"D", nullptr, TSourceAttachMode::saAdd, "ABCD"}, {"A", nullptr, TSourceAttachMode::saInsert, "BCDA"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Item) + " " + (C.Target ? C.Target : "-"));
        TForm Form(nullptr);
        auto* View = new TCustomListView(&Form);
        View->SetParent(&Form);
        View->SetCheckboxes(true);
        View->SetColumns({{"Name", 60}, {"Note", 60}});
        std::map<std::string, TListItem*> Named;
        for (int I = 0; I < 4; ++I) {
            TListItem* Item = View->Items().Add();
            const std::string Name(1, static_cast<char>('A' + I));
            Item->SetCaption(Name);
            Item->SubItems().Add("note " + Name);
            Item->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(100 + I)));
            Item->SetImageIndex(I);
            Item->SetOverlayIndex(I % 2);
            Item->SetIndent(I);
            Item->SetChecked(I % 2 == 1);
            Named[Name] = Item;
        }
        Form.Show();
        MoveListItem(Named[C.Item], C.Target ? Named[C.Target] : nullptr, C.Mode);
        const HWND Wnd = View->Handle();
        ASSERT_EQ(SendMessageA(Wnd, LVM_GETITEMCOUNT, 0, 0), 4);
        for (int Row = 0; Row < 4; ++Row) {
            SCOPED_TRACE(Row);
            TListItem* Item = Named[std::string(1, C.Order[Row])];
            const int I = C.Order[Row] - 'A';
            EXPECT_EQ(View->Items().Item(Row), Item);
            char Text[64] = "";
            LVITEMA Got{};
            Got.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_INDENT | LVIF_STATE;
            Got.stateMask = LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
            Got.iItem = Row;
            Got.pszText = Text;
            Got.cchTextMax = sizeof Text;
            ASSERT_TRUE(SendMessageA(Wnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Got)));
            EXPECT_EQ(std::string(Text), std::string(1, C.Order[Row]));
            EXPECT_EQ(Got.lParam, reinterpret_cast<LPARAM>(Item));
            EXPECT_EQ(Got.iImage, I);
            EXPECT_EQ(Got.iIndent, I);
            EXPECT_EQ((Got.state & LVIS_OVERLAYMASK) >> 8, static_cast<UINT>(I % 2 + 1));
            EXPECT_EQ((Got.state & LVIS_STATEIMAGEMASK) >> 12, I % 2 == 1 ? 2u : 1u);
            Got.iSubItem = 1;
            SendMessageA(Wnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&Got));
            EXPECT_EQ(std::string(Text), "note " + std::string(1, C.Order[Row]));
            EXPECT_EQ(Item->Data(), reinterpret_cast<void*>(static_cast<intptr_t>(100 + I)));
        }
        Form.Hide();
    }
}

TEST_F(DesignTimeUtils, AListRowIsNotMovedBeforeARowOfAnotherList) {
    TForm Form(nullptr);
    auto* One = new TCustomListView(&Form);
    auto* Two = new TCustomListView(&Form);
    TListItem* A = One->Items().Add();
    TListItem* B = One->Items().Add();
    TListItem* Other = Two->Items().Add();
    EXPECT_THROW(MoveListItem(A, Other, TSourceAttachMode::saInsert), EInvalidOperation);
    MoveListItem(nullptr, B, TSourceAttachMode::saInsert);
    EXPECT_EQ(One->Items().Item(0), A);
    EXPECT_EQ(One->Items().Item(1), B);
}

// The tools are asked for through broadcasts; the form that was active is shown again after
// them, and the Hide requests go out only while nothing keeps the tools shown.
TEST_F(DesignTimeUtils, InspectorAndPalettesAreShownWithoutTakingTheActiveForm) {
    TForm Form(nullptr);
    Form.Show();
    SetForegroundWindow(Form.Handle());
    SetActiveWindow(Form.Handle());
    ASSERT_TRUE(PumpUntil([&] { return Screen->ActiveForm() == &Form; }));
    std::vector<uint32_t> Heard;
    TMessageAnswer Tool;
    Tool.OnMessage = [&](THSMessage& M) {
        Heard.push_back(M.Msg);
        Form.Hide(); // a tool window that comes up in front
    };
    ShowObjectInspector();
    EXPECT_TRUE(Form.Visible());
    ShowComponentPalette();
    EXPECT_TRUE(Form.Visible());
    ShowAlignPalette();
    EXPECT_TRUE(Form.Visible());
    EXPECT_EQ(Heard, (std::vector<uint32_t>{HS_SHOWINSPECTOR, HS_SHOWCOMPONENTPALETTE, HS_SHOWALIGNPALETTE}));

    Tool.OnMessage = [&](THSMessage& M) { Heard.push_back(M.Msg); };
    Heard.clear();
    KeepDesignToolsShown = true;
    HideObjectInspector();
    HideComponentPalette();
    HideAlignPalette();
    EXPECT_TRUE(Heard.empty());
    KeepDesignToolsShown = false;
    HideObjectInspector();
    HideComponentPalette();
    HideAlignPalette();
    EXPECT_EQ(Heard, (std::vector<uint32_t>{HS_HIDEINSPECTOR, HS_HIDECOMPONENTPALETTE, HS_HIDEALIGNPALETTE}));
    Form.Hide();
}

TEST_F(DesignTimeUtils, LabelsMenusAndControls) {
    TForm Form(nullptr);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    auto* Label = new TLabel(&Form);
    Label->SetParent(&Form);
    Label->SetFocusControl(Edit);
    Edit->SetEnabled(false);
    UpdateLabelsEnabled(&Form);
    EXPECT_FALSE(Label->Enabled());
    EXPECT_EQ(GetVCLControlFromHWND(Edit->Handle()), Edit);
    EXPECT_EQ(GetVCLControlFromHWND(nullptr), nullptr);

    auto* Menu = new TMainMenu(&Form);
    auto* Other = new TMainMenu(&Form);
    auto* File = new TMenuItem(&Form);
    auto* Open = new TMenuItem(&Form);
    Menu->Items()->Add(File);
    File->Add(Open);
    EXPECT_TRUE(IsChildMenu(Open, Menu));
    EXPECT_FALSE(IsChildMenu(Open, Other));

    auto* Memo = new TMemo(&Form);
    Memo->SetParent(&Form);
    Memo->SetText("first half\r\n second_third");
    CorrectMemoText(Memo);
    EXPECT_EQ(Memo->Text(), "first half second\r\nthird");

    ClearComponent(&Form);
    EXPECT_EQ(Form.ComponentCount(), 0);
    EXPECT_EQ(Form.ControlCount(), 0);
}

TEST_F(DesignTimeUtils, DisabledAndHiddenControlsGetNewWindows) {
    TForm Form(nullptr);
    struct Case {
        const char* What;
        bool Enabled, Visible, Parented, NewWindow;
    } Cases[] = {{"enabled and visible", true, true, true, false},
                 {"disabled", false, true, true, true},
                 {"hidden", true, false, true, true},
                 {"without parent", false, false, false, false}};
    std::vector<std::pair<TPanel*, HWND>> Panels;
    for (const Case& C : Cases) {
        auto* Panel = new TPanel(&Form);
        Panel->SetEnabled(C.Enabled);
        Panel->SetVisible(C.Visible);
        if (C.Parented)
            Panel->SetParent(&Form);
        Panels.emplace_back(Panel, Panel->Handle());
    }
    UpdateDisabledControls(&Form);
    UpdateDisabledControls(nullptr);
    for (size_t I = 0; I < Panels.size(); ++I) {
        const auto& [Panel, Old] = Panels[I];
        ASSERT_TRUE(Panel->HandleAllocated()) << Cases[I].What;
        EXPECT_EQ(Panel->Handle() != Old, Cases[I].NewWindow) << Cases[I].What;
        EXPECT_EQ(IsWindowEnabled(Panel->Handle()) != FALSE, Cases[I].Enabled) << Cases[I].What;
    }
}

TEST_F(DesignTimeUtils, FormsShownWithACommandAndTheMainForm) {
    TForm Form(nullptr), Designed(nullptr);
    Form.SetVisible(false);
    ShowFormEx(&Form, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(Form.Visible());
    EXPECT_TRUE(IsWindowVisible(Form.Handle()));
    EXPECT_TRUE(IsIconic(Form.Handle()));

    Designed.SetState(csDesigning, true);
    Designed.SetVisible(false);
    ShowFormEx(&Designed, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(Designed.Visible());
    EXPECT_TRUE(IsWindowVisible(Designed.Handle()));
    ShowFormEx(nullptr, SW_SHOW);

    EXPECT_FALSE(IsFormModal(&Form));
    EXPECT_FALSE(IsFormModal(nullptr));
    bool ModalSeen = false;
    TForm Dialog(nullptr);
    Dialog.OnShow = [&](TObject*) {
        ModalSeen = IsFormModal(&Dialog);
        Dialog.SetModalResult(mrCancel);
    };
    Dialog.ShowModal();
    EXPECT_TRUE(ModalSeen);
    EXPECT_FALSE(IsFormModal(&Dialog));

    TCustomForm* Saved = Application->MainForm();
    TScopeGuard Restore([&] { Application->SetMainForm(Saved); });
    TForm Main(nullptr);
    SetMainForm(&Main);
    EXPECT_EQ(Application->MainForm(), &Main);
    EXPECT_TRUE(Main.HandleAllocated());
    SetMainForm(nullptr);
    EXPECT_EQ(Application->MainForm(), &Main);
}

TEST_F(DesignTimeUtils, ColoursMeasuresAndMessages) {
    EXPECT_EQ(GetRGBColor(clNone), -1);
    EXPECT_EQ(GetRGBColor(clDefault), static_cast<int32_t>(0xFF000000u));
    EXPECT_EQ(GetRGBColor(0x00123456), 0x00123456);
    EXPECT_GT(GetWheelScrollLines(), 0u);
    ToolFormsOnTop = true;
    EXPECT_EQ(ToolsFormStyle(), TFormStyle::fsStayOnTop);
    ToolFormsOnTop = false;
    EXPECT_EQ(ToolsFormStyle(), TFormStyle::fsNormal);

    TFont Font;
    int32_t W1 = 0, H1 = 0, W2 = 0, H2 = 0;
    GetStringSize("W", &Font, W1, H1);
    GetStringSize("WW", &Font, W2, H2);
    EXPECT_GT(W1, 0);
    EXPECT_EQ(W2, 2 * W1);
    EXPECT_EQ(H1, H2);
    EXPECT_EQ(GetSymbolWidth('W', &Font), W1);
    EXPECT_EQ(GetSymbolHeight('W', &Font), H1);

    ShowMessageEx(THSVariant(42));
    ShowMessageEx(THSVariant(true));
    ShowMessageEx(THSVariant("text"));
    ASSERT_EQ(Boxes.size(), 3u);
    EXPECT_EQ(Boxes[0].Text, "42");
    EXPECT_EQ(Boxes[1].Text, "True");
    EXPECT_EQ(Boxes[2].Text, "text");
}

TEST_F(DesignTimeUtils, PopupMenusAndTheExceptionBox) {
    TForm Form(nullptr);
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(Panel);
    EXPECT_EQ(GetControlPopupMenu(Edit), nullptr);
    auto* Menu = new TPopupMenu(&Form);
    Form.SetPopupMenu(Menu);
    EXPECT_EQ(GetControlPopupMenu(Edit), Menu);
    auto* Own = new TPopupMenu(&Form);
    Edit->SetPopupMenu(Own);
    EXPECT_EQ(GetControlPopupMenu(Edit), Own);

    {
        TAppExceptionObject Sink;
        ASSERT_TRUE(Application->OnException);
        Application->OnException(nullptr, std::runtime_error("Disk full"));
    }
    EXPECT_FALSE(Application->OnException);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Disk full.");
}

TEST_F(DesignTimeUtils, FocusChangesReachTheNotifiersAsEnvironmentChanges) {
    TForm Form(nullptr);
    auto* E1 = new TEdit(&Form);
    E1->SetParent(&Form);
    auto* E2 = new TEdit(&Form);
    E2->SetParent(&Form);
    E2->SetTop(30);
    Form.Show();
    TMessageAnswer Listener;
    int Heard = 0;
    Listener.OnMessage = [&](THSMessage& M) {
        if (M.Msg == HS_IDECHANGED)
            ++Heard;
    };
    E1->SetFocus();
    EXPECT_EQ(Heard, 0);
    InitIDENotifier();
    InitIDENotifier(); // once only
    E2->SetFocus();
    const int Once = Heard;
    EXPECT_GE(Once, 1);
    FreeIDENotifier();
    E1->SetFocus();
    EXPECT_EQ(Heard, Once);
    Form.Hide();
}

TEST_F(DesignTimeUtils, UsedModulesAreTheOwnersOfLinkedObjects) {
    TForm Main(nullptr), Data(nullptr);
    auto* Source = new TComponent(&Data);
    auto* Holder = new TLinkHolder(&Main);
    auto* Local = new TLinkHolder(&Main);
    auto* Unowned = new TLinkHolder(&Main);
    TComponent Free(nullptr);
    Holder->Link = Source;
    Local->Link = Holder; // inside Main: not a module used
    Unowned->Link = &Free;
    std::vector<TPersistent*> Used;
    GetUsedModules(&Main, Used);
    EXPECT_EQ(Used, (std::vector<TPersistent*>{&Data}));
}

} // namespace
