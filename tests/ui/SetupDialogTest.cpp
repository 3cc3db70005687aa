#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/LogFiles.h"
#include "support/SerialPortMap.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "UiTestSupport.h"
#include "ui/SetupDialog.h"

namespace {

const wchar_t kCaption[] = L"Настройка модема";
const wchar_t kDescriptionKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\0010";
const wchar_t kDescriptionKey3[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\0003";

struct Entry {
  std::string text;
  int data;
};

std::vector<Entry> ComboEntries(HWND combo) {
  std::vector<Entry> entries;
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    SendMessageW(combo, CB_SETCURSEL, i, 0);
    entries.push_back({ui_test::ComboSelectedText(combo), static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, i, 0))});
  }
  return entries;
}

int SelectedData(HWND dialog, int id) {
  HWND combo = GetDlgItem(dialog, id);
  const auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  return index < 0 ? -1 : static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, index, 0));
}

// An engine in a folder of its own, with settings the test sets, and the
// dialog run over it with an answer.
class SetupDialogTest : public ::testing::Test {
 protected:
  SetupDialogTest() {
    m_folder.UseAsProgramFolder();
    m_engine.reset(new CEngine());
    m_engine->m_baudRate = 9600;
    m_engine->m_port = 0;
    m_engine->m_checkDuplicates = 0;
    m_engine->m_minPause = 10;
    m_engine->m_maxPause = 20;
  }
  ~SetupDialogTest() override { m_engine.reset(); }

  INT_PTR Run(std::function<void(HWND)> answer) {
    CSetupDialog dialog(*m_engine);
    ui_test::CDialogAnswerer answerer(kCaption, answer);
    const INT_PTR result = dialog.DoModal(nullptr);
    return result;
  }

  testing_support::TempDir m_folder;
  std::unique_ptr<CEngine> m_engine;
};

TEST_F(SetupDialogTest, SpeedListShowsTheConfiguredRateOrNone) {
  struct Case {
    int rate;
    const char* shown;
  };
  const Case cases[] = {{0, "По умолчанию"}, {115200, "115200"}, {12345, ""}};
  for (const Case& c : cases) {
    m_engine->m_baudRate = c.rate;
    std::string shown = "?";
    int count = 0;
    EXPECT_EQ(Run([&](HWND hWnd) {
                shown = ui_test::ComboSelectedText(GetDlgItem(hWnd, IDC_SPEED));
                count = static_cast<int>(SendDlgItemMessageW(hWnd, IDC_SPEED, CB_GETCOUNT, 0, 0));
                ui_test::ClickButton(hWnd, IDOK);
              }),
              IDOK);
    EXPECT_EQ(shown, c.shown) << "rate " << c.rate;
    EXPECT_EQ(count, 16);
    EXPECT_EQ(m_engine->m_baudRate, c.rate) << "OK without a choice keeps the rate";
  }
}

TEST_F(SetupDialogTest, ChosenSpeedIsStoredFromItsItemData) {
  EXPECT_EQ(Run([&](HWND hWnd) {
              SendDlgItemMessageW(hWnd, IDC_SPEED, CB_SETCURSEL, 13, 0);
              ui_test::ClickButton(hWnd, IDOK);
            }),
            IDOK);
  EXPECT_EQ(m_engine->m_baudRate, 115200);
}

TEST_F(SetupDialogTest, PortListFromTheRegistryMap) {
  testing_support::SerialPortMap map({{"VarnekTestA", "COM10"},
                                      {"VarnekTestB", "\"COM4\""},
                                      {"VarnekTestC", "CNCA0"},
                                      {"VarnekTestD", "COM12"},
                                      {"VarnekTestE", "COM12"}});
  ui_test::CRegistryValue description(HKEY_LOCAL_MACHINE, kDescriptionKey, L"DriverDesc", "Varnek test port");
  ASSERT_TRUE(description.Written());
  m_engine->m_port = 12;
  int selected = -2;
  std::vector<Entry> entries;
  Run([&](HWND hWnd) {
    HWND ports = GetDlgItem(hWnd, IDC_PORT);
    selected = static_cast<int>(SendMessageW(ports, CB_GETCURSEL, 0, 0));
    entries = ComboEntries(ports);
    ui_test::ClickButton(hWnd, IDCANCEL);
  });
  std::vector<int> twelve;
  bool com10 = false, com4 = false;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_NE(entries[i].text.compare(0, 4, "CNCA"), 0) << "a name not beginning with COM is skipped";
    if (entries[i].data == 12) twelve.push_back(static_cast<int>(i));
    if (entries[i].data == 10) com10 = entries[i].text == "COM10 Varnek test port";
    if (entries[i].data == 4) com4 = entries[i].text == "COM4";
  }
  EXPECT_TRUE(com10) << "COM10 with the description of instance key 0010";
  EXPECT_TRUE(com4) << "a quoted name lists as its port";
  ASSERT_EQ(twelve.size(), 2u);
  EXPECT_EQ(selected, twelve[0]) << "of two entries of one port the upper is chosen";
}

TEST_F(SetupDialogTest, PortSelectionAndOk) {
  testing_support::SerialPortMap map({{"VarnekTestA", "COM10"}});
  struct Case {
    int port;
    int selectedData;  // -1: none selected
    int afterOk;
  };
  // A saved port the system does not list (an unplugged adapter) stays
  // offered, marked, and OK keeps it.
  const Case cases[] = {{0, -1, 0}, {77, 77, 77}, {10, 10, 10}};
  for (const Case& c : cases) {
    m_engine->m_port = c.port;
    int shown = -2;
    std::string text;
    Run([&](HWND hWnd) {
      shown = SelectedData(hWnd, IDC_PORT);
      text = ui_test::ComboSelectedText(GetDlgItem(hWnd, IDC_PORT));
      ui_test::ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(shown, c.selectedData) << "port " << c.port;
    EXPECT_EQ(m_engine->m_port, c.afterOk) << "port " << c.port;
    if (c.port == 77) {
      EXPECT_EQ(text, "COM77 (нет в системе)");
    }
  }
}

// The service-centre number is taken as typed (blanks around it dropped)
// when it is "+" and up to 20 digits, or empty; anything else is refused by
// OK with a message naming the field, and the dialog stays open.
TEST_F(SetupDialogTest, PausesCheckBoxesAndServiceCentreAreStoredAsTyped) {
  struct Case {
    const char* minText;
    const char* maxText;
    bool check;
    bool reports;
    const char* centre;
    int minPause;
    int maxPause;
    const char* stored;  // null: refused
  };
  const Case cases[] = {
      {"", "", true, true, "", 0, 0, ""},
      {"30", "5", false, false, "+79168999100", 30, 5, "+79168999100"},
      {"99999999999999", "7", true, true, " 89168999100 ", 2147483647, 7, "89168999100"},
      {"1", "2", false, true, "+12345678901234567890", 1, 2, "+12345678901234567890"},
      {"1", "2", false, true, "123456789012345678901", 0, 0, nullptr},
      {"1", "2", false, true, "+7 916 899 91 00", 0, 0, nullptr},
      {"1", "2", false, true, "+", 0, 0, nullptr},
      {"1", "2", false, true, "7916+", 0, 0, nullptr},
      {"1", "2", false, true, "++7916", 0, 0, nullptr},
      {"1", "2", false, true, "SMSC", 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.centre);
    m_engine->m_minPause = 0;
    m_engine->m_maxPause = 0;
    m_engine->m_requestReports = c.reports ? 0 : 1;
    m_engine->m_smsc = "+70000000000";
    std::string said;
    bool stayed = false;
    Run([&](HWND hWnd) {
      ui_test::SetControlText(hWnd, IDC_MINPAUSE, c.minText);
      ui_test::SetControlText(hWnd, IDC_MAXPAUSE, c.maxText);
      SendDlgItemMessageW(hWnd, IDC_CHECKDUPLICATES, BM_SETCHECK, c.check ? BST_CHECKED : BST_UNCHECKED, 0);
      SendDlgItemMessageW(hWnd, IDC_REPORTS, BM_SETCHECK, c.reports ? BST_CHECKED : BST_UNCHECKED, 0);
      ui_test::SetControlText(hWnd, IDC_SMSC, c.centre);
      if (c.stored != nullptr) {
        ui_test::ClickButton(hWnd, IDOK);
        return;
      }
      // OK shows the message from within its click: posted, so that this
      // thread can answer it.
      PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
      HWND box = nullptr;
      for (int i = 0; i < 500 && !(box = FindWindowW(L"#32770", ui::Wide1251("Сообщение").c_str())); ++i) Sleep(10);
      if (box == nullptr) return;
      said = ui_test::ControlText(box, 0xFFFF);
      ui_test::ClickButton(box, IDOK);
      stayed = IsWindow(hWnd) && IsWindowVisible(hWnd);
      ui_test::ClickButton(hWnd, IDCANCEL);
    });
    if (c.stored == nullptr) {
      EXPECT_TRUE(stayed);
      EXPECT_NE(said.find("\"SMS-центр\""), std::string::npos) << said;
      EXPECT_EQ(m_engine->m_smsc, "+70000000000");
      EXPECT_EQ(m_engine->m_requestReports, 0);
      EXPECT_EQ(m_engine->m_minPause, 0);
      continue;
    }
    EXPECT_EQ(m_engine->m_minPause, c.minPause) << c.minText;
    EXPECT_EQ(m_engine->m_maxPause, c.maxPause) << c.maxText;
    EXPECT_EQ(m_engine->m_checkDuplicates, c.check ? 1 : 0);
    EXPECT_EQ(m_engine->m_requestReports, c.reports ? 1 : 0);
    EXPECT_EQ(m_engine->m_smsc, c.stored);
  }
}

TEST_F(SetupDialogTest, OpeningShowsTheSettings) {
  m_engine->m_checkDuplicates = 1;
  m_engine->m_requestReports = 1;
  m_engine->m_smsc = "+79168999100";
  std::string minText, maxText, centre;
  LRESULT check = 0, reports = 0;
  Run([&](HWND hWnd) {
    minText = ui_test::ControlText(hWnd, IDC_MINPAUSE);
    maxText = ui_test::ControlText(hWnd, IDC_MAXPAUSE);
    check = SendDlgItemMessageW(hWnd, IDC_CHECKDUPLICATES, BM_GETCHECK, 0, 0);
    reports = SendDlgItemMessageW(hWnd, IDC_REPORTS, BM_GETCHECK, 0, 0);
    centre = ui_test::ControlText(hWnd, IDC_SMSC);
    ui_test::ClickButton(hWnd, IDCANCEL);
  });
  EXPECT_EQ(minText, "10");
  EXPECT_EQ(maxText, "20");
  EXPECT_EQ(check, BST_CHECKED);
  EXPECT_EQ(reports, BST_CHECKED);
  EXPECT_EQ(centre, "+79168999100");
}

TEST_F(SetupDialogTest, CancelAfterChangesLeavesEverySetting) {
  testing_support::SerialPortMap map({{"VarnekTestA", "COM10"}});
  m_engine->m_port = 10;
  EXPECT_EQ(Run([&](HWND hWnd) {
              SendDlgItemMessageW(hWnd, IDC_PORT, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
              SendDlgItemMessageW(hWnd, IDC_SPEED, CB_SETCURSEL, 3, 0);
              SendDlgItemMessageW(hWnd, IDC_CHECKDUPLICATES, BM_SETCHECK, BST_CHECKED, 0);
              ui_test::SetControlText(hWnd, IDC_MINPAUSE, "1");
              ui_test::SetControlText(hWnd, IDC_MAXPAUSE, "2");
              SendDlgItemMessageW(hWnd, IDC_REPORTS, BM_SETCHECK, BST_CHECKED, 0);
              ui_test::SetControlText(hWnd, IDC_SMSC, "+79168999100");
              ui_test::ClickButton(hWnd, IDCANCEL);
            }),
            IDCANCEL);
  EXPECT_EQ(m_engine->m_port, 10);
  EXPECT_EQ(m_engine->m_baudRate, 9600);
  EXPECT_EQ(m_engine->m_checkDuplicates, 0);
  EXPECT_EQ(m_engine->m_minPause, 10);
  EXPECT_EQ(m_engine->m_maxPause, 20);
  EXPECT_EQ(m_engine->m_requestReports, 0);
  EXPECT_EQ(m_engine->m_smsc, "");
}

// The template as the operator sees it: order (the tab order), ids, texts,
// classes and places in dialog units.
TEST_F(SetupDialogTest, ControlsAreWhereTheTemplatePutsThem) {
  const ui_test::CTemplateControl expected[] = {
      {"Button", IDOK, "OK", {39, 183, 50, 14}},
      {"Button", -1, "Модем", {7, 7, 192, 53}},
      {"Static", -1, "Порт", {16, 19, 18, 8}},
      {"ComboBox", IDC_PORT, nullptr, {52, 16, 100, 0}},  // its height includes the drop-down
      {"Static", -1, "Скорость", {15, 33, 33, 8}},
      {"ComboBox", IDC_SPEED, nullptr, {52, 30, 75, 0}},
      {"Button", IDC_FINDPORT, "Найти", {156, 16, 38, 12}},
      {"Static", IDC_SEARCHSTATE, "", {15, 46, 180, 8}},
      {"Button", IDCANCEL, "Отмена", {101, 183, 50, 14}},
      {"Button", -1, "Отправка", {7, 61, 192, 60}},
      {"Button", IDC_CHECKDUPLICATES, "Проверять дублирование номеров", {16, 73, 139, 10}},
      {"Edit", IDC_MINPAUSE, "10", {15, 85, 41, 12}},
      {"Static", -1, "Интервал между отправками min (с.)", {60, 87, 125, 8}},
      {"Edit", IDC_MAXPAUSE, "20", {15, 99, 41, 12}},
      {"Static", -1, "Интервал между отправками max (с.)", {60, 101, 127, 8}},
      {"Button", -1, "Отчеты о доставке", {7, 123, 192, 54}},
      {"Button", IDC_REPORTS, "Запрашивать отчеты о доставке", {16, 135, 139, 10}},
      {"Static", -1, "SMS-центр", {16, 151, 38, 8}},
      {"Edit", IDC_SMSC, "", {56, 149, 90, 12}},
      {"Static", -1, "Пустое поле: номер, записанный в модеме", {16, 164, 176, 8}},
  };
  std::string caption, mismatches;
  bool numbersOnly = false;
  testing_support::SerialPortMap map({{"VarnekTestA", "COM3"}});
  ui_test::CRegistryValue description(HKEY_LOCAL_MACHINE, kDescriptionKey3, L"DriverDesc", "Communications Port");
  m_engine->m_port = 3;
  Run([&](HWND hWnd) {
    caption = ui::GetWindowText1251(hWnd);
    mismatches = ui_test::TemplateMismatches(hWnd, expected, std::size(expected));
    numbersOnly = (GetWindowLongPtrW(GetDlgItem(hWnd, IDC_MINPAUSE), GWL_STYLE) & ES_NUMBER) &&
                  (GetWindowLongPtrW(GetDlgItem(hWnd, IDC_MAXPAUSE), GWL_STYLE) & ES_NUMBER);
    ui_test::SaveScreenShot(hWnd, "dialog-setup");
    ui_test::ClickButton(hWnd, IDCANCEL);
  });
  EXPECT_EQ(caption, "Настройка модема");
  EXPECT_EQ(mismatches, "");
  EXPECT_TRUE(numbersOnly);
}

// "Найти" searches on threads of its own: the dialog answers while it runs,
// and the line under the port says how it ended.
class FindTest : public SetupDialogTest {
 protected:
  // Clicks "Найти" and waits (on the answering thread, the dialog's own
  // thread running its messages) until the search has ended.
  static std::string FindAndWait(HWND hWnd) {
    ui_test::ClickButton(hWnd, IDC_FINDPORT);
    HWND find = GetDlgItem(hWnd, IDC_FINDPORT);
    for (int i = 0; i < 3000 && !IsWindowEnabled(find); ++i) Sleep(10);
    return ui_test::ControlText(hWnd, IDC_SEARCHSTATE);
  }
};

// No modem: the choice made before stays, for OK as for Cancel.
TEST_F(FindTest, FindWithoutModemSaysSoAndKeepsThePort) {
  ui_test::CSerialMapAside aside;
  testing_support::SerialPortMap map({{"VarnekTestA", "COM10"}, {"VarnekTestB", "COM11"}});
  struct Case {
    int button;
    int speedItem;  // -1: leave the speed
  };
  const Case cases[] = {{IDOK, -1}, {IDCANCEL, 13}};
  for (const Case& c : cases) {
    m_engine->m_port = 10;
    int before = -2, after = -2;
    std::string said;
    Run([&](HWND hWnd) {
      before = SelectedData(hWnd, IDC_PORT);
      if (c.speedItem >= 0) SendDlgItemMessageW(hWnd, IDC_SPEED, CB_SETCURSEL, c.speedItem, 0);
      said = FindAndWait(hWnd);
      after = SelectedData(hWnd, IDC_PORT);
      ui_test::ClickButton(hWnd, c.button);
    });
    EXPECT_EQ(before, 10);
    EXPECT_EQ(after, 10);
    EXPECT_EQ(said, "Модем не найден, выбор порта не изменён.");
    EXPECT_EQ(m_engine->m_port, 10);
    EXPECT_EQ(m_engine->m_baudRate, 9600);
  }
}

// A modem at the speed asked for, or fixed at another: that speed is then
// selected too.
TEST_F(FindTest, FindSelectsTheSimulatedModemAndItsSpeed) {
  struct Case {
    std::vector<std::string> simArgs;
    int rate;  // configured
    const char* said;
    int rateAfter;
  };
  const Case cases[] = {
      // No row: the search must use this rate, not -1.
      {{}, 12345, "Модем найден: COM15, 12345 бит/с.", 12345},
      {{"--fixed-speed", "19200"}, 115200, "Модем найден: COM15, 19200 бит/с. Скорость выбрана.", 19200},
  };
  for (const Case& c : cases) {
    testing_support::SimProcess sim(15, c.simArgs);
    ASSERT_TRUE(sim.Started());
    ui_test::CSerialMapAside aside;
    testing_support::SerialPortMap map({{"VarnekTestSim", "COM15"}});
    m_engine->m_port = 0;
    m_engine->m_baudRate = c.rate;
    int after = -2;
    std::string said;
    Run([&](HWND hWnd) {
      said = FindAndWait(hWnd);
      after = SelectedData(hWnd, IDC_PORT);
      ui_test::ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(after, 15);
    EXPECT_EQ(m_engine->m_port, 15);
    EXPECT_EQ(m_engine->m_baudRate, c.rateAfter);
  }
}

// Cancel in the middle of a search ends it: the silent port is not waited
// for, and the button is disabled while the search runs.
TEST_F(FindTest, CancelDuringTheSearchStopsIt) {
  testing_support::SimProcess silent(16, {"--silent"});
  ASSERT_TRUE(silent.Started());
  ui_test::CSerialMapAside aside;
  testing_support::SerialPortMap map({{"VarnekTestSilent", "COM16"}});
  m_engine->m_port = 3;
  bool disabled = false;
  std::string progress;
  Run([&](HWND hWnd) {
    ui_test::ClickButton(hWnd, IDC_FINDPORT);
    disabled = !IsWindowEnabled(GetDlgItem(hWnd, IDC_FINDPORT));
    for (int i = 0; i < 500 && progress.find("COM16") == std::string::npos; ++i) {
      Sleep(10);
      progress = ui_test::ControlText(hWnd, IDC_SEARCHSTATE);
    }
    ui_test::ClickButton(hWnd, IDC_FINDPORT);  // a second click while it runs does nothing
    ui_test::ClickButton(hWnd, IDCANCEL);
  });
  EXPECT_TRUE(disabled);
  EXPECT_EQ(progress, "Поиск модема: COM16.");
  EXPECT_EQ(m_engine->m_port, 3);
  const std::vector<std::string> steps = testing_support::LogTexts(m_folder.Path(), "engine", "FindPort");
  EXPECT_NE(std::find(steps.begin(), steps.end(), "16 not tried to the end"), steps.end())
      << ::testing::PrintToString(steps);
  EXPECT_EQ(steps.back(), "failed...");
}

}  // namespace
