#pragma once
// Looks at a shown window as a person would: no two visible sibling controls overlap, none
// reaches past its parent's client area (nor a menu bar item past the bar), every caption fits
// its control measured in the control's own font, a group box is not painted black inside and a
// label with a caption shows its text. The gallery opens windows, checks each of them in every
// page of its tab controls and keeps a picture of each for people to look at.
#include "framework/core/Win.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TBitmap;

// The faults of a shown top-level window as it stands, one readable line each; none when right.
std::vector<std::string> CheckWindowLayout(HWND Window);
// The window with its frame and menu bar, as the screen shows it.
void CaptureWindow(HWND Window, TBitmap& Shot);

class TWindowGallery {
public:
    // Pictures go to Folder, which is made when missing.
    explicit TWindowGallery(std::string Folder);
    ~TWindowGallery();
    TWindowGallery(const TWindowGallery&) = delete;
    TWindowGallery& operator=(const TWindowGallery&) = delete;

    // What Open makes and must outlive the look (a form shown without a modal loop), or a clean-up
    // to run after it (a null pointer with a deleter); let go of after the look.
    using THold = std::shared_ptr<void>;
    // Runs Open and looks at every top-level window of this thread that it shows: those shown in a
    // modal loop while it runs, which are then closed (Cancel, No, OK or Close) so that the loop
    // ends, and those still shown when it returns. Open must not handle messages after showing a
    // window without a modal loop. Every page of every tab control is selected in turn and looked
    // at too. Pictures are Name.png, then Name-<page>.png; a second window of one visit adds its
    // number. Returns the faults, each led by the picture's name; a visit that shows no window at
    // all is a fault too.
    std::vector<std::string> Visit(const std::string& Name, const std::function<THold()>& Open);
    // Inside Open: looks at a window shown before the visit too, after Open returns, and leaves it
    // shown.
    void Include(HWND Window) { FIncluded.insert(Window); }
    // Inside Open: a platform box of this visit is left with this button when it has it (IDYES
    // goes on with a question), before Cancel, No and OK.
    void Answer(int Id) { FAnswer = Id; }
    // Names of the pictures written so far, in order.
    const std::vector<std::string>& Pictures() const { return FPictures; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void LookAtNewWindows(bool Close);
    void LookAt(HWND Window);
    void LookAtState(HWND Window, const std::string& Base, const std::string& Picture,
                     std::set<HWND>& Walked);
    void Settle(HWND Window);

    std::string FFolder;
    std::string FName;
    std::set<HWND> FBefore, FSeen, FIncluded;
    std::set<HWND> FPending; // seen once in a modal loop; looked at when still there next time
    std::vector<std::string> FFaults;
    std::vector<std::string> FPictures;
    int FWindowsThisVisit = 0;
    int FAnswer = 0;
    bool FBusy = false;
    UINT_PTR FTimer = 0;
};
