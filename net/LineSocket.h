#pragma once
// The upper layers of the socket chain: TCustomLineZSocket delivers received data line by line
// (with optional echo and simple editing for interactive peers); TCustomSyncZSocket waits for a
// condition while handling messages, with a time-out; TZSocket is the class owners create.

#include "net/SocksSocket.h"

using TLineLimitEvent = std::function<void(TObject* Sender, int32_t RcvdLength, bool& ClearData)>;

inline constexpr int32_t ZSocketWaitTimedOut = 12001;

class TCustomLineZSocket : public TCustomSocksZSocket {
    ZEL_DECLARE_CLASS(TCustomLineZSocket)
public:
    explicit TCustomLineZSocket(TComponent* AOwner);

    bool LineMode() const { return FLineMode; }
    virtual void SetLineMode(bool Value);
    std::string LineEnd = "\r\n";
    int32_t LineLimit = 65536;
    bool LineEcho = false;
    bool LineEdit = false;
    TLineLimitEvent OnLineLimitExceeded;
    // Bytes held in the line buffer (received, not yet delivered).
    int32_t HeldCount() const { return static_cast<int32_t>(FRcvdBuf.size()); }

protected:
    virtual void TriggerLineLimitExceeded(int32_t Cnt, bool& ClearData);
    virtual void EditLine(std::string& Fresh);
    void WndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override;
    int GetRcvdCount() override;
    int DoRecv(char* Buffer, int BufferSize, int Flags) override;
    bool TriggerDataAvailable(uint16_t Error) override;
    void TriggerSessionClosed(uint16_t Error) override;
    // Offers the current line until it is read; false when nobody took any of it.
    bool OfferLine();

    std::string FRcvdBuf;
    bool FLineMode = false;
    int32_t FLineLength = 0;
    bool FLineReceivedFlag = false;
    bool FLineClearData = false;
    size_t FSearchFrom = 0;
};

class TCustomSyncZSocket : public TCustomLineZSocket {
    ZEL_DECLARE_CLASS(TCustomSyncZSocket)
public:
    explicit TCustomSyncZSocket(TComponent* AOwner);

    // 0 when the flag got set; ZSocketWaitTimedOut on time-out or when the program is ending.
    virtual int WaitUntilReady(bool& DoneFlag);
    virtual int Synchronize(const std::function<void()>& Proc, bool& DoneFlag);
    // Time-out: 0 means 60 s, a negative value milliseconds, a positive value seconds. On a
    // time-out the bytes held so far become the text.
    void ReadLine(int Timeout, std::string& Buffer);
    int32_t TimeoutMs = 0; // for WaitUntilReady; 0 or less waits without limit

private:
    std::string* FLinePointer = nullptr;
};

class TZSocket : public TCustomSyncZSocket {
    ZEL_DECLARE_CLASS(TZSocket)
public:
    explicit TZSocket(TComponent* AOwner) : TCustomSyncZSocket(AOwner) {}
};

class TSocksZSocket : public TZSocket {
    ZEL_DECLARE_CLASS(TSocksZSocket)
public:
    explicit TSocksZSocket(TComponent* AOwner) : TZSocket(AOwner) {}
};
