#pragma once
// TCustomZSocket: an event-driven TCP/UDP socket over Windows Sockets 1.1. Each socket owns a
// hidden window that receives the library's asynchronous notifications and name-lookup answers
// on the thread that created it, and turns them into events.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Strings.h"
#include "net/WSockBuf.h"
#include "net/WinsockApi.h"

enum TSocketState {
    wsInvalidState = 0,
    wsOpened = 1,
    wsBound = 2,
    wsConnecting = 3,
    wsConnected = 4,
    wsAccepting = 5,
    wsListening = 6,
    wsClosed = 7
};
enum TSocketSendFlags { wsSendNormal = 0, wsSendUrgent = 1 };
enum TSocketLingerOnOff { wsLingerOff = 0, wsLingerOn = 1, wsLingerNoSet = 2 };
enum TZSocketOption : uint32_t { wsoNoReceiveLoop = 1 };
using TZSocketOptions = uint32_t; // a set of TZSocketOption bits

// Messages of the socket's hidden window.
inline constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
inline constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
inline constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
inline constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
inline constexpr UINT WM_ZSOCKET_RELEASE = WM_USER + 5;
inline constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
inline constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

inline constexpr int32_t ZSocketDefaultBufSize = 1514;

class TCustomZSocket;
using TSessionEvent = std::function<void(TObject* Sender, uint16_t Error)>;
using TDataAvailable = TSessionEvent;
using TDataSent = TSessionEvent;
using TDnsLookupDone = TSessionEvent;
using TSendData = std::function<void(TObject* Sender, int32_t BytesSent)>;
using TChangeState = std::function<void(TObject* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent = std::function<void(TObject* Sender, const std::exception& E, bool& CanClose)>;
using TDisplayEvent = std::function<void(TObject* Sender, const std::string& Msg)>;

struct TTimeVal {
    int32_t Sec = 0;
    int32_t USec = 0;
};

class TCustomZSocket : public TComponent {
    ZEL_DECLARE_CLASS(TCustomZSocket)
public:
    explicit TCustomZSocket(TComponent* AOwner);
    ~TCustomZSocket() override;

    virtual void Connect();
    virtual void Close();
    virtual void CloseDelayed();
    virtual void Release();
    virtual void Abort();
    // Sends what is queued, pumping messages; bounded by FlushTimeout seconds.
    virtual void Flush();
    virtual void WaitForClose();
    virtual void Listen();
    virtual SOCKET Accept();
    virtual int Receive(void* Buffer, int BufferSize);
    virtual std::string ReceiveStr();
    virtual int ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen);
    int PeekData(void* Buffer, int BufferSize);
    virtual int Send(const void* Data, int Len);
    virtual int SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len);
    virtual int SendStr(const std::string& Str);
    int SendText(const std::string& Str) { return SendStr(Str); }
    void PutDataInSendBuffer(const void* Data, int Len);
    void PutStringInSendBuffer(const std::string& Str);
    virtual void DnsLookup(const std::string& HostName);
    virtual void ReverseDnsLookup(const std::string& HostAddr);
    virtual void CancelDnsLookup();
    virtual std::string GetPeerAddr();
    virtual std::string GetPeerPort();
    virtual int GetPeerName(sockaddr_in& Name, int NameLen);
    virtual std::string GetXPort();
    virtual std::string GetXAddr();
    virtual int GetSockName(sockaddr_in& SockName, int& SockNameLen);
    virtual void Dup(SOCKET NewHSocket);
    virtual void Shutdown(int How);
    virtual void Pause();
    virtual void Resume();
    // Handles waiting messages: the application's, or with MultiThreaded this thread's own.
    virtual void MessagePump();
    void ProcessMessages();
    bool ProcessMessage();
    void MessageLoop();
    // Waits at most TimeoutMs for a message for this thread (0 = just look).
    static void WaitForMessage(DWORD TimeoutMs);

    virtual bool TimerIsSet(const TTimeVal& tvp) const { return tvp.Sec != 0 || tvp.USec != 0; }
    virtual void TimerClear(TTimeVal& tvp) const { tvp = TTimeVal{}; }
    virtual bool TimerCmp(const TTimeVal& a, const TTimeVal& b, bool Equal) const {
        return Equal ? (a.Sec == b.Sec && a.USec == b.USec) : (a.Sec != b.Sec || a.USec != b.USec);
    }

    // Properties.
    const std::string& Addr() const { return FAddrStr; }
    void SetAddr(const std::string& Value);
    const std::string& Port() const { return FPortStr; }
    void SetPort(const std::string& Value);
    const std::string& Proto() const { return FProtoStr; }
    void SetProto(const std::string& Value);
    const std::string& LocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& Value);
    const std::string& LocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const std::string& Value);
    std::string PeerAddr() { return GetPeerAddr(); }
    std::string PeerPort() { return GetPeerPort(); }
    const std::string& DnsResult() const { return FDnsResult; }
    TStrings* DnsResultList() const { return FDnsResultList.get(); }
    TSocketState State() const { return FState; }
    int32_t ReadCount() const { return FReadCount; }
    int RcvdCount() { return GetRcvdCount(); }
    int32_t LastError() const { return FLastError; }
    SOCKET HSocket() const { return FHSocket; }
    HWND Handle() const { return FWindowHandle; }
    bool AllSent() const { return FAllSent; }
    bool MultiThreaded = false;
    TZSocketOptions ComponentOptions = 0;
    int32_t FlushTimeout = 60;
    TSocketSendFlags SendFlags() const;
    void SetSendFlags(TSocketSendFlags Value);
    TSocketLingerOnOff LingerOnOff = wsLingerOff;
    uint16_t LingerTimeout = 0;
    int32_t BufSize() const { return FBufSize; }
    void SetBufSize(int32_t Value) { FBufSize = Value > 0 ? Value : ZSocketDefaultBufSize; }

    TSessionEvent OnSessionAvailable;
    TSessionEvent OnSessionConnected;
    TSessionEvent OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TNotifyEvent OnLineTooLong; // never fired
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;
    TDisplayEvent OnDisplay;

    // Used by the hidden window's procedure.
    LRESULT DispatchWindowMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    virtual void WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
    virtual void AssignDefaultValue();
    virtual void InternalClose(bool bShut, uint16_t Error);
    virtual int GetRcvdCount();
    virtual void BindSocket();
    virtual int RealSend(const char* Data, int Len);
    virtual void RaiseExceptionFmt(const std::string& Text);
    virtual void RaiseException(const std::string& Text);
    virtual void HandleBackGroundException(const std::exception& E);
    // Answers whether a handler was there to take the data.
    virtual bool TriggerDataAvailable(uint16_t Error);
    virtual void TriggerSessionAvailable(uint16_t Error);
    virtual void TriggerSessionConnected(uint16_t Error);
    virtual void TriggerSessionClosed(uint16_t Error);
    virtual void TriggerDataSent(uint16_t Error);
    virtual void TriggerChangeState(TSocketState OldState, TSocketState NewState);
    virtual void TriggerDNSLookupDone(uint16_t Error);
    virtual void TriggerError();
    virtual int DoRecv(char* Buffer, int BufferSize, int Flags);
    virtual int DoRecvFrom(SOCKET s, char* Buffer, int BufferSize, int Flags, sockaddr* From, int* FromLen);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void SocketError(const std::string& FuncName);
    void ChangeState(TSocketState NewState);
    void TryToSend();
    void DeleteBufferedData();
    void SetLingerOption();
    void ResolveTarget(); // protocol, port, local port and address of the address record
    // Raises the owner's error for a missing port or address; true where both are set.
    bool CheckTargetAssigned();
    void ASyncReceive(uint16_t Error, TZSocketOptions Options);
    void Do_FD_CONNECT(uint16_t Error);
    void Do_FD_READ(uint16_t Error);
    void Do_FD_WRITE(uint16_t Error);
    void Do_FD_ACCEPT(uint16_t Error);
    void Do_FD_CLOSE(uint16_t Error);
    void WMAsyncGetHostByName(WPARAM WParam, LPARAM LParam);
    void WMAsyncGetHostByAddr(WPARAM WParam, LPARAM LParam);
    bool Destroying() const { return HasState(csDestroying); }

    std::string FDnsResult;
    std::unique_ptr<TStringList> FDnsResultList;
    SOCKET FASocket = INVALID_SOCKET;
    std::vector<std::unique_ptr<TBuffer>> FBufList;
    int32_t FBufSize = ZSocketDefaultBufSize;
    int FSendFlags = 0;
    int32_t FLastError = 0;
    HWND FWindowHandle = nullptr;
    char FDnsLookupBuffer[MAXGETHOSTSTRUCT]{};
    HANDLE FDnsLookupHandle = nullptr;
    bool FDnsLookupCheckMsg = false;
    MSG FDnsLookupTempMsg{};
    SOCKET FHSocket = INVALID_SOCKET;
    std::string FAddrStr;
    bool FAddrResolved = false;
    bool FAddrAssigned = false;
    int FAddrFormat = AF_INET;
    int FProto = IPPROTO_TCP;
    bool FProtoAssigned = true;
    bool FProtoResolved = false;
    std::string FProtoStr = "tcp";
    std::string FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    uint16_t FPortNum = 0;
    std::string FLocalPortStr = "0";
    bool FLocalPortResolved = false;
    uint16_t FLocalPortNum = 0;
    std::string FLocalAddr = "0.0.0.0";
    int FType = SOCK_STREAM;
    int32_t FReadCount = 0;
    bool FPaused = false;
    bool FCloseInvoked = false;
    TSocketState FState = wsClosed;
    bool FRcvdFlag = false;
    bool FTerminated = false;
    long FSelectEvent = 0;
    bool FAllSent = true;
    sockaddr_in sin{};
    // Counts reads that took bytes from the network, so the receive loop can tell a handler
    // that took nothing from one that did.
    uint32_t FRecvProgress = 0;
};

// Unit functions.
bool ZSocketIsDottedIP(const std::string& S);
// Network order.
uint32_t ZSocketResolveHost(const std::string& InAddr);
// Host order.
uint16_t ZSocketResolvePort(const std::string& Port, const std::string& Proto);
int ZSocketResolveProto(const std::string& Proto);
std::string ZSocketGetHostByAddr(const std::string& Addr);
std::string ZSocketGetHostByName(const std::string& Name);
std::string ZSocketResolveIp(const std::string& IpAddr);
std::string LocalHostName();
TStrings* LocalIPList();
std::string ZSocketErrorDesc(int ErrCode);
// Dotted text of an address in network order.
std::string ZSocketDottedAddr(uint32_t NetOrder);
