#include "ui/framework/WindowImpl.h"

#include <commctrl.h>
#include <cwchar>

namespace framework_detail {

namespace {
thread_local void* t_creatingObject = nullptr;

// The system control classes live in comctl32: load them before copying one.
void LoadControlClasses() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
}
}  // namespace

void SetCreatingObject(void* object) { t_creatingObject = object; }

void* TakeCreatingObject() {
  void* object = t_creatingObject;
  t_creatingObject = nullptr;
  return object;
}

ATOM RegisterWndClass(CWndClassInfo& info, WNDPROC windowProc) {
  if (info.atom != 0) return info.atom;
  HINSTANCE instance = GetAppModule().GetModuleInstance();
  wchar_t madeName[40];
  const wchar_t* name = info.className;
  if (!name) {
    swprintf(madeName, sizeof(madeName) / sizeof(madeName[0]), L"Varnek:%p",
             static_cast<void*>(&info));
    name = madeName;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (info.superclassName) {
    LoadControlClasses();
    if (!GetClassInfoExW(nullptr, info.superclassName, &wc)) return 0;
    info.superProc = wc.lpfnWndProc;
  } else {
    wc.style = info.style;
    wc.hbrBackground = info.background;
    wc.hCursor = info.cursor ? LoadCursorW(nullptr, info.cursor) : nullptr;
    if (info.iconId != 0) {
      wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(info.iconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
      wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(info.iconId),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
  }
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  wc.lpszMenuName = nullptr;
  info.atom = RegisterClassExW(&wc);
  return info.atom;
}

}  // namespace framework_detail
