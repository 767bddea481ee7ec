// Popup menus and titles taken from the module's menu resources.
#pragma once

#include "platform/win32/windows_include.h"

namespace tenrek::host {

// A new popup menu holding a copy of the first submenu of menu resource
// `menuId`, or null when the resource, its submenu or the popup is missing.
// The caller (the host) owns the result.
HMENU LoadPopupMenu(HINSTANCE module, int menuId);

// Copies the text of the item with command id `commandId` of menu resource
// `menuId` into `buffer`. Returns the number of characters copied, 0 when
// the menu or the item is missing.
int CopyMenuItemText(HINSTANCE module, int menuId, int commandId, char* buffer, int size);

}  // namespace tenrek::host
