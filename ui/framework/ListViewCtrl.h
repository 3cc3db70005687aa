#pragma once
// CListViewCtrlT: the calls the program makes on a system list view, with
// texts in code page 1251. Unicode messages throughout (LVM_...W).
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/framework/Text1251.h"
#include "ui/framework/Window.h"

template <class TBase = CWindow>
class CListViewCtrlT : public TBase {
 public:
  CListViewCtrlT(HWND hWnd = nullptr) { this->m_hWnd = hWnd; }

  static const wchar_t* GetWndClassName() { return WC_LISTVIEWW; }

  // Format and header text only; the index of the new column or -1.
  int InsertColumn(int column, const char* header, int format = LVCFMT_LEFT) const {
    const std::wstring text = ui::Wide1251(header);
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = format;
    col.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(this->SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col)));
  }
  int GetColumnCount() const {
    HWND header = reinterpret_cast<HWND>(this->SendMessage(LVM_GETHEADER));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  }
  bool SetColumnWidth(int column, int width) const {
    return this->SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != FALSE;
  }
  int GetColumnWidth(int column) const {
    return static_cast<int>(this->SendMessage(LVM_GETCOLUMNWIDTH, column));
  }
  DWORD SetExtendedListViewStyle(DWORD exStyle, DWORD mask = 0) const {
    return static_cast<DWORD>(this->SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, exStyle));
  }
  DWORD GetExtendedListViewStyle() const {
    return static_cast<DWORD>(this->SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }

  bool DeleteAllItems() const { return this->SendMessage(LVM_DELETEALLITEMS) != FALSE; }
  int GetItemCount() const { return static_cast<int>(this->SendMessage(LVM_GETITEMCOUNT)); }
  // Reserves room for count rows, so that filling does not grow step by step.
  void SetItemCount(int count) const { this->SendMessage(LVM_SETITEMCOUNT, count); }
  // A row with its first cell's text; its index or -1.
  int InsertItem(int row, const char* text) const {
    const std::wstring wide = ui::Wide1251(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(wide.c_str());
    return static_cast<int>(this->SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  bool SetItemText(int row, int column, const char* text) const {
    return SetItemTextW(row, column, ui::Wide1251(text).c_str());
  }
  bool SetItemTextW(int row, int column, const wchar_t* text) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    return this->SendMessage(LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
  }
  // Up to size - 1 wide characters of a cell, terminated; gives the count.
  int GetItemTextW(int row, int column, wchar_t* buffer, int size) const {
    if (size <= 0) return 0;
    buffer[0] = L'\0';
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<int>(this->SendMessage(LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
  }
  std::string GetItemText(int row, int column) const {
    wchar_t buffer[512];
    GetItemTextW(row, column, buffer, 512);
    return ui::Narrow1251(buffer);
  }

  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(this->SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
  }
  bool SetItemState(int row, UINT state, UINT mask) const {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return this->SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
  }
};

using CListViewCtrl = CListViewCtrlT<CWindow>;
