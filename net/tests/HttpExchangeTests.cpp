// The HTTP client against real peers on loopback: the stock Python server over real files, the
// scripted server for what a stock one never does, directly and through SOCKS servers.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PeerSupport.h"

namespace {

std::string Url(int port, const std::string& path, const std::string& host = "127.0.0.1") {
    return "http://" + host + ":" + std::to_string(port) + path;
}

std::string SplitBody() {
    std::string s;
    char line[64];
    for (int i = 0; i < 200; ++i) {
        snprintf(line, sizeof(line), "line %04d of a reply sent in small pieces\r\n", i);
        s += line;
    }
    return s;
}

enum Outcome { Ok, ServerError, Failed };

struct Exchange {
    const char* name;
    std::string url;
    Outcome outcome;
    int32_t status;        // expected StatusCode (for failures: 404)
    std::string body;      // expected body byte for byte (Ok only)
    uint16_t requestError; // expected RequestError (Failed only; 0 = any non-zero)
    DWORD maxMillis;       // the request must be over within this
    THttpRequest method = httpGET;
};

void RunTable(THttpClient& h, const std::vector<Exchange>& table) {
    for (const auto& x : table) {
        SCOPED_TRACE(x.name);
        FetchResult r = Fetch(h, x.url, x.method);
        EXPECT_EQ(r.StateAfter, httpReady);
        EXPECT_LE(r.Millis, x.maxMillis) << "too slow";
        switch (x.outcome) {
        case Ok:
            EXPECT_FALSE(r.Raised) << r.Reason;
            EXPECT_EQ(r.RequestError, 0) << r.Reason;
            EXPECT_EQ(r.Status, x.status);
            EXPECT_EQ(r.Body.size(), x.body.size());
            EXPECT_TRUE(r.Body == x.body) << "body differs";
            break;
        case ServerError:
            EXPECT_TRUE(r.Raised);
            EXPECT_EQ(r.RaisedCode, x.status);
            EXPECT_EQ(r.Status, x.status);
            break;
        case Failed:
            EXPECT_TRUE(r.Raised) << "a failure was reported as success";
            EXPECT_EQ(r.Status, 404);
            EXPECT_NE(r.RequestError, 0) << r.Reason;
            if (x.requestError) {
                EXPECT_EQ(r.RequestError, x.requestError) << r.Reason;
            }
            EXPECT_FALSE(r.Reason.empty());
            break;
        }
    }
}

TEST(HttpExchanges, DirectTable) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    REQUIRE_PEER(fp, "ZEL_NET_FILES_PORT");
    const std::string gpl = ReadPeerFile("GPL-3"), bin = ReadPeerFile("ls.bin");
    ASSERT_GT(gpl.size(), 30000u);
    ASSERT_GT(bin.size(), 100000u);
    THttpClient h(nullptr);
    h.Timeout = 1500;
    std::vector<Exchange> table = {
        {"stock server, text file", Url(fp, "/GPL-3"), Ok, 200, gpl, 0, 8000},
        {"stock server, binary file", Url(fp, "/ls.bin"), Ok, 200, bin, 0, 8000},
        {"stock server by name", Url(fp, "/GPL-3", "localhost"), Ok, 200, gpl, 0, 8000},
        {"stock server, missing file", Url(fp, "/nothing-here"), ServerError, 404, "", 0, 8000},
        {"plain", Url(sp, "/plain"), Ok, 200, "Hello from the scripted server.\r\n", 0, 6000},
        {"many small packets", Url(sp, "/split"), Ok, 200, SplitBody(), 0, 8000},
        {"chunked body ends at the last chunk", Url(sp, "/chunked"), Ok, 200,
         "Hello, chunked world" + std::string(300, '!'), 0, 6000},
        {"Content-Length ends the body", Url(sp, "/keepopen"), Ok, 200, "hello", 0, 6000},
        {"body until close", Url(sp, "/close-no-length"), Ok, 200, std::string(5000, 'y'), 0, 6000},
        {"404", Url(sp, "/404"), ServerError, 404, "", 0, 6000},
        {"500", Url(sp, "/500"), ServerError, 500, "", 0, 6000},
        {"three redirects", Url(sp, "/redirect/3"), Ok, 200, "landed", 0, 6000},
        {"relative redirect", Url(sp, "/redirect-relative"), Ok, 200, "Hello from the scripted server.\r\n",
         0, 6000},
        {"redirect up a folder", Url(sp, "/a/b/page"), Ok, 200, "reached /a/target?from=page", 0, 6000},
        {"interim answers are skipped", Url(sp, "/interim"), Ok, 200, "final", 0, 6000},
        {"switched to another protocol", Url(sp, "/switch"), Failed, 404, "", httperrProtocol, 6000},
        {"absolute redirect to another port", Url(sp, "/redirect-abs/" + std::to_string(fp)), Ok, 200, gpl, 0,
         8000},
        {"redirect loop", Url(sp, "/redirect-loop"), Failed, 404, "", httperrTooManyRedirects, 8000},
        {"redirect to https", Url(sp, "/redirect-https"), Failed, 404, "", httperrRedirectScheme, 6000},
        {"silent server", Url(sp, "/silent"), Failed, 404, "", httperrTimeout, 7000},
        {"silent in the body", Url(sp, "/silent-mid"), Failed, 404, "", httperrTimeout, 7000},
        {"closed in the body", Url(sp, "/close-mid"), Failed, 404, "", httperrClosedEarly, 6000},
        {"closed in the header", Url(sp, "/close-in-header"), Failed, 404, "", 0, 6000},
        {"closed without a word", Url(sp, "/close-at-once"), Failed, 404, "", 0, 6000},
        {"huge header", Url(sp, "/huge-header"), Failed, 404, "", httperrProtocol, 6000},
        {"not HTTP", Url(sp, "/garbage"), Failed, 404, "", httperrProtocol, 6000},
        {"negative length", Url(sp, "/bad-length"), Failed, 404, "", httperrProtocol, 6000},
        {"bad chunk size", Url(sp, "/bad-chunk"), Failed, 404, "", httperrProtocol, 6000},
        {"nobody listens", Url(1, "/"), Failed, 404, "", 10061, 7000},
        {"HEAD ends with the header", Url(sp, "/head"), Ok, 200, "", 0, 6000, httpHEAD},
    };
    const std::string page = ReadPeerFile("users-and-groups.html");
    if (!page.empty())
        table.push_back(
            {"stock server, real web page", Url(fp, "/users-and-groups.html"), Ok, 200, page, 0, 8000});
    RunTable(h, table);

    // A redirect loop stops at the limit.
    Fetch(h, Url(sp, "/redirect-loop"));
    EXPECT_EQ(h.RedirectCount(), h.MaxRedirects + 1);
    h.MaxRedirects = 2;
    FetchResult r = Fetch(h, Url(sp, "/redirect/2"));
    EXPECT_EQ(r.Body, "landed");
    r = Fetch(h, Url(sp, "/redirect/3"));
    EXPECT_TRUE(r.Raised);
    EXPECT_EQ(r.RequestError, httperrTooManyRedirects);
}

TEST(HttpExchanges, ReplyDetails) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    std::vector<std::string> cookies;
    h.OnCookie = [&](TObject*, const std::string& c, bool&) { cookies.push_back(c); };
    FetchResult r = Fetch(h, Url(sp, "/cookie"));
    EXPECT_EQ(r.Body, "ok");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0], "a=1; Path=/");
    EXPECT_EQ(h.AuthHeaders()->Text(), "Basic realm=\"r\"\r\n");
    EXPECT_EQ(h.AcceptRanges(), "bytes");
    EXPECT_EQ(h.ContentType(), "text/plain");
    EXPECT_EQ(h.ContentLength(), 2);
    EXPECT_EQ(h.RcvdHeader()->Strings(0), "HTTP/1.0 200 OK");
    EXPECT_EQ(h.DocName(), "cookie");

    // A program name served as a web page is saved as a page.
    r = Fetch(h, Url(sp, "/dl/setup.exe?v=2"));
    EXPECT_EQ(h.DocName(), "setup.htm");

    // A reply without any header is the document itself.
    r = Fetch(h, Url(sp, "/no-header"));
    EXPECT_FALSE(r.Raised);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Body, "<html><body>no header at all</body></html>\r\nsecond line\n");
    EXPECT_EQ(h.ContentType(), "text/html");

    // HEAD: the header's length is recorded, no body is waited for.
    r = Fetch(h, Url(sp, "/head"), httpHEAD);
    EXPECT_EQ(h.ContentLength(), 1000);
    EXPECT_TRUE(r.Body.empty());
}

TEST(HttpExchanges, RequestHeaderAndCredentials) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    h.Username = "joe";
    h.Password = "pw";
    h.NoCache = true;
    h.Cookie = "k=v";
    FetchResult r = Fetch(h, Url(sp, "/echo?x=1"));
    ASSERT_FALSE(r.Raised) << r.Reason;
    EXPECT_EQ(r.Body.rfind("GET /echo?x=1 HTTP/1.0\r\n", 0), 0u) << r.Body;
    EXPECT_EQ(h.DocName(), "echo");
    EXPECT_NE(r.Body.find("\r\nHost: 127.0.0.1\r\n"), std::string::npos);
    EXPECT_NE(r.Body.find("\r\nAuthorization: Basic am9lOnB3\r\n"), std::string::npos);
    EXPECT_NE(r.Body.find("\r\nPragma: no-cache\r\n"), std::string::npos);
    EXPECT_NE(r.Body.find("\r\nCookie: k=v\r\n"), std::string::npos);
    EXPECT_NE(r.Body.find("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"), std::string::npos);

    h.ContentRangeBegin = "10";
    r = Fetch(h, Url(sp, "/echo"));
    EXPECT_NE(r.Body.find("\r\nRange: bytes=10-\r\n"), std::string::npos) << r.Body;
    EXPECT_TRUE(h.ContentRangeBegin.empty());

    // Same server after a redirect: the credentials still go.
    r = Fetch(h, Url(sp, "/redirect-echo"));
    EXPECT_NE(r.Body.find("Authorization: Basic"), std::string::npos) << r.Body;
    // Another host after a redirect: they stay home.
    r = Fetch(h, Url(sp, "/redirect-other-host"));
    ASSERT_FALSE(r.Raised) << r.Reason;
    EXPECT_NE(r.Body.find("\r\nHost: localhost\r\n"), std::string::npos) << r.Body;
    EXPECT_EQ(r.Body.find("Authorization"), std::string::npos) << r.Body;
}

TEST(HttpExchanges, IfModifiedSinceIsUniversalTime) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    TIME_ZONE_INFORMATION tz{};
    DWORD mode = GetTimeZoneInformation(&tz);
    LONG bias = tz.Bias + (mode == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : 0);
    THttpClient h(nullptr);
    h.ModifiedSince = EncodeDate(2026, 1, 15) + EncodeTime(12, 0, 0, 0); // local time
    FetchResult r = Fetch(h, Url(sp, "/echo"));
    TDateTime utc = h.ModifiedSince + tz.Bias / 1440.0; // January: no daylight saving here
    std::string expected = "If-Modified-Since: " + RFC1123_Date(utc) + " GMT\r\n";
    EXPECT_NE(r.Body.find(expected), std::string::npos) << r.Body << "\nbias " << bias;
    // The wrapper runs the program in a zone east of Greenwich, so the two clocks differ.
    if (std::getenv("TZ")) {
        EXPECT_NE(tz.Bias, 0);
    }
}

TEST(HttpExchanges, PostSendsTheStreamWhole) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    TMemoryStream out;
    std::string payload;
    for (int i = 0; i < 30000; ++i)
        payload += static_cast<char>((i * 7) & 0xFF);
    out.Write(payload.data(), static_cast<int32_t>(payload.size()));
    out.SetPosition(0);
    h.SendStream = &out;
    int sendEnds = 0;
    h.OnSendEnd = [&](TObject*) { ++sendEnds; };
    FetchResult r = Fetch(h, Url(sp, "/post"), httpPOST);
    ASSERT_FALSE(r.Raised) << r.Reason;
    EXPECT_TRUE(r.Body == payload);
    EXPECT_EQ(h.SentCount(), 30000);
    EXPECT_EQ(sendEnds, 1);
}

// A redirected POST: 307 and 308 ask for it again with its whole body; after any other redirect
// the new address is fetched with a GET and no body.
TEST(HttpExchanges, RedirectedPost) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    TMemoryStream out;
    std::string payload;
    for (int i = 0; i < 20000; ++i)
        payload += static_cast<char>((i * 13) & 0xFF);
    out.Write(payload.data(), static_cast<int32_t>(payload.size()));
    h.SendStream = &out;
    const struct {
        const char* code;
        int64_t start; // where the body begins in the stream
        bool repeated;
    } cases[] = {
        {"307", 0, true},  {"308", 0, true},  {"307", 1000, true},
        {"301", 0, false}, {"302", 0, false}, {"303", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " from " + std::to_string(c.start));
        out.SetPosition(c.start);
        FetchResult r = Fetch(h, Url(sp, std::string("/post-redirect/") + c.code), httpPOST);
        ASSERT_FALSE(r.Raised) << r.Reason;
        EXPECT_EQ(r.Redirects, 1);
        if (c.repeated) {
            EXPECT_TRUE(r.Body == payload.substr(static_cast<size_t>(c.start)))
                << "the body was not sent whole";
            EXPECT_EQ(h.SentCount(), static_cast<int32_t>(payload.size() - c.start));
        } else {
            EXPECT_EQ(r.Body.rfind("GET /echo HTTP/1.0\r\n", 0), 0u) << r.Body.substr(0, 200);
            EXPECT_EQ(r.Body.find("Content-Length"), std::string::npos) << r.Body;
            EXPECT_EQ(r.Body.find("Content-Type"), std::string::npos) << r.Body;
        }
        EXPECT_EQ(h.RequestType(), httpPOST) << "the owner's request type changed";
    }
}

TEST(HttpExchanges, ThroughAnHttpProxy) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    // The scripted server plays the proxy: the target name is never looked up or contacted.
    h.Proxy = "127.0.0.1:" + std::to_string(sp);
    h.ProxyUsername = "pu";
    h.ProxyPassword = "pp";
    FetchResult r = Fetch(h, "http://target.invalid/echo");
    ASSERT_FALSE(r.Raised) << r.Reason;
    EXPECT_EQ(r.Body.rfind("GET http://target.invalid/echo HTTP/1.0\r\n", 0), 0u) << r.Body;
    EXPECT_NE(r.Body.find("\r\nHost: target.invalid\r\n"), std::string::npos);
    EXPECT_NE(r.Body.find("\r\nProxy-Authorization: Basic cHU6cHA=\r\n"), std::string::npos);
}

TEST(HttpExchanges, FailuresInsideEventsAndAborts) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    REQUIRE_PEER(fp, "ZEL_NET_FILES_PORT");
    THttpClient h(nullptr);
    h.Timeout = 3000;
    h.OnDocData = [](TObject*, const void*, int32_t) { throw Exception("the owner's handler failed"); };
    FetchResult r = Fetch(h, Url(fp, "/GPL-3"));
    EXPECT_TRUE(r.Raised) << "an exception in an event was reported as success";
    EXPECT_EQ(r.RequestError, httperrEventFailed);
    EXPECT_EQ(r.Reason, "the owner's handler failed");
    EXPECT_EQ(h.State(), httpReady);
    h.OnDocData = nullptr;
    r = Fetch(h, Url(fp, "/GPL-3")); // the client is usable again
    EXPECT_FALSE(r.Raised) << r.Reason;

    // Asynchronous: busy while running, abort ends it as failed, one request-done event.
    int done = 0;
    uint16_t doneError = 0;
    h.OnRequestDone = [&](TObject*, THttpRequest, uint16_t e) {
        ++done;
        doneError = e;
    };
    h.URL = Url(sp, "/silent");
    h.GetASync();
    try {
        h.GetASync();
        FAIL() << "a second request was accepted while busy";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode, httperrBusy);
    }
    EXPECT_TRUE(PumpUntil([&] { return h.State() == httpWaitingHeader; }, 3000));
    h.Abort();
    EXPECT_EQ(h.State(), httpReady);
    EXPECT_TRUE(PumpUntil([&] { return done > 0; }, 2000));
    PumpFor(200);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(doneError, httperrAborted);
    EXPECT_EQ(h.StatusCode(), 404);
    EXPECT_EQ(h.ReasonPhrase(), "Connection aborted on request");
}

TEST(HttpExchanges, SynchronousCallSleepsWhileItWaits) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 1000;
    auto cpu = [] {
        FILETIME c, e, k, u;
        GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
        auto sec = [](FILETIME f) {
            return (static_cast<uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7;
        };
        return sec(k) + sec(u);
    };
    double before = cpu();
    FetchResult r = Fetch(h, Url(sp, "/silent"));
    double used = cpu() - before;
    EXPECT_EQ(r.RequestError, httperrTimeout);
    EXPECT_GE(r.Millis, 900u);
    EXPECT_LT(used, 0.4) << "the wait spun instead of sleeping";
}

// ------------------------------------------------------------------------------------------------
// Through SOCKS servers

struct SocksRoute {
    const char* name;
    const char* portVar;
    const char* level;
    const char* user;
    const char* pass;
};

TEST(HttpExchanges, ThroughSocksServers) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    REQUIRE_PEER(fp, "ZEL_NET_FILES_PORT");
    const std::string gpl = ReadPeerFile("GPL-3");
    const SocksRoute routes[] = {
        {"stock SOCKS5", "ZEL_NET_MICROSOCKS_PORT", "5", "", ""},
        {"stock SOCKS5 with password", "ZEL_NET_MICROSOCKS_AUTH_PORT", "5", "zeluser", "zelpass"},
        {"scripted SOCKS5", "ZEL_NET_SOCKS5STUB_PORT", "5", "", ""},
        {"scripted SOCKS5 with password", "ZEL_NET_SOCKS5STUB_PORT", "5", "alice", "wonderland"},
        {"scripted SOCKS4", "ZEL_NET_SOCKS4_PORT", "4", "", ""},
        {"scripted SOCKS4A", "ZEL_NET_SOCKS4_PORT", "4A", "someone", ""},
    };
    int ran = 0;
    for (const auto& route : routes) {
        int port = PeerPort(route.portVar);
        if (!port)
            continue;
        ++ran;
        SCOPED_TRACE(route.name);
        THttpClient h(nullptr);
        h.Timeout = 3000;
        h.SocksServer = "127.0.0.1";
        h.SocksPort = std::to_string(port);
        h.SocksLevel = route.level;
        if (*route.user) {
            h.SocksUsercode = route.user;
            h.SocksPassword = route.pass;
            h.SocksAuthentication = *route.pass ? socksAuthenticateUsercode : socksNoAuthentication;
        }
        std::vector<Exchange> table = {
            {"plain", Url(sp, "/plain", "localhost"), Ok, 200, "Hello from the scripted server.\r\n", 0,
             6000},
            {"real file", Url(fp, "/GPL-3"), Ok, 200, gpl, 0, 8000},
            {"chunked", Url(sp, "/chunked"), Ok, 200, "Hello, chunked world" + std::string(300, '!'), 0,
             6000},
            {"redirects", Url(sp, "/redirect/2"), Ok, 200, "landed", 0, 7000},
            {"404", Url(sp, "/404"), ServerError, 404, "", 0, 6000},
            {"closed in the body", Url(sp, "/close-mid"), Failed, 404, "", httperrClosedEarly, 6000},
            {"nobody listens behind the server", Url(1, "/"), Failed, 404, "", 0, 7000},
        };
        RunTable(h, table);
    }
    if (ran < 4)
        GTEST_SKIP() << "some SOCKS servers were not there";
}

// Mutated real replies: whatever the server sends, the request ends, and a success is a
// well-formed one.
TEST(HttpExchanges, GarbageRepliesNeverCrashOrPassAsSuccess) {
    REQUIRE_PEER(sp, "ZEL_NET_HTTP_PORT");
    THttpClient h(nullptr);
    h.Timeout = 700;
    h.MaxRedirects = 3;
    int ok = 0, failed = 0;
    for (int seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE(seed);
        FetchResult r = Fetch(h, Url(sp, "/fuzz/" + std::to_string(seed)));
        ASSERT_EQ(r.StateAfter, httpReady);
        ASSERT_LT(r.Millis, 5000u);
        if (r.Raised || r.RequestError) {
            ++failed;
            EXPECT_GE(r.Status, 400);
            continue;
        }
        ++ok;
        // A success has a real status, or is the header-less document form.
        EXPECT_TRUE(r.Status == 0 || (r.Status >= 100 && r.Status <= 399)) << r.Status;
        if (h.ContentLength() >= 0 && r.Status != 0) {
            EXPECT_LE(static_cast<int32_t>(r.Body.size()), h.ContentLength());
        }
    }
    EXPECT_GT(ok + failed, 0);
    RecordProperty("fuzz_ok", ok);
    RecordProperty("fuzz_failed", failed);
}

} // namespace
