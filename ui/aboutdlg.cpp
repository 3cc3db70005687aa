#include "ui/aboutdlg.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kMailTarget[] = "mailto:varnek@example.org";
constexpr char kVersionLine[] = "Версия %s, 2026 год";

// "1.0.0.0": the file version of the program's version resource; "" when it
// has none. The resource is copied first: the version functions may write
// to the block they read.
std::string ProgramVersion() {
  HMODULE module = GetAppModule().GetResourceInstance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (bytes == nullptr) return std::string();
  std::vector<BYTE> block(bytes, bytes + SizeofResource(module, found));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size) || size < sizeof(*info))
    return std::string();
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) +
         "." + std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

}  // namespace

bool CAboutDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
  static constexpr CMessageEntry<CAboutDlg> kMessages[] = {
      {WM_INITDIALOG, WM_INITDIALOG, &CAboutDlg::OnInitDialog}};
  static constexpr CCommandEntry<CAboutDlg> kCommands[] = {
      {IDOK, kAnyCode, &CAboutDlg::OnCloseCmd},
      {IDCANCEL, kAnyCode, &CAboutDlg::OnCloseCmd},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteCommand(this, kCommands, message, wParam, lParam, result);
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  m_webLink.SubclassWindow(GetDlgItem(IDC_WEBLINK));
  m_mailLink.SubclassWindow(GetDlgItem(IDC_MAILLINK));
  m_mailLink.SetHyperLink(kMailTarget);
  const std::string version = ProgramVersion();
  if (!version.empty()) {
    char line[64];
    std::snprintf(line, sizeof line, kVersionLine, version.c_str());
    SetDlgItemText1251(IDC_VERSION, line);
  }
  CenterWindow(GetParent());
  return TRUE;
}

LRESULT CAboutDlg::OnCloseCmd(WORD, WORD id, HWND, bool&) {
  EndDialog(id);
  return 0;
}
