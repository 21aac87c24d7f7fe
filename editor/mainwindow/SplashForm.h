#pragma once
// The window shown while the program starts: a title and one status line.
#include <string>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TPanel;

class TSplashForm : public TForm {
    ZEL_DECLARE_CLASS(TSplashForm)
public:
    explicit TSplashForm(TComponent* AOwner);
    void SetTitle(const std::string& Text);
    void SetStatus(const std::string& Text);
    std::string Status() const;
    TLabel* LoadingLabel = nullptr;
    TLabel* StatusLabel = nullptr;
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

protected:
    void CreateParams(TCreateParams& Params) override;
    void VisibleChanged() override;

private:
    TDateTime FLastDrawn = 0;
};
