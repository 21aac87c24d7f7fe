#include "framework/ui/Clipbrd.h"

#include <algorithm>
#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/ScopeGuard.h"

namespace {
std::unique_ptr<TClipboard>& Current() {
    static std::unique_ptr<TClipboard> Instance;
    return Instance;
}
} // namespace

TClipboard& Clipboard() {
    if (!Current())
        Current() = std::make_unique<TClipboard>();
    return *Current();
}

std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> Replacement) {
    std::unique_ptr<TClipboard> Old = std::move(Current());
    Current() = std::move(Replacement);
    return Old;
}

UINT TClipboard::RegisterFormat(const std::string& Name) {
    return RegisterClipboardFormatA(Name.c_str());
}

void TClipboard::Open() {
    if (FOpenRefCount == 0) {
        // Another program may hold the clipboard for a moment.
        bool Opened = false;
        for (int Try = 0; Try < 10 && !Opened; ++Try) {
            Opened = OpenClipboard(nullptr) != 0;
            if (!Opened)
                Sleep(10);
        }
        if (!Opened)
            throw Exception("Cannot open clipboard");
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close() {
    if (FOpenRefCount == 0)
        return;
    if (--FOpenRefCount == 0)
        CloseClipboard();
}

void TClipboard::Clear() {
    Open();
    EmptyClipboard();
    FEmptied = true;
    Close();
}

bool TClipboard::HasFormat(UINT Format) {
    return IsClipboardFormatAvailable(Format) != 0;
}

std::vector<uint8_t> TClipboard::GetBuffer(UINT Format) {
    std::vector<uint8_t> Result;
    Open();
    HANDLE Data = GetClipboardData(Format);
    if (Data) {
        if (void* P = GlobalLock(Data)) {
            Result.assign(static_cast<uint8_t*>(P), static_cast<uint8_t*>(P) + GlobalSize(Data));
            GlobalUnlock(Data);
        }
    }
    Close();
    return Result;
}

void TClipboard::SetBuffer(UINT Format, const void* Data, size_t Size) {
    Open();
    TScopeGuard Cleanup([&] { Close(); });
    // One Open/Close may carry several formats; only the first write empties.
    if (!FEmptied) {
        EmptyClipboard();
        FEmptied = true;
    }
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Size ? Size : 1);
    if (!Mem)
        throw EOutOfMemory("Out of memory");
    void* P = GlobalLock(Mem);
    if (Size)
        std::memcpy(P, Data, Size);
    GlobalUnlock(Mem);
    if (!SetClipboardData(Format, Mem)) {
        GlobalFree(Mem);
        throw Exception("Cannot write to the clipboard");
    }
}

namespace {

// The bytes of a metafile handle of a clipboard format (see GetMetafileBits); the handle stays.
std::vector<uint8_t> MetafileHandleBits(UINT Format, HANDLE Handle) {
    std::vector<uint8_t> R;
    if (!Handle)
        return R;
    if (Format == CF_ENHMETAFILE) {
        auto* E = static_cast<HENHMETAFILE>(Handle);
        const UINT Size = GetEnhMetaFileBits(E, 0, nullptr);
        R.resize(Size);
        if (Size && GetEnhMetaFileBits(E, Size, R.data()) != Size)
            R.clear();
        return R;
    }
    if (Format == CF_METAFILEPICT) {
        auto* Pict = static_cast<METAFILEPICT*>(GlobalLock(Handle));
        if (!Pict)
            return R;
        METAFILEPICT Header = *Pict;
        GlobalUnlock(Handle);
        const UINT Size = Header.hMF ? GetMetaFileBitsEx(Header.hMF, 0, nullptr) : 0;
        R.resize(sizeof Header + Size);
        if (Size && GetMetaFileBitsEx(Header.hMF, Size, R.data() + sizeof Header) != Size)
            return {};
        Header.hMF = nullptr;
        std::memcpy(R.data(), &Header, sizeof Header);
    }
    return R;
}

void FreeMetafileHandle(UINT Format, HANDLE Handle) {
    if (!Handle)
        return;
    if (Format == CF_ENHMETAFILE) {
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(Handle));
    } else if (Format == CF_METAFILEPICT) {
        if (auto* Pict = static_cast<METAFILEPICT*>(GlobalLock(Handle))) {
            if (Pict->hMF)
                DeleteMetaFile(Pict->hMF);
            GlobalUnlock(Handle);
        }
        GlobalFree(Handle);
    }
}

} // namespace

void TClipboard::SetMetafile(UINT Format, HANDLE Handle) {
    bool Owned = true;
    TScopeGuard FreeUnlessGiven([&] {
        if (Owned)
            FreeMetafileHandle(Format, Handle);
    });
    if (Format != CF_ENHMETAFILE && Format != CF_METAFILEPICT)
        throw Exception("Not a metafile clipboard format");
    Open();
    TScopeGuard Cleanup([&] { Close(); });
    if (!FEmptied) {
        EmptyClipboard();
        FEmptied = true;
    }
    if (!SetClipboardData(Format, Handle))
        throw Exception("Cannot write to the clipboard");
    Owned = false; // the system has it now
}

std::vector<uint8_t> TClipboard::GetMetafileBits(UINT Format) {
    Open();
    TScopeGuard Cleanup([&] { Close(); });
    return MetafileHandleBits(Format, GetClipboardData(Format));
}

void TMemoryClipboard::SetMetafile(UINT Format, HANDLE Handle) {
    TScopeGuard FreeIt([&] { FreeMetafileHandle(Format, Handle); });
    if (Format != CF_ENHMETAFILE && Format != CF_METAFILEPICT)
        throw Exception("Not a metafile clipboard format");
    FData[Format] = MetafileHandleBits(Format, Handle);
}

std::string TClipboard::AsText() {
    std::vector<uint8_t> B = GetBuffer(CF_TEXT);
    auto End = std::find(B.begin(), B.end(), uint8_t{0});
    return std::string(B.begin(), End);
}

void TClipboard::SetAsText(const std::string& Text) {
    SetBuffer(CF_TEXT, Text.c_str(), Text.size() + 1);
}

std::string TMemoryClipboard::AsText() {
    auto It = FData.find(CF_TEXT);
    if (It == FData.end())
        return std::string();
    auto End = std::find(It->second.begin(), It->second.end(), uint8_t{0});
    return std::string(It->second.begin(), End);
}

void TMemoryClipboard::SetAsText(const std::string& Text) {
    FData.clear();
    SetBuffer(CF_TEXT, Text.c_str(), Text.size() + 1);
}

std::vector<uint8_t> TMemoryClipboard::GetBuffer(UINT Format) {
    auto It = FData.find(Format);
    return It == FData.end() ? std::vector<uint8_t>() : It->second;
}

void TMemoryClipboard::SetBuffer(UINT Format, const void* Data, size_t Size) {
    auto* P = static_cast<const uint8_t*>(Data);
    FData[Format] = std::vector<uint8_t>(P, P + Size);
}
