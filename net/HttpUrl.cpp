#include "net/HttpUrl.h"

#include <cmath>
#include <vector>

#include "framework/core/Win.h"

void ParseURL(const std::string& URL, std::string& Proto, std::string& User, std::string& Pass,
              std::string& Host, std::string& Port, std::string& Path) {
    Proto.clear();
    User.clear();
    Pass.clear();
    Host.clear();
    Port.clear();
    Path.clear();
    if (URL.empty())
        return;
    std::string rest;
    size_t sep = URL.find("://");
    if (sep != std::string::npos) {
        Proto = URL.substr(0, sep);
        rest = URL.substr(sep + 3);
    } else if (URL[0] != '/') {
        if (URL.size() >= 5 && SameText(URL.substr(0, 5), "http:")) {
            Proto = "http";
            if (URL.size() >= 7 && URL[6] != '/') {
                Path = URL.substr(5);
                return;
            }
            rest = URL.substr(5);
        } else if (URL.size() >= 7 && SameText(URL.substr(0, 7), "mailto:")) {
            Proto = "mailto";
            rest = URL.substr(URL.find(':') + 1);
        } else {
            rest = URL;
        }
    } else {
        Proto = "http";
        if (URL.size() < 2 || URL[1] != '/') {
            Path = URL;
            return;
        }
        rest = URL.substr(1);
    }
    size_t p = rest.find_first_of("/?");
    std::string authority;
    if (p == std::string::npos) {
        authority = rest;
    } else {
        authority = rest.substr(0, p);
        Path = rest.substr(p);
    }
    size_t colon = authority.rfind(':');
    size_t at = authority.rfind('@');
    if (colon == std::string::npos && at == std::string::npos) {
        Host = authority;
    } else if (colon != std::string::npos && (at == std::string::npos || colon > at)) {
        Port = authority.substr(colon + 1);
        Host =
            at == std::string::npos ? authority.substr(0, colon) : authority.substr(at + 1, colon - at - 1);
    } else {
        Host = authority.substr(at + 1);
    }
    if (at != std::string::npos) {
        std::string cred = authority.substr(0, at);
        size_t c = cred.find(':');
        if (c == std::string::npos) {
            User = cred;
        } else {
            User = cred.substr(0, c);
            Pass = cred.substr(c + 1);
        }
    }
}

TParsedURL ParseURL(const std::string& URL) {
    TParsedURL r;
    ParseURL(URL, r.Proto, r.User, r.Pass, r.Host, r.Port, r.Path);
    return r;
}

namespace {

// "/a/./b/../c" is "/a/c"; segments above the root are dropped. Path begins with "/".
std::string RemoveDotSegments(const std::string& Path) {
    std::vector<std::string> out;
    bool trailingSlash = false;
    size_t i = 1;
    for (;;) {
        size_t slash = Path.find('/', i);
        const bool last = slash == std::string::npos;
        std::string seg = Path.substr(i, last ? std::string::npos : slash - i);
        trailingSlash = last && (seg == "." || seg == "..");
        if (seg == "..") {
            if (!out.empty())
                out.pop_back();
        } else if (seg != ".") {
            out.push_back(seg);
        }
        if (last)
            break;
        i = slash + 1;
    }
    std::string result;
    for (const std::string& seg : out)
        result += "/" + seg;
    if (result.empty() || (trailingSlash && result.back() != '/'))
        result += "/";
    return result;
}

} // namespace

std::string ResolveRelativePath(const std::string& BasePath, const std::string& Ref) {
    std::string ref = Ref.substr(0, Ref.find('#'));
    const size_t q = BasePath.find('?');
    const std::string baseQuery = q == std::string::npos ? "" : BasePath.substr(q);
    std::string basePath = BasePath.substr(0, q);
    if (basePath.empty() || basePath[0] != '/')
        basePath = "/" + basePath;
    size_t rq = ref.find('?');
    std::string refPath = ref.substr(0, rq);
    std::string refQuery = rq == std::string::npos ? "" : ref.substr(rq);
    if (refPath.empty())
        return basePath + (rq == std::string::npos ? baseQuery : refQuery);
    if (refPath[0] != '/')
        refPath = basePath.substr(0, basePath.rfind('/') + 1) + refPath;
    return RemoveDotSegments(refPath) + refQuery;
}

std::string RFC1123_Date(TDateTime D) {
    static const char* Days = "MonTueWedThuFriSatSun";
    static const char* Months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    int64_t whole = static_cast<int64_t>(std::floor(D));
    int dow = static_cast<int>(((whole - 2) % 7 + 7) % 7);
    int y, m, d, hh, mm, ss, ms;
    DecodeDate(D, y, m, d);
    DecodeTime(D, hh, mm, ss, ms);
    return std::string(Days + dow * 3, 3) + ", " +
           Format("%2.2d %s %4.4d %2.2d:%2.2d:%2.2d", d, std::string(Months + (m - 1) * 3, 3).c_str(), y, hh,
                  mm, ss);
}

TDateTime LocalToUniversalTime(TDateTime Local) {
    int y, m, d, hh, mm, ss, ms;
    DecodeDate(Local, y, m, d);
    DecodeTime(Local, hh, mm, ss, ms);
    SYSTEMTIME lt{};
    lt.wYear = static_cast<WORD>(y);
    lt.wMonth = static_cast<WORD>(m);
    lt.wDay = static_cast<WORD>(d);
    lt.wHour = static_cast<WORD>(hh);
    lt.wMinute = static_cast<WORD>(mm);
    lt.wSecond = static_cast<WORD>(ss);
    lt.wMilliseconds = static_cast<WORD>(ms);
    SYSTEMTIME ut{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &lt, &ut))
        return Local;
    return EncodeDate(ut.wYear, ut.wMonth, ut.wDay) +
           EncodeTime(ut.wHour, ut.wMinute, ut.wSecond, ut.wMilliseconds);
}

std::string EncodeLine(THttpEncoding Encoding, const void* Buf, int32_t Len) {
    const auto* p = static_cast<const uint8_t*>(Buf);
    std::string out;
    if (Len <= 0)
        return out;
    // The (up to) three bytes from i as one 24-bit value, missing bytes as zero.
    auto group = [p, Len](int32_t i) {
        uint32_t v = static_cast<uint32_t>(p[i]) << 16;
        if (i + 1 < Len)
            v |= static_cast<uint32_t>(p[i + 1]) << 8;
        if (i + 2 < Len)
            v |= p[i + 2];
        return v;
    };
    if (Encoding == encUUEncode) {
        static const char* uu = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
        out += static_cast<char>(32 + Len);
        for (int32_t i = 0; i < Len; i += 3) {
            uint32_t v = group(i);
            for (int k = 3; k >= 0; --k)
                out += uu[(v >> (6 * k)) & 63];
        }
        return out;
    }
    static const char* b64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int32_t i = 0; i < Len; i += 3) {
        uint32_t v = group(i);
        out += b64[(v >> 18) & 63];
        out += b64[(v >> 12) & 63];
        out += i + 1 < Len ? b64[(v >> 6) & 63] : '=';
        out += i + 2 < Len ? b64[v & 63] : '=';
    }
    return out;
}

std::string EncodeStr(THttpEncoding Encoding, const std::string& Value) {
    return EncodeLine(Encoding, Value.data(), static_cast<int32_t>(Value.size()));
}

int Posn(const std::string& Sub, const std::string& S, int Count) {
    if (Count == 0 || Sub.empty())
        return 0;
    if (Count > 0) {
        size_t from = 0;
        for (int i = 0; i < Count; ++i) {
            size_t p = S.find(Sub, from);
            if (p == std::string::npos)
                return 0;
            if (i == Count - 1)
                return static_cast<int>(p) + 1;
            from = p + 1;
        }
        return 0;
    }
    size_t from = std::string::npos;
    for (int i = 0; i < -Count; ++i) {
        size_t p = S.rfind(Sub, from);
        if (p == std::string::npos)
            return 0;
        if (i == -Count - 1)
            return static_cast<int>(p) + 1;
        if (p == 0)
            return 0;
        from = p - 1;
    }
    return 0;
}
