#include "controls/foundation/RecordLists.h"

#include <gtest/gtest.h>

#include <cstring>

#include "controls/foundation/FoundationErrors.h"
#include "framework/core/Streams.h"

namespace {

struct Rec {
    int32_t A;
    int32_t B;
    char Name[8];
};

Rec MakeRec(int32_t I) {
    Rec R{};
    R.A = I;
    R.B = -I;
    std::snprintf(R.Name, sizeof R.Name, "r%d", I);
    return R;
}

TEST(RecordList, GrowsFrom32AndCopiesOrZeroFills) {
    TRecordList L(sizeof(Rec));
    EXPECT_EQ(L.Capacity(), 0);
    Rec R = MakeRec(1);
    EXPECT_EQ(L.Add(&R), 0);
    EXPECT_EQ(L.Capacity(), 32);
    EXPECT_EQ(L.Add(nullptr), 1);
    const Rec Zero{};
    EXPECT_EQ(std::memcmp(L.Get(1), &Zero, sizeof Rec()), 0);
    for (int32_t I = 2; I < 32; ++I) {
        R = MakeRec(I);
        L.Add(&R);
    }
    EXPECT_EQ(L.Capacity(), 32);
    R = MakeRec(32);
    EXPECT_EQ(L.Add(&R), 32);
    EXPECT_EQ(L.Capacity(), 64);
    EXPECT_EQ(static_cast<Rec*>(L.Get(32))->A, 32);
    EXPECT_STREQ(static_cast<Rec*>(L.Get(5))->Name, "r5");
}

TEST(RecordList, FreeSlotAfterTheLastRecordIsAlwaysInsideTheBlock) {
    TRecordList L(sizeof(Rec));
    // Writing through Get(Count) then raising Count is how callers fill the next slot.
    for (int32_t I = 0; I < 70; ++I) {
        auto* Slot = static_cast<Rec*>(L.Get(L.Count()));
        *Slot = MakeRec(I);
        L.SetCount(L.Count() + 1);
        ASSERT_LE(L.Count(), L.Capacity());
    }
    EXPECT_EQ(static_cast<Rec*>(L.Get(69))->A, 69);
    EXPECT_THROW(L.Get(71), EListError);
    EXPECT_THROW(L.Get(-1), EListError);
    EXPECT_THROW(L.SetCount(L.Capacity() + 1), EListError);
}

TEST(RecordList, DeleteMovesLaterRecordsAndChecksTheIndex) {
    TRecordList L(sizeof(int32_t));
    for (int32_t I = 0; I < 5; ++I)
        L.Add(&I);
    L.Delete(1);
    L.Delete(L.Count() - 1);
    std::vector<int32_t> Got;
    for (int32_t I = 0; I < L.Count(); ++I)
        Got.push_back(*static_cast<int32_t*>(L.Get(I)));
    EXPECT_EQ(Got, (std::vector<int32_t>{0, 2, 3}));
    try {
        L.Delete(L.Count());
        FAIL() << "no exception";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (3)");
    }
    EXPECT_EQ(L.Count(), 3);
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(L.Capacity(), 0);
}

TEST(RecordList, StreamRoundTripRestoresEveryByte) {
    TRecordList L(sizeof(Rec));
    for (int32_t I = 0; I < 40; ++I) {
        Rec R = MakeRec(I * 7);
        L.Add(&R);
    }
    TMemoryStream S;
    L.SaveToStream(&S);
    ASSERT_EQ(S.Size(), 4 + 40 * static_cast<int64_t>(sizeof(Rec)));
    S.SetPosition(0);
    uint8_t Head[4];
    S.ReadBuffer(Head, 4);
    EXPECT_EQ(Head[0], 40);
    EXPECT_EQ(Head[1] | Head[2] | Head[3], 0);

    S.SetPosition(0);
    TRecordList Back(sizeof(Rec));
    Back.LoadFromStream(&S);
    ASSERT_EQ(Back.Count(), 40);
    for (int32_t I = 0; I < 40; ++I)
        EXPECT_EQ(std::memcmp(Back.Get(I), L.Get(I), sizeof(Rec)), 0) << I;
    Rec R = MakeRec(99);
    Back.Add(&R); // the loaded list keeps working
    EXPECT_EQ(static_cast<Rec*>(Back.Get(40))->A, 99);
}

TEST(RecordList, ShortOrCorruptStreamIsRefusedAndChangesNothing) {
    struct Case {
        int32_t StoredCount;
        int32_t BytesPresent;
    };
    const Case Cases[] = {{3, 2 * 4}, {1, 0}, {-1, 0}, {0x7FFFFFFF, 16}};
    for (const Case& C : Cases) {
        TMemoryStream S;
        S.WriteBuffer(&C.StoredCount, 4);
        std::vector<uint8_t> Bytes(static_cast<size_t>(C.BytesPresent), 0xAB);
        if (!Bytes.empty())
            S.WriteBuffer(Bytes.data(), C.BytesPresent);
        S.SetPosition(0);
        TRecordList L(4);
        int32_t Keep = 5;
        L.Add(&Keep);
        EXPECT_THROW(L.LoadFromStream(&S), EReadError) << C.StoredCount;
        ASSERT_EQ(L.Count(), 1);
        EXPECT_EQ(*static_cast<int32_t*>(L.Get(0)), 5);
    }
    TMemoryStream Empty;
    TRecordList L(4);
    EXPECT_THROW(L.LoadFromStream(&Empty), EReadError);
}

TEST(IntStack, PopsInReverseAndRefusesWhenEmpty) {
    TIntStack S;
    EXPECT_TRUE(S.IsEmpty());
    S.Push(1);
    S.Push(-2);
    EXPECT_EQ(S.Pop(), -2);
    EXPECT_EQ(S.Pop(), 1);
    try {
        S.Pop();
        FAIL() << "no exception";
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Stack is empty");
    }
}

} // namespace
