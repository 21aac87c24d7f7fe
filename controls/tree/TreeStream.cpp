// The tree's node stream: every node with its class, its child list and the published properties
// that differ from their defaults. Loading reads and checks the whole stream before it touches
// the tree, so a damaged stream leaves the tree as it was.
#include "controls/tree/HSTree.h"

#include <cstring>

#include "framework/core/SysUtils.h"

namespace {

constexpr uint16_t StreamVersion = 0x0100;
constexpr uint8_t EndOfProperties = 0xFE;
constexpr uint8_t KindBool = 0xFF;
constexpr uint8_t KindInteger = 1;
constexpr uint8_t KindEnum = 3;
constexpr uint8_t KindShortString = 5;
constexpr uint8_t KindSet = 6;
constexpr uint8_t KindClass = 7;
constexpr uint8_t KindLongString = 10;
// Nesting beyond this is refused rather than risking the stack on a hostile stream.
constexpr int MaxDepth = 2000;

// The numbers of the node properties in the stream; 13 names a property no node has.
const char* const PropertyNames[16] = {"AllowGrayed", "Expanded",         "Font",         "HasChildren",
                                       "ImageIndex",  "NodeType",         "OverlayIndex", "ParentFont",
                                       "ReadOnly",    "SelectedIndex",    "State",        "StateIndex",
                                       "Text",        "RightClickSelect", "Color",        "ParentColor"};

void WriteU8(TStream& S, uint8_t V) {
    S.WriteBuffer(&V, 1);
}
void WriteI32(TStream& S, int32_t V) {
    uint8_t B[4] = {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16),
                    static_cast<uint8_t>(static_cast<uint32_t>(V) >> 24)};
    S.WriteBuffer(B, 4);
}
uint8_t ReadU8(TStream& S) {
    uint8_t V = 0;
    S.ReadBuffer(&V, 1);
    return V;
}
int32_t ReadI32(TStream& S) {
    uint8_t B[4];
    S.ReadBuffer(B, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(B[0]) | (static_cast<uint32_t>(B[1]) << 8) |
                                (static_cast<uint32_t>(B[2]) << 16) | (static_cast<uint32_t>(B[3]) << 24));
}

uint8_t KindCode(const TPropInfo& P) {
    switch (P.Kind) {
    case tkBool:
        return KindBool;
    case tkInteger:
        return KindInteger;
    case tkEnumeration:
        return KindEnum;
    case tkSet:
        return KindSet;
    case tkString:
        return KindLongString;
    case tkClass:
        return KindClass;
    default:
        throw EWriteError("Invalid property type");
    }
}

bool IsStored(const TPropInfo& P, TObject* Obj) {
    if (P.Stored && !P.Stored(Obj))
        return false;
    if (P.IsOrdinal() && P.HasDefault && P.GetOrd(Obj) == P.Default)
        return false;
    return true;
}

void WriteValue(TStream& S, const TPropInfo& P, TObject* Obj);

void WriteObjectProperties(TStream& S, TObject* Obj) {
    if (Obj)
        for (const TPropInfo* P : Obj->ClassType()->Properties()) {
            if (P->Kind == tkMethod || (!P->GetOrd && !P->GetStr && !P->GetObj))
                continue;
            if (!IsStored(*P, Obj))
                continue;
            WriteStrToStream(S, P->Name);
            WriteValue(S, *P, Obj);
        }
    WriteStrToStream(S, "");
}

void WriteValue(TStream& S, const TPropInfo& P, TObject* Obj) {
    uint8_t Kind = KindCode(P);
    WriteU8(S, Kind);
    switch (Kind) {
    case KindBool:
        WriteU8(S, P.GetOrd(Obj) != 0 ? 1 : 0);
        break;
    case KindInteger:
        WriteI32(S, static_cast<int32_t>(P.GetOrd(Obj)));
        break;
    case KindEnum:
        WriteStrToStream(S, P.EnumType->NameOf(P.GetOrd(Obj)));
        break;
    case KindSet: {
        int64_t V = P.GetOrd(Obj);
        for (size_t I = 0; I < P.EnumType->Names.size(); ++I)
            if (V & (int64_t(1) << I))
                WriteStrToStream(S, P.EnumType->Names[I]);
        WriteStrToStream(S, "");
        break;
    }
    case KindLongString:
        WriteStrToStream(S, P.GetStr(Obj));
        break;
    case KindClass:
        WriteObjectProperties(S, P.GetObj(Obj));
        break;
    }
}

// One value as read from the stream, before it is given to a property.
struct TStreamValue {
    uint8_t Kind = 0;
    int64_t Ord = 0;
    std::string Str;
    std::vector<std::string> Names;
    std::vector<std::pair<std::string, TStreamValue>> Members; // an object's properties
};

TStreamValue ReadValue(TStream& S, int Depth) {
    TStreamValue V;
    V.Kind = ReadU8(S);
    switch (V.Kind) {
    case KindBool:
        V.Ord = ReadU8(S) != 0 ? 1 : 0;
        break;
    case KindInteger:
        V.Ord = ReadI32(S);
        break;
    case KindEnum:
    case KindShortString:
    case KindLongString:
        V.Str = ReadStrFromStream(S);
        break;
    case KindSet:
        for (std::string N = ReadStrFromStream(S); !N.empty(); N = ReadStrFromStream(S))
            V.Names.push_back(N);
        break;
    case KindClass:
        if (Depth > 4)
            throw EReadError("Invalid property type");
        for (std::string N = ReadStrFromStream(S); !N.empty(); N = ReadStrFromStream(S))
            V.Members.emplace_back(N, ReadValue(S, Depth + 1));
        break;
    default:
        throw EReadError("Invalid property type");
    }
    return V;
}

bool KindFits(const TPropInfo& P, uint8_t Kind) {
    switch (P.Kind) {
    case tkBool:
        return Kind == KindBool;
    case tkInteger:
        return Kind == KindInteger;
    case tkEnumeration:
        return Kind == KindEnum;
    case tkSet:
        return Kind == KindSet;
    case tkString:
        return Kind == KindShortString || Kind == KindLongString;
    case tkClass:
        return Kind == KindClass;
    default:
        return false;
    }
}

// Checks the value against the property (Obj null) or sets it (Obj given).
void ApplyValue(const TPropInfo& P, const TStreamValue& V, TObject* Obj) {
    if (!KindFits(P, V.Kind))
        throw EReadError(Format("Invalid property type for %s", P.Name.c_str()));
    switch (P.Kind) {
    case tkBool:
    case tkInteger:
        if (Obj && P.SetOrd)
            P.SetOrd(Obj, V.Ord);
        break;
    case tkEnumeration: {
        int Ord = P.EnumType ? P.EnumType->IndexOf(V.Str) : -1;
        if (Ord < 0)
            throw EReadError(Format("Invalid value %s for property %s", V.Str.c_str(), P.Name.c_str()));
        if (Obj && P.SetOrd)
            P.SetOrd(Obj, Ord);
        break;
    }
    case tkSet: {
        int64_t Bits = 0;
        for (const std::string& N : V.Names) {
            int Ord = P.EnumType ? P.EnumType->IndexOf(N) : -1;
            if (Ord >= 0)
                Bits |= int64_t(1) << Ord;
        }
        if (Obj && P.SetOrd)
            P.SetOrd(Obj, Bits);
        break;
    }
    case tkString:
        if (Obj && P.SetStr)
            P.SetStr(Obj, V.Str);
        break;
    case tkClass: {
        TObject* Target = Obj ? P.GetObj(Obj) : nullptr;
        TClass Cls = Target ? Target->ClassType() : P.PropClass;
        for (const auto& [Name, Member] : V.Members) {
            const TPropInfo* MP = Cls ? Cls->FindProperty(Name) : nullptr;
            if (MP && MP->Kind != tkMethod)
                ApplyValue(*MP, Member, Target);
        }
        break;
    }
    default:
        throw EReadError("Invalid property type");
    }
}

} // namespace

std::string ReadStrFromStream(TStream& Stream) {
    uint8_t L = ReadU8(Stream);
    int64_t Len = L;
    if (L == 0xFF) {
        int32_t Long = ReadI32(Stream);
        if (Long < 0)
            throw EReadError("Stream read error");
        Len = Long;
    }
    if (Len > Stream.Size() - Stream.Position())
        throw EReadError("Stream read error");
    std::string S(static_cast<size_t>(Len), '\0');
    if (Len > 0)
        Stream.ReadBuffer(S.data(), static_cast<int32_t>(Len));
    return S;
}

void WriteStrToStream(TStream& Stream, const std::string& Text) {
    if (Text.size() < 255) {
        WriteU8(Stream, static_cast<uint8_t>(Text.size()));
    } else {
        WriteU8(Stream, 0xFF);
        WriteI32(Stream, static_cast<int32_t>(Text.size()));
    }
    if (!Text.empty())
        Stream.WriteBuffer(Text.data(), static_cast<int32_t>(Text.size()));
}

// --- writing ----------------------------------------------------------------------------------

void THSCustomTreeView::WriteNode(TStream& S, THSTreeNode* Node) {
    TClass Cls = Node->ClassType();
    WriteStrToStream(S, Cls == FBaseNodeClass ? std::string() : Cls->ClassName());
    DoExpandNode(Node);
    WriteI32(S, Node->Count());
    for (THSTreeNode* C = Node->GetFirstChild(); C; C = C->GetNextSibling())
        WriteNode(S, C);
    for (int Num = 0; Num < 16; ++Num) {
        const TPropInfo* P = Cls->FindProperty(PropertyNames[Num]);
        if (!P || !IsStored(*P, Node))
            continue;
        WriteU8(S, static_cast<uint8_t>(Num));
        WriteValue(S, *P, Node);
    }
    WriteU8(S, EndOfProperties);
    Node->WriteCustomData(S);
}

void THSCustomTreeView::WriteData(TStream& Stream) {
    uint8_t Header[2] = {static_cast<uint8_t>(StreamVersion & 0xFF),
                         static_cast<uint8_t>(StreamVersion >> 8)};
    Stream.WriteBuffer(Header, 2);
    WriteI32(Stream, FRoot->Count());
    for (THSTreeNode* C = FRoot->GetFirstChild(); C; C = C->GetNextSibling())
        WriteNode(Stream, C);
    WriteU8(Stream, EndOfProperties);
}

void THSCustomTreeView::SaveToStream(TStream& Stream) {
    WriteData(Stream);
}

void THSCustomTreeView::SaveToFile(const std::string& FileName) {
    // The old file is replaced only once the new one is completely written.
    std::string Temp = FileName + ".~tmp";
    struct Cleanup {
        std::string Name;
        bool Armed = true;
        ~Cleanup() {
            if (Armed)
                DeleteFileA(Name.c_str());
        }
    } Guard{Temp};
    {
        TFileStream F(Temp, fmCreate);
        WriteData(F);
        if (!FlushFileBuffers(F.Handle()))
            throw EWriteError(Format("Cannot write file %s", Temp.c_str()));
    }
    if (!MoveFileExA(Temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError(Format("Cannot create file %s", FileName.c_str()));
    Guard.Armed = false;
}

// --- reading ----------------------------------------------------------------------------------

void THSCustomTreeView::ReadNodeList(TStream& S, THSTreeNode* Parent, bool Apply, int Depth) {
    if (Depth > MaxDepth)
        throw EReadError("Tree stream nested too deeply");
    int32_t Count = ReadI32(S);
    // Every node record takes at least 6 bytes: a bad count is caught before a long loop.
    if (Count < 0 || static_cast<int64_t>(Count) * 6 > S.Size() - S.Position())
        throw EReadError(Format("Invalid node count %d in tree stream", Count));
    for (int32_t I = 0; I < Count; ++I) {
        std::string ClassName = ReadStrFromStream(S);
        TClass Cls = FBaseNodeClass;
        if (!ClassName.empty()) {
            Cls = GetClass(ClassName);
            if (!Cls)
                throw EClassNotFound(Format("Class %s not found", ClassName.c_str()));
            if (!Cls->InheritsFrom(THSTreeNode::StaticClass()))
                throw EReadError(Format("Class %s is not a tree node class", ClassName.c_str()));
        }
        THSTreeNode* Node = nullptr;
        std::unique_ptr<THSTreeNode> Scratch;
        if (Apply) {
            FNodeClass = Cls;
            Node = FItems->AddChild(Parent, "");
        } else {
            // A detached node of the class checks property names and reads its custom data.
            TObject* Obj = Cls->Create(nullptr);
            Scratch.reset(dynamic_cast<THSTreeNode*>(Obj));
            if (!Scratch) {
                delete Obj;
                throw EReadError(Format("Class %s is not a tree node class", ClassName.c_str()));
            }
            Scratch->AttachTo(FItems.get());
            Node = Scratch.get();
        }
        ReadNodeList(S, Apply ? Node : nullptr, Apply, Depth + 1);
        for (;;) {
            uint8_t Num = ReadU8(S);
            if (Num == EndOfProperties)
                break;
            TStreamValue V = ReadValue(S, 0);
            const TPropInfo* P = Num < 16 ? Cls->FindProperty(PropertyNames[Num]) : nullptr;
            if (!P || P->Kind == tkMethod)
                continue;
            ApplyValue(*P, V, Apply ? Node : nullptr);
        }
        Node->ReadCustomData(S);
    }
}

void THSCustomTreeView::ReadData(TStream& Stream) {
    int64_t Start = Stream.Position();
    if (Stream.Size() - Start <= 0)
        return;
    THSTreeNodeClass SavedClass = FNodeClass;
    struct RestoreClass {
        THSCustomTreeView* T;
        THSTreeNodeClass C;
        ~RestoreClass() { T->FNodeClass = C; }
    } Restore{this, SavedClass};
    auto ReadHeader = [&Stream]() {
        uint8_t H[2];
        Stream.ReadBuffer(H, 2);
        uint16_t V = static_cast<uint16_t>(H[0] | (H[1] << 8));
        if (V != StreamVersion)
            throw EReadError(Format("Invalid tree stream header (0x%04X)", V));
    };
    // First pass: read everything and check it without touching the nodes.
    ReadHeader();
    ReadNodeList(Stream, nullptr, false, 0);
    if (ReadU8(Stream) != EndOfProperties)
        throw EReadError("Invalid tree stream end");
    int64_t End = Stream.Position();
    // Second pass: replace the nodes.
    Stream.SetPosition(Start);
    ReadHeader();
    {
        THSTreeUpdateGuard Batch(*FItems);
        FItems->Clear();
        ReadNodeList(Stream, nullptr, true, 0);
        ReadU8(Stream);
    }
    Stream.SetPosition(End);
}

void THSCustomTreeView::LoadFromStream(TStream& Stream) {
    ReadData(Stream);
}

void THSCustomTreeView::LoadFromFile(const std::string& FileName) {
    TFileStream F(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(F);
}
