#include "editor/core/UpdateCheck.h"

#include "editor/core/AppState.h"
#include "editor/core/EditorMessageBox.h"
#include "editor/core/PathHelpers.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "net/HttpClient.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

UpdateCheckState::UpdateCheckState() : lastCheckDay(DayNumber()) {
    char buffer[1024] = {};
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    std::string folder = (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string(".");
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    tempFolder = folder.c_str();
}

const char* GetAgentText(int32_t flags) {
    if (!(flags & 1))
        return "";
    return (flags & 2) ? ZelAgentTextShort : ZelAgentText;
}

UpdateCheckState& UpdateCheck() {
    if (p && p->updateCheck)
        return *p->updateCheck;
    // Without the application-state record (before start-up made it, after shutdown, in tests of
    // the check alone) one record of its own stands in.
    static UpdateCheckState outside;
    return outside;
}

int32_t LoadLastUpdateCheck(int32_t flags) {
    if (!(flags & 1))
        return 0;
    UpdateCheckState& s = UpdateCheck();
    try {
        QXRegistryEx reg(0);
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey(ZelRegistryControl, true))
            return -1;
        int32_t day = s.lastCheckDay;
        if (!reg.ReadInteger("LastUpdateCheck", &day))
            return -1;
        s.lastCheckDay = day;
        return day;
    } catch (const std::exception&) {
        return -1;
    }
}

int32_t StoreLastUpdateCheck(int32_t flags) {
    if (!(flags & 16))
        return 1;
    UpdateCheckState& s = UpdateCheck();
    s.lastCheckDay = DayNumber();
    try {
        QXRegistryEx reg(0);
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (reg.OpenKey(ZelRegistryControl, true))
            reg.WriteInteger("LastUpdateCheck", s.lastCheckDay);
    } catch (const std::exception&) {
        // A refused write leaves the day in memory only; the next start offers the check again.
    }
    return 1;
}

bool IsUpdateCheckDue(int32_t lastDay, int32_t today) {
    return !(today >= lastDay && today - lastDay < 14);
}

bool IsUpdateCheckRunning() {
    return UpdateCheck().activeClient != nullptr;
}

bool CancelUpdateCheck() {
    UpdateCheckState& s = UpdateCheck();
    if (!s.activeClient)
        return false;
    s.cancelled = true;
    s.activeClient->Abort();
    return true;
}

int32_t ApplyNetworkConfig(const NetworkConfigClass* network, THttpClient* client) {
    if (!network || !client)
        return 0;
    client->Agent = network->agent.getString() ? network->agent.getString() : "";
    auto text = [](const StrStore& s) { return std::string(s.getString() ? s.getString() : ""); };
    if (network->networkFlags & 1) {
        client->Proxy = text(network->strings[0]);
        client->ProxyPort = text(network->strings[1]);
        client->ProxyUsername = text(network->strings[2]);
        client->ProxyPassword = text(network->strings[3]);
    } else {
        client->Proxy.clear();
        client->ProxyPort.clear();
        client->ProxyUsername.clear();
        client->ProxyPassword.clear();
    }
    return 0;
}

std::string UpdateCheckURLEncode(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string BuildUpdateCheckURL(const UpdateCheckState& state, int32_t flags) {
    const char* version = state.configVersion.getString();
    return state.scriptServer + ZelUpdateScriptPath + "?version=" + UpdateCheckURLEncode("3.0000") +
           "&configversion=" + UpdateCheckURLEncode(version ? version : "") +
           "&flags=" + std::to_string(flags);
}

bool IsOpenableWebAddress(const std::string& address) {
    auto startsWith = [&](const char* prefix) {
        const size_t n = strlen(prefix);
        return address.size() > n && _strnicmp(address.c_str(), prefix, n) == 0;
    };
    if (!startsWith("http://") && !startsWith("https://"))
        return false;
    for (unsigned char c : address)
        if (c <= ' ' || c == 0x7F || c == '"')
            return false;
    return true;
}

namespace {

bool LineHasKey(const std::string& line, const char* key) {
    const size_t n = strlen(key);
    return line.size() >= n && _strnicmp(line.c_str(), key, n) == 0;
}

// The platform's common animation control showing the shell's find-folder clip. Where the shell
// carries no such clip the control stays empty; the check never depends on it.
class TAnimate : public TWinControl {
public:
    explicit TAnimate(TComponent* AOwner) : TWinControl(AOwner) {}
    bool Active() const { return FActive; }
    void SetActive(bool Value) {
        FActive = Value;
        ApplyActive();
    }
    bool Opened() const { return FOpened; }
    int StopFrame = 29;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&icc);
        Params.BaseClassName = ANIMATE_CLASSA;
        // Registered classes are keyed by name; this class is not in the reflection table, so
        // the inherited name would alias a plain control's class.
        Params.WinClassName = "TAnimate";
        Params.Style |= ACS_TRANSPARENT;
    }
    void CreateHandleDone() override {
        TWinControl::CreateHandleDone();
        HMODULE shell = GetModuleHandleA("shell32.dll");
        FOpened = shell && SendMessageA(Handle(), ACM_OPENA, reinterpret_cast<WPARAM>(shell),
                                        reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(FindFolderClip))) != 0;
        ApplyActive();
    }
    void HandleDestroyed() override { FOpened = false; }

private:
    static constexpr WORD FindFolderClip = 150;
    void ApplyActive() {
        if (!HandleAllocated() || !FOpened)
            return;
        if (FActive)
            SendMessageA(Handle(), ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
        else
            SendMessageA(Handle(), ACM_PLAY, 1, MAKELPARAM(StopFrame, StopFrame));
    }
    bool FActive = false;
    bool FOpened = false;
};

// The small window shown while the request runs; its Cancel button aborts the request.
class TUpdateCheckForm : public TForm {
public:
    TUpdateCheckForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetBorderIcons(0);
        SetPosition(TFormPosition::poScreenCenter);
        SetCaption("ZEL Orvalent: Checking for Updates");
        SetClientWidth(326);
        // Taller than the label and animation need, so the Cancel button fits below the label.
        SetClientHeight(84);
        Animate = new TAnimate(this);
        Animate->SetParent(this);
        Animate->SetBounds(16, 0, 80, 50);
        MainLabel = new TLabel(this);
        MainLabel->SetParent(this);
        MainLabel->SetBounds(125, 18, 190, 16);
        MainLabel->SetCaption("Checking for updates, please wait...");
        CancelButton = new TButton(this);
        CancelButton->SetParent(this);
        CancelButton->SetBounds(125, 48, 80, 25);
        CancelButton->SetCaption("Cancel");
        CancelButton->OnClick = [](TObject*) { CancelUpdateCheck(); };
        OnShow = [this](TObject*) { Animate->SetActive(true); };
    }
    TAnimate* Animate = nullptr;
    TLabel* MainLabel = nullptr;
    TButton* CancelButton = nullptr;
};

// Clears the running state on every way out of the check.
struct RunningGuard {
    explicit RunningGuard(THttpClient* client) {
        UpdateCheck().activeClient = client;
        UpdateCheck().cancelled = false;
        UpdateCheck().answerTooLarge = false;
    }
    ~RunningGuard() { UpdateCheck().activeClient = nullptr; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;
};

void ActOnAnswer(HWND owner, const TStringList& lines) {
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines[i];
        if (LineHasKey(line, "DISPLAYINFOMESSAGE=")) {
            EditorMessageBox(owner, line.substr(19), "Orvalent: Update Check Information Message",
                             ZelBoxInformation);
        } else if (LineHasKey(line, "DISPLAYERRORMESSAGE=")) {
            EditorMessageBox(owner, line.substr(20), "Orvalent: Update Check Error Message", ZelBoxError);
        } else if (LineHasKey(line, "DISPLAYQUESTIONMESSAGE=")) {
            if (EditorMessageBox(owner, line.substr(23), "Orvalent: Update Check Question", ZelBoxQuestion) !=
                IDYES)
                ++i;
        } else if (LineHasKey(line, "GOTOURL=")) {
            const std::string address = line.substr(8);
            if (address.empty())
                continue;
            // The address comes from the network: anything but a plain web address (a program, a
            // file, a shell verb's argument list) is refused rather than handed to the shell.
            if (IsOpenableWebAddress(address))
                OpenDocument(owner, address.c_str());
            else
                EditorMessageBox(owner,
                                 "The update check answered with an address that is not a web address, so it "
                                 "was not opened:\n\n" +
                                     address,
                                 "Orvalent: Update Check Error Message", ZelBoxError);
        }
    }
}

} // namespace

int32_t RunUpdateCheck(HWND owner, int32_t flags) {
    UpdateCheckState& s = UpdateCheck();
    if (s.activeClient)
        return 1; // one check at a time: the running one answers
    if (!(flags & UpdateCheckAlreadyAsked)) {
        if (EditorMessageBox(
                owner,
                "This feature requires a connection to Nortavia' server in order to receive any "
                "update information about the version of ZEL Orvalent Lite that you are using. You "
                "must be connected to the Internet in order for this feature to work. Do you want "
                "to continue?",
                "Orvalent: Continue With The Update Check?", ZelBoxQuestion) != IDYES)
            return 1;
    }

    std::unique_ptr<TUpdateCheckForm> form;
    try {
        form = std::make_unique<TUpdateCheckForm>();
        form->Show();
    } catch (const std::exception&) {
        form.reset(); // the check goes on without its progress window
    }
    auto hideForm = [&] {
        if (form)
            form->Hide();
    };

    auto client = std::make_unique<THttpClient>(nullptr);
    RunningGuard running(client.get());
    // Start-up fills the network settings from the engine's options; until a caller named a
    // record of its own, those are the ones sent.
    NetworkConfigClass* network = s.network ? s.network : (p && p->vol ? &p->vol->network : nullptr);
    if (network)
        ApplyNetworkConfig(network, client.get());
    client->Timeout = s.timeoutMs;
    client->URL = BuildUpdateCheckURL(s, flags);
    client->OnDocData = [&s](TObject* sender, const void*, int32_t) {
        auto* c = static_cast<THttpClient*>(sender);
        if (s.answerTooLarge || !c || c->RcvdCount() <= ZelUpdateAnswerLimit)
            return;
        s.answerTooLarge = true;
        // At once and from here: the socket reads on for as long as data keeps coming, so a
        // request to stop queued behind it would wait as long. Nothing more goes to disk.
        c->RcvdStream = nullptr;
        c->Abort();
    };
    const std::string answerFile =
        std::string(s.tempFolder.getString() ? s.tempFolder.getString() : "") + ZelUpdateAnswerFile;

    std::unique_ptr<TFileStream> received;
    try {
        received = std::make_unique<TFileStream>(answerFile, fmCreate);
        client->RcvdStream = received.get();
        client->Get();
        hideForm();
        client->RcvdStream = nullptr;
        received.reset();
        if (s.answerTooLarge)
            throw std::runtime_error("answer too large");
        TStringList lines;
        lines.LoadFromFile(answerFile);
        DeleteFileA(answerFile.c_str());
        if (lines.Count() > 0)
            StoreLastUpdateCheck(16);
        ActOnAnswer(owner, lines);
    } catch (const std::exception&) {
        hideForm();
        client->RcvdStream = nullptr;
        received.reset();
        if (s.answerTooLarge) {
            // Whatever came is not an answer; it is not left filling the temporary folder.
            DeleteFileA(answerFile.c_str());
            EditorMessageBox(owner,
                             "Failed: the update server sent more than " +
                                 std::to_string(ZelUpdateAnswerLimit / 1024) +
                                 " KB, which is not an update answer, so it was not read.\n\nYou may want "
                                 "to try again later and/or check your network connection and proxy "
                                 "settings.",
                             "Orvalent: Update Check Failed", ZelBoxError);
        } else if (!s.cancelled)
            EditorMessageBox(
                owner,
                "Failed: " + std::to_string(client->StatusCode()) + " " + client->ReasonPhrase() +
                    "\n\nYou may want to try again later and/or check your network connection and "
                    "proxy settings.",
                "Orvalent: Update Check Failed", ZelBoxError);
    }
    return 1;
}
