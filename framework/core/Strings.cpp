#include "framework/core/Strings.h"

#include "framework/core/List.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TStrings, TPersistent, {})
ZEL_DEFINE_CLASS(TStringList, TStrings, {})

// ---- TStrings ----

void TStrings::Error(const char* Msg, int Data) const {
    throw EStringListError(Format(Msg, Data));
}

void TStrings::Put(int Index, const std::string& S) {
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& S) {
    int i = GetCount();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TStrings::AddStrings(const TStrings* Strings) {
    if (!Strings)
        return;
    auto Update = UpdateBracket(*this);
    for (int i = 0; i < Strings->GetCount(); ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    auto Update = UpdateBracket(*this);
    std::string s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    auto Update = UpdateBracket(*this);
    std::string s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        {
            auto Update = UpdateBracket(*this);
            Clear();
            AddStrings(src);
        }
        return;
    }
    TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings* Strings) const {
    if (!Strings || Strings->GetCount() != GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
    return AnsiCompareText(S1, S2);
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0; i < GetCount(); ++i) {
        std::string s = Get(i);
        size_t p = s.find('=');
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

std::string TStrings::Names(int Index) const {
    std::string s = Get(Index);
    size_t p = s.find('=');
    return p == std::string::npos ? "" : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? "" : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int Index) const {
    std::string s = Get(Index);
    size_t p = s.find('=');
    return p == std::string::npos ? "" : s.substr(p + 1);
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        Add(Name + "=" + Value);
    else
        Put(i, Name + "=" + Value);
}

std::string TStrings::GetText() const {
    std::string out;
    for (int i = 0; i < GetCount(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& Value) {
    auto Update = UpdateBracket(*this);
    Clear();
    size_t i = 0, n = Value.size();
    while (i < n) {
        size_t start = i;
        while (i < n && Value[i] != '\r' && Value[i] != '\n')
            ++i;
        Add(Value.substr(start, i - start));
        if (i < n && Value[i] == '\r')
            ++i;
        if (i < n && Value[i] == '\n')
            ++i;
    }
}

std::string TStrings::GetDelimited(char delim, char quote) const {
    int n = GetCount();
    if (n == 1 && Get(0).empty())
        return std::string(2, quote);
    std::string out;
    for (int i = 0; i < n; ++i) {
        std::string s = Get(i);
        bool needQuote = false;
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == quote || c == delim)
                needQuote = true;
        if (needQuote) {
            std::string q(1, quote);
            for (char c : s) {
                if (c == quote)
                    q += quote;
                q += c;
            }
            s = q + quote;
        }
        if (i)
            out += delim;
        out += s;
    }
    return out;
}

void TStrings::SetDelimited(const std::string& value, char delim, char quote) {
    auto Update = UpdateBracket(*this);
    Clear();
    // The text ends at a NUL character, as a C string would.
    size_t p = 0, n = value.find('\0');
    if (n == std::string::npos)
        n = value.size();
    auto blank = [&](size_t i) {
        return i < n && value[i] != 0 && static_cast<unsigned char>(value[i]) <= ' ';
    };
    while (blank(p))
        ++p;
    while (p < n) {
        std::string s;
        if (value[p] == quote) {
            ++p;
            while (p < n) {
                if (value[p] == quote) {
                    if (p + 1 < n && value[p + 1] == quote) {
                        s += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += value[p++];
            }
        } else {
            size_t start = p;
            while (p<n&& static_cast<unsigned char>(value[p])> ' ' && value[p] != delim)
                ++p;
            s = value.substr(start, p - start);
        }
        Add(s);
        while (blank(p))
            ++p;
        if (p < n && value[p] == delim) {
            do
                ++p;
            while (blank(p));
        }
    }
}

std::string TStrings::CommaText() const {
    return GetDelimited(',', '"');
}
void TStrings::SetCommaText(const std::string& Value) {
    SetDelimited(Value, ',', '"');
}
std::string TStrings::DelimitedText() const {
    return GetDelimited(FDelimiter, FQuoteChar);
}
void TStrings::SetDelimitedText(const std::string& Value) {
    SetDelimited(Value, FDelimiter, FQuoteChar);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    TFileStream f(FileName, fmCreate);
    SaveToStream(f);
}

void TStrings::LoadFromStream(TStream& Stream) {
    // Read everything first, so that a failed read leaves the list as it was.
    std::string text = Stream.ReadRemaining();
    SetText(text);
}

void TStrings::SaveToStream(TStream& Stream) const {
    Stream.WriteString(GetText());
}

// ---- TStringList ----

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount())
        Error(SListIndexError, Index);
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].Obj = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            Error(SDuplicateString, 0);
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted)
        Error(SSortedListError, 0);
    if (Index < 0 || Index > GetCount())
        Error(SListIndexError, Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

bool TStringList::Find(const std::string& S, int& Index) const {
    bool found = false;
    int lo = 0, hi = GetCount() - 1;
    while (lo <= hi) {
        int mid = static_cast<int>((static_cast<unsigned>(lo) + static_cast<unsigned>(hi)) >> 1);
        int c = CompareStrings(FList[static_cast<size_t>(mid)].S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted)
        return TStrings::IndexOf(S);
    int i;
    return Find(S, i) ? i : -1;
}

void TStringList::SetText(const std::string& Value) {
    TStrings::SetText(Value);
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& Compare) {
    if (FSorted || GetCount() < 2)
        return;
    Changing();
    QuickSortIndexes(
        0, GetCount() - 1, [&](int i, int j) { return Compare(this, i, j); },
        [&](int i, int j) { ExchangeItems(i, j); });
    Changed();
}

void TStringList::Sort() {
    if (GetCount() < 2)
        return;
    Changing();
    QuickSortIndexes(
        0, GetCount() - 1,
        [&](int i, int j) {
            return CompareStrings(FList[static_cast<size_t>(i)].S, FList[static_cast<size_t>(j)].S);
        },
        [&](int i, int j) { ExchangeItems(i, j); });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

void TStringList::Changed() {
    if (UpdateCount() == 0)
        DoEvent(OnChange, this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0)
        DoEvent(OnChanging, this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}
