#pragma once
// TStrings (abstract list of strings with an object per entry) and TStringList.
// Indexes count from 0. Line breaks in Text are CR LF.

#include <string>
#include <vector>

#include "framework/core/Object.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    ZEL_DECLARE_CLASS(TStrings)
public:
    TStrings() = default;
    ~TStrings() override = default;

    // Element access.
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual int GetCount() const = 0;
    int Count() const { return GetCount(); }
    std::string operator[](int Index) const { return Get(Index); }
    std::string Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }

    // Changes.
    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void AddStrings(const TStrings* Strings);
    virtual void Insert(int Index, const std::string& S) = 0;
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    void Assign(TPersistent* Source) override;
    bool Equals(const TStrings* Strings) const;

    // Searches (case-insensitive through the user locale unless a subclass says otherwise).
    virtual int IndexOf(const std::string& S) const;
    virtual int IndexOfName(const std::string& Name) const;
    int IndexOfObject(TObject* AObject) const;

    // NAME=VALUE entries.
    std::string Names(int Index) const; // empty when the entry has no '='
    std::string Values(const std::string& Name) const;
    void SetValue(const std::string& Name, const std::string& Value); // an empty value deletes the entry
    std::string ValueFromIndex(int Index) const;

    // Whole-list texts.
    virtual std::string GetText() const;            // each line followed by CR LF
    virtual void SetText(const std::string& Value); // splits at CR LF, CR or LF
    std::string Text() const { return GetText(); }
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char c) { FDelimiter = c; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char c) { FQuoteChar = c; }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream) const;

protected:
    virtual void SetUpdateState(bool Updating);
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    [[noreturn]] void Error(const char* Msg, int Data) const;

private:
    std::string GetDelimited(char delim, char quote) const;
    void SetDelimited(const std::string& value, char delim, char quote);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
};

class TStringList : public TStrings {
    ZEL_DECLARE_CLASS(TStringList)
public:
    TStringList() = default;
    ~TStringList() override;

    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int GetCount() const override { return static_cast<int>(FList.size()); }

    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override; // EStringListError on a sorted list
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;
    void SetText(const std::string& Value) override;

    // Bisection search of a sorted list; Index is the match, or where S would be inserted.
    // Under dupAccept it finds the first of several equal entries.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList* List, int Index1, int Index2)>& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct Item {
        std::string S;
        TObject* Obj;
    };
    void CheckIndex(int Index) const;
    void ExchangeItems(int Index1, int Index2);

    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
