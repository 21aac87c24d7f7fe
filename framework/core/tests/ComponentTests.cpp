#include "framework/core/Component.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/core/SysUtils.h"

namespace {

// Records the removals it hears of and, optionally, frees another component when told.
class Watcher : public TComponent {
public:
    explicit Watcher(TComponent* owner, std::vector<std::string>* log = nullptr)
        : TComponent(owner), Log(log) {}
    ~Watcher() override {
        if (Destroyed)
            *Destroyed = true;
    }
    std::vector<TComponent*> Removed;
    std::vector<std::string>* Log;
    TComponent* FreeOnNotify = nullptr;
    bool* Destroyed = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        Removed.push_back(AComponent);
        if (Log)
            Log->push_back(Name() + " heard " + AComponent->Name());
        if (FreeOnNotify) {
            TComponent* victim = FreeOnNotify;
            FreeOnNotify = nullptr;
            delete victim;
        }
    }
};

} // namespace

TEST(TComponent, OwnerFreesWhatItOwns) {
    bool aGone = false, bGone = false;
    auto* root = new TComponent(nullptr);
    auto* a = new Watcher(root);
    auto* b = new Watcher(a);
    a->Destroyed = &aGone;
    b->Destroyed = &bGone;
    a->SetName("A");
    EXPECT_EQ(root->ComponentCount(), 1);
    EXPECT_EQ(root->FindComponent("a"), a);
    EXPECT_EQ(a->Components(0), b);
    EXPECT_EQ(b->Owner(), a);
    EXPECT_EQ(a->ComponentIndex(), 0);
    delete root;
    EXPECT_TRUE(aGone);
    EXPECT_TRUE(bGone);
}

TEST(TComponent, FreeingAnOwnedComponentLeavesTheOwnersList) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    delete a;
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), b);
    root.RemoveComponent(b);
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(root.ComponentCount(), 0);
    delete b;
}

TEST(TComponent, NamesAreIdentifiersAndUniquePerOwner) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    a->SetName("Button1");
    try {
        b->SetName("BUTTON1");
        ADD_FAILURE();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BUTTON1 already exists");
    }
    for (const char* bad : {"1abc", "a b", "a-b", "a.b"})
        EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
    a->SetName("button1"); // renaming itself is allowed
    b->SetName("Button2");
    EXPECT_EQ(b->Name(), "Button2");
    b->SetName("");
    EXPECT_EQ(root.FindComponent(""), nullptr);
}

TEST(TComponent, FreeNotificationRemovesTheWatchedEntry) {
    auto watcher = std::make_unique<Watcher>(nullptr);
    auto* watched = new TComponent(nullptr);
    watched->FreeNotification(watcher.get());
    delete watched;
    ASSERT_EQ(watcher->Removed.size(), 1u);
    EXPECT_EQ(watcher->Removed[0], watched);

    // Freed first, the watcher is forgotten: freeing the watched one later calls nobody.
    auto* w2 = new Watcher(nullptr);
    auto* watched2 = new TComponent(nullptr);
    watched2->FreeNotification(w2);
    delete w2;
    delete watched2;

    // Explicit removal.
    auto* watched3 = new TComponent(nullptr);
    watched3->FreeNotification(watcher.get());
    watched3->RemoveFreeNotification(watcher.get());
    delete watched3;
    EXPECT_EQ(watcher->Removed.size(), 1u);
}

TEST(TComponent, AListenerMayFreeAnotherDuringTheBroadcast) {
    std::vector<std::string> log;
    auto* watched = new TComponent(nullptr);
    watched->SetName("Src");
    auto* first = new Watcher(nullptr, &log);
    auto* second = new Watcher(nullptr, &log);
    auto* third = new Watcher(nullptr, &log);
    first->SetName("First");
    second->SetName("Second");
    third->SetName("Third");
    bool secondGone = false;
    second->Destroyed = &secondGone;
    watched->FreeNotification(first);
    watched->FreeNotification(second);
    watched->FreeNotification(third);
    // The broadcast runs from the last to the first: Third frees Second before its turn.
    third->FreeOnNotify = second;
    delete watched;
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(log, (std::vector<std::string>{"Third heard Src", "First heard Src"}));
    delete first;
    delete third;
}

TEST(TComponent, OwnerHearsOfInsertAndRemove) {
    std::vector<std::string> log;
    Watcher root(nullptr, &log);
    root.SetName("Root");
    auto* child = new TComponent(&root);
    child->SetName("Child");
    delete child;
    EXPECT_EQ(log, std::vector<std::string>{"Root heard Child"});
}

TEST(TObject, ClassRelationAndRegistry) {
    TComponent c(nullptr);
    EXPECT_EQ(c.ClassName(), "TComponent");
    EXPECT_TRUE(c.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(c.InheritsFromName("tpersistent"));
    EXPECT_FALSE(c.InheritsFromName("TCollection"));
    EXPECT_TRUE(Is<TPersistent>(&c));
    TPersistent plain;
    EXPECT_THROW(As<TComponent>(&plain), EInvalidCast);
    EXPECT_EQ(As<TPersistent>(&c), &c);

    RegisterClass(TComponent::StaticClass());
    EXPECT_EQ(GetClass("tcomponent"), TComponent::StaticClass());
    std::unique_ptr<TObject> made(FindClass("TComponent")->Create(&c));
    ASSERT_TRUE(made);
    EXPECT_EQ(c.ComponentCount(), 1); // made through the owner-taking constructor
    made.release();                   // owned by c now
    UnRegisterClass(TComponent::StaticClass());
    EXPECT_EQ(GetClass("TComponent"), nullptr);
    try {
        FindClass("TNoSuchClass");
        ADD_FAILURE();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
    }
    EXPECT_FALSE(TPersistent::StaticClass()->CanCreate() == false);
}

TEST(TPersistent, AssignWithoutSupportRaises) {
    TPersistent a, b;
    try {
        a.Assign(&b);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TPersistent");
    }
}
