#include "controls/foundation/StringUtils.h"

#include <objbase.h>

#include <cstdio>

#include "controls/foundation/PathUtils.h"
#include "framework/core/Component.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

TCharSet CharSet(const std::string& Chars) {
    TCharSet Set;
    for (char C : Chars)
        Set.set(static_cast<unsigned char>(C));
    return Set;
}

const TCharSet DefaultWordDelimiters = CharSet(std::string(" \t\r\n,.;:", 9));

int32_t GetFirstNotSpace(const std::string& S) {
    const size_t P = S.find_first_not_of(' ');
    return P == std::string::npos ? static_cast<int32_t>(S.size()) + 1 : static_cast<int32_t>(P) + 1;
}

std::string AddCharOccurence(const std::string& S, char Ch, int32_t N) {
    if (N <= 0)
        return S;
    std::string R;
    for (char C : S)
        R.append(C == Ch ? static_cast<size_t>(N) + 1 : 1, C);
    return R;
}

std::string RemoveCharSet(const TCharSet& Set, const std::string& S) {
    std::string R;
    for (char C : S)
        if (!InSet(Set, C))
            R += C;
    return R;
}

std::string RemoveNonIdentChars(const std::string& S) {
    std::string R;
    for (char C : S)
        if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_')
            R += C;
    return R;
}

TCharSet StringToCharSet(const TCharSet& Set, const std::string& S, bool CaseSensitive) {
    TCharSet R = Set | CharSet(S);
    if (!CaseSensitive)
        R |= CharSet(AnsiUpperCase(S)) | CharSet(AnsiLowerCase(S));
    return R;
}

std::string RemoveStrSet(const std::string& S, const std::string& Chars, bool CaseSensitive) {
    return RemoveCharSet(StringToCharSet(TCharSet(), Chars, CaseSensitive), S);
}

std::string StringOfSpace(int32_t N) {
    return N > 0 ? std::string(static_cast<size_t>(N), ' ') : std::string();
}

void AddBackSpaces(std::string& S, int32_t N) {
    if (static_cast<int32_t>(S.size()) < N)
        S.append(static_cast<size_t>(N) - S.size(), ' ');
}

std::string StrArrayToDelimStr(const std::vector<std::string>& Items, char Delim) {
    std::string R;
    for (const std::string& I : Items) {
        if (I.empty())
            continue;
        if (!R.empty())
            R += Delim;
        R += I;
    }
    return R;
}

std::string CommaText(const std::vector<std::string>& Items) {
    std::string R;
    for (size_t I = 0; I < Items.size(); ++I)
        R += (I ? "," : "") + Items[I];
    return R;
}

std::string StringsToString(const TStrings* Strings, char Delim) {
    std::string R;
    for (int I = 0; I < Strings->Count(); ++I) {
        if (I)
            R += Delim;
        R += Strings->Get(I);
    }
    return R;
}

void Replace(std::string& S, int32_t Pos, const std::string& Old, const std::string& New) {
    if (Pos < 1 || static_cast<size_t>(Pos) > S.size() + 1)
        return;
    S.replace(static_cast<size_t>(Pos) - 1, Old.size(), New);
}

void ReplaceAllOccurEx(std::string& S, const std::string& Old, const std::string& New, bool IgnoreCase) {
    if (Old.empty())
        return;
    const std::string Sought = IgnoreCase ? AnsiUpperCase(Old) : Old;
    size_t From = 0;
    for (;;) {
        const std::string Hay = IgnoreCase ? AnsiUpperCase(S) : S;
        const size_t P = Hay.find(Sought, From);
        if (P == std::string::npos)
            return;
        S.replace(P, Old.size(), New);
        From = P + New.size();
    }
}

void ReplaceAllOccur(std::string& S, const std::string& Old, const std::string& New) {
    ReplaceAllOccurEx(S, Old, New, false);
}

std::string TrimSeparatorsLeft(const std::string& S, const TCharSet& Set) {
    size_t I = 0;
    while (I < S.size() && InSet(Set, S[I]))
        ++I;
    return S.substr(I);
}

std::string TrimSeparatorsRight(const std::string& S, const TCharSet& Set) {
    size_t N = S.size();
    while (N > 0 && InSet(Set, S[N - 1]))
        --N;
    return S.substr(0, N);
}

std::string TrimSeparators(const std::string& S, const TCharSet& Set) {
    return TrimSeparatorsLeft(TrimSeparatorsRight(S, Set), Set);
}

int32_t GetWordPos(const std::string& S, int32_t N, const TCharSet& Delims) {
    size_t I = 0;
    for (int32_t Word = 1; N >= 1; ++Word) {
        while (I < S.size() && InSet(Delims, S[I]))
            ++I;
        if (I >= S.size())
            return -1;
        if (Word == N)
            return static_cast<int32_t>(I) + 1;
        while (I < S.size() && !InSet(Delims, S[I]))
            ++I;
    }
    return -1;
}

std::string GetWordEx(const std::string& S, int32_t N, const TCharSet& Delims) {
    const int32_t P = GetWordPos(S, N, Delims);
    if (P < 0)
        return "";
    size_t E = static_cast<size_t>(P) - 1;
    while (E < S.size() && !InSet(Delims, S[E]))
        ++E;
    return S.substr(static_cast<size_t>(P) - 1, E - (static_cast<size_t>(P) - 1));
}

std::string GetWord(const std::string& S, int32_t N) {
    return GetWordEx(S, N, DefaultWordDelimiters);
}

std::string ExtractQuotedStr(const std::string& S, char Quote) {
    if (S.size() < 2 || S.front() != Quote || S.back() != Quote)
        return S;
    const std::string Inner = S.substr(1, S.size() - 2);
    std::string R;
    for (size_t I = 0; I < Inner.size(); ++I) {
        R += Inner[I];
        if (Inner[I] == Quote && I + 1 < Inner.size() && Inner[I + 1] == Quote)
            ++I;
    }
    return R;
}

std::string ExtractControlName(const std::string& S) {
    const size_t First = S.find('.');
    if (First == std::string::npos)
        return "";
    const size_t Second = S.find('.', First + 1);
    return S.substr(First + 1, Second == std::string::npos ? std::string::npos : Second - First - 1);
}

std::string GetOriginalComponentName(const std::string& Name) {
    size_t I = Name.size();
    while (I > 0 && Name[I - 1] >= '0' && Name[I - 1] <= '9')
        --I;
    if (I == Name.size() || I == 0 || Name[I - 1] != '_')
        return Name;
    return Name.substr(0, I - 1);
}

std::string ExtractOnlyName(const std::string& FileName) {
    return ChangeFileExt(ExtractFileName(FileName), "");
}

std::string ChangeFileName(const std::string& FileName, const std::string& NewName) {
    return ExtractFilePath(FileName) + NewName;
}

std::string RemoveExtraSlash(const std::string& S) {
    return StringReplaceAll(S, "\\\\", "\\");
}

bool StrToBoolean(const std::string& S) {
    return CompareText(S, "True") == 0;
}

std::string PointToStr(const POINT& P) {
    return std::to_string(P.x) + " " + std::to_string(P.y);
}

std::string RectToStr(const RECT& R) {
    return std::to_string(R.left) + " " + std::to_string(R.top) + " " + std::to_string(R.right) + " " +
           std::to_string(R.bottom);
}

int32_t ShortMonthNameToIndex(const std::string& Name) {
    for (int32_t M = 1; M <= 12; ++M) {
        char Buf[80] = {};
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(M - 1), Buf,
                           sizeof Buf) &&
            AnsiCompareText(Buf, Name) == 0)
            return M;
    }
    return -1;
}

int32_t CurrentYear() {
    int Year = 0, Month = 0, Day = 0;
    DecodeDate(Now(), Year, Month, Day);
    return Year;
}

bool NameIsUnique(const TComponent* Owner, const std::string& Name) {
    return !Owner || Owner->FindComponent(Name) == nullptr;
}

std::string UniqueName(const TComponent* Owner, const std::string& Base) {
    for (int32_t I = 1;; ++I) {
        const std::string Name = Base + std::to_string(I);
        if (NameIsUnique(Owner, Name))
            return Name;
    }
}

std::string GUIDToString(const GUID& Guid) {
    return StringFromGUID(Guid);
}

GUID StringToGUID(const std::string& S) {
    GUID G{};
    unsigned long D1 = 0;
    unsigned D2 = 0, D3 = 0, B[8] = {};
    int Used = 0;
    if (S.size() != 38 ||
        std::sscanf(S.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%n", &D1, &D2, &D3, &B[0], &B[1],
                    &B[2], &B[3], &B[4], &B[5], &B[6], &B[7], &Used) != 11 ||
        Used != 38)
        throw EConvertError("'" + S + "' is not a valid GUID value");
    G.Data1 = D1;
    G.Data2 = static_cast<unsigned short>(D2);
    G.Data3 = static_cast<unsigned short>(D3);
    for (int I = 0; I < 8; ++I)
        G.Data4[I] = static_cast<unsigned char>(B[I]);
    return G;
}

GUID CreateNewGUID() {
    GUID G{};
    CoCreateGuid(&G);
    return G;
}
