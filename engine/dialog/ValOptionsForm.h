#pragma once
// TValOptionsForm: the engine's own options dialog. It edits a copy of an options object's
// groups; every check box sets or clears one bit of one option word, and OK or Save copy the
// edited values back. Plain Win32 (the engine stands on the framework's core only).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ConfigClass.h"

class TValOptionsForm {
public:
    // The test seam of the modal loop: called once the form is shown, before the loop runs. A
    // test clicks controls and presses OK or Cancel from it; the loop then ends at once.
    using ModalHook = std::function<void(TValOptionsForm&)>;
    static ModalHook setModalHook(ModalHook hook);

    TValOptionsForm(ConfigClass& options, int32_t optionsHandle, HWND owner);
    ~TValOptionsForm();
    TValOptionsForm(const TValOptionsForm&) = delete;
    TValOptionsForm& operator=(const TValOptionsForm&) = delete;

    // Creates the window and its controls; false when the platform refuses.
    bool create();
    // Fills the form from the options object.
    void fill(int32_t flags);
    // Shows the form modally; the modal result: 1 OK (also after Save), 2 Cancel.
    int32_t showModal();
    void bringToFront();

    HWND handle() const { return window_; }
    // A control by its name ("CheckNesting", "LineLength", "OKBtn", "ValidatorOptionsPageControl").
    HWND control(const std::string& name) const;
    // Clicks a button or check box as a person would.
    void click(const std::string& name);
    void setText(const std::string& name, const std::string& text);
    // Shows the tab of the given index.
    void selectPage(int32_t index);

    static constexpr const char* kCaption = "Validator Engine Options (Validator/Logging/Tools/Network)";

private:
    struct Control {
        std::string name;
        HWND window;
        int32_t page; // -1 on every page
        int32_t id;
    };
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND add(const std::string& name, const char* cls, const char* text, DWORD style, int32_t page, int x,
             int y, int w, int h);
    void onCommand(int32_t id);
    void showPage(int32_t page);
    void updateDependents();
    std::string text(const std::string& name) const;
    bool checked(const std::string& name) const;
    void copyBack(bool save);
    void browse(const std::string& field, const char* filter, const char* extension, const char* title);
    void help(bool tagNameProgram);
    uint32_t* word(int32_t which);
    // The colour the tab control paints its pages with, which the controls on them take.
    void takePageColour();
    bool onPage(HWND control) const;

    ConfigClass& options_;
    int32_t handle_;
    HWND owner_;
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HFONT font_ = nullptr;
    COLORREF pageColour_ = 0;
    HBRUSH pageBrush_ = nullptr;
    std::vector<Control> controls_;
    int32_t modalResult_ = 0;
    int32_t currentPage_ = 0;

    // The edited copies of the groups.
    LogConfigClass log_;
    ValidatorConfigClass validator_;
    ToolsConfigClass tools_;
    GeneralConfigClass general_;
    NetworkConfigClass network_;
    std::string openingConfiguration_;
};
