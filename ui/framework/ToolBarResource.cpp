#include "ui/framework/ToolBarResource.h"

namespace {

// Two layouts exist: the resource compiler's (WORDs: version 1, width,
// height, count, then one WORD per item) and binutils windres's (DWORDs:
// width, height, count, then one DWORD per item, no version).
template <class Field>
bool ParseToolBar(const BYTE* data, DWORD size, int headerFields, CToolBarResource& bar) {
  const DWORD header = headerFields * sizeof(Field);
  if (size < header) return false;
  const auto* fields = reinterpret_cast<const Field*>(data);
  const Field* sizes = fields + headerFields - 3;
  const DWORD count = sizes[2];
  if (size != header + count * sizeof(Field)) return false;
  bar.imageWidth = static_cast<int>(sizes[0]);
  bar.imageHeight = static_cast<int>(sizes[1]);
  for (DWORD i = 0; i < count; ++i) bar.commands.push_back(static_cast<WORD>(fields[headerFields + i]));
  return true;
}

constexpr WORD kToolBarVersion = 1;

}  // namespace

bool CToolBarResource::Load(HINSTANCE instance, UINT resourceId) {
  commands.clear();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(241));
  if (!found) return false;
  const DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!data || size < 2 * sizeof(WORD)) return false;
  if (*reinterpret_cast<const WORD*>(data) == kToolBarVersion && ParseToolBar<WORD>(data, size, 4, *this))
    return true;
  commands.clear();
  return ParseToolBar<DWORD>(data, size, 3, *this);
}

int CToolBarResource::ImageOf(UINT command) const {
  int image = 0;
  for (WORD item : commands) {
    if (item == 0) continue;
    if (item == command) return image;
    ++image;
  }
  return -1;
}

HIMAGELIST CreateToolBarImageList(HINSTANCE instance, UINT resourceId, const CToolBarResource& bar) {
  constexpr COLORREF kTransparent = RGB(192, 192, 192);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return nullptr;
  HIMAGELIST images = ImageList_Create(bar.imageWidth, bar.imageHeight, ILC_COLOR24 | ILC_MASK, 8, 4);
  if (images && ImageList_AddMasked(images, bitmap, kTransparent) < 0) {
    ImageList_Destroy(images);
    images = nullptr;
  }
  DeleteObject(bitmap);
  return images;
}
