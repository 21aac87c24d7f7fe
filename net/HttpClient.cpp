#include "net/HttpClient.h"

#include <algorithm>
#include <cstring>

#include "framework/ui/Forms.h"
#include "net/PublishedFields.h"

namespace {
const TEnumInfo HttpSocksAuthenticationInfo{{"socksNoAuthentication", "socksAuthenticateUsercode"}};
using H = THttpClient;
} // namespace

ZEL_DEFINE_CLASS(THttpClient, TComponent,
                 {NetProp::Str("URL", &H::URL),
                  NetProp::Str("Proxy", &H::Proxy),
                  NetProp::Str("ProxyPort", &H::ProxyPort),
                  NetProp::Str("Sender", &H::Sender),
                  NetProp::Str("Agent", &H::Agent),
                  NetProp::Str("Accept", &H::Accept),
                  NetProp::Str("Reference", &H::Reference),
                  NetProp::Str("Username", &H::Username),
                  NetProp::Str("Password", &H::Password),
                  NetProp::Str("ProxyUsername", &H::ProxyUsername),
                  NetProp::Str("ProxyPassword", &H::ProxyPassword),
                  NetProp::Bool("NoCache", &H::NoCache),
                  NetProp::Float("ModifiedSince", &H::ModifiedSince),
                  NetProp::Str("Cookie", &H::Cookie),
                  NetProp::Str("ContentTypePost", &H::ContentTypePost),
                  NetProp::Str("ContentRangeBegin", &H::ContentRangeBegin),
                  NetProp::Str("ContentRangeEnd", &H::ContentRangeEnd),
                  Prop::String<H>("AcceptRanges", &H::AcceptRanges),
                  Prop::Bool<H>("MultiThreaded", &H::MultiThreaded, &H::SetMultiThreaded),
                  Prop::Method("OnTrace"),
                  Prop::Method("OnSessionConnected"),
                  Prop::Method("OnHeaderData"),
                  Prop::Method("OnCommand"),
                  Prop::Method("OnHeaderBegin"),
                  Prop::Method("OnHeaderEnd"),
                  Prop::Method("OnRequestHeaderBegin"),
                  Prop::Method("OnRequestHeaderEnd"),
                  Prop::Method("OnDocBegin"),
                  Prop::Method("OnDocData"),
                  Prop::Method("OnDocEnd"),
                  Prop::Method("OnSendBegin"),
                  Prop::Method("OnSendData"),
                  Prop::Method("OnSendEnd"),
                  Prop::Method("OnStateChange"),
                  Prop::Method("OnRequestDone"),
                  Prop::Method("OnLocationChange"),
                  Prop::Method("OnCookie"),
                  NetProp::Int("Timeout", &H::Timeout),
                  NetProp::Int("MaxRedirects", &H::MaxRedirects),
                  NetProp::Str("SocksServer", &H::SocksServer),
                  NetProp::Str("SocksPort", &H::SocksPort),
                  NetProp::Str("SocksLevel", &H::SocksLevel),
                  NetProp::Str("SocksUsercode", &H::SocksUsercode),
                  NetProp::Str("SocksPassword", &H::SocksPassword),
                  NetProp::Enum("SocksAuthentication", &HttpSocksAuthenticationInfo,
                                &H::SocksAuthentication)})

namespace {

constexpr const char* HttpWindowClass = "XHttpClientWindowClass";
constexpr UINT_PTR TimeoutTimerId = 1;

LRESULT CALLBACK HttpClientWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* obj = reinterpret_cast<TObject*>(GetWindowLongPtrA(wnd, 0));
    if (obj && Is<THttpClient>(obj))
        return static_cast<THttpClient*>(obj)->DispatchWindowMessage(msg, wp, lp);
    return DefWindowProcA(wnd, msg, wp, lp);
}

std::string Lower(const std::string& s) {
    return LowerCase(s);
}

bool IsHttpScheme(const std::string& scheme) {
    return scheme.empty() || SameText(scheme, "http");
}

} // namespace

THttpClient::THttpClient(TComponent* AOwner) : TComponent(AOwner) {
    HttpClientAllocateHWnd();
    FCtrlSocket = new TZSocket(this);
    FAuthHeaders = std::make_unique<TStringList>();
    FRcvdHeader = std::make_unique<TStringList>();
    FReqStream = std::make_unique<TMemoryStream>();
    FCtrlSocket->OnSessionClosed = [this](TObject* S, uint16_t E) { SocketSessionClosed(S, E); };
    FCtrlSocket->OnDataAvailable = [this](TObject* S, uint16_t E) { SocketDataAvailable(S, E); };
    FCtrlSocket->OnSessionConnected = [this](TObject* S, uint16_t E) { SocketSessionConnected(S, E); };
    FCtrlSocket->OnDataSent = [this](TObject* S, uint16_t E) { SocketDataSent(S, E); };
    FCtrlSocket->OnDnsLookupDone = [this](TObject* S, uint16_t E) { SocketDNSLookupDone(S, E); };
    FCtrlSocket->OnBgException = [this](TObject* S, const std::exception& E, bool& C) {
        SocketBgException(S, E, C);
    };
}

THttpClient::~THttpClient() {
    // The socket is owned and goes with the component; its events must not reach a half-gone client.
    if (FCtrlSocket) {
        FCtrlSocket->OnSessionClosed = nullptr;
        FCtrlSocket->OnDataAvailable = nullptr;
        FCtrlSocket->OnSessionConnected = nullptr;
        FCtrlSocket->OnDataSent = nullptr;
        FCtrlSocket->OnDnsLookupDone = nullptr;
        FCtrlSocket->OnBgException = nullptr;
        FCtrlSocket->OnSocksError = nullptr;
    }
    HttpClientDeallocateHWnd();
}

void THttpClient::HttpClientAllocateHWnd() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA probe{};
    if (!GetClassInfoA(inst, HttpWindowClass, &probe)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HttpClientWindowProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.hInstance = inst;
        wc.lpszClassName = HttpWindowClass;
        RegisterClassA(&wc);
    }
    FWindowHandle = CreateWindowExA(WS_EX_TOOLWINDOW, HttpWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, inst, nullptr);
    if (!FWindowHandle)
        throw EHttpException("Unable to create the HTTP client's window", 0);
    SetWindowLongPtrA(FWindowHandle, 0, reinterpret_cast<LONG_PTR>(this));
}

void THttpClient::HttpClientDeallocateHWnd() {
    if (!FWindowHandle)
        return;
    if (FTimerSet)
        KillTimer(FWindowHandle, TimeoutTimerId);
    SetWindowLongPtrA(FWindowHandle, 0, 0);
    DestroyWindow(FWindowHandle);
    FWindowHandle = nullptr;
}

void THttpClient::SetMultiThreaded(bool Value) {
    FMultiThreaded = Value;
    FCtrlSocket->MultiThreaded = Value;
}

// ---------------------------------------------------------------------------------------------
// Window messages

LRESULT THttpClient::DispatchWindowMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    LRESULT result = 0;
    try {
        WndProc(Msg, WParam, LParam, result);
    } catch (const std::exception& E) {
        // Nothing may leave a window procedure: a failure while a request runs ends it as failed.
        try {
            if (FState != httpReady)
                AbortWith(httperrEventFailed, E.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            if (FState != httpReady)
                AbortWith(httperrEventFailed, "Unknown exception in HTTP event");
        } catch (...) {
        }
    }
    return result;
}

void THttpClient::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    switch (Msg) {
    case WM_HTTP_REQUEST_DONE:
        DoEvent(OnRequestDone, this, FRequestType, FRequestError);
        return;
    case WM_HTTP_SET_READY:
        // A late message of an earlier request must not end the current one.
        if (static_cast<uint32_t>(WParam) == FRequestSeq)
            StateChange(httpReady);
        return;
    case WM_HTTP_LOGIN:
        if (static_cast<uint32_t>(WParam) == FRequestSeq && FState != httpReady)
            Login();
        return;
    case WM_TIMER:
        if (WParam == TimeoutTimerId)
            CheckTimeout();
        return;
    default:
        Result = DefWindowProcA(FWindowHandle, Msg, WParam, LParam);
    }
}

void THttpClient::StateChange(THttpState NewState) {
    if (FState == NewState)
        return;
    FState = NewState;
    DoEvent(OnStateChange, this);
    if (NewState == httpReady) {
        if (FTimerSet) {
            KillTimer(FWindowHandle, TimeoutTimerId);
            FTimerSet = false;
        }
        TriggerRequestDone();
    }
}

void THttpClient::SetReady() {
    PostMessageA(FWindowHandle, WM_HTTP_SET_READY, FRequestSeq, 0);
}

void THttpClient::TriggerRequestDone() {
    PostMessageA(FWindowHandle, WM_HTTP_REQUEST_DONE, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Triggers

void THttpClient::TriggerCookie(const std::string& Data, bool& bAccept) {
    DoEvent(OnCookie, this, Data, bAccept);
}
void THttpClient::TriggerSessionConnected() {
    DoEvent(OnSessionConnected, this);
}
void THttpClient::TriggerRequestHeaderBegin() {
    DoEvent(OnRequestHeaderBegin, this);
}
void THttpClient::TriggerRequestHeaderEnd() {
    DoEvent(OnRequestHeaderEnd, this);
}
void THttpClient::TriggerHeaderBegin() {
    DoEvent(OnHeaderBegin, this);
}
void THttpClient::TriggerHeaderEnd() {
    DoEvent(OnHeaderEnd, this);
}
void THttpClient::TriggerDocBegin() {
    DoEvent(OnDocBegin, this);
}
void THttpClient::TriggerDocData(const void* Data, int32_t Len) {
    DoEvent(OnDocData, this, Data, Len);
}
void THttpClient::TriggerDocEnd() {
    DoEvent(OnDocEnd, this);
}
void THttpClient::TriggerSendBegin() {
    DoEvent(OnSendBegin, this);
}
void THttpClient::TriggerSendData(const void* Data, int32_t Len) {
    DoEvent(OnSendData, this, Data, Len);
}
void THttpClient::TriggerSendEnd() {
    DoEvent(OnSendEnd, this);
}

// ---------------------------------------------------------------------------------------------
// Starting and ending

void THttpClient::DoRequestSync(THttpRequest Rq) {
    DoRequestAsync(Rq);
    while (FState != httpReady) {
        if (Application && Application->Terminated()) {
            Abort();
            break;
        }
        if (FMultiThreaded || !Application)
            FCtrlSocket->ProcessMessages();
        else
            Application->ProcessMessages();
        if (FState == httpReady)
            break;
        TCustomZSocket::WaitForMessage(100);
    }
    if (FStatusCode >= 400)
        throw EHttpException(FReasonPhrase, static_cast<uint16_t>(FStatusCode));
}

void THttpClient::ResetReplyHeader() {
    FStatusCode = 0;
    FReasonPhrase.clear();
    FContentLength = -1;
    FContentType.clear();
    FLocationFlag = false;
    FLocationValue.clear();
    FChunked = false;
    FSawStatusLine = false;
}

void THttpClient::ResetReply() {
    ResetReplyHeader();
    FReceiveLen = 0;
    FHeaderLineCount = 0;
    FBodyLineCount = 0;
    FChunkState = ckSize;
    FChunkLine.clear();
    FChunkLeft = 0;
    FBodyComplete = false;
    FHeaderComplete = false;
    FLineHandler = lhNone;
}

void THttpClient::DoRequestAsync(THttpRequest Rq) {
    if (FState != httpReady)
        throw EHttpException("HTTP component is busy", httperrBusy);
    if (Rq == httpPOST && !SendStream)
        throw EHttpException("HTTP component has nothing to post", httperrNothingToPost);

    TParsedURL u = ParseURL(URL);
    if (!IsHttpScheme(u.Proto))
        throw EHttpException("Only http addresses are supported, not " + u.Proto + ": " + URL,
                             httperrUnsupportedScheme);
    if (u.Host.empty())
        throw EHttpException("The address names no host: " + URL, httperrNoHost);
    TParsedURL px;
    if (!Proxy.empty()) {
        px = ParseURL(Proxy);
        // What the address rules cannot split is taken as host[:port].
        if (px.Host.empty()) {
            size_t c = Proxy.rfind(':');
            px.Host = c == std::string::npos ? Proxy : Proxy.substr(0, c);
            px.Port = c == std::string::npos ? "" : Proxy.substr(c + 1);
        }
    }

    FRcvdHeader->Clear();
    FAuthHeaders->Clear();
    FRequestType = Rq;
    FMethod = Rq;
    FSendStart = Rq == httpPOST ? SendStream->Position() : 0;
    FRequestError = 0;
    ++FRequestSeq;
    FCtrlSocket->OnSessionClosed = [this](TObject* S, uint16_t E) { SocketSessionClosed(S, E); };
    StateChange(httpNotConnected);
    FDocName.clear();
    ResetReply();
    FRcvdCount = 0;
    FSentCount = 0;
    FAllowedToSend = false;
    FRedirectCount = 0;
    FLocation = URL;

    FTargetHost = u.Host;
    FTargetPort = u.Port.empty() ? "80" : u.Port;
    std::string path = u.Path;
    if (!u.User.empty())
        Username = u.User;
    if (!u.Pass.empty())
        Password = u.Pass;
    if (!Proxy.empty()) {
        FPath = (u.Proto.empty() ? std::string("http") : u.Proto) + "://" + u.Host +
                (u.Port.empty() ? "" : ":" + u.Port) + (path.empty() ? "/" : path);
        FHostName = px.Host;
        FPort = px.Port.empty() ? ProxyPort : px.Port;
    } else {
        FPath = path;
        FHostName = u.Host;
        FPort = FTargetPort;
    }
    FCredOrigin = Lower(FTargetHost) + ":" + FTargetPort;
    if (FPath.empty())
        FPath = "/";

    if (!path.empty() && path != "/") {
        std::string d = path;
        if (d.back() == '/')
            d.pop_back();
        size_t slash = d.rfind('/');
        d = slash == std::string::npos ? d : d.substr(slash + 1);
        size_t q = d.find('?');
        if (q != std::string::npos)
            d = d.substr(0, q);
        FDocName = d.substr(0, 255);
    } else {
        FDocName = "document.htm";
    }

    Touch();
    if (Timeout > 0) {
        SetTimer(FWindowHandle, TimeoutTimerId, static_cast<UINT>(std::clamp(Timeout / 4, 10, 250)), nullptr);
        FTimerSet = true;
    }
    Login();
}

void THttpClient::Login() {
    FDnsResult.clear();
    StateChange(httpDnsLookup);
    try {
        // Through a SOCKS server the server resolves the target's name; only its own address is looked up
        // here.
        FCtrlSocket->DnsLookup(SocksServer.empty() ? FHostName : SocksServer);
    } catch (const std::exception& E) {
        Fail(11001, std::string("can't resolve hostname to IP address: ") + E.what());
        SocketSessionClosed(FCtrlSocket, 0);
    }
}

void THttpClient::Logout() {
    FCtrlSocket->Close();
    FConnected = false;
}

void THttpClient::Fail(uint16_t Code, const std::string& Reason) {
    // The first cause of a failure is the one the owner hears about.
    if (FRequestError != 0 && FStatusCode >= 400)
        return;
    FRequestError = Code;
    FStatusCode = 404;
    FReasonPhrase = Reason;
}

void THttpClient::AbortWith(uint16_t Code, const std::string& Reason) {
    if (FState == httpReady) {
        if (FCtrlSocket->State() != wsClosed)
            FCtrlSocket->Close();
        return;
    }
    bool wasLookup = FState == httpDnsLookup;
    StateChange(httpAborting);
    Fail(Code, Reason);
    if (wasLookup) {
        FCtrlSocket->CancelDnsLookup();
        SocketSessionClosed(FCtrlSocket, 0);
    } else if (FCtrlSocket->State() != wsClosed) {
        FCtrlSocket->OnSessionClosed = [this](TObject* S, uint16_t E) { SocketSessionClosed(S, E); };
        FCtrlSocket->Abort();
    }
    StateChange(httpReady);
}

void THttpClient::Abort() {
    if (FState == httpReady) {
        if (FCtrlSocket->State() != wsClosed)
            FCtrlSocket->Close();
        return;
    }
    // An explicit abort always wins over what went before.
    FRequestError = 0;
    FStatusCode = 0;
    AbortWith(httperrAborted, "Connection aborted on request");
}

void THttpClient::Touch() {
    FLastActivity = GetTickCount();
}

void THttpClient::CheckTimeout() {
    if (FState == httpReady || Timeout <= 0)
        return;
    if (GetTickCount() - FLastActivity < static_cast<DWORD>(Timeout))
        return;
    AbortWith(httperrTimeout, "Request timed out after " + IntToStr(Timeout) + " ms without progress");
}

bool THttpClient::SameOrigin() const {
    return Lower(FTargetHost) + ":" + FTargetPort == FCredOrigin;
}

// ---------------------------------------------------------------------------------------------
// Socket events

void THttpClient::SocketBgException(TObject*, const std::exception& E, bool& CanClose) {
    CanClose = true;
    if (FState == httpReady)
        return;
    const auto* he = dynamic_cast<const EHttpException*>(&E);
    Fail(he && he->ErrorCode == httperrLineTooLong ? httperrProtocol : httperrEventFailed, E.what());
    // The socket may have no session to close (a failure before connecting): end here as well.
    if (FCtrlSocket->State() == wsClosed)
        SetReady();
}

void THttpClient::SocketDNSLookupDone(TObject*, uint16_t Error) {
    if (FState == httpAborting || FState == httpReady)
        return;
    if (Error != 0) {
        FRequestError = Error;
        FStatusCode = 404;
        FReasonPhrase = "can't resolve hostname to IP address";
        SocketSessionClosed(FCtrlSocket, Error);
        return;
    }
    Touch();
    FDnsResult = FCtrlSocket->DnsResult();
    StateChange(httpDnsLookupDone);
    FSocksErrorText.clear();
    try {
        if (SocksServer.empty()) {
            FCtrlSocket->SetAddr(FDnsResult);
        } else {
            FCtrlSocket->SetAddr(FHostName);
            FCtrlSocket->SetSocksServer(FDnsResult);
            FCtrlSocket->SetSocksPort(SocksPort);
            FCtrlSocket->SetSocksLevel(SocksLevel);
            FCtrlSocket->SocksUsercode = SocksUsercode;
            FCtrlSocket->SocksPassword = SocksPassword;
            FCtrlSocket->SocksAuthentication = SocksAuthentication;
        }
        FCtrlSocket->SetPort(FPort);
        FCtrlSocket->SetProto("tcp");
        FCtrlSocket->Connect();
    } catch (const std::exception& E) {
        Fail(WSAEINVAL, E.what());
        if (FCtrlSocket->State() != wsClosed)
            FCtrlSocket->Abort();
        else
            SocketSessionClosed(FCtrlSocket, WSAEINVAL);
    }
}

void THttpClient::SocketSessionConnected(TObject*, uint16_t Error) {
    if (FState == httpAborting || FState == httpReady)
        return;
    if (Error != 0) {
        FRequestError = Error;
        FStatusCode = 404;
        if (Error >= socksProtocolError && Error <= socksRejectedOrFailed && !FSocksErrorText.empty())
            FReasonPhrase = "SOCKS: " + FSocksErrorText + " (Error #" + IntToStr(Error) + ")";
        else
            FReasonPhrase = ZSocketErrorDesc(Error) + " (Error #" + IntToStr(Error) + ")";
        // The socket closes itself after a failed connect; the close event ends the request.
        return;
    }
    Touch();
    FConnected = true;
    StateChange(httpConnected);
    TriggerSessionConnected();
    FLineHandler = lhHeader;
    StateChange(httpWaitingHeader);
    switch (FMethod) {
    case httpPOST:
        // A request repeated after a redirect sends its whole body again.
        SendStream->SetPosition(FSendStart);
        FSentCount = 0;
        SendRequest("POST", "1.0");
        TriggerSendBegin();
        FAllowedToSend = true;
        SocketDataSent(FCtrlSocket, 0);
        break;
    case httpHEAD:
        SendRequest("HEAD", "1.0");
        break;
    default:
        SendRequest("GET", "1.0");
        break;
    }
}

void THttpClient::SocketDataSent(TObject*, uint16_t) {
    if (!FAllowedToSend || !SendStream)
        return;
    Touch();
    int32_t n = SendStream->Read(FSendBuffer, sizeof(FSendBuffer));
    if (n <= 0) {
        FAllowedToSend = false;
        TriggerSendEnd();
        return;
    }
    FSentCount += n;
    TriggerSendData(FSendBuffer, n);
    FCtrlSocket->Send(FSendBuffer, n);
}

void THttpClient::SocketSessionClosed(TObject*, uint16_t Error) {
    FConnected = false;
    if (FRequestError == 0 && FState != httpAborting && FState != httpReady) {
        // A reply that ends before it is whole is a failure, never a short success.
        if (!FHeaderComplete) {
            if (FHeaderLineCount == 0 && FBodyLineCount == 0)
                Fail(Error ? Error : httperrClosedEarly, "Connection closed before the server replied");
            else if (FState != httpWaitingBody)
                Fail(Error ? Error : httperrClosedEarly,
                     "Connection closed in the middle of the reply's header");
        } else if (!FBodyComplete && FMethod != httpHEAD) {
            if (FChunked)
                Fail(Error ? Error : httperrClosedEarly,
                     "Connection closed before the last chunk of the body");
            else if (FContentLength >= 0 && FRcvdCount < FContentLength)
                Fail(Error ? Error : httperrClosedEarly, "Connection closed after " + IntToStr(FRcvdCount) +
                                                             " of " + IntToStr(FContentLength) +
                                                             " bytes of the body");
            else if (Error != 0)
                Fail(Error,
                     "Connection lost: " + ZSocketErrorDesc(Error) + " (Error #" + IntToStr(Error) + ")");
        }
    }
    if (FBodyLineCount > 0)
        TriggerDocEnd();
    SetReady();
}

void THttpClient::LocationSessionClosed(TObject*, uint16_t) {
    FConnected = false;
    FLocationFlag = false;
    FCtrlSocket->OnSessionClosed = [this](TObject* S, uint16_t E) { SocketSessionClosed(S, E); };
    DoEvent(OnLocationChange, this);
    PostMessageA(FWindowHandle, WM_HTTP_LOGIN, FRequestSeq, 0);
}

// ---------------------------------------------------------------------------------------------
// The request

void THttpClient::SendCommand(const std::string& Cmd) {
    std::string line = Cmd;
    DoEvent(OnCommand, this, line);
    if (!line.empty())
        FReqStream->Write(line.data(), static_cast<int32_t>(line.size()));
    FReqStream->Write("\r\n", 2);
}

void THttpClient::SendRequest(const std::string& Method, const std::string& Version) {
    FReqStream->Clear();
    TriggerRequestHeaderBegin();
    SendCommand(Method + " " + FPath + " HTTP/" + Version);
    if (!Sender.empty())
        SendCommand("From: " + Sender);
    if (!Accept.empty())
        SendCommand("Accept: " + Accept);
    if (!Reference.empty())
        SendCommand("Referer: " + Reference);
    if (FMethod == httpPOST && !ContentTypePost.empty())
        SendCommand("Content-Type: " + ContentTypePost);
    if (!Agent.empty())
        SendCommand("User-Agent: " + Agent);
    SendCommand("Host: " + FTargetHost);
    if (NoCache)
        SendCommand("Pragma: no-cache");
    // What is sent: the stream from where it stood when the request began.
    if (FMethod == httpPOST)
        SendCommand("Content-Length: " + IntToStr(SendStream->Size() - FSendStart));
    if (ModifiedSince != 0)
        SendCommand("If-Modified-Since: " + RFC1123_Date(LocalToUniversalTime(ModifiedSince)) + " GMT");
    // The owner's credentials belong to the server it named, not to wherever that server redirects.
    if (!Username.empty() && SameOrigin())
        SendCommand("Authorization: Basic " + EncodeStr(encBase64, Username + ":" + Password));
    if (!Proxy.empty() && !ProxyUsername.empty())
        SendCommand("Proxy-Authorization: Basic " +
                    EncodeStr(encBase64, ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty())
        SendCommand("Cookie: " + Cookie);
    if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
        SendCommand("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    FAcceptRanges.clear();
    TriggerRequestHeaderEnd();
    SendCommand("");
    std::string data(static_cast<const char*>(FReqStream->Memory()), static_cast<size_t>(FReqStream->Size()));
    FReqStream->Clear();
    FCtrlSocket->SendStr(data);
}
