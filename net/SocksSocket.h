#pragma once
// TCustomSocksZSocket: a TCP connection through a SOCKS server of level 4, 4A or 5 (with
// user-name and password authentication for 5). The owner sees the session as connected only
// once the server has granted it.

#include "net/ZSocket.h"

enum TSocksState : uint8_t {
    socksData = 0,
    socksNegociateMethods = 1,
    socksAuthenticate = 2,
    socksConnect = 3
};
enum TSocksAuthentication { socksNoAuthentication = 0, socksAuthenticateUsercode = 1 };
enum TSocksAuthState {
    socksAuthStart = 0,
    socksAuthSuccess = 1,
    socksAuthFailure = 2,
    socksAuthNotRequired = 3
};

using TSocksErrorEvent = std::function<void(TObject* Sender, int32_t Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

// Negotiation failures, passed to OnSocksError and then to OnSessionConnected.
inline constexpr int32_t socksProtocolError = 20001;
inline constexpr int32_t socksVersionError = 20002;
inline constexpr int32_t socksAuthMethodError = 20003;
inline constexpr int32_t socksGeneralFailure = 20004;
inline constexpr int32_t socksConnectionNotAllowed = 20005;
inline constexpr int32_t socksNetworkUnreachable = 20006;
inline constexpr int32_t socksHostUnreachable = 20007;
inline constexpr int32_t socksConnectionRefused = 20008;
inline constexpr int32_t socksTtlExpired = 20009;
inline constexpr int32_t socksUnknownCommand = 20010;
inline constexpr int32_t socksUnknownAddressType = 20011;
inline constexpr int32_t socksUnassignedError = 20012;
inline constexpr int32_t socksInternalError = 20013;
inline constexpr int32_t socksFieldTooLong = 20014;
inline constexpr int32_t socksAuthenticationFailed = 20015;
inline constexpr int32_t socksRejectedOrFailed = 20016;

class TCustomSocksZSocket : public TCustomZSocket {
    ZEL_DECLARE_CLASS(TCustomSocksZSocket)
public:
    explicit TCustomSocksZSocket(TComponent* AOwner);

    void Connect() override;
    void Listen() override;

    const std::string& SocksServer() const { return FSocksServer; }
    void SetSocksServer(const std::string& Value);
    const std::string& SocksPort() const { return FSocksPort; }
    void SetSocksPort(const std::string& Value);
    const std::string& SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& Value);
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;
    TSocksState SocksState() const { return FSocksState; }
    // What the server reports as bound for the session (level 5).
    const std::string& BoundAddr() const { return FBoundAddr; }
    const std::string& BoundPort() const { return FBoundPort; }

    TSocksErrorEvent OnSocksError;
    TSessionEvent OnSocksConnected;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    virtual void TriggerSocksConnected(uint16_t Error);
    virtual void TriggerSocksError(int32_t Error, const std::string& Msg);
    void TriggerSocksAuthState(TSocksAuthState AuthState);
    void AssignDefaultValue() override;
    int GetRcvdCount() override;
    bool TriggerDataAvailable(uint16_t Error) override;
    void TriggerSessionConnected(uint16_t Error) override;
    void TriggerSessionClosed(uint16_t Error) override;
    int DoRecv(char* Buffer, int BufferSize, int Flags) override;
    bool SocksNegotiating() const { return FSocksState != socksData; }

private:
    void SocksDoConnect();
    void SocksDoAuthenticate();
    void DataAvailableError(int32_t ErrCode, const std::string& Msg);
    // Reads into the reply buffer; false when nothing came.
    bool ReadReply();
    void SocksConnected();

    TSocksState FSocksState = socksData;
    std::string FSocksServer;
    std::string FSocksLevel = "5";
    std::string FSocksPort;
    bool FSocksPortAssigned = false;
    bool FSocksServerAssigned = false;
    uint8_t FSocksMethod = 0;
    std::string FBoundAddr;
    std::string FBoundPort;
    // Room for the longest level-5 reply (4 + 1 + 255 + 2 bytes) and what may follow it.
    static constexpr int ReplySize = 1024;
    uint8_t FRcvBuf[ReplySize]{};
    int FRcvCnt = 0;
    int FSocksRcvdCnt = 0;
    int FSocksRcvdPtr = 0;
    uint16_t FTargetPort = 0;
};
