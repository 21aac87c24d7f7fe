#include "framework/core/ObjectText.h"

#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/ObjectTree.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

using namespace objecttree;

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

void CheckRootClass(const TextObject& tree, TPersistent* Root, const TFilerHooks* Hooks = nullptr) {
    if (Hooks && Hooks->AnyRootClass)
        return;
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

} // namespace

std::string ObjectToText(TPersistent* Root) {
    return PrintTree(BuildTree(Root));
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
    return WriteBinaryTree(BuildTree(Root));
}

void ObjectFromBinary(const std::string& Data, TPersistent* Root) {
    TextObject tree = ReadBinaryTree(Data);
    CheckRootClass(tree, Root);
    ApplyTree(tree, Root);
}

TPersistent* CreateObjectFromBinary(const std::string& Data, TComponent* Owner) {
    return CreateFromTree(ReadBinaryTree(Data), Owner);
}

void WriteObjectBinary(TStream& Stream, TPersistent* Root) {
    Stream.WriteString(ObjectToBinary(Root));
}

void ReadObjectBinary(TStream& Stream, TPersistent* Root) {
    int64_t start = Stream.Position();
    std::string data = Stream.ReadRemaining();
    size_t end = 0;
    TextObject tree = ReadBinaryTree(data, &end);
    CheckRootClass(tree, Root);
    ApplyTree(tree, Root);
    Stream.SetPosition(start + static_cast<int64_t>(end));
}

std::string ReadBinaryClassName(TStream& Stream) {
    int64_t start = Stream.Position();
    char head[5 + 255];
    int32_t n = Stream.Read(head, sizeof head);
    Stream.SetPosition(start);
    if (n < 5 || !HasBinarySignature(head, static_cast<size_t>(n)))
        return "";
    size_t len = static_cast<unsigned char>(head[4]);
    if (len == 0 || 5 + len > static_cast<size_t>(n))
        return "";
    return std::string(head + 5, len);
}

std::string ObjectBinaryToText(const std::string& Data) {
    return PrintTree(ReadBinaryTree(Data));
}

std::string ObjectTextToBinary(const std::string& Text) {
    return WriteBinaryTree(ParseText(Text));
}

bool IsObjectBinary(const std::string& Data) {
    return HasBinarySignature(Data.data(), Data.size());
}

std::string ObjectToText(TPersistent* Root, const TFilerHooks& Hooks) {
    return PrintTree(BuildTree(Root, &Hooks));
}

std::string ObjectToBinary(TPersistent* Root, const TFilerHooks& Hooks) {
    return WriteBinaryTree(BuildTree(Root, &Hooks));
}

void ObjectFromAnyForm(const std::string& Data, TPersistent* Root, const TFilerHooks& Hooks) {
    TextObject tree = IsObjectBinary(Data) ? ReadBinaryTree(Data) : ParseText(Data);
    CheckRootClass(tree, Root, &Hooks);
    ApplyTree(tree, Root, &Hooks);
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
    if (n == 4 && HasBinarySignature(head, 4))
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
    TextObject tree = BuildTree(Root);
    KeepSubset(tree, Names);
    return WriteBinaryTree(tree);
}

void ObjectSubsetFromBinary(const std::string& Data, TPersistent* Root,
                            const std::vector<std::string>& Names) {
    TextObject tree = ReadBinaryTree(Data);
    CheckRootClass(tree, Root);
    KeepSubset(tree, Names);
    ApplyTree(tree, Root);
}
