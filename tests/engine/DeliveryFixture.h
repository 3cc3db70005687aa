#pragma once
// What the delivery tests share: a window that records what the delivery
// reports, in order, and runs a test's hooks on the reporting thread (a
// modem's, one at a time); an engine of their own in a program folder of
// their own.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "platform/Files.h"
#include "support/TempDir.h"

class CRecordingFrame : public IMainFrame {
 public:
  void OnListChanged(size_t) override {
    Record("list");
    std::lock_guard<std::recursive_mutex> guard(m_hookLock);
    if (m_onList) m_onList();
  }
  void OnStatusText(const char* text) override {
    Record(text);
    std::lock_guard<std::recursive_mutex> guard(m_hookLock);
    if (m_onStatus) m_onStatus(text);
  }
  void OnDeliveryStarted() override { Record("started"); }
  void OnDeliveryFinished() override { Record("finished"); }

  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_events;
  }
  int Count(const std::string& event) {
    int n = 0;
    for (const std::string& e : Events()) n += e == event;
    return n;
  }

  std::function<void()> m_onList;
  std::function<void(const std::string&)> m_onStatus;

 private:
  void Record(const std::string& event) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_events.push_back(event);
  }
  std::mutex m_lock;
  std::vector<std::string> m_events;
  // The modems report at once; their hooks run one at a time. Recursive: a
  // hook that stops the delivery hears the stop's status text.
  std::recursive_mutex m_hookLock;
};

class DeliveryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.UseAsProgramFolder();
    m_engine = std::make_unique<CEngine>();
    g_pMainFrame = &m_frame;
  }
  void TearDown() override {
    m_engine->BeginShutdown();
    m_engine->WaitForWorker(UINT32_MAX);
    m_engine.reset();
    g_pMainFrame = nullptr;
  }

  // Runs one delivery from position `from` to its end.
  void Deliver(int from = 0) {
    m_engine->m_position = from;
    ASSERT_NE(m_engine->StartDelivery(), nullptr);
    ASSERT_TRUE(m_engine->WaitForWorker(120000)) << "the delivery did not end";
  }
  // Stops the delivery when the port-error countdown starts for the n-th
  // time.
  // Stops the delivery when a countdown starts for the n-th time (with a
  // pool, the line begins with the modem's COM number).
  void StopAtCountdown(int n) {
    m_frame.m_onStatus = [this, n, countdowns = 0](const std::string& text) mutable {
      static const std::string kCountdown = "Ошибка порта, повторный запуск через 10 сек...";
      const bool countdown = text.size() >= kCountdown.size() &&
                             text.compare(text.size() - kCountdown.size(), kCountdown.size(),
                                          kCountdown) == 0;
      if (countdown && ++countdowns == n) m_engine->StopDelivery();
    };
  }
  // Under the item lock: a hook on one modem's thread reads items that
  // other modems change.
  DeliveryState State(size_t i) const { return m_engine->ItemSnapshot(i).m_state; }
  bool Marked(const std::string& digits) const {
    return platform::PathExists(m_dir.File("PHONES") + platform::kPathSeparator + digits);
  }

  testing_support::TempDir m_dir;
  std::unique_ptr<CEngine> m_engine;
  CRecordingFrame m_frame;
};
