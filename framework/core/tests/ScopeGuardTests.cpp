#include "framework/core/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework/core/Strings.h"

namespace {

TEST(ScopeGuard, FirstFailureWinsAndACleanExitReportsTheCleanupsOwn) {
    // The body failed: the cleanup still runs, and its own failure does not hide the first one.
    std::string Seen;
    try {
        TScopeGuard G([&] {
            Seen += "cleanup;";
            throw std::runtime_error("cleanup failed");
        });
        throw std::runtime_error("body failed");
    } catch (const std::exception& E) {
        Seen += E.what();
    }
    EXPECT_EQ(Seen, "cleanup;body failed");
    // The body succeeded: a failing cleanup is the caller's to hear about.
    EXPECT_THROW({ TScopeGuard G([] { throw std::runtime_error("cleanup failed"); }); }, std::runtime_error);
    // Dismissed, nothing runs; a failure guard runs only on the way out of a failure.
    int Runs = 0;
    {
        TScopeGuard G([&] { ++Runs; });
        G.Dismiss();
        TFailureGuard F([&] { ++Runs; });
    }
    EXPECT_EQ(Runs, 0);
    try {
        TFailureGuard F([&] { ++Runs; });
        throw std::runtime_error("x");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(Runs, 1);
}

TEST(ScopeGuard, UpdateBracketClosesWhenTheWorkThrows) {
    TStringList L;
    int Changes = 0;
    L.OnChange = [&](TObject*) { ++Changes; };
    try {
        auto Update = UpdateBracket(L);
        L.Add("a");
        throw std::runtime_error("x");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(L.UpdateCount(), 0);
    EXPECT_EQ(Changes, 1); // one change, told when the bracket closed
}

} // namespace
