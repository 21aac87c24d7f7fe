#include "engine/run/PathJobs.h"

#include <windows.h>

#include <cctype>
#include <map>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/program/TemplateEvaluator.h"
#include "engine/run/DateTime.h"
#include "engine/run/PathResolve.h"
#include "engine/run/RunBoxes.h"
#include "engine/run/TrimBlanks.h"
#include "engine/run/ValidateArgs.h"

namespace zel::run {

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

bool startsWith(const std::string& s, size_t at, const char* p) {
    return s.compare(at, std::char_traits<char>::length(p), p) == 0;
}

// Where the markup scanners of the tools stand; it lasts across lines.
struct MarkupState {
    enum Where { Text, TagName, TagBody, Value, Comment, Declaration, Block } where = Text;
    char quote = 0;          // inside a quoted value of a tag
    const char* closer = ""; // what ends a comment, declaration or block
};

// Moves over a markup opening at line[i] ('<'); returns how many characters it takes and sets
// the state. Only called outside tags.
size_t openMarkup(const std::string& line, size_t i, MarkupState& st) {
    // "<!--" before "<!": the first opener that matches wins.
    static const struct {
        const char* opener;
        MarkupState::Where where;
        const char* closer;
    } kOpeners[] = {
        {"<!--", MarkupState::Comment, "-->"},
        {"<!", MarkupState::Declaration, ">"},
        {"<?", MarkupState::Block, "?>"},
        {"<%", MarkupState::Block, "%>"},
    };
    for (const auto& o : kOpeners)
        if (startsWith(line, i, o.opener)) {
            st.where = o.where;
            st.closer = o.closer;
            return std::char_traits<char>::length(o.opener);
        }
    st.where = MarkupState::TagName;
    return 1;
}

// Inside a comment, declaration or block: how far to step; at the closer the text resumes.
size_t skipInsideMarkup(const std::string& line, size_t i, MarkupState& st) {
    if (!startsWith(line, i, st.closer))
        return 1;
    st.where = MarkupState::Text;
    return std::char_traits<char>::length(st.closer);
}

} // namespace

std::vector<std::string> convertTagCase(const std::vector<std::string>& lines, TagCase to) {
    MarkupState st;
    std::vector<std::string> out;
    out.reserve(lines.size());
    auto convert = [to](char c) {
        const auto u = static_cast<unsigned char>(c);
        return static_cast<char>(to == TagCase::Upper ? std::toupper(u) : std::tolower(u));
    };
    for (const std::string& in : lines) {
        std::string line = in;
        for (size_t i = 0; i < line.size();) {
            const char c = line[i];
            switch (st.where) {
            case MarkupState::Text:
                i += c == '<' ? openMarkup(line, i, st) : 1;
                break;
            case MarkupState::Comment:
            case MarkupState::Declaration:
            case MarkupState::Block:
                i += skipInsideMarkup(line, i, st);
                break;
            case MarkupState::Value:
                // An unquoted value runs to a blank or the tag's end and keeps its case.
                if (st.quote) {
                    if (c == st.quote)
                        st.quote = 0, st.where = MarkupState::TagBody;
                    ++i;
                } else if (isTrimBlank(c) || c == '>') {
                    st.where = MarkupState::TagBody;
                } else {
                    ++i;
                }
                break;
            case MarkupState::TagName:
            case MarkupState::TagBody:
                if (c == '>') {
                    st.where = MarkupState::Text;
                } else if (c == '=') {
                    st.where = MarkupState::Value;
                    // Blanks after "=" belong to no name; a quote opens the value.
                    size_t j = i + 1;
                    while (j < line.size() && isTrimBlank(line[j]))
                        ++j;
                    if (j < line.size() && (line[j] == '"' || line[j] == '\'')) {
                        st.quote = line[j];
                        i = j + 1;
                        break;
                    }
                    i = j;
                    break;
                } else if (c == '"' || c == '\'') {
                    st.where = MarkupState::Value, st.quote = c;
                } else {
                    line[i] = convert(c);
                }
                ++i;
                break;
            }
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::vector<std::string> stripTags(const std::vector<std::string>& lines) {
    MarkupState st;
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string& line : lines) {
        std::string kept;
        for (size_t i = 0; i < line.size();) {
            const char c = line[i];
            switch (st.where) {
            case MarkupState::Text:
                if (c == '<') {
                    i += openMarkup(line, i, st);
                } else {
                    kept += c;
                    ++i;
                }
                break;
            case MarkupState::Comment:
            case MarkupState::Declaration:
            case MarkupState::Block:
                i += skipInsideMarkup(line, i, st);
                break;
            default:
                if (st.quote) {
                    if (c == st.quote)
                        st.quote = 0;
                } else if (c == '"' || c == '\'') {
                    st.quote = c;
                } else if (c == '>') {
                    st.where = MarkupState::Text;
                }
                ++i;
                break;
            }
        }
        out.push_back(std::move(kept));
    }
    return out;
}

namespace {

const char kStartMarker[] = "<!-- TEMPLATESTART";
const char kEndMarker[] = "<!-- TEMPLATEEND -->";

class TemplateTool {
public:
    explicit TemplateTool(const TemplateInput& in) : in_(in) {}

    bool run(std::vector<std::string>& out);

private:
    bool fail(const std::string& text, const std::string& caption) {
        showRunBox(text, "Orvalent: " + caption);
        return false;
    }
    bool readSymbols(size_t from, size_t& listEnd);
    bool substitute(const std::string& line, int32_t lineNumber, const std::string& templateName,
                    std::string& out);

    const TemplateInput& in_;
    std::map<std::string, std::string> symbols_; // by upper-cased name
};

bool TemplateTool::readSymbols(size_t from, size_t& listEnd) {
    const std::string& doc = in_.documentName;
    for (size_t i = from; i < in_.lines.size(); ++i) {
        const std::string line = trimBlanks(in_.lines[i]);
        if (line.compare(0, 3, "-->") == 0) {
            listEnd = i;
            return true;
        }
        if (line.empty())
            continue;
        const size_t eq = line.find('=');
        const bool expression = eq != std::string::npos && eq > 0 && line[eq - 1] == ':';
        const std::string name =
            eq == std::string::npos ? std::string() : trimBlanks(line.substr(0, expression ? eq - 1 : eq));
        bool nameOk = !name.empty();
        for (const char c : name)
            nameOk = nameOk && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!nameOk)
            return fail("Cannot get a valid symbol and value from line number " + std::to_string(i + 1) +
                            " in " + quoted(doc),
                        "Error In Symbol List");
        std::string value = trimBlanks(line.substr(eq + 1));
        if (expression) {
            ErrorStore errors;
            StrStoreEx source(value.c_str(), SpecificLocation{});
            const StrStoreEx result = evaluateTemplateLine(engineInterpreter(), source, errors);
            if (errors.number() != 0)
                return fail("An error occurred processing the template tool function in the line " +
                                quoted(in_.lines[i]) + ". Error " + errors.text().getString() + ".",
                            "Template Tool Function Error");
            value = result.getString();
        } else if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        symbols_[upper(name)] = value;
    }
    return fail("Reached the end of the document without finding the end of the symbol list in " +
                    quoted(doc),
                "Cannot Find End Of Symbol List");
}

bool TemplateTool::substitute(const std::string& line, int32_t lineNumber, const std::string& templateName,
                              std::string& out) {
    out.clear();
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '$' || i + 1 >= line.size() || line[i + 1] != '"') {
            out += line[i];
            continue;
        }
        const size_t close = line.find('"', i + 2);
        if (close == std::string::npos || close == i + 2)
            return fail("A format error occurred processing line number " + std::to_string(lineNumber) +
                            " in the template file " + quoted(templateName) + " called from " +
                            quoted(in_.documentName) +
                            ". The correct format for specifying a symbol in a template file is $" +
                            quoted("SYMBOLNAME") + " (with double quotes).",
                        "Format Error");
        const std::string name = line.substr(i + 2, close - i - 2);
        auto it = symbols_.find(upper(name));
        if (it == symbols_.end())
            return fail("Unknown symbol " + quoted(name) + " in template file " + quoted(templateName) +
                            " called from " + quoted(in_.documentName),
                        "Unknown Symbol");
        out += it->second;
        i = close;
    }
    return true;
}

bool TemplateTool::run(std::vector<std::string>& out) {
    const std::string& doc = in_.documentName;
    size_t start = in_.lines.size();
    for (size_t i = 0; i < in_.lines.size() && start == in_.lines.size(); ++i)
        if (in_.lines[i].find(kStartMarker) != std::string::npos)
            start = i;
    if (start == in_.lines.size()) {
        // A document without a template is left as it is.
        out = in_.lines;
        return true;
    }
    symbols_["CURRENTFILE"] = doc;
    symbols_["VALIDATORVERSION"] = "3.00";
    size_t listEnd = 0;
    if (!readSymbols(start + 1, listEnd))
        return false;
    auto symbol = [&](const char* name) {
        auto it = symbols_.find(name);
        return it == symbols_.end() ? std::string() : it->second;
    };
    const std::string dateFormat = symbols_.count("DATEFORMAT") ? symbol("DATEFORMAT") : in_.dateFormat;
    const std::string timeFormat = symbols_.count("TIMEFORMAT") ? symbol("TIMEFORMAT") : in_.timeFormat;
    symbols_["CURRENTDATE"] = currentDateText(dateFormat.empty() ? nullptr : dateFormat.c_str());
    symbols_["CURRENTTIME"] = currentTimeText(timeFormat.empty() ? nullptr : timeFormat.c_str());

    if (!symbols_.count("TEMPLATE"))
        return fail("The symbol TEMPLATE was not defined in the symbol list in " + quoted(doc) +
                        ". This symbol must be defined.",
                    "TEMPLATE Symbol Not Defined");
    const std::string templateName = symbol("TEMPLATE");
    int32_t code = 0;
    const std::string path = resolvePath(
        doc, templateName, pathflag::Backslash | pathflag::BaseIsFile | pathflag::SlashesToBackslash, code);
    if (code < 0 || path.empty())
        return fail("Could not get an absolute path to the template file from the base filename path " +
                        quoted(doc) + " and the template path (as defined by TEMPLATE) " +
                        quoted(templateName) +
                        ". Please make sure that TEMPLATE specifies a valid path to a template file.",
                    "Cannot Get Path To Template File");
    size_t end = in_.lines.size();
    for (size_t i = listEnd + 1; i < in_.lines.size() && end == in_.lines.size(); ++i)
        if (in_.lines[i].find(kEndMarker) != std::string::npos)
            end = i;
    if (end == in_.lines.size())
        return fail("Cannot find the TEMPLATEEND marker in " + quoted(doc),
                    "Cannot Find <!-- TEMPLATEEND -->");
    FileStore templ;
    if (templ.loadFile(path.c_str(), "rb") < 0)
        return fail("The template file (as defined by TEMPLATE) " + quoted(templateName) +
                        " cannot be opened in " + quoted(doc) +
                        ". The full path of the file that could not be opened is " + quoted(path),
                    "Cannot Open Template File");

    std::vector<std::string> result(in_.lines.begin(),
                                    in_.lines.begin() + static_cast<std::ptrdiff_t>(listEnd) + 1);
    std::string line;
    for (int32_t i = 0; i < templ.lineCount(); ++i) {
        if (!substitute(templ.lineAt(i), i + 1, templateName, line))
            return false;
        result.push_back(line);
    }
    result.insert(result.end(), in_.lines.begin() + static_cast<std::ptrdiff_t>(end), in_.lines.end());
    out = std::move(result);
    return true;
}

} // namespace

bool runTemplateTool(const TemplateInput& input, std::vector<std::string>& out) {
    TemplateTool tool(input);
    return tool.run(out);
}

int32_t runPathJob(ArgsClass& args, int32_t) {
    if (!args.job || !args.results || !args.options)
        return -2;
    JobClass& job = *args.job;
    ResultClass& results = *args.results;
    results.flags &= ~bits::results::Stopped;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(job.paths.lineCount()));
    for (int32_t i = 0; i < job.paths.lineCount(); ++i)
        lines.emplace_back(job.paths.lineAt(i));

    std::vector<std::string> out;
    switch (job.jobType) {
    case 1:
    case 2:
        out = convertTagCase(lines, job.jobType == 1 ? TagCase::Upper : TagCase::Lower);
        break;
    case 3:
        out = stripTags(lines);
        break;
    case 4: {
        TemplateInput in;
        in.lines = std::move(lines);
        in.documentName = job.input.getString();
        in.dateFormat = args.options->tools.DefaultDateFormat.getString();
        in.timeFormat = args.options->tools.DefaultTimeFormat.getString();
        if (!runTemplateTool(in, out)) {
            results.flags |= bits::results::Stopped;
            return 0;
        }
        break;
    }
    case 5:
        out = std::move(lines);
        break;
    default:
        return -3;
    }
    for (const std::string& l : out)
        if (results.lines1.addLine(l.c_str(), 0) < 0)
            return -1;
    return 0;
}

} // namespace zel::run
