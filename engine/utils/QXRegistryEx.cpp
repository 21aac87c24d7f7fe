#include "engine/utils/QXRegistryEx.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

enum class Found { Missing, Read, Unusable };

bool parseInteger(const std::string& text, int32_t& out) {
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == s || !end || *end || errno || v < INT32_MIN || v > UINT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

Found readInteger(TRegistry& reg, const std::string& name, int32_t& out) {
    TRegDataInfo info;
    if (!reg.CurrentKey() || !reg.GetDataInfo(name, info))
        return Found::Missing;
    try {
        if (info.RegData == rdInteger) {
            out = reg.TRegistry::ReadInteger(name);
            return Found::Read;
        }
        if (info.RegData == rdString || info.RegData == rdExpandString)
            return parseInteger(reg.TRegistry::ReadString(name), out) ? Found::Read : Found::Unusable;
    } catch (const std::exception&) {
    }
    return Found::Unusable;
}

Found readString(TRegistry& reg, const std::string& name, std::string& out) {
    TRegDataInfo info;
    if (!reg.CurrentKey() || !reg.GetDataInfo(name, info))
        return Found::Missing;
    if (info.RegData != rdString && info.RegData != rdExpandString)
        return Found::Unusable;
    try {
        out = reg.TRegistry::ReadString(name);
        return Found::Read;
    } catch (const std::exception&) {
        return Found::Unusable;
    }
}

} // namespace

QXRegistryEx::QXRegistryEx(uint32_t flags) : flags_(flags & UseFallback) {
    if (flags_ & UseFallback) {
        fallback_ = new QXRegistryEx(0);
        fallback_->SetRootKey(HKEY_USERS);
        // The default user's hive is only ever read.
        fallback_->SetAccess(KEY_READ);
    }
}

QXRegistryEx::~QXRegistryEx() {
    if (fallback_) {
        fallback_->CloseKey();
        delete fallback_;
    }
}

bool QXRegistryEx::openFallback(const std::string& key) {
    flags_ &= ~static_cast<uint32_t>(FallbackOpen);
    if (!(flags_ & UseFallback) || !fallback_ || RootKey() != HKEY_CURRENT_USER)
        return false;
    flags_ |= FallbackOpen;
    fallback_->CloseKey();
    const std::string path = (!key.empty() && key[0] == '\\') ? "\\.DEFAULT" + key : "\\.DEFAULT\\" + key;
    return fallback_->TRegistry::OpenKeyReadOnly(path);
}

bool QXRegistryEx::fallbackUsable() const {
    return (flags_ & FallbackOpen) && fallback_ && fallback_->CurrentKey();
}

bool QXRegistryEx::OpenKey(const std::string& key, bool canCreate) {
    flags_ &= ~static_cast<uint32_t>(FallbackOpen);
    const bool ok = TRegistry::OpenKey(key, canCreate);
    openFallback(key);
    return ok;
}

bool QXRegistryEx::OpenKeyReadOnly(const std::string& key) {
    flags_ &= ~static_cast<uint32_t>(FallbackOpen);
    const bool ok = TRegistry::OpenKeyReadOnly(key);
    openFallback(key);
    return ok;
}

bool QXRegistryEx::ReadInteger(const std::string& name, int32_t* value) {
    if (!value)
        return true;
    const Found own = readInteger(*this, name, *value);
    if (own != Found::Missing)
        return true;
    if (fallbackUsable()) {
        int32_t v;
        if (readInteger(*fallback_, name, v) == Found::Read)
            *value = v;
    }
    try {
        if (CurrentKey())
            TRegistry::WriteInteger(name, *value);
    } catch (const std::exception&) {
        // A key that refuses the write-back still answers the read.
    }
    return true;
}

bool QXRegistryEx::ReadBool(const std::string& name, bool* value) {
    if (!value)
        return true;
    int32_t v = *value ? 1 : 0;
    const Found own = readInteger(*this, name, v);
    if (own == Found::Read) {
        *value = v != 0;
        return true;
    }
    if (own == Found::Unusable)
        return true;
    if (fallbackUsable() && readInteger(*fallback_, name, v) == Found::Read)
        *value = v != 0;
    try {
        if (CurrentKey())
            TRegistry::WriteBool(name, *value);
    } catch (const std::exception&) {
    }
    return true;
}

bool QXRegistryEx::ReadString(const std::string& name, StrStore* text, uint32_t flags) {
    if (!text)
        return true;
    std::string s;
    const Found own = readString(*this, name, s);
    if (own == Found::Read) {
        text->assign(s.c_str());
        return true;
    }
    if (own == Found::Unusable)
        return true;
    if (fallbackUsable() && readString(*fallback_, name, s) == Found::Read)
        text->assign(s.c_str());
    if ((flags & WriteBack) && !((flags & NotWhenEmpty) && text->isEmpty())) {
        try {
            if (CurrentKey())
                TRegistry::WriteString(name, text->getString());
        } catch (const std::exception&) {
        }
    }
    return true;
}

bool QXRegistryEx::ReadString(const std::string& name, char* buffer, int32_t bufferSize, uint32_t flags) {
    if (!buffer || bufferSize < 1)
        return true;
    StrStore text(buffer);
    ReadString(name, &text, flags);
    std::strncpy(buffer, text.getString(), static_cast<size_t>(bufferSize - 1));
    buffer[bufferSize - 1] = '\0';
    return true;
}

bool QXRegistryEx::WriteBool(const std::string& name, const bool* value) {
    TRegistry::WriteBool(name, value && *value);
    return true;
}

bool QXRegistryEx::WriteInteger(const std::string& name, int32_t value) {
    TRegistry::WriteInteger(name, value);
    return true;
}

bool QXRegistryEx::WriteString(const std::string& name, const char* text) {
    TRegistry::WriteString(name, text ? text : "");
    return true;
}

bool QXRegistryEx::WriteStrStore(const std::string& name, const StrStore& text) {
    TRegistry::WriteString(name, text.getString());
    return true;
}

bool QXRegistryEx::DeleteKey(const std::string& name) {
    TRegistry::DeleteKey(name);
    return true;
}

bool QXRegistryEx::DeleteValue(const std::string& name) {
    TRegistry::DeleteValue(name);
    return true;
}

int32_t DeleteRegistryKey(HKEY root, const char* subKey) {
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 1;
    RegCloseKey(key);
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    const LONG rc = RegDeleteKeyA(key, "");
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_KEY_DELETED ? 1 : 0;
}

char* QueryRegistryValue(const char* valueName, const char* defaultText, HKEY root, const char* subKey,
                         int32_t create, int32_t size) {
    HKEY key;
    char* buffer = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD bytes = 0;
        if (RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS &&
            bytes <= DWORD(kMaxRegistryStringBytes)) {
            // One byte more than asked for, so that a value stored without terminator is still a text.
            buffer = static_cast<char*>(std::calloc(static_cast<size_t>(bytes) + 1, 1));
            if (buffer && RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           &bytes) != ERROR_SUCCESS) {
                std::free(buffer);
                buffer = nullptr;
            }
        }
        RegCloseKey(key);
    }
    if (!buffer && create && size == 0 &&
        WriteRegistryValue(valueName, defaultText ? defaultText : "", root, subKey, REG_SZ, 0))
        return QueryRegistryValue(valueName, defaultText, root, subKey, 0, size);
    return buffer;
}

int32_t ReadRegistryString(const char* valueName, StrStore* text, int32_t create, HKEY root,
                           const char* subKey) {
    if (!text)
        return 0;
    char* value = QueryRegistryValue(valueName, text->getString(), root, subKey, create, 0);
    if (!value)
        return 0;
    text->assign(value);
    std::free(value);
    return 1;
}

int32_t WriteRegistryValue(const char* valueName, const void* data, HKEY root, const char* subKey, DWORD type,
                           DWORD size) {
    HKEY key;
    char emptyClass[] = "";
    if (RegCreateKeyExA(root, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 0;
    int32_t result = 1;
    if (valueName && data) {
        if (size == 0 && type == REG_SZ)
            size = static_cast<DWORD>(std::strlen(static_cast<const char*>(data)) + 1);
        if (RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
            result = 0;
    }
    RegCloseKey(key);
    return result;
}
