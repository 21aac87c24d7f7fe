#pragma once
// The clipboard, reached through Clipboard(); tests put an in-memory one in its place.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Win.h"

class TClipboard {
public:
    virtual ~TClipboard() = default;
    // Opening nests; the platform clipboard is opened by the outermost Open.
    virtual void Open();
    virtual void Close();
    virtual void Clear();
    virtual bool HasFormat(UINT Format);
    virtual std::string AsText();
    virtual void SetAsText(const std::string& Text);
    // Raw data of one format (the bytes of its global memory block).
    virtual std::vector<uint8_t> GetBuffer(UINT Format);
    virtual void SetBuffer(UINT Format, const void* Data, size_t Size);
    // A metafile handed over whole: CF_ENHMETAFILE takes an HENHMETAFILE, CF_METAFILEPICT a global
    // memory block holding a METAFILEPICT. The clipboard owns the handle from then on, also when
    // the call fails.
    virtual void SetMetafile(UINT Format, HANDLE Handle);
    // The metafile of that format as bytes: the enhanced metafile's records, or the METAFILEPICT
    // (its handle field zero) followed by the plain metafile's records; empty when there is none.
    virtual std::vector<uint8_t> GetMetafileBits(UINT Format);
    // Registers (or finds) a named clipboard format.
    static UINT RegisterFormat(const std::string& Name);

protected:
    int FOpenRefCount = 0;
    bool FEmptied = false;
};

// A clipboard that lives in the process; nothing reaches the system's.
class TMemoryClipboard : public TClipboard {
public:
    void Open() override {}
    void Close() override {}
    void Clear() override { FData.clear(); }
    bool HasFormat(UINT Format) override { return FData.count(Format) != 0; }
    std::string AsText() override;
    void SetAsText(const std::string& Text) override;
    std::vector<uint8_t> GetBuffer(UINT Format) override;
    void SetBuffer(UINT Format, const void* Data, size_t Size) override;
    // Keeps the metafile's bytes and frees the handle.
    void SetMetafile(UINT Format, HANDLE Handle) override;
    std::vector<uint8_t> GetMetafileBits(UINT Format) override { return GetBuffer(Format); }

private:
    std::map<UINT, std::vector<uint8_t>> FData;
};

TClipboard& Clipboard();
// Puts Replacement in place of the current clipboard object and returns the old one.
std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> Replacement);
