#pragma once
// TCustomDictionariesDialog: the user dictionaries the checker knows, each switched on or off,
// created, renamed in place, deleted or opened for editing.

#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "spell/ConfigurationDialogCtrl.h"
#include "spell/SpellCheckList.h"

// What a row of the list stands for.
class TListEntry : public TObject {
public:
    bool Checked = true;
    bool Internal = false;
    bool MSWord = false;
    bool Renamable = false;
    std::string Filename;
};

class TCustomDictionariesDialog : public TForm {
    ZEL_DECLARE_CLASS(TCustomDictionariesDialog)
public:
    explicit TCustomDictionariesDialog(TComponent* AOwner);

    TGroupBox* CustomGroup;
    TSpellCheckList* CustomDictionaries;
    TButton* NewButton;
    TButton* DeleteButton;
    TButton* EditButton;
    TButton* OK;
    TButton* HelpButton;
    TConfigurationDialogCtrl* DialogControl;

    void PopulateList();
    TListEntry* Entry(int Index);
    // Rows alive now; the dialog owns them and frees them with each rebuild.
    size_t EntryCount() const { return FEntries.size(); }

private:
    void DialogControlConfigurationAvailable(TObject* Sender);
    void CheckChange(int Index);
    void SelectItem(int Index);
    void NewClick();
    void DeleteClick();
    void EditClick();
    std::vector<std::unique_ptr<TListEntry>> FEntries;
    bool FPopulating = false;
};
