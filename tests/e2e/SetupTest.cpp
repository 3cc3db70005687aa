// The setup dialog of Varnek.exe as an operator meets it: the saved port is
// one the system does not list (an unplugged adapter), and "Найти" finds no
// modem on two ports that stay silent. The port survives both, and OK, and
// the program's end; so do the status reports and the service centre set
// there.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "UiTestSupport.h"
#include "VarnekProcess.h"
#include "res/resource.h"
#include "support/SerialPortMap.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "ui/framework/Text1251.h"

namespace {

using namespace std::chrono_literals;
using e2e::CVarnekProcess;
using e2e::WaitUntil;

constexpr char kSettings[] =
    "<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root><BAUDRATE>115200</BAUDRATE>"
    "<PORT>7</PORT><CHECK>0</CHECK><TIMEOUT>0</TIMEOUT><TIMEOUT2>0</TIMEOUT2></root>";

RECT ScreenRect(HWND hWnd) {
  RECT rect{};
  GetWindowRect(hWnd, &rect);
  return rect;
}

TEST(SetupDialogE2e, AnAbsentPortSurvivesASearchWithoutModemOkAndTheEnd) {
  ui_test::CSerialMapAside aside;
  testing_support::SimProcess first(11, {"--silent"});
  testing_support::SimProcess second(12, {"--silent"});
  ASSERT_TRUE(first.Started() && second.Started());
  testing_support::SerialPortMap map(
      {{"\\Device\\VarnekSilent11", "COM11"}, {"\\Device\\VarnekSilent12", "COM12"}});
  ASSERT_TRUE(map.Written());
  testing_support::TempDir folder;
  CVarnekProcess program(ui::Wide1251(folder.Path()), kSettings);
  ASSERT_NE(program.Frame(), nullptr);

  PostMessageW(program.Frame(), WM_COMMAND, ID_SETUP, 0);
  HWND dialog = program.WaitForDialog("Настройка модема");
  ASSERT_NE(dialog, nullptr);
  HWND ports = GetDlgItem(dialog, IDC_PORT);
  HWND state = GetDlgItem(dialog, IDC_SEARCHSTATE);
  ASSERT_TRUE(WaitUntil([&] { return program.ComboText(ports) == "COM7 (нет в системе)"; }, 5000))
      << program.ComboText(ports);

  SendMessageW(GetDlgItem(dialog, IDC_FINDPORT), BM_CLICK, 0, 0);
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] { return e2e::WindowText(state) == "Поиск модема: COM11; COM12."; }, 5000))
      << e2e::WindowText(state);
  e2e::SaveScreen(ScreenRect(dialog), "setup-search");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_FINDPORT)) != FALSE; }, 30000));
  // The two silent ports are waited for at the same time, not one after
  // the other (20 s).
  EXPECT_LT(std::chrono::steady_clock::now() - clicked, 15s);
  EXPECT_EQ(e2e::WindowText(state), "Модем не найден, выбор порта не изменён.");
  EXPECT_EQ(program.ComboText(ports), "COM7 (нет в системе)");
  e2e::SaveScreen(ScreenRect(dialog), "setup-dialog");

  SendMessageW(GetDlgItem(dialog, IDC_REPORTS), BM_CLICK, 0, 0);
  SetDlgItemTextW(dialog, IDC_SMSC, L"+79168999100");
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
  PostMessageW(program.Frame(), WM_CLOSE, 0, 0);
  ASSERT_EQ(program.WaitExit(5000), 1);
  std::ifstream file(std::filesystem::path(folder.File("Varnek.xml")), std::ios::binary);
  std::stringstream saved;
  saved << file.rdbuf();
  for (const char* element : {"<PORT>7</PORT>", "<REPORTS>1</REPORTS>", "<SMSC>+79168999100</SMSC>"})
    EXPECT_NE(saved.str().find(element), std::string::npos) << element << "\n" << saved.str();
}

}  // namespace
