#pragma once
// The main window in-process, for the frame tests: the window made and shown
// for each test, commands sent to it, its status bar read, and message boxes
// answered from another thread. One fixture for the test files that share
// its suite.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "UiTestSupport.h"
#include "engine/Engine.h"
#include "ui/MainFrm.h"

namespace frame_test {

using ui_test::CDialogAnswerer;

constexpr int kMessageTextId = 0xFFFF;  // the text static of a MessageBox

// What a message box showed, answered with one button.
struct CBoxAnswer {
  std::string text;
  std::unique_ptr<CDialogAnswerer> answerer;
  CBoxAnswer(const char* caption1251, int button) {
    const std::wstring caption = ui::Wide1251(caption1251);
    answerer = std::make_unique<CDialogAnswerer>(caption.c_str(), [this, button](HWND box) {
      text = ui_test::ControlText(box, kMessageTextId);
      ui_test::ClickButton(box, button);
    });
  }
  bool Shown() {
    answerer.reset();
    return !text.empty();
  }
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CEngine& engine = GetEngine();
    engine.ClearList();
    engine.m_port = 0;
    ASSERT_NE(m_frame.CreateMainWindow(), nullptr);
    m_frame.ShowWindow(SW_SHOW);
    ui_test::PumpMessages();
  }
  void TearDown() override {
    StopWorker();
    if (m_frame.IsWindow()) ::DestroyWindow(m_frame);
    GetEngine().ClearList();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  void Command(UINT id) { m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
      CListItem item;
      item.m_number = "7900000000" + std::to_string(i);
      GetEngine().AddItem(item);
    }
    m_frame.m_list.FillFromEngine();
  }
  // A worker that keeps running: port 0 never opens, so it counts down.
  void StartRunningWorker() {
    AddItems(3);
    m_frame.m_edit.SetWindowText1251("Привет");
    Command(ID_DELIVERY_START);
    ASSERT_NE(GetEngine().m_thread.load(), nullptr);
    Pump(200);
  }
  void StopWorker() {
    CEngine& engine = GetEngine();
    if (engine.m_thread == nullptr) return;
    engine.BeginShutdown();
    for (int i = 0; i < 500 && !engine.WaitForWorker(0); ++i) Pump(10);
  }
  static void Pump(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      ui_test::PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  std::string StatusText(int part = 0) const {
    wchar_t text[256] = {};
    if (part < ::SendMessageW(m_frame.m_hWndStatusBar, SB_GETPARTS, 0, 0))
      ::SendMessageW(m_frame.m_hWndStatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return ui::Narrow1251(text);
  }
  // Pumps until condition holds, up to 5 s.
  static bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
      if (condition()) return true;
      Pump(10);
    }
    return condition();
  }

  CMainFrame m_frame;
};

}  // namespace frame_test
