// Costs of the tree that must stay linear in the number of nodes (adding, expanding everything)
// or independent of it (painting one screen, at the top or at the bottom). Prints ratios against
// the same work on a tree ten times smaller, or at the top, measured in the same run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "controls/tree/HSTree.h"
#include "framework/ui/Forms.h"

namespace {

double Seconds(const std::function<void()>& Work, int Repeats = 1) {
    auto Start = std::chrono::steady_clock::now();
    for (int I = 0; I < Repeats; ++I)
        Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count() / Repeats;
}

struct TBenchTree {
    std::unique_ptr<TForm> Form;
    THSTree* Tree;
    TBenchTree() : Form(std::make_unique<TForm>(nullptr)) {
        Form->SetBounds(0, 0, 640, 480);
        Tree = new THSTree(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetAlign(TAlign::alClient);
        Form->Show();
    }
    // Groups of one parent and nine children.
    void Add(int Nodes) {
        THSTreeUpdateGuard Batch(Tree->Items());
        for (int G = 0; G < Nodes / 10; ++G) {
            THSTreeNode* P = Tree->Items().Add(nullptr, "Group " + std::to_string(G));
            for (int C = 0; C < 9; ++C)
                Tree->Items().AddChild(P, "Message " + std::to_string(G) + "." + std::to_string(C));
        }
    }
    void PaintScreen() {
        HDC Screen = GetDC(Tree->Handle());
        HDC DC = CreateCompatibleDC(Screen);
        HBITMAP B = CreateCompatibleBitmap(Screen, Tree->ClientWidth(), Tree->ClientHeight());
        HGDIOBJ Old = SelectObject(DC, B);
        SendMessageA(Tree->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        SelectObject(DC, Old);
        DeleteObject(B);
        DeleteDC(DC);
        ReleaseDC(Tree->Handle(), Screen);
    }
};

} // namespace

int main() {
    CreateApplication();
    {
        const int Small = 10000, Large = 100000;
        TBenchTree S, L;
        double AddSmall = Seconds([&] { S.Add(Small); });
        double AddLarge = Seconds([&] { L.Add(Large); });
        double ExpSmall = Seconds([&] { S.Tree->FullExpand(); });
        double ExpLarge = Seconds([&] { L.Tree->FullExpand(); });
        std::printf(
            "add %d nodes: %.3f s, %d nodes: %.3f s; cost per node, large / small: %.2f (1 = linear)\n",
            Small, AddSmall, Large, AddLarge, (AddLarge / Large) / (AddSmall / Small));
        std::printf("expand all %d: %.3f s, %d: %.3f s; cost per node, large / small: %.2f (1 = linear)\n",
                    Small, ExpSmall, Large, ExpLarge, (ExpLarge / Large) / (ExpSmall / Small));
        L.Tree->SetTopItem(L.Tree->Items().GetFirstNode());
        double Top = Seconds([&] { L.PaintScreen(); }, 50);
        L.Tree->SetTopItem(L.Tree->Items().GetLastVisibleNode());
        double Bottom = Seconds([&] { L.PaintScreen(); }, 50);
        std::printf("paint one screen of %d nodes: top %.2f ms, bottom %.2f ms; bottom / top: %.2f (1 = "
                    "independent)\n",
                    Large, Top * 1000, Bottom * 1000, Bottom / Top);
        double Jump = Seconds([&] { L.Tree->SetSelected(L.Tree->Items().Item(Large / 2)); }, 1);
        std::printf("select the middle node of %d: %.2f ms\n", Large, Jump * 1000);
    }
    DestroyApplication();
    return 0;
}
