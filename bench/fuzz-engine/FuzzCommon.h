#pragma once
// What both engine fuzzers share: the mutations of pages and configurations, the calls in the
// editor's path that set up a page's run, and the oracle that reads the messages back. The mingw
// fuzzer (FuzzEngine.cpp) runs it under the checked standard library; the native one
// (native/NativeFuzz.cpp) under AddressSanitizer with coverage guidance.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/OptionBits.h"
#include "engine/OptionDefaults.h"
#include "engine/include/ZelValidator.h"

namespace zelfuzz {

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        lines.push_back(std::move(l));
        if (end == text.size())
            break;
        start = end + 1;
    }
    return lines;
}

// Pages every run starts from, whatever its seed folder holds: a plain page, the comment and
// references the engine once read wrongly, and markers of server-side scripts.
inline std::vector<std::string> builtInPages() {
    return {
        "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n<p>x</p>\n</body></html>\n",
        "<!-- c --><p>&#8217; &#x2192; &amp; &nbsp; &bogus; a & b</p>\n",
        "<table border=1><tr><td bgcolor=\"#FFOOOO\">x<td>y</table>\n<%= asp %><?php echo 1 ?>&[miva]\n",
    };
}

constexpr int32_t kOptionVariants = 5;

// The options of one of five variants: the defaults, strict XML, server-side blocks, optional
// closing tags required, high characters checked. Every third variant checks the whole page: the
// limits lifted and the listing off (the listing repeats a message's line before each message:
// thousands of messages on one long line make output in the size of their product, by design).
inline void setOptionVariant(int32_t options, int32_t variant) {
    namespace vf = zel::bits::validator;
    const uint32_t variants[kOptionVariants] = {
        0, vf::XMLCompatibility | vf::RequireQuotedAttValues | vf::RequireQuickClose,
        vf::PHPBlocks | vf::MivaMacros | vf::IgnoreTextInPercents,
        vf::RequireOptionalClosingTags | vf::AllowMultiLineQuotes, vf::CheckHighASCII};
    const uint32_t base = zel::defaults::ValidatorFlags;
    ZELSetFlag(options, ZELID_OPT_VALIDATORFLAGS_WORD, 0,
               static_cast<int32_t>(base | variants[variant % kOptionVariants]));
    const bool whole = variant % 3 == 0;
    ZELSetInteger(options, ZELID_OPT_MAXIMUMERRORS, whole ? 9999 : 20);
    ZELSetInteger(options, ZELID_OPT_MAXIMUMWARNINGS, whole ? 9999 : 20);
    ZELSetFlag(options, ZELID_OPT_OUTPUTFLAGS, zel::bits::output::IncludeHTML, whole ? 0 : 1);
}

// A validation job for a page handed over as the editor hands its text: line by line.
inline int32_t makePageJob(const std::string& doc, bool fromEditor) {
    const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
    ZELSetInteger(job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER, 0);
    if (fromEditor)
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_TEXTFROMEDITOR, 1);
    for (const std::string& l : linesOf(doc))
        ZELSetString(job, ZELID_JOB_ADDPATH, l.c_str());
    if (fromEditor)
        ZELSetString(job, ZELID_JOB_INPUT, "fuzz.html");
    return job;
}

// Every byte of a message text comes from the catalogue, the configuration or the page. The
// engine's own texts are printable; bytes above 127 come from the configuration's texts and from
// translated character entities; control bytes come only from the page. A byte from nowhere is
// memory read after it was freed or moved. Answers what was wrong, or nothing.
inline std::string strangeBytes(int32_t results, const std::string& doc) {
    bool allowed[256] = {};
    for (unsigned c = 32; c < 256; ++c)
        allowed[c] = c != 127;
    allowed['\t'] = allowed['\r'] = allowed['\n'] = true;
    for (unsigned char c : doc)
        allowed[c] = true;
    const int32_t n = ZELGetIntegerEZ(results, ZELID_RESULT_RECORDS);
    for (int32_t i = 1; i <= n; ++i) {
        const char* text = ZELGetString2(results, ZELID_RESULT_MSGTEXT, i);
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : ""); *p; ++p)
            if (!allowed[*p])
                return "message " + std::to_string(i) + " holds byte " + std::to_string(*p) + ": " + text;
    }
    return {};
}

// The cost oracle. The engine's time and memory must grow in proportion to the page and to the
// messages it gives, whatever the page holds: a run that takes more than a fixed part, a part per
// byte and a part per message is a finding. The fixed parts cover what any run costs; the part
// per message covers a message's text (an element's allowed places may name dozens of others);
// the memory's fixed part covers the messages the limits let through (at most 9999 errors and as
// many warnings, a few hundred bytes each); its part per byte covers the structure listing, which
// may write a tag of three characters as a line of seventy. Each fuzzer sets the numbers for its
// build (a checked or sanitized build is several times slower than a release).
struct CostRule {
    double fixedSeconds;
    double secondsPerMegabyte;
    double secondsPerMessage;
    double fixedMegabytes;
    double bytesPerByte;
};

struct Cost {
    double seconds = 0;
    size_t peakBytes = 0; // above what the process held before the run
    int32_t messages = 0; // that the run gave
};

// What the rule allows a page of this size that gave this many messages.
inline Cost allowedCost(size_t pageSize, int32_t messages, const CostRule& rule) {
    const double megabytes = static_cast<double>(pageSize) / (1024.0 * 1024.0);
    return Cost{rule.fixedSeconds + rule.secondsPerMegabyte * megabytes +
                    rule.secondsPerMessage * std::max(messages, 0),
                static_cast<size_t>(rule.fixedMegabytes * 1024.0 * 1024.0 +
                                    rule.bytesPerByte * static_cast<double>(pageSize)),
                messages};
}

// What was too much, or nothing.
inline std::string costFinding(size_t pageSize, const Cost& cost, const CostRule& rule) {
    const Cost allowed = allowedCost(pageSize, cost.messages, rule);
    const double seconds = allowed.seconds;
    const double bytes = static_cast<double>(allowed.peakBytes);
    char text[200];
    if (cost.seconds > seconds) {
        std::snprintf(text, sizeof text,
                      "took %.2f s for a page of %zu bytes and %d messages (allowed %.2f s)", cost.seconds,
                      pageSize, cost.messages, seconds);
        return text;
    }
    if (static_cast<double>(cost.peakBytes) > bytes) {
        std::snprintf(text, sizeof text, "used %.1f MB for a page of %zu bytes (allowed %.1f MB)",
                      static_cast<double>(cost.peakBytes) / 1048576.0, pageSize, bytes / 1048576.0);
        return text;
    }
    return {};
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng_) : 0; }

    std::string mutate(const std::string& in, const std::vector<std::string>& seeds,
                       size_t maxSize = 4 * 1024 * 1024) {
        std::string s = in;
        const int rounds = 1 + static_cast<int>(below(4));
        for (int r = 0; r < rounds; ++r) {
            switch (below(9)) {
            case 0: // byte flips
                for (size_t i = 0, n = 1 + below(8); i < n && !s.empty(); ++i)
                    s[below(s.size())] ^= static_cast<char>(1u << below(8));
                break;
            case 1: // truncation
                s.resize(below(s.size() + 1));
                break;
            case 2: { // splicing with another seed
                const std::string& o = seeds[below(seeds.size())];
                const size_t at = below(s.size() + 1), from = below(o.size() + 1);
                s = s.substr(0, at) + o.substr(from, below(o.size() - from + 1));
                break;
            }
            case 3: { // deep nesting
                const char* const tags[] = {"div", "b", "p", "table", "span", "ul", "a href=x"};
                const std::string t = tags[below(7)];
                std::string open;
                for (size_t i = 0, n = 50 + below(3000); i < n; ++i)
                    open += "<" + t + ">";
                s.insert(below(s.size() + 1), open);
                break;
            }
            case 4: // one long line, as minified pages come
                for (char& c : s)
                    if (c == '\n' || c == '\r')
                        c = ' ';
                break;
            case 5: { // a very long value or name
                const std::string lng(1000 + below(200000), "ax&\"'= <>;#"[below(11)]);
                s.insert(below(s.size() + 1), "<img alt=\"" + lng + "\" " + lng.substr(0, 3000) + "=1>");
                break;
            }
            case 6: { // markup pieces at random places
                const char* const bits[] = {"<",  ">",  "\"",        "'",  "<!--", "-->", "<%", "%>",
                                            "<?", "?>", "&",         ";",  "&#x",  "&#",  "=",  "/>",
                                            "</", "\n", "<![CDATA[", "&[", "]",    "##"};
                for (size_t i = 0, n = 1 + below(20); i < n; ++i)
                    s.insert(below(s.size() + 1), bits[below(std::size(bits))]);
                break;
            }
            case 7: { // tags broken over lines at a blank, as hand-written pages have them
                for (size_t i = 0, n = 1 + below(8); i < n && !s.empty(); ++i) {
                    const size_t open = s.find('<', below(s.size()));
                    const size_t blank = open == std::string::npos ? open : s.find(' ', open);
                    const size_t close = open == std::string::npos ? open : s.find('>', open);
                    if (blank != std::string::npos && (close == std::string::npos || blank < close))
                        s[blank] = '\n';
                }
                break;
            }
            default: { // a block of lines repeated
                if (s.empty())
                    break;
                const size_t a = below(s.size()), b = a + below(std::min<size_t>(4000, s.size() - a) + 1);
                const std::string part = s.substr(a, b - a);
                for (size_t i = 0, n = 1 + below(20); i < n; ++i)
                    s.insert(b, part);
                break;
            }
            }
            if (s.size() > maxSize)
                s.resize(maxSize);
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

} // namespace zelfuzz
