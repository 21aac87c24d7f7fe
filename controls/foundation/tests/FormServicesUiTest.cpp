#include "controls/foundation/FormServices.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls/foundation/PropertyUtils.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Application.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/Messages.h"
#include "framework/ui/StdCtrls.h"

namespace {

class TOptionsPageA : public TForm {
    ZEL_DECLARE_CLASS(TOptionsPageA)
public:
    using TForm::TForm;
};
class TOptionsPageB : public TForm {
    ZEL_DECLARE_CLASS(TOptionsPageB)
public:
    using TForm::TForm;
};
ZEL_DEFINE_CLASS(TOptionsPageA, TForm, {})
ZEL_DEFINE_CLASS(TOptionsPageB, TForm, {})

TEST(FormServices, FormsAndTheirComponentsAreFoundByName) {
    TForm Main(nullptr);
    Main.SetName("MainForm");
    auto* Edit = new TEdit(&Main);
    Edit->SetName("Edit1");
    Edit->SetParent(&Main);
    TOptionsPageA Page(nullptr);
    Page.SetName("PageA");

    EXPECT_EQ(GlobalFindObject("mainform"), &Main);
    EXPECT_EQ(GlobalFindObject("MainForm.EDIT1"), Edit);
    EXPECT_EQ(GlobalFindObject("MainForm.Missing"), nullptr);
    EXPECT_EQ(GlobalFindObject("Nowhere"), nullptr);
    EXPECT_EQ(GetPForm(Edit), &Main);
    EXPECT_EQ(GetTopOwner(Edit), &Main);
    EXPECT_EQ(GetPForm(nullptr), nullptr);
    EXPECT_EQ(FindFormWithClass(TOptionsPageA::StaticClass()), &Page);
    EXPECT_EQ(FindOrCreateFormWithClass(TOptionsPageA::StaticClass(), nullptr), &Page);
    std::unique_ptr<TCustomForm> Made(FindOrCreateFormWithClass(TOptionsPageB::StaticClass(), nullptr));
    ASSERT_NE(Made, nullptr);
    EXPECT_TRUE(Made->InheritsFrom(TOptionsPageB::StaticClass()));
    EXPECT_GE(ScreenFormCount(), 3);

    // Data modules come after the forms: a form of the same name wins.
    TDataModule Data(nullptr);
    Data.SetName("Data");
    auto* Table = new TComponent(&Data);
    Table->SetName("Table");
    auto* Inner = new TComponent(Table);
    TDataModule Shadow(nullptr);
    Shadow.SetName("MainForm");
    EXPECT_EQ(GlobalFindObject("DATA"), &Data);
    EXPECT_EQ(GlobalFindObject("data.table"), Table);
    EXPECT_EQ(GlobalFindObject("MainForm"), &Main);
    EXPECT_EQ(GetTopOwner(Inner), &Data);
    EXPECT_EQ(GetPForm(Inner), nullptr);
    // A data module inside a form is the top owner of what it owns.
    auto* Nested = new TDataModule(&Main);
    auto* Field = new TComponent(Nested);
    EXPECT_EQ(GetTopOwner(Field), Nested);
    EXPECT_EQ(GetPForm(Field), &Main);
}

TEST(FormServices, FormsAndDataModulesMadeAndFoundOutsideTheDesigner) {
    RegisterUiClasses();
    TForm Form(nullptr);
    Form.SetName("Settings");
    std::unique_ptr<TDataModule> Data(CreateDataModule());
    EXPECT_EQ(Data->Owner(), nullptr);
    Data->SetName("Tables");
    EXPECT_EQ(GlobalFindCompWithoutDesigned("settings"), &Form);
    EXPECT_EQ(GlobalFindCompWithoutDesigned("TABLES"), Data.get());
    SetDesign(Data.get(), true);
    EXPECT_TRUE(Data->HasState(csDesigning));
    EXPECT_EQ(GlobalFindCompWithoutDesigned("Tables"), nullptr);
    SetDesign(Data.get(), false);
    EXPECT_EQ(GlobalFindCompWithoutDesigned("Tables"), Data.get());
    SetDesign(nullptr, true);

    // The stream's root class tells; the position stays where it was.
    struct Case {
        const char* What;
        TComponent* Root;
        bool Text;
        bool IsModule;
    } Cases[] = {{"binary module", Data.get(), false, true},
                 {"text module", Data.get(), true, true},
                 {"binary form", &Form, false, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TMemoryStream Stream;
        Stream.WriteBuffer("xy", 2);
        if (C.Text)
            WriteObjToTextStream(Stream, C.Root);
        else
            WriteObjToStream(Stream, C.Root);
        Stream.SetPosition(2);
        EXPECT_EQ(StreamContainsDataModule(Stream), C.IsModule);
        EXPECT_EQ(Stream.Position(), 2);
    }
    TStringStream Garbage("nothing of the kind");
    EXPECT_FALSE(StreamContainsDataModule(Garbage));

    // The test program keeps an image named like TOptionsPageA only.
    EXPECT_TRUE(GetFormResourceHandler(TOptionsPageA::StaticClass()));
    EXPECT_FALSE(GetFormResourceHandler(TOptionsPageB::StaticClass()));
    EXPECT_FALSE(GetFormResourceHandler(nullptr));
    std::unique_ptr<TCustomForm> Made(CreateFormWithClass(TOptionsPageB::StaticClass()));
    ASSERT_NE(Made, nullptr);
    EXPECT_TRUE(Made->InheritsFrom(TOptionsPageB::StaticClass()));
    EXPECT_EQ(Made->Owner(), Application);
    std::unique_ptr<TDataModule> Module(CreateDataModuleWithClass(TDataModule::StaticClass()));
    ASSERT_NE(Module, nullptr);
    EXPECT_EQ(Module->Owner(), Application);
    EXPECT_EQ(CreateFormWithClass(TDataModule::StaticClass()), nullptr);
    EXPECT_EQ(CreateDataModuleWithClass(TOptionsPageA::StaticClass()), nullptr);
    EXPECT_EQ(CreateFormWithClass(nullptr), nullptr);
}

TEST(FormServices, ExtraMenuSeparatorsGo) {
    TMainMenu Menu(nullptr);
    TMenuItem* Root = new TMenuItem(&Menu);
    Menu.Items()->Add(Root);
    for (const char* Caption : {"-", "A", "-", "-", "B", "-"}) {
        auto* Item = new TMenuItem(&Menu);
        Item->SetCaption(Caption);
        Root->Add(Item);
    }
    RemoveExtraMenuSeparators(Root);
    std::string Left;
    for (int I = 0; I < Root->Count(); ++I)
        Left += Root->Items(I)->Caption() + " ";
    EXPECT_EQ(Left, "A - B ");

    ClearMenuSubItems(Root, true);
    EXPECT_EQ(Root->Count(), 0);
    EXPECT_FALSE(Root->Enabled());
    ClearMenuSubItems(Root, false);
    EXPECT_TRUE(Root->Enabled());
}

TEST(FormServices, TabsWrapRoundAndAreAddedOnce) {
    TForm Form(nullptr);
    auto* Tabs = new TTabControl(&Form);
    Tabs->SetParent(&Form);
    Tabs->SetTabs({"One", "Two", "Three"});
    Tabs->SetTabIndex(2);
    int Changes = 0;
    Tabs->OnChange = [&](TObject*) { ++Changes; };
    ChangeTab(Tabs, true);
    EXPECT_EQ(Tabs->TabIndex(), 0);
    ChangeTab(Tabs, false);
    EXPECT_EQ(Tabs->TabIndex(), 2);
    EXPECT_EQ(Changes, 2);
    Tabs->OnChanging = [](TObject*, bool& Allow) { Allow = false; };
    ChangeTab(Tabs, true);
    EXPECT_EQ(Tabs->TabIndex(), 2);

    AddNewTab(Tabs, "two");
    EXPECT_EQ(Tabs->TabIndex(), 1);
    AddNewTab(Tabs, "Four");
    EXPECT_EQ(Tabs->Tabs().size(), 4u);
    EXPECT_EQ(Tabs->TabIndex(), 3);

    auto* Source = new TPageControl(&Form);
    auto* Dest = new TPageControl(&Form);
    Source->SetParent(&Form);
    Dest->SetParent(&Form);
    for (const char* Caption : {"P1", "P2"}) {
        auto* Sheet = new TTabSheet(&Form);
        Sheet->SetCaption(Caption);
        Sheet->SetPageControl(Source);
    }
    MovePages(Source, Dest);
    ASSERT_EQ(Dest->PageCount(), 2);
    EXPECT_EQ(Source->PageCount(), 0);
    EXPECT_EQ(Dest->Pages(0)->Caption(), "P1");
    Dest->SetActivePageIndex(1);
    ChangeTab(Dest, true);
    EXPECT_EQ(Dest->ActivePageIndex(), 0);
}

// Holds Ctrl (and Shift) down in the thread's keyboard state for the scope.
class TKeysDown {
public:
    explicit TKeysDown(bool Shift) {
        GetKeyboardState(FSaved);
        BYTE Keys[256];
        GetKeyboardState(Keys);
        Keys[VK_CONTROL] = 0x80;
        Keys[VK_SHIFT] = Shift ? 0x80 : 0;
        SetKeyboardState(Keys);
    }
    ~TKeysDown() { SetKeyboardState(FSaved); }

private:
    BYTE FSaved[256];
};

TEST(FormServices, CtrlTabCyclesTheTabsAroundTheFocus) {
    TForm Form(nullptr);
    auto* Tabs = new THSTabControl(&Form);
    Tabs->SetParent(&Form);
    Tabs->SetBounds(0, 0, 200, 100);
    Tabs->SetTabs({"One", "Two", "Three"});
    Tabs->SetTabIndex(0);
    auto* Inside = new TEdit(&Form);
    Inside->SetParent(Tabs);
    auto* Outside = new TEdit(&Form);
    Outside->SetParent(&Form);
    Outside->SetTop(120);
    int Changes = 0;
    Tabs->OnChange = [&](TObject*) { ++Changes; };
    Form.Show();
    Inside->SetFocus();
    ASSERT_EQ(GetFocus(), Inside->Handle());
    {
        TKeysDown Ctrl(false);
        EXPECT_NE(Form.Perform(CM_DIALOGKEY, VK_TAB, 0), 0);
    }
    EXPECT_EQ(Tabs->TabIndex(), 1);
    {
        TKeysDown CtrlShift(true);
        Form.Perform(CM_DIALOGKEY, VK_TAB, 0);
        Form.Perform(CM_DIALOGKEY, VK_TAB, 0);
    }
    EXPECT_EQ(Tabs->TabIndex(), 2);
    EXPECT_EQ(Changes, 3);
    // With the focus elsewhere the key is not the tab control's.
    Outside->SetFocus();
    {
        TKeysDown Ctrl(false);
        Form.Perform(CM_DIALOGKEY, VK_TAB, 0);
    }
    EXPECT_EQ(Tabs->TabIndex(), 2);
    Form.Hide();
}

TEST(FormServices, PackageFilesAndModules) {
    struct Case {
        const char* Name;
        const char* Ext;
        bool Result;
    } Cases[] = {
        {"c:\\x\\vcl50.BPL", "bpl", true}, {"a.bpl", ".BPL", true}, {"a.dpl", "bpl", false},
        {"a.txt.", "txt", false},          {"noext", "", true},     {"a.b.pas", "pas", true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(CheckFileExt(C.Name, C.Ext), C.Result) << C.Name;
    EXPECT_TRUE(FileIsPackage("x.Dpl"));
    EXPECT_FALSE(FileIsPackage("x.dll"));

    std::vector<HMODULE> Modules;
    ModulesToList(Modules);
    ASSERT_FALSE(Modules.empty());
    EXPECT_EQ(Modules.front(), GetModuleHandleA(nullptr));
    EXPECT_NE(std::find(Modules.begin(), Modules.end(), GetModuleHandleA("kernel32.dll")), Modules.end());
    TStringList Packages;
    GetLoadedPackagesPaths(&Packages);
    EXPECT_EQ(Packages.Count(), 0);
}

COLORREF PixelOf(TBitmap& Bitmap, int X, int Y) {
    return GetPixel(Bitmap.Canvas().Handle(), X, Y);
}

TEST(FormServices, BrushPatternsAndTransparentStretching) {
    TBitmap Pattern;
    CreateBrushPatternEx(&Pattern, 0x0000FF, 0xFF0000);
    ASSERT_EQ(Pattern.Width(), 8);
    ASSERT_EQ(Pattern.Height(), 8);
    for (auto [X, Y] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{7, 3}})
        EXPECT_EQ(PixelOf(Pattern, X, Y), 0xFF0000u) << X << "," << Y;
    for (auto [X, Y] : {std::pair{1, 0}, std::pair{0, 7}})
        EXPECT_EQ(PixelOf(Pattern, X, Y), 0x0000FFu) << X << "," << Y;

    // Red and white (transparent) stretched twice over blue: red, red, blue, blue.
    TBitmap Source, Dest;
    Source.SetSize(2, 1);
    SetPixel(Source.Canvas().Handle(), 0, 0, RGB(255, 0, 0));
    SetPixel(Source.Canvas().Handle(), 1, 0, RGB(255, 255, 255));
    Dest.SetSize(4, 1);
    for (int X = 0; X < 4; ++X)
        SetPixel(Dest.Canvas().Handle(), X, 0, RGB(0, 0, 255));
    StretchBltTransparent(Dest.Canvas().Handle(), 0, 0, 4, 1, Source.Canvas().Handle(), 0, 0, 2, 1,
                          static_cast<TColor>(RGB(255, 255, 255)));
    EXPECT_EQ(PixelOf(Dest, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(Dest, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(Dest, 2, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(Dest, 3, 0), RGB(0, 0, 255));

    CorrectBitmap(&Source);
    EXPECT_EQ(Source.Width(), 2);
    EXPECT_EQ(PixelOf(Source, 0, 0), RGB(255, 0, 0));
    CorrectBitmap(nullptr);
}

TEST(FormServices, ResourceModulesAreTheProgramAndItsPackages) {
    std::vector<HMODULE> Modules;
    ResModulesToList(Modules);
    // No packages are loaded here: the program alone, and never a system library.
    EXPECT_EQ(Modules, std::vector<HMODULE>{GetModuleHandleA(nullptr)});
    EXPECT_EQ(FindResourceInstance("ZELTESTDIALOG", MAKEINTRESOURCEA(5)), GetModuleHandleA(nullptr));
    EXPECT_EQ(FindResourceInstance("NOSUCHDIALOG", MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_EQ(FindResourceInstance(nullptr, MAKEINTRESOURCEA(5)), nullptr);
}

TBitmap* Filled(TBitmap& Bitmap, int W, int H, COLORREF Color) {
    Bitmap.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            SetPixel(Bitmap.Canvas().Handle(), X, Y, Color);
    return &Bitmap;
}

TEST(FormServices, AnImageOfAListIsReplacedWithItsTransparentColourKept) {
    const COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0),
                   White = RGB(255, 255, 255);
    TImageList List(nullptr);
    TBitmap First, Second, New;
    List.Add(*Filled(First, 16, 16, Red));
    List.Add(*Filled(Second, 16, 16, Red));
    Filled(New, 16, 16, Blue);
    SetPixel(New.Canvas().Handle(), 3, 4, Green);
    ASSERT_TRUE(ChangeImageList(&List, &New, static_cast<TColor>(Green), 1));
    EXPECT_EQ(List.Count(), 2);

    TBitmap Target;
    RECT R{0, 0, 16, 16};
    Filled(Target, 16, 16, Red);
    DrawImage(Target.Canvas(), &List, static_cast<TColor>(White), R, 1);
    EXPECT_EQ(PixelOf(Target, 0, 0), Blue);
    EXPECT_EQ(PixelOf(Target, 3, 4), White); // the back colour shows through
    DrawImage(Target.Canvas(), &List, static_cast<TColor>(White), R, 0);
    EXPECT_EQ(PixelOf(Target, 3, 4), Red);

    struct Case {
        const char* What;
        TImageList* List;
        TBitmap* Bitmap;
        int Index;
    } Refused[] = {{"no list", nullptr, &New, 0},
                   {"no bitmap", &List, nullptr, 0},
                   {"index past the end", &List, &New, 2},
                   {"negative index", &List, &New, -1}};
    TBitmap Empty;
    for (const Case& C : Refused)
        EXPECT_FALSE(ChangeImageList(C.List, C.Bitmap, clNone, C.Index)) << C.What;
    EXPECT_FALSE(ChangeImageList(&List, &Empty, clNone, 0));
}

TEST(FormServices, ABitmapIsDrawnStretchedWithItsCornerColourTransparent) {
    const COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Yellow = RGB(255, 255, 0);
    TBitmap Image, Target;
    Filled(Image, 2, 1, Blue); // pixel 0, 0 (blue) is the transparent colour
    SetPixel(Image.Canvas().Handle(), 1, 0, Red);
    Filled(Target, 10, 4, RGB(0, 0, 0));
    DrawImage(Target.Canvas(), &Image, static_cast<TColor>(Yellow), RECT{2, 1, 6, 3});
    EXPECT_EQ(PixelOf(Target, 2, 1), Yellow);
    EXPECT_EQ(PixelOf(Target, 3, 2), Yellow);
    EXPECT_EQ(PixelOf(Target, 4, 1), Red);
    EXPECT_EQ(PixelOf(Target, 5, 2), Red);
    EXPECT_EQ(PixelOf(Target, 6, 1), RGB(0, 0, 0)); // outside the rectangle
    EXPECT_EQ(PixelOf(Target, 1, 1), RGB(0, 0, 0));

    // An empty bitmap leaves the background; nil draws nothing at all.
    TBitmap Empty;
    DrawImage(Target.Canvas(), &Empty, static_cast<TColor>(Blue), RECT{0, 0, 2, 2});
    EXPECT_EQ(PixelOf(Target, 0, 0), Blue);
    DrawImage(Target.Canvas(), static_cast<TBitmap*>(nullptr), static_cast<TColor>(Red), RECT{0, 0, 2, 2});
    DrawImage(Target.Canvas(), static_cast<TImageList*>(nullptr), static_cast<TColor>(Red), RECT{0, 0, 2, 2},
              0);
    EXPECT_EQ(PixelOf(Target, 0, 0), Blue);
}

TEST(FormServices, TheActiveFormIsTheVisibleOneInFront) {
    TForm A(nullptr), B(nullptr), Hidden(nullptr);
    A.SetBounds(10, 10, 200, 150);
    B.SetBounds(40, 40, 200, 150);
    A.Show();
    B.Show();
    Hidden.HandleNeeded();
    TCustomForm* SavedMain = Application->MainForm();
    TScopeGuard RestoreMain([&] { Application->SetMainForm(SavedMain); });
    Application->SetMainForm(nullptr);

    SetWindowPos(A.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(FormIsActive(&A));
    EXPECT_FALSE(FormIsActive(&B));
    SetWindowPos(B.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(FormIsActive(&B));
    EXPECT_FALSE(FormIsActive(&A));
    // The main form in front does not hide the active state of the form behind it.
    Application->SetMainForm(&B);
    EXPECT_TRUE(FormIsActive(&A));
    EXPECT_FALSE(FormIsActive(&Hidden));
    EXPECT_FALSE(FormIsActive(nullptr));
}

TEST(FormServices, CreationEventsAndFlatButtons) {
    TForm Form(nullptr);
    std::vector<TObject*> Senders;
    CallCompOnCreate(&Form); // no event set
    Form.OnCreate = [&](TObject* Sender) { Senders.push_back(Sender); };
    CallCompOnCreate(&Form);
    CallCompOnCreate(nullptr);
    TComponent Plain(nullptr);
    CallCompOnCreate(&Plain);
    TDataModule Module(nullptr);
    Module.OnCreate = [&](TObject* Sender) { Senders.push_back(Sender); };
    CallCompOnCreate(&Module);
    EXPECT_EQ(Senders, (std::vector<TObject*>{&Form, &Module}));

    auto* One = new TSpeedButton(&Form);
    auto* Two = new TSpeedButton(&Form);
    new TEdit(&Form);
    TSpeedButton Loose(nullptr);
    SetFlatPropToAll(&Form, true);
    EXPECT_TRUE(One->Flat());
    EXPECT_TRUE(Two->Flat());
    EXPECT_FALSE(Loose.Flat());
    SetFlatProp({&Loose, nullptr, One}, false);
    EXPECT_FALSE(One->Flat());
    EXPECT_TRUE(Two->Flat());
    EXPECT_FALSE(Loose.Flat());
    SetFlatProp({&Loose}, true);
    EXPECT_TRUE(Loose.Flat());
    SetFlatPropToAll(nullptr, false);
}

TEST(FormServices, TheFamilysSpeedButtonLetsGoOfItsGlyphsContextAfterEveryChange) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 200, 100);
    auto* Family = new THSSpeedButton(&Form);
    Family->SetParent(&Form);
    Family->SetBounds(10, 10, 23, 22);
    auto* Plain = new TSpeedButton(&Form);
    Plain->SetParent(&Form);
    Plain->SetBounds(40, 10, 23, 22);
    Form.Show();
    ValidateRect(Form.Handle(), nullptr);

    Family->Glyph().SetSize(16, 16);
    // The handler the glyph had still runs: the button is to be painted again.
    RECT Update{};
    ASSERT_TRUE(GetUpdateRect(Form.Handle(), &Update, FALSE));
    EXPECT_EQ(Update.left, 10);
    EXPECT_EQ(Update.top, 10);
    for (TSpeedButton* B : {static_cast<TSpeedButton*>(Family), Plain}) {
        B->Glyph().SetSize(16, 16);
        B->Glyph().Canvas().Brush().SetColor(clRed);
        B->Glyph().Canvas().FillRect(RECT{0, 0, 8, 8});
    }
    EXPECT_FALSE(Family->Glyph().Canvas().HandleAllocated());
    EXPECT_TRUE(Plain->Glyph().Canvas().HandleAllocated());
    // The drawing itself stays in the glyph.
    EXPECT_EQ(Family->Glyph().Canvas().Pixel(4, 4), clRed);
    Form.Hide();
}

TEST(FormServices, OptionFormsKeepTheirOrder) {
    RegisterOptionsFormOrder(TOptionsPageB::StaticClass(), 20, "Display");
    RegisterOptionsFormOrder(TOptionsPageA::StaticClass(), 10, "Editor");
    RegisterOptionsForm(TForm::StaticClass(), "General");
    EXPECT_EQ(OptionFormClasses(), (std::vector<TClass>{TOptionsPageA::StaticClass(),
                                                        TOptionsPageB::StaticClass(), TForm::StaticClass()}));
    EXPECT_EQ(OptionFormCaptions(), (std::vector<std::string>{"Editor", "Display", "General"}));
    EXPECT_EQ(GetOptionsFormCaption(TOptionsPageB::StaticClass()), "Display");
    UnregisterOptionsForm(TOptionsPageB::StaticClass());
    EXPECT_EQ(OptionFormCount(), 2);
    EXPECT_EQ(OptionFormClass(1), TForm::StaticClass());
    EXPECT_EQ(OptionFormClass(2), nullptr);
    EXPECT_EQ(GetOptionsFormCaption(TOptionsPageB::StaticClass()), "");
    FreeOptionForms();
    EXPECT_EQ(OptionFormCount(), 0);
}

} // namespace
