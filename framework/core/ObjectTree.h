#pragma once
// The tree that the text and binary forms of objects share. Objects are turned into a tree and
// printed or written; text is parsed and binary forms read into a tree, checked whole, and only
// then applied. Private to the object-form code of the framework.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TPersistent;
struct TFilerHooks;

namespace objecttree {

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

// The stored published properties of the object and its owned components.
TextObject BuildTree(TPersistent* Root, const TFilerHooks* Hooks = nullptr);
std::string PrintTree(const TextObject& Tree);
TextObject ParseText(const std::string& Text);
std::string WriteBinaryTree(const TextObject& Tree);
// Reads one object from the start of Data; End, when given, receives the offset just after it.
TextObject ReadBinaryTree(const std::string& Data, size_t* End = nullptr);
// True when the bytes begin with the binary form's signature.
bool HasBinarySignature(const char* Bytes, size_t Count);
// Checks the whole tree against the root first; nothing changes when it does not fit.
void ApplyTree(const TextObject& Tree, TPersistent* Root, const TFilerHooks* Hooks = nullptr);

} // namespace objecttree
