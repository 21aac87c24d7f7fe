#include "framework/core/ObjectText.h"

#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

const char* const kLineBreak = "\r\n";

// ---------------------------------------------------------------- parse tree

struct TextItem;

struct TextValue {
    enum Kind { vInt, vFloat, vString, vIdent, vSet, vList, vBinary, vCollection } K = vInt;
    int64_t I = 0;
    double F = 0;
    std::string S;                  // string, identifier or binary bytes
    std::vector<std::string> Names; // set
    std::vector<TextValue> List;    // ( ... )
    std::vector<TextItem> Items;    // < ... >
};

struct TextProp {
    std::string Name; // may be dotted
    TextValue Value;
    int Line = 0;
};

struct TextItem {
    std::vector<TextProp> Props;
};

struct TextObject {
    std::string Name, ClassName;
    std::vector<TextProp> Props;
    std::vector<TextObject> Children;
    int Line = 0;
};

// ---------------------------------------------------------------- objects to tree

class TreeBuilder {
public:
    TextObject Build(TPersistent* obj) {
        FRoot = obj;
        return BuildObject(obj);
    }

private:
    TextObject BuildObject(TPersistent* obj) {
        TextObject node;
        if (auto* c = dynamic_cast<TComponent*>(obj))
            node.Name = c->Name();
        node.ClassName = obj->ClassName();
        AddProperties(node.Props, obj, "");
        if (auto* c = dynamic_cast<TComponent*>(obj))
            for (int i = 0; i < c->ComponentCount(); ++i) {
                TComponent* child = c->Components(i);
                if (!child->Name().empty())
                    node.Children.push_back(BuildObject(child));
            }
        return node;
    }

    static void Add(std::vector<TextProp>& props, const std::string& name, TextValue value) {
        TextProp p;
        p.Name = name;
        p.Value = std::move(value);
        props.push_back(std::move(p));
    }

    static TextValue Simple(TextValue::Kind k, const std::string& s = "") {
        TextValue v;
        v.K = k;
        v.S = s;
        return v;
    }

    void AddProperties(std::vector<TextProp>& props, TObject* obj, const std::string& prefix) {
        for (const TPropInfo* p : GetPropList(obj)) {
            if (p->Kind == tkMethod || p->Kind == tkUnknown)
                continue;
            if (!IsStoredProp(obj, p))
                continue;
            std::string name = prefix + p->Name;
            if (p->Kind == tkClass) {
                AddObjectProp(props, GetObjectProp(obj, p), name);
                continue;
            }
            if (p->IsReadOnly())
                continue;
            if (p->IsOrdinal()) {
                int64_t v = GetOrdProp(obj, p);
                if (p->HasDefault && v == p->Default)
                    continue;
                TextValue tv;
                switch (p->Kind) {
                case tkChar:
                    tv = Simple(TextValue::vString, std::string(1, static_cast<char>(v)));
                    break;
                case tkSet:
                    tv.K = TextValue::vSet;
                    for (int i = 0; i < 64; ++i)
                        if (static_cast<uint64_t>(v) & (uint64_t{1} << i)) {
                            std::string n = p->EnumType ? p->EnumType->NameOf(i) : "";
                            tv.Names.push_back(n.empty() ? IntToStr(i) : n);
                        }
                    break;
                case tkInteger:
                case tkInt64: {
                    std::string ident;
                    if (p->Kind == tkInteger && p->Idents &&
                        p->Idents->IntToIdent(static_cast<int32_t>(v), ident)) {
                        tv = Simple(TextValue::vIdent, ident);
                    } else {
                        tv.K = TextValue::vInt;
                        tv.I = p->Kind == tkInteger ? static_cast<int32_t>(v) : v;
                    }
                    break;
                }
                default:
                    tv = Simple(TextValue::vIdent, GetPropValueText(obj, p));
                    break;
                }
                Add(props, name, std::move(tv));
            } else if (p->Kind == tkFloat) {
                double v = GetFloatProp(obj, p);
                if (v == 0.0)
                    continue;
                TextValue tv;
                tv.K = TextValue::vFloat;
                tv.F = v;
                Add(props, name, std::move(tv));
            } else if (p->Kind == tkString || p->Kind == tkBinary) {
                std::string v = GetStrProp(obj, p);
                if (v.empty())
                    continue;
                Add(props, name, Simple(p->Kind == tkString ? TextValue::vString : TextValue::vBinary, v));
            }
        }
    }

    void AddObjectProp(std::vector<TextProp>& props, TObject* value, const std::string& name) {
        if (!value)
            return;
        if (auto* coll = dynamic_cast<TCollection*>(value)) {
            TextValue tv;
            tv.K = TextValue::vCollection;
            for (int i = 0; i < coll->Count(); ++i) {
                TextItem item;
                AddProperties(item.Props, coll->Items(i), "");
                tv.Items.push_back(std::move(item));
            }
            Add(props, name, std::move(tv));
            return;
        }
        if (auto* list = dynamic_cast<TStrings*>(value)) {
            if (list->Count() == 0)
                return;
            TextValue tv;
            tv.K = TextValue::vList;
            for (int i = 0; i < list->Count(); ++i)
                tv.List.push_back(Simple(TextValue::vString, list->Get(i)));
            Add(props, name + ".Strings", std::move(tv));
            return;
        }
        if (auto* comp = dynamic_cast<TComponent*>(value)) {
            // Components are referred to by name.
            if (!comp->Name().empty() && comp != FRoot)
                Add(props, name, Simple(TextValue::vIdent, comp->Name()));
            return;
        }
        AddProperties(props, value, name + ".");
    }

    TPersistent* FRoot = nullptr;
};

// ---------------------------------------------------------------- tree to text

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

// ---------------------------------------------------------------- tree to and from the binary form

// Value tags of the binary form.
enum : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaInt64 = 19,
    vaDouble = 20,
};

const char kSignature[4] = {'T', 'P', 'F', '0'};

class BinaryWriter {
public:
    std::string Out;

    void WriteRoot(const TextObject& node) {
        Out.append(kSignature, 4);
        WriteObject(node);
    }

private:
    void Byte(uint8_t b) { Out += static_cast<char>(b); }
    void Int(int64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            Byte(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
    }
    void Short(const std::string& s) {
        if (s.size() > 255)
            throw EWriteError(SWriteError);
        Byte(static_cast<uint8_t>(s.size()));
        Out += s;
    }

    void WriteObject(const TextObject& node) {
        Short(node.ClassName);
        Short(node.Name);
        WriteProps(node.Props);
        for (const TextObject& child : node.Children)
            WriteObject(child);
        Byte(0);
    }

    void WriteProps(const std::vector<TextProp>& props) {
        for (const TextProp& p : props) {
            Short(p.Name);
            WriteValue(p.Value);
        }
        Byte(0);
    }

    void WriteValue(const TextValue& v) {
        switch (v.K) {
        case TextValue::vInt:
            if (v.I >= INT8_MIN && v.I <= INT8_MAX) {
                Byte(vaInt8);
                Int(v.I, 1);
            } else if (v.I >= INT16_MIN && v.I <= INT16_MAX) {
                Byte(vaInt16);
                Int(v.I, 2);
            } else if (v.I >= INT32_MIN && v.I <= INT32_MAX) {
                Byte(vaInt32);
                Int(v.I, 4);
            } else {
                Byte(vaInt64);
                Int(v.I, 8);
            }
            break;
        case TextValue::vFloat: {
            Byte(vaDouble);
            uint64_t bits;
            std::memcpy(&bits, &v.F, 8);
            Int(static_cast<int64_t>(bits), 8);
            break;
        }
        case TextValue::vString:
            if (v.S.size() <= 255) {
                Byte(vaString);
                Short(v.S);
            } else {
                Byte(vaLString);
                Int(static_cast<int64_t>(v.S.size()), 4);
                Out += v.S;
            }
            break;
        case TextValue::vIdent:
            if (SameText(v.S, "False"))
                Byte(vaFalse);
            else if (SameText(v.S, "True"))
                Byte(vaTrue);
            else if (SameText(v.S, "nil"))
                Byte(vaNil);
            else {
                Byte(vaIdent);
                Short(v.S);
            }
            break;
        case TextValue::vSet:
            Byte(vaSet);
            for (const std::string& n : v.Names)
                Short(n);
            Byte(0);
            break;
        case TextValue::vList:
            Byte(vaList);
            for (const TextValue& item : v.List)
                WriteValue(item);
            Byte(vaNull);
            break;
        case TextValue::vBinary:
            Byte(vaBinary);
            Int(static_cast<int64_t>(v.S.size()), 4);
            Out += v.S;
            break;
        case TextValue::vCollection:
            Byte(vaCollection);
            for (const TextItem& item : v.Items) {
                Byte(vaList);
                WriteProps(item.Props);
            }
            Byte(vaNull);
            break;
        }
    }
};

class BinaryReader {
public:
    explicit BinaryReader(const std::string& data) : FData(data) {}

    TextObject ReadRoot() {
        if (FData.size() < 4 || std::memcmp(FData.data(), kSignature, 4) != 0)
            Fail();
        FPos = 4;
        return ReadObject();
    }

    size_t Position() const { return FPos; }

private:
    static constexpr int kMaxDepth = 64;
    struct DepthGuard {
        explicit DepthGuard(BinaryReader& r) : R(r) {
            if (++R.FDepth > kMaxDepth)
                R.Fail();
        }
        ~DepthGuard() { --R.FDepth; }
        BinaryReader& R;
    };

    [[noreturn]] void Fail() const { throw EReadError(SInvalidImage); }

    uint8_t Byte() {
        if (FPos >= FData.size())
            Fail();
        return static_cast<uint8_t>(FData[FPos++]);
    }
    int64_t Int(int bytes) {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(Byte()) << (8 * i);
        // Sign-extend from the stored width.
        if (bytes < 8 && (v >> (8 * bytes - 1)) & 1)
            v |= ~uint64_t{0} << (8 * bytes);
        return static_cast<int64_t>(v);
    }
    std::string Bytes(uint64_t n) {
        if (n > FData.size() - FPos)
            Fail();
        std::string s = FData.substr(FPos, static_cast<size_t>(n));
        FPos += static_cast<size_t>(n);
        return s;
    }
    std::string Short() { return Bytes(Byte()); }

    // Names must be ones the text form can hold, so that whatever this reader takes can also be
    // written as text and read back.
    static bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
    static bool IsIdent(const std::string& s, size_t from, size_t to) {
        if (from >= to || !IsIdentStart(s[from]))
            return false;
        for (size_t i = from + 1; i < to; ++i)
            if (!IsIdentChar(s[i]))
                return false;
        return true;
    }
    static bool IsKeyword(const std::string& s) {
        return SameText(s, "object") || SameText(s, "inherited") || SameText(s, "inline") ||
               SameText(s, "end");
    }
    std::string Ident(bool allowEmpty) {
        std::string s = Short();
        if (s.empty() ? !allowEmpty : !IsIdent(s, 0, s.size()))
            Fail();
        return s;
    }
    // A property name: identifiers joined by dots, not starting with a word that opens or ends
    // an object in the text form.
    std::string PropName() {
        std::string s = Short();
        size_t from = 0;
        for (;;) {
            size_t dot = s.find('.', from);
            size_t to = dot == std::string::npos ? s.size() : dot;
            if (!IsIdent(s, from, to))
                Fail();
            if (dot == std::string::npos)
                break;
            from = dot + 1;
        }
        if (IsKeyword(s.substr(0, s.find('.'))))
            Fail();
        return s;
    }
    // A set element: an identifier, or the number of an element without a name.
    std::string SetElement() {
        std::string s = Short();
        if (IsIdent(s, 0, s.size()))
            return s;
        if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
            Fail();
        return s;
    }

    bool AtZero() {
        if (FPos >= FData.size())
            Fail();
        if (FData[FPos] != 0)
            return false;
        ++FPos;
        return true;
    }

    TextObject ReadObject() {
        DepthGuard guard(*this);
        TextObject node;
        node.ClassName = Ident(false);
        node.Name = Ident(true);
        node.Props = ReadProps();
        while (!AtZero())
            node.Children.push_back(ReadObject());
        return node;
    }

    std::vector<TextProp> ReadProps() {
        std::vector<TextProp> props;
        while (!AtZero()) {
            TextProp p;
            p.Name = PropName();
            p.Value = ReadValue();
            props.push_back(std::move(p));
        }
        return props;
    }

    TextValue ReadValue() {
        DepthGuard guard(*this);
        TextValue v;
        uint8_t tag = Byte();
        switch (tag) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            v.K = TextValue::vInt;
            v.I = Int(tag == vaInt8 ? 1 : tag == vaInt16 ? 2 : tag == vaInt32 ? 4 : 8);
            break;
        case vaDouble: {
            v.K = TextValue::vFloat;
            uint64_t bits = static_cast<uint64_t>(Int(8));
            std::memcpy(&v.F, &bits, 8);
            break;
        }
        case vaString:
            v.K = TextValue::vString;
            v.S = Short();
            break;
        case vaLString:
            v.K = TextValue::vString;
            v.S = Bytes(static_cast<uint32_t>(Int(4)));
            break;
        case vaIdent:
            v.K = TextValue::vIdent;
            v.S = Ident(false);
            break;
        case vaFalse:
        case vaTrue:
        case vaNil:
            v.K = TextValue::vIdent;
            v.S = tag == vaFalse ? "False" : tag == vaTrue ? "True" : "nil";
            break;
        case vaSet:
            v.K = TextValue::vSet;
            while (!AtZero())
                v.Names.push_back(SetElement());
            break;
        case vaList:
            v.K = TextValue::vList;
            while (!AtZero())
                v.List.push_back(ReadValue());
            break;
        case vaBinary:
            v.K = TextValue::vBinary;
            v.S = Bytes(static_cast<uint32_t>(Int(4)));
            break;
        case vaCollection:
            v.K = TextValue::vCollection;
            while (!AtZero()) {
                if (Byte() != vaList)
                    Fail();
                TextItem item;
                item.Props = ReadProps();
                v.Items.push_back(std::move(item));
            }
            break;
        default:
            Fail();
        }
        return v;
    }

    const std::string& FData;
    size_t FPos = 0;
    int FDepth = 0;
};

// ---------------------------------------------------------------- tokenizer and parser

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

// ---------------------------------------------------------------- applying a parse tree

// Runs twice over the same tree: first checking only (nothing is changed; the target object
// is used only to look sub-objects up), then for real.
class Applier {
public:
    Applier(TPersistent* root, bool commit) : FRoot(root), FCommit(commit) {}

    void ApplyObject(const TextObject& node, TObject* target, TClass cls) {
        ApplyProps(node.Props, target, cls);
        for (const TextObject& childNode : node.Children) {
            auto* owner = dynamic_cast<TComponent*>(target);
            if (!owner && !(target == nullptr && cls && cls->InheritsFrom(TComponent::StaticClass())))
                Fail(childNode.Line, SInvalidImage);
            TClass childClass = GetClass(childNode.ClassName);
            if (!childClass)
                Fail(childNode.Line, Format(SClassNotFound, childNode.ClassName.c_str()));
            if (!childClass->InheritsFrom(TComponent::StaticClass()) || !childClass->CanCreate())
                Fail(childNode.Line, SInvalidImage);
            TComponent* child = owner ? owner->FindComponent(childNode.Name) : nullptr;
            if (child && !child->InheritsFrom(childClass))
                Fail(childNode.Line, SInvalidImage);
            if (FCommit && !child) {
                TObject* made = childClass->Create(owner);
                child = dynamic_cast<TComponent*>(made);
                if (!child) {
                    delete made;
                    Fail(childNode.Line, SInvalidImage);
                }
                child->SetState(csLoading | csReading, true);
                if (!childNode.Name.empty())
                    child->SetName(childNode.Name);
                FLoaded.push_back(child);
            }
            // A component the text is yet to make has no collections to learn item classes
            // from; when its text fills one, it is checked against a scratch instance.
            std::unique_ptr<TObject> scratch;
            if (!FCommit && !child && HasCollectionItems(childNode))
                scratch.reset(childClass->Create(nullptr));
            TObject* checked = child ? child : scratch.get();
            ApplyObject(childNode, checked, checked ? checked->ClassType() : childClass);
        }
    }

    // Checks (and when committing, sets) the component references met while applying.
    void ResolveFixups(const TextObject& tree) {
        auto* rootComp = dynamic_cast<TComponent*>(FRoot);
        if (!FCommit)
            CollectNames(tree);
        for (const Fixup& f : FFixups) {
            if (SameText(f.Name, "nil")) {
                if (FCommit && f.Obj)
                    SetObjectProp(f.Obj, f.Info, nullptr);
                continue;
            }
            TComponent* ref = FindByName(rootComp, f.Name);
            TClass cls = ref ? ref->ClassType() : nullptr;
            if (!ref && !FCommit)
                for (const auto& planned : FPlanned)
                    if (SameText(planned.first, f.Name))
                        cls = planned.second;
            if (!cls || (f.Info->PropClass && !cls->InheritsFrom(f.Info->PropClass)))
                Fail(f.Line, SInvalidPropertyValue);
            if (FCommit && f.Obj)
                SetObjectProp(f.Obj, f.Info, ref);
        }
    }

    void FinishLoading() {
        for (TComponent* c : FLoaded) {
            c->SetState(csReading, false);
            c->Loaded();
        }
    }

private:
    // Trees read from the binary form carry no line numbers.
    [[noreturn]] static void Fail(int line, const std::string& msg) {
        throw EReadError(line > 0 ? Format(SParseError, msg.c_str(), line) : msg);
    }

    static bool HasCollectionItems(const TextObject& node) {
        for (const TextProp& p : node.Props)
            if (p.Value.K == TextValue::vCollection && !p.Value.Items.empty())
                return true;
        return false;
    }

    void ApplyProps(const std::vector<TextProp>& props, TObject* target, TClass cls) {
        for (const TextProp& p : props)
            ApplyProp(p, target, cls);
    }

    void ApplyProp(const TextProp& prop, TObject* target, TClass cls) {
        // Walk the dotted name down to the object that holds the last part.
        std::vector<std::string> parts;
        size_t start = 0;
        for (;;) {
            size_t dot = prop.Name.find('.', start);
            parts.push_back(
                prop.Name.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
            if (dot == std::string::npos)
                break;
            start = dot + 1;
        }
        TObject* obj = target;
        TClass objClass = obj ? obj->ClassType() : cls;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            // "Lines.Strings = (...)": the string list of a TStrings property.
            if (i + 2 == parts.size() && SameText(parts[i + 1], "Strings")) {
                const TPropInfo* info = objClass ? objClass->FindProperty(parts[i]) : nullptr;
                if (info && info->Kind == tkClass) {
                    TObject* sub = obj ? GetObjectProp(obj, info) : nullptr;
                    TClass subClass = sub ? sub->ClassType() : info->PropClass;
                    if (subClass && subClass->InheritsFrom(TStrings::StaticClass())) {
                        ApplyStrings(prop, static_cast<TStrings*>(sub));
                        return;
                    }
                }
            }
            const TPropInfo* info = objClass ? objClass->FindProperty(parts[i]) : nullptr;
            if (!info || info->Kind != tkClass)
                Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
            TObject* sub = obj ? GetObjectProp(obj, info) : nullptr;
            if (obj && !sub)
                Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
            obj = sub;
            objClass = sub ? sub->ClassType() : info->PropClass;
        }
        const TPropInfo* info = objClass ? objClass->FindProperty(parts.back()) : nullptr;
        if (!info || info->Kind == tkMethod || info->Kind == tkUnknown)
            Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
        SetValue(prop, info, obj);
    }

    void ApplyStrings(const TextProp& prop, TStrings* list) {
        if (prop.Value.K != TextValue::vList)
            Fail(prop.Line, SInvalidPropertyValue);
        for (const TextValue& v : prop.Value.List)
            if (v.K != TextValue::vString)
                Fail(prop.Line, SStringExpected);
        if (!FCommit || !list)
            return;
        list->BeginUpdate();
        list->Clear();
        for (const TextValue& v : prop.Value.List)
            list->Add(v.S);
        list->EndUpdate();
    }

    int64_t OrdinalValue(const TextProp& prop, const TPropInfo* info) {
        const TextValue& v = prop.Value;
        switch (info->Kind) {
        case tkInteger:
        case tkInt64:
            if (v.K == TextValue::vInt) {
                if (info->Kind == tkInteger && (v.I < INT32_MIN || v.I > static_cast<int64_t>(UINT32_MAX)))
                    Fail(prop.Line, SInvalidPropertyValue);
                return info->Kind == tkInteger ? static_cast<int32_t>(static_cast<uint32_t>(v.I)) : v.I;
            }
            if (v.K == TextValue::vIdent && info->Idents) {
                int32_t n;
                if (info->Idents->IdentToInt(v.S, n))
                    return n;
            }
            break;
        case tkChar:
            if (v.K == TextValue::vString && v.S.size() == 1)
                return static_cast<unsigned char>(v.S[0]);
            break;
        case tkBool:
            if (v.K == TextValue::vIdent && SameText(v.S, "True"))
                return 1;
            if (v.K == TextValue::vIdent && SameText(v.S, "False"))
                return 0;
            break;
        case tkEnumeration:
            if (v.K == TextValue::vIdent && info->EnumType) {
                int i = info->EnumType->IndexOf(v.S);
                if (i >= 0)
                    return i;
            }
            break;
        case tkSet:
            if (v.K == TextValue::vSet) {
                uint64_t bits = 0;
                for (const std::string& n : v.Names) {
                    int i = info->EnumType ? info->EnumType->IndexOf(n) : -1;
                    int32_t number;
                    if (i < 0 && !n.empty() && n[0] >= '0' && n[0] <= '9' && TryStrToInt(n, number))
                        i = number;
                    if (i < 0 || i >= 64)
                        Fail(prop.Line, SInvalidPropertyValue);
                    bits |= uint64_t{1} << i;
                }
                return static_cast<int64_t>(bits);
            }
            break;
        default:
            break;
        }
        Fail(prop.Line, SInvalidPropertyValue);
    }

    void SetValue(const TextProp& prop, const TPropInfo* info, TObject* obj) {
        const TextValue& v = prop.Value;
        if (info->Kind == tkClass) {
            SetObjectValue(prop, info, obj);
            return;
        }
        if (info->IsReadOnly())
            Fail(prop.Line, SReadOnlyProperty);
        if (info->IsOrdinal()) {
            int64_t n = OrdinalValue(prop, info);
            if (FCommit && obj)
                SetOrdProp(obj, info, n);
        } else if (info->Kind == tkFloat) {
            double f;
            if (v.K == TextValue::vFloat)
                f = v.F;
            else if (v.K == TextValue::vInt)
                f = static_cast<double>(v.I);
            else
                Fail(prop.Line, SInvalidPropertyValue);
            if (FCommit && obj)
                SetFloatProp(obj, info, f);
        } else if (info->Kind == tkString) {
            if (v.K != TextValue::vString)
                Fail(prop.Line, SStringExpected);
            if (FCommit && obj)
                SetStrProp(obj, info, v.S);
        } else if (info->Kind == tkBinary) {
            if (v.K != TextValue::vBinary)
                Fail(prop.Line, SInvalidBinary);
            if (FCommit && obj)
                SetStrProp(obj, info, v.S);
        }
    }

    void SetObjectValue(const TextProp& prop, const TPropInfo* info, TObject* obj) {
        const TextValue& v = prop.Value;
        TObject* current = obj ? GetObjectProp(obj, info) : nullptr;
        TClass cls = current ? current->ClassType() : info->PropClass;
        if (v.K == TextValue::vCollection) {
            if (!cls || !cls->InheritsFrom(TCollection::StaticClass()))
                Fail(prop.Line, SInvalidPropertyValue);
            auto* coll = static_cast<TCollection*>(current);
            TClass itemClass = coll ? coll->ItemClass() : nullptr;
            if (coll && (!itemClass || !itemClass->CanCreate()))
                Fail(prop.Line, SInvalidPropertyValue);
            if (FCommit && coll) {
                coll->BeginUpdate();
                try {
                    coll->Clear();
                    for (const TextItem& item : v.Items)
                        ApplyProps(item.Props, coll->Add(), itemClass);
                } catch (...) {
                    coll->EndUpdate();
                    throw;
                }
                coll->EndUpdate();
            } else if (!v.Items.empty()) {
                // Checking changes nothing, but an item's own sub-objects (a collection inside it,
                // with its item class) are only known from an item: a scratch one in no collection.
                std::unique_ptr<TObject> scratch(itemClass ? itemClass->CreateItem(nullptr) : nullptr);
                for (const TextItem& item : v.Items)
                    ApplyProps(item.Props, scratch.get(), itemClass);
            }
            return;
        }
        if (v.K == TextValue::vIdent) {
            // A reference to a component of the root, or nil; resolved once every object is read,
            // because it may name a component that comes later in the text.
            if (info->IsReadOnly())
                Fail(prop.Line, SReadOnlyProperty);
            FFixups.push_back({obj, info, v.S, prop.Line});
            return;
        }
        Fail(prop.Line, SInvalidPropertyValue);
    }

    struct Fixup {
        TObject* Obj;
        const TPropInfo* Info;
        std::string Name;
        int Line;
    };

    static TComponent* FindByName(TComponent* owner, const std::string& name) {
        if (!owner)
            return nullptr;
        if (TComponent* c = owner->FindComponent(name))
            return c;
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (TComponent* c = FindByName(owner->Components(i), name))
                return c;
        return nullptr;
    }

    void CollectNames(const TextObject& node) {
        for (const TextObject& child : node.Children) {
            TClass cls = GetClass(child.ClassName);
            if (!child.Name.empty())
                FPlanned.push_back({child.Name, cls});
            CollectNames(child);
        }
    }

    TPersistent* FRoot;
    bool FCommit;
    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;
    std::vector<std::pair<std::string, TClass>> FPlanned; // components the text will make
};

TextObject ParseText(const std::string& text) {
    Parser parser(text);
    TextObject obj = parser.ParseObject();
    parser.ExpectEnd();
    return obj;
}

void ApplyTree(const TextObject& tree, TPersistent* root) {
    auto* comp = dynamic_cast<TComponent*>(root);
    Applier check(root, false);
    check.ApplyObject(tree, root, root->ClassType());
    check.ResolveFixups(tree);
    Applier apply(root, true);
    if (comp)
        comp->SetState(csLoading | csReading, true);
    try {
        if (comp && !tree.Name.empty() && comp->Name().empty())
            comp->SetName(tree.Name);
        apply.ApplyObject(tree, root, root->ClassType());
        apply.ResolveFixups(tree);
    } catch (...) {
        if (comp)
            comp->SetState(csLoading | csReading, false);
        throw;
    }
    apply.FinishLoading();
    if (comp) {
        comp->SetState(csReading, false);
        comp->Loaded();
    }
}

} // namespace

std::string QuoteObjectTextString(const std::string& S) {
    if (S.empty())
        return "''";
    std::string out;
    bool inQuote = false;
    for (char c : S) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= ' ' && u < 127) {
            if (!inQuote) {
                out += '\'';
                inQuote = true;
            }
            if (c == '\'')
                out += '\'';
            out += c;
        } else {
            if (inQuote) {
                out += '\'';
                inQuote = false;
            }
            out += "#" + IntToStr(u);
        }
    }
    if (inQuote)
        out += '\'';
    return out;
}

namespace {

void CheckRootClass(const TextObject& tree, TPersistent* Root) {
    if (!Root->InheritsFromName(tree.ClassName)) {
        TClass named = GetClass(tree.ClassName);
        if (!named || !named->InheritsFrom(Root->ClassType()))
            throw EReadError(SInvalidImage);
    }
}

TPersistent* CreateFromTree(const TextObject& tree, TComponent* Owner) {
    TClass cls = FindClass(tree.ClassName);
    if (!cls->InheritsFrom(TPersistent::StaticClass()) || !cls->CanCreate())
        throw EReadError(SInvalidImage);
    std::unique_ptr<TPersistent> obj(static_cast<TPersistent*>(cls->Create(Owner)));
    ApplyTree(tree, obj.get());
    return obj.release();
}

std::string TreeToText(const TextObject& tree) {
    TextPrinter printer;
    printer.PrintObject(tree, 0);
    return printer.Out;
}

std::string TreeToBinary(const TextObject& tree) {
    BinaryWriter writer;
    writer.WriteRoot(tree);
    return writer.Out;
}

} // namespace

std::string ObjectToText(TPersistent* Root) {
    return TreeToText(TreeBuilder().Build(Root));
}

void ObjectFromText(const std::string& Text, TPersistent* Root) {
    TextObject tree = ParseText(Text);
    CheckRootClass(tree, Root);
    ApplyTree(tree, Root);
}

TPersistent* CreateObjectFromText(const std::string& Text, TComponent* Owner) {
    return CreateFromTree(ParseText(Text), Owner);
}

void WriteObjectText(TStream& Stream, TPersistent* Root) {
    Stream.WriteString(ObjectToText(Root));
}

void ReadObjectText(TStream& Stream, TPersistent* Root) {
    ObjectFromText(Stream.ReadRemaining(), Root);
}

std::string ObjectToBinary(TPersistent* Root) {
    return TreeToBinary(TreeBuilder().Build(Root));
}

void ObjectFromBinary(const std::string& Data, TPersistent* Root) {
    TextObject tree = BinaryReader(Data).ReadRoot();
    CheckRootClass(tree, Root);
    ApplyTree(tree, Root);
}

TPersistent* CreateObjectFromBinary(const std::string& Data, TComponent* Owner) {
    return CreateFromTree(BinaryReader(Data).ReadRoot(), Owner);
}

void WriteObjectBinary(TStream& Stream, TPersistent* Root) {
    Stream.WriteString(ObjectToBinary(Root));
}

void ReadObjectBinary(TStream& Stream, TPersistent* Root) {
    int64_t start = Stream.Position();
    std::string data = Stream.ReadRemaining();
    BinaryReader reader(data);
    TextObject tree = reader.ReadRoot();
    CheckRootClass(tree, Root);
    ApplyTree(tree, Root);
    Stream.SetPosition(start + static_cast<int64_t>(reader.Position()));
}

std::string ReadBinaryClassName(TStream& Stream) {
    int64_t start = Stream.Position();
    char head[5 + 255];
    int32_t n = Stream.Read(head, sizeof head);
    Stream.SetPosition(start);
    if (n < 5 || std::memcmp(head, kSignature, 4) != 0)
        return "";
    size_t len = static_cast<unsigned char>(head[4]);
    if (len == 0 || 5 + len > static_cast<size_t>(n))
        return "";
    return std::string(head + 5, len);
}

std::string ObjectBinaryToText(const std::string& Data) {
    return TreeToText(BinaryReader(Data).ReadRoot());
}

std::string ObjectTextToBinary(const std::string& Text) {
    return TreeToBinary(ParseText(Text));
}

bool IsObjectBinary(const std::string& Data) {
    return Data.size() >= 4 && std::memcmp(Data.data(), kSignature, 4) == 0;
}

void ObjectFromAnyForm(const std::string& Data, TPersistent* Root) {
    if (IsObjectBinary(Data))
        ObjectFromBinary(Data, Root);
    else
        ObjectFromText(Data, Root);
}

TPersistent* CreateObjectFromAnyForm(const std::string& Data, TComponent* Owner) {
    return IsObjectBinary(Data) ? CreateObjectFromBinary(Data, Owner) : CreateObjectFromText(Data, Owner);
}

void ReadObjectAnyForm(TStream& Stream, TPersistent* Root) {
    const int64_t start = Stream.Position();
    char head[4];
    const int32_t n = Stream.Read(head, 4);
    Stream.SetPosition(start);
    if (n == 4 && std::memcmp(head, kSignature, 4) == 0)
        ReadObjectBinary(Stream, Root);
    else
        ReadObjectText(Stream, Root);
}

namespace {

bool NamedInSubset(const std::string& PropName, const std::vector<std::string>& Names) {
    const std::string top = PropName.substr(0, PropName.find('.'));
    for (const std::string& n : Names)
        if (SameText(n, top))
            return true;
    return false;
}

void KeepSubset(TextObject& tree, const std::vector<std::string>& Names) {
    std::vector<TextProp> kept;
    for (TextProp& p : tree.Props)
        if (NamedInSubset(p.Name, Names))
            kept.push_back(std::move(p));
    tree.Props = std::move(kept);
    tree.Children.clear();
}

} // namespace

std::string ObjectSubsetToBinary(TPersistent* Root, const std::vector<std::string>& Names) {
    TextObject tree = TreeBuilder().Build(Root);
    KeepSubset(tree, Names);
    return TreeToBinary(tree);
}

void ObjectSubsetFromBinary(const std::string& Data, TPersistent* Root,
                            const std::vector<std::string>& Names) {
    TextObject tree = BinaryReader(Data).ReadRoot();
    CheckRootClass(tree, Root);
    KeepSubset(tree, Names);
    ApplyTree(tree, Root);
}
