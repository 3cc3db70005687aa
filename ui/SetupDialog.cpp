#include "ui/SetupDialog.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "modem/Modem.h"
#include "platform/PortList.h"
#include "ui/framework/WaitCursor.h"

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

int AddEntry(HWND list, const std::string& text, int data) {
  const std::wstring wide = ui::Wide1251(text);
  const auto index = static_cast<int>(::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
  if (index >= 0) ::SendMessageW(list, CB_SETITEMDATA, index, data);
  return index;
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
      {WM_INITDIALOG, WM_INITDIALOG, &CSetupDialog::OnInitDialog}};
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
  if (m_engine.m_port != 0) SelectPortItem(GetDlgItem(IDC_PORT), m_engine.m_port);
  SendDlgItemMessage(IDC_CHECKDUPLICATES, BM_SETCHECK, m_engine.m_checkDuplicates ? BST_CHECKED : BST_UNCHECKED);
  char text[16];
  std::snprintf(text, sizeof(text), "%d", m_engine.m_minPause);
  SetDlgItemText1251(IDC_MINPAUSE, text);
  std::snprintf(text, sizeof(text), "%d", m_engine.m_maxPause);
  SetDlgItemText1251(IDC_MAXPAUSE, text);
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

LRESULT CSetupDialog::OnOK(WORD, WORD, HWND, bool&) {
  m_engine.m_port = SelectedItemData(IDC_PORT, 0);
  m_engine.m_baudRate = SelectedItemData(IDC_SPEED, m_engine.m_baudRate);
  m_engine.m_checkDuplicates = SendDlgItemMessage(IDC_CHECKDUPLICATES, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
  m_engine.m_minPause = ReadPause(IDC_MINPAUSE);
  m_engine.m_maxPause = ReadPause(IDC_MAXPAUSE);
  EndDialog(IDOK);
  return 0;
}

// With no speed selected (a rate outside the table) the search uses the
// configured rate, the one a delivery would use. A port that does not answer
// takes seconds: the wait cursor shows, and the windows are repainted
// before each port.
LRESULT CSetupDialog::OnFindPort(WORD, WORD, HWND, bool&) {
  CWaitCursor wait;
  CModem modem;
  HWND ports = GetDlgItem(IDC_PORT);
  FillPortList(ports);
  modem.SetBaudRate(SelectedItemData(IDC_SPEED, m_engine.m_baudRate));
  int port = 0;
  modem.FindPort(port, [&wait](int) { wait.KeepAlive(); });
  if (port != 0)
    SelectPortItem(ports, port);
  else
    ::SendMessageW(ports, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  return 0;
}

LRESULT CSetupDialog::OnCancel(WORD, WORD, HWND, bool&) {
  EndDialog(IDCANCEL);
  return 0;
}
