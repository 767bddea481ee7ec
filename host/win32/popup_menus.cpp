#include "host/win32/popup_menus.h"

#include <cstring>

namespace tenrek::host {
namespace {

constexpr int kItemTextSize = 80;

// Appends every item of `source` to `target`, position by position:
// separators as separators, submenus as new popups filled recursively,
// commands with their text and state flags.
void CopyMenuInto(HMENU source, HMENU target, char* text) {
  const int count = GetMenuItemCount(source);
  for (int position = 0; position < count; ++position) {
    const UINT id = GetMenuItemID(source, position);
    if (id == 0) {
      AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::memset(text, 0, kItemTextSize);
    GetMenuStringA(source, position, text, kItemTextSize, MF_BYPOSITION);
    if (id == static_cast<UINT>(-1)) {
      HMENU popup = CreatePopupMenu();
      if (popup == nullptr) continue;
      AppendMenuA(target, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
      CopyMenuInto(GetSubMenu(source, position), popup, text);
    } else {
      const UINT state = GetMenuState(source, position, MF_BYPOSITION);
      AppendMenuA(target, state & ~(MF_POPUP | MF_SEPARATOR), id, text);
    }
  }
}

}  // namespace

HMENU LoadPopupMenu(HINSTANCE module, int menuId) {
  HMENU loaded = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
  if (loaded == nullptr) return nullptr;
  HMENU popup = nullptr;
  HMENU first = GetSubMenu(loaded, 0);
  if (first != nullptr) {
    popup = CreatePopupMenu();
    if (popup != nullptr) {
      HLOCAL text = LocalAlloc(LPTR, kItemTextSize);
      if (text != nullptr) {
        CopyMenuInto(first, popup, static_cast<char*>(text));
        LocalFree(text);
      }
    }
  }
  DestroyMenu(loaded);
  return popup;
}

int CopyMenuItemText(HINSTANCE module, int menuId, int commandId, char* buffer, int size) {
  HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
  if (menu == nullptr) return 0;
  const int copied = GetMenuStringA(menu, commandId, buffer, size, MF_BYCOMMAND);
  DestroyMenu(menu);
  return copied;
}

}  // namespace tenrek::host
