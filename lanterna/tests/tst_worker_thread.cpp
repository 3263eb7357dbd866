#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "DispatcherThread.h"
#include "app/WorkerThread.h"

using namespace lanterna;
using lanterna::test::CDispatcherThread;

namespace {

// Records each report with the thread that handled it.
class CRecordingFrontEnd : public IWorkerReports {
 public:
  std::vector<std::string> handled;
  std::vector<std::thread::id> threads;
  int states = 0;

  void ShowThreadState(const ThreadState& state) override {
    Note("state " + std::to_string(state.action) + "/" + std::to_string(state.state) + "/" +
         std::to_string(state.failureCode));
    ++states;
  }
  void Done(DoneKind, bool success, std::unique_ptr<tIdentification> record, std::uint32_t code) override {
    Note(std::string("done ") + (success ? "1 " : "0 ") + (record ? record->orderNumber : "null") + " " +
         std::to_string(code));
  }
  void DeviceChanged(const std::string& text) override { Note("changed " + text); }
  void PollingTrace(const std::string& trace) override { Note("trace " + trace); }

  void Note(std::string text) {
    handled.push_back(std::move(text));
    threads.push_back(std::this_thread::get_id());
  }
};

// A worker that reports fifty steps, a warning and its end, and notes after each report how
// many the front end had handled by then.
std::function<void(IWorkerReports&)> FiftyStepsAndDone(const CRecordingFrontEnd& frontEnd,
                                                       std::vector<int>& seenByWorker) {
  return [&frontEnd, &seenByWorker](IWorkerReports& reports) {
    for (int i = 0; i < 50; ++i) {
      reports.ShowThreadState({kConnect, kInProgress, true, static_cast<std::uint32_t>(i)});
      seenByWorker.push_back(frontEnd.states);
    }
    reports.DeviceChanged("x");
    auto record = std::make_unique<tIdentification>();
    record->orderNumber = "750-352";
    reports.Done(DoneKind::Read, false, std::move(record), 0x20010200);
  };
}

void ExpectFiftyStepsAndDone(const CRecordingFrontEnd& frontEnd, const std::vector<int>& seenByWorker) {
  ASSERT_EQ(frontEnd.handled.size(), 52u);
  EXPECT_EQ(frontEnd.handled.front(), "state 7/2/0");
  EXPECT_EQ(frontEnd.handled[49], "state 7/2/49");
  EXPECT_EQ(frontEnd.handled[50], "changed x");
  EXPECT_EQ(frontEnd.handled[51], "done 0 750-352 536936960");
  // Each report was handled before the worker's call returned.
  ASSERT_EQ(seenByWorker.size(), 50u);
  for (std::size_t i = 0; i < seenByWorker.size(); ++i) EXPECT_EQ(seenByWorker[i], static_cast<int>(i) + 1);
}

}  // namespace

TEST(WorkerThread, RunHandsTheReportsInOrderToTheCallingThreadWhileTheWorkerWaits) {
  CRecordingFrontEnd frontEnd;
  std::vector<int> seenByWorker;
  std::thread::id workerId;
  const auto steps = FiftyStepsAndDone(frontEnd, seenByWorker);
  RunOnWorkerThread(
      [&](IWorkerReports& reports) {
        workerId = std::this_thread::get_id();
        steps(reports);
      },
      frontEnd);

  ExpectFiftyStepsAndDone(frontEnd, seenByWorker);
  for (const auto& id : frontEnd.threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_NE(workerId, std::this_thread::get_id());
}

TEST(WorkerThread, RunEndsForAWorkerWithoutReportsAndRethrowsWhatAWorkerThrew) {
  CRecordingFrontEnd frontEnd;
  RunOnWorkerThread([](IWorkerReports&) {}, frontEnd);
  EXPECT_TRUE(frontEnd.handled.empty());
  EXPECT_THROW(RunOnWorkerThread(
                   [](IWorkerReports& reports) {
                     reports.PollingTrace("t");
                     throw std::runtime_error("worker failed");
                   },
                   frontEnd),
               std::runtime_error);
  EXPECT_EQ(frontEnd.handled, std::vector<std::string>{"trace t"});
}

TEST(WorkerThread, StartReturnsAtOnceAndTheDispatcherRunsEveryReportAndTheEndOnItsThread) {
  CDispatcherThread dispatcher;
  CRecordingFrontEnd frontEnd;
  std::vector<int> seenByWorker;
  std::promise<void> go;
  std::shared_future<void> released = go.get_future().share();
  std::promise<void> endedPromise;
  const auto steps = FiftyStepsAndDone(frontEnd, seenByWorker);

  CWorkerThread worker;
  ASSERT_TRUE(worker.Start(
      [&](IWorkerReports& reports) {
        released.wait();  // holds the worker until Start has returned to the test
        steps(reports);
      },
      frontEnd, [&](const std::function<void()>& task) { dispatcher.Post(task); },
      [&] {
        frontEnd.Note("ended");
        endedPromise.set_value();
      }));
  EXPECT_TRUE(worker.Running());
  EXPECT_FALSE(worker.Start([](IWorkerReports&) {}, frontEnd, [](const std::function<void()>&) {}, [] {}));
  go.set_value();
  endedPromise.get_future().wait();
  worker.Wait();

  EXPECT_FALSE(worker.Running());
  ASSERT_EQ(frontEnd.handled.size(), 53u);
  EXPECT_EQ(frontEnd.handled.back(), "ended");
  frontEnd.handled.pop_back();
  ExpectFiftyStepsAndDone(frontEnd, seenByWorker);
  for (const auto& id : frontEnd.threads) EXPECT_EQ(id, dispatcher.Id());
}

TEST(WorkerThread, TheNextActionMayStartOnceTheLastHasEnded) {
  CDispatcherThread dispatcher;
  CRecordingFrontEnd frontEnd;
  CWorkerThread worker;
  const auto dispatch = [&](const std::function<void()>& task) { dispatcher.Post(task); };
  for (int run = 0; run < 3; ++run) {
    std::promise<void> ended;
    ASSERT_TRUE(worker.Start([](IWorkerReports& reports) { reports.PollingTrace("t"); }, frontEnd, dispatch,
                             [&] { ended.set_value(); }));
    ended.get_future().wait();
    worker.Wait();
  }
  EXPECT_EQ(frontEnd.handled, (std::vector<std::string>{"trace t", "trace t", "trace t"}));
}
