#include "UiTestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "support/win32/BitmapFile.h"
#include "ui/framework/Text1251.h"

namespace ui_test {

CTestParent::CTestParent(int width, int height) {
  const RECT rect{10, 10, 10 + width, 10 + height};
  Create(nullptr, &rect, L"Varnek test parent");
}

CTestParent::~CTestParent() {
  if (m_hWnd) DestroyWindow();
}

bool CTestParent::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
  if (!IsChildNotification(message) || message == WM_PARENTNOTIFY ||
      (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC))
    return false;
  m_message = message;
  m_wParam = wParam;
  m_lParam = lParam;
  ++m_count;
  result = m_answer;
  return true;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

CDialogAnswerer::CDialogAnswerer(const wchar_t* caption, std::function<void(HWND)> action)
    : m_thread([this, title = std::wstring(caption), action] {
        for (int i = 0; i < 500; ++i) {
          HWND dialog = FindWindowW(L"#32770", title.c_str());
          if (dialog && IsWindowVisible(dialog)) {
            m_found = true;
            action(dialog);
            return;
          }
          Sleep(10);
        }
      }) {}

CDialogAnswerer::~CDialogAnswerer() { m_thread.join(); }

void ClickButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string ControlText(HWND dialog, int id) { return ui::GetWindowText1251(GetDlgItem(dialog, id)); }

void SetControlText(HWND dialog, int id, const char* text1251) {
  ui::SetWindowText1251(GetDlgItem(dialog, id), text1251);
}

std::string ComboSelectedText(HWND combo) {
  const auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  if (index < 0) return std::string();
  wchar_t text[256] = {};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 255) return std::string();
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return ui::Narrow1251(text);
}

CRegistryValue::CRegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, const char* data)
    : m_root(root), m_key(key), m_name(name ? name : L"") {
  HKEY handle = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle,
                      &disposition) != ERROR_SUCCESS)
    return;
  m_createdKey = disposition == REG_CREATED_NEW_KEY;
  const std::wstring wide = ui::Wide1251(data);
  m_written = RegSetValueExW(handle, m_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(handle);
}

CRegistryValue::~CRegistryValue() {
  if (m_createdKey) {
    RegDeleteKeyW(m_root, m_key.c_str());
    return;
  }
  HKEY handle = nullptr;
  if (RegOpenKeyExW(m_root, m_key.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueW(handle, m_name.c_str());
  RegCloseKey(handle);
}

namespace {

// A 32-bit top-down section of the given size, selected into a memory DC.
struct CSection {
  CSection(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~CSection() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  std::vector<DWORD> Copy(int width, int height) const {
    GdiFlush();
    const auto* data = static_cast<const DWORD*>(bits);
    std::vector<DWORD> out(data, data + static_cast<size_t>(width) * height);
    for (DWORD& p : out) p &= 0x00FFFFFF;
    return out;
  }
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
};

}  // namespace

COLORREF CPixels::At(int x, int y) const {
  const DWORD p = pixels[static_cast<size_t>(y) * width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

CPixels PrintWindowPixels(HWND hWnd, UINT flags) {
  RECT client{};
  GetClientRect(hWnd, &client);
  CPixels result;
  result.width = client.right;
  result.height = client.bottom;
  CSection section(result.width, result.height);
  SendMessageW(hWnd, WM_PRINT, reinterpret_cast<WPARAM>(section.dc), flags);
  result.pixels = section.Copy(result.width, result.height);
  return result;
}

bool SaveScreenShot(HWND hWnd, const char* name) {
  RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
  Sleep(300);  // the window's thread paints what it was asked to
  RECT rect{};
  GetWindowRect(hWnd, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  CSection section(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(section.dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  CreateDirectoryA("screenshots", nullptr);
  const std::string path = std::string("screenshots/") + name + ".bmp";
  const bool saved = testing_support::WriteBmp(path.c_str(), width, height, section.Copy(width, height));
  // VARNEK_UI_SHOT_HOLD_MS keeps the window up a while longer, so that a
  // screenshot of the whole display (import -window root) can be taken.
  if (const char* hold = std::getenv("VARNEK_UI_SHOT_HOLD_MS")) Sleep(static_cast<DWORD>(std::atoi(hold)));
  return saved;
}

}  // namespace ui_test

namespace ui_test {

namespace {
const wchar_t kSerialMap[] = L"Hardware\\DeviceMap\\SerialComm";
}

CSerialMapAside::CSerialMapAside() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    wchar_t data[256];
    DWORD nameLength = 256;
    DWORD dataSize = sizeof(data);
    DWORD type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                      &dataSize) != ERROR_SUCCESS)
      break;
    if (type == REG_SZ) m_values.emplace_back(name, std::wstring(data, dataSize / sizeof(wchar_t)));
  }
  for (const auto& value : m_values) RegDeleteValueW(key, value.first.c_str());
  RegCloseKey(key);
}

CSerialMapAside::~CSerialMapAside() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  for (const auto& value : m_values) {
    RegSetValueExW(key, value.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.second.data()),
                   static_cast<DWORD>(value.second.size() * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

}  // namespace ui_test

namespace ui_test {

namespace {

void Compare(std::string& out, size_t index, const char* what, const std::string& seen, const std::string& wanted) {
  if (seen == wanted) return;
  out += "control " + std::to_string(index) + " " + what + ": \"" + seen +
         "\" instead of \"" + wanted + "\"\n";
}

void Compare(std::string& out, size_t index, const char* what, long seen, long wanted) {
  if (seen != wanted) Compare(out, index, what, std::to_string(seen), std::to_string(wanted));
}

}  // namespace

std::string TemplateMismatches(HWND dialog, const CTemplateControl* expected, size_t count) {
  std::string out;
  HWND child = GetWindow(dialog, GW_CHILD);
  for (size_t i = 0; i < count; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
    if (!child) return out + "only " + std::to_string(i) + " controls\n";
    const CTemplateControl& c = expected[i];
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    Compare(out, i, "class", ui::Narrow1251(name), c.className);
    Compare(out, i, "id", static_cast<short>(GetDlgCtrlID(child)), c.id);
    if (c.text) Compare(out, i, "text", ui::GetWindowText1251(child), c.text);
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    RECT wanted = c.units;  // each of x, y, width, height mapped on its own, as the dialog manager does
    MapDialogRect(dialog, &wanted);
    Compare(out, i, "x", rect.left, wanted.left);
    Compare(out, i, "y", rect.top, wanted.top);
    if (c.units.right != 0) Compare(out, i, "width", rect.right - rect.left, wanted.right);
    if (c.units.bottom != 0) Compare(out, i, "height", rect.bottom - rect.top, wanted.bottom);
  }
  if (child) out += "more controls than expected\n";
  return out;
}

}  // namespace ui_test
