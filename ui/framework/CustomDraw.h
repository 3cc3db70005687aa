#pragma once
// CCustomDraw<T>: turns an NM_CUSTOMDRAW notification into calls of T's
// stage methods. T hides the ones it needs; each default asks for the
// control's own drawing (CDRF_DODEFAULT). T routes NM_CUSTOMDRAW to
// OnCustomDraw from its message map when it wants this.
#include <windows.h>

#include <commctrl.h>

template <class T>
class CCustomDraw {
 public:
  LRESULT OnCustomDraw(int /*idCtrl*/, NMHDR* header, bool& /*handled*/) {
    using Stage = DWORD (T::*)(NMCUSTOMDRAW*);
    struct Entry {
      DWORD stage;
      Stage method;
    };
    static constexpr Entry kStages[] = {
        {CDDS_PREPAINT, &T::OnPrePaint},         {CDDS_POSTPAINT, &T::OnPostPaint},
        {CDDS_PREERASE, &T::OnPreErase},         {CDDS_POSTERASE, &T::OnPostErase},
        {CDDS_ITEMPREPAINT, &T::OnItemPrePaint}, {CDDS_ITEMPOSTPAINT, &T::OnItemPostPaint},
        {CDDS_ITEMPREERASE, &T::OnItemPreErase}, {CDDS_ITEMPOSTERASE, &T::OnItemPostErase},
        {CDDS_ITEMPREPAINT | CDDS_SUBITEM, &T::OnSubItemPrePaint},
    };
    auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
    for (const Entry& entry : kStages) {
      if (entry.stage == draw->dwDrawStage) return (static_cast<T*>(this)->*entry.method)(draw);
    }
    return CDRF_DODEFAULT;
  }

  DWORD OnPrePaint(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnPostPaint(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnPreErase(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnPostErase(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnItemPrePaint(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnItemPostPaint(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnItemPreErase(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnItemPostErase(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
  DWORD OnSubItemPrePaint(NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
};
