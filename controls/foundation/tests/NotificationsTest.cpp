#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/CompKeyList.h"
#include "controls/foundation/FreeNotifications.h"
#include "controls/foundation/NotifierList.h"
#include "controls/foundation/SimpleParser.h"
#include "controls/foundation/SortedLists.h"

namespace {

std::vector<std::string> Log;

// A listener that logs what it hears and can remove itself or another listener when called.
struct Listener : TComponent {
    std::string Tag;
    TNotifierList* List = nullptr;
    Listener* RemoveOnCall = nullptr;
    explicit Listener(std::string ATag, TComponent* AOwner = nullptr)
        : TComponent(AOwner), Tag(std::move(ATag)) {}
    THSNotifyEvent Method() { return THSNotifyEvent(this, &Listener::Changed); }
    void Changed(TObject*, int32_t A, int32_t) {
        Log.push_back(Tag + ":" + std::to_string(A));
        if (RemoveOnCall && List)
            List->DeleteMethod(RemoveOnCall->Method());
    }
    // Free notifications
    TObject* RemoveWatchOf = nullptr;
    Listener* RemoveWatcher = nullptr;
    TFreeNotifyProc Freed() { return TFreeNotifyProc(this, &Listener::ObjectFreed); }
    void ObjectFreed(TObject*) {
        Log.push_back(Tag + " freed");
        if (RemoveWatcher)
            dcRemoveFreeNotification(RemoveWatchOf, RemoveWatcher->Freed());
    }
    // Component notifications
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove)
            Log.push_back(Tag + " removal");
    }
};

TEST(NotifierList, BroadcastGoesFromLastToFirstAndHoldsEachMethodOnce) {
    Log.clear();
    Listener A("a"), B("b"), C("c");
    TNotifierList L;
    L.AddMethod(A.Method());
    L.AddMethod(B.Method());
    L.AddMethod(C.Method());
    L.AddMethod(A.Method()); // moves to the end
    EXPECT_EQ(L.Count(), 3);
    L.NotifyEvents(nullptr, 1, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"a:1", "c:1", "b:1"}));
    L.DeleteWithData(&C);
    Log.clear();
    L.NotifyEvents(nullptr, 2, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"a:2", "b:2"}));
}

TEST(NotifierList, ListenersRemovedDuringABroadcastAreNeitherSkippedNorCalledAgain) {
    struct Case {
        const char* Name;
        int Remover; // index of the listener that removes
        int Removed; // index of the listener it removes
        std::vector<std::string> Expected;
    };
    // Listeners a, b, c, d are called d, c, b, a.
    const Case Cases[] = {
        {"removes itself", 2, 2, {"d:1", "c:1", "b:1", "a:1"}},
        {"removes one not yet called", 2, 0, {"d:1", "c:1", "b:1"}},
        {"removes one already called", 1, 3, {"d:1", "c:1", "b:1", "a:1"}},
        {"removes the next one", 3, 2, {"d:1", "b:1", "a:1"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Log.clear();
        Listener Ls[4] = {Listener("a"), Listener("b"), Listener("c"), Listener("d")};
        TNotifierList L;
        for (Listener& X : Ls) {
            X.List = &L;
            L.AddMethod(X.Method());
        }
        Ls[C.Remover].RemoveOnCall = &Ls[C.Removed];
        L.NotifyEvents(nullptr, 1, 0);
        EXPECT_EQ(Log, C.Expected);
        EXPECT_EQ(L.Count(), 3);
    }
}

struct TestParser : TSimpleParser {
    using TSimpleParser::TSimpleParser;
    int32_t ColorString(const std::string& Text, int32_t StartState, std::string& ColorData) override {
        for (size_t I = 0; I < Text.size(); ++I)
            ColorData[I] = Text[I] == 'x' ? 1 : 0;
        return StartState + 1;
    }
    void Change(int32_t A) { NotifyEvents(A, 0); }
};

TEST(SimpleParser, ColoursThroughTheContract) {
    TestParser P(nullptr);
    std::string Colors = "junk";
    P.UpdateLinePos(4);
    P.PrepareColorData(4, "", Colors);
    EXPECT_EQ(Colors, "");
    P.PrepareColorData(4, "axbx", Colors);
    EXPECT_EQ(Colors, std::string(4, '\0'));
    EXPECT_EQ(P.ColorString("axbx", 7, Colors), 8);
    EXPECT_EQ(Colors, std::string("\0\1\0\1", 4));
    EXPECT_EQ(P.LinePos(), 4);
    uint32_t Color = 0;
    EXPECT_FALSE(P.GetBackColor(1, Color));
    EXPECT_EQ(P.GetFont(1), nullptr);
    EXPECT_FALSE(P.StoreColorData());
}

TEST(SimpleParser, FreedListenersHearNothingMoreAndDestructionTellsTheRest) {
    Log.clear();
    auto* P = new TestParser(nullptr);
    auto* A = new Listener("a");
    Listener B("b"), C("c");
    P->RegisterNotifier(A->Method());
    P->RegisterNotifier(A->Method());
    P->RegisterNotifier(B.Method());
    P->RegisterNotifier(C.Method());
    EXPECT_EQ(P->NotifierList()->Count(), 3);
    delete A;
    P->Change(5);
    EXPECT_EQ(Log, (std::vector<std::string>{"c:5", "b:5"}));

    // c unregisters b from inside its destroy notification: b must not be told, c once.
    struct Unregistering : Listener {
        TestParser* Parser = nullptr;
        Listener* Other = nullptr;
        using Listener::Listener;
        void Notification(TComponent* AComponent, TOperation Operation) override {
            Listener::Notification(AComponent, Operation);
            if (Operation == opRemove && AComponent == Parser && Other) {
                Parser->UnRegisterNotifier(Other->Method());
                Other = nullptr;
            }
        }
    };
    Unregistering D("d");
    D.Parser = P;
    D.Other = &B;
    P->RegisterNotifier(D.Method());
    Log.clear();
    delete P;
    // The parser's own list goes first (d, then c; b was dropped), then the framework's free
    // notification tells every component that asked for one.
    ASSERT_GE(Log.size(), 2u);
    EXPECT_EQ(Log[0], "d removal");
    EXPECT_EQ(Log[1], "c removal");
}

TEST(FreeNotifications, ComponentListenersHearInOrderAndTheStorageGoesWithTheLast) {
    Log.clear();
    auto* Watched = new Listener("w");
    Listener A("a"), B("b");
    dcAddFreeNotification(Watched, A.Freed());
    dcAddFreeNotification(Watched, B.Freed());
    dcAddFreeNotification(Watched, B.Freed());
    dcRemoveFreeNotification(Watched, B.Freed()); // both registrations go
    EXPECT_TRUE(dcComponentNotifierStorageExists());
    dcRemoveFreeNotification(Watched, A.Freed());
    EXPECT_FALSE(dcComponentNotifierStorageExists());

    dcAddFreeNotification(Watched, A.Freed());
    dcAddFreeNotification(Watched, B.Freed());
    delete Watched;
    EXPECT_EQ(Log, (std::vector<std::string>{"a freed", "b freed"}));
    EXPECT_FALSE(dcComponentNotifierStorageExists());
    dcAddFreeNotification(nullptr, A.Freed());
    EXPECT_FALSE(dcComponentNotifierStorageExists());
}

TEST(FreeNotifications, AListenerThatRemovesAnotherDuringFiringSilencesIt) {
    for (bool Component : {true, false}) {
        SCOPED_TRACE(Component ? "component" : "plain object");
        Log.clear();
        TObject* Watched = Component ? static_cast<TObject*>(new Listener("w")) : new TObject;
        Listener A("a"), B("b"), C("c");
        A.RemoveWatchOf = Watched;
        A.RemoveWatcher = &B;
        dcAddFreeNotification(Watched, A.Freed());
        dcAddFreeNotification(Watched, B.Freed());
        dcAddFreeNotification(Watched, C.Freed());
        if (!Component)
            dcNotifyObjectFreed(Watched);
        delete Watched;
        EXPECT_EQ(Log, (std::vector<std::string>{"a freed", "c freed"}));
        EXPECT_FALSE(dcComponentNotifierStorageExists());
    }
}

TEST(FreeNotifications, CompKeyListDropsTheEntryOfAFreedKey) {
    TSortedCompKeyList L(SortedDataClass<TSortedListData>());
    auto* K1 = new Listener("k1");
    auto* K2 = new Listener("k2");
    auto* Plain = new TObject;
    L.Add(K1);
    L.Add(K2);
    L.Add(Plain);
    EXPECT_EQ(L.Count(), 3);
    delete K1;
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(L.IndexOfKey(K1), -1);
    dcNotifyObjectFreed(Plain);
    delete Plain;
    EXPECT_EQ(L.Count(), 1);
    L.Delete(0); // withdraws the notification of k2
    EXPECT_FALSE(dcComponentNotifierStorageExists());
    delete K2;
    EXPECT_EQ(L.Count(), 0);
}

} // namespace

namespace {

// A plain object that does nothing about its own end.
struct TPlainThing : TObject {
    std::string Payload = "x";
};

TEST(FreeNotifications, PlainObjectAnnouncesItsOwnEndOnce) {
    Log.clear();
    Listener A("a"), B("b");
    TSortedCompKeyList Keys(SortedDataClass<TSortedListData>());
    auto* Thing = new TPlainThing;
    auto* Told = new TPlainThing;
    dcAddFreeNotification(Thing, A.Freed());
    dcAddFreeNotification(Thing, B.Freed());
    dcAddFreeNotification(Told, A.Freed());
    Keys.Add(Thing);
    Keys.Add(Told);
    ASSERT_EQ(Keys.Count(), 2);

    delete Thing; // nobody calls dcNotifyObjectFreed
    EXPECT_EQ(Log, (std::vector<std::string>{"a freed", "b freed"}));
    EXPECT_EQ(Keys.Count(), 1);

    // Told early by its owner, then freed: heard once.
    Log.clear();
    dcNotifyObjectFreed(Told);
    delete Told;
    EXPECT_EQ(Log, (std::vector<std::string>{"a freed"}));
    EXPECT_EQ(Keys.Count(), 0);

    // At program end the destructors are no longer listened to.
    Log.clear();
    auto* Late = new TPlainThing;
    dcAddFreeNotification(Late, A.Freed());
    dcClearFreeNotifications();
    EXPECT_EQ(SetObjectFreedHook(nullptr), nullptr);
    delete Late;
    EXPECT_TRUE(Log.empty());
    EXPECT_FALSE(dcComponentNotifierStorageExists());
}

} // namespace
