#include "engine/run/PathResolve.h"

#include "engine/run/TrimBlanks.h"

namespace zel::run {

namespace {

// Cuts the last component (at the last separator); false when there is none to cut. A doubled
// separator ("\\server", "http://") is no component boundary.
bool dropComponent(std::string& path, char sep) {
    const size_t at = path.rfind(sep);
    if (at == std::string::npos || (at > 0 && path[at - 1] == sep))
        return false;
    path.resize(at);
    return true;
}

} // namespace

bool hasDriveOrScheme(const std::string& text) {
    const std::string t = trimBlanks(text);
    const size_t at = t.find_first_of("/\\:");
    return at != std::string::npos && t[at] == ':';
}

std::string normalisePath(const std::string& path, int32_t mode, int32_t& code) {
    code = 0;
    if (mode != 1 && mode != 2) {
        code = -1;
        return std::string();
    }
    const char sep = mode == 1 ? '\\' : '/';
    const std::string dot = std::string(1, sep) + "." + sep;
    const std::string dotdot = std::string(1, sep) + ".." + sep;
    std::string p = path;
    for (size_t at = p.find(dot); at != std::string::npos; at = p.find(dot, at))
        p.erase(at, 2);
    for (size_t at = p.find(dotdot); at != std::string::npos; at = p.find(dotdot)) {
        // The component before the step; a drive, a scheme or nothing is no parent.
        const size_t before = at == 0 ? std::string::npos : p.rfind(sep, at - 1);
        const size_t start = before == std::string::npos ? 0 : before + 1;
        const std::string parent = p.substr(start, at - start);
        if (parent.empty() || parent.back() == ':' || parent == "..") {
            code = -2;
            return p;
        }
        p.erase(start, at + dotdot.size() - start);
    }
    return p;
}

std::string resolvePath(const std::string& baseIn, const std::string& relativeIn, int32_t flags,
                        int32_t& code) {
    code = 0;
    std::string base = baseIn, rel = relativeIn;
    const bool relHasDrive = hasDriveOrScheme(rel);
    if (relHasDrive)
        return rel;
    if (flags & pathflag::NoDriveGivesBase)
        return base;
    int32_t mode = (flags & pathflag::Backslash) ? 1 : (flags & pathflag::Slash) ? 2 : 0;
    if (flags & pathflag::SlashesToBackslash) {
        for (char& c : rel)
            if (c == '/')
                c = '\\';
        mode = 1;
    }
    if (mode == 0) {
        code = -2;
        return std::string();
    }
    const char sep = mode == 1 ? '\\' : '/';
    const bool fragment = (flags & pathflag::FragmentOfBase) && !rel.empty() && rel[0] == '#';
    if ((flags & pathflag::BaseIsFile) && !(!base.empty() && base.back() == sep) && !fragment)
        dropComponent(base, sep);
    if (!base.empty() && base.back() == sep)
        base.pop_back();
    base = trimBlanks(base);
    rel = trimBlanks(rel);
    int32_t n = 0;
    base = normalisePath(base, mode, n);
    if (n < 0) {
        code = -3;
        return std::string();
    }
    if (!rel.empty() && rel[0] == sep) {
        while (dropComponent(base, sep)) {
        }
        rel.erase(0, 1);
    }
    while (!rel.empty() && rel[0] == '.') {
        if (rel.size() >= 3 && rel[1] == '.' && rel[2] == sep) {
            if (!dropComponent(base, sep)) {
                code = -1;
                return std::string();
            }
            rel.erase(0, 3);
        } else if (rel.size() >= 2 && rel[1] == sep) {
            rel.erase(0, 2);
        } else {
            break;
        }
    }
    std::string joined = base;
    if (!fragment)
        joined += sep;
    joined += rel;
    joined = normalisePath(joined, mode, n);
    if (n < 0) {
        code = -3;
        return std::string();
    }
    return joined;
}

std::string stripFragment(const std::string& address) {
    const size_t at = address.find_last_of("\\/#");
    if (at != std::string::npos && address[at] == '#')
        return address.substr(0, at);
    return address;
}

std::string fileOfAddress(const std::string& address, int32_t flags) {
    const size_t slash = address.rfind('/');
    std::string file = slash == std::string::npos ? address : address.substr(slash + 1);
    const size_t query = file.find('?');
    if (query != std::string::npos)
        file.resize(query);
    if (flags & 2) {
        const size_t hash = file.find('#');
        if (hash != std::string::npos)
            file.resize(hash);
    }
    return file;
}

} // namespace zel::run
