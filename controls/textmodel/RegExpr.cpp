#include "controls/textmodel/RegExpr.h"

#include "framework/core/SysUtils.h"

// A compiled element: an atom, an anchor or a brace group, possibly repeated.
struct TRegExpr::Node {
    enum Kind : uint8_t { Literal, Any, Set, LineStart, LineEnd, Group };
    enum Repeat : uint8_t { Once, ZeroOrMore, OneOrMore };
    Kind kind = Literal;
    Repeat repeat = Once;
    char ch = 0;                // Literal: the character (upper-cased when the search ignores case)
    bool negated = false;       // Set
    std::bitset<256> set;       // Set
    std::vector<Node> children; // Group
};

// What is left to match after the current element: the rest of a sequence, then the rest of the
// enclosing ones. A continuation with `loop` set closes one iteration of that repeated element.
struct TRegExpr::Cont {
    const std::vector<Node>* seq = nullptr;
    size_t index = 0;
    const Cont* next = nullptr;
    const Node* loop = nullptr;
    int32_t iterationStart = 0;
};

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSetSpecial(char c) {
    switch (c) {
    case '$':
    case '\\':
    case '*':
    case '+':
    case '.':
    case '[':
    case ']':
    case '^':
    case '{':
    case '}':
    case '-':
        return true;
    default:
        return false;
    }
}

} // namespace

bool EmptyLineStr(const std::string& s) {
    return s == "^" || s == "$" || s == "^$";
}

TRegExpr::TRegExpr(const std::string& mask, bool caseSensitive)
    : FMask(mask), FCaseSensitive(caseSensitive), FRoot(std::make_unique<std::vector<Node>>()) {
    Compile();
}

TRegExpr::~TRegExpr() = default;

void TRegExpr::Compile() {
    const std::string& m = FMask;
    const int32_t n = static_cast<int32_t>(m.size());
    auto fail = [&](int32_t pos1) {
        throw ERegExprError(Format("%s is invalid mask at (%d)", m.c_str(), static_cast<int>(pos1)));
    };
    // Each level's sequence lives in the last node of the level below; only the top level grows,
    // so the pointers stay valid.
    std::vector<std::vector<Node>*> levels{FRoot.get()};
    // Whether the element just compiled may take a repeat (anchors and repeats may not).
    bool repeatable = false;

    int32_t i = 0;
    while (i < n) {
        const char c = m[static_cast<size_t>(i)];
        std::vector<Node>& seq = *levels.back();
        switch (c) {
        case '^':
        case '$': {
            Node a;
            a.kind = c == '^' ? Node::LineStart : Node::LineEnd;
            seq.push_back(std::move(a));
            repeatable = false;
            ++i;
            break;
        }
        case '.': {
            Node a;
            a.kind = Node::Any;
            seq.push_back(std::move(a));
            repeatable = true;
            ++i;
            break;
        }
        case '{': {
            Node g;
            g.kind = Node::Group;
            seq.push_back(std::move(g));
            levels.push_back(&seq.back().children);
            repeatable = false;
            ++i;
            break;
        }
        case '}':
            // A closing brace with no open group can never balance: report it where it stands.
            if (levels.size() == 1)
                fail(i + 1);
            levels.pop_back();
            repeatable = true;
            ++i;
            break;
        case '*':
        case '+':
            if (!repeatable || seq.empty())
                fail(i + 1);
            seq.back().repeat = c == '*' ? Node::ZeroOrMore : Node::OneOrMore;
            repeatable = false;
            ++i;
            break;
        case '\\': {
            if (i + 1 >= n)
                fail(i + 1);
            Node a;
            a.ch = FCaseSensitive ? m[static_cast<size_t>(i + 1)] : UpperAscii(m[static_cast<size_t>(i + 1)]);
            seq.push_back(std::move(a));
            repeatable = true;
            i += 2;
            break;
        }
        case '[': {
            Node s;
            s.kind = Node::Set;
            int32_t j = i + 1;
            if (j < n && m[static_cast<size_t>(j)] == '^') {
                s.negated = true;
                ++j;
            }
            bool havePrev = false;
            unsigned char prev = 0;
            // Reads one set character at j (an escaped special character counts as itself).
            auto readChar = [&](int32_t& k) {
                if (m[static_cast<size_t>(k)] == '\\' && k + 1 < n &&
                    IsSetSpecial(m[static_cast<size_t>(k + 1)])) {
                    k += 2;
                    return static_cast<unsigned char>(m[static_cast<size_t>(k - 1)]);
                }
                ++k;
                return static_cast<unsigned char>(m[static_cast<size_t>(k - 1)]);
            };
            while (j < n && m[static_cast<size_t>(j)] != ']') {
                if (m[static_cast<size_t>(j)] == '-') {
                    if (!havePrev)
                        fail(j + 1);
                    if (j + 1 < n && m[static_cast<size_t>(j + 1)] != ']') {
                        int32_t k = j + 1;
                        const unsigned char hi = readChar(k);
                        for (unsigned v = prev; v <= hi; ++v)
                            s.set.set(v);
                        prev = hi;
                        j = k;
                        continue;
                    }
                    s.set.set('-');
                    prev = '-';
                    ++j;
                    continue;
                }
                prev = readChar(j);
                havePrev = true;
                s.set.set(prev);
            }
            if (j >= n)
                fail(n + 1);
            if (s.set.none())
                fail(j + 1);
            seq.push_back(std::move(s));
            repeatable = true;
            i = j + 1;
            break;
        }
        default: {
            Node a;
            a.ch = FCaseSensitive ? c : UpperAscii(c);
            seq.push_back(std::move(a));
            repeatable = true;
            ++i;
            break;
        }
        }
    }
    if (levels.size() != 1)
        fail(n + 1);
}

void TRegExpr::TooComplex() const {
    throw ERegExprTooComplex(Format("%s is too complex to search", FMask.c_str()));
}

bool TRegExpr::AtomMatches(const Node& n, int32_t pos) const {
    const std::string& s = *FLine;
    if (pos >= static_cast<int32_t>(s.size()))
        return false;
    const char c = s[static_cast<size_t>(pos)];
    switch (n.kind) {
    case Node::Any:
        return true;
    case Node::Literal:
        return (FCaseSensitive ? c : UpperAscii(c)) == n.ch;
    case Node::Set: {
        // Case-blind sets test both cases of the text's character, so that ranges keep every
        // character between their ends.
        bool in = n.set.test(static_cast<unsigned char>(c));
        if (!in && !FCaseSensitive)
            in = n.set.test(static_cast<unsigned char>(UpperAscii(c))) ||
                 n.set.test(static_cast<unsigned char>(LowerAscii(c)));
        return in != n.negated;
    }
    default:
        return false;
    }
}

bool TRegExpr::MatchOne(const Node& n, int32_t pos, const Cont* k) {
    switch (n.kind) {
    case Node::LineStart:
        return pos == 0 && MatchCont(k, pos);
    case Node::LineEnd:
        return pos == static_cast<int32_t>(FLine->size()) && MatchCont(k, pos);
    case Node::Group: {
        Cont body{&n.children, 0, k, nullptr, 0};
        return MatchCont(&body, pos);
    }
    default:
        return AtomMatches(n, pos) && MatchCont(k, pos + 1);
    }
}

bool TRegExpr::TryIteration(const Node& n, int32_t pos, const Cont* next) {
    Cont loop{nullptr, 0, next, &n, pos};
    return MatchOne(n, pos, &loop);
}

bool TRegExpr::MatchCont(const Cont* k, int32_t pos) {
    if (!k) {
        FEnd = pos;
        return true;
    }
    if (++FSteps > kStepLimit)
        TooComplex();
    // Every pending element costs a native frame: keep the stack bounded on long lines.
    struct DepthGuard {
        int32_t& d;
        ~DepthGuard() { --d; }
    } guard{++FDepth};
    if (FDepth > kDepthLimit)
        TooComplex();
    if (k->loop) {
        // One iteration of a repeat has matched. One that consumed nothing counts as no match (this
        // also ends the repeat); otherwise greedily try one more before going on.
        if (pos == k->iterationStart)
            return false;
        const bool more = pos < static_cast<int32_t>(FLine->size()) && TryIteration(*k->loop, pos, k->next);
        return more || MatchCont(k->next, pos);
    }
    if (k->index == k->seq->size())
        return MatchCont(k->next, pos);
    const Node& n = (*k->seq)[k->index];
    Cont after{k->seq, k->index + 1, k->next, nullptr, 0};
    if (n.repeat == Node::Once)
        return MatchOne(n, pos, &after);
    if (n.kind != Node::Group) {
        // A repeated single character: count the run, then give back one character at a time.
        int32_t run = 0;
        while (AtomMatches(n, pos + run))
            ++run;
        const int32_t least = n.repeat == Node::OneOrMore ? 1 : 0;
        for (int32_t r = run; r >= least; --r) {
            if (++FSteps > kStepLimit)
                TooComplex();
            if (MatchCont(&after, pos + r))
                return true;
        }
        return false;
    }
    if (pos < static_cast<int32_t>(FLine->size()) && TryIteration(n, pos, &after))
        return true;
    return n.repeat == Node::ZeroOrMore && MatchCont(&after, pos);
}

bool TRegExpr::MatchAt(const std::string& s, int32_t start, int32_t& end) {
    FLine = &s;
    FDepth = 0;
    Cont all{FRoot.get(), 0, nullptr, nullptr, 0};
    const bool ok = MatchCont(&all, start);
    FLine = nullptr;
    if (ok)
        end = FEnd;
    return ok;
}

bool TRegExpr::FindRegExpr(const std::string& s, int32_t& pos, int32_t& len, bool forward) {
    len = 0;
    FSteps = 0;
    const int32_t n = static_cast<int32_t>(s.size());
    if (pos > n)
        pos = n;
    if (n == 0) {
        if (EmptyLineStr(FMask)) {
            pos = 1;
            return true;
        }
        pos = 0;
        return false;
    }
    int32_t end = 0;
    if (forward) {
        for (int32_t start = pos < 1 ? 1 : pos; start <= n; ++start)
            if (MatchAt(s, start - 1, end)) {
                pos = start;
                len = end;
                return true;
            }
    } else {
        for (int32_t start = pos; start >= 1; --start)
            if (MatchAt(s, start - 1, end)) {
                pos = start;
                len = end;
                return true;
            }
    }
    pos = 0;
    len = 0;
    return false;
}

bool TRegExpr::Find(const std::string& s, int32_t& pos, int32_t& len, bool forward) {
    const int32_t n = static_cast<int32_t>(s.size());
    if (FMask == "$" && (forward || pos == n)) {
        pos = n + 1;
        len = 0;
        return true;
    }
    int32_t end = 0;
    if (!FindRegExpr(s, pos, end, forward)) {
        len = 0;
        return false;
    }
    len = end - (pos - 1);
    if (len < 0)
        len = 0;
    return true;
}
