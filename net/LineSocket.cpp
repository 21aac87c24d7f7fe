#include "net/LineSocket.h"

#include <algorithm>
#include <cstring>

#include "framework/ui/Forms.h"
#include "net/PublishedFields.h"

namespace {

const TEnumInfo SocketStateInfo{{"wsInvalidState", "wsOpened", "wsBound", "wsConnecting", "wsConnected",
                                 "wsAccepting", "wsListening", "wsClosed"}};
const TEnumInfo SendFlagsInfo{{"wsSendNormal", "wsSendUrgent"}};
const TEnumInfo LingerInfo{{"wsLingerOff", "wsLingerOn", "wsLingerNoSet"}};
const TEnumInfo SocksAuthenticationInfo{{"socksNoAuthentication", "socksAuthenticateUsercode"}};
const TEnumInfo ZSocketOptionInfo{{"wsoNoReceiveLoop"}};

using Z = TCustomZSocket;
using S = TCustomSocksZSocket;
using L = TCustomLineZSocket;

TPropInfo ReadOnlyStr(const char* name, std::string (*get)(TObject*)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkString;
    p.GetStr = get;
    return p;
}

} // namespace

ZEL_DEFINE_CLASS(TCustomLineZSocket, TCustomSocksZSocket, {})
ZEL_DEFINE_CLASS(TCustomSyncZSocket, TCustomLineZSocket, {})
ZEL_DEFINE_CLASS(TZSocket, TCustomSyncZSocket,
                 {Prop::String<Z>("Addr", &Z::Addr, &Z::SetAddr),
                  Prop::String<Z>("Port", &Z::Port, &Z::SetPort),
                  Prop::String<Z>("Proto", &Z::Proto, &Z::SetProto),
                  Prop::String<Z>("LocalAddr", &Z::LocalAddr, &Z::SetLocalAddr),
                  Prop::String<Z>("LocalPort", &Z::LocalPort, &Z::SetLocalPort),
                  ReadOnlyStr("PeerPort", [](TObject* o) { return static_cast<Z*>(o)->GetPeerPort(); }),
                  ReadOnlyStr("PeerAddr", [](TObject* o) { return static_cast<Z*>(o)->GetPeerAddr(); }),
                  Prop::String<Z>("DnsResult", &Z::DnsResult),
                  Prop::Object<Z>("DnsResultList", &Z::DnsResultList).NotStored(),
                  Prop::Enum<Z>("State", &SocketStateInfo, &Z::State,
                                static_cast<void (Z::*)(TSocketState)>(nullptr)),
                  Prop::Int<Z>("ReadCount", &Z::ReadCount),
                  [] {
                      TPropInfo p;
                      p.Name = "RcvdCount";
                      p.Kind = tkInteger;
                      p.GetOrd = [](TObject* o) -> int64_t { return static_cast<Z*>(o)->RcvdCount(); };
                      return p;
                  }(),
                  Prop::Int<Z>("LastError", &Z::LastError),
                  NetProp::Bool("MultiThreaded", &Z::MultiThreaded),
                  NetProp::Ord("ComponentOptions", tkSet, &Z::ComponentOptions, &ZSocketOptionInfo),
                  Prop::Method("OnDataAvailable"),
                  Prop::Method("OnDataSent"),
                  Prop::Method("OnSendData"),
                  Prop::Method("OnSessionClosed"),
                  Prop::Method("OnSessionAvailable"),
                  Prop::Method("OnSessionConnected"),
                  Prop::Method("OnSocksConnected"),
                  Prop::Method("OnChangeState"),
                  Prop::Method("OnLineTooLong"),
                  Prop::Method("OnDnsLookupDone"),
                  Prop::Method("OnError"),
                  Prop::Method("OnBgException"),
                  NetProp::Int("FlushTimeout", &Z::FlushTimeout),
                  Prop::Enum<Z>("SendFlags", &SendFlagsInfo, &Z::SendFlags, &Z::SetSendFlags),
                  NetProp::Enum("LingerOnOff", &LingerInfo, &Z::LingerOnOff),
                  NetProp::Int("LingerTimeout", &Z::LingerTimeout),
                  Prop::String<S>("SocksLevel", &S::SocksLevel, &S::SetSocksLevel),
                  Prop::String<S>("SocksServer", &S::SocksServer, &S::SetSocksServer),
                  Prop::String<S>("SocksPort", &S::SocksPort, &S::SetSocksPort),
                  NetProp::Str("SocksUsercode", &S::SocksUsercode),
                  NetProp::Str("SocksPassword", &S::SocksPassword),
                  NetProp::Enum("SocksAuthentication", &SocksAuthenticationInfo, &S::SocksAuthentication),
                  Prop::Method("OnSocksError"),
                  Prop::Method("OnSocksAuthState"),
                  Prop::Bool<L>("LineMode", &L::LineMode, &L::SetLineMode),
                  NetProp::Int("LineLimit", &L::LineLimit),
                  NetProp::Str("LineEnd", &L::LineEnd),
                  NetProp::Bool("LineEcho", &L::LineEcho),
                  NetProp::Bool("LineEdit", &L::LineEdit),
                  Prop::Method("OnLineLimitExceeded")})
ZEL_DEFINE_CLASS(TSocksZSocket, TZSocket, {})

TCustomLineZSocket::TCustomLineZSocket(TComponent* AOwner) : TCustomSocksZSocket(AOwner) {}

void TCustomLineZSocket::SetLineMode(bool Value) {
    if (Value == FLineMode)
        return;
    FLineMode = Value;
    if (!FRcvdBuf.empty() || FLineLength > 0)
        PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineZSocket::TriggerLineLimitExceeded(int32_t Cnt, bool& ClearData) {
    DoEvent(OnLineLimitExceeded, this, Cnt, ClearData);
}

int TCustomLineZSocket::GetRcvdCount() {
    if (FLineMode)
        return FLineLength;
    if (!FRcvdBuf.empty())
        return static_cast<int>(FRcvdBuf.size());
    return TCustomSocksZSocket::GetRcvdCount();
}

int TCustomLineZSocket::DoRecv(char* Buffer, int BufferSize, int Flags) {
    if (FLineMode && FLineLength > 0) {
        int n = std::min(BufferSize, FLineLength);
        if (n <= 0)
            return 0;
        std::memcpy(Buffer, FRcvdBuf.data(), n);
        if (!(Flags & MSG_PEEK)) {
            FRcvdBuf.erase(0, static_cast<size_t>(n));
            FLineLength -= n;
            ++FRecvProgress;
        }
        return n;
    }
    if (!FLineMode && !FRcvdBuf.empty()) {
        int n = std::min(BufferSize, static_cast<int>(FRcvdBuf.size()));
        if (n <= 0)
            return 0;
        std::memcpy(Buffer, FRcvdBuf.data(), n);
        if (!(Flags & MSG_PEEK)) {
            FRcvdBuf.erase(0, static_cast<size_t>(n));
            ++FRecvProgress;
        }
        return n;
    }
    return TCustomSocksZSocket::DoRecv(Buffer, BufferSize, Flags);
}

bool TCustomLineZSocket::OfferLine() {
    bool tookAny = false;
    while (FLineMode && FLineLength > 0) {
        int32_t before = FLineLength;
        if (!TCustomSocksZSocket::TriggerDataAvailable(0)) {
            // Nobody listens: the line is dropped.
            FRcvdBuf.erase(0, static_cast<size_t>(FLineLength));
            FLineLength = 0;
            return true;
        }
        if (FLineLength == before)
            return tookAny; // the handler declined; the line stays for a later pass
        tookAny = true;
    }
    return true;
}

void TCustomLineZSocket::EditLine(std::string& Fresh) {
    std::string out;
    size_t held = FRcvdBuf.size();
    bool changed = false;
    size_t firstChange = held + Fresh.size();
    for (char c : Fresh) {
        if (c == '\b') {
            changed = true;
            size_t pos = held + out.size();
            firstChange = std::min(firstChange, pos > 0 ? pos - 1 : 0);
            if (!out.empty()) {
                out.pop_back();
                if (LineEcho)
                    SendStr(std::string("\b \b"));
            } else if (held > 0) {
                FRcvdBuf.pop_back();
                --held;
                if (LineEcho)
                    SendStr(std::string("\b \b"));
            }
        } else if (c == '\t') {
            changed = true;
            firstChange = std::min(firstChange, held + out.size());
            do {
                out += ' ';
                if (LineEcho)
                    SendStr(std::string(" "));
            } while ((held + out.size()) % 8 != 0);
        } else {
            out += c;
            if (LineEcho)
                SendStr(std::string(1, c));
        }
    }
    if (changed) {
        Fresh = out;
        FSearchFrom = std::min(FSearchFrom, firstChange);
    }
}

bool TCustomLineZSocket::TriggerDataAvailable(uint16_t Error) {
    if (!FLineMode || LineEnd.empty() || SocksNegotiating())
        return TCustomSocksZSocket::TriggerDataAvailable(Error);

    int count = TCustomSocksZSocket::GetRcvdCount();
    if (count < 0)
        return true;
    if (count == 0)
        count = 255;
    std::string fresh(static_cast<size_t>(count), '\0');
    int n = TCustomSocksZSocket::DoRecv(fresh.data(), count, 0);
    if (n <= 0)
        return true;
    FReadCount += n;
    fresh.resize(static_cast<size_t>(n));

    FSearchFrom = FRcvdBuf.size() >= LineEnd.size() ? FRcvdBuf.size() - LineEnd.size() : 0;
    if (LineEdit)
        EditLine(fresh);
    else if (LineEcho)
        SendStr(fresh);
    FRcvdBuf += fresh;

    while (FLineMode && FLineLength == 0) {
        size_t pos = FRcvdBuf.find(LineEnd, FSearchFrom);
        if (pos == std::string::npos)
            break;
        FLineLength = static_cast<int32_t>(pos + LineEnd.size());
        FLineReceivedFlag = true;
        if (!OfferLine())
            break;
        if (FHSocket == INVALID_SOCKET && FRcvdBuf.empty())
            break;
        FSearchFrom = 0;
    }

    if (LineLimit >= 1 && static_cast<int32_t>(FRcvdBuf.size()) > LineLimit) {
        FLineClearData = true;
        TriggerLineLimitExceeded(static_cast<int32_t>(FRcvdBuf.size()), FLineClearData);
        if (FLineClearData) {
            FRcvdBuf.clear();
            FLineLength = 0;
        }
    }
    return true;
}

void TCustomLineZSocket::TriggerSessionClosed(uint16_t Error) {
    FLineReceivedFlag = true;
    if (FLineMode && !FRcvdBuf.empty() && !FLineClearData) {
        FLineLength = static_cast<int32_t>(FRcvdBuf.size());
        OfferLine();
    }
    FRcvdBuf.clear();
    FRcvdBuf.shrink_to_fit();
    FLineLength = 0;
    FLineClearData = false;
    TCustomSocksZSocket::TriggerSessionClosed(Error);
}

void TCustomLineZSocket::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    if (Msg != WM_TRIGGER_DATA_AVAILABLE) {
        TCustomSocksZSocket::WndProc(Msg, WParam, LParam, Result);
        return;
    }
    if (FLineMode) {
        if (FLineLength > 0) {
            OfferLine();
            return;
        }
        // Held bytes may hold complete lines: look again without waiting for more data.
        while (FLineMode && FLineLength == 0) {
            size_t pos = FRcvdBuf.find(LineEnd);
            if (LineEnd.empty() || pos == std::string::npos)
                break;
            FLineLength = static_cast<int32_t>(pos + LineEnd.size());
            FLineReceivedFlag = true;
            if (!OfferLine())
                break;
        }
        return;
    }
    while (!FRcvdBuf.empty()) {
        size_t before = FRcvdBuf.size();
        if (!TCustomSocksZSocket::TriggerDataAvailable(0) || FRcvdBuf.size() == before)
            break;
    }
}

// ---------------------------------------------------------------------------------------------

TCustomSyncZSocket::TCustomSyncZSocket(TComponent* AOwner) : TCustomLineZSocket(AOwner) {}

int TCustomSyncZSocket::WaitUntilReady(bool& DoneFlag) {
    DWORD start = GetTickCount();
    while (!DoneFlag) {
        DWORD slice = 100;
        if (TimeoutMs > 0) {
            DWORD spent = GetTickCount() - start;
            if (spent >= static_cast<DWORD>(TimeoutMs))
                return ZSocketWaitTimedOut;
            slice = std::min<DWORD>(slice, static_cast<DWORD>(TimeoutMs) - spent);
        }
        if ((Application && Application->Terminated()) || FTerminated)
            return ZSocketWaitTimedOut;
        MessagePump();
        if (DoneFlag)
            break;
        WaitForMessage(slice);
    }
    return 0;
}

int TCustomSyncZSocket::Synchronize(const std::function<void()>& Proc, bool& DoneFlag) {
    DoneFlag = false;
    if (Proc)
        Proc();
    return WaitUntilReady(DoneFlag);
}

void TCustomSyncZSocket::ReadLine(int Timeout, std::string& Buffer) {
    Buffer.clear();
    if (FState != wsConnected) {
        RaiseException("ReadLine failed: not connected");
        return;
    }
    int32_t savedTimeout = TimeoutMs;
    if (Timeout == 0)
        TimeoutMs = 60000;
    else if (Timeout < 0)
        TimeoutMs = -Timeout;
    else
        TimeoutMs = Timeout * 1000;
    FLineReceivedFlag = false;
    FLinePointer = &Buffer;
    TDataAvailable savedHandler = OnDataAvailable;
    bool savedMode = FLineMode;
    OnDataAvailable = [this](TObject*, uint16_t) {
        int len = GetRcvdCount();
        if (len <= 0 || !FLinePointer)
            return;
        std::string line(static_cast<size_t>(len), '\0');
        int n = Receive(line.data(), len);
        if (n > 0) {
            line.resize(static_cast<size_t>(n));
            *FLinePointer += line;
        }
    };
    FLineMode = true;
    struct Restore {
        TCustomSyncZSocket* s;
        TDataAvailable handler;
        bool mode;
        int32_t timeout;
        ~Restore() {
            s->OnDataAvailable = handler;
            s->FLineMode = mode;
            s->TimeoutMs = timeout;
            s->FLinePointer = nullptr;
        }
    } restore{this, savedHandler, savedMode, savedTimeout};
    // Bytes that came before the call may already hold the line.
    if (!FRcvdBuf.empty())
        PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
    int rc = WaitUntilReady(FLineReceivedFlag);
    if (rc == ZSocketWaitTimedOut) {
        Buffer += FRcvdBuf;
        FRcvdBuf.clear();
        FLineLength = 0;
    }
}
