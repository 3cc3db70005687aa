#pragma once
// CWindowImpl<T, TBase, TWinTraits>: a C++ object bound to a window whose
// messages go to T::ProcessWindowMessage; what it leaves goes on to the
// window's original procedure (DefWindowProcW, the system class's procedure
// for a superclass, or the previous procedure of a subclassed window).
//
// T describes its window class with a static GetWndClassInfo (the default
// registers a plain class of its own). The object is found from the window
// by GWLP_USERDATA, which system controls leave to the application; it is
// bound at the very first message the new window receives, so even
// WM_NCCREATE and WM_CREATE reach T.
//
// The window must be destroyed before the object; after WM_NCDESTROY the
// object is unbound and OnFinalMessage runs.
//
// A WM_NOTIFY from a control that answers its own notifications goes to that
// control first (AnswerOwnNotifications, MessageMap.h).
#include <windows.h>

#include "ui/framework/AppModule.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/Window.h"

template <DWORD t_style, DWORD t_exStyle = 0>
struct CWinTraits {
  static DWORD GetWndStyle(DWORD style) { return style == 0 ? t_style : style; }
  static DWORD GetWndExStyle(DWORD exStyle) { return exStyle == 0 ? t_exStyle : exStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS>;
using CFrameWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;

// A window class. superclassName set: the class copies that system class
// ("SysListView32", "EDIT") under a name of its own and calls its procedure
// for the messages T leaves. className null: a name made from the address of
// this object, unique in the process.
struct CWndClassInfo {
  const wchar_t* className = nullptr;
  const wchar_t* superclassName = nullptr;
  UINT style = 0;
  HBRUSH background = nullptr;
  const wchar_t* cursor = IDC_ARROW;  // system cursor, or null for none
  UINT iconId = 0;                    // icon group of the module, 0 = none

  // Filled by the first registration.
  ATOM atom = 0;
  WNDPROC superProc = nullptr;
};

namespace framework_detail {
// Registers info once; 0 on failure.
ATOM RegisterWndClass(CWndClassInfo& info, WNDPROC windowProc);
// The object under construction on this thread, taken by its first message.
void SetCreatingObject(void* object);
void* TakeCreatingObject();
}  // namespace framework_detail

template <class TBase = CWindow>
class CWindowImplBaseT : public TBase, public CMessageMap {
 public:
  CWindowImplBaseT() = default;
  CWindowImplBaseT(const CWindowImplBaseT&) = delete;
  CWindowImplBaseT& operator=(const CWindowImplBaseT&) = delete;

  // The original procedure of the window.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_pfnSuperWindowProc, this->m_hWnd, message, wParam, lParam);
  }

  // Takes over an existing window (a dialog's control); false when this
  // object is bound already or the window is bound to another object.
  bool SubclassWindow(HWND hWnd);
  // Gives the window its previous procedure back; null when not subclassed.
  HWND UnsubclassWindow();

  // Runs after WM_NCDESTROY, when the object is no longer bound.
  virtual void OnFinalMessage(HWND) {}

  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  HWND CreateFromClass(ATOM atom, WNDPROC superProc, HWND parent, const RECT* rect,
                       const wchar_t* name, DWORD style, DWORD exStyle, UINT_PTR idOrMenu,
                       void* param);

  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;
  bool m_subclassed = false;

 private:
  void Unbind(HWND hWnd);
};

template <class TBase>
bool CWindowImplBaseT<TBase>::SubclassWindow(HWND hWnd) {
  if (this->m_hWnd || !::IsWindow(hWnd) || ::GetWindowLongPtrW(hWnd, GWLP_USERDATA) != 0) return false;
  this->m_hWnd = hWnd;
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_pfnSuperWindowProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
  m_subclassed = true;
  return true;
}

template <class TBase>
HWND CWindowImplBaseT<TBase>::UnsubclassWindow() {
  if (!m_subclassed || !this->m_hWnd) return nullptr;
  HWND hWnd = this->m_hWnd;
  Unbind(hWnd);
  return hWnd;
}

template <class TBase>
void CWindowImplBaseT<TBase>::Unbind(HWND hWnd) {
  if (m_subclassed) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
    m_subclassed = false;
  }
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
  m_pfnSuperWindowProc = ::DefWindowProcW;
  this->m_hWnd = nullptr;
}

template <class TBase>
HWND CWindowImplBaseT<TBase>::CreateFromClass(ATOM atom, WNDPROC superProc, HWND parent,
                                              const RECT* rect, const wchar_t* name, DWORD style,
                                              DWORD exStyle, UINT_PTR idOrMenu, void* param) {
  if (atom == 0 || this->m_hWnd) return nullptr;
  m_pfnSuperWindowProc = superProc ? superProc : ::DefWindowProcW;
  const RECT none{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
  const bool defaults = rect == nullptr;
  const RECT& r = defaults ? none : *rect;
  framework_detail::SetCreatingObject(this);
  HWND hWnd = ::CreateWindowExW(
      exStyle, MAKEINTATOM(atom), name ? name : L"", style, r.left, r.top,
      defaults ? CW_USEDEFAULT : r.right - r.left, defaults ? CW_USEDEFAULT : r.bottom - r.top,
      parent, reinterpret_cast<HMENU>(idOrMenu), GetAppModule().GetModuleInstance(), param);
  // Creation that failed before any message leaves the object unclaimed.
  framework_detail::SetCreatingObject(nullptr);
  return hWnd;
}

template <class TBase>
LRESULT CALLBACK CWindowImplBaseT<TBase>::WindowProc(HWND hWnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  auto* self = reinterpret_cast<CWindowImplBaseT*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (!self) {
    self = static_cast<CWindowImplBaseT*>(framework_detail::TakeCreatingObject());
    if (!self) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    self->m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  LRESULT result = 0;
  if (message == WM_NOTIFY && LetControlAnswer(lParam, result)) return result;
  if (!self->ProcessWindowMessage(hWnd, message, wParam, lParam, result))
    result = self->DefWindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->Unbind(hWnd);
    self->OnFinalMessage(hWnd);
  }
  return result;
}

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info;
    return info;
  }

  // style 0 / exStyle 0 take the traits' defaults. idOrMenu: the child id or
  // the menu handle. Null on failure.
  HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* name = nullptr,
              DWORD style = 0, DWORD exStyle = 0, UINT_PTR idOrMenu = 0, void* param = nullptr) {
    CWndClassInfo& info = T::GetWndClassInfo();
    const ATOM atom =
        framework_detail::RegisterWndClass(info, &CWindowImplBaseT<TBase>::WindowProc);
    return this->CreateFromClass(atom, info.superProc, parent, rect, name,
                                 TWinTraits::GetWndStyle(style), TWinTraits::GetWndExStyle(exStyle),
                                 idOrMenu, param);
  }
};
