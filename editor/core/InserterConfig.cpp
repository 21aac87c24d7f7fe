#include "editor/core/InserterConfig.h"

#include "framework/ui/Menus.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool SameText(const std::string& a, const char* b) {
    return _stricmp(a.c_str(), b) == 0;
}

int32_t ToInt(const std::string& s) {
    return static_cast<int32_t>(std::strtol(s.c_str(), nullptr, 0));
}

struct Attribute {
    std::string name, value;
};

// Reads the attributes from pos to the end of the element; false for a malformed one.
bool ReadAttributes(const std::string& line, size_t pos, std::vector<Attribute>* out) {
    for (;;) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size() || line[pos] == '>' || line[pos] == '/')
            return true;
        const size_t nameStart = pos;
        while (pos < line.size() && line[pos] != '=' && !IsBlank(line[pos]))
            ++pos;
        Attribute a;
        a.name = line.substr(nameStart, pos - nameStart);
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size() || line[pos] != '=')
            return false;
        ++pos;
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size() || (line[pos] != '"' && line[pos] != '\''))
            return false;
        const char quote = line[pos++];
        const size_t close = line.find(quote, pos);
        if (close == std::string::npos)
            return false;
        a.value = DecodeCharacterReferences(line.substr(pos, close - pos));
        pos = close + 1;
        out->push_back(std::move(a));
    }
}

} // namespace

std::string DecodeCharacterReferences(const std::string& text) {
    static const struct {
        const char* name;
        char c;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", '\xA0'}};
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t semi = text[i] == '&' ? text.find(';', i + 1) : std::string::npos;
        if (semi == std::string::npos || semi - i > 10) {
            out += text[i++];
            continue;
        }
        const std::string ref = text.substr(i + 1, semi - i - 1);
        bool done = false;
        if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            const std::string digits = ref.substr(hex ? 2 : 1);
            char* end = nullptr;
            const long v = digits.empty() ? -1 : std::strtol(digits.c_str(), &end, hex ? 16 : 10);
            if (end && *end == 0 && v > 0 && v < 256) {
                out += static_cast<char>(v);
                done = true;
            }
        } else {
            for (const auto& n : named)
                if (ref == n.name) {
                    out += n.c;
                    done = true;
                }
        }
        if (done)
            i = semi + 1;
        else
            out += text[i++];
    }
    return out;
}

void NormaliseItem(TagItem* item, int32_t flags) {
    if (!item || !(flags & 1))
        return;
    const bool separator = (item->flags & TagItemSeparator) != 0;
    if (separator) {
        item->caption = "-";
    } else if (!item->caption.getString() || !*item->caption.getString()) {
        std::string c;
        for (const char* s = item->insertText.getString(); s && *s; ++s)
            if (*s != '\t' && *s != '\r' && *s != '\b')
                c += *s;
        item->caption = c.c_str();
    }
    if (!separator && (!item->hint.getString() || !*item->hint.getString())) {
        std::string h;
        for (const char* s = item->caption.getString(); s && *s; ++s)
            if (*s != '|')
                h += *s;
        item->hint = h.c_str();
    }
}

int32_t ReadInserterText(TagItemList* list, const std::string& text, int32_t flags) {
    if (!list)
        return InserterReadNoList;
    list->items.clear();
    list->upToDate = false;
    list->version = 0;
    bool inRoot = false;
    bool inComment = false;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        const std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;

        // Finds the line's first element, past comments.
        size_t pos = 0;
        std::string name;
        for (;;) {
            if (inComment) {
                const size_t end = line.find("-->", pos);
                if (end == std::string::npos) {
                    pos = line.size();
                    break;
                }
                inComment = false;
                pos = end + 3;
            }
            while (pos < line.size() && IsBlank(line[pos]))
                ++pos;
            if (pos >= line.size())
                break;
            if (line[pos] != '<')
                return InserterReadBadLine;
            if (line.compare(pos, 4, "<!--") == 0) {
                inComment = true;
                pos += 4;
                continue;
            }
            ++pos;
            while (pos < line.size() && IsBlank(line[pos]))
                ++pos;
            const size_t nameStart = pos;
            while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != '>' &&
                   !(line[pos] == '/' && pos > nameStart))
                ++pos;
            name = DecodeCharacterReferences(line.substr(nameStart, pos - nameStart));
            if (name.empty())
                return InserterReadBadLine;
            break;
        }
        if (name.empty())
            continue;

        if (!inRoot) {
            if (!SameText(name, "zeltaginserterconfiguration"))
                continue;
            std::vector<Attribute> attributes;
            if (!ReadAttributes(line, pos, &attributes))
                return InserterReadBadAttribute;
            for (const Attribute& a : attributes)
                if (SameText(a.name, "version")) {
                    list->version = ToInt(a.value);
                    break;
                }
            inRoot = true;
            continue;
        }
        if (SameText(name, "/zeltaginserterconfiguration")) {
            list->upToDate = true;
            return InserterReadOk;
        }
        if (!SameText(name, "tag"))
            continue;
        std::vector<Attribute> attributes;
        if (!ReadAttributes(line, pos, &attributes))
            return InserterReadBadAttribute;
        auto item = std::make_unique<TagItem>();
        for (const Attribute& a : attributes) {
            if (SameText(a.name, "menu"))
                item->menu = a.value.c_str();
            else if (SameText(a.name, "inserttext"))
                item->insertText = a.value.c_str();
            else if (SameText(a.name, "flags"))
                item->flags = ToInt(a.value);
            else if (SameText(a.name, "caption"))
                item->caption = a.value.c_str();
            else if (SameText(a.name, "hint"))
                item->hint = a.value.c_str();
            else if (SameText(a.name, "command"))
                item->command = ToInt(a.value);
        }
        if (item->flags & TagItemAroundOnly)
            item->flags |= TagItemInsertAround;
        NormaliseItem(item.get(), flags);
        list->items.push_back(std::move(item));
    }
    return inRoot ? InserterReadNoEnd : InserterReadNoRoot;
}

int32_t ReadInserterFile(TagItemList* list, const std::string& fileName, int32_t flags) {
    if (!list)
        return InserterReadNoList;
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        list->items.clear();
        list->upToDate = false;
        return InserterReadNoFile;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        list->items.clear();
        list->upToDate = false;
        return InserterReadNoFile;
    }
    return ReadInserterText(list, text, flags);
}

inserterclass* FindInserter(const PointerArrayManager& list, uint32_t kind, int32_t flags) {
    if (!(flags & 1))
        return nullptr;
    for (int32_t i = 0; i < list.count(); ++i) {
        auto* ins = static_cast<inserterclass*>(list.at(i));
        if (ins && ins->kind == kind)
            return ins;
    }
    return nullptr;
}

int32_t BuildInserterMenu(TComponent* owner, TMenuItem* parent, const TagItemList* list,
                          const TNotifyEvent& onClick, int32_t) {
    if (!parent || !list)
        return -1;
    parent->Clear();
    TMenuItem* last = nullptr;
    try {
        for (const auto& item : list->items) {
            const std::string menu = item->menu.getString() ? item->menu.getString() : "";
            TMenuItem* sub = last && last->Caption() == menu ? last : nullptr;
            for (int i = 0; !sub && i < parent->Count(); ++i)
                if (parent->Items(i)->Caption() == menu)
                    sub = parent->Items(i);
            if (!sub) {
                sub = new TMenuItem(owner);
                sub->SetCaption(menu);
                parent->Add(sub);
            }
            last = sub;
            auto* entry = new TMenuItem(owner);
            entry->SetCaption(item->caption.getString() ? item->caption.getString() : "");
            entry->SetHint(item->hint.getString() ? item->hint.getString() : "");
            entry->SetTag(reinterpret_cast<intptr_t>(item.get()));
            entry->OnClick = onClick;
            sub->Add(entry);
        }
    } catch (const std::exception&) {
        return -2;
    }
    return 0;
}
