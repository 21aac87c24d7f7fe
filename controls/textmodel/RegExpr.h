#pragma once
// The small pattern language of the search commands: literals, `.`, sets `[...]`, anchors `^` and
// `$`, brace groups `{...}` and the repeats `*` and `+`. Parentheses, `?`, alternation and counted
// repeats are ordinary characters. A pattern is compiled once and then searched line by line; a
// match never spans two lines.

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"

// A pattern that does not compile: "<mask> is invalid mask at (<1-based position>)".
ZEL_DECLARE_EXCEPTION(ERegExprError, Exception)
// A pattern whose search on one line would take unreasonably long (nested repeats backtracking).
ZEL_DECLARE_EXCEPTION(ERegExprTooComplex, ERegExprError)

class TRegExpr {
public:
    // Raises ERegExprError for a bad mask.
    TRegExpr(const std::string& mask, bool caseSensitive);
    ~TRegExpr();
    TRegExpr(const TRegExpr&) = delete;
    TRegExpr& operator=(const TRegExpr&) = delete;

    // Searches `s` from the 1-based column `pos` (forward: rightwards, backward: leftwards). On success
    // `pos` is the 1-based column of the match and `len` its length (0 for an empty match).
    // Raises ERegExprTooComplex when the line needs more work than a search may take.
    bool Find(const std::string& s, int32_t& pos, int32_t& len, bool forward);
    // The search proper: on success `len` is the 0-based end offset of the match (the number of
    // characters before the first character after it).
    bool FindRegExpr(const std::string& s, int32_t& pos, int32_t& len, bool forward);

    const std::string& Mask() const { return FMask; }
    bool CaseSensitive() const { return FCaseSensitive; }

    // Work allowed for one line, counted in matcher steps.
    static constexpr int64_t kStepLimit = 2000000;
    // Pending elements allowed while matching (keeps the native stack bounded).
    static constexpr int32_t kDepthLimit = 3000;

    struct Node;

private:
    struct Cont;
    void Compile();
    bool MatchAt(const std::string& s, int32_t start, int32_t& end);
    bool MatchCont(const Cont* k, int32_t pos);
    bool MatchOne(const Node& n, int32_t pos, const Cont* k);
    bool TryIteration(const Node& n, int32_t pos, const Cont* next);
    bool AtomMatches(const Node& n, int32_t pos) const;
    [[noreturn]] void TooComplex() const;

    std::string FMask;
    bool FCaseSensitive;
    std::unique_ptr<std::vector<Node>> FRoot;
    // Matching state of the current line.
    const std::string* FLine = nullptr;
    int32_t FEnd = 0;
    int64_t FSteps = 0;
    int32_t FDepth = 0;
};

// True for the masks that match an empty line: "^", "$" and "^$".
bool EmptyLineStr(const std::string& s);
