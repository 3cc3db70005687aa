#include "ui/SetupDialog.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/PortList.h"

namespace {

struct SpeedRow {
  const char* text;
  int rate;
};

constexpr SpeedRow kSpeeds[] = {
    {"По умолчанию", 0}, {"110", 110},       {"300", 300},       {"600", 600},
    {"1200", 1200},      {"2400", 2400},     {"4800", 4800},     {"9600", 9600},
    {"14400", 14400},    {"19200", 19200},   {"38400", 38400},   {"56000", 56000},
    {"57600", 57600},    {"115200", 115200}, {"128000", 128000}, {"256000", 256000},
};

constexpr size_t kEntryRoom = 100;  // bytes of a port entry's text, terminator included
constexpr int kPauseChars = 99;     // characters of a pause edit that count
constexpr char kAbsentPort[] = "COM%d (нет в системе)";
constexpr int kServiceCentreChars = 40;  // characters of the SMS-centre edit that count
constexpr size_t kServiceCentreDigits = 20;
constexpr char kBadServiceCentre[] =
    "Поле \"SMS-центр\": номер из цифр (не больше 20), можно с \"+\" в начале. "
    "Оставьте поле пустым, чтобы отправлять через SMS-центр, записанный в модеме.";
constexpr char kInfoCaption[] = "Сообщение";

// The port search's events, posted to the dialog: wParam the port; lParam
// the speed, and for a finding the answer too (see FoundParam).
constexpr UINT kPortTryingMessage = WM_APP + 30;
constexpr UINT kPortFoundMessage = WM_APP + 31;
constexpr LPARAM kAnswerKinds = 8;

LPARAM FoundParam(const CPortFinding& finding) {
  return static_cast<LPARAM>(finding.m_baudRate) * kAnswerKinds + static_cast<LPARAM>(finding.m_answer);
}

int AddEntry(HWND list, const std::string& text, int data) {
  const std::wstring wide = ui::Wide1251(text);
  const auto index = static_cast<int>(::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
  if (index >= 0) ::SendMessageW(list, CB_SETITEMDATA, index, data);
  return index;
}

std::string PortAtSpeed(int port, int baudRate) {
  std::string text = "COM" + std::to_string(port);
  if (baudRate != 0) text += ", " + std::to_string(baudRate) + " бит/с";
  return text;
}

// The leading decimal digits of text; saturates instead of overflowing, so a
// long run of digits in an edit gives the largest value, not garbage.
int LeadingNumber(const char* text) {
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

// A registry name: COM3, or "COM3" in double quotes (up to the closing one).
std::string UnquotedName(const std::string& data) {
  if (data.empty() || data[0] != '"') return data;
  const size_t close = data.find('"', 1);
  return data.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

// Blanks around the number are dropped; what is left must be empty, or
// digits with a "+" before them at most.
bool ReadServiceCentre(const std::string& typed, std::string& number) {
  const size_t first = typed.find_first_not_of(' ');
  if (first == std::string::npos) {
    number.clear();
    return true;
  }
  number = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
  const size_t digits = number.size() - (number[0] == '+' ? 1 : 0);
  return digits > 0 && digits <= kServiceCentreDigits &&
         number.find_first_not_of("0123456789", number.size() - digits) == std::string::npos;
}

}  // namespace

void CSetupDialog::FillPortList(HWND list) {
  ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
  std::vector<std::string> names;
  if (!platform::SerialPortNames(names)) return;
  for (const std::string& data : names) {
    const std::string name = UnquotedName(data);
    if (name.compare(0, 3, "COM") != 0) continue;
    const int port = LeadingNumber(name.c_str() + 3);
    char prefix[kEntryRoom];
    std::snprintf(prefix, sizeof(prefix), "COM%d ", port);
    std::string description;
    const size_t used = std::strlen(prefix);
    const bool described = platform::PortDescription(port, kEntryRoom - used, description);
    AddEntry(list, described ? prefix + description : name, port);
  }
}

void CSetupDialog::ShowPort(HWND list, int port) {
  SelectPortItem(list, port);
  if (port == 0 || ::SendMessageW(list, CB_GETCURSEL, 0, 0) >= 0) return;
  char text[kEntryRoom];
  std::snprintf(text, sizeof(text), kAbsentPort, port);
  ::SendMessageW(list, CB_SETCURSEL, AddEntry(list, text, port), 0);
}

void CSetupDialog::SelectPortItem(HWND list, int port) {
  const auto count = static_cast<int>(::SendMessageW(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (static_cast<int>(::SendMessageW(list, CB_GETITEMDATA, i, 0)) == port) {
      ::SendMessageW(list, CB_SETCURSEL, i, 0);
      return;
    }
  }
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

bool CSetupDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
  static constexpr CMessageEntry<CSetupDialog> kMessages[] = {
      {WM_INITDIALOG, WM_INITDIALOG, &CSetupDialog::OnInitDialog},
      {kPortTryingMessage, kPortTryingMessage, &CSetupDialog::OnPortTrying},
      {kPortFoundMessage, kPortFoundMessage, &CSetupDialog::OnPortFound},
  };
  static constexpr CCommandEntry<CSetupDialog> kCommands[] = {
      {IDOK, kAnyCode, &CSetupDialog::OnOK},
      {IDC_FINDPORT, kAnyCode, &CSetupDialog::OnFindPort},
      {IDCANCEL, kAnyCode, &CSetupDialog::OnCancel},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteCommand(this, kCommands, message, wParam, lParam, result);
}

void CSetupDialog::FillSpeedList() {
  HWND list = GetDlgItem(IDC_SPEED);
  for (const SpeedRow& row : kSpeeds) {
    const int index = AddEntry(list, row.text, row.rate);
    if (row.rate == m_engine.m_baudRate) ::SendMessageW(list, CB_SETCURSEL, index, 0);
  }
}

LRESULT CSetupDialog::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  CenterWindow(GetParent());
  FillSpeedList();
  FillPortList(GetDlgItem(IDC_PORT));
  ShowPort(GetDlgItem(IDC_PORT), m_engine.m_port);
  SendDlgItemMessage(IDC_CHECKDUPLICATES, BM_SETCHECK, m_engine.m_checkDuplicates ? BST_CHECKED : BST_UNCHECKED);
  char text[16];
  std::snprintf(text, sizeof(text), "%d", m_engine.m_minPause);
  SetDlgItemText1251(IDC_MINPAUSE, text);
  std::snprintf(text, sizeof(text), "%d", m_engine.m_maxPause);
  SetDlgItemText1251(IDC_MAXPAUSE, text);
  SendDlgItemMessage(IDC_REPORTS, BM_SETCHECK, m_engine.m_requestReports ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessage(IDC_SMSC, EM_LIMITTEXT, kServiceCentreChars);
  SetDlgItemText1251(IDC_SMSC, m_engine.m_smsc.c_str());
  return TRUE;
}

int CSetupDialog::SelectedItemData(int id, int fallback) const {
  const auto index = static_cast<int>(SendDlgItemMessage(id, CB_GETCURSEL));
  if (index < 0) return fallback;
  return static_cast<int>(SendDlgItemMessage(id, CB_GETITEMDATA, index));
}

int CSetupDialog::ReadPause(int id) const {
  char text[kPauseChars + 1];
  ui::GetWindowText1251(GetDlgItem(id), text, sizeof(text));
  return LeadingNumber(text);
}

// A service-centre number the modem could not take is refused here, where
// the operator can mend it, and not by every message of the next delivery.
LRESULT CSetupDialog::OnOK(WORD, WORD, HWND, bool&) {
  std::string centre;
  if (!ReadServiceCentre(GetDlgItemText1251(IDC_SMSC), centre)) {
    MessageBoxW(m_hWnd, ui::Wide1251(kBadServiceCentre).c_str(), ui::Wide1251(kInfoCaption).c_str(),
                MB_OK | MB_ICONINFORMATION);
    ::SetFocus(GetDlgItem(IDC_SMSC));
    SendDlgItemMessage(IDC_SMSC, EM_SETSEL, 0, -1);
    return 0;
  }
  StopSearch();
  m_engine.m_port = SelectedItemData(IDC_PORT, 0);
  m_engine.m_baudRate = SelectedItemData(IDC_SPEED, m_engine.m_baudRate);
  m_engine.m_checkDuplicates = SendDlgItemMessage(IDC_CHECKDUPLICATES, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
  m_engine.m_minPause = ReadPause(IDC_MINPAUSE);
  m_engine.m_maxPause = ReadPause(IDC_MAXPAUSE);
  m_engine.m_requestReports = SendDlgItemMessage(IDC_REPORTS, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
  m_engine.m_smsc = centre;
  EndDialog(IDOK);
  return 0;
}

LRESULT CSetupDialog::OnCancel(WORD, WORD, HWND, bool&) {
  StopSearch();
  EndDialog(IDCANCEL);
  return 0;
}

// The ports the list offers (an absent one too: it may open all the same),
// refreshed from the system, at the selected speed first; with no speed
// selected (a rate outside the table) at the configured one, which a
// delivery would use. The button stays disabled until the search ends.
LRESULT CSetupDialog::OnFindPort(WORD, WORD, HWND, bool&) {
  if (m_search) return 0;
  HWND ports = GetDlgItem(IDC_PORT);
  const int chosen = SelectedItemData(IDC_PORT, 0);
  FillPortList(ports);
  ShowPort(ports, chosen);
  std::vector<int> candidates;
  const auto count = static_cast<int>(::SendMessageW(ports, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) candidates.push_back(static_cast<int>(::SendMessageW(ports, CB_GETITEMDATA, i, 0)));
  m_searchSpeed = SelectedItemData(IDC_SPEED, m_engine.m_baudRate);
  m_modemPort = 0;
  m_modemSpeed = 0;
  m_trying.clear();
  m_search = std::make_unique<CPortSearch>();
  const HWND dialog = m_hWnd;
  CPortSearch::Events events;
  events.trying = [dialog](int port, int baudRate) {
    ::PostMessageW(dialog, kPortTryingMessage, static_cast<WPARAM>(port), baudRate);
  };
  events.found = [dialog](const CPortFinding& finding) {
    ::PostMessageW(dialog, kPortFoundMessage, static_cast<WPARAM>(finding.m_port), FoundParam(finding));
  };
  m_search->Start(candidates, m_searchSpeed, events);
  m_searchLeft = m_search->PortCount();
  ::EnableWindow(GetDlgItem(IDC_FINDPORT), FALSE);
  if (m_searchLeft == 0) FinishSearch();
  return 0;
}

LRESULT CSetupDialog::OnPortTrying(UINT, WPARAM wParam, LPARAM lParam, bool&) {
  if (!m_search) return 0;
  m_trying[static_cast<int>(wParam)] = static_cast<int>(lParam);
  ShowSearchProgress();
  return 0;
}

// The first modem to answer ends the search: the other ports need not be
// waited for.
LRESULT CSetupDialog::OnPortFound(UINT, WPARAM wParam, LPARAM lParam, bool&) {
  if (!m_search || m_searchLeft == 0) return 0;
  const int port = static_cast<int>(wParam);
  m_trying.erase(port);
  if (static_cast<PortAnswer>(lParam % kAnswerKinds) == PortAnswer::Modem && m_modemPort == 0) {
    m_modemPort = port;
    m_modemSpeed = static_cast<int>(lParam / kAnswerKinds);
    m_search->Stop();
  }
  if (--m_searchLeft == 0) {
    FinishSearch();
  } else {
    ShowSearchProgress();
  }
  return 0;
}

void CSetupDialog::ShowSearchProgress() {
  std::string text = "Поиск модема:";
  for (const auto& trying : m_trying)
    text += " " + PortAtSpeed(trying.first, trying.second == m_searchSpeed ? 0 : trying.second) + ";";
  if (!m_trying.empty()) text.back() = '.';
  SetDlgItemText1251(IDC_SEARCHSTATE, text.c_str());
}

// A modem's port is selected, and the speed it answered at when that is
// not the one asked for; without a modem the choice stays as it was.
void CSetupDialog::FinishSearch() {
  m_search->Wait();
  m_search.reset();
  ::EnableWindow(GetDlgItem(IDC_FINDPORT), TRUE);
  std::string text;
  if (m_modemPort == 0) {
    text = "Модем не найден, выбор порта не изменён.";
  } else {
    SelectPortItem(GetDlgItem(IDC_PORT), m_modemPort);
    text = "Модем найден: " + PortAtSpeed(m_modemPort, m_modemSpeed) + ".";
    if (m_modemSpeed != m_searchSpeed) {
      SelectPortItem(GetDlgItem(IDC_SPEED), m_modemSpeed);
      text += " Скорость выбрана.";
    }
  }
  SetDlgItemText1251(IDC_SEARCHSTATE, text.c_str());
}

// The ports' threads end within a moment of the stop; their posted events
// find the dialog gone and are dropped.
void CSetupDialog::StopSearch() {
  if (!m_search) return;
  m_search->Stop();
  m_search->Wait();
  m_search.reset();
}
