#pragma once
// How a text source opens its find, replace and go-to-line dialogs, so that every view and every
// command reaches them the same way: either the modal find and replace forms, or one shared
// non-modal window with Find, Replace and Go To pages that the code editor's layer provides.
#include <functional>
#include <string>

#include "controls/foundation/InputDialogs.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "controls/textmodel/FindReplace.h"
#include "controls/textmodel/MemoSource.h"

// The source the non-modal window acts on; a source that goes while it is the current one clears it.
extern TCustomMemoSource* CurrentFindSource;
// Makes Source the current one (a view calls it when it gets the focus) and sees to it that the
// reference is cleared when the source goes.
void SetCurrentFindSource(TCustomMemoSource* Source);
// A view that has shown a found text of Source passes its screen rectangle here: when the shared
// window is shown and acts on Source, it moves so as not to cover the text.
void KeepFoundTextVisible(TCustomMemoSource* Source, const RECT& ScreenRect);

// Offered every dialog a source or a view makes, before it is shown (to change or disable parts of
// it). Every dialog of these layers is a form.
using TCreateDialogEvent = std::function<void(TObject* Sender, TForm* Dialog)>;

// The source that last opened a modal dialog; cleared when that source goes, so a form that
// closes after its source was destroyed has nothing to act on.
extern TCustomMemoSource* FLastSource;

// The shared non-modal window as the text model sees it.
class TNotModalSearchForm : public TForm {
    ZEL_DECLARE_CLASS(TNotModalSearchForm)
public:
    explicit TNotModalSearchForm(TComponent* AOwner);
    ~TNotModalSearchForm() override;
    // Selects page Index (0 Find, 1 Replace, 2 Go To) and focuses its first field.
    virtual void SetActiveIndex(int Index) = 0;
    // The text of the go-to field.
    virtual void SetLineText(const std::string& Text) = 0;
    // The view that shows a found text passes its screen rectangle so the window can stop hiding it.
    virtual void MakeSearchVisible(const RECT& Rect) = 0;
};

// The one shared non-modal window, nil until a source makes it; the window clears it when it goes.
extern TNotModalSearchForm* FrmSearRepl;

// The code editor's layer makes the non-modal window; without a maker, sources use the modal forms.
using TNotModalSearchFormMaker = std::function<TNotModalSearchForm*(TComponent* Owner)>;
TNotModalSearchFormMaker SetNotModalSearchFormMaker(TNotModalSearchFormMaker Maker);

// The dialog operations of one source. The source owns it (it goes with the source); a source
// class that wants other dialogs (help pages, another layout) makes an instance of a subclass owned
// by itself before the first dialog is asked for.
class TSourceDialogs : public TComponent {
    ZEL_DECLARE_CLASS(TSourceDialogs)
public:
    explicit TSourceDialogs(TComponent* AOwner);
    ~TSourceDialogs() override;
    // Nil when the owner is not a text source.
    TCustomMemoSource* Source() const { return FSource; }

    // Nil for a read-only source; otherwise the modal replace form, offered to OnCreateDialog.
    virtual TCustomForm* CreateReplaceDialog();
    virtual TCustomForm* CreateSearchDialog();
    // Nil when the code editor's layer has registered no window maker.
    virtual TCustomForm* CreateNotModalSearchDialog();
    virtual void ShowSearchDialog();
    virtual void ShowReplaceDialog();
    virtual void ShowGoToLineDialog();
    // With modal dialogs off: makes the shared window once, prepares the search options, puts the
    // caret line + 1 in its line field, shows it on page Page and answers true. False otherwise.
    bool CheckNotModalSearchRepl(int Page);
    // The word at the caret becomes the text to find (when the source asks for that); the scope is
    // the selection when the caret lies in or at the edge of one.
    void SmartSearchOptions();

    TCreateDialogEvent OnCreateDialog;

protected:
    void DoCreateDialog(TForm* Dialog);

private:
    // Shows a modal find or replace form; Run acts on the source when the form closes with one of
    // the accepted results and the source still exists.
    void ShowModalSearch(TCustomForm* Form, std::initializer_list<TModalResult> Accepted,
                         bool (TCustomMemoSource::*Run)());
    TCustomMemoSource* FSource = nullptr;
};

// The source's dialog operations: the first TSourceDialogs it owns, made when there is none.
TSourceDialogs& SourceDialogs(TCustomMemoSource& Source);

// Asks for an integer in the one-line input form; text that is not an integer is refused inside the
// form. On OK Value takes the number and the answer is true. The form is freed in every case.
bool ReadIntegerDialog(const std::string& Caption, const std::string& Prompt, int HelpContext, int& Value,
                       const TCreateDialogEvent& OnCreate, TObject* Sender);
