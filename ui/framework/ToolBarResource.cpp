#include "ui/framework/ToolBarResource.h"

namespace {

// Layout of the resource data: four WORDs, then one WORD per item.
struct ToolBarHeader {
  WORD version;
  WORD width;
  WORD height;
  WORD itemCount;
};

constexpr WORD kToolBarVersion = 1;

}  // namespace

bool CToolBarResource::Load(HINSTANCE instance, UINT resourceId) {
  commands.clear();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(241));
  if (!found) return false;
  const DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* header = loaded ? static_cast<const ToolBarHeader*>(LockResource(loaded)) : nullptr;
  if (!header || size < sizeof(ToolBarHeader) || header->version != kToolBarVersion) return false;
  if (size < sizeof(ToolBarHeader) + header->itemCount * sizeof(WORD)) return false;
  imageWidth = header->width;
  imageHeight = header->height;
  const auto* items = reinterpret_cast<const WORD*>(header + 1);
  commands.assign(items, items + header->itemCount);
  return true;
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
