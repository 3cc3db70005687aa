#pragma once
// A toolbar resource (RT_TOOLBAR): the button image size and the command of
// each button in order, 0 for a separator. The images are the bitmap of the
// same number, one image per non-separator button, left to right.
#include <windows.h>

#include <commctrl.h>

#include <vector>

struct CToolBarResource {
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<WORD> commands;  // 0 = separator

  // False when the module has no such toolbar or its data is malformed.
  bool Load(HINSTANCE instance, UINT resourceId);
  // The image index of a command, -1 when the toolbar has no such button.
  int ImageOf(UINT command) const;
};

// The images of bitmap resourceId cut at the toolbar's image size, with
// RGB(192, 192, 192) transparent. Null on failure; the caller owns the list.
HIMAGELIST CreateToolBarImageList(HINSTANCE instance, UINT resourceId, const CToolBarResource& bar);
