#pragma once
// The family's dialog components and the file-name logic of its open and save dialogs: the
// dialog state (form size, window state, tree pane, splitter position) as a stream or one
// registry value, and the rules that turn what the user typed into checked full path names.
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/ui/Forms.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"

enum TNVOpenOption : uint32_t {
    nvofAllowMultiselect = 1u << 0,
    nvofCreatePrompt = 1u << 1,
    nvofExtensionDifferent = 1u << 2,
    nvofFileMustExist = 1u << 3,
    nvofHideReadOnly = 1u << 4,
    nvofNoChangeDir = 1u << 5,
    nvofNoDereferenceLinks = 1u << 6,
    nvofNoReadOnlyReturn = 1u << 7,
    nvofNoTestFileCreate = 1u << 8,
    nvofNoValidate = 1u << 9,
    nvofOverwritePrompt = 1u << 10,
    nvofReadOnly = 1u << 11,
    nvofPathMustExist = 1u << 12,
    nvofShareAware = 1u << 13,
    nvofShowHelp = 1u << 14,
    nvofAllowTree = 1u << 15,
    nvofShowTree = 1u << 16,
    nvofShowHints = 1u << 17,
    nvofHideFoldersInListWhenTreeVisible = 1u << 18,
    nvofOleDrag = 1u << 19,
    nvofOleDrop = 1u << 20,
    nvofShowHidden = 1u << 21,
};
using TNVOpenOptions = uint32_t;
constexpr TNVOpenOptions NVOpenDefaultOptions =
    nvofHideReadOnly | nvofAllowTree | nvofShowHints | nvofOleDrag | nvofOleDrop | nvofShowHidden;

class TNVFrmOpenDlg;

class TNVDialog : public TComponent {
    ZEL_DECLARE_CLASS(TNVDialog)
public:
    explicit TNVDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Raises "<class> already executing" when called again from inside a run.
    bool Execute();
    bool Executing() const { return FExecuting; }

    int32_t FormWidth = -1;
    int32_t FormHeight = -1;
    TWindowState FormWindowState = TWindowState::wsNormal;
    std::string Title;
    TNotifyEvent OnInitialized;
    TNotifyEvent OnFormShow;
    TNotifyEvent OnFormClose;

    // Little-endian, no header: width, height (32-bit signed), window state (one byte).
    virtual void WriteStateToStream(TStream& Stream);
    // All or nothing: a stream cut short raises the stream read error and changes no state.
    virtual void ReadStateFromStream(TStream& Stream);
    // One REG_BINARY value; the key is made when missing.
    void WriteStateToRegistry(HKEY RootKey, const std::string& Key, const std::string& ValueName);
    // False, with the state unchanged, when the key or value is missing or holds too few bytes.
    bool ReadStateFromRegistry(HKEY RootKey, const std::string& Key, const std::string& ValueName);

protected:
    virtual void DoInitialized() { DoEvent(OnInitialized, this); }
    virtual bool DoExecute() = 0;

private:
    bool FExecuting = false;
};

class TNVFileDlg : public TNVDialog {
    ZEL_DECLARE_CLASS(TNVFileDlg)
public:
    explicit TNVFileDlg(TComponent* AOwner);
    ~TNVFileDlg() override;

    TStringList& HistoryList() { return *FHistoryList; }
    TStringList& Files() { return *FFiles; }
    std::string GetFilename() const;
    void SetFilename(const std::string& Name);

    TNVOpenOptions Options = NVOpenDefaultOptions;
    std::string DefaultExt;
    std::string Filter;
    int32_t FilterIndex = 1;
    int32_t HelpContext = 0;
    std::string InitialDir;
    int32_t FormSplitterPos = -1;

    // Passed to the form's list and tree when it is made; OnAddComboItem is only kept.
    TNVShAddItemEvent OnAddListItem;
    TNVShAddItemEvent OnAddTreeItem;
    TNVShAddItemEvent OnAddComboItem;
    TNVShLvCustomDrawEvent OnLvCustomDrawSh;
    TNVShLvCustomDrawEvent OnLvCustomDrawShEx;
    TNVShTvCustomDrawEvent OnTvCustomDrawSh;
    TNVShTvCustomDrawEvent OnTvCustomDrawShEx;
    // Fired by the form while it shows (see TNVFrmOpenDlg).
    TNotifyEvent OnTypeChanged;
    TNotifyEvent OnFolderChanged;
    TNotifyEvent OnSelectionChanged;
    TNotifyEvent OnHelp;
    // While the form shows, the filter it has chosen; else FilterIndex.
    int32_t GetFilterIndex() const;
    // Store the handler and hand it to an open form at once.
    void SetOnAddListItem(TNVShAddItemEvent Handler);
    void SetOnAddTreeItem(TNVShAddItemEvent Handler);

    // Adds the tree byte and the splitter position to the base state.
    void WriteStateToStream(TStream& Stream) override;
    void ReadStateFromStream(TStream& Stream) override;

    // The form while Execute runs (null otherwise).
    TNVFrmOpenDlg* Form() const { return FForm; }

protected:
    bool DoExecute() override;
    virtual void InitForm(TNVFrmOpenDlg& Form);
    virtual void SaveFormSettings(TNVFrmOpenDlg& Form, bool Ok);
    // Save dialogs take the save captions.
    bool FSave = false;

private:
    TNVFrmOpenDlg* FForm = nullptr;
    std::unique_ptr<TStringList> FHistoryList;
    std::unique_ptr<TStringList> FFiles;
};

class TNVOpenDlg : public TNVFileDlg {
    ZEL_DECLARE_CLASS(TNVOpenDlg)
public:
    explicit TNVOpenDlg(TComponent* AOwner) : TNVFileDlg(AOwner) {}
};

class TNVSaveDlg : public TNVFileDlg {
    ZEL_DECLARE_CLASS(TNVSaveDlg)
public:
    explicit TNVSaveDlg(TComponent* AOwner) : TNVFileDlg(AOwner) { FSave = true; }
};

// ---- What the user typed ----

// Names of a file-name box: quoted names, or an unquoted run (blanks included) ended by a quote.
std::vector<std::string> NVSplitQuotedNames(const std::string& Text);
// Combines the folder the list shows with a typed item: drives, rooted and network names, and
// relative parts with "." and ".." (never above the drive or share root). Empty for an empty item.
std::string NVCombinePath(const std::string& Folder, const std::string& Item);
// "/", "<", ">", "|", or two backslashes in a row anywhere but at the very start.
bool NVIsInvalidFileName(const std::string& Text);
// The extension of a filter mask from its last dot ("*.htm" gives ".htm"), or empty.
std::string NVMaskExtension(const std::string& Mask);
// Gives Name the extension the dialog would: a registered type stays, else the selected mask's,
// else the default one. nvofExtensionDifferent tells whether the result's extension differs from
// DefaultExt. Nothing changes without a default extension.
std::string NVApplyDefaultExt(const std::string& Name, const std::string& DefaultExt,
                              const std::string& FilterMask, TNVOpenOptions& Options);
// The checks before a chosen path is returned, with their questions and refusals through the box
// seam (Caption: the form's). False when the path must not be returned.
bool NVCheckChosenFile(const std::string& Path, TNVOpenOptions Options, const std::string& Caption);
// The folder-box view of a file dialog: what ParseInputString needs of the list it drives.
class TNVFileDialogView {
public:
    virtual ~TNVFileDialogView() = default;
    // The folder shown, with a trailing backslash (empty for a folder without a path).
    virtual std::string CurrentFolder() = 0;
    virtual void MoveTo(const std::string& Folder) = 0;
    // The full path of the item the user selected in the list, when the box text came from it.
    virtual std::string SelectedPath() = 0;
    // Full paths of the items whose captions equal Name (case-insensitive), in list order.
    virtual std::vector<std::string> FindByCaption(const std::string& Name) = 0;
};
// Turns the box's text into checked full paths in Chosen; false (Chosen empty) when the dialog
// must stay open.
bool NVParseInputString(const std::string& Text, TNVFileDialogView& View, const std::string& DefaultExt,
                        const std::string& FilterMask, TNVOpenOptions& Options, const std::string& Caption,
                        std::vector<std::string>& Chosen);

class TNVCustomShellList;
// The view of a real shell list.
class TNVShellListFileView : public TNVFileDialogView {
public:
    explicit TNVShellListFileView(TNVCustomShellList& List) : FList(List) {}
    std::string CurrentFolder() override;
    void MoveTo(const std::string& Folder) override;
    std::string SelectedPath() override;
    std::vector<std::string> FindByCaption(const std::string& Name) override;
    // Set when the box text came from the list's selection.
    bool FromSelection = false;

private:
    TNVCustomShellList& FList;
};
