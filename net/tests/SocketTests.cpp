// The socket layers on loopback: a listening TZSocket in this process is the peer for the core
// and line-mode behaviour; the scripted and stock SOCKS servers for the negotiation.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PeerSupport.h"

namespace {

// A listener that accepts one session into a server-side socket and keeps what it receives.
struct LoopbackPair {
    TZSocket listener{nullptr};
    TZSocket server{nullptr};
    TZSocket client{nullptr};
    std::string serverGot;
    bool serverClosed = false;
    uint16_t serverCloseError = 0xFFFF;
    bool clientConnected = false;

    explicit LoopbackPair(bool autoRead = true) {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TObject*, uint16_t) { server.Dup(listener.Accept()); };
        if (autoRead)
            server.OnDataAvailable = [this](TObject*, uint16_t) {
                char buf[8192];
                int n = server.Receive(buf, sizeof(buf));
                if (n > 0)
                    serverGot.append(buf, static_cast<size_t>(n));
            };
        server.OnSessionClosed = [this](TObject*, uint16_t e) {
            serverClosed = true;
            serverCloseError = e;
        };
        listener.Listen();
        client.OnSessionConnected = [this](TObject*, uint16_t e) { clientConnected = e == 0; };
        client.SetAddr("127.0.0.1");
        client.SetPort(listener.GetXPort());
        client.Connect();
        EXPECT_TRUE(PumpUntil([this] { return clientConnected && server.State() == wsConnected; }, 3000));
    }
};

TEST(ZSocketCore, StateChangesSendAndClose) {
    LoopbackPair p;
    ASSERT_EQ(p.client.State(), wsConnected);
    EXPECT_EQ(p.client.PeerAddr(), "127.0.0.1");
    EXPECT_EQ(p.client.PeerPort(), p.listener.GetXPort());
    EXPECT_THROW(p.client.SetPort("81"), ESocketException);
    try {
        p.client.SetPort("81");
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Cannot change Port if not closed");
    }

    // Data that goes out at once still reports "sent" from the message loop, not from Send.
    int sentEvents = 0;
    p.client.OnDataSent = [&](TObject*, uint16_t) { ++sentEvents; };
    p.client.SendStr("ping");
    EXPECT_EQ(sentEvents, 0);
    EXPECT_TRUE(PumpUntil([&] { return sentEvents == 1 && p.serverGot == "ping"; }, 3000));
}

// Datagrams: a bound receiver reads each with its sender's address, and answers it with SendTo.
TEST(ZSocketCore, UdpDatagramsBothWaysOnLoopback) {
    TZSocket receiver{nullptr}, sender{nullptr};
    std::string receiverGot, senderGot;
    sockaddr_in from{};
    receiver.SetProto("udp");
    receiver.SetAddr("127.0.0.1");
    receiver.SetPort("0");
    receiver.OnDataAvailable = [&](TObject*, uint16_t) {
        char buf[512];
        int len = sizeof(from);
        int n = receiver.ReceiveFrom(buf, sizeof(buf), from, len);
        if (n > 0)
            receiverGot.assign(buf, static_cast<size_t>(n));
    };
    receiver.Listen();
    ASSERT_EQ(receiver.State(), wsConnected);
    ASSERT_NE(receiver.GetXPort(), "0");

    sender.SetProto("udp");
    sender.SetAddr("127.0.0.1");
    sender.SetPort(receiver.GetXPort());
    sender.OnDataAvailable = [&](TObject*, uint16_t) {
        char buf[512];
        int n = sender.Receive(buf, sizeof(buf));
        if (n > 0)
            senderGot.assign(buf, static_cast<size_t>(n));
    };
    sender.Connect();
    ASSERT_EQ(sender.State(), wsConnected);
    sender.SendStr("datagram one");
    ASSERT_TRUE(PumpUntil([&] { return receiverGot == "datagram one"; }, 3000));
    const auto* ip = reinterpret_cast<const uint8_t*>(&from.sin_addr);
    EXPECT_EQ(std::vector<int>({ip[0], ip[1], ip[2], ip[3]}), std::vector<int>({127, 0, 0, 1}));

    EXPECT_EQ(receiver.SendTo(from, sizeof(from), "answer", 6), 6);
    EXPECT_TRUE(PumpUntil([&] { return senderGot == "answer"; }, 3000));
}

TEST(ZSocketCore, CloseDeliversEverythingQueued) {
    LoopbackPair p;
    std::string payload;
    for (int i = 0; i < 3 * 1024 * 1024; ++i)
        payload += static_cast<char>('a' + i % 26);
    p.client.SendStr(payload);
    // Closing at once must neither reset the connection nor drop what is still queued.
    p.client.Close();
    EXPECT_EQ(p.client.State(), wsClosed);
    EXPECT_TRUE(PumpUntil([&] { return p.serverClosed; }, 10000));
    EXPECT_EQ(p.serverCloseError, 0);
    EXPECT_EQ(p.serverGot.size(), payload.size());
    EXPECT_TRUE(p.serverGot == payload);
}

TEST(ZSocketCore, HandlerThatReadsNothingDoesNotSpin) {
    LoopbackPair p(false);
    int calls = 0;
    bool read = false;
    std::string got;
    p.server.OnDataAvailable = [&](TObject*, uint16_t) {
        ++calls;
        if (read) {
            got += p.server.ReceiveStr();
        }
    };
    p.client.SendStr("hello");
    EXPECT_TRUE(PumpUntil([&] { return calls > 0; }, 3000));
    PumpFor(300);
    EXPECT_LE(calls, 3) << "the receive loop called a handler that took nothing again and again";
    // Once the owner reads, the data is all there.
    read = true;
    got += p.server.ReceiveStr();
    EXPECT_EQ(got, "hello");
}

TEST(ZSocketCore, CloseNotificationDrainsDataFirst) {
    LoopbackPair p(false);
    std::vector<std::string> events;
    p.server.OnDataAvailable = [&](TObject*, uint16_t) {
        std::string s = p.server.ReceiveStr();
        if (!s.empty())
            events.push_back("data:" + s);
    };
    p.server.OnSessionClosed = [&](TObject*, uint16_t) { events.push_back("closed"); };
    p.client.SendStr("last words");
    p.client.Close();
    EXPECT_TRUE(PumpUntil([&] { return !events.empty() && events.back() == "closed"; }, 3000));
    std::string all;
    for (auto& e : events)
        all += e + "|";
    EXPECT_EQ(all, "data:last words|closed|");
}

TEST(LineMode, LinesSplitAndJoined) {
    LoopbackPair p(false);
    std::vector<std::string> lines;
    p.server.SetLineMode(true);
    p.server.OnDataAvailable = [&](TObject*, uint16_t) {
        std::string s = p.server.ReceiveStr();
        if (!s.empty())
            lines.push_back(s);
    };
    p.client.SendStr("one\r\ntwo\r\nthr");
    EXPECT_TRUE(PumpUntil([&] { return lines.size() == 2; }, 3000));
    PumpFor(100);
    ASSERT_EQ(lines.size(), 2u) << "a line was offered before its end arrived";
    EXPECT_EQ(lines[0], "one\r\n");
    EXPECT_EQ(lines[1], "two\r\n");
    p.client.SendStr("ee\r\n");
    EXPECT_TRUE(PumpUntil([&] { return lines.size() == 3; }, 3000));
    EXPECT_EQ(lines[2], "three\r\n");
    // What is left at the close comes as one last line.
    p.client.SendStr("tail");
    p.client.Close();
    EXPECT_TRUE(PumpUntil([&] { return lines.size() == 4; }, 3000));
    EXPECT_EQ(lines[3], "tail");
}

TEST(LineMode, EditingEchoAndLimit) {
    LoopbackPair p(false);
    std::string echoed;
    p.client.OnDataAvailable = [&](TObject*, uint16_t) { echoed += p.client.ReceiveStr(); };
    std::vector<std::string> lines;
    p.server.SetLineMode(true);
    p.server.LineEdit = true;
    p.server.LineEcho = true;
    p.server.OnDataAvailable = [&](TObject*, uint16_t) { lines.push_back(p.server.ReceiveStr()); };
    p.client.SendStr("ab\bc\r\n");
    EXPECT_TRUE(PumpUntil([&] { return !lines.empty() && echoed.size() >= 8; }, 3000));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "ac\r\n");
    EXPECT_EQ(echoed, std::string("ab\b \bc\r\n"));

    p.server.LineEdit = false;
    p.server.LineEcho = false;
    p.server.LineLimit = 100;
    int32_t exceeded = 0;
    p.server.OnLineLimitExceeded = [&](TObject*, int32_t n, bool&) { exceeded = n; };
    p.client.SendStr(std::string(150, 'z'));
    EXPECT_TRUE(PumpUntil([&] { return exceeded > 0; }, 3000));
    EXPECT_EQ(exceeded, 150);
    EXPECT_EQ(p.server.HeldCount(), 0);
}

TEST(ZSocketCore, ExceptionInAnEventClosesTheSession) {
    LoopbackPair p;
    int bg = 0;
    std::string text;
    p.client.OnBgException = [&](TObject*, const std::exception& e, bool&) {
        ++bg;
        text = e.what();
    };
    PostMessageA(p.client.Handle(), WM_TRIGGER_EXCEPTION, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return bg == 1 && p.serverClosed; }, 3000));
    EXPECT_EQ(text, "Test exception in ZSocket");
    EXPECT_EQ(p.client.State(), wsClosed);

    // A handler may keep the session open.
    LoopbackPair q;
    q.client.OnBgException = [&](TObject*, const std::exception&, bool& canClose) { canClose = false; };
    q.client.OnDataAvailable = [](TObject*, uint16_t) { throw Exception("handler failed"); };
    q.server.SendStr("x");
    PumpFor(200);
    EXPECT_EQ(q.client.State(), wsConnected);
}

TEST(ZSocketCore, NameLookupAnswersThroughTheMessageLoop) {
    TZSocket s(nullptr);
    bool done = false;
    uint16_t err = 1;
    s.OnDnsLookupDone = [&](TObject*, uint16_t e) {
        done = true;
        err = e;
    };
    s.DnsLookup("localhost");
    EXPECT_TRUE(PumpUntil([&] { return done; }, 5000));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    EXPECT_GE(s.DnsResultList()->Count(), 1);
}

double CpuSeconds() {
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    auto sec = [](FILETIME f) {
        return (static_cast<uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7;
    };
    return sec(k) + sec(u);
}

TEST(SyncWait, ReadLineWaitsWithoutSpinning) {
    LoopbackPair p;
    p.server.OnDataAvailable = nullptr;
    p.client.SendStr("first line\r\npartial");
    std::string line;
    p.server.ReadLine(-2000, line);
    EXPECT_EQ(line, "first line\r\n");

    // Nothing more comes: the wait ends at its time-out with what was held, and sleeps meanwhile.
    double cpu0 = CpuSeconds();
    DWORD t0 = GetTickCount();
    p.server.ReadLine(-600, line);
    DWORD waited = GetTickCount() - t0;
    double cpu = CpuSeconds() - cpu0;
    EXPECT_EQ(line, "partial");
    EXPECT_GE(waited, 550u);
    EXPECT_LT(waited, 2000u);
    EXPECT_LT(cpu, 0.3) << "waiting burned the processor";

    TZSocket closed(nullptr);
    EXPECT_THROW(closed.ReadLine(1, line), ESocketException);
}

// ------------------------------------------------------------------------------------------------
// SOCKS negotiation against real servers

struct SocksOutcome {
    bool connected = false;
    uint16_t connectError = 0xFFFF;
    int32_t socksError = 0;
    std::string socksText;
    std::vector<TSocksAuthState> auth;
    std::string data;
    bool closed = false;
};

SocksOutcome SocksTalk(TZSocket& s, const std::string& level, int socksPort, const std::string& host,
                       int port, const std::string& user = "", const std::string& pass = "",
                       const std::string& send = "") {
    SocksOutcome o;
    s.OnSessionConnected = [&](TObject*, uint16_t e) {
        o.connected = true;
        o.connectError = e;
        if (e == 0 && !send.empty())
            s.SendStr(send);
    };
    s.OnSocksError = [&](TObject*, int32_t e, const std::string& t) {
        o.socksError = e;
        o.socksText = t;
    };
    s.OnSocksAuthState = [&](TObject*, TSocksAuthState a) { o.auth.push_back(a); };
    s.OnDataAvailable = [&](TObject*, uint16_t) { o.data += s.ReceiveStr(); };
    s.OnSessionClosed = [&](TObject*, uint16_t) { o.closed = true; };
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort(std::to_string(socksPort));
    s.SetSocksLevel(level);
    s.SocksUsercode = user;
    s.SocksPassword = pass;
    s.SocksAuthentication = pass.empty() ? socksNoAuthentication : socksAuthenticateUsercode;
    s.SetAddr(host);
    s.SetPort(std::to_string(port));
    s.Connect();
    PumpUntil([&] { return o.connected; }, 4000);
    if (!send.empty() && o.connectError == 0)
        PumpUntil([&] { return o.closed; }, 4000);
    return o;
}

TEST(Socks, NegotiationFailuresAreReportedTwiceAndClose) {
    REQUIRE_PEER(s4, "ZEL_NET_SOCKS4_PORT");
    REQUIRE_PEER(s5, "ZEL_NET_SOCKS5STUB_PORT");
    REQUIRE_PEER(hp, "ZEL_NET_HTTP_PORT");
    struct Case {
        const char* level;
        int port;
        const char* host;
        const char* user;
        const char* pass;
        int32_t code;
        const char* text;
    } cases[] = {
        {"4", s4, "127.0.0.1", "reject", "", 20016, "request rejected or failed"},
        {"4", s4, "127.0.0.1", "noident", "", 20008, "connection refused"},
        {"4A", s4, "localhost", "badident", "", 20015, "authentification failed"},
        {"4", s4, "127.0.0.1", "weird", "", 20012, "unassigned error #77"},
        {"5", s5, "refused.invalid", "", "", 20008, "connection refused"},
        {"5", s5, "ruleset.invalid", "", "", 20005, "connection not allowed by ruleset"},
        {"5", s5, "ttl.invalid", "", "", 20009, "time to live expired"},
        {"5", s5, "odd.invalid", "", "", 20012, "unassigned error #42"},
        {"5", s5, "ipv6.invalid", "", "", 20011, "address type not supported"},
        {"5", s5, "localhost", "alice", "wrong", 20015, "socks authentication failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " " + c.host + " " + c.user);
        TZSocket s(nullptr);
        SocksOutcome o = SocksTalk(s, c.level, c.port, c.host, hp, c.user, c.pass);
        EXPECT_TRUE(o.connected);
        EXPECT_EQ(o.socksError, c.code);
        EXPECT_EQ(o.socksText, c.text);
        EXPECT_EQ(o.connectError, c.code);
        EXPECT_TRUE(PumpUntil([&] { return s.State() == wsClosed; }, 2000));
    }
}

TEST(Socks, LongestLevel5ReplyAndDataAfterIt) {
    REQUIRE_PEER(s5, "ZEL_NET_SOCKS5STUB_PORT");
    REQUIRE_PEER(hp, "ZEL_NET_HTTP_PORT");
    TZSocket s(nullptr);
    SocksOutcome o =
        SocksTalk(s, "5", s5, "longname.test", hp, "alice", "wonderland", "GET /plain HTTP/1.0\r\n\r\n");
    EXPECT_EQ(o.connectError, 0) << o.socksText;
    EXPECT_EQ(s.BoundAddr(), std::string(255, 'b'));
    EXPECT_EQ(s.BoundPort(), "4321");
    ASSERT_GE(o.auth.size(), 2u);
    EXPECT_EQ(o.auth[0], socksAuthStart);
    EXPECT_EQ(o.auth[1], socksAuthSuccess);
    EXPECT_NE(o.data.find("Hello from the scripted server."), std::string::npos) << o.data;
}

TEST(Socks, BytesBehindTheReplyGoToTheOwner) {
    REQUIRE_PEER(s5, "ZEL_NET_SOCKS5STUB_PORT");
    REQUIRE_PEER(hp, "ZEL_NET_HTTP_PORT");
    TZSocket s(nullptr);
    SocksOutcome o = SocksTalk(s, "5", s5, "greeting.test", hp, "", "", "GET /plain HTTP/1.0\r\n\r\n");
    EXPECT_EQ(o.connectError, 0) << o.socksText;
    EXPECT_EQ(s.BoundAddr(), "localhost");
    EXPECT_EQ(o.data.rfind("WELCOME\r\nHTTP/1.0 200 OK", 0), 0u) << o.data;
}

TEST(Socks, ServerThatWaivesThePassword) {
    REQUIRE_PEER(so, "ZEL_NET_SOCKS5OPEN_PORT");
    REQUIRE_PEER(hp, "ZEL_NET_HTTP_PORT");
    TZSocket s(nullptr);
    SocksOutcome o =
        SocksTalk(s, "5", so, "localhost", hp, "alice", "wonderland", "GET /plain HTTP/1.0\r\n\r\n");
    EXPECT_EQ(o.connectError, 0) << o.socksText;
    ASSERT_EQ(o.auth.size(), 1u);
    EXPECT_EQ(o.auth[0], socksAuthNotRequired);
    EXPECT_NE(o.data.find("Hello from the scripted server."), std::string::npos);
}

TEST(Socks, StockServerWithAndWithoutPassword) {
    REQUIRE_PEER(ms, "ZEL_NET_MICROSOCKS_PORT");
    REQUIRE_PEER(ma, "ZEL_NET_MICROSOCKS_AUTH_PORT");
    REQUIRE_PEER(hp, "ZEL_NET_HTTP_PORT");
    {
        TZSocket s(nullptr);
        SocksOutcome o = SocksTalk(s, "5", ms, "localhost", hp, "", "", "GET /plain HTTP/1.0\r\n\r\n");
        EXPECT_EQ(o.connectError, 0) << o.socksText;
        EXPECT_NE(o.data.find("Hello from the scripted server."), std::string::npos);
    }
    {
        TZSocket s(nullptr);
        SocksOutcome o =
            SocksTalk(s, "5", ma, "127.0.0.1", hp, "zeluser", "zelpass", "GET /plain HTTP/1.0\r\n\r\n");
        EXPECT_EQ(o.connectError, 0) << o.socksText;
        EXPECT_NE(o.data.find("Hello from the scripted server."), std::string::npos);
    }
    {
        TZSocket s(nullptr);
        SocksOutcome o = SocksTalk(s, "5", ma, "127.0.0.1", hp, "zeluser", "nope");
        EXPECT_EQ(o.connectError, socksAuthenticationFailed) << o.socksText;
    }
    {
        // A server that wants a password from a client that offers none.
        TZSocket s(nullptr);
        SocksOutcome o = SocksTalk(s, "5", ma, "127.0.0.1", hp);
        EXPECT_EQ(o.connectError, socksAuthMethodError) << o.socksText;
    }
}

} // namespace
