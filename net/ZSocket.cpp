#include "net/ZSocket.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(TCustomZSocket, TComponent, {})

namespace {

constexpr const char* SocketWindowClass = "XSocketWindowClass";
constexpr long AllSessionEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE; // 59

LRESULT CALLBACK XSocketWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* obj = reinterpret_cast<TObject*>(GetWindowLongPtrA(wnd, 0));
    if (obj && Is<TCustomZSocket>(obj))
        return static_cast<TCustomZSocket*>(obj)->DispatchWindowMessage(msg, wp, lp);
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND XSocketAllocateHWnd(TObject* Obj) {
    WNDCLASSA probe{};
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (!GetClassInfoA(inst, SocketWindowClass, &probe)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = XSocketWindowProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.hInstance = inst;
        wc.lpszClassName = SocketWindowClass;
        if (!RegisterClassA(&wc))
            throw ESocketException("Unable to register hidden window class " +
                                   std::string(SocketWindowClass));
    }
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, SocketWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, inst, nullptr);
    if (!wnd)
        throw ESocketException("Unable to create the socket's hidden window");
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(Obj));
    return wnd;
}

void XSocketDeallocateHWnd(HWND wnd) {
    if (!wnd)
        return;
    SetWindowLongPtrA(wnd, 0, 0);
    DestroyWindow(wnd);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TCustomZSocket::TCustomZSocket(TComponent* AOwner) : TComponent(AOwner) {
    FWindowHandle = XSocketAllocateHWnd(this);
    FDnsResultList = std::make_unique<TStringList>();
    AssignDefaultValue();
    ZSocketAddUser();
}

TCustomZSocket::~TCustomZSocket() {
    SetState(csDestroying, true);
    try {
        CancelDnsLookup();
        if (FHSocket != INVALID_SOCKET)
            InternalClose(false, 0);
    } catch (...) {
        // A destructor reports nothing; the socket is gone either way.
    }
    FBufList.clear();
    XSocketDeallocateHWnd(FWindowHandle);
    FWindowHandle = nullptr;
    ZSocketReleaseUser();
}

void TCustomZSocket::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
}

void TCustomZSocket::AssignDefaultValue() {
    std::memset(&sin, 0, sizeof(sin));
    sin.sin_family = AF_INET;
    FAddrFormat = AF_INET;
    FPortAssigned = false;
    FAddrAssigned = false;
    FAddrResolved = false;
    FPortResolved = false;
    FProtoResolved = false;
    FLocalPortResolved = false;
    FProtoAssigned = true;
    FProto = IPPROTO_TCP;
    FProtoStr = "tcp";
    FType = SOCK_STREAM;
    FLocalPortStr = "0";
    FLocalAddr = "0.0.0.0";
    // A zero-timeout linger resets the connection and throws away what is still in transit;
    // a plain close lets the stack deliver it.
    LingerOnOff = wsLingerOff;
    LingerTimeout = 0;
    FHSocket = INVALID_SOCKET;
    FState = wsClosed;
    FAllSent = true;
    FReadCount = 0;
    FPaused = false;
    FCloseInvoked = false;
    FlushTimeout = 60;
}

// ---------------------------------------------------------------------------------------------
// Window messages

LRESULT TCustomZSocket::DispatchWindowMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    LRESULT result = 0;
    try {
        WndProc(Msg, WParam, LParam, result);
    } catch (const std::exception& E) {
        try {
            HandleBackGroundException(E);
        } catch (...) {
            // Nothing may leave a window procedure.
        }
    } catch (...) {
        try {
            HandleBackGroundException(ESocketException("Unknown exception in socket event"));
        } catch (...) {
        }
    }
    return result;
}

void TCustomZSocket::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    switch (Msg) {
    case WM_ASYNCSELECT: {
        if (static_cast<SOCKET>(WParam) != FHSocket || FPaused)
            return;
        uint16_t events = LOWORD(LParam);
        uint16_t error = HIWORD(LParam);
        if (events & FD_CONNECT)
            Do_FD_CONNECT(error);
        if (events & FD_READ)
            Do_FD_READ(error);
        if (events & FD_WRITE)
            Do_FD_WRITE(error);
        if (events & FD_ACCEPT)
            Do_FD_ACCEPT(error);
        if (events & FD_CLOSE)
            Do_FD_CLOSE(error);
        return;
    }
    case WM_ASYNCGETHOSTBYNAME:
        WMAsyncGetHostByName(WParam, LParam);
        return;
    case WM_ASYNCGETHOSTBYADDR:
        WMAsyncGetHostByAddr(WParam, LParam);
        return;
    case WM_CLOSE_DELAYED:
        Close();
        return;
    case WM_ZSOCKET_RELEASE:
        delete this;
        return;
    case WM_TRIGGER_EXCEPTION:
        throw ESocketException("Test exception in ZSocket");
    default:
        Result = DefWindowProcA(FWindowHandle, Msg, WParam, LParam);
    }
}

void TCustomZSocket::HandleBackGroundException(const std::exception& E) {
    bool CanClose = true;
    if (OnBgException)
        OnBgException(this, E, CanClose);
    if (CanClose)
        Abort();
}

// ---------------------------------------------------------------------------------------------
// Errors

void TCustomZSocket::RaiseException(const std::string& Text) {
    if (OnError) {
        TriggerError();
        return;
    }
    throw ESocketException(Text);
}

void TCustomZSocket::RaiseExceptionFmt(const std::string& Text) {
    RaiseException(Text);
}

void TCustomZSocket::TriggerError() {
    DoEvent(OnError, this);
}

void TCustomZSocket::SocketError(const std::string& FuncName) {
    int code = ZSocket_WSAGetLastError();
    std::string text =
        "Error " + IntToStr(code) + " in function " + FuncName + "\r\n" + ZSocketErrorDesc(code);
    if (code == WSAECONNRESET || code == WSAENOTCONN) {
        if (FHSocket != INVALID_SOCKET)
            ZSocket_closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        ChangeState(wsClosed);
    }
    FLastError = code;
    RaiseException(text);
}

// ---------------------------------------------------------------------------------------------
// Settings

void TCustomZSocket::SetAddr(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    std::string v = Trim(Value);
    if (v == FAddrStr && FAddrAssigned)
        return;
    FAddrStr = v;
    FAddrAssigned = !v.empty();
    FAddrResolved = false;
}

void TCustomZSocket::SetPort(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    std::string v = Trim(Value);
    if (v == FPortStr && FPortAssigned)
        return;
    FPortStr = v;
    FPortAssigned = !v.empty();
    FPortResolved = false;
}

void TCustomZSocket::SetProto(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    std::string v = Trim(Value);
    if (v == FProtoStr && FProtoAssigned)
        return;
    FProtoStr = v;
    FProtoAssigned = !v.empty();
    FProtoResolved = false;
}

void TCustomZSocket::SetLocalPort(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    FLocalPortStr = Trim(Value);
    FLocalPortResolved = false;
}

void TCustomZSocket::SetLocalAddr(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalAddr if not closed");
        return;
    }
    std::string v = Trim(Value);
    if (v.empty())
        v = "0.0.0.0";
    unsigned long a = ZSocket_inet_addr(v.c_str());
    if (a == INADDR_NONE && v != "255.255.255.255") {
        RaiseException("SetLocalAddr(): Invalid IP address");
        return;
    }
    FLocalAddr = ZSocketDottedAddr(static_cast<uint32_t>(a));
}

TSocketSendFlags TCustomZSocket::SendFlags() const {
    if (FSendFlags == 0)
        return wsSendNormal;
    if (FSendFlags == MSG_OOB)
        return wsSendUrgent;
    throw ESocketException("Invalid internal SendFlags");
}

void TCustomZSocket::SetSendFlags(TSocketSendFlags Value) {
    switch (Value) {
    case wsSendNormal:
        FSendFlags = 0;
        break;
    case wsSendUrgent:
        FSendFlags = MSG_OOB;
        break;
    default:
        RaiseException("Invalid SendFlags");
    }
}

void TCustomZSocket::SetLingerOption() {
    if (LingerOnOff == wsLingerNoSet)
        return;
    if (FHSocket == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return;
    }
    linger l{};
    l.l_onoff = LingerOnOff == wsLingerOn ? 1 : 0;
    l.l_linger = LingerTimeout;
    if (ZSocket_setsockopt(FHSocket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof(l)) !=
        0)
        SocketError("setsockopt(SO_LINGER)");
}

void TCustomZSocket::ChangeState(TSocketState NewState) {
    TSocketState old = FState;
    FState = NewState;
    TriggerChangeState(old, NewState);
}

// ---------------------------------------------------------------------------------------------
// Triggers

bool TCustomZSocket::TriggerDataAvailable(uint16_t Error) {
    if (!OnDataAvailable)
        return false;
    OnDataAvailable(this, Error);
    return true;
}
void TCustomZSocket::TriggerSessionAvailable(uint16_t Error) {
    DoEvent(OnSessionAvailable, this, Error);
}
void TCustomZSocket::TriggerSessionConnected(uint16_t Error) {
    DoEvent(OnSessionConnected, this, Error);
}
void TCustomZSocket::TriggerSessionClosed(uint16_t Error) {
    DoEvent(OnSessionClosed, this, Error);
}
void TCustomZSocket::TriggerDataSent(uint16_t Error) {
    DoEvent(OnDataSent, this, Error);
}
void TCustomZSocket::TriggerChangeState(TSocketState OldState, TSocketState NewState) {
    DoEvent(OnChangeState, this, OldState, NewState);
}
void TCustomZSocket::TriggerDNSLookupDone(uint16_t Error) {
    DoEvent(OnDnsLookupDone, this, Error);
}

// ---------------------------------------------------------------------------------------------
// Connecting

void TCustomZSocket::ResolveTarget() {
    if (!FProtoResolved) {
        FProto = ZSocketResolveProto(FProtoStr);
        FType = FProto == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        FProtoResolved = true;
    }
    if (!FPortResolved) {
        FPortNum = ZSocketResolvePort(FPortStr, FProtoStr);
        sin.sin_port = ZSocket_htons(FPortNum);
        FPortResolved = true;
    }
    if (!FLocalPortResolved) {
        FLocalPortNum = ZSocketResolvePort(FLocalPortStr.empty() ? "0" : FLocalPortStr, FProtoStr);
        FLocalPortResolved = true;
    }
    if (!FAddrResolved) {
        sin.sin_addr.s_addr = ZSocketResolveHost(FAddrStr);
        FAddrResolved = true;
    }
}

bool TCustomZSocket::CheckTargetAssigned() {
    if (!FPortAssigned) {
        RaiseException("Connect: No Port Specified");
        return false;
    }
    if (!FAddrAssigned) {
        RaiseException("Connect: No IP Address Specified");
        return false;
    }
    return true;
}

void TCustomZSocket::Connect() {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!CheckTargetAssigned())
        return;
    if (!FProtoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    ResolveTarget();
    DeleteBufferedData();
    FHSocket = ZSocket_socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("Connect (socket)");
        return;
    }
    ChangeState(wsOpened);
    if (FType == SOCK_STREAM) {
        BOOL on = TRUE;
        if (ZSocket_setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                               sizeof(on)))
            return SocketError("setsockopt(SO_REUSEADDR)");
        SetLingerOption();
        if (ZSocket_setsockopt(FHSocket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
                               sizeof(on)))
            return SocketError("setsockopt(SO_KEEPALIVE)");
        if (FLocalPortNum != 0 || FLocalAddr != "0.0.0.0")
            BindSocket();
    } else {
        BindSocket();
        if (sin.sin_addr.s_addr == INADDR_BROADCAST) {
            BOOL on = TRUE;
            if (ZSocket_setsockopt(FHSocket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                                   sizeof(on)))
                return SocketError("setsockopt(SO_BROADCAST)");
        }
    }
    FSelectEvent = AllSessionEvents;
    if (ZSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        return SocketError("WSAAsyncSelect");
    if (FType == SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (ZSocket_connect(FHSocket, reinterpret_cast<const sockaddr*>(&sin), sizeof(sin)) == 0) {
        ChangeState(wsConnecting);
        return;
    }
    int err = ZSocket_WSAGetLastError();
    if (err == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    FLastError = err;
    SocketError("Connect");
}

void TCustomZSocket::BindSocket() {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = ZSocket_htons(FLocalPortNum);
    local.sin_addr.s_addr = ZSocketResolveHost(FLocalAddr);
    if (ZSocket_bind(FHSocket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
        RaiseExceptionFmt(Format("winsock.bind failed, error #%d", ZSocket_WSAGetLastError()));
        return;
    }
    int len = sizeof(local);
    if (ZSocket_getsockname(FHSocket, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
        RaiseExceptionFmt(Format("winsock.getsockname failed, error #%d", ZSocket_WSAGetLastError()));
        return;
    }
    FLocalPortNum = ZSocket_ntohs(local.sin_port);
    FLocalPortStr = IntToStr(FLocalPortNum);
}

void TCustomZSocket::Listen() {
    if (!FPortAssigned) {
        FLastError = WSAEINVAL;
        RaiseException("listen: port not assigned");
        return;
    }
    if (!FProtoAssigned) {
        FLastError = WSAEINVAL;
        RaiseException("listen: protocol not assigned");
        return;
    }
    if (!FAddrAssigned) {
        FLastError = WSAEINVAL;
        RaiseException("listen: address not assigned");
        return;
    }
    ResolveTarget();
    FHSocket = ZSocket_socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET)
        return SocketError("socket");
    if (ZSocket_bind(FHSocket, reinterpret_cast<const sockaddr*>(&sin), sizeof(sin)) != 0) {
        SocketError("Bind");
        Close();
        return;
    }
    ChangeState(wsBound);
    if (FType == SOCK_DGRAM) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
    } else {
        if (ZSocket_listen(FHSocket, 5) != 0)
            return SocketError("Listen");
        ChangeState(wsListening);
    }
    FSelectEvent = FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE;
    if (ZSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        SocketError("WSAASyncSelect");
}

SOCKET TCustomZSocket::Accept() {
    if (FState != wsListening) {
        FLastError = WSAEINVAL;
        RaiseException("not a listening socket");
        return INVALID_SOCKET;
    }
    int len = sizeof(sin);
    FASocket = ZSocket_accept(FHSocket, reinterpret_cast<sockaddr*>(&sin), &len);
    if (FASocket == INVALID_SOCKET) {
        SocketError("Accept");
        return INVALID_SOCKET;
    }
    return FASocket;
}

void TCustomZSocket::Dup(SOCKET NewHSocket) {
    if (NewHSocket == 0 || NewHSocket == INVALID_SOCKET) {
        ZSocket_WSASetLastError(WSAEINVAL);
        SocketError("Dup");
        return;
    }
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        if (ZSocket_closesocket(FHSocket) != 0) {
            SocketError("Dup (closesocket)");
            return;
        }
        ChangeState(wsClosed);
    }
    FHSocket = NewHSocket;
    SetLingerOption();
    FSelectEvent = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
    if (ZSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        return SocketError("WSAAsyncSelect");
    ChangeState(wsConnected);
}

// ---------------------------------------------------------------------------------------------
// Notifications

void TCustomZSocket::Do_FD_CONNECT(uint16_t Error) {
    if (FState != wsConnected)
        ChangeState(wsConnected);
    TriggerSessionConnected(Error);
    if (Error != 0 && FState != wsClosed)
        Close();
}

void TCustomZSocket::Do_FD_READ(uint16_t Error) {
    ASyncReceive(Error, ComponentOptions);
}

void TCustomZSocket::Do_FD_WRITE(uint16_t Error) {
    TryToSend();
    if (FAllSent)
        TriggerDataSent(Error);
}

void TCustomZSocket::Do_FD_ACCEPT(uint16_t Error) {
    TriggerSessionAvailable(Error);
}

void TCustomZSocket::Do_FD_CLOSE(uint16_t Error) {
    if (FState == wsConnecting)
        return;
    ASyncReceive(Error, ComponentOptions & ~static_cast<uint32_t>(wsoNoReceiveLoop));
    if (!FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(Error);
    }
    if (FState != wsClosed)
        Close();
}

void TCustomZSocket::ASyncReceive(uint16_t Error, TZSocketOptions Options) {
    for (;;) {
        if (FHSocket == INVALID_SOCKET)
            return;
        FLastError = 0;
        uint32_t before = FRecvProgress;
        if (!TriggerDataAvailable(Error)) {
            char junk[1024];
            int n = ZSocket_recv(FHSocket, junk, sizeof(junk), 0);
            if (n < 0 && ZSocket_WSAGetLastError() == WSAEWOULDBLOCK)
                return;
            if (n <= 0)
                return;
        } else if (FRecvProgress == before) {
            // The handler took nothing: calling it again would spin for ever. The data stays
            // queued; the library notifies again once the owner reads.
            return;
        }
        if (Options & wsoNoReceiveLoop)
            return;
        if (FLastError != 0 || FHSocket == INVALID_SOCKET)
            return;
        u_long waiting = 0;
        if (ZSocket_ioctlsocket(FHSocket, FIONREAD, &waiting) != 0) {
            FLastError = ZSocket_WSAGetLastError();
            return;
        }
        if (waiting == 0)
            return;
    }
}

// ---------------------------------------------------------------------------------------------
// Receiving

int TCustomZSocket::DoRecv(char* Buffer, int BufferSize, int Flags) {
    if (FHSocket == INVALID_SOCKET)
        return -1;
    int n = ZSocket_recv(FHSocket, Buffer, BufferSize, Flags);
    FRcvdFlag = n >= BufferSize;
    if (n > 0 && !(Flags & MSG_PEEK))
        ++FRecvProgress;
    return n;
}

int TCustomZSocket::DoRecvFrom(SOCKET s, char* Buffer, int BufferSize, int Flags, sockaddr* From,
                               int* FromLen) {
    int n = ZSocket_recvfrom(s, Buffer, BufferSize, Flags, From, FromLen);
    FRcvdFlag = n >= BufferSize;
    if (n > 0)
        ++FRecvProgress;
    return n;
}

int TCustomZSocket::Receive(void* Buffer, int BufferSize) {
    int n = DoRecv(static_cast<char*>(Buffer), BufferSize, 0);
    if (n < 0)
        FLastError = FHSocket == INVALID_SOCKET ? WSAENOTSOCK : ZSocket_WSAGetLastError();
    else
        FReadCount += n;
    return n;
}

int TCustomZSocket::PeekData(void* Buffer, int BufferSize) {
    return DoRecv(static_cast<char*>(Buffer), BufferSize, MSG_PEEK);
}

std::string TCustomZSocket::ReceiveStr() {
    int count = GetRcvdCount();
    if (count < 0)
        return "";
    if (count == 0)
        count = 255;
    std::string s(static_cast<size_t>(count), '\0');
    int n = Receive(s.data(), count);
    if (n <= 0)
        return "";
    s.resize(static_cast<size_t>(n));
    return s;
}

int TCustomZSocket::ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen) {
    int n = DoRecvFrom(FHSocket, static_cast<char*>(Buffer), BufferSize, 0,
                       reinterpret_cast<sockaddr*>(&From), &FromLen);
    if (n < 0)
        FLastError = ZSocket_WSAGetLastError();
    else
        FReadCount += n;
    return n;
}

int TCustomZSocket::GetRcvdCount() {
    if (FHSocket == INVALID_SOCKET)
        return -1;
    u_long n = 0;
    if (ZSocket_ioctlsocket(FHSocket, FIONREAD, &n) != 0) {
        SocketError("ioctlSocket");
        return -1;
    }
    return static_cast<int>(n);
}

// ---------------------------------------------------------------------------------------------
// Sending

void TCustomZSocket::DeleteBufferedData() {
    FBufList.clear();
    FAllSent = true;
}

void TCustomZSocket::PutDataInSendBuffer(const void* Data, int Len) {
    if (Len <= 0)
        return;
    FAllSent = false;
    const char* p = static_cast<const char*>(Data);
    if (FBufList.empty())
        FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
    while (Len > 0) {
        int n = FBufList.back()->Write(p, Len);
        p += n;
        Len -= n;
        if (Len > 0)
            FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
    }
}

void TCustomZSocket::PutStringInSendBuffer(const std::string& Str) {
    PutDataInSendBuffer(Str.data(), static_cast<int>(Str.size()));
}

int TCustomZSocket::Send(const void* Data, int Len) {
    if (FState != wsConnected) {
        ZSocket_WSASetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    if (Len <= 0)
        return 0;
    PutDataInSendBuffer(Data, Len);
    TryToSend();
    if (FAllSent)
        PostMessageA(FWindowHandle, WM_ASYNCSELECT, static_cast<WPARAM>(FHSocket), MAKELONG(FD_WRITE, 0));
    return Len;
}

int TCustomZSocket::SendStr(const std::string& Str) {
    if (Str.empty())
        return 0;
    return Send(Str.data(), static_cast<int>(Str.size()));
}

int TCustomZSocket::SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len) {
    int n = ZSocket_sendto(FHSocket, static_cast<const char*>(Data), Len, FSendFlags,
                           reinterpret_cast<const sockaddr*>(&Dest), DestLen);
    if (n > 0)
        DoEvent(OnSendData, this, n);
    return n;
}

int TCustomZSocket::RealSend(const char* Data, int Len) {
    int n;
    if (FType == SOCK_DGRAM)
        n = ZSocket_sendto(FHSocket, Data, Len, FSendFlags, reinterpret_cast<const sockaddr*>(&sin),
                           sizeof(sin));
    else
        n = ZSocket_send(FHSocket, Data, Len, FSendFlags);
    if (n > 0)
        DoEvent(OnSendData, this, n);
    return n;
}

void TCustomZSocket::TryToSend() {
    if (FHSocket == INVALID_SOCKET || FBufList.empty())
        return;
    while (!FBufList.empty()) {
        TBuffer* chunk = FBufList.front().get();
        int32_t len = 0;
        void* data = chunk->Peek(len);
        if (len <= 0) {
            if (FBufList.size() > 1) {
                FBufList.erase(FBufList.begin());
                continue;
            }
            FAllSent = true;
            return;
        }
        int n = RealSend(static_cast<const char*>(data), len);
        if (n == 0)
            return;
        if (n < 0) {
            int err = ZSocket_WSAGetLastError();
            if (err == WSAEWOULDBLOCK)
                return;
            if (err == WSAECONNRESET || err == WSAENOTSOCK || err == WSAENOTCONN || err == WSAEINVAL ||
                err == WSAECONNABORTED) {
                FCloseInvoked = true;
                Close();
                TriggerSessionClosed(static_cast<uint16_t>(err));
                return;
            }
            SocketError("TryToSend failed");
            return;
        }
        chunk->Remove(n);
        if (n < len)
            return;
    }
}

void TCustomZSocket::Flush() {
    DWORD start = GetTickCount();
    DWORD limit = static_cast<DWORD>(std::max(FlushTimeout, 0)) * 1000;
    while (FHSocket != INVALID_SOCKET && !FAllSent) {
        TryToSend();
        if (FAllSent)
            break;
        if (GetTickCount() - start >= limit)
            break;
        MessagePump();
        WaitForMessage(50);
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

void TCustomZSocket::Shutdown(int How) {
    if (FHSocket != INVALID_SOCKET)
        ZSocket_shutdown(FHSocket, How);
}

void TCustomZSocket::Close() {
    InternalClose(true, 0);
}

void TCustomZSocket::CloseDelayed() {
    PostMessageA(FWindowHandle, WM_CLOSE_DELAYED, 0, 0);
}

void TCustomZSocket::Release() {
    PostMessageA(FWindowHandle, WM_ZSOCKET_RELEASE, 0, 0);
}

void TCustomZSocket::Abort() {
    CancelDnsLookup();
    DeleteBufferedData();
    if (FHSocket != INVALID_SOCKET && FState == wsConnected && FProto == IPPROTO_TCP) {
        LingerOnOff = wsLingerOff;
        try {
            SetLingerOption();
        } catch (const ESocketException&) {
            // Aborting goes on whatever the option said.
        }
    }
    InternalClose(false, 0);
}

void TCustomZSocket::InternalClose(bool bShut, uint16_t Error) {
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            AssignDefaultValue();
        }
        return;
    }
    if (FState == wsClosed)
        return;
    // Whatever the owner queued is part of the session: deliver it before saying goodbye.
    if (bShut && !FAllSent && FState == wsConnected && !Destroying())
        Flush();
    if (FHSocket == INVALID_SOCKET || FState == wsClosed)
        return; // the flush saw the peer close the session
    if (bShut)
        ZSocket_shutdown(FHSocket, 1);
    for (;;) {
        if (ZSocket_closesocket(FHSocket) == 0)
            break;
        int err = ZSocket_WSAGetLastError();
        if (err == WSAEWOULDBLOCK) {
            MessagePump();
            continue;
        }
        if (err == WSANOTINITIALISED)
            break;
        FHSocket = INVALID_SOCKET;
        FLastError = err;
        ChangeState(wsClosed);
        AssignDefaultValue();
        RaiseException("Error " + IntToStr(err) + " in function Disconnect (closesocket)\r\n" +
                       ZSocketErrorDesc(err));
        return;
    }
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!Destroying() && !FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(Error);
    }
    AssignDefaultValue();
}

void TCustomZSocket::WaitForClose() {
    while (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        MessagePump();
        u_long n = 0;
        if (ZSocket_ioctlsocket(FHSocket, FIONREAD, &n) != 0)
            break;
        if (n > 0)
            TriggerDataAvailable(0);
        if (FHSocket == INVALID_SOCKET)
            break;
        char c;
        if (ZSocket_recv(FHSocket, &c, 0, 0) < 0 && ZSocket_WSAGetLastError() != WSAEWOULDBLOCK)
            break;
        MessagePump();
        WaitForMessage(50);
    }
}

void TCustomZSocket::Pause() {
    FPaused = true;
    if (FHSocket != INVALID_SOCKET)
        ZSocket_WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

void TCustomZSocket::Resume() {
    FPaused = false;
    if (FHSocket != INVALID_SOCKET)
        ZSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent);
}

// ---------------------------------------------------------------------------------------------
// Message pumping

void TCustomZSocket::MessagePump() {
    if (!MultiThreaded && Application)
        Application->ProcessMessages();
    else
        ProcessMessages();
}

bool TCustomZSocket::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TCustomZSocket::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TCustomZSocket::MessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FTerminated = true;
}

void TCustomZSocket::WaitForMessage(DWORD TimeoutMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, TimeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
