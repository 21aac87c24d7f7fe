#include "framework/ui/Buttons.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

void RegisterUiClasses() {
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    for (TClass C :
         {TFont::StaticClass(),          TControl::StaticClass(),        TWinControl::StaticClass(),
          TCustomControl::StaticClass(), TGraphicControl::StaticClass(), TForm::StaticClass(),
          TButton::StaticClass(),        TCheckBox::StaticClass(),       TRadioButton::StaticClass(),
          TGroupBox::StaticClass(),      TLabel::StaticClass(),          TEdit::StaticClass(),
          TMemo::StaticClass(),          TComboBox::StaticClass(),       TListBox::StaticClass(),
          TPanel::StaticClass(),         TBevel::StaticClass(),          TTimer::StaticClass(),
          TPageControl::StaticClass(),   TTabSheet::StaticClass(),       TTabControl::StaticClass(),
          TStatusBar::StaticClass(),     TProgressBar::StaticClass(),    TSpeedButton::StaticClass(),
          TImageList::StaticClass(),     TMenuItem::StaticClass(),       TMainMenu::StaticClass(),
          TPopupMenu::StaticClass(),     TOpenDialog::StaticClass(),     TSaveDialog::StaticClass(),
          TFontDialog::StaticClass(),    TColorDialog::StaticClass(),    TPrinterSetupDialog::StaticClass(),
          TDataModule::StaticClass()})
        RegisterClass(C);
}
