// The tree's Items: lookups by absolute and visible index, adding, clearing and the update bracket.
#include "controls/tree/HSTreeNode.h"

#include "controls/tree/HSTree.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(THSTreeNodes, TPersistent, {})

// --- THSTreeNodes -----------------------------------------------------------------------------

THSTreeNodes::THSTreeNodes(THSCustomTreeView* AOwner) : FOwner(AOwner) {}
THSTreeNodes::~THSTreeNodes() = default;

int THSTreeNodes::Count() const {
    return FOwner->FRoot ? FOwner->FRoot->FItemCount : 0;
}

THSTreeNode* THSTreeNodes::GetFirstNode() const {
    return FOwner->FRoot ? FOwner->FRoot->FFirstChild : nullptr;
}

THSTreeNode* THSTreeNodes::GetLastNode() const {
    THSTreeNode* N = GetFirstNode() ? FOwner->FRoot->FLastChild : nullptr;
    while (N && N->FLastChild)
        N = N->FLastChild;
    return N;
}

THSTreeNode* THSTreeNodes::GetLastVisibleNode() const {
    THSTreeNode* N = GetFirstNode() ? FOwner->FRoot->FLastChild : nullptr;
    while (N && N->FLastChild && (N->Expanded() || FOwner->FPrintAll))
        N = N->FLastChild;
    return N;
}

int THSTreeNodes::VisibleCount() const {
    return FOwner->FRoot ? FOwner->FRoot->FExpandedCount : 0;
}

THSTreeNode* THSTreeNodes::Item(int Index) {
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation(Format("Index out of bounds (%d)", Index));
    if (FCacheNode) {
        int D = Index - FCacheIndex;
        if (D == 0)
            return FCacheNode;
        if (D == 1 || D == -1) {
            THSTreeNode* N = D == 1 ? FCacheNode->GetNext() : FCacheNode->GetPrev();
            if (N) {
                FCacheNode = N;
                FCacheIndex = Index;
                return N;
            }
        }
    }
    THSTreeNode* List = FOwner->FRoot;
    int K = 0;
    for (;;) {
        THSTreeNode* C = List->FFirstChild;
        while (C) {
            if (K == Index) {
                FCacheNode = C;
                FCacheIndex = Index;
                return C;
            }
            if (Index < K + 1 + C->FItemCount) {
                ++K;
                List = C;
                break;
            }
            K += C->FItemCount + 1;
            C = C->FNextSibling;
        }
        if (!C)
            throw EInvalidOperation(Format("Index out of bounds (%d)", Index));
    }
}

THSTreeNode* THSTreeNodes::GetVisibleItem(int Index) {
    if (Index < 0 || Index >= VisibleCount())
        throw EInvalidOperation(Format("Index out of bounds (%d)", Index));
    // Short walks from the top item are cheaper than a descent through long sibling lists.
    if (FOwner->FTopItem && FOwner->FTopItem->IsVisible()) {
        int Top = FOwner->TopIndex();
        int D = Index - Top;
        if (D >= 0 && D < 256) {
            THSTreeNode* N = FOwner->FTopItem;
            for (int I = 0; I < D && N; ++I)
                N = N->GetNextVisible();
            if (N)
                return N;
        }
    }
    THSTreeNode* List = FOwner->FRoot;
    int K = 0;
    for (;;) {
        THSTreeNode* C = List->FFirstChild;
        while (C) {
            if (K == Index)
                return C;
            int Size = C->ShownRows();
            if (Index < K + Size) {
                ++K;
                List = C;
                break;
            }
            K += Size;
            C = C->FNextSibling;
        }
        if (!C)
            throw EInvalidOperation(Format("Index out of bounds (%d)", Index));
    }
}

THSTreeNode* THSTreeNodes::Add(THSTreeNode* Node, const std::string& Text) {
    return InternalAdd(Node, Text, nullptr, naAdd);
}
THSTreeNode* THSTreeNodes::AddFirst(THSTreeNode* Node, const std::string& Text) {
    return InternalAdd(Node, Text, nullptr, naAddFirst);
}
THSTreeNode* THSTreeNodes::AddChild(THSTreeNode* Node, const std::string& Text) {
    return InternalAdd(Node, Text, nullptr, naAddChild);
}
THSTreeNode* THSTreeNodes::AddChildFirst(THSTreeNode* Node, const std::string& Text) {
    return InternalAdd(Node, Text, nullptr, naAddChildFirst);
}
THSTreeNode* THSTreeNodes::Insert(THSTreeNode* Node, const std::string& Text) {
    return InternalAdd(Node, Text, nullptr, naInsert);
}
THSTreeNode* THSTreeNodes::AddObject(THSTreeNode* Node, const std::string& Text, void* Ptr) {
    return InternalAdd(Node, Text, Ptr, naAdd);
}
THSTreeNode* THSTreeNodes::AddObjectFirst(THSTreeNode* Node, const std::string& Text, void* Ptr) {
    return InternalAdd(Node, Text, Ptr, naAddFirst);
}
THSTreeNode* THSTreeNodes::AddChildObject(THSTreeNode* Node, const std::string& Text, void* Ptr) {
    return InternalAdd(Node, Text, Ptr, naAddChild);
}
THSTreeNode* THSTreeNodes::AddChildObjectFirst(THSTreeNode* Node, const std::string& Text, void* Ptr) {
    return InternalAdd(Node, Text, Ptr, naAddChildFirst);
}
THSTreeNode* THSTreeNodes::InsertObject(THSTreeNode* Node, const std::string& Text, void* Ptr) {
    return InternalAdd(Node, Text, Ptr, naInsert);
}

THSTreeNode* THSTreeNodes::InternalAdd(THSTreeNode* Node, const std::string& Text, void* Ptr,
                                       TNodeAttachMode Mode) {
    THSCustomTreeView* T = FOwner;
    if (Node && Node->FTreeView != T)
        throw EInvalidOperation("Invalid Node");
    ClearCache();
    bool Frame = T->FFrameShown;
    if (Frame)
        T->PaintSelectFrame();
    THSTreeNodeClass Saved = T->FNodeClass;
    if (T->OnCreateNode) {
        int Level = Node ? Node->Level() + ((Mode == naAddChild || Mode == naAddChildFirst) ? 1 : 0) : 0;
        THSTreeNodeClass Cls = T->FNodeClass;
        T->OnCreateNode(T, Level, Cls);
        if (Cls && Cls->InheritsFrom(THSTreeNode::StaticClass()))
            T->FNodeClass = Cls;
    }
    THSTreeNode* New = nullptr;
    {
        struct Restore {
            THSCustomTreeView* T;
            THSTreeNodeClass C;
            ~Restore() { T->FNodeClass = C; }
        } R{T, Saved};
        New = T->CreateNode();
    }
    THSTreeNode* Root = T->FRoot;
    THSTreeNode* Target = Node ? Node : Root;
    THSTreeNode* ListOwner = Root;
    THSTreeNode* Before = nullptr;
    switch (Mode) {
    case naAdd:
        ListOwner = Target == Root ? Root : Target->FLinkParent;
        break;
    case naAddFirst:
        ListOwner = Target == Root ? Root : Target->FLinkParent;
        Before = ListOwner->FFirstChild;
        break;
    case naAddChild:
        ListOwner = Target;
        break;
    case naAddChildFirst:
        ListOwner = Target;
        Before = ListOwner->FFirstChild;
        break;
    case naInsert:
        if (Target == Root) {
            ListOwner = Root;
        } else {
            ListOwner = Target->FLinkParent;
            Before = Target;
        }
        break;
    }
    New->LinkInto(ListOwner, Before);
    New->SetTextInternal(Text);
    New->FData = Ptr;
    if (Frame)
        T->PaintSelectFrame();
    T->DoAfterInsert(New);
    return New;
}

void THSTreeNodes::Clear() {
    THSTreeUpdateGuard Batch(*this);
    THSTreeNode* Root = FOwner->FRoot;
    while (Root && Root->FLastChild)
        delete Root->FLastChild;
    if (Root) {
        Root->FWidestNode = Root;
        Root->FWidestWidth = 0;
    }
}

void THSTreeNodes::Delete(THSTreeNode* Node) {
    if (Node)
        Node->Delete();
}

void THSTreeNodes::Assign(TPersistent* Source) {
    auto* Src = dynamic_cast<THSTreeNodes*>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    THSTreeUpdateGuard Batch(*this);
    Clear();
    THSCustomTreeView* T = FOwner;
    struct Copier {
        THSCustomTreeView* T;
        void Copy(THSTreeNode* From, THSTreeNode* ToParent) {
            for (THSTreeNode* C = From->GetFirstChild(); C; C = C->GetNextSibling()) {
                THSTreeNodeClass Saved = T->DefaultNodeClass();
                T->SetDefaultNodeClass(C->ClassType());
                THSTreeNode* N = nullptr;
                {
                    struct Restore {
                        THSCustomTreeView* T;
                        THSTreeNodeClass C;
                        ~Restore() { T->SetDefaultNodeClass(C); }
                    } R{T, Saved};
                    N = T->Items().AddChild(ToParent, C->Text());
                }
                N->Assign(C);
                Copy(C, N);
                if (C->Expanded())
                    N->Expand(false);
            }
        }
    } Cp{T};
    Cp.Copy(Src->FOwner->FRoot, nullptr);
}

void THSTreeNodes::BeginUpdate() {
    ++FOwner->FLockCount;
}

void THSTreeNodes::EndUpdate() {
    if (FOwner->FLockCount <= 0)
        return;
    if (--FOwner->FLockCount == 0)
        FOwner->DoEndUpdate();
}

void THSTreeNodes::BeginLock() {
    ++FOwner->FLockCount;
}

void THSTreeNodes::EndLock() {
    if (FOwner->FLockCount > 0)
        --FOwner->FLockCount;
}

bool THSTreeNodes::Locked() const {
    return FOwner->FLockCount > 0;
}
