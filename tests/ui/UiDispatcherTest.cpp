// Calls posted by worker threads run on the UI thread, in order, and never after the
// dispatcher (or the page owning it) has gone. The AddressSanitizer build turns a call that
// runs on a destroyed page into a failure.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "ui/UiDispatcher.h"

namespace {

constexpr int kWaitMs = 10000;

TEST(UiDispatcher, CallsFromAWorkerRunOnTheUiThreadInTheOrderPosted) {
    UiDispatcher dispatcher;
    std::vector<int> ran;
    bool allOnUiThread = true;
    QThread* const uiThread = QThread::currentThread();
    constexpr int kCalls = 2000;

    std::thread worker([poster = dispatcher.poster(), &ran, &allOnUiThread, uiThread] {
        for (int i = 0; i < kCalls; ++i) {
            ASSERT_TRUE(poster.post([i, &ran, &allOnUiThread, uiThread] {
                allOnUiThread = allOnUiThread && QThread::currentThread() == uiThread;
                ran.push_back(i);
            }));
        }
    });
    worker.join();
    // Nothing runs before the UI thread's event loop gets to it.
    EXPECT_TRUE(ran.empty());

    ASSERT_TRUE(QTest::qWaitFor([&ran] { return ran.size() == kCalls; }, kWaitMs));
    EXPECT_TRUE(allOnUiThread);
    for (int i = 0; i < kCalls; ++i) {
        ASSERT_EQ(ran[static_cast<std::size_t>(i)], i);
    }
}

// A page that reports into its own widgets from a posted call, as the wizard's pages do.
class Page : public QWidget {
public:
    void report(int value) { values_.push_back(value); }
    std::size_t reports() const { return values_.size(); }
    UiDispatcher& dispatcher() { return dispatcher_; }

private:
    std::vector<int> values_;
    UiDispatcher dispatcher_;
};

TEST(UiDispatcher, CallsStillQueuedWhenThePageGoesNeverRun) {
    auto page = std::make_unique<Page>();
    const UiDispatcher::Poster poster = page->dispatcher().poster();
    Page* const raw = page.get();
    std::thread worker([&poster, raw] {
        for (int i = 0; i < 100; ++i) {
            poster.post([raw, i] { raw->report(i); });
        }
    });
    worker.join();

    page.reset();  // the calls are queued, not run
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();

    EXPECT_FALSE(poster.post([] { FAIL() << "ran after the page went"; }));
    QCoreApplication::processEvents();
}

TEST(UiDispatcher, AWorkerStillPostingWhileThePageIsDestroyedIsSafe) {
    for (int round = 0; round < 20; ++round) {
        auto page = std::make_unique<Page>();
        Page* const raw = page.get();
        std::atomic<bool> stop{false};
        std::atomic<int> refused{0};
        std::thread worker([poster = page->dispatcher().poster(), raw, &stop, &refused] {
            while (!stop.load()) {
                if (!poster.post([raw] { raw->report(1); })) {
                    refused.fetch_add(1);
                }
            }
        });
        // Let some calls run, then destroy the page while the worker keeps posting.
        ASSERT_TRUE(QTest::qWaitFor([raw] { return raw->reports() > 0; }, kWaitMs));
        page.reset();
        // The worker sees the dispatcher closed from now on.
        const bool sawClosed = QTest::qWaitFor([&refused] { return refused.load() > 0; }, kWaitMs);
        stop.store(true);
        worker.join();
        ASSERT_TRUE(sawClosed);
        QCoreApplication::processEvents();
    }
}

TEST(UiDispatcher, ACallMayDestroyThePageThatPostedIt) {
    auto page = std::make_unique<Page>();
    int after = 0;
    page->dispatcher().post([&page] { page.reset(); });
    page->dispatcher().post([&after] { ++after; });
    ASSERT_TRUE(QTest::qWaitFor([&page] { return page == nullptr; }, kWaitMs));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(after, 0) << "the call queued behind the page's end ran";
}

TEST(UiDispatcher, ClosingDropsQueuedAndLaterCalls) {
    UiDispatcher dispatcher;
    int ran = 0;
    ASSERT_TRUE(dispatcher.post([&ran] { ++ran; }));
    dispatcher.close();
    EXPECT_FALSE(dispatcher.post([&ran] { ++ran; }));
    EXPECT_FALSE(UiDispatcher::Poster().post([&ran] { ++ran; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 0);
}

}  // namespace
