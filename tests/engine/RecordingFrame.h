#pragma once
// A window for the engine tests: records what the delivery reports, in order,
// and runs a test's hooks on the reporting thread (a modem's, one at a time).
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/MainFrameInterface.h"

class CRecordingFrame : public IMainFrame {
 public:
  void OnListChanged() override {
    Record("list");
    if (m_onList) m_onList();
  }
  void OnStatusText(const char* text) override {
    Record(text);
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
};
