// The main window around a delivery: the status bar's tally, the resend of
// unconfirmed numbers, the checks before a start and the listening for
// reports after it.
#include <gtest/gtest.h>

#include <string>

#include "MainFrameFixture.h"
#include "modem/Log.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

using frame_test::CBoxAnswer;
using ui_test::CDialogAnswerer;
using frame_test::MainFrameTest;

TEST_F(MainFrameTest, StatusBarCountsDuringARunAndSumsUpAfterIt) {
  EXPECT_EQ(StatusText(1), "");
  StartRunningWorker();
  EXPECT_TRUE(WaitFor([&] { return StatusText(1) == "Отправлено 0 из 3, ошибок: 1"; })) << StatusText(1);
  StopWorker();
  EXPECT_EQ(StatusText(1),
            "Итог: отправлено 0 из 3; ошибок: 1, дублей: 0, без подтверждения: 0, не отправлено: 2");
  EXPECT_EQ(StatusText(), "Готов");
  CBoxAnswer yes("Вопрос", IDYES);
  Command(ID_LIST_CLEAR);
  EXPECT_TRUE(yes.Shown());
  EXPECT_EQ(StatusText(1), "");
}

// The unconfirmed numbers go out again only after the operator has read
// that they may have gone out already, and only in that one delivery.
TEST_F(MainFrameTest, ResendUnconfirmedAsksFirstAndHoldsForOneDelivery) {
  CEngine& engine = GetEngine();
  AddItems(3);
  m_frame.m_edit.SetWindowText1251("Привет");
  {
    CBoxAnswer none("Сообщение", IDOK);
    Command(ID_DELIVERY_RESEND_UNCONFIRMED);
    EXPECT_TRUE(none.Shown());
    EXPECT_EQ(none.text, "В списке нет номеров без подтверждения.");
  }
  engine.m_items[0].m_state = Unconfirmed;
  engine.m_items[2].m_state = Unconfirmed;
  {
    CBoxAnswer no("Вопрос", IDNO);
    Command(ID_DELIVERY_RESEND_UNCONFIRMED);
    EXPECT_TRUE(no.Shown());
    EXPECT_EQ(no.text.compare(0, 31, "Номеров без подтверждения: 2.\n\n"), 0) << no.text;
    EXPECT_NE(no.text.find("может получить сообщение дважды"), std::string::npos) << no.text;
  }
  EXPECT_EQ(engine.m_thread.load(), nullptr);
  EXPECT_FALSE(engine.m_resendUnconfirmed);
  {
    CBoxAnswer yes("Вопрос", IDYES);
    Command(ID_DELIVERY_RESEND_UNCONFIRMED);
    EXPECT_TRUE(yes.Shown());
  }
  ASSERT_NE(engine.m_thread.load(), nullptr);
  EXPECT_TRUE(engine.m_resendUnconfirmed);
  StopWorker();
  EXPECT_FALSE(engine.m_resendUnconfirmed) << "the next delivery leaves them be again";
}

// Markers that cannot be written would let numbers go out twice: no
// delivery. Logs that cannot be written: the operator decides. Both name the
// folder and the system's reason; a log line lost later is told too.
TEST_F(MainFrameTest, DeliveryStartsOnlyWhereMarkersAndLogsCanBeWritten) {
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  GetLog().Reset();
  CEngine& engine = GetEngine();
  const int check = engine.m_checkDuplicates;
  engine.m_checkDuplicates = 1;
  AddItems(1);
  m_frame.m_edit.SetWindowText1251("Привет");
  // A file where each folder should be.
  for (const char* name : {"PHONES", "logs"}) fclose(fopen(folder.File(name).c_str(), "wb"));
  {
    CBoxAnswer markers("Сообщение", IDOK);
    Command(ID_DELIVERY_START);
    EXPECT_TRUE(markers.Shown());
    EXPECT_NE(markers.text.find(folder.File("PHONES")), std::string::npos) << markers.text;
    EXPECT_NE(markers.text.find("отправка не запущена"), std::string::npos) << markers.text;
  }
  EXPECT_EQ(engine.m_thread.load(), nullptr);
  ASSERT_EQ(remove(folder.File("PHONES").c_str()), 0);
  {
    CBoxAnswer logs("Вопрос", IDNO);
    Command(ID_DELIVERY_START);
    EXPECT_TRUE(logs.Shown());
    EXPECT_EQ(logs.text.compare(0, 32, "Нельзя записать журналы в папку\n"), 0) << logs.text;
    EXPECT_NE(logs.text.find(folder.File("logs")), std::string::npos) << logs.text;
    EXPECT_GT(logs.text.size(), 32 + folder.File("logs").size() + 30) << "the system's reason";
  }
  EXPECT_EQ(engine.m_thread.load(), nullptr);
  {
    CBoxAnswer logs("Вопрос", IDYES);
    Command(ID_DELIVERY_START);
    EXPECT_TRUE(logs.Shown());
  }
  EXPECT_NE(engine.m_thread.load(), nullptr);
  StopWorker();
  GetLog().Reset();  // the loss is told again
  {
    CBoxAnswer lost("Сообщение", IDOK);
    GetLog().Write("engine", "MainFrameTest", 0, "a line the logs folder cannot take");
    EXPECT_TRUE(WaitFor([&] { return !lost.text.empty(); }));
    lost.Shown();
    EXPECT_EQ(lost.text.compare(0, 39, "Журналы больше не записываются в папку\n"), 0) << lost.text;
  }
  engine.m_checkDuplicates = check;
  ASSERT_EQ(remove(folder.File("logs").c_str()), 0);
  GetLog().Reset();
}

// With reports asked for, the window listens after the delivery: a report
// turns its row, and the tally counts it. The setup dialog holds the
// listening while it is open; a change of the list ends it.
TEST_F(MainFrameTest, ListeningAfterADeliveryPausesForSetupAndEndsWithTheList) {
  testing_support::SimProcess sim(24, {"--profile", "reports-stored", "--report-delay", "300:400"});
  ASSERT_TRUE(sim.Started());
  CEngine& engine = GetEngine();
  engine.m_port = 24;
  engine.m_requestReports = 1;
  AddItems(1);
  m_frame.m_edit.SetWindowText1251("Привет");
  Command(ID_DELIVERY_START);
  const std::string listening = "Ожидание отчетов о доставке...";
  EXPECT_TRUE(WaitFor([&] { return StatusText() == listening; })) << StatusText();
  // The row reads the engine's item; the tally follows when the report's
  // change has reached the window.
  const std::string summary =
      "Итог: отправлено 1 из 1; ошибок: 0, дублей: 0, без подтверждения: 0; доставлено: 1, "
      "не доставлено: 0";
  EXPECT_TRUE(WaitFor([&] { return StatusText(1) == summary; })) << StatusText(1);
  EXPECT_EQ(m_frame.m_list.GetItemText(0, 1), "Доставлен");
  std::string duringSetup;
  {
    CDialogAnswerer setup(ui::Wide1251("Настройка модема").c_str(), [&](HWND dialog) {
      duringSetup = StatusText();
      ui_test::ClickButton(dialog, IDCANCEL);
    });
    Command(ID_SETUP);
  }
  EXPECT_EQ(duringSetup, "Готов");
  EXPECT_EQ(StatusText(), listening);
  {
    CBoxAnswer yes("Вопрос", IDYES);
    Command(ID_LIST_CLEAR);
    EXPECT_TRUE(yes.Shown());
  }
  EXPECT_EQ(StatusText(), "Готов");
  engine.m_port = 0;
  engine.m_requestReports = 0;
}

}  // namespace
