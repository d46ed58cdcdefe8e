// The worker's handle slot: a worker finds its own handle there however short its run, and the
// handle is closed exactly once whoever empties the slot first. Counting the process's handles
// before and after shows a handle left open or closed twice (a second close would take some
// other handle with it, or fail).
#include "framework/worker_thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/framework/modal_loop_support_win.h"

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kDeadline(5000);

// What a test worker does and what it saw.
struct WorkerPlan {
    WorkerSlot* slot = nullptr;
    HANDLE mayEnd = nullptr;  // the worker waits for this event first, when there is one
    std::atomic<HANDLE> ownHandleSeen{nullptr};
    std::atomic<bool> done{false};
};

unsigned __stdcall RunPlannedWorker(void* argument) {
    auto& plan = *static_cast<WorkerPlan*>(argument);
    plan.ownHandleSeen = plan.slot->load();
    if (plan.mayEnd != nullptr) {
        WaitForSingleObject(plan.mayEnd, INFINITE);
    }
    ReleaseWorkerSlot(*plan.slot);
    plan.done = true;
    return 0;
}

class WorkerThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mayEnd_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ASSERT_NE(mayEnd_, nullptr);
        plan_.slot = &slot_;
        handlesBefore_ = ProcessHandleCount();
    }
    void TearDown() override {
        SetEvent(mayEnd_);
        if (plan_.ownHandleSeen.load() != nullptr) {
            WaitUntil([this] { return plan_.done.load(); }, kDeadline);
        }
        CloseHandle(mayEnd_);
    }

    // The thread's handle is gone from the process once its last holder has closed it.
    bool HandleCountIsBackWhenDone() {
        return WaitUntil([this] { return ProcessHandleCount() == handlesBefore_; }, kDeadline);
    }

    WorkerSlot slot_{INVALID_HANDLE_VALUE};
    WorkerPlan plan_;
    HANDLE mayEnd_ = nullptr;
    DWORD handlesBefore_ = 0;
};

TEST_F(WorkerThreadTest, AWorkerThatEndsAtOnceFindsItsHandleAndLeavesNoneBehind) {
    for (int run = 0; run < 20; ++run) {
        WorkerPlan plan;
        plan.slot = &slot_;
        ASSERT_TRUE(StartWorker(slot_, &RunPlannedWorker, &plan));
        ASSERT_TRUE(WaitUntil([&] { return plan.done.load(); }, kDeadline));
        EXPECT_NE(plan.ownHandleSeen.load(), INVALID_HANDLE_VALUE) << "run " << run;
        EXPECT_EQ(slot_.load(), INVALID_HANDLE_VALUE);
    }
    EXPECT_TRUE(HandleCountIsBackWhenDone());
}

TEST_F(WorkerThreadTest, NoSecondWorkerStartsWhileOneRuns) {
    plan_.mayEnd = mayEnd_;
    ASSERT_TRUE(StartWorker(slot_, &RunPlannedWorker, &plan_));
    const HANDLE running = slot_.load();

    WorkerPlan second;
    second.slot = &slot_;
    EXPECT_FALSE(StartWorker(slot_, &RunPlannedWorker, &second));
    EXPECT_EQ(slot_.load(), running);

    SetEvent(mayEnd_);
    ASSERT_TRUE(WaitUntil([this] { return plan_.done.load(); }, kDeadline));
    EXPECT_EQ(second.ownHandleSeen.load(), nullptr) << "the second worker never ran";
    EXPECT_TRUE(HandleCountIsBackWhenDone());
}

TEST_F(WorkerThreadTest, StoppingARunningWorkerWaitsForItAndClosesItsHandleOnce) {
    plan_.mayEnd = mayEnd_;
    ASSERT_TRUE(StartWorker(slot_, &RunPlannedWorker, &plan_));
    ASSERT_TRUE(WaitUntil([this] { return plan_.ownHandleSeen.load() != nullptr; }, kDeadline));

    // The worker is let go while the stop waits for it; its own release then finds the slot
    // empty.
    std::thread letGo([this] {
        Sleep(100);
        SetEvent(mayEnd_);
    });
    EXPECT_TRUE(StopWorker(slot_, 10000));
    const bool endedBeforeStopReturned = plan_.done.load();
    letGo.join();

    EXPECT_TRUE(endedBeforeStopReturned);
    EXPECT_EQ(slot_.load(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(HandleCountIsBackWhenDone());
}

TEST_F(WorkerThreadTest, AWorkerThatDoesNotEndInTimeIsReportedAndLeftRunning) {
    plan_.mayEnd = mayEnd_;
    ASSERT_TRUE(StartWorker(slot_, &RunPlannedWorker, &plan_));
    ASSERT_TRUE(WaitUntil([this] { return plan_.ownHandleSeen.load() != nullptr; }, kDeadline));

    EXPECT_FALSE(StopWorker(slot_, 50));
    EXPECT_EQ(slot_.load(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(plan_.done.load());

    // Never ended from outside: let go, it ends by itself, and finds its handle closed already.
    SetEvent(mayEnd_);
    ASSERT_TRUE(WaitUntil([this] { return plan_.done.load(); }, kDeadline));
    EXPECT_TRUE(HandleCountIsBackWhenDone());
}

TEST_F(WorkerThreadTest, StoppingWithAnEmptySlotDoesNothing) {
    EXPECT_TRUE(StopWorker(slot_, 0));
    EXPECT_EQ(slot_.load(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ProcessHandleCount(), handlesBefore_);
}

}  // namespace
