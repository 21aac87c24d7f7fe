#include "editor/core/PathHelpers.h"

#include "editor/core/EditorMessageBox.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/ShellExec.h"

#include <cstdio>
#include <cstring>

namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

StrStore NormaliseDots(const char* text, int32_t separatorFlag, int32_t* result) {
    char sep;
    if (separatorFlag & 1)
        sep = '\\';
    else if (separatorFlag & 2)
        sep = '/';
    else {
        if (result)
            *result = -1;
        return StrStore("");
    }
    const std::string in = text ? text : "";
    const std::string up = std::string(1, sep) + ".." + sep;
    const std::string here = std::string(1, sep) + "." + sep;
    StrStore out;
    size_t from = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != sep)
            continue;
        if (in.compare(i, up.size(), up) == 0) {
            out.append(in.c_str() + from, static_cast<int32_t>(i - from));
            if (out.toParent(separatorFlag & 1 ? 1 : 2) != 1 && !out.isEmpty()) {
                if (result)
                    *result = -2;
                return StrStore("");
            }
            if (out.isEmpty()) {
                if (result)
                    *result = -2;
                return StrStore("");
            }
            from = i + 3; // the second separator starts the rest
            i = from - 1;
        } else if (in.compare(i, here.size(), here) == 0) {
            out.append(in.c_str() + from, static_cast<int32_t>(i - from));
            from = i + 2;
            i = from - 1;
        }
    }
    out.append(in.c_str() + from);
    if (result)
        *result = 0;
    return out;
}

StrStore ResolveRelativePath(const char* baseText, const char* relativeText, int32_t flags, int32_t* result) {
    int32_t code = 0;
    std::string base = baseText ? baseText : "";
    std::string rel = relativeText ? relativeText : "";
    auto finish = [&](const StrStore& s) {
        if (result)
            *result = code;
        return s;
    };
    bool prefixed = HasSchemePrefix(rel.c_str());
    if (prefixed) {
        base.clear();
    } else {
        if (flags & ResolveKeepBase)
            return finish(StrStore(base.c_str()));
        if (flags & ResolveSlashesToBackslashes) {
            for (char& c : rel)
                if (c == '/')
                    c = '\\';
            flags = (flags | ResolveBackslash) & ~ResolveSlash;
        }
    }
    char sep;
    int32_t sepFlag;
    if (flags & ResolveBackslash) {
        sep = '\\';
        sepFlag = 1;
    } else if (flags & ResolveSlash) {
        sep = '/';
        sepFlag = 2;
    } else {
        code = -2;
        return finish(StrStore(""));
    }
    bool addSeparator = !prefixed;
    StrStore b(base.c_str());
    if ((flags & ResolveBaseIsFile) && !b.isEmpty()) {
        bool endsWithSep = b.charAt(b.getStringLength() - 1) == sep;
        if ((flags & ResolveFragmentOnFile) && !rel.empty() && rel[0] == '#')
            addSeparator = false;
        else if (!endsWithSep)
            b.toParent(sepFlag);
    }
    if (b.getStringLength() > 0 && b.charAt(b.getStringLength() - 1) == sep)
        b.removeLast(1);
    b.trim();
    int32_t r = 0;
    b = NormaliseDots(b.getString(), sepFlag, &r);
    if (r < 0)
        code = -3;
    StrStore relStore(rel.c_str());
    relStore.trim();
    rel = relStore.getString();
    if (!prefixed && !rel.empty() && rel[0] == sep) {
        while (b.toParent(sepFlag) == 1) {
        }
        rel.erase(0, 1);
    }
    const std::string up = std::string("..") + sep;
    const std::string here = std::string(".") + sep;
    while (code >= 0 && !rel.empty() && rel[0] == '.') {
        if (startsWith(rel, up)) {
            rel.erase(0, up.size());
            if (b.toParent(sepFlag) != 1)
                code = -1;
        } else if (startsWith(rel, here)) {
            rel.erase(0, here.size());
        } else {
            break;
        }
    }
    if (code < 0)
        return finish(StrStore(""));
    StrStore out(b);
    if (addSeparator && !b.isEmpty())
        out.appendChar(sep);
    out.append(rel.c_str());
    out = NormaliseDots(out.getString(), sepFlag, &r);
    if (r < 0)
        code = -3;
    return finish(out);
}

StrStore ExtractFileNamePart(const char* path) {
    if (!path)
        return StrStore("");
    const char* cut = nullptr;
    for (const char* s = path; *s; ++s)
        if (*s == '\\' || *s == ':')
            cut = s;
    return StrStore(cut ? cut + 1 : path);
}

StrStore GetURLFilePart(const char* address, int32_t flags) {
    std::string s = address ? address : "";
    size_t q = s.find('?');
    if (q != std::string::npos)
        s.erase(q);
    size_t end = s.size();
    if (end > 0 && s[end - 1] == '/')
        --end;
    size_t slash = s.rfind('/', end == 0 ? 0 : end - 1);
    std::string seg = slash == std::string::npos ? s.substr(0, end) : s.substr(slash + 1, end - slash - 1);
    if (flags & 2) {
        size_t hash = seg.find('#');
        if (hash != std::string::npos)
            seg.erase(hash);
    }
    return StrStore(seg.c_str());
}

StrStore StripFragment(const char* path) {
    std::string s = path ? path : "";
    size_t hash = s.rfind('#');
    size_t sep = s.find_last_of("\\/");
    if (hash != std::string::npos && (sep == std::string::npos || hash > sep))
        s.erase(hash);
    return StrStore(s.c_str());
}

bool HasSchemePrefix(const char* text) {
    StrStore s(text ? text : "");
    s.trim();
    for (const char* c = s.getString(); *c; ++c) {
        if (*c == '/' || *c == '\\')
            return false;
        if (*c == ':')
            return true;
    }
    return false;
}

std::string FullPathName(const std::string& name) {
    if (name.empty() || name.find("://") != std::string::npos)
        return name;
    return ExpandFileName(name);
}

bool EndsWithBackslash(const char* text) {
    size_t n = text ? std::strlen(text) : 0;
    return n > 0 && text[n - 1] == '\\';
}

bool IsAbsolutePath(const char* text) {
    if (!text || !*text || EndsWithBackslash(text))
        return false;
    if (text[0] == '\\' && text[1] == '\\')
        return true;
    char c = text[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && text[1] == ':' && text[2] == '\\';
}

FILETIME* GetFileTimeAndSize(const char* fileName, FILETIME* time, int32_t* size, int32_t* ok) {
    if (ok)
        *ok = 0;
    if (time)
        *time = FILETIME{};
    HANDLE h = fileName ? CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                        : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return time;
    FILETIME written{};
    if (::GetFileTime(h, nullptr, nullptr, &written)) {
        if (time)
            *time = written;
        if (size)
            *size = static_cast<int32_t>(::GetFileSize(h, nullptr));
        if (ok)
            *ok = 1;
    }
    CloseHandle(h);
    return time;
}

int32_t CanOpenFile(const char* name) {
    if (!name || !*name)
        return 0;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    std::fclose(f);
    return 1;
}

int32_t OpenDocument(HWND, const char* target) {
    if (!target || !*target)
        return 0;
    if (!ShellExecuteSeam("open", target)) {
        EditorMessageBox(
            nullptr,
            std::string("The operating system was unable to open the document \"") + target +
                "\". If this document is a URL or HTML document, you may need an installed web browser "
                "and/or an active Internet connection to view it. Otherwise, you may need to tell "
                "Windows to associate a program with the file extension of the document.",
            "Orvalent: Could Not Open Document", ZelBoxError);
        return 0;
    }
    return 1;
}

const char* GetDateString(const SYSTEMTIME* date) {
    static char buffer[256];
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, date ? DATE_SHORTDATE : DATE_LONGDATE, date, nullptr, buffer,
                           sizeof buffer);
    if (n <= 0)
        std::strcpy(buffer, "error getting date or in date format");
    return buffer;
}

const char* GetTimeString(const SYSTEMTIME* time) {
    static char buffer[256];
    int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, time, nullptr, buffer, sizeof buffer);
    if (n <= 0)
        std::strcpy(buffer, "error getting time or in time format");
    return buffer;
}

// Every reading of the clock goes through the framework's clock, which tests can set.
void GetLocalTimeCopy(SYSTEMTIME* out) {
    if (out)
        DateTimeToSystemTime(Now(), *out);
}

int32_t GetYear() {
    SYSTEMTIME t;
    GetLocalTimeCopy(&t);
    return t.wYear;
}
int32_t GetMonth() {
    SYSTEMTIME t;
    GetLocalTimeCopy(&t);
    return t.wMonth;
}
int32_t GetDay() {
    SYSTEMTIME t;
    GetLocalTimeCopy(&t);
    return t.wDay;
}

int32_t DayNumberOf(int32_t year, int32_t month, int32_t day) {
    return static_cast<int32_t>(year * 365.24 + month * 30.44 + day + 0.5);
}

int32_t DayNumber() {
    SYSTEMTIME t;
    GetLocalTimeCopy(&t);
    return DayNumberOf(t.wYear, t.wMonth, t.wDay);
}

// --- WindowControl

WindowControl::WindowControl(uint32_t flags, TControl* control, TStatusBar* statusBar)
    : control_(control), statusBar_(statusBar), flags_(flags) {
    if ((flags & SaveScreenCursor) && Screen) {
        savedScreenCursor_ = cursorBeforeBusy_ = currentScreenCursor_ =
            static_cast<int16_t>(Screen->Cursor());
    }
    if ((flags & SaveCaption) && control_)
        savedCaption_ = control_->Caption();
    if ((flags & SaveControlCursor) && control_)
        savedControlCursor_ = controlCursorCopies_[0] = controlCursorCopies_[1] =
            static_cast<int16_t>(control_->Cursor());
}

WindowControl::~WindowControl() {
    // The busy state ends first: it puts back the cursor it found, and the saved one must win.
    if (busyPanel_ >= 0)
        SetBusy(false, busyPanel_);
    if ((flags_ & SaveScreenCursor) && Screen)
        Screen->SetCursor(savedScreenCursor_);
    if ((flags_ & SaveCaption) && control_)
        control_->SetCaption(savedCaption_);
    if ((flags_ & SaveControlCursor) && control_)
        control_->SetCursor(savedControlCursor_);
}

int32_t WindowControl::SetCursor(int16_t cursor) {
    if (Screen && cursor != currentScreenCursor_) {
        Screen->SetCursor(cursor);
        currentScreenCursor_ = cursor;
    }
    return 1;
}

int32_t WindowControl::SetBusy(bool on, int32_t panel) {
    if (on) {
        if (busyPanel_ < 0) {
            if (statusBar_ && (panel < 0 || panel >= static_cast<int32_t>(statusBar_->Panels.size()) ||
                               statusBar_->Panels[static_cast<size_t>(panel)].Text != "Busy"))
                SetStatusText(panel, "Busy");
            cursorBeforeBusy_ = Screen ? static_cast<int16_t>(Screen->Cursor()) : 0;
            SetCursor(static_cast<int16_t>(crHourGlass));
            busyPanel_ = panel;
        }
    } else {
        SetStatusText(panel, "");
        SetCursor(cursorBeforeBusy_);
        busyPanel_ = -1;
    }
    return 1;
}

int32_t WindowControl::SetStatusText(int32_t panel, const std::string& text) {
    if (!statusBar_)
        return 1;
    if (panel < 0) {
        statusBar_->SetSimpleText(text);
        return 1;
    }
    // A panel the bar no longer has is no place for the text; the destructor must not throw here.
    if (panel >= static_cast<int32_t>(statusBar_->Panels.size()))
        return 0;
    statusBar_->SetPanelText(panel, text);
    return 1;
}

int32_t WindowControl::SetCaption(const std::string& text) {
    if (!control_)
        return 0;
    control_->SetCaption(text);
    return 1;
}

int32_t WindowControl::SetCaptionAndStatus(const std::string& caption, int32_t panel,
                                           const std::string& text) {
    int32_t a = SetCaption(caption);
    int32_t b = SetStatusText(panel, text);
    return a == 1 && b == 1 ? 1 : 0;
}
