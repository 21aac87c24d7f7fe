// Documents in tabs: opening, selecting, saving, reloading and closing, the recent-file menu and
// the changed-on-disk check. Both panes show the one document list; tab i is document i everywhere.
#include <algorithm>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/Settings.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/MemoPrinting.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/OpenDialogForm.h"
#include "shellcontrols/ShellTree.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Dialogs.h"

namespace {

constexpr uint32_t AutomaticDocument = 1;

tabinfoclass* BindingOf(TTabControl* Tabs) {
    return Tabs ? reinterpret_cast<tabinfoclass*>(Tabs->Tag()) : nullptr;
}

fileinfoclass* DocumentAt(PointerArrayManager* List, int Index) {
    return List ? static_cast<fileinfoclass*>(List->at(Index)) : nullptr;
}

int IndexOf(PointerArrayManager* List, fileinfoclass* Doc) {
    return List ? List->find(Doc) : -1;
}

std::string Quoted(const std::string& Text) {
    return "\"" + Text + "\"";
}

std::string FilePart(fileinfoclass* Doc) {
    const char* N = Doc->GetName(1 | 4);
    return N ? N : "";
}

std::string FullName(fileinfoclass* Doc) {
    const char* N = Doc->GetName(2 | 4);
    return N ? N : "";
}

std::string TabCaption(fileinfoclass* Doc) {
    const char* N = Doc->GetName(16 | 4);
    return N ? N : "";
}

// The box of a failed save: the words every such box has, then the cause the save met.
std::string SaveErrorText(const std::string& Name, const fileinfoclass* Doc) {
    std::string Text = "Error saving " + Quoted(Name) + ". Check the path, filename, and disk access rights.";
    std::string Cause = Doc->lastError;
    if (!Cause.empty()) {
        Cause[0] = static_cast<char>(toupper(static_cast<unsigned char>(Cause[0])));
        if (Cause.back() != '.')
            Cause += '.';
        Text += " " + Cause;
    }
    return Text;
}

// Said in the status line while a document whose file the editor cannot fully show is shown.
std::string UnshownCharactersNote(fileinfoclass* Doc) {
    std::string Text =
        Quoted(FilePart(Doc)) + " holds characters this editor cannot show; they are kept as they are.";
    if (Doc->memoSource->FileEncoding().HeldAsUtf8)
        Text += " What you type in it is saved as UTF-8.";
    return Text;
}

// Set while the changed-on-disk check asks: its box lets the window's activation run the check again.
bool AskingAboutDisk = false;

// Restores the stored view of a dialog's file list once its form shows: the view style (the
// details button pressed for the report style) and the sort column.
void ShowStoredListView(TNVFileDlg* Dialog, int32_t StoredStyle, int32_t SortColumn) {
    TNVFrmOpenDlg* Form = Dialog ? Dialog->Form() : nullptr;
    if (!Form)
        return;
    Form->SetView(SettingToViewStyle(StoredStyle));
    Form->ShellList()->SetSortColumn(SortColumn);
}

// The view style the list had when its form closed, as the setting keeps it.
void KeepListView(TNVFileDlg* Dialog, int32_t& StoredStyle) {
    if (TNVFrmOpenDlg* Form = Dialog ? Dialog->Form() : nullptr)
        StoredStyle = ViewStyleToSetting(static_cast<int32_t>(Form->ShellList()->ViewStyle()));
}

// A name without an extension whose file does not exist gets the editor's default extension.
std::string WithDefaultExtension(std::string Name, const char* Extension) {
    if (Extension && *Extension && Name.find('.', Name.find_last_of("\\/") + 1) == std::string::npos &&
        GetFileAttributesA(Name.c_str()) == INVALID_FILE_ATTRIBUTES)
        Name += std::string(".") + Extension;
    return Name;
}

// The folder a dialog starts in: the one remembered for this run, else the folder the resource
// window shows.
std::string StartFolder(const std::string& Remembered, TNVShellTree* Tree) {
    if (!Remembered.empty() || !Tree)
        return Remembered;
    return Tree->GetSelectedPathName();
}

std::vector<tabinfoclass*> Bindings() {
    std::vector<tabinfoclass*> Out;
    if (p && p->vol)
        for (int32_t I = 0; I < p->vol->tabs.count(); ++I)
            if (auto* B = static_cast<tabinfoclass*>(p->vol->tabs.at(I)))
                Out.push_back(B);
    return Out;
}

// Adds a tab to every tab control bound to the list; the new index, or -4 when they disagree.
int AddTabToTabControls(const std::string& Caption, PointerArrayManager* Documents) {
    int Index = -1;
    for (tabinfoclass* B : Bindings()) {
        if (B->documents != Documents)
            continue;
        if (!B->tabControl)
            return -3;
        std::vector<std::string> Tabs = B->tabControl->Tabs();
        Tabs.push_back(Caption);
        int Selected = B->tabControl->TabIndex();
        B->tabControl->SetTabs(Tabs);
        B->tabControl->SetTabIndex(Selected);
        int New = static_cast<int>(Tabs.size()) - 1;
        if (Index >= 0 && Index != New)
            return -4;
        Index = New;
    }
    return Index;
}

void UpdateTabCaption(int Index, PointerArrayManager* Documents) {
    fileinfoclass* Doc = DocumentAt(Documents, Index);
    if (!Doc)
        return;
    for (tabinfoclass* B : Bindings()) {
        if (B->documents != Documents || !B->tabControl)
            continue;
        std::vector<std::string> Tabs = B->tabControl->Tabs();
        if (Index < 0 || Index >= static_cast<int>(Tabs.size()))
            continue;
        std::string Caption = TabCaption(Doc);
        if (Tabs[static_cast<size_t>(Index)] == Caption)
            continue;
        Tabs[static_cast<size_t>(Index)] = Caption;
        int Selected = B->tabControl->TabIndex();
        B->tabControl->SetTabs(Tabs);
        B->tabControl->SetTabIndex(Selected);
    }
}

} // namespace

int TZELQEForm::UpdateTab(TTabControl* Tabs, int Index) {
    tabinfoclass* B = BindingOf(Tabs ? Tabs : GetActiveTabControl());
    if (!B)
        return ShowEngineCallError(-3, "UpdateTab", "tabinfo is NULL");
    UpdateTabCaption(Index, B->documents);
    OpenedListStale = true;
    FillOpenedList();
    return 0;
}

fileinfoclass* TZELQEForm::FindOpenDocument(const std::string& FileName, TTabControl** TabsOut) {
    if (!p || !p->vol)
        return nullptr;
    PointerArrayManager& Docs = p->vol->documents;
    const std::string Wanted = FullPathName(FileName);
    for (int32_t I = 0; I < Docs.count(); ++I) {
        auto* D = static_cast<fileinfoclass*>(Docs.at(I));
        if (D && D->fileName.getString() && lstrcmpiA(D->fileName.getString(), Wanted.c_str()) == 0) {
            D->tabIndex = I;
            if (TabsOut)
                *TabsOut = GetActiveTabControl();
            return D;
        }
    }
    return nullptr;
}

int TZELQEForm::AddNewFileTab(TTabControl* Tabs, const char* FileName, int32_t Flags, fileinfoclass** Out) {
    if (Closing())
        return 3;
    // One form of a file's name everywhere: the tab, the caption, the status line, the questions,
    // the recent list and the comparison with the documents already open.
    std::string Name = FullPathName(FileName ? FileName : "");
    bool HasName = FileName != nullptr;
    if (HasName) {
        if (fileinfoclass* Open = FindOpenDocument(Name)) {
            if (!(Flags & 0x200) && SelectTab(GetActiveTabControl(), Open->tabIndex, 2) < 0)
                return -3;
            if (Out)
                *Out = Open;
            FocusEditor();
            return 0;
        }
        if (!(Flags & 8)) {
            int32_t Kind = fileinfoclass::GetFileKind(Name.c_str(), 0);
            if (Kind == KindOther || (Kind == KindNoExtension && p->config->noExtensionFileType < 0)) {
                int Answer = ShowMessageBox("The file " + Quoted(Name) +
                                                " does not have a recognizable file type. Would you like to "
                                                "open this file in the editor "
                                                "anyway?\n\nNOTE: You can add your own recognizable file "
                                                "types using the Editor Options to "
                                                "avoid this message in the future.",
                                            "Orvalent: Unrecognized File Type", BoxQuestion | BoxNotInStatus);
                if (Answer != IDYES)
                    return 1;
            }
        }
    }
    if (!Tabs)
        Tabs = GetActiveTabControl();
    if (!Tabs)
        return ShowEngineCallError(-8, "AddNewFileTab", "cannot get TabControl");
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-7, "AddNewFileTab", "tabinfo is NULL");
    auto* Doc = new fileinfoclass(&p->vol->undoFiles, Binding->documents);
    if (Flags & 0x80)
        Doc->SetFlags(2, true);
    Doc->resultsList = ResultsListView;
    Doc->secondList = TagCountListView;
    Doc->thirdList = LinksListView;
    Doc->resultsPages = ResultsPageControl;
    Doc->memoSource->SetTag(reinterpret_cast<intptr_t>(Doc));
    if (Flags & 2)
        Doc->forcedKind = 1;
    if (HasName) {
        if (!(Flags & 1))
            Doc->fileName = Name.c_str();
        if (Doc->LoadFromFile(Name.c_str(), 1) < 0) {
            ShowMessageBox("An error occurred trying to open " + Quoted(Name) +
                               ". The file may not exist or it may have been renamed, deleted, or moved.",
                           "Orvalent: Error Opening File", BoxStop | BoxNotInStatus);
            delete Doc;
            FocusEditor();
            return -6;
        }
        if (Binding->documents->append(Doc) < 0) {
            delete Doc;
            return ShowEngineCallError(-2, "AddNewFileTab", "addPointerEx() failed");
        }
        if (!(Flags & 1)) {
            Doc->sourceType = 1;
            Doc->SetFileTime(Name.c_str());
            MarkTabUnchanged(Doc);
            Doc->UpdateSyntaxParser(0);
            p->iface->reopen.Add(Name.c_str(), StringArrayStore::AddRemoveEqual);
            BuildReopenMenu(p->iface->reopen);
            SetStatusText("Opened " + Quoted(Name) + ".");
        } else {
            Doc->sourceType = 0;
            MarkTabChanged(Doc);
            SetStatusText("Opened.");
        }
    } else {
        Doc->UpdateSyntaxParser(0);
        if (Binding->documents->append(Doc) < 0) {
            delete Doc;
            return ShowEngineCallError(-2, "AddNewFileTab", "addPointerEx() failed");
        }
        MarkTabUnchanged(Doc);
    }
    int DocIndex = IndexOf(Binding->documents, Doc);
    int TabIndex = AddTabToTabControls(TabCaption(Doc), Binding->documents);
    if (TabIndex != DocIndex)
        return ShowEngineCallError(-4, "AddNewFileTab", "addindex index mismatch");
    if (!(Flags & 0x200) && SelectTab(Tabs, TabIndex, 0) < 0)
        return -3;
    if (Out)
        *Out = Doc;
    if (static_cast<int>(Tabs->Tabs().size()) == 2) {
        fileinfoclass* First = DocumentAt(Binding->documents, 0);
        if (First && (First->flags & AutomaticDocument)) {
            if (First->memoSource && !First->memoSource->Modified())
                CloseFileTab(Tabs, 0, 4);
            else
                First->flags &= ~AutomaticDocument;
        }
    }
    ApplySettingsToControls(16);
    if (WindowShown && HandleAllocated()) {
        Show();
        FocusEditor();
    }
    return 0;
}

int TZELQEForm::SelectTab(TTabControl* Tabs, int Index, int32_t Flags) {
    if (Closing())
        return 3;
    if (!Tabs)
        Tabs = GetActiveTabControl();
    if (!Tabs)
        return ReportEditorError(-5, "SelectTab", 1);
    int Count = static_cast<int>(Tabs->Tabs().size());
    if (Count == 0) {
        if (UpdateTabControls() < 0)
            return -1;
        return 0;
    }
    if (Index >= Count)
        Index = Count - 1;
    else if (Index == -1)
        Index = Tabs->TabIndex();
    if (Index < 0)
        Index = 0;
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-3, "SelectTab", "tabinfo is NULL");
    if (!Binding->documents)
        return ShowEngineCallError(-4, "SelectTab", "filearray is NULL");
    fileinfoclass* Doc = DocumentAt(Binding->documents, Index);
    if (!Doc)
        return ShowEngineCallError(-2, "SelectTab", "file is NULL");
    if ((Flags & 2) && Tabs->TabIndex() == Index)
        return 2;
    auto* Memo = Tabs == TabControl2 ? HSMemo2 : HSMemo;
    Memo->SetSource(Memo == HSMemo2 && !SecondPaneShown() ? MemoSourceDefault : Doc->memoSource);
    Tabs->SetTabIndex(Index);
    Doc->tabIndex = Index;
    SetCaption(BuildTitle());
    SetEnabled("ViewNextDocument", Count >= 2);
    SetEnabled("ViewPreviousDocument", Count >= 2);
    UpdateStatusPanels(StatusFromArguments | StatusInsertMode | StatusCaret, !Doc->memoSource->Modified(),
                       Doc->IsReadOnly());
    Doc->SetModifiedState(4);
    if (StateFlags & 1)
        SetActiveControl(ActiveEditorMemo);
    RefreshResults(Doc, 0);
    ShowResultCounts();
    if (Doc->HasUnshownCharacters())
        SetStatusText(UnshownCharactersNote(Doc));
    if (CheckChangedOnDisk(Flags & 1) == 1)
        return 1;
    return 0;
}

void TZELQEForm::TabControlChange(TObject* Sender) {
    auto* Tabs = dynamic_cast<TTabControl*>(Sender);
    if (!Tabs || Closing())
        return;
    StateFlags |= 1;
    SelectTab(Tabs, Tabs->TabIndex(), 0);
    SafeSetFocus(Tabs == TabControl2 ? HSMemo2 : HSMemo);
    StateFlags &= ~1u;
}

void TZELQEForm::ViewNextDocumentClick(TObject*) {
    TTabControl* Tabs = GetActiveTabControl();
    if (!Tabs || Tabs->Tabs().empty())
        return;
    int N = static_cast<int>(Tabs->Tabs().size());
    SelectTab(Tabs, (Tabs->TabIndex() + 1) % N, 2);
}

void TZELQEForm::ViewPreviousDocumentClick(TObject*) {
    TTabControl* Tabs = GetActiveTabControl();
    if (!Tabs || Tabs->Tabs().empty())
        return;
    int N = static_cast<int>(Tabs->Tabs().size());
    SelectTab(Tabs, (Tabs->TabIndex() + N - 1) % N, 2);
}

int TZELQEForm::UpdateTabControls() {
    if (Closing())
        return 1;
    std::vector<tabinfoclass*> All = Bindings();
    if (All.empty())
        return ShowEngineCallError(-1, "UpdateTabControls", "no tabs in tabinfoarray");
    for (tabinfoclass* B : All) {
        if (!B->documents || B->documents->count() > 0)
            continue;
        fileinfoclass* Doc = nullptr;
        int R = AddNewFileTab(B->tabControl, nullptr, 0, &Doc);
        if (R != 0)
            return R;
        if (Doc)
            Doc->flags |= AutomaticDocument;
        if (IdleHasRun)
            FocusEditor();
    }
    return 0;
}

int TZELQEForm::CloseFileTab(TTabControl* Tabs, int Index, int32_t Flags) {
    if (Closing())
        return 2;
    if (!Tabs)
        return ReportEditorError(-1, "CloseFileTab", 1);
    if (Index == -1)
        Index = Tabs->TabIndex();
    if (Index < 0)
        return ShowEngineCallError(-7, "CloseFileTab", "index<0");
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-4, "CloseFileTab", "tabinfo is NULL");
    if (!Binding->documents)
        return ShowEngineCallError(-5, "CloseFileTab", "filearray is NULL");
    fileinfoclass* Doc = DocumentAt(Binding->documents, Index);
    if (!Doc)
        return ShowEngineCallError(-2, "CloseFileTab", "getPointer() failed, bad index?");
    if (Doc->memoSource->Modified() && !(Flags & 2)) {
        int Changed = SelectTab(Tabs, Index, (Flags & 16) ? 1 : 1 | 2);
        std::string Text = "Save changes to " + Quoted(FullName(Doc)) + "?";
        if (Changed == 1)
            Text +=
                " NOTE: This file has also changed on disk. If you save, the changes on disk will be lost.";
        UINT Style = ((Flags & 1) ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION | MB_SETFOREGROUND;
        int Answer = ::ShowMessageBox(Text, "Orvalent: Save Changes?", Style);
        if (Answer == IDCANCEL)
            return 1;
        if (Answer == IDYES) {
            int R = SaveFileTab(Tabs, Index, 0);
            if (R == 1)
                return 1;
            if (R < 0)
                return -3;
        }
    }
    std::string Status = "Closed " + FilePart(Doc) + ".";
    if ((Flags & 8) && Doc->IsDiskFile())
        p->vol->openFiles.Add(FullName(Doc).c_str(), StringArrayStore::AddNoCut);
    // The memos must not keep showing a source that goes with its document.
    for (THSMemo* M : {HSMemo, HSMemo2})
        if (M->GetSource() == Doc->memoSource)
            M->SetSource(nullptr);
    if (LastSelectedMessage && LastSelectedMessage->owner == Doc)
        LastSelectedMessage = nullptr;
    if (ResultsListView->Tag() == reinterpret_cast<intptr_t>(Doc)) {
        ResultsListView->Clear();
        ResultsListView->SetTag(0);
    }
    Binding->documents->remove(Index, true);
    for (tabinfoclass* B : Bindings()) {
        if (B->documents != Binding->documents || !B->tabControl)
            continue;
        std::vector<std::string> T = B->tabControl->Tabs();
        if (Index >= static_cast<int>(T.size()))
            continue;
        int Selected = B->tabControl->TabIndex();
        T.erase(T.begin() + Index);
        if (Selected > Index)
            --Selected;
        Selected = std::min<int>(Selected, static_cast<int>(T.size()) - 1);
        B->tabControl->SetTabs(T);
        B->tabControl->SetTabIndex(Selected);
    }
    if (!(Flags & 16)) {
        if (Binding->documents->count() == 0)
            UpdateTabControls();
        else
            SelectTab(Tabs, std::min<int>(Index, Binding->documents->count() - 1), 0);
    }
    if (!(Flags & 4))
        SetStatusText(Status);
    ApplySettingsToControls(16);
    return 0;
}

int TZELQEForm::CloseAllTabFiles(TTabControl* Tabs, int32_t Flags) {
    if (Closing())
        return 2;
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-1, "CloseAllTabFiles", "tabinfo is NULL");
    if (!Binding->documents)
        return ShowEngineCallError(-2, "CloseAllTabFiles", "filearray is NULL");
    for (int I = Binding->documents->count() - 1; I >= 0; --I) {
        int R = CloseFileTab(Tabs, I, 1 | 16 | ((Flags & 2) ? 8 : 0));
        if (R == 1)
            return 1;
        if (R < 0)
            return -3;
    }
    if (!(Flags & 1))
        UpdateTabControls();
    return 0;
}

int TZELQEForm::CloseALLFiles(int32_t Flags) {
    if (Closing())
        return 2;
    std::vector<tabinfoclass*> All = Bindings();
    if (!p || !p->vol)
        return ShowEngineCallError(-1, "CloseALLFiles", "tabinfoarray is NULL");
    int Result = 0;
    for (tabinfoclass* B : All) {
        if (CloseAllTabFiles(B->tabControl, 1 | ((Flags & 1) ? 2 : 0)) != 0) {
            Result = 1;
            break;
        }
    }
    if (!(Flags & 1) || Result != 0)
        UpdateTabControls();
    return Result;
}

int TZELQEForm::SaveFileTab(TTabControl* Tabs, int Index, int32_t Flags) {
    if (Closing())
        return -5;
    if (!Tabs)
        Tabs = GetActiveTabControl();
    if (!Tabs)
        return ShowEngineCallError(-3, "SaveFileTab", "cannot get TabControl");
    if (Index == -1)
        Index = Tabs->TabIndex();
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-4, "SaveFileTab", "tabinfo is NULL");
    fileinfoclass* Doc = DocumentAt(Binding->documents, Index);
    if (!Doc)
        return ShowEngineCallError(-1, "SaveFileTab", "file is NULL, bad index?");
    if ((Flags & 2) && Doc->IsDiskFile() && !Doc->memoSource->Modified()) {
        UpdateTab(Tabs, Index);
        return 0;
    }
    if (!(Flags & 4) && Doc->IsDiskFile() && Doc->CheckChangedOnDisk(0) == 1) {
        int Answer = ShowMessageBox(
            Quoted(FullName(Doc)) + " has changed on disk. Are you sure that you want to save this file and "
                                    "overwrite the changes on disk?",
            "Orvalent: Overwrite Changes?", BoxQuestion | BoxNotInStatus);
        if (Answer != IDYES)
            return 1;
    }
    if (Doc->IsDiskFile() && !(Flags & 1)) {
        if (Doc->SaveToFile(FullName(Doc).c_str(), 0) == 0) {
            MarkTabUnchanged(Doc);
            Doc->flags &= ~AutomaticDocument;
            SetStatusText("Saved " + Quoted(FilePart(Doc)) + ".");
        } else {
            MarkTabChanged(Doc);
            std::string Text = SaveErrorText(FilePart(Doc), Doc);
            ::ShowMessageBox(Text, "Orvalent: Error", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
            SetStatusText(Text);
            UpdateTab(Tabs, Index);
            return -6;
        }
    } else {
        SelectTab(Tabs, Index, 2);
        TNVSaveDlg& Dialog = *NVSaveDialog;
        Dialog.Filter = p->iface->combinedFilter.getString() ? p->iface->combinedFilter.getString() : "";
        Dialog.FilterIndex = p->iface->fileDialogFilterIndex;
        if (Doc->IsDiskFile()) {
            Dialog.SetFilename(FullName(Doc));
            Dialog.InitialDir.clear();
        } else {
            Dialog.SetFilename("");
            Dialog.InitialDir = StartFolder(LastSaveFolder, ShellTree);
        }
        for (;;) {
            if (!Dialog.Execute())
                return 1;
            p->iface->fileDialogFilterIndex = Dialog.FilterIndex;
            if (Dialog.GetFilename().empty())
                return 1;
            std::string Name = FullPathName(
                WithDefaultExtension(Dialog.GetFilename(), p->config->defaultFileExtension.getString()));
            fileinfoclass* Other = FindOpenDocument(Name);
            if (Other && Other != Doc) {
                ShowMessageBox("Cannot save as " + Quoted(Name) +
                                   " because that file is opened in the editor.",
                               "Orvalent: Cannot Save", BoxStop | BoxNotInStatus);
                continue;
            }
            bool Own = lstrcmpiA(Name.c_str(), FullName(Doc).c_str()) == 0 && Doc->IsDiskFile();
            if (!Own && GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES) {
                if (ShowMessageBox("File " + Quoted(Name) + " already exists. Overwrite?",
                                   "Orvalent: File Already Exists", BoxQuestion | BoxNotInStatus) != IDYES)
                    continue;
            }
            // The document takes the new name only once the text is on disk under it.
            if (Doc->SaveAs(Name.c_str()) != 0) {
                MarkTabChanged(Doc);
                std::string Text = SaveErrorText(Name, Doc);
                ::ShowMessageBox(Text, "Orvalent: Error", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
                SetStatusText(Text);
                return -6;
            }
            MarkTabUnchanged(Doc);
            Doc->flags &= ~AutomaticDocument;
            size_t Slash = Name.find_last_of('\\');
            LastSaveFolder = Slash == std::string::npos ? std::string() : Name.substr(0, Slash);
            p->iface->reopen.Add(Name.c_str(), StringArrayStore::AddRemoveEqual);
            BuildReopenMenu(p->iface->reopen);
            Doc->UpdateSyntaxParser(0);
            SetStatusText("Saved " + Quoted(FilePart(Doc)) + ".");
            break;
        }
    }
    return UpdateTab(Tabs, Index) < 0 ? -2 : 0;
}

int TZELQEForm::SaveAllTabFiles(TTabControl* Tabs) {
    if (Closing())
        return -4;
    tabinfoclass* Binding = BindingOf(Tabs);
    if (!Binding)
        return ShowEngineCallError(-1, "SaveAllTabFiles", "tabinfo is NULL");
    if (!Binding->documents)
        return ShowEngineCallError(-2, "SaveAllTabFiles", "filearray is NULL");
    for (int I = 0; I < Binding->documents->count(); ++I) {
        int R = SaveFileTab(Tabs, I, 2);
        if (R == 1)
            return 1;
        if (R < 0)
            return -3;
    }
    return 0;
}

int TZELQEForm::SaveALLFiles() {
    if (Closing())
        return -3;
    if (!p || !p->vol)
        return ShowEngineCallError(-2, "SaveALLFiles", "tabinfoarray is NULL");
    TTabControl* Tabs = GetActiveTabControl();
    int Selected = Tabs ? Tabs->TabIndex() : -1;
    int Result = 0;
    // Both bindings show one list: saving it through the first is saving it.
    std::vector<tabinfoclass*> All = Bindings();
    if (!All.empty()) {
        int R = SaveAllTabFiles(All.front()->tabControl);
        Result = R == 1 ? 1 : R < 0 ? -1 : 0;
    }
    if (Tabs && Selected >= 0)
        SelectTab(Tabs, Selected, 2);
    return Result;
}

int TZELQEForm::MarkTabUnchanged(fileinfoclass* Document) {
    fileinfoclass* Doc = Document ? Document : GetCurrentFileInfo();
    if (!Doc)
        return -1;
    if (Doc->memoSource && Doc->memoSource->Modified())
        Doc->SetModifiedState(9);
    else
        Doc->SetModifiedState(1);
    if (Doc == GetCurrentFileInfo())
        UpdateStatusPanels(StatusFromArguments, true, Doc->IsReadOnly());
    int Index = IndexOf(Doc->documentList, Doc);
    if (Index >= 0)
        UpdateTabCaption(Index, Doc->documentList);
    return Doc->memoSource && !Doc->memoSource->Modified() ? 1 : 0;
}

int TZELQEForm::MarkTabChanged(fileinfoclass* Document) {
    fileinfoclass* Doc = Document ? Document : GetCurrentFileInfo();
    if (!Doc)
        return -1;
    if (Doc->memoSource && !Doc->memoSource->Modified())
        Doc->SetModifiedState(10);
    if (Doc == GetCurrentFileInfo())
        UpdateStatusPanels(StatusFromArguments, false, Doc->IsReadOnly());
    int Index = IndexOf(Doc->documentList, Doc);
    if (Index >= 0)
        UpdateTabCaption(Index, Doc->documentList);
    return 0;
}

int TZELQEForm::ReloadDocument(fileinfoclass* Doc) {
    if (!Doc)
        return 1;
    if (!Doc->IsDiskFile()) {
        ::ShowMessageBox("This document cannot be reloaded.", "Orvalent: Can't Reload",
                         MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        return 2;
    }
    if (Doc->memoSource->Modified()) {
        int Answer =
            ShowMessageBox("You will lose your changes if you reload this document. Do you still want to "
                           "reload " +
                               Quoted(FullName(Doc)) + "?",
                           "Orvalent: Reload?", BoxQuestion | BoxNotInStatus);
        if (Answer != IDYES)
            return 3;
    }
    if (Doc->Reload(0) >= 0) {
        UpdateStatusPanels(StatusFromArguments | StatusCaret, true, Doc->IsReadOnly());
        SetStatusText("Reloaded " + Quoted(FullName(Doc)) + ".");
        RefreshResults(Doc, 0);
    } else {
        std::string Text = "Error reloading " + Quoted(FullName(Doc)) +
                           ". The file may have been renamed, deleted, or moved.";
        SetStatusText(Text);
        ::ShowMessageBox(Text, "Orvalent: Error", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
    }
    int Index = IndexOf(Doc->documentList, Doc);
    if (Index >= 0)
        UpdateTabCaption(Index, Doc->documentList);
    return 0;
}

int TZELQEForm::CheckChangedOnDisk(int32_t Flags) {
    if (Closing())
        return 3;
    if (AskingAboutDisk)
        return 0;
    fileinfoclass* Doc = GetCurrentFileInfo();
    if (!Doc || !Doc->IsDiskFile())
        return 0;
    AskingAboutDisk = true;
    TScopeGuard Asked([] { AskingAboutDisk = false; });
    int32_t R = Doc->CheckChangedOnDisk(0);
    if (R == 2) {
        // Each document is told once that its file has gone: the record forgets the file's time
        // before the box shows, and a record without it has been told.
        if (!Doc->KnowsFileTime())
            return 0;
        Doc->CheckChangedOnDisk(1);
        ::ShowMessageBox(
            "Warning! Document " + Quoted(FullName(Doc)) +
                " no longer exists on disk. It may have been deleted, renamed, moved, or, if this is a "
                "document on a networked drive, the network connection may have failed.",
            "Orvalent: Warning", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        return 0;
    }
    if (R != 1)
        return 0;
    if (Flags & 1)
        return 1;
    // Recorded first, so the question comes once per change.
    Doc->SetFileTime(FullName(Doc).c_str());
    return ReloadDocument(Doc) == 0 ? 2 : 0;
}

void TZELQEForm::BuildReopenMenu(StringArrayStore& Reopen) {
    TMenuItem* Menu = Item("FileReopen");
    if (!Menu)
        return;
    Menu->Clear();
    for (int32_t I = 0; I < std::min<int32_t>(Reopen.Count(), 15); ++I) {
        auto* It = new TMenuItem(this);
        It->SetCaption(Reopen.GetText(I));
        It->SetTag(I);
        It->OnClick = [this](TObject* S) { ReopenItemClick(S); };
        Menu->Add(It);
    }
    Menu->SetEnabled(Menu->Count() > 0);
}

void TZELQEForm::ReopenItemClick(TObject* Sender) {
    auto* It = dynamic_cast<TMenuItem*>(Sender);
    if (!It || !p || !p->iface)
        return;
    std::string Name = p->iface->reopen.GetText(static_cast<int32_t>(It->Tag()));
    if (!Name.empty())
        AddNewFileTab(nullptr, Name.c_str(), 0);
}

std::string TZELQEForm::BuildTitle() {
    if (Closing())
        return "[shutting down]";
    std::string Title = "ZEL Orvalent Lite v3.00";
    if (fileinfoclass* Doc = GetCurrentFileInfo()) {
        const char* Name = Doc->GetName(0x200 | 4);
        if (*Name)
            Title += std::string(" - ") + Name;
        if (Doc->IsReadOnly())
            Title += " - [READ-ONLY]";
    }
    // The task bar names the document too.
    if (Application)
        Application->SetTitle(Title);
    return Title;
}

// --- open and save dialogs --------------------------------------------------------------------

void TZELQEForm::BuildFileDialogs() {
    NVOpenDialog = new TNVOpenDlg(this);
    NVOpenDialog->SetName("NVOpenDialog");
    NVOpenDialog->OnFormShow = [this](TObject* S) { NVOpenDialogFormShow(S); };
    NVOpenDialog->OnFormClose = [this](TObject* S) { NVOpenDialogFormClose(S); };
    NVSaveDialog = new TNVSaveDlg(this);
    NVSaveDialog->SetName("NVSaveDialog");
    NVSaveDialog->OnFormShow = [this](TObject* S) { NVSaveDialogFormShow(S); };
    NVSaveDialog->OnFormClose = [this](TObject* S) { NVSaveDialogFormClose(S); };
}

void TZELQEForm::NVOpenDialogFormShow(TObject*) {
    if (p && p->iface)
        ShowStoredListView(NVOpenDialog, p->iface->openDialogViewStyle, p->iface->openDialogSortColumn);
}

void TZELQEForm::NVSaveDialogFormShow(TObject*) {
    if (p && p->iface)
        ShowStoredListView(NVSaveDialog, p->iface->saveDialogViewStyle, p->iface->saveDialogSortColumn);
}

void TZELQEForm::NVOpenDialogFormClose(TObject*) {
    if (p && p->iface)
        KeepListView(NVOpenDialog, p->iface->openDialogViewStyle);
}

void TZELQEForm::NVSaveDialogFormClose(TObject*) {
    if (p && p->iface)
        KeepListView(NVSaveDialog, p->iface->saveDialogViewStyle);
}

// --- commands ----------------------------------------------------------------------------------

void TZELQEForm::FileNewClick(TObject*) {
    AddNewFileTab(nullptr, nullptr, 0);
}

void TZELQEForm::FileOpenClick(TObject*) {
    if (Closing())
        return;
    TNVOpenDlg& Dialog = *NVOpenDialog;
    Dialog.Filter = p->iface->combinedFilter.getString() ? p->iface->combinedFilter.getString() : "";
    Dialog.FilterIndex = p->iface->fileDialogFilterIndex;
    Dialog.Title = "Select File or Files to Open";
    Dialog.InitialDir = StartFolder(LastOpenFolder, ShellTree);
    Dialog.DefaultExt.clear();
    Dialog.SetFilename("");
    const TNVOpenOptions Saved = Dialog.Options;
    Dialog.Options |= nvofAllowMultiselect;
    bool Ok;
    {
        TScopeGuard Restore([&] { Dialog.Options = Saved; });
        Ok = Dialog.Execute();
    }
    if (!Ok)
        return;
    WindowControl Busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
    Busy.SetCursor(crHourGlass);
    p->iface->fileDialogFilterIndex = Dialog.FilterIndex;
    std::vector<std::string> Files;
    for (int I = 0; I < Dialog.Files().Count(); ++I)
        if (!Dialog.Files()[I].empty())
            Files.push_back(Dialog.Files()[I]);
    if (Files.empty())
        return;
    size_t Slash = Files.front().find_last_of('\\');
    LastOpenFolder = Slash == std::string::npos ? std::string() : Files.front().substr(0, Slash);
    for (std::string Name : Files) {
        Name = WithDefaultExtension(Name, p->config->defaultFileExtension.getString());
        if (GetFileAttributesA(Name.c_str()) == INVALID_FILE_ATTRIBUTES) {
            int Answer = ShowMessageBox("Cannot open the file " + Quoted(Name) +
                                            ". The file may not exist. Do you want to create this file?",
                                        "Orvalent: Cannot Open File", BoxQuestion | BoxNotInStatus);
            if (Answer != IDYES)
                continue;
            HANDLE H = CreateFileA(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
            if (H != INVALID_HANDLE_VALUE)
                CloseHandle(H);
        }
        AddNewFileTab(nullptr, Name.c_str(), 0);
    }
}

void TZELQEForm::FileSaveClick(TObject*) {
    SaveFileTab(nullptr, -1, 0);
    SetCaption(BuildTitle());
}

void TZELQEForm::FileSaveAsClick(TObject*) {
    SaveFileTab(nullptr, -1, 1);
    SetCaption(BuildTitle());
}

void TZELQEForm::FileSaveAllClick(TObject*) {
    SaveALLFiles();
}

void TZELQEForm::FileCloseClick(TObject*) {
    CloseFileTab(GetActiveTabControl(), -1, 1);
}

void TZELQEForm::FileCloseAllClick(TObject*) {
    CloseALLFiles(0);
}

void TZELQEForm::FileReloadClick(TObject*) {
    ReloadDocument(GetCurrentFileInfo());
}

void TZELQEForm::FileExitClick(TObject*) {
    Close();
}

void TZELQEForm::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = true;
    if (Closing())
        return;
    TSessionState State;
    if (HandleAllocated()) {
        State.maximised = IsZoomed(Handle()) != 0;
        RECT R;
        GetWindowRect(Handle(), &R);
        State.left = R.left;
        State.top = R.top;
        State.width = R.right - R.left;
        State.height = R.bottom - R.top;
        State.haveBounds = !IsIconic(Handle());
    }
    State.haveProportions = true;
    State.proportions[0] = static_cast<float>(ScratchSplitter->Proportion());
    State.proportions[1] = static_cast<float>(StructureSplitter->Proportion());
    State.proportions[2] = static_cast<float>(EditorSplitPanel->Proportion());
    State.proportions[3] = static_cast<float>(WebSplitter->Proportion());
    State.editorFont = &HSMemo->Font();
    if (Commands && Commands->DropWindow) {
        State.haveDropWindow = true;
        State.dropTop = Commands->DropWindow->Top();
        State.dropLeft = Commands->DropWindow->Left();
    }
    State.haveDialogSizes = true;
    State.openDialogWidth = NVOpenDialog->FormWidth;
    State.openDialogHeight = NVOpenDialog->FormHeight;
    State.saveDialogWidth = NVSaveDialog->FormWidth;
    State.saveDialogHeight = NVSaveDialog->FormHeight;
    State.haveSelectedFolder = true;
    State.selectedFolder = ShellTree ? ShellTree->GetSelectedPathName() : std::string();
    // Closes every document with its questions (a refusal keeps the window) and stores the settings.
    CanClose = SaveSessionState(State) != 0;
}

void TZELQEForm::FilePrintClick(TObject*) {
    if (Closing())
        return;
    auto* Memo = dynamic_cast<THSMemo*>(ActiveControl());
    TCustomMemoSource* Source = Memo ? Memo->GetSource() : nullptr;
    if (!Source)
        return;
    // The title names what is printed: the document, a scratch pad, or what a results memo shows.
    std::string Title;
    fileinfoclass* Current = GetCurrentFileInfo();
    for (int32_t I = 0; p && p->vol && I < p->vol->documents.count(); ++I)
        if (auto* Doc = static_cast<fileinfoclass*>(p->vol->documents.at(I));
            Doc && Doc->memoSource == Source)
            Title = FullName(Doc);
    if (Memo == ResultsMessageMemo && Current)
        Title = "Message from " + FullName(Current);
    else if (Memo == StructureMemo && Current)
        Title = "Structure of " + FullName(Current);
    else if (Memo == ScratchPad1Memo || Memo == ScratchPad2Memo)
        Title = std::string("ZEL Orvalent Lite Scratch Pad ") + (Memo == ScratchPad1Memo ? "1" : "2");
    std::string Error = PrintMemoWithDialog(*Memo, Title);
    if (!Error.empty())
        ShowMessageBox("Printing failed: " + Error, "Orvalent: Print", BoxStop);
}
