// The reply side of THttpClient: header lines, redirects and the body (plain, sized or chunked).

#include "net/HttpClient.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int32_t ReceiveBufferSize = 8192;
std::string Lower(const std::string& s) {
    return LowerCase(s);
}
bool IsHttpScheme(const std::string& scheme) {
    return scheme.empty() || SameText(scheme, "http");
}
} // namespace

void THttpClient::SocketDataAvailable(TObject*, uint16_t Error) {
    int32_t room = ReceiveBufferSize - FReceiveLen;
    if (room < 1)
        throw EHttpException("HTTP line too long", httperrLineTooLong);
    int n = FCtrlSocket->Receive(FReceiveBuffer + FReceiveLen, room);
    if (FRequestType == httpAbort || n <= 0)
        return;
    Touch();
    FReceiveLen += n;
    FReceiveBuffer[FReceiveLen] = 0;

    if (FState == httpWaitingBody) {
        int32_t len = FReceiveLen;
        FReceiveLen = 0;
        if (FLineHandler == lhBody)
            GetBodyLineNext(FReceiveBuffer, len);
        else
            SetReady();
        return;
    }
    while (FReceiveLen > 0) {
        char* lf = static_cast<char*>(std::memchr(FReceiveBuffer, '\n', static_cast<size_t>(FReceiveLen)));
        if (!lf)
            return;
        int32_t lineLen = static_cast<int32_t>(lf - FReceiveBuffer);
        int32_t textLen = lineLen > 0 && FReceiveBuffer[lineLen - 1] == '\r' ? lineLen - 1 : lineLen;
        FLastResponse.assign(FReceiveBuffer, static_cast<size_t>(textLen));
        FLastLineEnd.assign(FReceiveBuffer + textLen, static_cast<size_t>(lineLen + 1 - textLen));
        FReceiveLen -= lineLen + 1;
        std::memmove(FReceiveBuffer, FReceiveBuffer + lineLen + 1, static_cast<size_t>(FReceiveLen));
        FReceiveBuffer[FReceiveLen] = 0;
        if (FState == httpWaitingHeader) {
            if (FLineHandler == lhHeader)
                GetHeaderLineNext();
            else
                SetReady();
        } else {
            DoEvent(OnDataAvailable, this, Error);
        }
        if (FState != httpWaitingHeader || FCtrlSocket->State() == wsClosed)
            break;
    }
    // Whatever follows the header in the same packet is body.
    if (FState == httpWaitingBody && FLineHandler == lhBody && FCtrlSocket->State() != wsClosed &&
        !FBodyComplete) {
        if (FReceiveLen > 0) {
            int32_t len = FReceiveLen;
            FReceiveLen = 0;
            GetBodyLineNext(FReceiveBuffer, len);
        }
    }
}

void THttpClient::GetHeaderLineNext() {
    if (FHeaderLineCount == 0)
        TriggerHeaderBegin();
    ++FHeaderLineCount;
    const std::string& line = FLastResponse;

    if (FHeaderLineCount == 1 && UpperCase(line.substr(0, 6)) == "<HTML>") {
        // No header at all: the reply is the document itself.
        if (FContentType.empty())
            FContentType = "text/html";
        FHeaderComplete = true;
        FSawStatusLine = true;
        StateChange(httpWaitingBody);
        FLineHandler = lhBody;
        TriggerHeaderEnd();
        std::string first = line + FLastLineEnd; // with the end it came with
        GetBodyLineNext(first.data(), static_cast<int32_t>(first.size()));
        return;
    }

    if (line.empty()) {
        EndOfHeader();
        return;
    }

    FRcvdHeader->Add(line);
    if (line.rfind("HTTP/1.0", 0) == 0 || line.rfind("HTTP/1.1", 0) == 0) {
        int32_t code = -1;
        std::string digits = line.size() >= 12 ? line.substr(9, 3) : "";
        bool ok = digits.size() == 3 &&
                  std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                  (line.size() == 12 || line[12] == ' ');
        if (ok)
            code = StrToIntDef(digits, -1);
        if (!ok || code < 100) {
            Fail(httperrProtocol, "Malformed status line: " + line.substr(0, 80));
            FCtrlSocket->Close();
            return;
        }
        FSawStatusLine = true;
        FStatusCode = code;
        FReasonPhrase = line.size() > 13 ? line.substr(13) : "";
    } else if (!FSawStatusLine) {
        Fail(httperrProtocol, "The server's reply is not HTTP: " + line.substr(0, 80));
        FCtrlSocket->Close();
        return;
    } else {
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string field = Lower(line.substr(0, colon));
            size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ')
                ++v;
            std::string value = line.substr(v);
            if (field == "location") {
                FLocationFlag = true;
                FLocationValue = Trim(value);
            } else if (field == "content-length") {
                int64_t len = -1;
                if (!TryStrToInt64(Trim(value), len) || len < 0 || len > INT32_MAX) {
                    Fail(httperrProtocol, "Malformed Content-Length: " + value.substr(0, 40));
                    FCtrlSocket->Close();
                    return;
                }
                FContentLength = static_cast<int32_t>(len);
            } else if (field == "content-range") {
                size_t dash = value.find('-');
                size_t slash = value.find('/');
                if (value.size() > 6 && dash != std::string::npos && dash > 6) {
                    ContentRangeBegin = value.substr(6, dash - 6);
                    ContentRangeEnd = value.substr(dash + 1, slash == std::string::npos ? std::string::npos
                                                                                        : slash - dash - 1);
                }
            } else if (field == "accept-ranges") {
                FAcceptRanges = value;
            } else if (field == "content-type") {
                FContentType = Lower(value);
            } else if (field == "www-authenticate") {
                FAuthHeaders->Add(value);
            } else if (field == "set-cookie") {
                bool accept = true;
                TriggerCookie(value, accept);
            } else if (field == "transfer-encoding") {
                FChunked = Lower(Trim(value)).find("chunked") != std::string::npos;
            }
        }
    }
    DoEvent(OnHeaderData, this);
    if (FStatusCode >= 400 && FState != httpReady && FCtrlSocket->State() != wsClosed) {
        FHeaderComplete = true;
        FBodyComplete = true;
        FCtrlSocket->Close();
    }
}

void THttpClient::FollowLocation(const std::string& Value) {
    // "//host/path" keeps the scheme and names another server.
    const std::string value = Value.rfind("//", 0) == 0 ? "http:" + Value : Value;
    TParsedURL u = ParseURL(value);
    if (value.find("://") != std::string::npos && !u.Host.empty()) {
        if (!IsHttpScheme(u.Proto)) {
            Fail(httperrRedirectScheme, "Redirect to an address that is not http: " + Value.substr(0, 200));
            return;
        }
        std::string path = ResolveRelativePath("/", u.Path.empty() ? "/" : u.Path);
        FTargetHost = u.Host;
        FTargetPort = u.Port.empty() ? "80" : u.Port;
        FLocation = (u.Proto.empty() ? std::string("http") : u.Proto) + "://" + u.Host +
                    (u.Port.empty() ? "" : ":" + u.Port) + path;
        if (Proxy.empty()) {
            FHostName = u.Host;
            // An absolute address names its own port; without one it is the scheme's.
            FPort = FTargetPort;
            FPath = path;
        } else {
            FPath = FLocation;
        }
        return;
    }
    // Anything else is relative to the page that was asked for, as a browser takes it.
    const std::string path = ResolveRelativePath(ParseURL(FLocation).Path, value);
    FLocation = "http://" + FTargetHost + (FTargetPort != "80" ? ":" + FTargetPort : "") + path;
    FPath = Proxy.empty() ? path : FLocation;
}

void THttpClient::EndOfHeader() {
    if (FStatusCode == 101) {
        // Nothing here asks to change protocols; what follows would not be HTTP.
        Fail(httperrProtocol, "The server switched to another protocol: " + FReasonPhrase.substr(0, 80));
        FCtrlSocket->Close();
        return;
    }
    if (FStatusCode >= 100 && FStatusCode < 200) {
        // An interim answer: the real one follows on the same connection.
        FRcvdHeader->Clear();
        ResetReplyHeader();
        return;
    }
    FHeaderComplete = true;
    if (FLocationFlag) {
        TriggerHeaderEnd();
        if (++FRedirectCount > MaxRedirects) {
            Fail(httperrTooManyRedirects, "More than " + IntToStr(MaxRedirects) + " redirects");
            FBodyComplete = true;
            FCtrlSocket->Close();
            return;
        }
        FollowLocation(FLocationValue);
        if (FRequestError != 0) {
            FBodyComplete = true;
            FCtrlSocket->Close();
            return;
        }
        // Only 307 and 308 ask for the same request again, body and all; after any other
        // redirect the new address is fetched (HEAD stays HEAD).
        FAllowedToSend = false;
        if (FStatusCode != 307 && FStatusCode != 308 && FMethod == httpPOST)
            FMethod = httpGET;
        FReceiveLen = 0;
        ResetReply();
        FCtrlSocket->OnSessionClosed = [this](TObject* S, uint16_t E) { LocationSessionClosed(S, E); };
        FCtrlSocket->Close();
        return;
    }
    std::string ext = Lower(ExtractFileExt(FDocName));
    if (ext == ".exe" && FContentType == "text/html")
        FDocName = ChangeFileExt(FDocName, ".htm");
    StateChange(httpWaitingBody);
    FLineHandler = lhBody;
    TriggerHeaderEnd();
    bool noBody =
        FMethod == httpHEAD || FStatusCode == 204 || FStatusCode == 304 || (!FChunked && FContentLength == 0);
    if (noBody)
        BodyComplete();
}

void THttpClient::GetBodyLineNext(const char* Data, int32_t Len) {
    if (FBodyComplete || Len <= 0)
        return;
    if (FBodyLineCount == 0)
        TriggerDocBegin();
    ++FBodyLineCount;
    if (FChunked) {
        DecodeChunked(Data, Len);
        return;
    }
    if (FContentLength >= 0)
        Len = std::min(Len, FContentLength - FRcvdCount);
    DeliverBody(Data, Len);
    if (FContentLength >= 0 && FRcvdCount >= FContentLength)
        BodyComplete();
}

void THttpClient::DeliverBody(const char* Data, int32_t Len) {
    if (Len <= 0)
        return;
    FRcvdCount += Len;
    if (RcvdStream)
        RcvdStream->Write(Data, Len);
    TriggerDocData(Data, Len);
}

void THttpClient::DecodeChunked(const char* Data, int32_t Len) {
    int32_t i = 0;
    while (i < Len && FChunkState != ckDone && !FBodyComplete) {
        switch (FChunkState) {
        case ckSize:
        case ckTrailer:
        case ckDataEnd: {
            char c = Data[i++];
            if (c != '\n') {
                if (FChunkLine.size() > 1024) {
                    Fail(httperrProtocol, "Malformed chunk in the body");
                    FBodyComplete = true;
                    FCtrlSocket->Close();
                    return;
                }
                FChunkLine += c;
                continue;
            }
            std::string line = FChunkLine;
            FChunkLine.clear();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (FChunkState == ckDataEnd) {
                if (!line.empty()) {
                    Fail(httperrProtocol, "Malformed chunk in the body");
                    FBodyComplete = true;
                    FCtrlSocket->Close();
                    return;
                }
                FChunkState = ckSize;
            } else if (FChunkState == ckSize) {
                size_t semi = line.find(';');
                std::string hex = Trim(line.substr(0, semi));
                int64_t size = 0;
                bool ok = !hex.empty() && hex.size() <= 8;
                for (char h : hex) {
                    int v = (h >= '0' && h <= '9')   ? h - '0'
                            : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                            : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                                     : -1;
                    if (v < 0) {
                        ok = false;
                        break;
                    }
                    size = size * 16 + v;
                }
                if (!ok) {
                    Fail(httperrProtocol, "Malformed chunk size in the body");
                    FBodyComplete = true;
                    FCtrlSocket->Close();
                    return;
                }
                FChunkLeft = size;
                FChunkState = size == 0 ? ckTrailer : ckData;
            } else if (line.empty()) {
                FChunkState = ckDone;
            }
            break;
        }
        case ckData: {
            int32_t n = static_cast<int32_t>(std::min<int64_t>(FChunkLeft, Len - i));
            DeliverBody(Data + i, n);
            i += n;
            FChunkLeft -= n;
            if (FChunkLeft == 0)
                FChunkState = ckDataEnd;
            break;
        }
        case ckDone:
            break;
        }
    }
    if (FChunkState == ckDone)
        BodyComplete();
}

void THttpClient::BodyComplete() {
    if (FBodyComplete && FCtrlSocket->State() == wsClosed)
        return;
    FBodyComplete = true;
    // The reply is whole: nothing the server sends after it belongs to this request.
    if (FCtrlSocket->State() != wsClosed)
        FCtrlSocket->Close();
}
