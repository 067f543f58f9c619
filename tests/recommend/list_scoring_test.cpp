// The worker that scores a user's list for the 名字推荐 window: every name in file order, in
// batches; held back while the receiver has two batches waiting; stopped by a cancel wherever it
// is; a file it cannot read.
#include "recommend/list_scoring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "support/fixture_db.h"
#include "support/shipped_naming.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

// One row maker for the whole test program, on the shipped data.
const RowMaker& maker() {
    static const RowMaker m(test::shippedNamingData());
    return m;
}

// Writes a list of count names, cycling through a few (one that cannot be scored among them).
std::vector<std::string> writeList(const std::filesystem::path& file, size_t count) {
    const std::vector<std::string> pool = {"黄思婷", "罗一凡", "杜梓维", "欧阳修",
                                           "李",     "诸葛亮", "曾国藩", "王芳"};
    std::vector<std::string> names;
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        names.push_back(pool[i % pool.size()]);
        text += names.back();
        text += i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? " " : "，");
    }
    test::writeFile(file, utf8ToGbk(text));
    return names;
}

struct Received {
    std::mutex mutex;
    std::vector<ScoredBatch> batches;
    std::atomic<bool> ended{false};
    ScoringEnd end;
};

TEST(ListScoringWorker, ScoresEveryNameInFileOrderInBatches) {
    test::TempDir dir;
    const auto names = writeList(dir.path() / "list.txt", 10007);
    Received got;
    // The worker starts in the constructor and may hand over its first batch before the
    // constructor returns: the receiver waits until it knows the job.
    std::atomic<ListScoring*> self{nullptr};
    ListScoring job(
        maker(), dir.path() / "list.txt",
        [&](ScoredBatch&& b) {
            {
                const std::lock_guard lock(got.mutex);
                got.batches.push_back(std::move(b));
            }
            while (!self.load()) std::this_thread::yield();
            self.load()->batchTaken();
        },
        [&](const ScoringEnd& e) {
            got.end = e;
            got.ended = true;
        },
        1000);
    self.store(&job);
    while (!got.ended) std::this_thread::yield();
    EXPECT_FALSE(got.end.cancelled);
    EXPECT_EQ(got.end.names, names.size());
    ASSERT_EQ(got.batches.size(), 11u);
    size_t i = 0;
    for (const ScoredBatch& b : got.batches) {
        ASSERT_EQ(b.rows.size(), b.notes.size());
        EXPECT_LE(b.done, b.total);
        for (const ResultRow& r : b.rows) {
            ASSERT_EQ(r.name, names[i]) << i;
            EXPECT_EQ(r.orderKey(), orderKeyOnly(maker().data(), names[i])) << names[i];
            EXPECT_EQ(r.score < 0 ? -1 : r.numerology, scoreOnly(maker().data(), names[i]))
                << names[i];
            ++i;
        }
    }
    EXPECT_EQ(got.batches.back().done, got.batches.back().total);
}

TEST(ListScoringWorker, HoldsBackForASlowReceiverAndStopsOnCancel) {
    test::TempDir dir;
    writeList(dir.path() / "list.txt", 50000);
    Received got;
    std::atomic<int> handedOver{0}, taken{0};
    std::atomic<bool> ranAhead{false};  // a batch handed over while two were waiting
    auto job = std::make_unique<ListScoring>(
        maker(), dir.path() / "list.txt",
        [&](ScoredBatch&& b) {
            if (handedOver - taken >= 2) ranAhead = true;
            const std::lock_guard lock(got.mutex);
            got.batches.push_back(std::move(b));
            ++handedOver;
        },
        [&](const ScoringEnd& e) {
            got.end = e;
            got.ended = true;
        },
        1000);
    // Waits until two batches wait for the receiver; false after a minute, however slow the
    // machine.
    auto twoWaiting = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (handedOver - taken < 2) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    };
    // The receiver takes a batch only when two wait: a worker that did not hold back would hand
    // over a third in the meantime.
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(twoWaiting()) << i;
        ++taken;
        job->batchTaken();
    }
    ASSERT_TRUE(twoWaiting());
    job->cancel();
    EXPECT_FALSE(ranAhead);
    EXPECT_TRUE(got.ended);
    EXPECT_TRUE(got.end.cancelled);
    EXPECT_EQ(handedOver, 12);
    EXPECT_EQ(got.end.names, 12000u);  // what was handed over, no more
    EXPECT_EQ(got.batches.size(), 12u);
}

// A cancel reaches a worker that waits for the receiver to take a batch: the window's thread,
// which cancels, is the receiver, so a worker deaf to it there would hang the window.
TEST(ListScoringWorker, ACancelReachesAWorkerThatWaitsForTheReceiver) {
    test::TempDir dir;
    writeList(dir.path() / "list.txt", 100);
    std::atomic<int> handedOver{0};
    ScoringEnd end;
    auto job = std::make_unique<ListScoring>(
        maker(), dir.path() / "list.txt", [&](ScoredBatch&&) { ++handedOver; },
        [&](const ScoringEnd& e) { end = e; }, 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (handedOver < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(handedOver, 2);
    // One name is scored in microseconds: the worker is waiting long before this ends (were it
    // not, it would only meet the cancel sooner).
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto cancelling = std::async(std::launch::async, [&] { job->cancel(); });
    const bool ended = cancelling.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (!ended) job->batchTaken();  // lets a deaf worker go on, so that the test can end
    cancelling.wait();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(end.cancelled);
    EXPECT_EQ(handedOver, 2);
}

TEST(ListScoringWorker, AFileThatCannotBeReadEndsWithItsError) {
    Received got;
    ListScoring job(
        maker(), "/nonexistent/list.txt", [&](ScoredBatch&&) { FAIL(); },
        [&](const ScoringEnd& e) {
            got.end = e;
            got.ended = true;
        });
    while (!got.ended) std::this_thread::yield();
    EXPECT_FALSE(got.end.error.empty());
    EXPECT_NE(got.end.error.find("list.txt"), std::string::npos);
}

}  // namespace
}  // namespace quenvil
