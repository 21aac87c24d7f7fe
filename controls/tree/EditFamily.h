#pragma once
// The members of the edit-control family: ready-made edits for colours, pen and brush styles,
// file names and folders; inner editors that paint their value (colour, styles, check box); the
// drop-down pickers; and the registrations that tell which editor and drop-down serve each value
// type.
#include "framework/core/Win.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "controls/tree/EditButtons.h"
#include "framework/ui/Dialogs.h"

// Value types the family's registries are keyed by.
const void* StringValueType();
const void* ColorValueType();
const void* PenStyleValueType();
const void* BrushStyleValueType();
const void* BooleanValueType();

// Makes the family's registrations once (the edit controls call it when they are made).
void EnsureEditFamilyRegistered();
// Removes the two Boolean entries.
void UnRegisterBooleanEditor();
// The registered editor or drop-down class for a value type and property name: an entry with
// that very property name wins over one for any property (empty name); nullptr when none.
TClass FindEditClass(const void* ValueType, const std::string& PropName = std::string());
TClass FindPopupClass(const void* ValueType, const std::string& PropName = std::string());

// Called with the component and the property name when the user asks to edit a value in full
// (Ctrl+click or double-click on a colour edit). Does nothing unless a design environment sets it.
using THSEditPropertyHook = std::function<void(TPersistent* Instance, const std::string& PropName)>;
THSEditPropertyHook SetHSEditPropertyHook(THSEditPropertyHook Hook);

// --- Inner editors that paint their value -----------------------------------------------------------

class TGraphicEdit : public TCustomControl {
    ZEL_DECLARE_CLASS(TGraphicEdit)
public:
    explicit TGraphicEdit(TComponent* AOwner);
    // Paints the value with the control's top-left at (X, Y) of Canvas.
    virtual void PaintToCanvas(TCanvas& Canvas, int X, int Y) = 0;
    // The edit control of the family this editor belongs to, or nullptr.
    TCustomHSEdit* OwnerEdit() const;

protected:
    void Paint() override;
    void TextChanged() override;
    // Whether to draw the focus rectangle: the owning edit shows focus and has it.
    bool ShowsFocus();
};

class TColorEdit : public TGraphicEdit {
    ZEL_DECLARE_CLASS(TColorEdit)
public:
    explicit TColorEdit(TComponent* AOwner);
    void PaintToCanvas(TCanvas& Canvas, int X, int Y) override;
};

// The value is the file name of a bitmap, shown stretched over the client area.
class TGraphEdit : public TGraphicEdit {
    ZEL_DECLARE_CLASS(TGraphEdit)
public:
    explicit TGraphEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {}
    void PaintToCanvas(TCanvas& Canvas, int X, int Y) override;

protected:
    void TextChanged() override;

private:
    void LoadPicture();
    std::unique_ptr<TBitmap> FPicture;
    std::optional<std::string> FLoadedName;
};

class TPenStyleEdit : public TGraphicEdit {
    ZEL_DECLARE_CLASS(TPenStyleEdit)
public:
    explicit TPenStyleEdit(TComponent* AOwner);
    void PaintToCanvas(TCanvas& Canvas, int X, int Y) override;
};

class TBrushStyleEdit : public TGraphicEdit {
    ZEL_DECLARE_CLASS(TBrushStyleEdit)
public:
    explicit TBrushStyleEdit(TComponent* AOwner);
    void PaintToCanvas(TCanvas& Canvas, int X, int Y) override;
};

// A Boolean shown as a check box; the text is "True" or "False".
class TCheckEdit : public TCustomControl {
    ZEL_DECLARE_CLASS(TCheckEdit)
public:
    explicit TCheckEdit(TComponent* AOwner);
    bool Checked() const;
    void SetChecked(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool Cute = false;
    bool Scaled = false;
    virtual void PaintToCanvas(TCanvas& Canvas, int X, int Y);
    TCustomHSEdit* OwnerEdit() const;
    // A click or Space: toggles (or sets, for a radio button) unless read-only.
    virtual void Toggle();

protected:
    void Paint() override;
    void TextChanged() override;
    void Click() override;
    void KeyPress(char& Key) override;
    virtual bool Radio() const { return false; }

private:
    bool FReadOnly = false;
};

class TRadioEdit : public TCheckEdit {
    ZEL_DECLARE_CLASS(TRadioEdit)
public:
    explicit TRadioEdit(TComponent* AOwner) : TCheckEdit(AOwner) {}
    void Toggle() override;

protected:
    bool Radio() const override { return true; }
};

// --- Drop-down pickers ------------------------------------------------------------------------------

class TPopupColorBox : public TPopupListBox {
    ZEL_DECLARE_CLASS(TPopupColorBox)
public:
    explicit TPopupColorBox(TComponent* AOwner);
    void BuildList() override;
    // The 42 colours of the list, in its order.
    static const std::vector<TColor>& ListColors();

protected:
    void DrawItem(int Index, const RECT& Rect, UINT State) override;
};

class TPopupPenBox : public TPopupListBox {
    ZEL_DECLARE_CLASS(TPopupPenBox)
public:
    explicit TPopupPenBox(TComponent* AOwner);
    void BuildList() override;

protected:
    void DrawItem(int Index, const RECT& Rect, UINT State) override;
};

class TPopupBrushBox : public TPopupListBox {
    ZEL_DECLARE_CLASS(TPopupBrushBox)
public:
    explicit TPopupBrushBox(TComponent* AOwner);
    void BuildList() override;
    // "bs" + the row's name.
    std::string ValueOfItem(int Index) override;
    int IndexOfValue(const std::string& Value) override;

protected:
    void DrawItem(int Index, const RECT& Rect, UINT State) override;
};

// --- Ready-made edits -------------------------------------------------------------------------------

class THSColorEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(THSColorEdit)
public:
    explicit THSColorEdit(TComponent* AOwner);
    // Through the text: the colour's name, or its number when it has none.
    TColor SelectedColor() const;
    void SetSelectedColor(TColor Value);

protected:
    TClass GetDefaultEditorClass() const override;
    TClass GetDefaultPopupClass() const override;
    bool EditMouse(UINT Msg, TShiftState Shift, int X, int Y) override;
};

class THSPenStyleEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(THSPenStyleEdit)
public:
    explicit THSPenStyleEdit(TComponent* AOwner);
    TPenStyle PenStyle() const;
    void SetPenStyle(TPenStyle Value);

protected:
    TClass GetDefaultEditorClass() const override;
    TClass GetDefaultPopupClass() const override;
};

class THSBrushStyleEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(THSBrushStyleEdit)
public:
    explicit THSBrushStyleEdit(TComponent* AOwner);
    TBrushStyle BrushStyle() const;
    void SetBrushStyle(TBrushStyle Value);

protected:
    TClass GetDefaultEditorClass() const override;
    TClass GetDefaultPopupClass() const override;
};

using TDropFilesEvent = std::function<void(TObject* Sender, const std::vector<std::string>& Files)>;

class TCustomFileDirEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(TCustomFileDirEdit)
public:
    explicit TCustomFileDirEdit(TComponent* AOwner);
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool Value);
    void WndProc(TMessage& Message) override;
    TDropFilesEvent OnDropFiles;
    std::string InitialDir;

protected:
    void CreateHandleDone() override;
    // The first dropped file replaces the text.
    virtual void FilesDropped(const std::vector<std::string>& Files);

private:
    bool FAcceptFiles = false;
};

enum class TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

class THSFileNameEdit : public TCustomFileDirEdit {
    ZEL_DECLARE_CLASS(THSFileNameEdit)
public:
    explicit THSFileNameEdit(TComponent* AOwner);
    std::string FileName() const { return EditText(); }
    void SetFileName(const std::string& Value) { SetEditText(Value); }
    // Runs the dialog of DialogKind; on OK the chosen name becomes the text.
    bool BrowseFile();
    TFileDialogKind DialogKind = TFileDialogKind::dkOpen;
    std::string DefaultExt;
    TOpenOptions DialogOptions = ofHideReadOnly | ofEnableSizing;
    std::string DialogTitle;
    std::string Filter;
    int FilterIndex = 1;
    int HelpContext = 0;
};

class THSDirectoryEdit : public TCustomFileDirEdit {
    ZEL_DECLARE_CLASS(THSDirectoryEdit)
public:
    explicit THSDirectoryEdit(TComponent* AOwner);
    // Asks for a folder from the last ";"-separated entry (or InitialDir); MultipleDirs appends it.
    bool BrowseDirectory();
    bool MultipleDirs = false;
    std::string DialogText;
};

class TCustomHSPropEditor : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(TCustomHSPropEditor)
public:
    explicit TCustomHSPropEditor(TComponent* AOwner) : TCustomHSEdit(AOwner) {}
};
