#pragma once
// A server on loopback that takes the connection and never answers: whatever asks it waits.

#include <winsock2.h>

struct TSilentServer {
    SOCKET Listener = INVALID_SOCKET;
    int Port = 0;
    TSilentServer() {
        WSADATA Data;
        WSAStartup(MAKEWORD(2, 2), &Data);
        Listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(Listener, reinterpret_cast<sockaddr*>(&A), sizeof A);
        listen(Listener, 4);
        int Len = sizeof A;
        getsockname(Listener, reinterpret_cast<sockaddr*>(&A), &Len);
        Port = ntohs(A.sin_port);
    }
    ~TSilentServer() {
        closesocket(Listener);
        WSACleanup();
    }
    TSilentServer(const TSilentServer&) = delete;
    TSilentServer& operator=(const TSilentServer&) = delete;
};
