#include "net/WinsockApi.h"

#include <cstring>
#include <string>

#include "framework/core/SysUtils.h"

namespace {

HMODULE gLib = nullptr;
WSADATA gData{};
int gUsers = 0;
bool gForced = false;

// Every cached entry point registers here so that unloading can forget them all.
constexpr int MaxProcs = 40;
FARPROC* gSlots[MaxProcs];
int gSlotCount = 0;

FARPROC ZSocketGetProc(const char* name, FARPROC& slot) {
    if (slot)
        return slot;
    ZSocketLoadWinsock();
    FARPROC p = GetProcAddress(gLib, name);
    if (!p)
        throw ESocketException(std::string("Procedure ") + name + " not found in " + ZSocketLibName +
                               " Error #" + IntToStr(GetLastError()));
    bool known = false;
    for (int i = 0; i < gSlotCount; ++i)
        known = known || gSlots[i] == &slot;
    if (!known && gSlotCount < MaxProcs)
        gSlots[gSlotCount++] = &slot;
    slot = p;
    return p;
}

template <class Fn> Fn Bind(const char* name, FARPROC& slot) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(ZSocketGetProc(name, slot)));
}

} // namespace

void ZSocketLoadWinsock() {
    if (gLib)
        return;
    HMODULE lib = LoadLibraryA(ZSocketLibName);
    if (!lib)
        throw ESocketException(std::string("Unable to load ") + ZSocketLibName + " Error #" +
                               IntToStr(GetLastError()));
    using StartupFn = int(WINAPI*)(WORD, LPWSADATA);
    auto startup = reinterpret_cast<StartupFn>(reinterpret_cast<void*>(GetProcAddress(lib, "WSAStartup")));
    if (!startup) {
        DWORD err = GetLastError();
        FreeLibrary(lib);
        throw ESocketException(std::string("Procedure WSAStartup not found in ") + ZSocketLibName +
                               " Error #" + IntToStr(err));
    }
    int rc = startup(0x101, &gData);
    if (rc != 0) {
        FreeLibrary(lib);
        throw ESocketException(Format("%s: WSAStartup error #%d", ZSocketLibName, rc));
    }
    gLib = lib;
}

bool ZSocketWinsockLoaded() {
    return gLib != nullptr;
}

void ZSocketUnloadWinsock() {
    if (gLib) {
        using CleanupFn = int(WINAPI*)();
        auto cleanup =
            reinterpret_cast<CleanupFn>(reinterpret_cast<void*>(GetProcAddress(gLib, "WSACleanup")));
        if (cleanup)
            cleanup();
        FreeLibrary(gLib);
        gLib = nullptr;
    }
    for (int i = 0; i < gSlotCount; ++i)
        *gSlots[i] = nullptr;
    gSlotCount = 0;
    gUsers = 0;
    gForced = false;
}

void ZSocketForceLoadWinsock() {
    if (gForced)
        return;
    gForced = true;
    ++gUsers;
    ZSocketLoadWinsock();
}

void ZSocketCancelForceLoadWinsock() {
    if (!gForced)
        return;
    gForced = false;
    if (--gUsers <= 0)
        ZSocketUnloadWinsock();
}

void ZSocketAddUser() {
    ++gUsers;
}

void ZSocketReleaseUser() {
    if (--gUsers < 1)
        ZSocketUnloadWinsock();
}

WSADATA WinsockInfo() {
    ZSocketLoadWinsock();
    WSADATA copy = gData;
    if (gUsers < 1)
        ZSocketUnloadWinsock();
    return copy;
}

#define ZSOCKET_THUNK(Ret, Name, Params, Args)                                                               \
    Ret ZSocket_##Name Params {                                                                              \
        static FARPROC slot = nullptr;                                                                       \
        using Fn = Ret(WINAPI*) Params;                                                                      \
        return Bind<Fn>(#Name, slot) Args;                                                                   \
    }

ZSOCKET_THUNK(int, WSAStartup, (WORD version, LPWSADATA data), (version, data))
ZSOCKET_THUNK(int, WSACleanup, (), ())
ZSOCKET_THUNK(void, WSASetLastError, (int error), (error))
ZSOCKET_THUNK(int, WSAGetLastError, (), ())
ZSOCKET_THUNK(int, WSACancelAsyncRequest, (HANDLE request), (request))
ZSOCKET_THUNK(HANDLE, WSAAsyncGetHostByName, (HWND wnd, u_int msg, const char* name, char* buf, int buflen),
              (wnd, msg, name, buf, buflen))
ZSOCKET_THUNK(HANDLE, WSAAsyncGetHostByAddr,
              (HWND wnd, u_int msg, const char* addr, int len, int type, char* buf, int buflen),
              (wnd, msg, addr, len, type, buf, buflen))
ZSOCKET_THUNK(int, WSAAsyncSelect, (SOCKET s, HWND wnd, u_int msg, long events), (s, wnd, msg, events))
ZSOCKET_THUNK(struct servent*, getservbyname, (const char* name, const char* proto), (name, proto))
ZSOCKET_THUNK(struct protoent*, getprotobyname, (const char* name), (name))
ZSOCKET_THUNK(struct hostent*, gethostbyname, (const char* name), (name))
ZSOCKET_THUNK(struct hostent*, gethostbyaddr, (const char* addr, int len, int type), (addr, len, type))
ZSOCKET_THUNK(int, gethostname, (char* name, int namelen), (name, namelen))
ZSOCKET_THUNK(SOCKET, socket, (int af, int type, int protocol), (af, type, protocol))
ZSOCKET_THUNK(int, shutdown, (SOCKET s, int how), (s, how))
ZSOCKET_THUNK(int, setsockopt, (SOCKET s, int level, int optname, const char* optval, int optlen),
              (s, level, optname, optval, optlen))
ZSOCKET_THUNK(int, getsockopt, (SOCKET s, int level, int optname, char* optval, int* optlen),
              (s, level, optname, optval, optlen))
ZSOCKET_THUNK(int, sendto,
              (SOCKET s, const char* buf, int len, int flags, const struct sockaddr* to, int tolen),
              (s, buf, len, flags, to, tolen))
ZSOCKET_THUNK(int, send, (SOCKET s, const char* buf, int len, int flags), (s, buf, len, flags))
ZSOCKET_THUNK(u_short, ntohs, (u_short v), (v))
ZSOCKET_THUNK(u_long, ntohl, (u_long v), (v))
ZSOCKET_THUNK(int, listen, (SOCKET s, int backlog), (s, backlog))
ZSOCKET_THUNK(int, ioctlsocket, (SOCKET s, long cmd, u_long* argp), (s, cmd, argp))
ZSOCKET_THUNK(char*, inet_ntoa, (struct in_addr in), (in))
ZSOCKET_THUNK(unsigned long, inet_addr, (const char* cp), (cp))
ZSOCKET_THUNK(u_short, htons, (u_short v), (v))
ZSOCKET_THUNK(u_long, htonl, (u_long v), (v))
ZSOCKET_THUNK(int, getsockname, (SOCKET s, struct sockaddr* name, int* namelen), (s, name, namelen))
ZSOCKET_THUNK(int, getpeername, (SOCKET s, struct sockaddr* name, int* namelen), (s, name, namelen))
ZSOCKET_THUNK(int, connect, (SOCKET s, const struct sockaddr* name, int namelen), (s, name, namelen))
ZSOCKET_THUNK(int, closesocket, (SOCKET s), (s))
ZSOCKET_THUNK(int, bind, (SOCKET s, const struct sockaddr* addr, int namelen), (s, addr, namelen))
ZSOCKET_THUNK(SOCKET, accept, (SOCKET s, struct sockaddr* addr, int* addrlen), (s, addr, addrlen))
ZSOCKET_THUNK(int, recv, (SOCKET s, char* buf, int len, int flags), (s, buf, len, flags))
ZSOCKET_THUNK(int, recvfrom, (SOCKET s, char* buf, int len, int flags, struct sockaddr* from, int* fromlen),
              (s, buf, len, flags, from, fromlen))
