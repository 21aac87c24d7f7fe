#include "controls/memo/MemoHotStrings.h"

#include <cctype>

#include "controls/foundation/HSCommon.h"

namespace {

bool StartsWithNoCase(const std::string& S, const char* Prefix) {
    size_t I = 0;
    for (; Prefix[I]; ++I)
        if (I >= S.size() || std::tolower(static_cast<unsigned char>(S[I])) != Prefix[I])
            return false;
    return true;
}

} // namespace

std::string HotStringToUrl(const std::string& S) {
    if (S.empty())
        return {};
    for (char C : S) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U <= ' ' || U == 127 || C == '"')
            return {};
    }
    static const char* const Allowed[] = {"http://", "https://", "ftp://", "mailto:"};
    for (const char* A : Allowed)
        if (StartsWithNoCase(S, A))
            return S.size() > std::char_traits<char>::length(A) ? S : std::string();
    // A scheme of any other kind ("file:", "javascript:", a drive letter) is refused.
    const size_t Colon = S.find(':');
    if (Colon != std::string::npos)
        return {};
    if (StartsWithNoCase(S, "www."))
        return "http://" + S;
    if (StartsWithNoCase(S, "ftp."))
        return "ftp://" + S;
    if (IsEmailString(S))
        return "mailto:" + S;
    return {};
}
