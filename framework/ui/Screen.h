#pragma once
// The screen object: the program's forms, the active form and control, fonts and the cursor.
#include <memory>
#include <vector>

#include "framework/ui/Forms.h"

class TScreen : public TComponent {
    ZEL_DECLARE_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }
    // Data modules in order of creation.
    int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
    TDataModule* DataModules(int Index) const { return FDataModules.at(static_cast<size_t>(Index)); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const { return FPixelsPerInch; }
    RECT WorkAreaRect() const;
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // Face names of the installed fonts, sorted.
    std::vector<std::string> Fonts() const;
    TFont& HintFont() { return *FHintFont; }
    TFont& MenuFont() { return *FMenuFont; }
    TFont& IconFont() { return *FIconFont; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    // Form and data-module bookkeeping (they call these themselves).
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void AddDataModule(TDataModule* DataModule);
    void RemoveDataModule(TDataModule* DataModule);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TCustomForm*> FForms;
    std::vector<TDataModule*> FDataModules;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    int FPixelsPerInch = 96;
    TCursor FCursor = crDefault;
    std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
};

extern TScreen* Screen;
