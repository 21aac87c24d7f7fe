// The shared tree to and from the binary form.
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
        std::string s = DottedIdent();
        if (IsKeyword(s.substr(0, s.find('.'))))
            Fail();
        return s;
    }
    // Identifiers joined by dots: a property's path, or a component of another form as a value.
    std::string DottedIdent() {
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
            v.S = DottedIdent();
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

} // namespace

std::string WriteBinaryTree(const TextObject& Tree) {
    BinaryWriter writer;
    writer.WriteRoot(Tree);
    return writer.Out;
}

TextObject ReadBinaryTree(const std::string& Data, size_t* End) {
    BinaryReader reader(Data);
    TextObject tree = reader.ReadRoot();
    if (End)
        *End = reader.Position();
    return tree;
}

bool HasBinarySignature(const char* Bytes, size_t Count) {
    return Count >= 4 && std::memcmp(Bytes, kSignature, 4) == 0;
}

} // namespace objecttree
