#pragma once
// A modeless dialog made from a dialog template of the program's own resources, run by its own
// message loop until OK or Cancel closes it.

#include <string>

#include "framework/core/Object.h"
#include "framework/core/Win.h"

class TResDialog : public TObject {
public:
    explicit TResDialog(const std::string& ResourceName) : FResourceName(ResourceName) {}
    ~TResDialog() override;
    TResDialog(const TResDialog&) = delete;
    TResDialog& operator=(const TResDialog&) = delete;

    // The dialog window, made from the template on first use (not in the constructor, where a
    // derived class's InitDialog could not run yet); nil when the program has no such template.
    HWND Handle();
    // Shows the dialog and runs until it is closed (or the quit message comes); true when OK
    // closed it. False at once without a window.
    bool Execute();

protected:
    // Runs once when the window is initialised.
    virtual void InitDialog() {}

private:
    static INT_PTR CALLBACK DialogProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Dispatch(UINT Msg, WPARAM WParam);

    std::string FResourceName;
    bool FTried = false;
    HWND FHandle = nullptr;
    bool FClosed = false;
    bool FResult = false;
};

// Creates a TResDialog from the named template, runs it and frees it; true when closed with OK.
bool ExecuteDialog(const std::string& ResourceName);
