#include "editor/core/AppState.h"

#include "controls/textmodel/LanguageParsers.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/FileInfo.h"
#include "editor/core/UpdateCheck.h"
#include "framework/ui/Graphics.h"

#include <cstring>

prgclass* p = nullptr;

namespace {

MemoSourceFactory memoSourceFactory = nullptr;

int deleteDocument(void* element) {
    delete static_cast<fileinfoclass*>(element);
    return 1;
}
int deleteTab(void* element) {
    delete static_cast<tabinfoclass*>(element);
    return 1;
}
int deleteInserter(void* element) {
    delete static_cast<inserterclass*>(element);
    return 1;
}

// Newest first in the list: the entries are added in this order, each at the front.
constexpr const char* BuiltInFilters[] = {
    "WML Files (*.wml)",
    "VBScript Files (*.vb;*.vbs;*.bas)",
    "Text Files (*.txt)",
    "SMIL Files (*.smi;*.smil)",
    "RealText Files (*.rt)",
    "PHP/ASP/CFM Files (*.php;*.php3;*.php4;*.asa;*.asp;*.cfm;*.cfml)",
    "Perl Files (*.perl;*.pl;*.pls;*.plx;*.pm;*.cgi)",
    "Pascal/Delphi Files (*.pas)",
    "HTML Documents (*.htm;*.html;*.jhtml;*.shtm;*.shtml)",
    "Graphic Files (*.jpg;*.jpeg;*.gif;*.bmp)",
    "CSS Documents (*.css)",
    "C/C++ Files (*.c;*.cpp;*.h;*.hpp)",
    "All Files (*.*)",
};

inserterclass* newInserter(const char* title, const char* prefix, uint32_t kind, int32_t top, int32_t left,
                           const char* fileName) {
    auto* r = new inserterclass;
    r->title = title;
    r->valuePrefix = prefix;
    r->kind = kind;
    r->top = top;
    r->left = left;
    r->width = 300;
    r->defaultConfigName = fileName;
    return r;
}

} // namespace

void SetMemoSourceFactory(MemoSourceFactory factory) {
    memoSourceFactory = factory;
}

TCustomMemoSource* NewMemoSource() {
    if (memoSourceFactory)
        return memoSourceFactory();
    return new TMemoSource(nullptr);
}

int32_t ViewStyleToSetting(int32_t viewStyle) {
    return viewStyle >= 0 && viewStyle <= 3 ? viewStyle : -1;
}
int32_t SettingToViewStyle(int32_t stored) {
    return stored >= 0 && stored <= 2 ? stored : 3;
}

// --- interfaceclass

interfaceclass::interfaceclass() {
    reopen.maximumLength = 15;
    fileFilters.maximumLength = 20;
    oneMoreList.maximumLength = 20;
    BuildFileFilters(true);
}

interfaceclass::~interfaceclass() = default;

// The pattern of one filter entry: what stands between its first "(" and the following ")",
// trimmed; masks separated by ";" as the file dialogs want them (a "," between masks is taken as
// a separator too, so a list typed with one does not become one broken mask).
static bool filterPattern(const char* entry, std::string& pattern) {
    const char* open = std::strchr(entry, '(');
    if (!open)
        return false;
    const char* close = std::strchr(open + 1, ')');
    if (!close)
        return false;
    StrStore inner;
    inner.assign(open + 1, static_cast<int32_t>(close - open - 1));
    inner.trim();
    inner.replaceChar(',', ';');
    pattern = inner.getString();
    return true;
}

void interfaceclass::BuildFileFilters(bool useRegistry) {
    if (useRegistry)
        fileFilters.ReadFromRegistry(ZelRegistryFileFilters, 0, StringArrayStore::CountStored);
    for (const char* entry : BuiltInFilters)
        fileFilters.Add(entry, 27);
    if (useRegistry)
        fileFilters.WriteToRegistry(ZelRegistryFileFilters, 0, StringArrayStore::CountStored);
    combinedFilter.clear();
    for (int32_t i = 0; i < fileFilters.Count(); ++i) {
        const char* entry = fileFilters.GetText(i);
        std::string pattern;
        if (!filterPattern(entry, pattern))
            continue;
        if (!combinedFilter.isEmpty())
            combinedFilter.appendChar('|');
        combinedFilter << entry << "|" << pattern.c_str();
    }
}

// --- prgconfigclass

prgconfigclass::prgconfigclass()
    : htmlExtensions(
          "HTM,HTML,SHTM,SHTML,ASA,ASP,INC,CFM,CFML,XML,PHP,PHP3,PHP4,RT,SGML,SGM,SMI,SMIL,VTM,VTML,WML"),
      javaExtensions("JAVA,JS"), cExtensions("C,CPP,H,HPP"), vbScriptExtensions("VB,VBS,BAS"),
      delphiExtensions("PAS"), textExtensions("TXT,BAK,VAL"), perlExtensions("PERL,PL,PLS,PLX,PM,CGI"),
      sqlExtensions("SQL"), cssExtensions("CSS"), defaultFileExtension("html"), tabStops("3,6,9,12"),
      delimiters("{}+-*()=,;><$[]^|'\""), editorFont(std::make_unique<TFont>()),
      browserPreviewExtensions("HTM,HTML,ASP,CFM,CFML,PHP,PHP3,PHP4,SHTM,SHTML,TXT") {
    editorFont->SetName("Courier New");
    editorFont->SetSize(9);
}

prgconfigclass::~prgconfigclass() = default;

void prgconfigclass::Assign(const prgconfigclass& o) {
    if (&o == this)
        return;
    flags = o.flags;
    rightMargin = o.rightMargin;
    noExtensionFileType = o.noExtensionFileType;
    unstored[0] = o.unstored[0];
    unstored[1] = o.unstored[1];
    htmlExtensions = o.htmlExtensions;
    javaExtensions = o.javaExtensions;
    cExtensions = o.cExtensions;
    vbScriptExtensions = o.vbScriptExtensions;
    delphiExtensions = o.delphiExtensions;
    textExtensions = o.textExtensions;
    perlExtensions = o.perlExtensions;
    sqlExtensions = o.sqlExtensions;
    cssExtensions = o.cssExtensions;
    defaultFileExtension = o.defaultFileExtension;
    tabStops = o.tabStops;
    delimiters = o.delimiters;
    editorFont->Assign(*o.editorFont);
    scratchPad1File = o.scratchPad1File;
    scratchPad2File = o.scratchPad2File;
    editorBackgroundColor = o.editorBackgroundColor;
    editorFontColor = o.editorFontColor;
    editorLineNumberColor = o.editorLineNumberColor;
    browserPreviewExtensions = o.browserPreviewExtensions;
    fileFormat = o.fileFormat;
}

// --- volatileclass

volatileclass::volatileclass()
    : documents(deleteDocument), tabs(deleteTab), undoFiles(deleteDocument), inserters(deleteInserter) {
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n > 0 && n < sizeof temp) {
        tempFolder.assign(temp, static_cast<int32_t>(n));
        tempFolder.removeSuffix("\\");
    }
    browserSourceTempFile = tempFolder;
    browserSourceTempFile << "\\~zel_WBSource";
    commandQueue.maximumLength = -1;
    openFiles.maximumLength = -1;

    htmlParser = std::make_unique<THTMLParser>(nullptr);
    cParser = std::make_unique<TCParser>(nullptr);
    perlParser = std::make_unique<TPerlParser>(nullptr);
    delphiParser = std::make_unique<TDelphiParser>(nullptr);
    vbScriptParser = std::make_unique<TVBScriptParser>(nullptr);
    javaParser = std::make_unique<TJavaScriptParser>(nullptr);
    sqlParser = std::make_unique<TSqlParser>(nullptr);

    readOnlySource = NewMemoSource();
    readOnlySource->SetROnly(true);
    structureSource = NewMemoSource();
    structureSource->Lines().SetText("You must first validate the document (F6) to see the structure.");
    structureSource->SetROnly(true);
    scratchPad1 = NewMemoSource();
    scratchPad2 = NewMemoSource();
    browserSource = NewMemoSource();

    inserters.append(newInserter("Tag Inserter", "TagInserter", 0x400000, 100, 10, "taginsertercfg.txt"));
    inserters.append(newInserter("CSS Inserter", "CSSInserter", 0x4000000, 150, 20, "cssinsertercfg.txt"));
}

volatileclass::~volatileclass() {
    // Documents first: their text models use the shared parsers.
    undoFiles.clear(true);
    documents.clear(true);
    tabs.clear(true);
    inserters.clear(true);
    for (TCustomMemoSource* s : {readOnlySource, structureSource, scratchPad1, scratchPad2, browserSource})
        delete s;
}

// --- prgclass

prgclass::prgclass() {
    vol = new volatileclass;
    tools = new toolsclass;
    config = new prgconfigclass;
    iface = new interfaceclass;
    updateCheck = new UpdateCheckState;
    downloadSemaphore = CreateSemaphoreA(nullptr, 1, 1, "ZELDownloadURLsSemaphore");
}

prgclass::~prgclass() {
    delete iface;
    iface = nullptr;
    delete config;
    config = nullptr;
    delete tools;
    tools = nullptr;
    delete vol;
    vol = nullptr;
    delete updateCheck;
    updateCheck = nullptr;
    delete[] buffer;
    buffer = nullptr;
    if (downloadSemaphore)
        CloseHandle(downloadSemaphore);
    downloadSemaphore = nullptr;
}
