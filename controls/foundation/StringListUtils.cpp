#include "controls/foundation/StringListUtils.h"

#include <algorithm>
#include <climits>

#include "controls/foundation/PropertyUtils.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

bool EqualList(const TList* A, const TList* B) {
    if (A->Count() != B->Count())
        return false;
    for (int I = 0; I < A->Count(); ++I)
        if (B->IndexOf(A->Get(I)) < 0)
            return false;
    return true;
}

bool ListsInterSect(const TList* A, const TList* B) {
    for (int I = 0; I < A->Count(); ++I)
        if (B->IndexOf(A->Get(I)) >= 0)
            return true;
    return false;
}

void AddList(const TList* Source, TList* Dest) {
    if (Source == Dest)
        return;
    Dest->SetCapacity(std::max(Dest->Capacity(), Dest->Count() + Source->Count()));
    for (int I = 0; I < Source->Count(); ++I)
        Dest->Add(Source->Get(I));
}

void RemoveItem(TList* List, TObject* Obj) {
    if (List->Remove(Obj) >= 0)
        delete Obj;
}

void RemoveSortedItem(TCustomSortedList* List, TObject* Obj) {
    if (List->Remove(Obj) >= 0 && !List->OwnsItems())
        delete Obj;
}

bool ForEachListItem(const TList* List, const TListItemProc& Proc) {
    bool Continue = true;
    for (int I = List->Count() - 1; I >= 0 && Continue; --I) {
        if (I >= List->Count())
            continue;
        Proc(List->Get(I), I, Continue);
    }
    return Continue;
}

TList* CreateList() {
    return new TList;
}

void CreateListIfEmpty(TList*& List) {
    if (!List)
        List = new TList;
}

TStringList* CreateSortedStringList() {
    auto* L = new TStringList;
    L->SetSorted(true);
    return L;
}

void FreeStringsObjects(TStrings* Strings) {
    for (int I = Strings->Count() - 1; I >= 0; --I) {
        TObject* Obj = Strings->GetObject(I);
        Strings->PutObject(I, nullptr);
        delete Obj;
    }
}

void ClearStrings(TStrings* Strings) {
    FreeStringsObjects(Strings);
    Strings->Clear();
}

void FreeStrings(TStrings*& Strings) {
    if (!Strings)
        return;
    FreeStringsObjects(Strings);
    FreeObject(Strings);
}

void StrArrayToStrings(TStrings* Strings, const std::vector<std::string>& Items) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const std::string& S : Items)
        Strings->Add(S);
    Strings->EndUpdate();
}

namespace {

// Runs Change over every line; a sorted list is unsorted meanwhile and sorted again after.
void ChangeEveryLine(TStrings* Strings, std::string (*Change)(const std::string&)) {
    auto* Sorted = dynamic_cast<TStringList*>(Strings);
    const bool WasSorted = Sorted && Sorted->Sorted();
    if (WasSorted)
        Sorted->SetSorted(false);
    Strings->BeginUpdate();
    for (int I = 0; I < Strings->Count(); ++I)
        Strings->Put(I, Change(Strings->Get(I)));
    Strings->EndUpdate();
    if (WasSorted)
        Sorted->SetSorted(true);
}

} // namespace

void AnsiUpperCaseStrings(TStrings* Strings) {
    ChangeEveryLine(Strings, &AnsiUpperCase);
}

void AnsiLowerCaseStrings(TStrings* Strings) {
    ChangeEveryLine(Strings, &AnsiLowerCase);
}

void RemoveEmptyStrings(TStrings* Strings) {
    for (int I = Strings->Count() - 1; I >= 0; --I)
        if (Trim(Strings->Get(I)).empty())
            Strings->Delete(I);
}

void RemoveStrings(TStrings* A, const TStrings* B) {
    for (int I = A->Count() - 1; I >= 0; --I)
        if (B->IndexOf(A->Get(I)) >= 0)
            A->Delete(I);
}

void IntersectStrings(const TStrings* A, TStrings* B) {
    for (int I = B->Count() - 1; I >= 0; --I)
        if (A->IndexOf(B->Get(I)) < 0)
            B->Delete(I);
}

void SubtractStrings(TStrings* A, const TStrings* B) {
    RemoveStrings(A, B);
}

void SortAndRemoveDups(TStrings* Strings) {
    TStringList Sorted;
    Sorted.SetSorted(true);
    Sorted.SetDuplicates(dupIgnore);
    for (int I = 0; I < Strings->Count(); ++I)
        Sorted.AddObject(Strings->Get(I), Strings->GetObject(I));
    Strings->BeginUpdate();
    Strings->Clear();
    for (int I = 0; I < Sorted.Count(); ++I)
        Strings->AddObject(Sorted.Get(I), Sorted.GetObject(I));
    Strings->EndUpdate();
}

void NamePartToStrings(const TStrings* Source, TStrings* Dest) {
    for (int I = 0; I < Source->Count(); ++I) {
        const std::string S = Source->Get(I);
        Dest->Add(S.substr(0, S.find('=')));
    }
}

void ValuePartToStrings(const TStrings* Source, TStrings* Dest) {
    for (int I = 0; I < Source->Count(); ++I) {
        const std::string S = Source->Get(I);
        const size_t P = S.find('=');
        Dest->Add(P == std::string::npos ? std::string() : S.substr(P + 1));
    }
}

void ExtractFilePaths(const TStrings* Source, TStrings* Dest) {
    TStringList Paths;
    Paths.SetSorted(true);
    Paths.SetDuplicates(dupIgnore);
    for (int I = 0; I < Source->Count(); ++I)
        Paths.Add(ExtractFilePath(Source->Get(I)));
    Dest->Assign(&Paths);
}

void StringsToProc(const TStrings* Strings, const std::function<void(const std::string& S)>& Proc) {
    for (int I = 0; I < Strings->Count(); ++I)
        Proc(Strings->Get(I));
}

void StringsObjectsToList(const TStrings* Strings, TList* List) {
    for (int I = 0; I < Strings->Count(); ++I)
        List->Add(Strings->GetObject(I));
}

int32_t MaxIntValue(const std::vector<int32_t>& Values) {
    return Values.empty() ? INT32_MIN : *std::max_element(Values.begin(), Values.end());
}

// ---- search ----

namespace {

std::string SearchLine(const TStrings* Strings, int32_t Y, bool Upper) {
    std::string L = Strings->Get(Y);
    size_t N = L.size();
    while (N > 0 && L[N - 1] == ' ')
        --N;
    L.resize(N);
    return Upper ? AnsiUpperCase(L) : L;
}

// The run of characters not in Delims around a hit at P (from 0) of length Len: [Start, End).
void RunAround(const std::string& L, size_t P, size_t Len, const TCharSet& Delims, size_t& Start,
               size_t& End) {
    Start = P;
    while (Start > 0 && !InSet(Delims, L[Start - 1]))
        --Start;
    End = std::min(L.size(), P + Len);
    while (End < L.size() && !InSet(Delims, L[End]))
        ++End;
}

} // namespace

bool FindInStringsEx(const std::string& Text, const TStrings* Strings, TStrSearchParams Params,
                     const TCharSet& Delims, TStrPos& Pos, int32_t& Len, const TFindInLineProc& FindProc) {
    Len = static_cast<int32_t>(Text.size());
    const int32_t Count = Strings->Count();
    if (Count == 0 || Text.empty())
        return false;
    const bool Upper = !(Params & spCaseSens) && !FindProc;
    const std::string Sought = Upper ? AnsiUpperCase(Text) : Text;
    const bool Whole = (Params & spWholeWords) != 0;

    // A hit at column P (from 1) of length HitLen; true when it counts, else Next is where to go on.
    auto Accept = [&](const std::string& L, int32_t P, int32_t HitLen, bool Forward, int32_t& Next) {
        if (!Whole)
            return true;
        size_t Start = 0;
        size_t End = 0;
        RunAround(L, static_cast<size_t>(P - 1), static_cast<size_t>(HitLen), Delims, Start, End);
        if (Start == static_cast<size_t>(P - 1) && End == static_cast<size_t>(P - 1 + HitLen))
            return true;
        const bool StartsAtHit = Start == static_cast<size_t>(P - 1);
        if (Forward)
            Next = StartsAtHit ? P + 1 : static_cast<int32_t>(End) + 1;
        else
            Next = StartsAtHit ? P - 1 : static_cast<int32_t>(Start);
        return false;
    };

    if (!(Params & spBackSearch)) {
        int32_t X = std::max(Pos.X, 1);
        for (int32_t Y = std::max(Pos.Y, 0); Y < Count; ++Y, X = 1) {
            const std::string L = SearchLine(Strings, Y, Upper);
            if (static_cast<int32_t>(L.size()) < X && !(L.empty() && X == 1 && FindProc))
                continue;
            for (;;) {
                int32_t P = X;
                int32_t HitLen = Len;
                if (FindProc) {
                    if (!FindProc(L, P, true, HitLen))
                        break;
                } else {
                    const size_t F = L.find(Sought, static_cast<size_t>(X - 1));
                    if (F == std::string::npos)
                        break;
                    P = static_cast<int32_t>(F) + 1;
                }
                int32_t Next = X + 1;
                if (Accept(L, P, HitLen, true, Next)) {
                    Pos = {P, Y};
                    Len = HitLen;
                    return true;
                }
                X = std::max(Next, X + 1);
                if (X > static_cast<int32_t>(L.size()))
                    break;
            }
        }
        return false;
    }

    int32_t X = Pos.X;
    int32_t Y = Pos.Y;
    if (Y >= Count) {
        Y = Count - 1;
        X = INT32_MAX;
    }
    for (; Y >= 0; --Y, X = INT32_MAX) {
        const std::string L = SearchLine(Strings, Y, Upper);
        X = std::min(X, static_cast<int32_t>(L.size()));
        while (X >= 1) {
            int32_t P = X;
            int32_t HitLen = Len;
            if (FindProc) {
                if (!FindProc(L, P, false, HitLen))
                    break;
            } else {
                const size_t F = L.rfind(Sought, static_cast<size_t>(X - 1));
                if (F == std::string::npos)
                    break;
                P = static_cast<int32_t>(F) + 1;
            }
            int32_t Next = X - 1;
            if (Accept(L, P, HitLen, false, Next)) {
                Pos = {P, Y};
                Len = HitLen;
                return true;
            }
            X = std::min(Next, X - 1);
        }
    }
    return false;
}

bool FindNextInStrings(const std::string& Text, const TStrings* Strings, bool CaseSensitive, TStrPos& Pos,
                       int32_t& Len, const TFindInLineProc& FindProc) {
    return FindInStringsEx(Text, Strings, CaseSensitive ? TStrSearchParams{spCaseSens} : TStrSearchParams{0},
                           TCharSet(), Pos, Len, FindProc);
}

bool FindFirstInStrings(const std::string& Text, const TStrings* Strings, bool CaseSensitive, TStrPos& Pos,
                        int32_t& Len, const TFindInLineProc& FindProc) {
    Pos = {1, 0};
    return FindNextInStrings(Text, Strings, CaseSensitive, Pos, Len, FindProc);
}
