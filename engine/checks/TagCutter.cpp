#include "engine/checks/TagCutter.h"

#include "engine/run/MessageIds.h"
#include "engine/utils/StrStore.h"

namespace zel::checks {

namespace {

struct Token {
    std::string text;
    size_t pos = 0;
    int32_t quoting = 0;
    bool equal = false;
};

// One token at cut.pos (which must not stand on a blank or at the end).
Token readToken(CheckRun& run, CutState& cut, bool quiet) {
    const std::string& t = run.args.piece.text;
    run::MessageEmitter& e = run.args.emitter;
    Token k;
    k.pos = cut.pos;
    const char c = t[cut.pos];
    if (c == '=') {
        k.equal = true;
        k.text.assign(1, '=');
        ++cut.pos;
        return k;
    }
    if (c == '"' || c == '\'') {
        const size_t close = t.find(c, cut.pos + 1);
        if (close != std::string::npos && close < cut.end) {
            k.text = t.substr(cut.pos + 1, close - cut.pos - 1);
            k.quoting = c == '"' ? 2 : 1;
            cut.pos = close + 1;
            if (!quiet && cut.pos < cut.end && !isBlank(t[cut.pos]) && t[cut.pos] != '=' &&
                !run.placeholderAt(t, cut.pos)) {
                const MsgLocation at = run.at(cut.pos, 1);
                e.addMessage(msg::TextAfterQuotedString, &at);
            }
            return k;
        }
        // A mark without its partner is passed over and the token read again without it.
        if (!quiet)
            e.addMessage(msg::MissingQuoteInTag);
        ++cut.pos;
        k.pos = cut.pos;
    }
    while (cut.pos < cut.end && !isBlank(t[cut.pos]) && t[cut.pos] != '=') {
        const char d = t[cut.pos];
        if (d == '"' || d == '\'') {
            if (!quiet) {
                const MsgLocation at = run.at(cut.pos, 1);
                e.addMessage(msg::QuoteInText, &at);
            }
            ++cut.pos;
            continue;
        }
        // The characters up to the next blank, '=' or quotation mark, at once.
        size_t stop = cut.pos + 1;
        while (stop < cut.end && !isBlank(t[stop]) && t[stop] != '=' && t[stop] != '"' && t[stop] != '\'')
            ++stop;
        k.text.append(t, cut.pos, stop - cut.pos);
        cut.pos = stop;
    }
    return k;
}

void skipBlanks(const std::string& t, CutState& cut) {
    while (cut.pos < cut.end && isBlank(t[cut.pos]))
        ++cut.pos;
}

// Takes the token's text: a tag's attributes are made for every tag of the document.
void setValue(TagEntry& entry, Token&& k) {
    entry.hasValue = true;
    entry.valuePos = k.pos;
    entry.quoting = k.quoting;
    if (k.text.find('&') != std::string::npos) {
        StrStore s(k.text.c_str());
        s.decodeEntities();
        entry.decoded = s.getString();
    } else {
        entry.decoded = k.text;
    }
    entry.value = std::move(k.text);
}

} // namespace

void setEntryText(TagEntry& entry, const std::string& text, size_t pos) {
    entry.text = text;
    upperCaseInto(text, entry.upper);
    entry.textPos = pos;
}

MsgLocation entryLocation(const CheckRun& run, const TagEntry& entry) {
    return run.at(entry.textPos, entry.text.size());
}

bool hasUpperCase(const CheckRun& run, const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        if (const size_t n = run.placeholderAt(text, i)) {
            i += n;
            continue;
        }
        if (text[i] >= 'A' && text[i] <= 'Z')
            return true;
        ++i;
    }
    return false;
}

bool cutName(CheckRun& run, CutState& cut, bool closingMode) {
    const std::string& t = run.args.piece.text;
    skipBlanks(t, cut);
    if (cut.pos >= cut.end)
        return false;
    const Token k = readToken(run, cut, closingMode);
    if (k.equal && !closingMode) {
        run.args.emitter.addMessage(msg::MisplacedEqual, nullptr, t.substr(0, cut.end).c_str());
        return false;
    }
    if (k.quoting && !closingMode) {
        const MsgLocation at = run.at(k.pos, k.text.size() + 2);
        run.args.emitter.addMessage(msg::QuotedTagName, &at, k.text.c_str());
    }
    // Made in its place in the list, as the attributes are.
    setEntryText(run.entries.emplace_back(), k.text, k.pos);
    return true;
}

bool cutAttributes(CheckRun& run, CutState& cut, bool closingMode) {
    const std::string& t = run.args.piece.text;
    run::MessageEmitter& e = run.args.emitter;
    const std::string tagName = run.entries.empty() ? std::string() : run.entries[0].text;
    while (true) {
        skipBlanks(t, cut);
        if (cut.pos >= cut.end)
            return true;
        if (run.entries.size() >= kMaxEntries) {
            if (!closingMode)
                e.addMessage(msg::TooManyAttributes, nullptr, nullptr, nullptr,
                             static_cast<int32_t>(kMaxEntries));
            return true;
        }
        const Token k = readToken(run, cut, closingMode);
        if (k.equal) {
            if (closingMode) {
                // "</b=x>": the name gets a value, which the closing check reports.
                if (!run.entries.empty())
                    run.entries.back().hasValue = true;
                continue;
            }
            e.addMessage(msg::MisplacedEqual, nullptr, tagName.c_str());
            return false;
        }
        if (k.text.empty() && !k.quoting)
            continue;
        if (k.quoting && !closingMode) {
            const MsgLocation at = run.at(k.pos, k.text.size() + 2);
            e.addMessage(msg::QuotedAttributeName, &at, k.text.c_str());
        }
        // Made in its place in the list: the entries of a tag are not copied again.
        TagEntry& entry = run.entries.emplace_back();
        setEntryText(entry, k.text, k.pos);
        const size_t afterName = cut.pos;
        skipBlanks(t, cut);
        const bool blanksBefore = cut.pos > afterName;
        if (cut.pos < cut.end && t[cut.pos] == '=') {
            const size_t equalPos = cut.pos++;
            const size_t afterEqual = cut.pos;
            skipBlanks(t, cut);
            const bool blanksAfter = cut.pos > afterEqual;
            if (cut.pos >= cut.end) {
                if (!closingMode) {
                    const MsgLocation at = entryLocation(run, entry);
                    e.addMessage(msg::NoAttributeValue, &at, entry.text.c_str());
                }
                entry.hasValue = true;
                entry.valuePos = equalPos;
                entry.accepted = true;
                return true;
            }
            Token v = readToken(run, cut, closingMode);
            if (v.equal && !closingMode) {
                run.entries.pop_back();
                e.addMessage(msg::MisplacedEqual, nullptr, tagName.c_str());
                return false;
            }
            if ((blanksBefore || blanksAfter) && !closingMode && !run.validator(vf::AllowSpacesAroundEqual)) {
                const MsgLocation at = run.at(equalPos, 1);
                e.addMessage(msg::SpacesAroundEqual, &at);
            }
            setValue(entry, std::move(v));
        } else {
            cut.pos = afterName;
            entry.valueMessage = msg::AttributeNeedsValue;
        }
    }
}

} // namespace zel::checks
