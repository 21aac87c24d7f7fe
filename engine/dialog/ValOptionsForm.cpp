#include "engine/dialog/ValOptionsForm.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdlib>

#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/ExportGuard.h"
#include "engine/OptionBits.h"
#include "engine/include/ZelValidator.h"
#include "framework/core/ScopeGuard.h"

namespace {

namespace bits = zel::bits;

// The option words the check boxes set bits of.
enum Word : int32_t {
    WValidator, // 1000
    WOutput,    // 1001
    WEntity,    // 1002
    WFlags250,  // 1021
    WFurther,   // 1022
    WLogging,   // logging Flags40
    WTools,     // tools Flags40
    WGeneral,   // general Flags40
    WNetwork,   // network word
};

enum Page : int32_t {
    PGeneral,
    PClassic,
    PValidator1,
    PValidator2,
    PStyles,
    PTagNameProgram,
    PLogging,
    PTools,
    PNetwork,
    PageCount
};

const char* const kPageCaptions[PageCount] = {"General",     "Classic", "Validator 1",
                                              "Validator 2", "Styles",  "Tag Name Program",
                                              "Logging",     "Tools",   "Network"};
// The help page of each tab, in the documentation folder.
const char* const kHelpPages[PageCount] = {
    "valenginegeneraltab.html",   "valengineclassictab.html", "valenginevalidatortab.html",
    "valenginevalidatortab.html", "valenginestylestab.html",  "valenginetagnameprogramtab.html",
    "valengineloggingtab.html",   "valenginetoolstab.html",   "valenginenetworktab.html"};

struct CheckBit {
    const char* name;
    Word word;
    uint32_t bit;
    Page page;
};

// Every check box and the bit it sets; its handler is named after it with "Click" added.
const CheckBit kCheckBits[] = {
    {"CheckNesting", WValidator, bits::validator::CheckNesting, PValidator1},
    {"AllowSpacesAroundEqual", WValidator, bits::validator::AllowSpacesAroundEqual, PValidator1},
    {"StrictComments", WValidator, bits::validator::StrictComments, PValidator1},
    {"AllowMultiLineQuotes", WValidator, bits::validator::AllowMultiLineQuotes, PValidator1},
    {"IgnoreTextInPercents", WValidator, bits::validator::IgnoreTextInPercents, PValidator1},
    {"CheckHighASCII", WValidator, bits::validator::CheckHighASCII, PValidator1},
    {"RequireOptionalClosingTags", WValidator, bits::validator::RequireOptionalClosingTags, PValidator1},
    {"TagRangeAlwaysValid", WValidator, bits::validator::TagRangeAlwaysValid, PValidator1},
    {"CollapseASP", WValidator, bits::validator::CollapseASP, PValidator1},
    {"TreatAllQuotesEquivalent", WValidator, bits::validator::TreatAllQuotesEquivalent, PValidator1},
    {"IgnoreQuotationRequirements", WValidator, bits::validator::IgnoreQuotationRequirements, PValidator1},
    {"AllowSpacesAroundTags", WValidator, bits::validator::AllowSpacesAroundTags, PValidator1},
    {"FirstTagAnywhere", WValidator, bits::validator::FirstTagAnywhere, PValidator1},
    {"EnablePrograms", WValidator, bits::validator::EnablePrograms, PTagNameProgram},
    {"XMLCompatibility", WValidator, bits::validator::XMLCompatibility, PValidator2},
    {"RequireQuotedAttValues", WValidator, bits::validator::RequireQuotedAttValues, PValidator2},
    {"RequireQuickClose", WValidator, bits::validator::RequireQuickClose, PValidator2},
    {"RequireLowercaseTags", WValidator, bits::validator::RequireLowercaseTags, PValidator2},
    {"XMLNoSpaceWarningCheckBox", WValidator, bits::validator::XMLNoSpaceWarning, PValidator2},
    {"RequireAttValuesCheckBox", WValidator, bits::validator::RequireAttValues, PValidator2},
    {"EnableSpellCheckingCheckBox", WValidator, bits::validator::EnableSpellChecking, PValidator2},
    {"CheckCommentSpellingCheckBox", WValidator, bits::validator::CheckCommentSpelling, PValidator2},
    {"WarningSpellingMessageCheckBox", WValidator, bits::validator::WarningSpellingMessage, PValidator2},
    {"SpellingMessageWordCountBox", WValidator, bits::validator::SpellingMessageWordCount, PValidator2},
    {"SpellingMessageSortNumber", WValidator, bits::validator::SpellingMessageSortNumber, PValidator2},
    {"IncludeHTML", WOutput, bits::output::IncludeHTML, PClassic},
    {"ShowComments", WOutput, bits::output::ShowComments, PClassic},
    {"ShowMessagesAtBottom", WOutput, bits::output::ShowMessagesAtBottom, PClassic},
    {"ShowWarnings", WOutput, bits::output::ShowWarnings, PClassic},
    {"ShowCommentWarnings", WOutput, bits::output::ShowCommentWarnings, PClassic},
    {"ShowMissingAttWarnings", WOutput, bits::output::ShowMissingAttWarnings, PClassic},
    {"ShowDocumentStructure", WOutput, bits::output::ShowDocumentStructure, PClassic},
    {"UseCompactForm", WOutput, bits::output::UseCompactForm, PClassic},
    {"ShowEntities", WOutput, bits::output::ShowEntities, PClassic},
    {"ShowExtendedInfo", WOutput, bits::output::ShowExtendedInfo, PClassic},
    {"ShowMessages", WOutput, bits::output::ShowMessages, PClassic},
    {"ShowLineNumbers", WOutput, bits::output::ShowLineNumbers, PClassic},
    {"AllowDoubleQuote", WEntity, bits::entity::AllowDoubleQuote, PValidator2},
    {"ValidateEntities", WEntity, bits::entity::ValidateEntities, PValidator2},
    {"IncludeUnicode", WEntity, bits::entity::IncludeUnicode, PValidator2},
    {"AllowHexadecimalEntities", WEntity, bits::entity::AllowHexadecimalEntities, PValidator2},
    {"CheckEntitiesInAttValues", WEntity, bits::entity::CheckEntitiesInAttValues, PValidator2},
    {"IgnoreTagsWithColons", WFlags250, bits::flags250::IgnoreTagsWithColons, PValidator2},
    {"EnableStyleChecking", WFurther, bits::further::EnableStyleChecking, PStyles},
    {"LogErrorMessages", WLogging, bits::logging::LogErrorMessages, PLogging},
    {"LogWarningMessages", WLogging, bits::logging::LogWarningMessages, PLogging},
    {"IncludeHTMLInLog", WLogging, bits::logging::IncludeHTMLInLog, PLogging},
    {"EnableLogging", WLogging, bits::logging::EnableLogging, PLogging},
    {"ToolsCreateBAKFiles", WTools, bits::tools::ToolsCreateBAKFiles, PTools},
    {"UseVALFiles", WGeneral, bits::general::UseVALFiles, PGeneral},
    {"NeverOpenVALFiles", WGeneral, bits::general::NeverOpenVALFiles, PGeneral},
    {"AlwaysOpenViewer", WGeneral, bits::general::AlwaysOpenViewer, PGeneral},
    {"IfNoErrorsWarningsDontView", WGeneral, bits::general::IfNoErrorsWarningsDontView, PGeneral},
    {"OpenViewerMaximized", WGeneral, bits::general::OpenViewerMaximized, PGeneral},
    {"AutosaveHTMLConfig", WGeneral, bits::general::AutosaveHTMLConfig, PGeneral},
    {"NeverShowProgressBar", WGeneral, bits::general::NeverShowProgressBar, PGeneral},
    {"EnableProxy", WNetwork, bits::network::EnableProxy, PNetwork},
    {"DisableEmailSyntaxCheck", WNetwork, bits::network::DisableEmailSyntaxCheck, PNetwork},
    {"RedirectedLinksOK", WNetwork, bits::network::RedirectedLinksOK, PNetwork},
};

struct Field {
    const char* name;
    const char* label;
    Page page;
};

const Field kFields[] = {
    {"DefaultConfigurationFile", "Default configuration file:", PGeneral},
    {"OutputViewer", "Output viewer:", PGeneral},
    {"OutputFile", "Output file:", PGeneral},
    {"LineLength", "Line length:", PValidator1},
    {"MaximumErrors", "Maximum errors:", PValidator1},
    {"MaximumWarnings", "Maximum warnings:", PValidator1},
    {"LogFile", "Log file:", PLogging},
    {"DateFormat", "Date format:", PTools},
    {"TimeFormat", "Time format:", PTools},
    {"ProxyServer", "Proxy server:", PNetwork},
    {"ProxyPort", "Proxy port:", PNetwork},
    {"ProxyUser", "Proxy user:", PNetwork},
    {"ProxyPassword", "Proxy password:", PNetwork},
};

// "CheckHighASCII" -> "Check high ASCII": a readable caption from the control's name.
std::string captionOf(const char* name) {
    std::string n = name;
    for (const char* tail : {"CheckBox", "Box"})
        if (n.size() > std::char_traits<char>::length(tail) &&
            n.compare(n.size() - std::char_traits<char>::length(tail), std::string::npos, tail) == 0)
            n.resize(n.size() - std::char_traits<char>::length(tail));
    std::string out;
    for (size_t i = 0; i < n.size(); ++i) {
        const char c = n[i];
        const bool upper = c >= 'A' && c <= 'Z';
        const bool nextLower = i + 1 < n.size() && n[i + 1] >= 'a' && n[i + 1] <= 'z';
        const bool prevLower = i > 0 && n[i - 1] >= 'a' && n[i - 1] <= 'z';
        if (i > 0 && upper && (prevLower || nextLower))
            out += ' ';
        out += (i > 0 && upper && nextLower) ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

int32_t clamp(const std::string& text, int32_t low, int32_t high) {
    const long v = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::max<long>(low, std::min<long>(high, v)));
}

const char* const kWindowClass = "TValOptionsForm";
TValOptionsForm::ModalHook modalHook;

} // namespace

TValOptionsForm::ModalHook TValOptionsForm::setModalHook(ModalHook hook) {
    ModalHook old = std::move(modalHook);
    modalHook = std::move(hook);
    return old;
}

TValOptionsForm::TValOptionsForm(ConfigClass& options, int32_t optionsHandle, HWND owner)
    : options_(options), handle_(optionsHandle), owner_(owner) {}

TValOptionsForm::~TValOptionsForm() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (pageBrush_)
        DeleteObject(pageBrush_);
}

void TValOptionsForm::takePageColour() {
    // The controls of a page are siblings of the tab control, drawn over its page area; they match
    // it whatever the platform's look paints it with (the face colour, or white under a theme).
    RECT page;
    GetClientRect(tabs_, &page);
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    HDC screen = GetDC(tabs_);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, page.right, page.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(tabs_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    pageColour_ = GetPixel(dc, (page.left + page.right) / 2, (page.top + page.bottom) / 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(tabs_, screen);
    if (pageColour_ == CLR_INVALID)
        pageColour_ = GetSysColor(COLOR_BTNFACE);
    pageBrush_ = CreateSolidBrush(pageColour_);
}

bool TValOptionsForm::onPage(HWND control) const {
    for (const Control& c : controls_)
        if (c.window == control)
            return c.page >= 0;
    return false;
}

HWND TValOptionsForm::add(const std::string& name, const char* cls, const char* text, DWORD style,
                          int32_t page, int x, int y, int w, int h) {
    const int32_t id = 1000 + static_cast<int32_t>(controls_.size());
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | style, x, y, w, h, window_,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), GetModuleHandleA(nullptr),
                             nullptr);
    if (c && font_)
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    controls_.push_back(Control{name, c, page, id});
    return c;
}

bool TValOptionsForm::create() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc); // fails harmlessly when already registered
    window_ = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kWindowClass, kCaption,
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 640, 520,
                              owner_, nullptr, wc.hInstance, this);
    if (!window_)
        return false;
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    tabs_ = add("ValidatorOptionsPageControl", WC_TABCONTROLA, "", WS_VISIBLE | WS_CLIPSIBLINGS, -1, 8, 8,
                616, 430);
    if (!tabs_)
        return false;
    for (int32_t p = 0; p < PageCount; ++p) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageCaptions[p]);
        SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(p), reinterpret_cast<LPARAM>(&item));
    }
    // Check boxes in two columns per page, then the fields under them.
    int32_t row[PageCount] = {};
    for (const CheckBit& b : kCheckBits) {
        const int32_t r = row[b.page]++;
        add(b.name, "BUTTON", captionOf(b.name).c_str(), BS_AUTOCHECKBOX | WS_TABSTOP, b.page,
            24 + (r % 2) * 300, 44 + (r / 2) * 22, 290, 20);
    }
    // The next cell of the page's two columns, above the fields.
    const int32_t progressCell = row[PGeneral]++;
    add("ShowProgressBarNow", "BUTTON", "Show progress bar now", BS_AUTOCHECKBOX | WS_TABSTOP, PGeneral,
        24 + (progressCell % 2) * 300, 44 + (progressCell / 2) * 22, 290, 20);
    int32_t fieldRow[PageCount] = {};
    for (const Field& f : kFields) {
        const int y = 44 + ((row[f.page] + 1) / 2) * 22 + 10 + fieldRow[f.page]++ * 28;
        add(std::string(f.name) + "Label", "STATIC", f.label, 0, f.page, 24, y + 3, 160, 20);
        add(f.name, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, f.page, 190, y, 330, 22);
        const std::string n = f.name;
        if (n == "DefaultConfigurationFile" || n == "OutputViewer" || n == "OutputFile" || n == "LogFile")
            add(n + "Browse", "BUTTON", "Browse...", BS_PUSHBUTTON | WS_TABSTOP, f.page, 528, y, 80, 22);
    }
    const int radioY = 44 + ((row[PTools] + 1) / 2) * 22 + 10 + fieldRow[PTools] * 28 + 10;
    add("ConvertToToolRadioGroup", "BUTTON", "Line end of converted files", BS_GROUPBOX, PTools, 24, radioY,
        300, 90);
    const char* const radios[] = {"CR LF (Windows)", "CR (Macintosh)", "LF (Unix)"};
    for (int i = 0; i < 3; ++i)
        add("ConvertToToolRadioGroup" + std::to_string(i), "BUTTON", radios[i],
            BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), PTools, 36, radioY + 20 + i * 22, 260, 20);
    add("MoreSpellingOptionsBitBtn", "BUTTON", "More spelling options...", BS_PUSHBUTTON, PValidator2, 24,
        400, 180, 24);
    add("TagNameProgramFlagHelpBtn", "BUTTON", "Help", BS_PUSHBUTTON, PTagNameProgram, 24, 80, 100, 24);
    add("BitBtn1", "BUTTON", "Configuration help", BS_PUSHBUTTON, PTagNameProgram, 134, 80, 160, 24);
    add("ResetLinkCacheBtn", "BUTTON", "Reset link cache", BS_PUSHBUTTON, PNetwork, 24, 400, 160, 24);
    add("OKBtn", "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, -1, 284, 450, 80, 26);
    add("CancelBtn", "BUTTON", "Cancel", BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, -1, 370, 450, 80, 26);
    add("SaveBtn", "BUTTON", "Save", BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, -1, 456, 450, 80, 26);
    add("HelpBtn", "BUTTON", "Help", BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, -1, 542, 450, 80, 26);
    for (const Control& c : controls_)
        if (!c.window)
            return false;
    for (const Control& c : controls_)
        if (c.page >= 0)
            SetWindowPos(c.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    takePageColour();
    showPage(PGeneral);
    return true;
}

HWND TValOptionsForm::control(const std::string& name) const {
    for (const Control& c : controls_)
        if (c.name == name)
            return c.window;
    return nullptr;
}

uint32_t* TValOptionsForm::word(int32_t which) {
    switch (which) {
    case WValidator:
        return &validator_.ValidatorFlags40;
    case WOutput:
        return &validator_.OutputFlags40;
    case WEntity:
        return &validator_.EntityFlags40;
    case WFlags250:
        return &validator_.ValidatorFlags250;
    case WFurther:
        return &validator_.FurtherFlags;
    case WLogging:
        return &log_.Flags40;
    case WTools:
        return &tools_.Flags40;
    case WGeneral:
        return &general_.Flags40;
    default:
        return &network_.Flags40;
    }
}

void TValOptionsForm::fill(int32_t) {
    log_ = options_.log;
    validator_ = options_.validator;
    tools_ = options_.tools;
    general_ = options_.general;
    network_ = options_.network;
    openingConfiguration_ = general_.DefaultConfigurationFileNameV30.getString();
    for (const CheckBit& b : kCheckBits)
        SendMessageA(control(b.name), BM_SETCHECK, (*word(b.word) & b.bit) ? BST_CHECKED : BST_UNCHECKED, 0);
    setText("DefaultConfigurationFile", general_.DefaultConfigurationFileNameV30.getString());
    setText("OutputViewer", general_.OutputViewer.getString());
    setText("OutputFile", general_.OutputFileV30.getString());
    setText("LineLength", std::to_string(validator_.LineLength));
    setText("MaximumErrors", std::to_string(validator_.MaximumErrors));
    setText("MaximumWarnings", std::to_string(validator_.MaximumWarnings));
    setText("LogFile", log_.LogFileNameV30.getString());
    setText("DateFormat", tools_.DefaultDateFormat.getString());
    setText("TimeFormat", tools_.DefaultTimeFormat.getString());
    setText("ProxyServer", network_.Strings[0].getString());
    setText("ProxyPort", network_.Strings[1].getString());
    setText("ProxyUser", network_.Strings[2].getString());
    setText("ProxyPassword", network_.Strings[3].getString());
    const int32_t type =
        tools_.ConvertToolFileType >= 1 && tools_.ConvertToolFileType <= 3 ? tools_.ConvertToolFileType : 1;
    for (int i = 0; i < 3; ++i)
        SendMessageA(control("ConvertToToolRadioGroup" + std::to_string(i)), BM_SETCHECK,
                     i == type - 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    updateDependents();
}

void TValOptionsForm::setText(const std::string& name, const std::string& value) {
    SetWindowTextA(control(name), value.c_str());
}

std::string TValOptionsForm::text(const std::string& name) const {
    HWND c = control(name);
    const int n = c ? GetWindowTextLengthA(c) : 0;
    std::string s(static_cast<size_t>(n) + 1, '\0');
    if (c)
        GetWindowTextA(c, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

bool TValOptionsForm::checked(const std::string& name) const {
    return SendMessageA(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TValOptionsForm::updateDependents() {
    const bool proxy = checked("EnableProxy");
    for (const char* n : {"ProxyServer", "ProxyPort", "ProxyUser", "ProxyPassword", "ProxyServerLabel",
                          "ProxyPortLabel", "ProxyUserLabel", "ProxyPasswordLabel"})
        EnableWindow(control(n), proxy);
    EnableWindow(control("NeverOpenVALFiles"), checked("UseVALFiles"));
    const bool never = checked("UseVALFiles") && checked("NeverOpenVALFiles");
    EnableWindow(control("AlwaysOpenViewer"), !never);
    EnableWindow(control("IfNoErrorsWarningsDontView"), !never && !checked("AlwaysOpenViewer"));
    const bool spelling = checked("EnableSpellCheckingCheckBox");
    for (const char* n :
         {"CheckCommentSpellingCheckBox", "WarningSpellingMessageCheckBox", "SpellingMessageWordCountBox",
          "SpellingMessageSortNumber", "MoreSpellingOptionsBitBtn"})
        EnableWindow(control(n), spelling);
}

void TValOptionsForm::showPage(int32_t page) {
    currentPage_ = page;
    SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    for (const Control& c : controls_)
        if (c.page >= 0)
            ShowWindow(c.window, c.page == page ? SW_SHOW : SW_HIDE);
}

void TValOptionsForm::selectPage(int32_t index) {
    if (index >= 0 && index < PageCount)
        showPage(index);
}

void TValOptionsForm::click(const std::string& name) {
    for (const Control& c : controls_) {
        if (c.name != name)
            continue;
        if (c.page >= 0 && c.page != currentPage_)
            showPage(c.page);
        const LONG style = GetWindowLongA(c.window, GWL_STYLE) & 0xF;
        if (style == BS_AUTOCHECKBOX)
            SendMessageA(c.window, BM_SETCHECK, checked(name) ? BST_UNCHECKED : BST_CHECKED, 0);
        else if (style == BS_AUTORADIOBUTTON)
            for (int i = 0; i < 3; ++i) {
                HWND r = control("ConvertToToolRadioGroup" + std::to_string(i));
                SendMessageA(r, BM_SETCHECK, r == c.window ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED), reinterpret_cast<LPARAM>(c.window));
        return;
    }
}

void TValOptionsForm::browse(const std::string& field, const char* filter, const char* extension,
                             const char* title) {
    char name[MAX_PATH] = {};
    lstrcpynA(name, text(field).c_str(), MAX_PATH);
    // The filter's "|" separators become the zeros the platform wants.
    std::string f = filter;
    std::replace(f.begin(), f.end(), '|', '\0');
    f.push_back('\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = f.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = extension;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn))
        setText(field, name);
}

void TValOptionsForm::help(bool tagNameProgram) {
    const int32_t page = tagNameProgram ? PTagNameProgram : currentPage_;
    if (page < 0 || page >= PageCount) {
        ZELErrorMessage(0, "HelpBtnClick", "can't get help file");
        return;
    }
    std::string path = engineContext().documentationFolder.getString();
    path += "\\";
    path += kHelpPages[page];
    openDocument(path.c_str());
}

void TValOptionsForm::onCommand(int32_t id) {
    const Control* found = nullptr;
    for (const Control& c : controls_)
        if (c.id == id)
            found = &c;
    if (!found)
        return;
    const std::string& name = found->name;
    for (const CheckBit& b : kCheckBits) {
        if (name != b.name)
            continue;
        if (checked(name))
            *word(b.word) |= b.bit;
        else
            *word(b.word) &= ~b.bit;
        updateDependents();
        return;
    }
    if (name.rfind("ConvertToToolRadioGroup", 0) == 0 && name.size() > 23) {
        tools_.ConvertToolFileType = (name.back() - '0') + 1;
    } else if (name == "ShowProgressBarNow") {
        if (checked(name))
            ZELSetInteger(handle_, ZELID_OPT_PROGRESSWINDOW, 6);
        else
            ZELSetInteger3(ZELID_HIDEPROGRESS, 1);
    } else if (name == "MoreSpellingOptionsBitBtn") {
        ZELSpellCheck(31000);
    } else if (name == "OutputFileBrowse") {
        browse("OutputFile", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "txt",
               "Specify Output File and Click Open");
    } else if (name == "OutputViewerBrowse") {
        browse("OutputViewer", "Application (*.exe)|*.exe|All Files (*.*)|*.*", "exe",
               "Specify Output Viewer and Click Open");
    } else if (name == "DefaultConfigurationFileBrowse") {
        browse("DefaultConfigurationFile", "Orvalent Config Files (*.cfg)|*.cfg|All Files (*.*)|*.*", "cfg",
               "Specify Default Configuration File");
    } else if (name == "LogFileBrowse") {
        browse("LogFile", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "txt",
               "Specify Log File and Click Open");
    } else if (name == "HelpBtn") {
        help(false);
    } else if (name == "TagNameProgramFlagHelpBtn") {
        help(true);
    } else if (name == "BitBtn1") {
        const std::string path =
            std::string(engineContext().documentationFolder.getString()) + "\\configuration.html";
        openDocument(path.c_str());
    } else if (name == "OKBtn") {
        copyBack(false);
        modalResult_ = 1;
    } else if (name == "SaveBtn") {
        copyBack(true);
        modalResult_ = 1;
    } else if (name == "CancelBtn") {
        modalResult_ = 2;
    }
    // ResetLinkCacheBtn: the engine keeps no link cache.
}

void TValOptionsForm::copyBack(bool save) {
    general_.OutputViewer.assign(text("OutputViewer").c_str());
    general_.OutputFileV30.assign(text("OutputFile").c_str());
    validator_.LineLength = clamp(text("LineLength"), 20, 9999);
    validator_.MaximumErrors = clamp(text("MaximumErrors"), 1, 9999);
    validator_.MaximumWarnings = clamp(text("MaximumWarnings"), 1, 9999);
    log_.LogFileNameV30.assign(text("LogFile").c_str());
    tools_.DefaultDateFormat.assign(text("DateFormat").c_str());
    tools_.DefaultTimeFormat.assign(text("TimeFormat").c_str());
    for (int i = 0; i < 3; ++i)
        if (checked("ConvertToToolRadioGroup" + std::to_string(i)))
            tools_.ConvertToolFileType = i + 1;
    network_.Strings[0].assign(text("ProxyServer").c_str());
    network_.Strings[1].assign(text("ProxyPort").c_str());
    network_.Strings[2].assign(text("ProxyUser").c_str());
    network_.Strings[3].assign(text("ProxyPassword").c_str());
    const std::string configuration = text("DefaultConfigurationFile");
    general_.DefaultConfigurationFileNameV30.assign(configuration.c_str());

    options_.log = log_;
    options_.validator = validator_;
    options_.tools = tools_;
    options_.general = general_;
    options_.network = network_;
    // The field shows the edits again after a failed load, and the limits as clamped.
    setText("LineLength", std::to_string(validator_.LineLength));
    setText("MaximumErrors", std::to_string(validator_.MaximumErrors));
    setText("MaximumWarnings", std::to_string(validator_.MaximumWarnings));

    if (configuration != openingConfiguration_) {
        openingConfiguration_ = configuration;
        if (engineMessageBox(
                window_, "The default configuration file has changed. Do you want to load it now?",
                "Orvalent: Load Configuration?", MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES) {
            ZELSetString(handle_, ZELID_OPT_CONFIGFILE, configuration.c_str());
            ZELHTMLConfiguration(window_, handle_, ZEL_CFG_LOADDEFAULT | ZEL_CFG_REPORT);
        }
    }
    if (save)
        ZELWriteToRegistry(window_, handle_, ZEL_WRITE_SUCCESSBOX);
    if (general_.Flags40 & bits::general::NeverShowProgressBar)
        ZELSetInteger3(ZELID_HIDEPROGRESS, 1);
}

void TValOptionsForm::bringToFront() {
    if (!window_)
        return;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

int32_t TValOptionsForm::showModal() {
    if (!window_)
        return 2;
    modalResult_ = 0;
    const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerWasEnabled)
        EnableWindow(owner_, FALSE);
    bringToFront();
    if (modalHook)
        modalHook(*this);
    MSG msg;
    while (!modalResult_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (ownerWasEnabled)
        EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
    return modalResult_ ? modalResult_ : 2;
}

LRESULT CALLBACK TValOptionsForm::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        if (auto* created = static_cast<TValOptionsForm*>(cs->lpCreateParams))
            created->window_ = window;
    }
    auto* form = reinterpret_cast<TValOptionsForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    // Nothing may escape a window procedure.
    try {
        return form->handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT TValOptionsForm::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            onCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE)
            showPage(static_cast<int32_t>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_ERASEBKGND:
        // Under the page area too, for what draws no background of its own (a group box's inside).
        if (pageBrush_) {
            RECT all, page;
            GetClientRect(window_, &all);
            FillRect(reinterpret_cast<HDC>(wParam), &all, GetSysColorBrush(COLOR_BTNFACE));
            GetClientRect(tabs_, &page);
            SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
            MapWindowPoints(tabs_, window_, reinterpret_cast<POINT*>(&page), 2);
            FillRect(reinterpret_cast<HDC>(wParam), &page, pageBrush_);
            return 1;
        }
        return DefWindowProcA(window_, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (pageBrush_ && onPage(reinterpret_cast<HWND>(lParam))) {
            SetBkColor(reinterpret_cast<HDC>(wParam), pageColour_);
            return reinterpret_cast<LRESULT>(pageBrush_);
        }
        return DefWindowProcA(window_, message, wParam, lParam);
    case WM_CLOSE:
        modalResult_ = 2;
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

namespace {

// Clears the options object's pointer to its dialog however the dialog ends.
class DialogLink {
public:
    DialogLink(ConfigClass& options, TValOptionsForm* form) : options_(options) {
        options_.optionsDialog = form;
    }
    ~DialogLink() { options_.optionsDialog = nullptr; }
    DialogLink(const DialogLink&) = delete;
    DialogLink& operator=(const DialogLink&) = delete;

private:
    ConfigClass& options_;
};

// Makes the window the dialogs' owner while the form is built.
class OwnerScope {
public:
    OwnerScope(bool active, HWND window) : active_(active), saved_(engineContext().dialogOwner) {
        if (active_)
            engineContext().dialogOwner = window;
    }
    ~OwnerScope() {
        if (active_)
            engineContext().dialogOwner = saved_;
    }
    OwnerScope(const OwnerScope&) = delete;
    OwnerScope& operator=(const OwnerScope&) = delete;

private:
    bool active_;
    HWND saved_;
};

} // namespace

extern "C" int32_t ZELAPI ZELOpenValidatorOptions(HWND window, int32_t optionsHandle, int32_t flags) {
    return exportBody("ZELOpenValidatorOptions", -3, [&]() -> int32_t {
        ConfigClass* options = optionsObject(optionsHandle);
        if (!options)
            return ZELError(-1, "ZELOpenValidatorOptions", kBadHandle);
        if (options->optionsDialog) {
            options->optionsDialog->bringToFront();
            return 1;
        }
        // Held for the dialog's life, so that a free from inside it only marks the handle.
        ZELHandle(optionsHandle, ZEL_LOCK);
        TScopeGuard unlock([optionsHandle] { ZELHandle(optionsHandle, ZEL_UNLOCK); });
        TValOptionsForm form(*options, optionsHandle, window);
        {
            OwnerScope owner((flags & ZEL_OPTIONS_OWNERWINDOW) != 0, window);
            if (!form.create())
                return -3;
        }
        DialogLink link(*options, &form);
        form.fill(flags & ZEL_OPTIONS_FILLFLAG);
        const int32_t result = form.showModal();
        if ((flags & ZEL_OPTIONS_SAVEONOK) && result == 1 && ZELWriteToRegistry(window, optionsHandle, 0) < 0)
            return -2;
        return 0;
    });
}
