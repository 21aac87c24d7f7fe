// Offline pieces of the network layer: URL splitting, header dates, encodings, the send chunk,
// address checks and the socket's refusals that need no peer.

#include <gtest/gtest.h>

#include <algorithm>

#include "net/HttpClient.h"
#include "net/LineSocket.h"

namespace {

struct UrlCase {
    const char* url;
    const char* proto;
    const char* user;
    const char* pass;
    const char* host;
    const char* port;
    const char* path;
};

TEST(ParseURL, SplitsEveryPart) {
    const UrlCase cases[] = {
        {"http://host/dir/file.html?x=1", "http", "", "", "host", "", "/dir/file.html?x=1"},
        {"http://127.0.0.1:8080", "http", "", "", "127.0.0.1", "8080", ""},
        {"https://a.example/x", "https", "", "", "a.example", "", "/x"},
        {"joe:secret@host:81/p/q", "", "joe", "secret", "host", "81", "/p/q"},
        {"http://joe@host/p", "http", "joe", "", "host", "", "/p"},
        {"http://host?q=1", "http", "", "", "host", "", "?q=1"},
        {"/just/a/path", "http", "", "", "", "", "/just/a/path"},
        {"http:relative.html", "http", "", "", "", "", "relative.html"},
        {"mailto:joe@host", "mailto", "joe", "", "host", "", ""},
        {"", "", "", "", "", "", ""},
    };
    for (const auto& c : cases) {
        TParsedURL u = ParseURL(c.url);
        EXPECT_EQ(u.Proto, c.proto) << c.url;
        EXPECT_EQ(u.User, c.user) << c.url;
        EXPECT_EQ(u.Pass, c.pass) << c.url;
        EXPECT_EQ(u.Host, c.host) << c.url;
        EXPECT_EQ(u.Port, c.port) << c.url;
        EXPECT_EQ(u.Path, c.path) << c.url;
    }
}

// A redirect's relative address, taken as a browser takes it from the page that was asked for.
TEST(ResolveRelativePath, AgainstThePageAskedFor) {
    const struct {
        const char* base;
        const char* ref;
        const char* expected;
    } cases[] = {
        {"/a/b/page", "../target", "/a/target"},
        {"/a/b/page", "../../../../up", "/up"},
        {"/a/b/page", "sibling", "/a/b/sibling"},
        {"/a/b/", "./here/", "/a/b/here/"},
        {"/a/b/page", "..", "/a/"},
        {"/a/b/page", ".", "/a/b/"},
        {"/a/b/page", "/root/./x/../y", "/root/y"},
        {"/a/b/page?old=1", "?new=2", "/a/b/page?new=2"},
        {"/a/b/page?old=1", "next?x=../y", "/a/b/next?x=../y"},
        {"/a/b/page?old=1", "#part", "/a/b/page?old=1"},
        {"/a/b/page", "c/d#part", "/a/b/c/d"},
        {"/a//b/page", "x", "/a//b/x"},
        {"", "x", "/x"},
        {"?q", "x", "/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveRelativePath(c.base, c.ref), c.expected) << c.base << " + " << c.ref;
}

TEST(HttpHelpers, DatesEncodingsAndPositions) {
    EXPECT_EQ(RFC1123_Date(EncodeDate(2026, 1, 15) + EncodeTime(6, 30, 5, 0)), "Thu, 15 Jan 2026 06:30:05");
    EXPECT_EQ(RFC1123_Date(EncodeDate(1999, 12, 31)), "Fri, 31 Dec 1999 00:00:00");
    EXPECT_EQ(RFC1123_Date(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 0)), "Thu, 29 Feb 2024 23:59:59");

    EXPECT_EQ(EncodeStr(encBase64, "Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(EncodeStr(encMime, "ab"), "YWI=");
    EXPECT_EQ(EncodeStr(encBase64, ""), "");
    EXPECT_EQ(EncodeStr(encUUEncode, "Cat"), "#0V%T");

    EXPECT_EQ(Posn("/", "/a/b/c", -1), 5);
    EXPECT_EQ(Posn("/", "/a/b/c", 2), 3);
    EXPECT_EQ(Posn("/", "/a/b/c", -4), 0);
    EXPECT_EQ(Posn("/", "/a/b/c", 0), 0);
}

TEST(TBuffer, QueuesAndDrainsInOrder) {
    TBuffer b(8);
    EXPECT_EQ(b.Write("abcdefghij", 10), 8);
    EXPECT_EQ(b.Write("x", 1), 0);
    char out[4];
    EXPECT_EQ(b.Read(out, 3), 3);
    EXPECT_EQ(std::string(out, 3), "abc");
    b.SetBufSize(16); // unread data survives
    int32_t len = 0;
    char* p = static_cast<char*>(b.Peek(len));
    ASSERT_EQ(len, 5);
    EXPECT_EQ(std::string(p, 5), "defgh");
    b.Remove(100);
    b.Peek(len);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(b.Write("0123456789abcdef", 16), 16); // emptied: the whole chunk is free again
    b.SetBufSize(0);
    EXPECT_EQ(b.BufSize(), 1514);
}

TEST(ZSocketUnit, DottedAddressesAndErrorTexts) {
    EXPECT_TRUE(ZSocketIsDottedIP(" 10.0.0.1 "));
    EXPECT_TRUE(ZSocketIsDottedIP("255.255.255.255"));
    for (const char* bad :
         {"10.0.0", "10.0.0.256", "1.2.3.4.5", "1..2.3", "a.b.c.d", "", "1.2.3.4.", "1234.1.1.1"})
        EXPECT_FALSE(ZSocketIsDottedIP(bad)) << bad;
    EXPECT_EQ(ZSocketErrorDesc(10057), "Socket is not connected");
    EXPECT_EQ(ZSocketErrorDesc(11001), "Host not found");
    EXPECT_EQ(ZSocketErrorDesc(12345), "Not a WinSock error");
    EXPECT_EQ(ZSocketResolvePort(" 8080x", "tcp"), 8080);
    EXPECT_EQ(ZSocketResolveProto("udp"), 17);
    EXPECT_THROW(ZSocketResolvePort("", "tcp"), ESocketException);
    EXPECT_THROW(ZSocketResolveHost(""), ESocketException);
    EXPECT_EQ(ZSocketResolveHost("127.0.0.1"), 0x0100007Fu);
}

TEST(ZSocketUnit, RefusalsWithoutPeer) {
    TZSocket s(nullptr);
    try {
        s.Connect();
        FAIL() << "Connect without a port went through";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No Port Specified");
    }
    s.SetPort("80");
    try {
        s.Connect();
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No IP Address Specified");
    }
    try {
        s.SendStr("x");
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_EQ(std::string(e.what()), "Error 10057 in function Send\r\nSocket is not connected");
    }
    EXPECT_EQ(s.LastError(), 10057);

    // With an error handler the report goes there instead of raising.
    int errors = 0;
    s.OnError = [&](TObject*) { ++errors; };
    EXPECT_EQ(s.SendStr("x"), -1);
    EXPECT_EQ(errors, 1);
    s.OnError = nullptr;

    s.SetSocksLevel("4a");
    EXPECT_EQ(s.SocksLevel(), "4A");
    EXPECT_THROW(s.SetSocksLevel("6"), ESocketException);
    EXPECT_EQ(s.SocksLevel(), "4A");

    // Names that do not fit the one length byte of level 5 are refused before anything is sent.
    s.SetSocksLevel("5");
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort("1");
    s.SetAddr(std::string(256, 'a'));
    EXPECT_THROW(s.Connect(), ESocketException);
    s.SetAddr("localhost");
    s.SocksAuthentication = socksAuthenticateUsercode;
    s.SocksUsercode = std::string(300, 'u');
    EXPECT_THROW(s.Connect(), ESocketException);
    EXPECT_EQ(s.State(), wsClosed);

    bool done = false;
    uint16_t err = 99;
    s.OnDnsLookupDone = [&](TObject*, uint16_t e) {
        done = true;
        err = e;
    };
    s.DnsLookup("127.0.0.1");
    EXPECT_TRUE(done);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
}

TEST(HttpClientUnit, RefusesWhatItCannotDo) {
    THttpClient h(nullptr);
    h.URL = "https://127.0.0.1/";
    try {
        h.GetASync();
        FAIL() << "an https address was accepted";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode, httperrUnsupportedScheme);
    }
    EXPECT_EQ(h.State(), httpReady);
    h.URL = "http://127.0.0.1/";
    try {
        h.PostASync();
        FAIL();
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode, httperrNothingToPost);
        EXPECT_STREQ(e.what(), "HTTP component has nothing to post");
    }
    h.URL = "http:///nohost";
    EXPECT_THROW(h.GetASync(), EHttpException);
    EXPECT_EQ(h.State(), httpReady);
}

} // namespace

namespace {

TEST(Published, SocketAndClientProperties) {
    TZSocket s(nullptr);
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(&s))
        names.push_back(p->Name);
    auto pos = [&](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(pos("Addr"), pos("Port"));
    EXPECT_LT(pos("OnBgException"), pos("FlushTimeout"));
    EXPECT_LT(pos("SocksAuthentication"), pos("LineMode"));
    EXPECT_LT(pos("LineEdit"), static_cast<long>(names.size()));

    SetStrProp(&s, GetPropInfo(&s, "SocksLevel"), "4a");
    EXPECT_EQ(s.SocksLevel(), "4A");
    SetStrProp(&s, GetPropInfo(&s, "LineEnd"), "\n");
    EXPECT_EQ(s.LineEnd, "\n");
    SetOrdProp(&s, GetPropInfo(&s, "LingerOnOff"), wsLingerNoSet);
    EXPECT_EQ(s.LingerOnOff, wsLingerNoSet);
    EXPECT_EQ(GetStrProp(&s, GetPropInfo(&s, "PeerAddr")), "error");
    EXPECT_EQ(GetOrdProp(&s, GetPropInfo(&s, "State")), wsClosed);
    EXPECT_TRUE(GetPropInfo(&s, "State")->IsReadOnly());

    THttpClient h(nullptr);
    SetStrProp(&h, GetPropInfo(&h, "URL"), "http://127.0.0.1/x");
    EXPECT_EQ(h.URL, "http://127.0.0.1/x");
    EXPECT_EQ(GetStrProp(&h, GetPropInfo(&h, "Agent")), "Mozilla/3.0 (compatible)");
    EXPECT_EQ(GetStrProp(&h, GetPropInfo(&h, "ProxyPort")), "80");
    EXPECT_TRUE(GetPropInfo(&h, "AcceptRanges")->IsReadOnly());
}

TEST(Winsock, LoadsVersionOneOne) {
    WSADATA d = WinsockInfo();
    EXPECT_EQ(d.wVersion, 0x101);
    // Loading on demand and unloading leave nothing behind while no socket lives.
    EXPECT_FALSE(ZSocketWinsockLoaded());
    {
        TZSocket s(nullptr);
        s.DnsLookup("127.0.0.1");
        EXPECT_TRUE(ZSocketWinsockLoaded());
    }
    EXPECT_FALSE(ZSocketWinsockLoaded());
    ZSocketForceLoadWinsock();
    EXPECT_TRUE(ZSocketWinsockLoaded());
    ZSocketCancelForceLoadWinsock();
    EXPECT_FALSE(ZSocketWinsockLoaded());
}

} // namespace
