#pragma once
// Shared pieces of the tests that talk to real peers on loopback: the ports the wrapper script
// passed in the environment, message pumping with a deadline, and one HTTP fetch.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "net/HttpClient.h"

inline int PeerPort(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : 0;
}

#define REQUIRE_PEER(var, name)                                                                              \
    const int var = PeerPort(name);                                                                          \
    if (var == 0)                                                                                            \
        GTEST_SKIP() << name << " is not set: run through run-with-peers.sh";

// Handles messages until Done() holds or TimeoutMs passes; answers Done().
template <class F> bool PumpUntil(F Done, DWORD TimeoutMs) {
    DWORD start = GetTickCount();
    while (!Done()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (Done())
            break;
        if (GetTickCount() - start >= TimeoutMs)
            return false;
        TCustomZSocket::WaitForMessage(20);
    }
    return true;
}

inline void PumpFor(DWORD Ms) {
    PumpUntil([] { return false; }, Ms);
}

inline std::string ReadPeerFile(const std::string& name) {
    const char* dir = std::getenv("ZEL_NET_FILES_DIR");
    if (!dir)
        return "";
    std::ifstream f(std::string(dir) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

struct FetchResult {
    int32_t Status = 0;
    std::string Reason;
    std::string Body;
    uint16_t RequestError = 0;
    bool Raised = false;
    uint16_t RaisedCode = 0;
    DWORD Millis = 0;
    int32_t Redirects = 0;
    THttpState StateAfter = httpAborting;
};

inline FetchResult Fetch(THttpClient& H, const std::string& Url, THttpRequest Rq = httpGET) {
    TMemoryStream body;
    H.URL = Url;
    H.RcvdStream = &body;
    FetchResult r;
    DWORD start = GetTickCount();
    try {
        if (Rq == httpHEAD)
            H.Head();
        else if (Rq == httpPOST)
            H.Post();
        else
            H.Get();
    } catch (const EHttpException& e) {
        r.Raised = true;
        r.RaisedCode = e.ErrorCode;
    }
    r.Millis = GetTickCount() - start;
    r.Status = H.StatusCode();
    r.Reason = H.ReasonPhrase();
    r.RequestError = H.RequestError();
    r.Body.assign(body.Memory(), static_cast<size_t>(body.Size()));
    r.Redirects = H.RedirectCount();
    r.StateAfter = H.State();
    H.RcvdStream = nullptr;
    return r;
}
