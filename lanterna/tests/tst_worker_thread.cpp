#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "app/WorkerThread.h"

using namespace lanterna;

namespace {

// Records each report with the thread that handled it.
class CRecordingFrontEnd : public IWorkerReports {
 public:
  std::vector<std::string> handled;
  std::vector<std::thread::id> threads;
  int states = 0;

  void ShowThreadState(int action, std::uint32_t state) override {
    Note("state " + std::to_string(action) + "/" + std::to_string(state));
    ++states;
  }
  void Done(DoneKind, bool success, std::unique_ptr<tIdentification> record) override {
    Note(std::string("done ") + (success ? "1 " : "0 ") + (record ? record->orderNumber : "null"));
  }
  void DeviceChanged(const std::string& text) override { Note("changed " + text); }
  void PollingTrace(const std::string& trace) override { Note("trace " + trace); }

 private:
  void Note(std::string text) {
    handled.push_back(std::move(text));
    threads.push_back(std::this_thread::get_id());
  }
};

}  // namespace

TEST(WorkerThread, ReportsAreHandledInOrderOnTheCallingThreadWhileTheWorkerWaits) {
  CRecordingFrontEnd frontEnd;
  std::vector<int> seenByWorker;
  std::thread::id workerId;
  RunOnWorkerThread(
      [&](IWorkerReports& reports) {
        workerId = std::this_thread::get_id();
        for (int i = 0; i < 50; ++i) {
          reports.ShowThreadState(7, static_cast<std::uint32_t>(i));
          seenByWorker.push_back(frontEnd.states);  // the report was handled before the call returned
        }
        reports.DeviceChanged("x");
        auto record = std::make_unique<tIdentification>();
        record->orderNumber = "750-352";
        reports.Done(DoneKind::Read, true, std::move(record));
      },
      frontEnd);

  ASSERT_EQ(frontEnd.handled.size(), 52u);
  EXPECT_EQ(frontEnd.handled.front(), "state 7/0");
  EXPECT_EQ(frontEnd.handled[50], "changed x");
  EXPECT_EQ(frontEnd.handled.back(), "done 1 750-352");
  for (std::size_t i = 0; i < seenByWorker.size(); ++i) EXPECT_EQ(seenByWorker[i], static_cast<int>(i) + 1);
  for (const auto& id : frontEnd.threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_NE(workerId, std::this_thread::get_id());
}

TEST(WorkerThread, AWorkerWithoutReportsAndAFailingWorkerBothEnd) {
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
