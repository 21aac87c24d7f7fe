#include "net/ZSocket.h"

#include <cctype>
#include <cstring>

#include "framework/core/SysUtils.h"

namespace {

// Reads decimal digits after leading blanks, stopping at the first other character.
int LeadingNumber(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    int v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 1000000)
        v = v * 10 + (s[i++] - '0');
    return v;
}

std::unique_ptr<TStringList>& LocalIPs() {
    static std::unique_ptr<TStringList> list = std::make_unique<TStringList>();
    return list;
}

} // namespace

std::string ZSocketDottedAddr(uint32_t NetOrder) {
    in_addr a;
    a.s_addr = NetOrder;
    const char* s = ZSocket_inet_ntoa(a);
    return s ? s : "";
}

bool ZSocketIsDottedIP(const std::string& S) {
    size_t i = 0, n = S.size();
    while (i < n && S[i] == ' ')
        ++i;
    while (n > i && S[n - 1] == ' ')
        --n;
    int groups = 0;
    while (i < n) {
        int digits = 0, value = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(S[i]))) {
            value = value * 10 + (S[i] - '0');
            if (++digits > 3)
                return false;
            ++i;
        }
        if (digits == 0 || value > 255)
            return false;
        ++groups;
        if (i == n)
            break;
        if (S[i] != '.' || groups == 4)
            return false;
        ++i;
        if (i == n)
            return false;
    }
    return groups == 4;
}

uint32_t ZSocketResolveHost(const std::string& InAddr) {
    if (InAddr.empty() || InAddr.size() > 256)
        throw ESocketException("ZSocketResolveHost: '" + InAddr + "' Invalid Hostname.");
    if (ZSocketIsDottedIP(InAddr)) {
        std::string t = Trim(InAddr);
        unsigned long a = ZSocket_inet_addr(t.c_str());
        if (a == INADDR_NONE) {
            if (t == "255.255.255.255")
                return INADDR_BROADCAST;
            throw ESocketException("ZSocketResolveHost: '" + InAddr + "' Invalid IP address.");
        }
        return static_cast<uint32_t>(a);
    }
    hostent* he = ZSocket_gethostbyname(InAddr.c_str());
    if (!he || !he->h_addr_list || !he->h_addr_list[0])
        throw ESocketException(Format("ZSocketResolveHost: Cannot convert host address '%s', Error #%d",
                                      InAddr.c_str(), ZSocket_WSAGetLastError()));
    uint32_t a;
    std::memcpy(&a, he->h_addr_list[0], 4);
    return a;
}

uint16_t ZSocketResolvePort(const std::string& Port, const std::string& Proto) {
    if (Port.empty() || Port.size() >= 32)
        throw ESocketException("ZSocketResolvePort: Invalid Port.");
    if (Proto.empty() || Proto.size() >= 32)
        throw ESocketException("ZSocketResolvePort: Invalid Proto.");
    std::string t = TrimLeft(Port);
    if (!t.empty() && std::isdigit(static_cast<unsigned char>(t[0])))
        return static_cast<uint16_t>(LeadingNumber(t));
    servent* se = ZSocket_getservbyname(Port.c_str(), Proto.c_str());
    if (!se)
        throw ESocketException(Format("ZSocketResolvePort: Cannot convert port '%s', Error #%d", Port.c_str(),
                                      ZSocket_WSAGetLastError()));
    return ZSocket_ntohs(static_cast<u_short>(se->s_port));
}

int ZSocketResolveProto(const std::string& Proto) {
    if (Proto.empty() || Proto.size() >= 32)
        throw ESocketException("ZSocketResolveProto: Invalid Protocol.");
    std::string t = TrimLeft(Proto);
    if (!t.empty() && std::isdigit(static_cast<unsigned char>(t[0])))
        return LeadingNumber(t);
    // The service database of some systems lacks the two protocols everybody means.
    if (SameText(t, "tcp"))
        return IPPROTO_TCP;
    if (SameText(t, "udp"))
        return IPPROTO_UDP;
    protoent* pe = ZSocket_getprotobyname(Proto.c_str());
    if (!pe)
        throw ESocketException(Format("ZSocketResolveProto: Cannot convert protocol '%s', Error #%d",
                                      Proto.c_str(), ZSocket_WSAGetLastError()));
    return pe->p_proto;
}

std::string ZSocketGetHostByAddr(const std::string& Addr) {
    if (Addr.empty() || Addr.size() > 256)
        throw ESocketException("ZSocketGetHostByAddr: Invalid address.");
    uint32_t a = static_cast<uint32_t>(ZSocket_inet_addr(Addr.c_str()));
    hostent* he = ZSocket_gethostbyaddr(reinterpret_cast<const char*>(&a), 4, AF_INET);
    return he && he->h_name ? he->h_name : "";
}

std::string ZSocketGetHostByName(const std::string& Name) {
    if (Name.empty() || Name.size() > 256)
        throw ESocketException("ZSocketGetHostByName: Invalid Hostname.");
    hostent* he = ZSocket_gethostbyname(Name.c_str());
    if (!he || !he->h_addr_list || !he->h_addr_list[0])
        return "";
    uint32_t a;
    std::memcpy(&a, he->h_addr_list[0], 4);
    return ZSocketDottedAddr(a);
}

std::string ZSocketResolveIp(const std::string& IpAddr) {
    try {
        return ZSocketGetHostByAddr(IpAddr);
    } catch (const ESocketException&) {
        return "";
    }
}

std::string LocalHostName() {
    char name[64] = {};
    if (ZSocket_gethostname(name, sizeof(name)) != 0)
        throw ESocketException("Winsock.GetHostName failed");
    name[sizeof(name) - 1] = 0;
    return name;
}

TStrings* LocalIPList() {
    TStringList* list = LocalIPs().get();
    list->Clear();
    hostent* he = ZSocket_gethostbyname(LocalHostName().c_str());
    for (int i = 0; he && he->h_addr_list && he->h_addr_list[i]; ++i) {
        uint32_t a;
        std::memcpy(&a, he->h_addr_list[i], 4);
        list->Add(ZSocketDottedAddr(a));
    }
    return list;
}

std::string ZSocketErrorDesc(int ErrCode) {
    static const struct {
        int Code;
        const char* Text;
    } texts[] = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references: can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10092, "WinSock DLL cannot support this application"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "No Data"},
    };
    for (const auto& t : texts)
        if (t.Code == ErrCode)
            return t.Text;
    return "Not a WinSock error";
}
