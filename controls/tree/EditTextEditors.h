#pragma once
// Inner text editors of the edit-control family: the plain one-line editor, an edit that takes its
// input through a mask, and date and time editors over the platform's date-time picker. Each keeps
// its value as text, so that the edit control with buttons reads and writes it like any other.
#include "framework/core/Win.h"

#include <string>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/StdCtrls.h"

// An inner editor with a drop-down of its own (a calendar): while that is open, keys reach the
// editor alone and not the edit control's key handling.
class THSInnerDropDown {
public:
    virtual ~THSInnerDropDown() = default;
    virtual bool InnerDroppedDown() const = 0;
};

// The inner text editor: borderless, and selects its whole text when the keyboard enters it.
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class THSSimpleEdit : public TCustomEdit {
    ZEL_DECLARE_CLASS(THSSimpleEdit)
public:
    explicit THSSimpleEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    // Upper or lower case: typed characters are converted, and so is the text when it is set.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Characters are converted to the OEM code page and back as they are typed.
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void DoEnter() override;
    void TextChanged() override;

private:
    DWORD CaseStyles() const;
    void ApplyStyles();
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    bool FOEMConvert = false;
};

// A one-line editor whose input follows EditMask: "mask;save literals;blank character".
// Mask characters: 0 digit, 9 optional digit, # optional digit or sign, L letter, l optional
// letter, A letter or digit, a optional one, C any character, c optional one; > upper case and
// < lower case from there on (<> neither), \ takes the next character as a literal, ! is accepted
// and ignored; ":" and "/" stand for the time and date separators, "_" for a blank; anything else
// is a literal. Text is the value: each slot's character (a space where nothing was typed), with
// the literals only when the second field is not "0".
class THSMaskEdit : public THSSimpleEdit {
    ZEL_DECLARE_CLASS(THSMaskEdit)
public:
    explicit THSMaskEdit(TComponent* AOwner) : THSSimpleEdit(AOwner) {}
    const std::string& EditMask() const { return FMask; }
    void SetEditMask(const std::string& Value);
    // What the window shows: literals in place and the blank character in every empty slot.
    std::string EditText() const;
    // True when every slot the mask requires holds a character.
    bool IsComplete() const;
    void WndProc(TMessage& Message) override;

protected:
    std::string GetText() const override;
    void TextChanged() override;
    void CreateHandleDone() override;

private:
    struct TSlot {
        char Kind = 0; // 0 for a literal, else the mask character
        char Literal = 0;
        int Case = 0; // 1 upper, -1 lower
        bool Required = false;
    };
    void ParseMask();
    bool Masked() const { return !FSlots.empty(); }
    bool Accepts(const TSlot& S, char& Ch) const;
    std::string ValueToDisplay(const std::string& Value) const;
    std::string DisplayToValue(const std::string& Display) const;
    int NextSlot(int From) const; // first slot position at or after From, -1 when none
    int PrevSlot(int Before) const;
    void ShowDisplay(const std::string& Display, int Caret);
    void ClearRange(std::string& Display, int From, int To) const;
    void TypeChar(char Ch);
    void Erase(bool Backward);
    void PasteText(const std::string& Text);

    std::string FMask;
    std::vector<TSlot> FSlots;
    bool FSaveLiterals = true;
    char FBlank = '_';
    bool FShowing = false; // the window text being set is already the display form
};

// The date-time picker as an inner editor: the value travels as text through WM_GETTEXT and
// WM_SETTEXT; an empty text clears the value and unticks the picker's check box. While its
// calendar is open the editor counts as dropped down.
class THSDtEdit : public TWinControl, public THSInnerDropDown {
    ZEL_DECLARE_CLASS(THSDtEdit)
public:
    explicit THSDtEdit(TComponent* AOwner);
    bool InnerDroppedDown() const override { return FDropped; }
    // False when the picker holds no value (its check box is clear).
    bool HasValue() const;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    std::string GetText() const override;
    void TextChanged() override;
    virtual bool TimeKind() const { return false; }
    // Reads a text of this editor's kind; raises EConvertError for one that is not.
    virtual TDateTime ParseValue(const std::string& Text) const = 0;
    virtual std::string FormatValue(TDateTime Value) const = 0;

private:
    bool TryParse(const std::string& Text, TDateTime& Value) const;
    void Apply(bool Has, TDateTime Value);
    std::string Current() const;
    bool FDropped = false;
    bool FHas = false;
    TDateTime FValue = 0;
};

class THSDateEdit : public THSDtEdit {
    ZEL_DECLARE_CLASS(THSDateEdit)
public:
    explicit THSDateEdit(TComponent* AOwner) : THSDtEdit(AOwner) {}

protected:
    TDateTime ParseValue(const std::string& Text) const override;
    std::string FormatValue(TDateTime Value) const override;
};

class THSTimeEdit : public THSDtEdit {
    ZEL_DECLARE_CLASS(THSTimeEdit)
public:
    explicit THSTimeEdit(TComponent* AOwner) : THSDtEdit(AOwner) {}

protected:
    bool TimeKind() const override { return true; }
    TDateTime ParseValue(const std::string& Text) const override;
    std::string FormatValue(TDateTime Value) const override;
};

// Reads "h[:n[:s]]" with the time separator of the format settings (or ':'); raises EConvertError
// "'%s' is not a valid time".
TDateTime StrToTime(const std::string& Text);
