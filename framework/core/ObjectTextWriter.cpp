// The shared tree printed as the text form.
#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ObjectTree.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace objecttree {
namespace {

const char* const kLineBreak = "\r\n";

class TextPrinter {
public:
    std::string Out;

    void PrintObject(const TextObject& node, int level) {
        Line(level, "object " + (node.Name.empty() ? node.ClassName : node.Name + ": " + node.ClassName));
        PrintProps(node.Props, level + 1);
        for (const TextObject& child : node.Children)
            PrintObject(child, level + 1);
        Line(level, "end");
    }

private:
    static std::string Indent(int level) { return std::string(static_cast<size_t>(level) * 2, ' '); }
    void Line(int level, const std::string& s) { Out += Indent(level) + s + kLineBreak; }

    static std::string Scalar(const TextValue& v) {
        switch (v.K) {
        case TextValue::vInt:
            return IntToStr(v.I);
        case TextValue::vFloat: {
            std::string t = FloatToStr(v.F);
            if (t.find_first_of(".eEIN") == std::string::npos)
                t += ".0";
            return t;
        }
        case TextValue::vString:
            return QuoteObjectTextString(v.S);
        case TextValue::vIdent:
            return v.S;
        case TextValue::vSet: {
            std::string s = "[";
            for (size_t i = 0; i < v.Names.size(); ++i)
                s += (i ? ", " : "") + v.Names[i];
            return s + "]";
        }
        default:
            return "";
        }
    }

    void PrintProps(const std::vector<TextProp>& props, int level) {
        for (const TextProp& p : props) {
            const TextValue& v = p.Value;
            switch (v.K) {
            case TextValue::vCollection:
                if (v.Items.empty()) {
                    Line(level, p.Name + " = <>");
                    break;
                }
                Line(level, p.Name + " = <");
                for (size_t i = 0; i < v.Items.size(); ++i) {
                    Line(level + 1, "item");
                    PrintProps(v.Items[i].Props, level + 2);
                    Line(level + 1, i + 1 == v.Items.size() ? "end>" : "end");
                }
                break;
            case TextValue::vList:
                if (v.List.empty()) {
                    Line(level, p.Name + " = ()");
                    break;
                }
                Line(level, p.Name + " = (");
                for (size_t i = 0; i < v.List.size(); ++i)
                    Line(level + 1, Scalar(v.List[i]) + (i + 1 == v.List.size() ? ")" : ""));
                break;
            case TextValue::vBinary:
                Line(level, p.Name + " = {");
                for (size_t i = 0; i < v.S.size(); i += 32) {
                    std::string hex;
                    for (size_t j = i; j < v.S.size() && j < i + 32; ++j)
                        hex += Format("%02X", static_cast<unsigned char>(v.S[j]));
                    if (i + 32 >= v.S.size())
                        hex += "}";
                    Line(level + 1, hex);
                }
                if (v.S.empty())
                    Line(level + 1, "}");
                break;
            default:
                Line(level, p.Name + " = " + Scalar(v));
                break;
            }
        }
    }
};

} // namespace

std::string PrintTree(const TextObject& Tree) {
    TextPrinter printer;
    printer.PrintObject(Tree, 0);
    return printer.Out;
}

} // namespace objecttree
