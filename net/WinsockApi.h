#pragma once
// Windows Sockets 1.1, bound at run time from wsock32.dll. Each ZSocket_ function resolves its
// export on first call and keeps it; a missing library or export raises ESocketException.

#include "framework/core/Win.h"

#include <winsock2.h>

#include <cstdint>

#include "framework/core/Exceptions.h"

ZEL_DECLARE_EXCEPTION(ESocketException, Exception)

inline constexpr const char* ZSocketLibName = "wsock32.dll";

// The library is loaded (and started with version 1.1) on first need.
void ZSocketLoadWinsock();
// WSACleanup, free the library and forget every cached entry point.
void ZSocketUnloadWinsock();
bool ZSocketWinsockLoaded();
// Keeps the library loaded while no socket lives (once; the cancel undoes it).
void ZSocketForceLoadWinsock();
void ZSocketCancelForceLoadWinsock();
// Live-socket accounting: the last socket to go unloads the library.
void ZSocketAddUser();
void ZSocketReleaseUser();
// Loads the library if needed and returns a copy of its start-up record.
WSADATA WinsockInfo();

int ZSocket_WSAStartup(WORD version, LPWSADATA data);
int ZSocket_WSACleanup();
void ZSocket_WSASetLastError(int error);
int ZSocket_WSAGetLastError();
int ZSocket_WSACancelAsyncRequest(HANDLE request);
HANDLE ZSocket_WSAAsyncGetHostByName(HWND wnd, u_int msg, const char* name, char* buf, int buflen);
HANDLE ZSocket_WSAAsyncGetHostByAddr(HWND wnd, u_int msg, const char* addr, int len, int type, char* buf,
                                     int buflen);
int ZSocket_WSAAsyncSelect(SOCKET s, HWND wnd, u_int msg, long events);
struct servent* ZSocket_getservbyname(const char* name, const char* proto);
struct protoent* ZSocket_getprotobyname(const char* name);
struct hostent* ZSocket_gethostbyname(const char* name);
struct hostent* ZSocket_gethostbyaddr(const char* addr, int len, int type);
int ZSocket_gethostname(char* name, int namelen);
SOCKET ZSocket_socket(int af, int type, int protocol);
int ZSocket_shutdown(SOCKET s, int how);
int ZSocket_setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int ZSocket_getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen);
int ZSocket_sendto(SOCKET s, const char* buf, int len, int flags, const struct sockaddr* to, int tolen);
int ZSocket_send(SOCKET s, const char* buf, int len, int flags);
u_short ZSocket_ntohs(u_short v);
u_long ZSocket_ntohl(u_long v);
int ZSocket_listen(SOCKET s, int backlog);
int ZSocket_ioctlsocket(SOCKET s, long cmd, u_long* argp);
char* ZSocket_inet_ntoa(struct in_addr in);
unsigned long ZSocket_inet_addr(const char* cp);
u_short ZSocket_htons(u_short v);
u_long ZSocket_htonl(u_long v);
int ZSocket_getsockname(SOCKET s, struct sockaddr* name, int* namelen);
int ZSocket_getpeername(SOCKET s, struct sockaddr* name, int* namelen);
int ZSocket_connect(SOCKET s, const struct sockaddr* name, int namelen);
int ZSocket_closesocket(SOCKET s);
int ZSocket_bind(SOCKET s, const struct sockaddr* addr, int namelen);
SOCKET ZSocket_accept(SOCKET s, struct sockaddr* addr, int* addrlen);
int ZSocket_recv(SOCKET s, char* buf, int len, int flags);
int ZSocket_recvfrom(SOCKET s, char* buf, int len, int flags, struct sockaddr* from, int* fromlen);
