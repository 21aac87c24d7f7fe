#pragma once
// Helpers of the HTTP client: splitting URLs, dates for headers, Base64 and uuencode, and the
// position of the n-th occurrence of a substring.

#include <cstdint>
#include <string>

#include "framework/core/SysUtils.h"

enum THttpEncoding { encUUEncode = 0, encBase64 = 1, encMime = 2 };

struct TParsedURL {
    std::string Proto, User, Pass, Host, Port, Path;
};

void ParseURL(const std::string& URL, std::string& Proto, std::string& User, std::string& Pass,
              std::string& Host, std::string& Port, std::string& Path);
TParsedURL ParseURL(const std::string& URL);
// The path (with its query) that a reference without scheme and host names when it is met on the
// page at BasePath (a path with its query): "../b" from "/a/x/page" is "/a/b". Dot segments are
// removed, a fragment is dropped, and a reference that is only a query keeps the base's path.
std::string ResolveRelativePath(const std::string& BasePath, const std::string& Ref);
// "Thu, 15 Jan 2026 06:30:00" (the caller appends the zone).
std::string RFC1123_Date(TDateTime D);
// The platform's local time as universal time.
TDateTime LocalToUniversalTime(TDateTime Local);
std::string EncodeLine(THttpEncoding Encoding, const void* Buf, int32_t Len);
std::string EncodeStr(THttpEncoding Encoding, const std::string& Value);
// 1-based position of the Count-th occurrence of Sub in S (from the end when Count < 0), 0 when
// there are fewer.
int Posn(const std::string& Sub, const std::string& S, int Count);
