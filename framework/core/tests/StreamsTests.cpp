#include "framework/core/Streams.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "TempFolder.h"

namespace {

// Writes a known pattern through the stream's interface, then reads it back every way.
void RoundTrip(TStream& s) {
    const char data[] = "0123456789abcdef";
    s.WriteBuffer(data, 16);
    s.WriteBuffer(data, 4);
    EXPECT_EQ(s.Size(), 20);
    EXPECT_EQ(s.Position(), 20);
    s.SetPosition(10);
    char buf[32] = {};
    s.ReadBuffer(buf, 6);
    EXPECT_EQ(std::string(buf, 6), "abcdef");
    EXPECT_EQ(s.Seek(-3, soEnd), 17);
    EXPECT_EQ(s.Read(buf, 10), 3); // short read answers what it got
    EXPECT_EQ(std::string(buf, 3), "123");
    EXPECT_EQ(s.Read(buf, 10), 0);
    s.SetPosition(18);
    try {
        s.ReadBuffer(buf, 3);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    s.SetSize(5);
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadRemaining(), "01234");
}

} // namespace

TEST(Streams, EveryKindRoundTrips) {
    TempFolder tmp;
    TMemoryStream m;
    RoundTrip(m);
    TStringStream ss;
    RoundTrip(ss);
    EXPECT_EQ(ss.DataString(), "01234");
    {
        TFileStream f(tmp.File("a.bin"), fmCreate);
        RoundTrip(f);
    }
    TFileStream f(tmp.File("a.bin"), fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 5);
    EXPECT_EQ(f.ReadRemaining(), "01234");
}

TEST(Streams, FileModesAndErrors) {
    TempFolder tmp;
    std::string missing = tmp.File("none.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
    std::string bad = tmp.File("no\\such\\dir\\x.bin");
    try {
        TFileStream f(bad, fmCreate);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + bad);
    }
    {
        TFileStream w(tmp.File("b.bin"), fmCreate);
        w.WriteString("hello");
        // fmCreate is exclusive: nobody else may open the file meanwhile.
        EXPECT_THROW(TFileStream(tmp.File("b.bin"), fmOpenRead | fmShareDenyNone), EFOpenError);
    }
    {
        TFileStream r(tmp.File("b.bin"), fmOpenRead | fmShareDenyWrite);
        TFileStream r2(tmp.File("b.bin"), fmOpenRead | fmShareDenyWrite); // readers share
        EXPECT_THROW(TFileStream(tmp.File("b.bin"), fmOpenWrite | fmShareDenyNone), EFOpenError);
        EXPECT_EQ(r2.ReadRemaining(), "hello");
        char c;
        EXPECT_EQ(r.Write("x", 1), 0); // read-only handle
        EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
        r.ReadBuffer(&c, 1);
        EXPECT_EQ(c, 'h');
    }
    {
        TFileStream rw(tmp.File("b.bin"), fmOpenReadWrite);
        rw.Seek(0, soEnd);
        rw.WriteString("!");
    }
    TMemoryStream m;
    m.LoadFromFile(tmp.File("b.bin"));
    EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), "hello!");
}

TEST(Streams, CopyFromWholeAndPart) {
    TStringStream src("abcdefghij");
    TMemoryStream dst;
    src.SetPosition(7);
    EXPECT_EQ(dst.CopyFrom(src, 0), 10); // 0: the whole source from its start
    src.SetPosition(2);
    EXPECT_EQ(dst.CopyFrom(src, 3), 3);
    dst.SetPosition(0);
    EXPECT_EQ(dst.ReadRemaining(), "abcdefghijcde");
    src.SetPosition(8);
    EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);
}

TEST(Streams, MemoryStreamGrowsAndSeeksPastTheEnd) {
    TMemoryStream m;
    m.Seek(4, soBeginning);
    m.WriteString("x");
    EXPECT_EQ(m.Size(), 5);
    EXPECT_EQ(std::string(m.Memory(), 5), std::string("\0\0\0\0x", 5));
    EXPECT_EQ(m.Seek(-10, soCurrent), 0); // clamped at the start
    TStringStream s("abc");
    EXPECT_EQ(s.ReadString(2), "ab");
    EXPECT_EQ(s.ReadString(5), "c");
    s.SetPosition(1);
    s.WriteString("XYZ");
    EXPECT_EQ(s.DataString(), "aXYZ");
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}
