// TCustomZSocket's name lookups (answered through its hidden window) and the addresses of a session.

#include "net/ZSocket.h"

#include <cstring>

#include "framework/core/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// Name lookups

void TCustomZSocket::DnsLookup(const std::string& HostName) {
    if (HostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList->Clear();
    unsigned long a = ZSocket_inet_addr(HostName.c_str());
    if (a != INADDR_NONE || Trim(HostName) == "255.255.255.255") {
        FDnsResult = ZSocketDottedAddr(static_cast<uint32_t>(a));
        FDnsResultList->Add(FDnsResult);
        TriggerDNSLookupDone(0);
        return;
    }
    FDnsLookupCheckMsg = false;
    HANDLE h = ZSocket_WSAAsyncGetHostByName(FWindowHandle, WM_ASYNCGETHOSTBYNAME, HostName.c_str(),
                                             FDnsLookupBuffer, sizeof(FDnsLookupBuffer));
    if (!h) {
        RaiseExceptionFmt(
            Format("%s: can't start DNS lookup, error #%d", HostName.c_str(), ZSocket_WSAGetLastError()));
        return;
    }
    FDnsLookupHandle = h;
    if (FDnsLookupCheckMsg) {
        FDnsLookupCheckMsg = false;
        WMAsyncGetHostByName(FDnsLookupTempMsg.wParam, FDnsLookupTempMsg.lParam);
    }
}

void TCustomZSocket::ReverseDnsLookup(const std::string& HostAddr) {
    if (HostAddr.empty() || HostAddr.size() > 256) {
        RaiseException("ReverseDnsLookup: Invalid host name.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList->Clear();
    uint32_t a = static_cast<uint32_t>(ZSocket_inet_addr(HostAddr.c_str()));
    HANDLE h =
        ZSocket_WSAAsyncGetHostByAddr(FWindowHandle, WM_ASYNCGETHOSTBYADDR, reinterpret_cast<const char*>(&a),
                                      4, AF_INET, FDnsLookupBuffer, sizeof(FDnsLookupBuffer));
    if (!h) {
        RaiseExceptionFmt(
            Format("%s: can't start DNS lookup, error #%d", HostAddr.c_str(), ZSocket_WSAGetLastError()));
        return;
    }
    FDnsLookupHandle = h;
}

void TCustomZSocket::CancelDnsLookup() {
    if (!FDnsLookupHandle)
        return;
    if (ZSocket_WSACancelAsyncRequest(FDnsLookupHandle) != 0) {
        FDnsLookupHandle = nullptr;
        SocketError("WSACancelAsyncRequest");
        return;
    }
    FDnsLookupHandle = nullptr;
    if (!Destroying())
        TriggerDNSLookupDone(WSAEINTR);
}

void TCustomZSocket::WMAsyncGetHostByName(WPARAM WParam, LPARAM LParam) {
    if (!FDnsLookupHandle) {
        // The answer can come before the request's handle was stored.
        FDnsLookupCheckMsg = true;
        FDnsLookupTempMsg.wParam = WParam;
        FDnsLookupTempMsg.lParam = LParam;
        return;
    }
    if (reinterpret_cast<HANDLE>(WParam) != FDnsLookupHandle)
        return;
    FDnsLookupHandle = nullptr;
    uint16_t err = WSAGETASYNCERROR(LParam);
    if (err == 0) {
        auto* he = reinterpret_cast<hostent*>(FDnsLookupBuffer);
        for (int i = 0; he->h_addr_list && he->h_addr_list[i]; ++i) {
            uint32_t a;
            std::memcpy(&a, he->h_addr_list[i], 4);
            FDnsResultList->Add(ZSocketDottedAddr(a));
        }
        if (FDnsResultList->Count() > 0)
            FDnsResult = FDnsResultList->Strings(0);
    }
    TriggerDNSLookupDone(err);
}

void TCustomZSocket::WMAsyncGetHostByAddr(WPARAM WParam, LPARAM LParam) {
    if (reinterpret_cast<HANDLE>(WParam) != FDnsLookupHandle)
        return;
    FDnsLookupHandle = nullptr;
    uint16_t err = WSAGETASYNCERROR(LParam);
    if (err == 0) {
        auto* he = reinterpret_cast<hostent*>(FDnsLookupBuffer);
        FDnsResult = he->h_name ? he->h_name : "";
        FDnsResultList->Add(FDnsResult);
    }
    TriggerDNSLookupDone(err);
}

// ---------------------------------------------------------------------------------------------
// Addresses

namespace {

// The IPv4 name the stack gives one end of Socket; false where it gives none.
bool QueryName(int (*Query)(SOCKET, sockaddr*, int*), SOCKET Socket, sockaddr_in& Name) {
    Name = sockaddr_in{};
    int len = sizeof(Name);
    return Query(Socket, reinterpret_cast<sockaddr*>(&Name), &len) == 0;
}

bool HasLocalName(TSocketState State) {
    return State == wsBound || State == wsConnected || State == wsListening;
}

} // namespace

std::string TCustomZSocket::GetPeerAddr() {
    if (FState != wsConnected)
        return "error";
    sockaddr_in a;
    if (!QueryName(ZSocket_getpeername, FHSocket, a)) {
        SocketError("GetPeerName");
        return "error";
    }
    return ZSocketDottedAddr(a.sin_addr.s_addr);
}

std::string TCustomZSocket::GetPeerPort() {
    if (FState != wsConnected)
        return "error";
    sockaddr_in a;
    if (!QueryName(ZSocket_getpeername, FHSocket, a)) {
        SocketError("GetPeerPort");
        return "error";
    }
    return IntToStr(ZSocket_ntohs(a.sin_port));
}

int TCustomZSocket::GetPeerName(sockaddr_in& Name, int NameLen) {
    if (FState != wsConnected)
        return -1;
    return ZSocket_getpeername(FHSocket, reinterpret_cast<sockaddr*>(&Name), &NameLen);
}

std::string TCustomZSocket::GetXPort() {
    sockaddr_in a;
    if (!HasLocalName(FState) || !QueryName(ZSocket_getsockname, FHSocket, a))
        return "error";
    return Format("%d", static_cast<int>(ZSocket_ntohs(a.sin_port)));
}

std::string TCustomZSocket::GetXAddr() {
    sockaddr_in a;
    if (!HasLocalName(FState) || !QueryName(ZSocket_getsockname, FHSocket, a))
        return "error";
    return ZSocketDottedAddr(a.sin_addr.s_addr);
}

int TCustomZSocket::GetSockName(sockaddr_in& SockName, int& SockNameLen) {
    return ZSocket_getsockname(FHSocket, reinterpret_cast<sockaddr*>(&SockName), &SockNameLen);
}
