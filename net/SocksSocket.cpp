#include "net/SocksSocket.h"

#include <algorithm>
#include <cstring>

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCustomSocksZSocket, TCustomZSocket, {})

TCustomSocksZSocket::TCustomSocksZSocket(TComponent* AOwner) : TCustomZSocket(AOwner) {
    TCustomSocksZSocket::AssignDefaultValue();
}

void TCustomSocksZSocket::AssignDefaultValue() {
    TCustomZSocket::AssignDefaultValue();
    FSocksState = socksData;
    FSocksServer.clear();
    FSocksPort.clear();
    FSocksServerAssigned = false;
    FSocksPortAssigned = false;
    FSocksLevel = "5";
    FRcvCnt = 0;
    FSocksRcvdCnt = 0;
    FSocksRcvdPtr = 0;
}

void TCustomSocksZSocket::SetSocksLevel(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks level if not closed");
        return;
    }
    std::string v = UpperCase(Value);
    if (v != "4" && v != "4A" && v != "5") {
        RaiseException("Invalid socks level. Must be 4, 4A or 5.");
        return;
    }
    FSocksLevel = v;
}

void TCustomSocksZSocket::SetSocksPort(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = Trim(Value);
    FSocksPortAssigned = !FSocksPort.empty();
}

void TCustomSocksZSocket::SetSocksServer(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = Trim(Value);
    FSocksServerAssigned = !FSocksServer.empty();
}

void TCustomSocksZSocket::Listen() {
    if (FSocksServerAssigned) {
        RaiseException("Listening is not supported thru socks server");
        return;
    }
    TCustomZSocket::Listen();
}

void TCustomSocksZSocket::Connect() {
    if (!FSocksServerAssigned) {
        TCustomZSocket::Connect();
        return;
    }
    if (LowerCase(FProtoStr) != "tcp") {
        RaiseException("tcp is the only protocol supported thru socks server");
        return;
    }
    // Level 5 carries each of these behind a single length byte: a longer value would wrap it
    // and send the server something else than the owner asked for.
    if (FSocksLevel == "5") {
        if (FAddrStr.size() > 255) {
            RaiseException("SOCKS5: the host name is longer than 255 characters");
            return;
        }
        if (SocksAuthentication == socksAuthenticateUsercode &&
            (SocksUsercode.size() > 255 || SocksPassword.size() > 255)) {
            RaiseException("SOCKS5: the user name or password is longer than 255 characters");
            return;
        }
    }
    if (!CheckTargetAssigned())
        return;
    FTargetPort = ZSocketResolvePort(FPortStr, FProtoStr);
    sin.sin_port = ZSocket_htons(ZSocketResolvePort(FSocksPortAssigned ? FSocksPort : "1080", FProtoStr));
    FPortResolved = true;
    sin.sin_addr.s_addr = ZSocketResolveHost(FSocksServer);
    FAddrResolved = true;
    FSocksState = socksNegociateMethods;
    FRcvCnt = 0;
    FSocksRcvdCnt = 0;
    FSocksRcvdPtr = 0;
    TCustomZSocket::Connect();
}

void TCustomSocksZSocket::TriggerSocksConnected(uint16_t Error) {
    DoEvent(OnSocksConnected, this, Error);
}

void TCustomSocksZSocket::TriggerSocksError(int32_t Error, const std::string& Msg) {
    DoEvent(OnSocksError, this, Error, Msg);
}

void TCustomSocksZSocket::TriggerSocksAuthState(TSocksAuthState AuthState) {
    DoEvent(OnSocksAuthState, this, AuthState);
}

void TCustomSocksZSocket::TriggerSessionConnected(uint16_t Error) {
    if (FSocksState != socksNegociateMethods) {
        TCustomZSocket::TriggerSessionConnected(Error);
        return;
    }
    TriggerSocksConnected(Error);
    if (Error != 0) {
        FSocksState = socksData;
        TCustomZSocket::TriggerSessionConnected(Error);
        return;
    }
    if (FSocksLevel[0] == '4') {
        SocksDoConnect();
        return;
    }
    FSocksMethod = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
    const uint8_t request[3] = {5, 1, FSocksMethod};
    Send(request, 3);
}

void TCustomSocksZSocket::TriggerSessionClosed(uint16_t Error) {
    if (FSocksState == socksAuthenticate)
        TriggerSocksAuthState(socksAuthFailure);
    TCustomZSocket::TriggerSessionClosed(Error);
}

void TCustomSocksZSocket::SocksDoAuthenticate() {
    FSocksState = socksAuthenticate;
    TriggerSocksAuthState(socksAuthStart);
    std::string req;
    req += '\x01';
    req += static_cast<char>(SocksUsercode.size());
    req += SocksUsercode;
    req += static_cast<char>(SocksPassword.size());
    req += SocksPassword;
    SendStr(req);
}

void TCustomSocksZSocket::SocksDoConnect() {
    FSocksState = socksConnect;
    std::string req;
    auto port = [&] {
        req += static_cast<char>(FTargetPort >> 8);
        req += static_cast<char>(FTargetPort & 0xFF);
    };
    if (FSocksLevel == "5") {
        req += "\x05\x01";
        req += '\0';
        req += '\x03';
        req += static_cast<char>(FAddrStr.size());
        req += FAddrStr;
        port();
    } else {
        req += "\x04\x01";
        port();
        if (FSocksLevel == "4") {
            uint32_t a = ZSocketResolveHost(FAddrStr);
            req.append(reinterpret_cast<const char*>(&a), 4);
        } else {
            req.append("\0\0\0\x01", 4);
        }
        req += SocksUsercode;
        req += '\0';
        if (FSocksLevel == "4A") {
            req += FAddrStr;
            req += '\0';
        }
    }
    SendStr(req);
}

void TCustomSocksZSocket::DataAvailableError(int32_t ErrCode, const std::string& Msg) {
    TriggerSocksError(ErrCode, Msg);
    FSocksState = socksData;
    FRcvCnt = 0;
    TCustomZSocket::TriggerSessionConnected(static_cast<uint16_t>(ErrCode));
    InternalClose(true, static_cast<uint16_t>(ErrCode));
}

bool TCustomSocksZSocket::ReadReply() {
    int room = ReplySize - 1 - FRcvCnt;
    if (room <= 0)
        return false;
    int n = TCustomZSocket::DoRecv(reinterpret_cast<char*>(FRcvBuf) + FRcvCnt, room, 0);
    if (n <= 0)
        return false;
    FReadCount += n;
    FRcvCnt += n;
    return true;
}

void TCustomSocksZSocket::SocksConnected() {
    FSocksState = socksData;
    TCustomZSocket::TriggerSessionConnected(0);
}

bool TCustomSocksZSocket::TriggerDataAvailable(uint16_t Error) {
    if (FSocksState == socksData)
        return TCustomZSocket::TriggerDataAvailable(Error);
    if (Error != 0) {
        DataAvailableError(Error, "data receive error");
        return true;
    }
    if (!ReadReply())
        return true;
    switch (FSocksState) {
    case socksNegociateMethods: {
        if (FSocksLevel[0] == '4') {
            DataAvailableError(socksProtocolError, "TZSocket logic error");
            return true;
        }
        if (FRcvCnt < 2)
            return true;
        uint8_t version = FRcvBuf[0], method = FRcvBuf[1];
        FRcvCnt = 0;
        if (version != 5) {
            DataAvailableError(socksVersionError, "socks version error");
        } else if (method == 0) {
            if (FSocksMethod == 2)
                TriggerSocksAuthState(socksAuthNotRequired);
            SocksDoConnect();
        } else if (method == 2 && FSocksMethod == 2) {
            SocksDoAuthenticate();
        } else {
            DataAvailableError(socksAuthMethodError, "authentification method not acceptable");
        }
        return true;
    }
    case socksAuthenticate: {
        if (FRcvBuf[0] != 1) {
            DataAvailableError(socksVersionError, "socks version error");
            return true;
        }
        if (FRcvCnt > 2) {
            DataAvailableError(socksProtocolError, "too much data availaible");
            return true;
        }
        if (FRcvCnt < 2)
            return true;
        FRcvCnt = 0;
        if (FRcvBuf[1] == 0) {
            TriggerSocksAuthState(socksAuthSuccess);
            SocksDoConnect();
        } else {
            DataAvailableError(socksAuthenticationFailed, "socks authentication failed");
        }
        return true;
    }
    case socksConnect:
        break;
    default:
        DataAvailableError(socksInternalError, "internal error");
        return true;
    }

    int full;
    if (FSocksLevel[0] == '4') {
        if (FRcvCnt < 8)
            return true;
        if (FRcvBuf[0] != 0) {
            DataAvailableError(socksVersionError, "socks version error");
            return true;
        }
        switch (FRcvBuf[1]) {
        case 90:
            break;
        case 91:
            DataAvailableError(socksRejectedOrFailed, "request rejected or failed");
            return true;
        case 92:
            DataAvailableError(socksConnectionRefused, "connection refused");
            return true;
        case 93:
            DataAvailableError(socksAuthenticationFailed, "authentification failed");
            return true;
        default:
            DataAvailableError(socksUnassignedError, "unassigned error #" + IntToStr(FRcvBuf[1]));
            return true;
        }
        full = 8;
    } else {
        if (FRcvBuf[0] != 5) {
            DataAvailableError(socksVersionError, "socks version error");
            return true;
        }
        if (FRcvCnt < 2)
            return true;
        static const char* const texts[] = {
            "general SOCKS server failure", "connection not allowed by ruleset",
            "network unreachable",          "host unreachable",
            "connection refused",           "time to live expired",
            "command not supported",        "address type not supported"};
        uint8_t reply = FRcvBuf[1];
        if (reply >= 1 && reply <= 8) {
            DataAvailableError(socksGeneralFailure + reply - 1, texts[reply - 1]);
            return true;
        }
        if (reply != 0) {
            DataAvailableError(socksUnassignedError, "unassigned error #" + IntToStr(reply));
            return true;
        }
        if (FRcvCnt < 5)
            return true;
        uint8_t atyp = FRcvBuf[3];
        if (atyp == 1)
            full = 10;
        else if (atyp == 3)
            full = 7 + FRcvBuf[4];
        else {
            DataAvailableError(socksUnknownAddressType, "address type not supported");
            return true;
        }
        if (FRcvCnt < full)
            return true;
        if (atyp == 1) {
            FBoundAddr = IntToStr(FRcvBuf[4]) + "." + IntToStr(FRcvBuf[5]) + "." + IntToStr(FRcvBuf[6]) +
                         "." + IntToStr(FRcvBuf[7]);
        } else {
            FBoundAddr.assign(reinterpret_cast<const char*>(FRcvBuf) + 5, FRcvBuf[4]);
        }
        FBoundPort = IntToStr((FRcvBuf[full - 2] << 8) | FRcvBuf[full - 1]);
    }
    // Whatever came after the reply is the start of the session's data.
    FSocksRcvdCnt = FRcvCnt - full;
    FSocksRcvdPtr = full;
    FRcvCnt = 0;
    SocksConnected();
    if (FSocksRcvdCnt > 0 && FHSocket != INVALID_SOCKET)
        TriggerDataAvailable(0);
    return true;
}

int TCustomSocksZSocket::GetRcvdCount() {
    if (FSocksRcvdCnt > 0)
        return FSocksRcvdCnt;
    return TCustomZSocket::GetRcvdCount();
}

int TCustomSocksZSocket::DoRecv(char* Buffer, int BufferSize, int Flags) {
    if (FSocksRcvdCnt <= 0)
        return TCustomZSocket::DoRecv(Buffer, BufferSize, Flags);
    int n = std::min(BufferSize, FSocksRcvdCnt);
    if (n <= 0)
        return 0;
    std::memcpy(Buffer, FRcvBuf + FSocksRcvdPtr, n);
    if (!(Flags & MSG_PEEK)) {
        FSocksRcvdPtr += n;
        FSocksRcvdCnt -= n;
        ++FRecvProgress;
    }
    return n;
}
