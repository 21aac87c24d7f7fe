// The text form parsed into the shared tree.
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

enum TokKind { tEOF, tSymbol, tString, tInteger, tFloat, tChar };

class Parser {
public:
    explicit Parser(const std::string& text) : FText(text) { Next(); }

    TextObject ParseObject() {
        DepthGuard guard(*this);
        if (!(IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline")))
            Fail(Format(SCharExpected, 'o'));
        TextObject obj;
        obj.Line = FLine;
        Next();
        std::string first = ExpectSymbol();
        if (FTok == tChar && FChar == ':') {
            Next();
            obj.Name = first;
            obj.ClassName = ExpectSymbol();
        } else {
            obj.ClassName = first;
        }
        if (FTok == tChar && FChar == '[') { // creation order: accepted and ignored
            Next();
            ExpectKind(tInteger);
            ExpectChar(']');
        }
        while (!IsSymbol("end")) {
            if (FTok == tEOF)
                Fail(Format(SCharExpected, 'e'));
            if (IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"))
                obj.Children.push_back(ParseObject());
            else
                obj.Props.push_back(ParseProperty());
        }
        Next();
        return obj;
    }

    void ExpectEnd() {
        if (FTok != tEOF)
            Fail("End of text expected");
    }

    [[noreturn]] void Fail(const std::string& msg) const {
        throw EParserError(Format(SParseError, msg.c_str(), FLine));
    }

private:
    // Nesting is bounded, so that a hostile text cannot exhaust the stack.
    static constexpr int kMaxDepth = 64;
    struct DepthGuard {
        explicit DepthGuard(Parser& p) : P(p) {
            if (++P.FDepth > kMaxDepth)
                P.Fail("Nesting too deep");
        }
        ~DepthGuard() { --P.FDepth; }
        Parser& P;
    };

    TextProp ParseProperty() {
        TextProp p;
        p.Line = FLine;
        p.Name = ExpectSymbol();
        while (FTok == tChar && FChar == '.') {
            Next();
            p.Name += "." + ExpectSymbol();
        }
        ExpectChar('=');
        p.Value = ParseValue();
        return p;
    }

    TextValue ParseValue() {
        DepthGuard guard(*this);
        TextValue v;
        switch (FTok) {
        case tInteger:
            v.K = TextValue::vInt;
            v.I = FInt;
            Next();
            return v;
        case tFloat:
            v.K = TextValue::vFloat;
            v.F = FFloat;
            Next();
            return v;
        case tString:
            v.K = TextValue::vString;
            v.S = FStr;
            Next();
            while (FTok == tChar && FChar == '+') {
                Next();
                if (FTok != tString)
                    Fail(SStringExpected);
                v.S += FStr;
                Next();
            }
            return v;
        case tSymbol:
            v.K = TextValue::vIdent;
            v.S = FStr;
            Next();
            // A component of another form: "Form2.Table1".
            while (FTok == tChar && FChar == '.') {
                Next();
                v.S += "." + ExpectSymbol();
            }
            return v;
        case tChar:
            break;
        case tEOF:
            Fail(SInvalidPropertyValue);
        }
        char c = FChar;
        if (c == '[') {
            v.K = TextValue::vSet;
            Next();
            if (!(FTok == tChar && FChar == ']')) {
                for (;;) {
                    // Elements without a name are written by number.
                    if (FTok == tInteger) {
                        v.Names.push_back(IntToStr(FInt));
                        Next();
                    } else {
                        v.Names.push_back(ExpectSymbol());
                    }
                    if (FTok == tChar && FChar == ']')
                        break;
                    ExpectChar(',');
                }
            }
            Next();
            return v;
        }
        if (c == '(') {
            v.K = TextValue::vList;
            Next();
            while (!(FTok == tChar && FChar == ')')) {
                if (FTok == tEOF)
                    Fail(Format(SCharExpected, ')'));
                v.List.push_back(ParseValue());
            }
            Next();
            return v;
        }
        if (c == '<') {
            v.K = TextValue::vCollection;
            Next();
            while (!(FTok == tChar && FChar == '>')) {
                if (!IsSymbol("item"))
                    Fail(Format(SCharExpected, '>'));
                Next();
                if (FTok == tChar && FChar == '[') {
                    Next();
                    ExpectKind(tInteger);
                    ExpectChar(']');
                }
                TextItem item;
                while (!IsSymbol("end")) {
                    if (FTok == tEOF)
                        Fail(Format(SCharExpected, 'e'));
                    item.Props.push_back(ParseProperty());
                }
                Next();
                v.Items.push_back(std::move(item));
            }
            Next();
            return v;
        }
        if (c == '{') {
            v.K = TextValue::vBinary;
            v.S = ReadBinary();
            Next();
            return v;
        }
        Fail(SInvalidPropertyValue);
    }

    bool IsSymbol(const char* s) const { return FTok == tSymbol && SameText(FStr, s); }

    std::string ExpectSymbol() {
        if (FTok != tSymbol)
            Fail(SIdentifierExpected);
        std::string s = FStr;
        Next();
        return s;
    }

    void ExpectChar(char c) {
        if (!(FTok == tChar && FChar == c))
            Fail(Format(SCharExpected, c));
        Next();
    }

    void ExpectKind(TokKind k) {
        if (FTok != k)
            Fail(SNumberExpected);
        Next();
    }

    static bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }
    char At(size_t i) const { return i < FText.size() ? FText[i] : '\0'; }

    // Called with the current token '{': reads hex digit pairs up to '}' and leaves the position on it.
    std::string ReadBinary() {
        std::string bytes;
        int high = -1;
        for (;;) {
            char c = At(FPos);
            if (FPos >= FText.size())
                Fail(Format(SCharExpected, '}'));
            ++FPos;
            if (c == '}')
                break;
            if (c == '\n')
                ++FLine;
            if (static_cast<unsigned char>(c) <= ' ')
                continue;
            int h = HexValue(c);
            if (h < 0)
                Fail(SInvalidBinary);
            if (high < 0) {
                high = h;
            } else {
                bytes += static_cast<char>(high * 16 + h);
                high = -1;
            }
        }
        if (high >= 0)
            Fail(SInvalidBinary);
        return bytes;
    }

    void Next() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ') {
            if (FText[FPos] == '\n')
                ++FLine;
            ++FPos;
        }
        if (FPos >= FText.size()) {
            FTok = tEOF;
            return;
        }
        char c = FText[FPos];
        if (IsAlpha(c)) {
            size_t start = FPos;
            while (IsAlpha(At(FPos)) || IsDigit(At(FPos)))
                ++FPos;
            FTok = tSymbol;
            FStr = FText.substr(start, FPos - start);
            return;
        }
        if (c == '\'' || c == '#') {
            FStr.clear();
            for (;;) {
                char d = At(FPos);
                if (d == '\'') {
                    ++FPos;
                    for (;;) {
                        if (FPos >= FText.size() || FText[FPos] == '\r' || FText[FPos] == '\n')
                            Fail(SInvalidString);
                        char e = FText[FPos++];
                        if (e == '\'') {
                            if (At(FPos) == '\'') {
                                FStr += '\'';
                                ++FPos;
                                continue;
                            }
                            break;
                        }
                        FStr += e;
                    }
                } else if (d == '#') {
                    ++FPos;
                    int64_t n = 0;
                    size_t start = FPos;
                    if (At(FPos) == '$') {
                        ++FPos;
                        while (HexValue(At(FPos)) >= 0 && FPos - start < 8)
                            n = n * 16 + HexValue(At(FPos++));
                    } else {
                        while (IsDigit(At(FPos)) && FPos - start < 8)
                            n = n * 10 + (At(FPos++) - '0');
                    }
                    if (FPos == start || n > 255)
                        Fail(SInvalidString);
                    FStr += static_cast<char>(n);
                } else {
                    break;
                }
            }
            FTok = tString;
            return;
        }
        if (IsDigit(c) || c == '$' ||
            ((c == '-' || c == '+') && (IsDigit(At(FPos + 1)) || At(FPos + 1) == '$'))) {
            size_t start = FPos;
            if (c == '-' || c == '+')
                ++FPos;
            bool hex = At(FPos) == '$';
            if (hex)
                ++FPos;
            bool isFloat = false;
            while (true) {
                char d = At(FPos);
                if (IsDigit(d) || (hex && HexValue(d) >= 0)) {
                    ++FPos;
                } else if (!hex && (d == '.' || d == 'e' || d == 'E') &&
                           !(d == '.' && !IsDigit(At(FPos + 1)))) {
                    isFloat = true;
                    ++FPos;
                    if ((d == 'e' || d == 'E') && (At(FPos) == '-' || At(FPos) == '+'))
                        ++FPos;
                } else {
                    break;
                }
            }
            std::string num = FText.substr(start, FPos - start);
            if (isFloat) {
                if (!TryStrToFloat(num, FFloat))
                    Fail(SNumberExpected);
                FTok = tFloat;
            } else {
                if (!TryStrToInt64(num, FInt))
                    Fail(SNumberExpected);
                FTok = tInteger;
            }
            return;
        }
        FTok = tChar;
        FChar = c;
        ++FPos;
    }

    const std::string& FText;
    size_t FPos = 0;
    int FLine = 1;
    TokKind FTok = tEOF;
    std::string FStr;
    int64_t FInt = 0;
    double FFloat = 0;
    char FChar = 0;
    int FDepth = 0;
};

} // namespace

TextObject ParseText(const std::string& Text) {
    Parser parser(Text);
    TextObject obj = parser.ParseObject();
    parser.ExpectEnd();
    return obj;
}

} // namespace objecttree
