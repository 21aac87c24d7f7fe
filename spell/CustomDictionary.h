#pragma once
// TCustomDictionary: one user dictionary (".wdu"; the learned suggestions ".wdl" use the same
// format). Words of three kinds (ignore 'I', exclude 'E', auto-correct 'A' with a replacement)
// live back to back in one byte buffer, found through an open-addressing hash table of buffer
// positions. The file is an image of that state, so the hash, the table sizes and the probe
// sequence are part of the format.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

// The 120 bytes (banner text and its 0) that begin every user dictionary file.
extern const char kUserDictionaryBanner[120];
constexpr int32_t kUserDictionaryHeaderSize = 121;

class TCustomDictionary : public TObject {
public:
    TCustomDictionary();
    ~TCustomDictionary() override;

    // Properties.
    const std::string& GetFilename() const { return FFilename; }
    virtual void WriteFilename(const std::string& Name);
    bool GetLoaded() const { return FLoaded; }
    virtual void WriteLoaded(bool Value);
    bool Modified() const { return FModified; }
    int IgnoreCount() { return ReadIgnoreCount(); }
    int ExcludeCount() { return ReadExcludeCount(); }
    int AutoCorrectCount() { return ReadAutoCorrectCount(); }
    // Why the last load or save failed (empty after a success).
    const std::string& LastError() const { return FLastError; }

    virtual int ReadIgnoreCount();
    virtual int ReadExcludeCount();
    virtual int ReadAutoCorrectCount();
    // Whether Name is a user dictionary, or a file that may become one (missing and creatable,
    // or empty). With keepOpen an existing file stays open at offset 121 in Handle.
    virtual bool IsCustomDictionary(const std::string& Name, bool KeepOpen, HANDLE& Handle);

    virtual TCustomDictionary* CreateInstance();
    // Writes the changes (merged with the file when another program changed it since loading).
    // False, with Modified and the recorded changes kept, when nothing could be written.
    virtual bool Save();
    virtual bool SaveAs(const std::string& Name);
    virtual std::string GetIgnoreWord(unsigned Index);
    virtual std::string GetExcludeWord(unsigned Index);
    virtual std::string GetAutoCorrectWord(unsigned Index, std::string& Replacement);
    virtual bool IgnoreExists(const std::string& Word);
    virtual bool ExcludeExists(const std::string& Word);
    virtual bool AutoCorrectExists(const std::string& Word, std::string& Replacement);
    virtual bool AddIgnore(const std::string& Word);
    virtual bool AddExclude(const std::string& Word);
    virtual bool AddAutoCorrect(const std::string& Word, const std::string& Replacement);
    virtual bool RemoveIgnore(const std::string& Word);
    virtual bool RemoveExclude(const std::string& Word);
    virtual bool RemoveAutoCorrect(const std::string& Word);
    virtual void RemoveAll();

    // Inspection of the in-memory image (file offsets follow from these).
    int32_t SlotCount() const { return FSlotCount; }
    int32_t WordCount() const { return FWordCount; }
    int32_t BufferLength() const { return static_cast<int32_t>(FBuffer.size()); }
    int32_t Slot(int i) const { return FSlots[static_cast<size_t>(i)]; }

protected:
    virtual bool LoadDictionary(HANDLE Handle);
    virtual bool SaveDictionary(const std::string& Name);
    virtual void AddToIndexList(char Kind, int32_t Position);
    virtual void SetupIndexLists();
    virtual std::string StringFromStreamPos(int32_t Position) const;
    virtual bool FindWord(char Kind, const std::string& Word, int32_t& Index, int32_t& Position);
    virtual void AppendBuffer(const uint8_t* Data, int32_t Length);
    virtual bool InternalHash(std::vector<int32_t>& Slots, const char* Word, int32_t Position);
    virtual bool AddHash(const std::string& Word, int32_t Position);
    virtual bool AddWord(char Kind, const std::string& Word, const std::string& Replacement);
    virtual bool RemoveWord(char Kind, const std::string& Word);

private:
    struct FileStamp {
        uint64_t Time = 0; // last-write time, full resolution; 0 for no file
        uint64_t Size = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp StampOf(HANDLE h);
    void Unload();
    void ClearChanges();
    bool Parse(const std::vector<uint8_t>& data);
    // A word of one kind added or removed: the change is noted for a later merge with the file
    // when changes are tracked, and Stored, the kind's count, follows.
    bool AddCounted(char Kind, const std::string& Word, TStringList& Added, int32_t& Stored);
    bool RemoveCounted(char Kind, const std::string& Word, TStringList& Removed, int32_t& Stored);

    std::string FFilename;
    bool FLoaded = false;
    bool FModified = false;
    bool FRemovedAll = false; // the changes start from an empty dictionary, not from the file
    int32_t FStoredIgnoreCount = 0;
    int32_t FStoredExcludeCount = 0;
    int32_t FStoredAutoCorrectCount = 0;
    FileStamp FFileDate;
    int32_t FWordCount = 0;
    std::vector<uint8_t> FBuffer;
    int32_t FSlotCount = 0;
    std::vector<int32_t> FSlots;
    bool FIndexListsReady = false;
    std::vector<int32_t> FIgnoreIndex, FExcludeIndex, FAutoCorrectIndex;
    bool FTrackChanges = false;
    TStringList FRemovedIgnore, FRemovedExclude, FRemovedAutoCorrect;
    TStringList FAddedIgnore, FAddedExclude;
    TStringList FAddedAutoCorrectWords, FAddedAutoCorrectReplacements;
    std::string FLastError;
};
