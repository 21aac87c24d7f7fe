#pragma once
// THttpClient: one HTTP/1.0 request at a time (GET, POST, HEAD) over an owned TZSocket, directly,
// through an HTTP proxy or through a SOCKS server. The asynchronous calls return at once and report
// through events; Get, Post and Head handle messages until the request is done and raise
// EHttpException when it failed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "net/HttpUrl.h"
#include "net/LineSocket.h"

enum THttpState : uint8_t {
    httpReady = 0,
    httpNotConnected = 1,
    httpConnected = 2,
    httpDnsLookup = 3,
    httpDnsLookupDone = 4,
    httpWaitingHeader = 5,
    httpWaitingBody = 6,
    httpAborting = 7
};
enum THttpRequest : uint8_t { httpAbort = 0, httpGET = 1, httpPOST = 2, httpHEAD = 3 };

class EHttpException : public Exception {
public:
    EHttpException(const std::string& Msg, uint16_t Code) : Exception(Msg), ErrorCode(Code) {}
    uint16_t ErrorCode;
};

// EHttpException codes raised when a request cannot start or a reply cannot be read.
inline constexpr uint16_t httperrBusy = 1;
inline constexpr uint16_t httperrNothingToPost = 2;
inline constexpr uint16_t httperrLineTooLong = 4;
inline constexpr uint16_t httperrUnsupportedScheme = 5;
inline constexpr uint16_t httperrNoHost = 6;

// RequestError values of failed requests (besides the socket library's own error numbers).
inline constexpr uint16_t httperrAborted = 3;
inline constexpr uint16_t httperrProtocol = 7;    // the reply is not HTTP, or breaks its framing
inline constexpr uint16_t httperrEventFailed = 8; // an exception escaped from a handler
inline constexpr uint16_t httperrTooManyRedirects = 9;
inline constexpr uint16_t httperrClosedEarly = 10; // the server closed before the reply was whole
inline constexpr uint16_t httperrRedirectScheme = 11;
inline constexpr uint16_t httperrTimeout = 10060;

// Messages of the client's own window.
inline constexpr UINT WM_HTTP_REQUEST_DONE = WM_USER + 1;
inline constexpr UINT WM_HTTP_SET_READY = WM_USER + 2;
inline constexpr UINT WM_HTTP_LOGIN = WM_USER + 3;

using THttpDataEvent = std::function<void(TObject* Sender, const void* Buffer, int32_t Len)>;
using THttpCommandEvent = std::function<void(TObject* Sender, std::string& S)>;
using THttpCookieEvent = std::function<void(TObject* Sender, const std::string& Data, bool& Accept)>;
using THttpRequestDone = std::function<void(TObject* Sender, THttpRequest RqType, uint16_t Error)>;

class THttpClient : public TComponent {
    ZEL_DECLARE_CLASS(THttpClient)
public:
    explicit THttpClient(TComponent* AOwner);
    ~THttpClient() override;

    void Get() { DoRequestSync(httpGET); }
    void Post() { DoRequestSync(httpPOST); }
    void Head() { DoRequestSync(httpHEAD); }
    void GetASync() { DoRequestAsync(httpGET); }
    void PostASync() { DoRequestAsync(httpPOST); }
    void HeadASync() { DoRequestAsync(httpHEAD); }
    void Abort();

    THttpState State() const { return FState; }
    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool Value);
    TZSocket* CtrlSocket() const { return FCtrlSocket; }

    std::string URL;
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Sender;
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string Reference;
    std::string Username;
    std::string Password;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool NoCache = false;
    TDateTime ModifiedSince = 0; // local time; sent as universal time
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    std::string ContentRangeBegin;
    std::string ContentRangeEnd;
    const std::string& AcceptRanges() const { return FAcceptRanges; }
    // Milliseconds without any progress after which the request fails; 0 waits for ever.
    int32_t Timeout = 30000;
    // Redirects followed for one request before it fails.
    int32_t MaxRedirects = 10;
    // A SOCKS server to reach the web server (or the proxy) through; empty for none.
    std::string SocksServer;
    std::string SocksPort = "1080";
    std::string SocksLevel = "5";
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;

    int32_t StatusCode() const { return FStatusCode; }
    const std::string& ReasonPhrase() const { return FReasonPhrase; }
    int32_t ContentLength() const { return FContentLength; }
    const std::string& ContentType() const { return FContentType; }
    const std::string& Location() const { return FLocation; }
    const std::string& DocName() const { return FDocName; }
    TStrings* RcvdHeader() const { return FRcvdHeader.get(); }
    TStrings* AuthHeaders() const { return FAuthHeaders.get(); }
    TStream* RcvdStream = nullptr; // not owned
    TStream* SendStream = nullptr; // not owned
    int32_t RcvdCount() const { return FRcvdCount; }
    int32_t SentCount() const { return FSentCount; }
    uint16_t RequestError() const { return FRequestError; }
    THttpRequest RequestType() const { return FRequestType; }
    int32_t RedirectCount() const { return FRedirectCount; }

    TNotifyEvent OnStateChange;
    TNotifyEvent OnSessionConnected;
    TNotifyEvent OnRequestHeaderBegin;
    TNotifyEvent OnRequestHeaderEnd;
    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderEnd;
    TNotifyEvent OnHeaderData;
    TNotifyEvent OnDocBegin;
    TNotifyEvent OnDocEnd;
    THttpDataEvent OnDocData;
    TNotifyEvent OnSendBegin;
    TNotifyEvent OnSendEnd;
    THttpDataEvent OnSendData;
    TNotifyEvent OnTrace; // never fired
    THttpCommandEvent OnCommand;
    THttpCookieEvent OnCookie;
    TSessionEvent OnDataAvailable;
    THttpRequestDone OnRequestDone;
    TNotifyEvent OnLocationChange;

    LRESULT DispatchWindowMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    virtual void SendCommand(const std::string& Cmd);
    virtual void Login();
    virtual void Logout();
    virtual void LocationSessionClosed(TObject* Sender, uint16_t Error);
    virtual void TriggerCookie(const std::string& Data, bool& bAccept);
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const void* Data, int32_t Len);
    virtual void TriggerDocEnd();
    virtual void TriggerSendBegin();
    virtual void TriggerSendData(const void* Data, int32_t Len);
    virtual void TriggerSendEnd();
    virtual void HttpClientAllocateHWnd();
    virtual void HttpClientDeallocateHWnd();

private:
    void DoRequestSync(THttpRequest Rq);
    void DoRequestAsync(THttpRequest Rq);
    void WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
    void StateChange(THttpState NewState);
    void SetReady();
    void TriggerRequestDone();
    void ResetReply();
    void ResetReplyHeader();
    void SendRequest(const std::string& Method, const std::string& Version);
    void Fail(uint16_t Code, const std::string& Reason);
    void AbortWith(uint16_t Code, const std::string& Reason);
    void CheckTimeout();
    void Touch();
    bool SameOrigin() const;

    void SocketDNSLookupDone(TObject* Sender, uint16_t Error);
    void SocketSessionConnected(TObject* Sender, uint16_t Error);
    void SocketDataSent(TObject* Sender, uint16_t Error);
    void SocketSessionClosed(TObject* Sender, uint16_t Error);
    void SocketDataAvailable(TObject* Sender, uint16_t Error);
    void SocketBgException(TObject* Sender, const std::exception& E, bool& CanClose);
    void GetHeaderLineNext();
    void GetBodyLineNext(const char* Data, int32_t Len);
    void DeliverBody(const char* Data, int32_t Len);
    void DecodeChunked(const char* Data, int32_t Len);
    void BodyComplete();
    void EndOfHeader();
    void FollowLocation(const std::string& Value);

    bool FMultiThreaded = false;
    THttpState FState = httpReady;
    TZSocket* FCtrlSocket = nullptr;
    HWND FWindowHandle = nullptr;
    std::string FHostName;   // to connect to: the URL's host or the proxy's
    std::string FTargetHost; // sent in "Host: "
    std::string FTargetPort; // the web server's port, proxy or not
    std::string FPort;       // to connect to
    std::string FCredOrigin; // host:port the credentials were given for
    std::string FLocation;
    bool FConnected = false;
    std::string FDnsResult;
    char FSendBuffer[8193]{};
    THttpRequest FRequestType = httpAbort;
    THttpRequest FMethod = httpAbort; // what is sent now: a redirect may turn a POST into a GET
    int64_t FSendStart = 0;           // where the body starts in SendStream
    char FReceiveBuffer[8193]{};
    int32_t FReceiveLen = 0;
    std::string FLastResponse;
    std::string FLastLineEnd;
    int32_t FHeaderLineCount = 0;
    int32_t FBodyLineCount = 0;
    bool FAllowedToSend = false;
    std::string FPath;
    std::string FDocName;
    int32_t FStatusCode = 0;
    std::string FReasonPhrase;
    int32_t FContentLength = -1;
    std::string FContentType;
    std::unique_ptr<TStringList> FAuthHeaders;
    std::string FAcceptRanges;
    bool FLocationFlag = false;
    std::string FLocationValue;
    std::unique_ptr<TStringList> FRcvdHeader;
    int32_t FRcvdCount = 0;
    int32_t FSentCount = 0;
    std::unique_ptr<TMemoryStream> FReqStream;
    uint16_t FRequestError = 0;
    std::string FSocksErrorText;
    enum TLineHandler { lhNone, lhHeader, lhBody } FLineHandler = lhNone;

    bool FChunked = false;
    enum TChunkState { ckSize, ckData, ckDataEnd, ckTrailer, ckDone } FChunkState = ckSize;
    std::string FChunkLine;
    int64_t FChunkLeft = 0;
    bool FBodyComplete = false;
    bool FHeaderComplete = false;
    bool FSawStatusLine = false;
    int32_t FRedirectCount = 0;
    uint32_t FRequestSeq = 0;
    DWORD FLastActivity = 0;
    bool FTimerSet = false;
};
