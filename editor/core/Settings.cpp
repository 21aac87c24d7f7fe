#include "editor/core/Settings.h"

#include "controls/textmodel/MemoSource.h"

#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EditorMessageBox.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/UpdateCheck.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/ui/Graphics.h"

#include <exception>
#include <functional>

namespace {

std::vector<std::string> readFailures;

// Each read keeps the record's value as its default; a missing integer is written back, a missing
// string too (but never InstallDirV30).
struct Reader {
    QXRegistryEx& reg;
    void integer(const char* name, int32_t& value) { reg.ReadInteger(name, &value); }
    void word(const char* name, uint32_t& value) {
        int32_t v = static_cast<int32_t>(value);
        reg.ReadInteger(name, &v);
        value = static_cast<uint32_t>(v);
    }
    void text(const char* name, StrStore& value) { reg.ReadString(name, &value, QXRegistryEx::WriteBack); }
};

// Opens a key; a key that cannot be opened is noted and its values are left at their defaults.
bool openKey(QXRegistryEx& reg, const char* key) {
    bool ok = false;
    try {
        ok = reg.OpenKey(key, true);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        readFailures.push_back(std::string("HKEY_CURRENT_USER\\") + key);
    return ok;
}

// Values of a key, guarded: a refused write-back of a missing value ends the key's reading and
// counts as a failure of that key.
bool readValues(QXRegistryEx& reg, const char* key, const std::function<void(Reader&)>& body) {
    if (!openKey(reg, key))
        return false;
    try {
        Reader r{reg};
        body(r);
    } catch (const std::exception& e) {
        readFailures.push_back(std::string("HKEY_CURRENT_USER\\") + key + " (" + e.what() + ")");
        reg.CloseKey();
        return false;
    }
    reg.CloseKey();
    return true;
}

std::string insPrefix(const inserterclass* ins, const char* suffix) {
    return std::string(ins->valuePrefix.getString()) + suffix;
}

// Inserters without a usable configuration file take their default file in the program folder.
void giveInsertersDefaultFiles() {
    PointerArrayManager& list = p->vol->inserters;
    for (int32_t i = 0; i < list.count(); ++i) {
        auto* ins = static_cast<inserterclass*>(list.at(i));
        if (!ins)
            continue;
        const StrStore& f = ins->configFile;
        if (f.isEmpty() || f.equals("\\") || f.equals("/")) {
            ins->configFile = p->vol->programFolder;
            ins->configFile << "\\" << ins->defaultConfigName;
        }
    }
}

template <class F> void forEachInserter(F f) {
    PointerArrayManager& list = p->vol->inserters;
    for (int32_t i = 0; i < list.count(); ++i)
        if (auto* ins = static_cast<inserterclass*>(list.at(i)))
            f(ins);
}

void applyFixedSettings() {
    interfaceclass& in = *p->iface;
    prgconfigclass& cf = *p->config;
    in.flags &= ~0x8010u;
    in.flags2 &= ~2u;
    if (in.mainFormWidth < 480)
        in.mainFormWidth = 480;
    cf.flags &= ~0xC00000u;
    cf.flags |= 0x8000000u;
    cf.unstored[0] = 1;
    cf.unstored[1] = 1;
}

} // namespace

std::string ProgramOwnFolder() {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return ".";
    std::string s(path, n);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? "." : s.substr(0, slash);
}

const std::vector<std::string>& SettingsReadFailures() {
    return readFailures;
}

int32_t ReadSettings() {
    readFailures.clear();
    if (!p)
        return 0;
    interfaceclass& in = *p->iface;
    volatileclass& vol = *p->vol;
    prgconfigclass& cf = *p->config;
    toolsclass& tl = *p->tools;
    bool ok = true;
    QXRegistryEx reg(QXRegistryEx::UseFallback);

    ok = readValues(reg, ZelRegistryRoot,
                    [&](Reader& r) {
                        StrStore dir;
                        r.reg.ReadString("InstallDir"
                                         "V30",
                                         &dir, 0);
                        dir.trim();
                        dir.removeSuffix("\\");
                        // Without an install folder every default path would begin with "\": the
                        // program's own folder stands in.
                        if (dir.isEmpty())
                            dir = ProgramOwnFolder().c_str();
                        vol.programFolder = dir;
                        vol.documentationFolder = dir;
                        vol.documentationFolder << "\\Documentation";
                        giveInsertersDefaultFiles();
                        r.reg.ReadBool("FirstTimeAfterInstall", &vol.firstTimeAfterInstall);
                    }) &&
         ok;
    if (vol.programFolder.isEmpty()) {
        vol.programFolder = ProgramOwnFolder().c_str();
        vol.documentationFolder = vol.programFolder;
        vol.documentationFolder << "\\Documentation";
    }

    ok = readValues(reg, ZelRegistryInterface,
                    [&](Reader& r) {
                        r.integer("MainFormTop", in.mainFormTop);
                        r.integer("MainFormLeft", in.mainFormLeft);
                        r.integer("MainFormWidth", in.mainFormWidth);
                        r.integer("MainFormHeight", in.mainFormHeight);
                        r.integer("OpenDialogHeight", in.openDialogHeight);
                        r.integer("OpenDialogWidth", in.openDialogWidth);
                        r.integer("SaveDialogHeight", in.saveDialogHeight);
                        r.integer("SaveDialogWidth", in.saveDialogWidth);
                        r.integer("HorzSplit1Position", in.horzSplit1Position);
                        r.integer("ResultsMessageSplitPosition", in.resultsMessageSplitPosition);
                        r.integer("OpenedFilesSortBy", in.openedFilesSortBy);
                        r.integer("OpenDialogViewStyle", in.openDialogViewStyle);
                        r.integer("SaveDialogViewStyle", in.saveDialogViewStyle);
                        r.integer("OpenDialogSortColumn", in.openDialogSortColumn);
                        r.integer("SaveDialogSortColumn", in.saveDialogSortColumn);
                        forEachInserter([&](inserterclass* ins) {
                            r.integer(insPrefix(ins, "Top").c_str(), ins->top);
                            r.integer(insPrefix(ins, "Left").c_str(), ins->left);
                            r.integer(insPrefix(ins, "Width").c_str(), ins->width);
                        });
                        vol.normalLeft = in.mainFormLeft;
                        vol.normalTop = in.mainFormTop;
                        vol.normalWidth = in.mainFormWidth;
                        vol.normalHeight = in.mainFormHeight;
                        vol.normalBoundsValid = 1;
                        r.integer("DragDropWindowTop", in.dragDropWindowTop);
                        r.integer("DragDropWindowLeft", in.dragDropWindowLeft);
                        r.word("Flags40", in.flags);
                        r.word("Flags2V45", in.flags2);
                        r.text("SelectedFolder", in.selectedFolder);
                        r.integer("RightMargin", cf.rightMargin);
                        r.text("TabStops", cf.tabStops);
                        r.text("Delimiters", cf.delimiters);
                        StrStore fontName(cf.editorFont->Name().c_str());
                        int32_t fontSize = cf.editorFont->Size();
                        r.text("EditorFontName", fontName);
                        r.integer("EditorFontSize", fontSize);
                        if (!fontName.isEmpty())
                            cf.editorFont->SetName(fontName.getString());
                        if (fontSize > 0)
                            cf.editorFont->SetSize(fontSize);
                        r.integer("EditorBackgroundColor", cf.editorBackgroundColor);
                        r.integer("EditorFontColor", cf.editorFontColor);
                        r.integer("EditorLineNumberColor", cf.editorLineNumberColor);
                    }) &&
         ok;

    ok = readValues(reg, ZelRegistryOptions,
                    [&](Reader& r) {
                        r.word("Flags40", cf.flags);
                        r.text("HTMLExtensions", cf.htmlExtensions);
                        r.text("JAVAExtensions", cf.javaExtensions);
                        r.text("CExtensions", cf.cExtensions);
                        r.text("VBScriptExtensions", cf.vbScriptExtensions);
                        r.text("DelphiExtensions", cf.delphiExtensions);
                        r.text("TextExtensions", cf.textExtensions);
                        r.text("PerlExtensions", cf.perlExtensions);
                        r.text("SQLExtensions", cf.sqlExtensions);
                        r.text("CSSExtensions", cf.cssExtensions);
                        r.text("BrowserPreviewExtensions", cf.browserPreviewExtensions);
                        r.text("DefaultFileExtension", cf.defaultFileExtension);
                        r.integer("NoExtensionFileType", cf.noExtensionFileType);
                        forEachInserter([&](inserterclass* ins) {
                            r.text(insPrefix(ins, "ConfigFilenameV30").c_str(), ins->configFile);
                        });
                        giveInsertersDefaultFiles();
                    }) &&
         ok;

    ok = readValues(reg, ZelRegistryTools,
                    [&](Reader& r) {
                        r.integer("DefaultDragAndDropTool", tl.defaultDragAndDropTool);
                        r.word("Flags40", tl.flags);
                        r.text("LastToolFilename", tl.lastToolFilename);
                        r.text("LastValidateToolFilename", tl.lastValidateToolFilename);
                    }) &&
         ok;

    if (vol.firstTimeAfterInstall && ok && FirstRun()) {
        try {
            QXRegistryEx root(0);
            if (root.OpenKey(ZelRegistryRoot, true)) {
                bool no = false;
                root.WriteBool("FirstTimeAfterInstall", &no);
                vol.firstTimeAfterInstall = false;
            }
        } catch (const std::exception&) {
        }
    }
    // The update check is due 14 days after the last one, or when the stored day lies ahead.
    if (LoadLastUpdateCheck(1) >= 0 && IsUpdateCheckDue(UpdateCheck().lastCheckDay, DayNumber()))
        vol.updateCheckDue = 1;
    applyFixedSettings();
    return ok ? 1 : 0;
}

int32_t FirstRun() {
    if (!p)
        return 1;
    SetSplashStatus("Welcoming you to Orvalent...");
    int answer = EditorMessageBox(
        nullptr, "Would you like to view the Getting Started documentation page (recommended)?",
        "Orvalent: View Getting Started Page?", ZelBoxQuestion);
    if (answer == IDYES) {
        std::string page = p->vol->documentationFolder.getString();
        page += page.empty() ? "gettingstarted.html" : "\\gettingstarted.html";
        if (OpenDocument(nullptr, page.c_str()))
            Sleep(8000);
    }
    p->vol->commandQueue.Add("-6", StringArrayStore::AddAtEnd | StringArrayStore::AddNoCut);
    return 1;
}

int32_t WriteSettings() {
    if (!p)
        return 0;
    interfaceclass& in = *p->iface;
    prgconfigclass& cf = *p->config;
    toolsclass& tl = *p->tools;
    bool ok = true;
    QXRegistryEx reg(0);
    // A refused write is counted and the next value is still written.
    auto guard = [&](const std::function<void()>& write) {
        try {
            write();
        } catch (const std::exception&) {
            ok = false;
        }
    };
    auto integer = [&](const char* name, int32_t v) { guard([&] { reg.WriteInteger(name, v); }); };
    auto text = [&](const char* name, const StrStore& v) { guard([&] { reg.WriteStrStore(name, v); }); };

    if (reg.OpenKey(ZelRegistryInterface, true)) {
        integer("MainFormTop", in.mainFormTop);
        integer("MainFormLeft", in.mainFormLeft);
        integer("MainFormWidth", in.mainFormWidth);
        integer("MainFormHeight", in.mainFormHeight);
        integer("OpenDialogHeight", in.openDialogHeight);
        integer("OpenDialogWidth", in.openDialogWidth);
        integer("SaveDialogHeight", in.saveDialogHeight);
        integer("SaveDialogWidth", in.saveDialogWidth);
        integer("HorzSplit1Position", in.horzSplit1Position);
        integer("DragDropWindowTop", in.dragDropWindowTop);
        integer("DragDropWindowLeft", in.dragDropWindowLeft);
        integer("Flags40", static_cast<int32_t>(in.flags));
        integer("Flags2V45", static_cast<int32_t>(in.flags2));
        text("SelectedFolder", in.selectedFolder);
        integer("RightMargin", cf.rightMargin);
        text("TabStops", cf.tabStops);
        text("Delimiters", cf.delimiters);
        text("EditorFontName", StrStore(cf.editorFont->Name().c_str()));
        integer("EditorFontSize", cf.editorFont->Size());
        integer("ResultsMessageSplitPosition", in.resultsMessageSplitPosition);
        integer("OpenedFilesSortBy", in.openedFilesSortBy);
        integer("EditorBackgroundColor", cf.editorBackgroundColor);
        integer("EditorFontColor", cf.editorFontColor);
        integer("EditorLineNumberColor", cf.editorLineNumberColor);
        integer("OpenDialogViewStyle", in.openDialogViewStyle);
        integer("SaveDialogViewStyle", in.saveDialogViewStyle);
        integer("OpenDialogSortColumn", in.openDialogSortColumn);
        integer("SaveDialogSortColumn", in.saveDialogSortColumn);
        forEachInserter([&](inserterclass* ins) {
            integer(insPrefix(ins, "Top").c_str(), ins->top);
            integer(insPrefix(ins, "Left").c_str(), ins->left);
            integer(insPrefix(ins, "Width").c_str(), ins->width);
        });
        reg.CloseKey();
    } else {
        ok = false;
    }
    if (reg.OpenKey(ZelRegistryOptions, true)) {
        integer("Flags40", static_cast<int32_t>(cf.flags));
        text("HTMLExtensions", cf.htmlExtensions);
        text("JAVAExtensions", cf.javaExtensions);
        text("CExtensions", cf.cExtensions);
        text("VBScriptExtensions", cf.vbScriptExtensions);
        text("DelphiExtensions", cf.delphiExtensions);
        text("TextExtensions", cf.textExtensions);
        text("PerlExtensions", cf.perlExtensions);
        text("SQLExtensions", cf.sqlExtensions);
        text("CSSExtensions", cf.cssExtensions);
        text("BrowserPreviewExtensions", cf.browserPreviewExtensions);
        text("DefaultFileExtension", cf.defaultFileExtension);
        integer("NoExtensionFileType", cf.noExtensionFileType);
        reg.CloseKey();
    } else {
        ok = false;
    }
    if (reg.OpenKey(ZelRegistryTools, true)) {
        integer("Flags40", static_cast<int32_t>(tl.flags));
        integer("DefaultDragAndDropTool", tl.defaultDragAndDropTool);
        text("LastToolFilename", tl.lastToolFilename);
        text("LastValidateToolFilename", tl.lastValidateToolFilename);
        reg.CloseKey();
    } else {
        ok = false;
    }
    return ok ? 1 : 0;
}

int32_t SaveSessionState(const TSessionState& state) {
    if (!p)
        return 0;
    TEditorLink& link = EditorLink();
    interfaceclass& in = *p->iface;
    volatileclass& vol = *p->vol;
    vol.openFiles.Clear();
    if (link.CloseALLFiles && !link.CloseALLFiles())
        return 0;
    vol.closing = 1;
    if (p->config->flags & OptKeepOpenFiles)
        vol.openFiles.WriteToRegistry(ZelRegistryLastOpenFiles, 0, StringArrayStore::CountStored);
    if (p->config->flags & OptSaveScratchPads) {
        // A scratch pad that cannot be written is left as it is; closing goes on.
        try {
            if (!p->config->scratchPad1File.isEmpty())
                vol.scratchPad1->SaveToFile(p->config->scratchPad1File.getString());
        } catch (const std::exception&) {
        }
        try {
            if (!p->config->scratchPad2File.isEmpty())
                vol.scratchPad2->SaveToFile(p->config->scratchPad2File.getString());
        } catch (const std::exception&) {
        }
    }
    if (state.haveProportions)
        for (int i = 0; i < 4; ++i)
            if (state.proportions[i] != 1.0f)
                in.paneProportions[i] = state.proportions[i];
    if (state.editorFont)
        p->config->editorFont->Assign(*state.editorFont);
    if ((in.flags & IfStoreNormalBounds) || state.maximised) {
        if (vol.normalBoundsValid == 1) {
            in.mainFormLeft = vol.normalLeft;
            in.mainFormTop = vol.normalTop;
            in.mainFormWidth = vol.normalWidth;
            in.mainFormHeight = vol.normalHeight;
        }
    } else if (state.haveBounds) {
        in.mainFormLeft = state.left;
        in.mainFormTop = state.top;
        in.mainFormHeight = state.height;
        in.mainFormWidth = state.width;
    }
    if (state.maximised)
        in.flags |= IfMaximised;
    else
        in.flags &= ~IfMaximised;
    if (state.haveDropWindow && (in.flags & IfStoreDropWindowPosition)) {
        in.dragDropWindowTop = state.dropTop;
        in.dragDropWindowLeft = state.dropLeft;
    }
    if (state.haveDialogSizes) {
        in.openDialogWidth = state.openDialogWidth;
        in.openDialogHeight = state.openDialogHeight;
        in.saveDialogWidth = state.saveDialogWidth;
        in.saveDialogHeight = state.saveDialogHeight;
    }
    if (state.haveSelectedFolder)
        in.selectedFolder = state.selectedFolder.c_str();
    in.reopen.WriteToRegistry(ZelRegistryReopen, 0, 15);
    WriteSettings();
    if (Engine.ZELWriteToRegistry) {
        HWND owner = link.MainFormHandle ? link.MainFormHandle() : nullptr;
        Engine.ZELWriteToRegistry(owner, vol.optionsHandle, 0);
    }
    if (link.AfterSettingsWritten)
        link.AfterSettingsWritten();
    return 1;
}
