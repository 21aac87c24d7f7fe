#include "shellcontrols/FileDialogs.h"

#include <algorithm>
#include <utility>

#include "framework/core/Exceptions.h"
#include "framework/core/Registry.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "shellcontrols/OpenDialogForm.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVDialog, TComponent, {})
ZEL_DEFINE_CLASS(TNVFileDlg, TNVDialog, {})
ZEL_DEFINE_CLASS(TNVOpenDlg, TNVFileDlg, {})
ZEL_DEFINE_CLASS(TNVSaveDlg, TNVFileDlg, {})

namespace {

void PutI32(TStream& S, int32_t V) {
    uint8_t B[4];
    for (int I = 0; I < 4; ++I)
        B[I] = static_cast<uint8_t>(static_cast<uint32_t>(V) >> (8 * I));
    S.WriteBuffer(B, 4);
}

int32_t GetI32(TStream& S) {
    uint8_t B[4];
    S.ReadBuffer(B, 4);
    return static_cast<int32_t>(B[0] | (B[1] << 8) | (B[2] << 16) | (static_cast<uint32_t>(B[3]) << 24));
}

std::string WithText(uint16_t Id, const std::string& Insert) {
    std::string T = NVResStr(Id);
    size_t P = T.find("%s");
    if (P != std::string::npos)
        T.replace(P, 2, Insert);
    return T;
}

bool IsLead(char C) {
    return IsDBCSLeadByte(static_cast<BYTE>(C)) != 0;
}

// The root a relative name may not climb above: "C:" or "\\server\share".
std::string RootOf(const std::string& Folder) {
    if (Folder.size() >= 2 && Folder[1] == ':')
        return Folder.substr(0, 2);
    if (Folder.rfind("\\\\", 0) == 0) {
        size_t Server = Folder.find('\\', 2);
        if (Server == std::string::npos)
            return Folder;
        size_t Share = Folder.find('\\', Server + 1);
        return Share == std::string::npos ? Folder : Folder.substr(0, Share);
    }
    return std::string();
}

} // namespace

// ---- TNVDialog ----

bool TNVDialog::Execute() {
    if (FExecuting)
        throw EInvalidOperation(std::string(ClassType()->ClassName()) + " already executing");
    FExecuting = true;
    struct TFlag {
        bool& F;
        ~TFlag() { F = false; }
    } Flag{FExecuting};
    return DoExecute();
}

void TNVDialog::WriteStateToStream(TStream& Stream) {
    PutI32(Stream, FormWidth);
    PutI32(Stream, FormHeight);
    uint8_t State = static_cast<uint8_t>(FormWindowState);
    Stream.WriteBuffer(&State, 1);
}

void TNVDialog::ReadStateFromStream(TStream& Stream) {
    int32_t W = GetI32(Stream);
    int32_t H = GetI32(Stream);
    uint8_t State = 0;
    Stream.ReadBuffer(&State, 1);
    FormWidth = W;
    FormHeight = H;
    FormWindowState = State == 1   ? TWindowState::wsMinimized
                      : State == 2 ? TWindowState::wsMaximized
                                   : TWindowState::wsNormal;
}

void TNVDialog::WriteStateToRegistry(HKEY RootKey, const std::string& Key, const std::string& ValueName) {
    TMemoryStream Stream;
    WriteStateToStream(Stream);
    TRegistry Reg;
    Reg.SetRootKey(RootKey);
    if (!Reg.OpenKey(Key, true))
        throw ERegistryException(Format(SRegCreateFailed, Key.c_str()));
    std::vector<uint8_t> Bytes(static_cast<size_t>(Stream.Size()));
    Stream.SetPosition(0);
    Stream.ReadBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    Reg.WriteBinaryData(ValueName, Bytes.data(), static_cast<int32_t>(Bytes.size()));
}

bool TNVDialog::ReadStateFromRegistry(HKEY RootKey, const std::string& Key, const std::string& ValueName) {
    TRegistry Reg(KEY_READ);
    Reg.SetRootKey(RootKey);
    // Without this check a missing key would read the value from the root key instead.
    if (!Reg.OpenKeyReadOnly(Key))
        return false;
    int32_t Size = Reg.GetDataSize(ValueName);
    if (Size <= 0 || Size > 128)
        return false;
    std::vector<uint8_t> Bytes(static_cast<size_t>(Size));
    try {
        Reg.ReadBinaryData(ValueName, Bytes.data(), Size);
    } catch (const ERegistryException&) {
        return false;
    }
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), Size);
    Stream.SetPosition(0);
    try {
        ReadStateFromStream(Stream);
    } catch (const EReadError&) {
        return false;
    }
    return true;
}

// ---- TNVFileDlg ----

TNVFileDlg::TNVFileDlg(TComponent* AOwner)
    : TNVDialog(AOwner), FHistoryList(std::make_unique<TStringList>()),
      FFiles(std::make_unique<TStringList>()) {}

TNVFileDlg::~TNVFileDlg() = default;

std::string TNVFileDlg::GetFilename() const {
    return FFiles->Count() ? (*FFiles)[0] : std::string();
}

void TNVFileDlg::SetFilename(const std::string& Name) {
    FFiles->Clear();
    FFiles->Add(Name);
}

void TNVFileDlg::WriteStateToStream(TStream& Stream) {
    TNVDialog::WriteStateToStream(Stream);
    uint8_t Tree = (Options & nvofShowTree) ? 1 : 0;
    Stream.WriteBuffer(&Tree, 1);
    PutI32(Stream, FormSplitterPos);
}

void TNVFileDlg::ReadStateFromStream(TStream& Stream) {
    // Read everything before changing anything, so a short stream changes nothing.
    int64_t Start = Stream.Position();
    uint8_t Buffer[14];
    Stream.ReadBuffer(Buffer, 14);
    Stream.SetPosition(Start);
    TNVDialog::ReadStateFromStream(Stream);
    uint8_t Tree = 0;
    Stream.ReadBuffer(&Tree, 1);
    if (Tree)
        Options |= nvofShowTree;
    else
        Options &= ~static_cast<TNVOpenOptions>(nvofShowTree);
    FormSplitterPos = GetI32(Stream);
}

bool TNVFileDlg::DoExecute() {
    if (FForm)
        throw EInvalidOperation(Name() + " already executing");
    TCursor Saved = Screen ? Screen->Cursor() : crDefault;
    std::unique_ptr<TNVFrmOpenDlg> Form(new TNVFrmOpenDlg(Application));
    FForm = Form.get();
    struct TForget {
        TNVFileDlg* D;
        TCursor C;
        ~TForget() {
            D->FForm = nullptr;
            if (Screen)
                Screen->SetCursor(C);
        }
    } Forget{this, Saved};
    InitForm(*Form);
    DoInitialized();
    bool Ok = Form->ShowModal() == mrOk;
    SaveFormSettings(*Form, Ok);
    return Ok;
}

int32_t TNVFileDlg::GetFilterIndex() const {
    return FForm ? FForm->FilterIndex() : FilterIndex;
}

void TNVFileDlg::SetOnAddListItem(TNVShAddItemEvent Handler) {
    OnAddListItem = std::move(Handler);
    if (FForm)
        FForm->ShellList()->OnAddItem = OnAddListItem;
}

void TNVFileDlg::SetOnAddTreeItem(TNVShAddItemEvent Handler) {
    OnAddTreeItem = std::move(Handler);
    if (FForm)
        FForm->ShellTree()->OnAddItem = OnAddTreeItem;
}

void TNVFileDlg::InitForm(TNVFrmOpenDlg& Form) {
    Form.ShellList()->OnAddItem = OnAddListItem;
    Form.ShellList()->OnCustomDrawSh = OnLvCustomDrawSh;
    Form.ShellList()->OnCustomDrawShEx = OnLvCustomDrawShEx;
    Form.ShellTree()->OnAddItem = OnAddTreeItem;
    Form.ShellTree()->OnCustomDrawSh = OnTvCustomDrawSh;
    Form.ShellTree()->OnCustomDrawShEx = OnTvCustomDrawShEx;
    Form.OnTypeChanged = OnTypeChanged;
    Form.OnFolderChanged = OnFolderChanged;
    Form.OnSelectionChanged = OnSelectionChanged;
    Form.OnHelp = OnHelp;
    Form.SetInitialDir(InitialDir);
    Form.SetFilename(GetFilename());
    Form.SetDefaultExt(DefaultExt);
    Form.SetOptions(Options);
    if (FormWidth > 0)
        Form.SetWidth(FormWidth);
    if (FormHeight > 0)
        Form.SetHeight(FormHeight);
    Form.SetWindowState(FormWindowState);
    Form.SetFilter(Filter);
    Form.SetFilterIndex(FilterIndex);
    if (FormSplitterPos >= 0)
        Form.Splitter()->SetPosition(FormSplitterPos);
    Form.SetCaption(Title.empty() ? NVResStr(FSave ? nvshell::SSaveAsCaption : nvshell::SOpenCaption)
                                  : Title);
    Form.OpenButton()->SetCaption(NVResStr(FSave ? nvshell::SSaveButton : nvshell::SOpenButton));
    if (OnFormShow)
        Form.OnShow = OnFormShow;
    if (OnFormClose)
        Form.OnHide = OnFormClose;
}

void TNVFileDlg::SaveFormSettings(TNVFrmOpenDlg& Form, bool Ok) {
    Options = Form.Options();
    if (Ok) {
        FFiles->Clear();
        for (const std::string& F : Form.ChosenFiles())
            FFiles->Add(F);
    }
    if (Form.HandleAllocated()) {
        WINDOWPLACEMENT P{};
        P.length = sizeof(P);
        if (GetWindowPlacement(Form.Handle(), &P)) {
            FormWidth = P.rcNormalPosition.right - P.rcNormalPosition.left;
            FormHeight = P.rcNormalPosition.bottom - P.rcNormalPosition.top;
        }
    }
    FormWindowState = Form.WindowState();
    FilterIndex = Form.FilterIndex();
    FormSplitterPos = Form.Splitter()->Position();
}

// ---- File names ----

std::vector<std::string> NVSplitQuotedNames(const std::string& Text) {
    std::vector<std::string> Names;
    enum { Between, Unquoted, Quoted } State = Between;
    std::string Cur;
    auto End = [&]() {
        std::string N = TrimRightDB(Cur);
        if (!N.empty())
            Names.push_back(N);
        Cur.clear();
    };
    int Index = 1;
    const int Len = static_cast<int>(Text.size());
    while (Index <= Len) {
        char C = Text[static_cast<size_t>(Index - 1)];
        bool Lead = IsLead(C);
        if (State == Between) {
            if (!Lead && (C == ' ' || C == '\t')) {
                ++Index;
            } else if (!Lead && C == '"') {
                State = Quoted;
                ++Index;
            } else {
                State = Unquoted;
                CopyCharDB(Index, Text, Cur);
            }
        } else if (!Lead && C == '"') {
            End();
            State = State == Unquoted ? Quoted : Between;
            ++Index;
        } else {
            CopyCharDB(Index, Text, Cur);
        }
    }
    End();
    return Names;
}

std::string NVCombinePath(const std::string& FolderIn, const std::string& Item) {
    std::string Folder = FolderIn;
    if (Folder.size() > 2 && Folder.back() == '\\')
        Folder.pop_back();
    if (Item.empty())
        return std::string();
    if (Item.size() >= 2 && Item[1] == ':' && !IsLead(Item[0]))
        return Item.size() == 2 ? Item + "\\" : Item;
    if (Item.rfind("\\\\", 0) == 0)
        return Item.size() >= 3 ? Item : std::string();
    if (Item[0] == '\\')
        return RootOf(Folder) + Item;
    const std::string Root = RootOf(Folder);
    std::string Cur = Folder;
    size_t Start = 0;
    while (Start <= Item.size()) {
        size_t End = Item.find('\\', Start);
        if (End == std::string::npos)
            End = Item.size();
        std::string Part = Item.substr(Start, End - Start);
        Start = End + 1;
        if (Part.empty())
            continue;
        if (Part.find_first_not_of('.') == std::string::npos) {
            for (size_t Up = 1; Up < Part.size(); ++Up) {
                if (Cur.size() <= Root.size())
                    break;
                size_t Slash = Cur.rfind('\\');
                if (Slash == std::string::npos || Slash < Root.size())
                    Cur = Root;
                else
                    Cur.resize(Slash);
            }
            continue;
        }
        Cur += "\\" + Part;
    }
    if (Cur == Root && Cur.size() == 2)
        Cur += "\\";
    return Cur;
}

bool NVIsInvalidFileName(const std::string& Text) {
    if (Text.find_first_of("/<>|") != std::string::npos)
        return true;
    return Text.find("\\\\", 1) != std::string::npos;
}

std::string NVMaskExtension(const std::string& Mask) {
    size_t Dot = Mask.rfind('.');
    if (Dot == std::string::npos)
        return std::string();
    std::string E = Mask.substr(Dot);
    // "*.*" and "*.ht?" name no one extension.
    if (E.find_first_of("*?;") != std::string::npos || E == ".")
        return std::string();
    return E;
}

std::string NVApplyDefaultExt(const std::string& Name, const std::string& DefaultExt,
                              const std::string& FilterMask, TNVOpenOptions& Options) {
    if (DefaultExt.empty())
        return Name;
    std::string Result = Name;
    std::string Ext = ExtractFileExt(Name);
    bool Registered = false;
    if (!Ext.empty()) {
        HKEY Key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, Ext.c_str(), 0, KEY_READ, &Key) == ERROR_SUCCESS) {
            RegCloseKey(Key);
            Registered = true;
        }
    }
    if (!Registered) {
        std::string E = NVMaskExtension(FilterMask);
        if (E.empty())
            E = "." + DefaultExt;
        if (!SameText(Ext, E))
            Result += (Result.empty() || Result.back() != '.') ? E : E.substr(1);
    }
    // Different from the default extension, whichever rule chose the name's.
    if (SameText(ExtractFileExt(Result), "." + DefaultExt))
        Options &= ~static_cast<TNVOpenOptions>(nvofExtensionDifferent);
    else
        Options |= nvofExtensionDifferent;
    return Result;
}

bool NVCheckChosenFile(const std::string& Path, TNVOpenOptions Options, const std::string& Caption) {
    if (Options & nvofPathMustExist) {
        std::string Dir = ExtractFileDir(Path);
        if (Dir.size() == 2 && Dir[1] == ':')
            Dir += "\\";
        if (Dir.empty() || !DirectoryExists(Dir)) {
            ShowMessageBox(WithText(nvshell::SPathDoesNotExist, Path), Caption, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    DWORD Attrs = GetFileAttributesA(Path.c_str());
    bool Exists = Attrs != INVALID_FILE_ATTRIBUTES && !(Attrs & FILE_ATTRIBUTE_DIRECTORY);
    if (Exists) {
        if ((Attrs & FILE_ATTRIBUTE_READONLY) && (Options & nvofNoReadOnlyReturn)) {
            ShowMessageBox(WithText(nvshell::SExistsAndIsReadOnly, Path), Caption, MB_OK | MB_ICONWARNING);
            return false;
        }
        if (Options & nvofOverwritePrompt)
            return ShowMessageBox(WithText(nvshell::SFileExistsReplace, Path), Caption,
                                  MB_YESNO | MB_ICONWARNING) == IDYES;
        return true;
    }
    if (Options & nvofFileMustExist) {
        ShowMessageBox(WithText(nvshell::SFileNotFound, Path), Caption, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (Options & nvofCreatePrompt)
        return ShowMessageBox(WithText(nvshell::SDoesNotExistCreate, ExtractFileName(Path)), Caption,
                              MB_YESNO | MB_ICONQUESTION) == IDYES;
    return true;
}

bool NVParseInputString(const std::string& Text, TNVFileDialogView& View, const std::string& DefaultExt,
                        const std::string& FilterMask, TNVOpenOptions& Options, const std::string& Caption,
                        std::vector<std::string>& Chosen) {
    Chosen.clear();
    std::vector<std::string> Items =
        Text.find('"') != std::string::npos ? NVSplitQuotedNames(Text) : std::vector<std::string>{Text};
    const std::string Folder = View.CurrentFolder();
    for (const std::string& Item : Items) {
        if (!(Options & nvofNoValidate) && NVIsInvalidFileName(Text)) {
            ShowMessageBox(WithText(nvshell::SFilenameIsInvalid, Text), Caption, MB_OK | MB_ICONWARNING);
            Chosen.clear();
            return false;
        }
        std::string Path = NVCombinePath(Folder, Item);
        if (Path.empty())
            continue;
        if (DirectoryExists(Path) && !FileExists(Path)) {
            View.MoveTo(Path);
            Chosen.clear();
            return false;
        }
        if (!(Options & nvofNoDereferenceLinks) && SameText(ExtractFileExt(Path), ".lnk")) {
            TLinkData Link;
            Link.NoUI = 1;
            if (SUCCEEDED(ResolveShortcut(Path, Link, false)) && !Link.Path.empty())
                Path = Link.Path;
        }
        if (Items.size() == 1) {
            std::string Selected = View.SelectedPath();
            if (!Selected.empty()) {
                Path = Selected;
            } else {
                std::string Dir = ExtractFilePath(Path);
                Path = Dir + NVApplyDefaultExt(ExtractFileName(Path), DefaultExt, FilterMask, Options);
                if (!SameText(Dir, Folder) && DirectoryExists(Dir))
                    View.MoveTo(Dir);
                std::vector<std::string> Matches = View.FindByCaption(ExtractFileName(Path));
                if (Matches.size() > 1) {
                    ShowMessageBox(WithText(nvshell::SThereCanBeOnlyOne, ExtractFileName(Path)), Caption,
                                   MB_OK | MB_ICONWARNING);
                    Chosen.clear();
                    return false;
                }
                if (!Matches.empty())
                    Path = Matches.front();
            }
        }
        if (!NVCheckChosenFile(Path, Options, Caption)) {
            Chosen.clear();
            return false;
        }
        Chosen.push_back(Path);
    }
    return !Chosen.empty();
}

// ---- The view of a shell list ----

std::string TNVShellListFileView::CurrentFolder() {
    std::string P = FList.Folder().GetPathName();
    return P.empty() ? P : EnsureTrailingCharDB(P, '\\');
}

void TNVShellListFileView::MoveTo(const std::string& Folder) {
    FList.Folder().SetPathName(Folder);
}

std::string TNVShellListFileView::SelectedPath() {
    if (!FromSelection)
        return std::string();
    TNVShListData* D = FList.GetSelectedItem();
    return D ? D->GetPathName() : std::string();
}

std::vector<std::string> TNVShellListFileView::FindByCaption(const std::string& Name) {
    std::vector<std::string> Paths;
    for (int I = 0, N = FList.ItemCount(); I < N; ++I) {
        TNVShListData* D = FList.GetShListData(I);
        if (D && (SameText(D->GetDisplayName(), Name) || SameText(D->GetFilename(), Name)))
            Paths.push_back(D->GetPathName());
    }
    return Paths;
}
