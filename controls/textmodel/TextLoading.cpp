#include "controls/textmodel/TextLoading.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/core/SysUtils.h"

void SplitLoadedText(const std::string& data, TLoadedLines& out) {
    TInternalStrings& lines = out.Lines;
    lines.Clear();
    const size_t guess = size_t(std::count(data.begin(), data.end(), '\n')) + 1;
    lines.SetCapacity(int32_t(std::min<size_t>(guess, INT32_MAX)));
    // Line ends and tabs are found together, eight bytes at a time: a search for either line end
    // (find_first_of) would call memchr once per character, under Wine a byte loop in another module.
    const char* const begin = data.data();
    const char* const end = begin + data.size();
    const char* p = begin;
    while (p < end) {
        const char* e = p;
        for (;; ++e) {
            e = begin + TextRoutines::FindLowByte(begin, size_t(e - begin), data.size());
            if (e == end || *e == '\r' || *e == '\n')
                break;
            out.AnyTab = out.AnyTab || *e == '\t';
        }
        if (e > p && (e[-1] == ' ' || e[-1] == '\t'))
            out.AnyTrailingBlank = true;
        TStringItem* item = lines.Item(lines.AddMove(std::string(p, size_t(e - p))));
        uint8_t lineEnd = leDefault;
        if (e == end) {
            p = end;
        } else if (*e == '\r' && e + 1 < end && e[1] == '\n') {
            lineEnd = leCRLF;
            p = e + 2;
        } else {
            lineEnd = *e == '\r' ? leCR : leLF;
            p = e + 1;
        }
        item->LineEnd = lineEnd;
        ++out.EndCounts[lineEnd];
    }
}

void SplitFileBytes(const std::string& bytes, TLoadedLines& out) {
    std::string text;
    const TFileEncoding encoding = DecodeFileText(bytes, text);
    SplitLoadedText(text, out);
    out.Encoding = encoding;
}

namespace {

struct TFileStamp {
    ULONGLONG Size = 0;
    FILETIME Written{};
    bool operator==(const TFileStamp& o) const {
        return Size == o.Size && CompareFileTime(&Written, &o.Written) == 0;
    }
};

bool ReadOpenFile(HANDLE h, const std::string& fileName, std::string& data, std::string& error,
                  TFileStamp* stamp) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) {
        error = "Cannot read file \"" + fileName + "\": " + SysErrorMessage(GetLastError());
        return false;
    }
    const ULONGLONG size = (ULONGLONG(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size >= 0x7FFFFFFF) {
        error = "Cannot read file \"" + fileName + "\": it is too large to edit";
        return false;
    }
    if (stamp)
        *stamp = {size, info.ftLastWriteTime};
    data.resize(size_t(size));
    DWORD got = 0;
    if (!data.empty() && !(ReadFile(h, &data[0], DWORD(data.size()), &got, nullptr) && got == data.size())) {
        error = "Cannot read file \"" + fileName + "\": " + SysErrorMessage(GetLastError());
        return false;
    }
    return true;
}

bool ReadFileWithStamp(const std::string& fileName, std::string& data, std::string& error,
                       TFileStamp* stamp) {
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = "Cannot open file \"" + fileName + "\": " + SysErrorMessage(GetLastError());
        return false;
    }
    const bool ok = ReadOpenFile(h, fileName, data, error, stamp);
    CloseHandle(h);
    return ok;
}

// Preloading holds at most this much text at once; files beyond it load when they are opened.
constexpr ULONGLONG kPreloadLimit = 256ull << 20;

struct TPreload {
    std::string FullName;
    bool Done = false;
    TFileStamp Stamp;
    std::unique_ptr<TLoadedLines> Lines;
};

// Only the program's main thread starts, takes and drops; the worker fills the entries it was given.
struct TPreloader {
    std::mutex Lock;
    std::condition_variable Ready;
    std::vector<std::shared_ptr<TPreload>> Files;
    std::thread Worker;

    ~TPreloader() {
        if (Worker.joinable())
            Worker.join();
    }

    void Run(std::vector<std::shared_ptr<TPreload>> files) {
        ULONGLONG total = 0;
        for (const auto& file : files) {
            std::unique_ptr<TLoadedLines> lines;
            TFileStamp stamp;
            if (total < kPreloadLimit) {
                try {
                    std::string data, error;
                    if (ReadFileWithStamp(file->FullName, data, error, &stamp)) {
                        total += stamp.Size;
                        lines = std::make_unique<TLoadedLines>();
                        SplitFileBytes(data, *lines);
                    }
                } catch (...) {
                    // Out of memory, say: the file is read again when it is opened, and fails there
                    // with its reason.
                    lines.reset();
                }
            }
            std::lock_guard<std::mutex> hold(Lock);
            file->Done = true;
            file->Stamp = stamp;
            file->Lines = std::move(lines);
            Ready.notify_all();
        }
    }
};

TPreloader& Preloader() {
    static TPreloader preloader;
    return preloader;
}

} // namespace

bool ReadTextFile(const std::string& fileName, std::string& data, std::string& error) {
    return ReadFileWithStamp(fileName, data, error, nullptr);
}

void PreloadTextFiles(const std::vector<std::string>& fileNames) {
    TPreloader& P = Preloader();
    DropPreloadedText();
    std::vector<std::shared_ptr<TPreload>> files;
    for (const std::string& name : fileNames) {
        auto file = std::make_shared<TPreload>();
        file->FullName = ExpandFileName(name);
        if (!file->FullName.empty())
            files.push_back(file);
    }
    if (files.empty())
        return;
    P.Files = files;
    try {
        P.Worker = std::thread(&TPreloader::Run, &P, std::move(files));
    } catch (...) {
        // No thread: every file loads when it is opened.
        P.Files.clear();
    }
}

std::unique_ptr<TLoadedLines> TakePreloadedText(const std::string& fileName) {
    TPreloader& P = Preloader();
    if (P.Files.empty())
        return nullptr;
    const std::string full = ExpandFileName(fileName);
    auto it = std::find_if(P.Files.begin(), P.Files.end(), [&](const std::shared_ptr<TPreload>& f) {
        return lstrcmpiA(f->FullName.c_str(), full.c_str()) == 0;
    });
    if (full.empty() || it == P.Files.end())
        return nullptr;
    std::shared_ptr<TPreload> file = *it;
    P.Files.erase(it);
    std::unique_lock<std::mutex> hold(P.Lock);
    P.Ready.wait(hold, [&] { return file->Done; });
    std::unique_ptr<TLoadedLines> lines = std::move(file->Lines);
    hold.unlock();
    // Changed since it was read: the caller reads it again.
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!lines || !GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &now))
        return nullptr;
    const TFileStamp current{(ULONGLONG(now.nFileSizeHigh) << 32) | now.nFileSizeLow, now.ftLastWriteTime};
    return current == file->Stamp ? std::move(lines) : nullptr;
}

void DropPreloadedText() {
    TPreloader& P = Preloader();
    if (P.Worker.joinable())
        P.Worker.join();
    P.Files.clear();
}
