#pragma once
// Common controls: page controls with tab sheets, tab controls, status bars, progress bars.
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

class TPageControl;

// One page of a page control; its Caption is the tab's text.
class TTabSheet : public TWinControl {
    ZEL_DECLARE_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    // Moves the sheet into a page control (nullptr: out of any).
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;
    void SetPageIndex(int Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // Index among the visible tabs, -1 when hidden.
    int TabIndex() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void TextChanged() override;

private:
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    friend class TPageControl;
};

class TCustomTabControl : public TWinControl {
    ZEL_DECLARE_CLASS(TCustomTabControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    // Where pages go: the client area less the tabs.
    RECT DisplayRect();
    RECT ClientRect() override { return DisplayRect(); }
    void WndProc(TMessage& Message) override;
    // Tabs light up under the pointer.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TNotifyEvent OnChange;
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void Change() { DoEvent(OnChange, this); }
    virtual bool CanChange();
    // Puts the tab texts into the window.
    void SetTabTexts(const std::vector<std::string>& Texts);
    int CurrentTab() const;
    void SelectTab(int Index);

private:
    bool FHotTrack = false;
};

class TPageControl : public TCustomTabControl {
    ZEL_DECLARE_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward);

protected:
    void CreateHandleDone() override;
    void Change() override;

private:
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    friend class TTabSheet;
};

// Tabs without pages: the program swaps what it shows in OnChange.
class TTabControl : public TCustomTabControl {
    ZEL_DECLARE_CLASS(TTabControl)
public:
    explicit TTabControl(TComponent* AOwner);
    const std::vector<std::string>& Tabs() const { return FTabs; }
    void SetTabs(const std::vector<std::string>& Value);
    int TabIndex() const;
    void SetTabIndex(int Value);

protected:
    void CreateHandleDone() override;

private:
    std::vector<std::string> FTabs;
    int FTabIndex = -1;
};

struct TStatusPanel {
    std::string Text;
    int Width = 50;
};

class TStatusBar : public TWinControl {
    ZEL_DECLARE_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* AOwner);
    // Panels from left to right; call UpdatePanels after changing them.
    std::vector<TStatusPanel> Panels;
    void UpdatePanels();
    void SetPanelText(int Index, const std::string& Text);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip = true;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;

private:
    bool FSimplePanel = false;
    std::string FSimpleText;
};

class TProgressBar : public TWinControl {
    ZEL_DECLARE_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt();
    void StepBy(int Delta);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
};
