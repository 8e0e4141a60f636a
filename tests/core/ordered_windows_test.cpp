// Windows formatted on several threads and written in order: the order, the bound on the windows held,
// and a failing window.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ordered_windows.h"

namespace quillary {
namespace {

// Windows of uneven size (some a hundred times the work of others), so that helpers finish out of order.
std::string WindowText(std::size_t window) {
    return std::to_string(window) + ":" + std::string(window % 7 == 0 ? 20000 : 200, 'x') + "\n";
}

TEST(OrderedWindowsTest, WindowsAreWrittenInOrderWithinTheBound) {
    for (unsigned helpers : {0u, 1u, 3u}) {
        for (std::size_t ahead : {1u, 2u, 5u}) {
            SCOPED_TRACE("helpers " + std::to_string(helpers) + ", ahead " + std::to_string(ahead));
            std::atomic<std::size_t> written{0};
            std::atomic<std::size_t> farthest{0}; // the largest distance of a window from the next written
            std::vector<std::atomic<int>> formattedBy(helpers + 1);
            std::string expected, actual;
            const std::size_t count = 300;
            for (std::size_t w = 0; w < count; ++w)
                expected += WindowText(w);
            FormatWindowsInOrder(
                count, helpers, ahead,
                [&](unsigned formatter, std::size_t window, std::string& text) {
                    EXPECT_TRUE(text.empty());
                    ASSERT_LE(formatter, helpers);
                    formattedBy[formatter].fetch_add(1);
                    const std::size_t distance = window - written.load();
                    std::size_t seen = farthest.load();
                    while (distance > seen && !farthest.compare_exchange_weak(seen, distance)) {
                    }
                    text = WindowText(window);
                },
                [&](std::string& text) {
                    actual += text;
                    written.fetch_add(1);
                });
            EXPECT_EQ(actual, expected);
            EXPECT_LE(farthest.load(), ahead); // the window being written counts until its write returns
            int total = 0;
            for (const std::atomic<int>& n : formattedBy)
                total += n.load();
            EXPECT_EQ(total, static_cast<int>(count));
        }
    }
}

TEST(OrderedWindowsTest, NoWindowsWriteNothing) {
    bool called = false;
    FormatWindowsInOrder(
        0, 2, 4, [&](unsigned, std::size_t, std::string&) { called = true; },
        [&](std::string&) { called = true; });
    EXPECT_FALSE(called);
}

// A window that fails (memory ran out while it was formatted) stops the work, on whichever thread it
// was formatted; the windows before it are written, none after the failing one, and the error comes out.
TEST(OrderedWindowsTest, AFailingWindowStopsTheWorkAndIsThrownAgain) {
    for (unsigned helpers : {0u, 2u}) {
        std::vector<std::size_t> written;
        EXPECT_THROW(FormatWindowsInOrder(
                         1000, helpers, 3,
                         [](unsigned, std::size_t window, std::string& text) {
                             if (window == 40)
                                 throw std::bad_alloc();
                             text = std::to_string(window);
                         },
                         [&](std::string& text) { written.push_back(std::stoul(text)); }),
                     std::bad_alloc);
        ASSERT_LE(written.size(), 40u);
        for (std::size_t i = 0; i < written.size(); ++i)
            EXPECT_EQ(written[i], i);
    }
}

TEST(OrderedWindowsTest, AFailingWriteStopsTheHelpers) {
    std::size_t writes = 0;
    EXPECT_THROW(FormatWindowsInOrder(
                     1000, 2, 3,
                     [](unsigned, std::size_t window, std::string& text) { text = std::to_string(window); },
                     [&](std::string&) {
                         if (++writes == 10)
                             throw std::runtime_error("disk full");
                     }),
                 std::runtime_error);
    EXPECT_EQ(writes, 10u);
}

} // namespace
} // namespace quillary
