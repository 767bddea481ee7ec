// The event editor's exports: the popup menus of conditions, actions and
// expressions, the codes behind their items, the display strings of event
// lines, and the titles of parameters.
#include "host/module.h"
#include "host/win32/edit_exports.h"
#include "host/win32/event_tables.h"
#include "host/win32/popup_menus.h"

namespace tenrek::host {
namespace {

HINSTANCE Instance() { return static_cast<HINSTANCE>(Module().instance); }

HMENU MenuFor(EditHost* host, const EventTable& table) {
  if (!IsHostCompatible(host)) return nullptr;
  return LoadPopupMenu(Instance(), table.menuResource);
}

int16_t CodeFromMenu(const EventTable& table, int32_t menuId) {
  const EventEntry entry = FindEntryByMenuId(table, menuId);
  return entry ? entry.Code() : -1;
}

// The host hands its buffer size as a 16-bit count; a count that comes
// out as 0 would make LoadStringA write a pointer instead of text.
int BufferCount(int32_t size) { return static_cast<uint16_t>(size); }

void DisplayString(EditHost* host, const EventTable& table, int32_t code, char* buffer,
                   int32_t size) {
  if (!IsHostCompatible(host) || buffer == nullptr) return;
  const EventEntry entry = FindEntryByCode(table, code);
  const int count = BufferCount(size);
  if (entry && count > 0) LoadStringA(Instance(), entry.StringId(), buffer, count);
}

// Writes the empty text, when the buffer has room for it.
int32_t EmptyTitle(char* buffer, int32_t size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  return 0;
}

// The parameter's title string; a title id of 0 means the text of the
// entry's menu item ("Load from file"). A parameter the entry does not
// have gets the empty title.
int32_t Title(const EventTable& table, int32_t code, int32_t parameter, char* buffer,
              int32_t size) {
  const EventEntry entry = FindEntryByCode(table, code);
  if (!entry || buffer == nullptr || size <= 0 || parameter < 0 ||
      parameter >= entry.ParameterCount()) {
    return EmptyTitle(buffer, size);
  }
  const int16_t titleId = entry.TitleId(parameter);
  if (titleId != 0) return LoadStringA(Instance(), static_cast<UINT>(titleId), buffer, size);
  return CopyMenuItemText(Instance(), table.menuResource, entry.MenuId(), buffer, size);
}

}  // namespace
}  // namespace tenrek::host

using namespace tenrek::host;

extern "C" {

HMENU TENREK_STDCALL GetConditionMenu(EditHost* host, void*, EditData*) {
  return MenuFor(host, ConditionTable());
}
HMENU TENREK_STDCALL GetActionMenu(EditHost* host, void*, EditData*) {
  return MenuFor(host, ActionTable());
}
HMENU TENREK_STDCALL GetExpressionMenu(EditHost* host, void*, EditData*) {
  return MenuFor(host, ExpressionTable());
}

int16_t TENREK_STDCALL GetConditionCodeFromMenu(EditHost*, int32_t menuId) {
  return CodeFromMenu(ConditionTable(), menuId);
}
int16_t TENREK_STDCALL GetActionCodeFromMenu(EditHost*, int32_t menuId) {
  return CodeFromMenu(ActionTable(), menuId);
}
int16_t TENREK_STDCALL GetExpressionCodeFromMenu(EditHost*, int32_t menuId) {
  return CodeFromMenu(ExpressionTable(), menuId);
}

const int16_t* TENREK_STDCALL GetConditionInfos(EditHost*, int32_t code) {
  const EventEntry entry = FindEntryByCode(ConditionTable(), code);
  return entry ? entry.CodeField() : nullptr;
}
const int16_t* TENREK_STDCALL GetActionInfos(EditHost*, int32_t code) {
  const EventEntry entry = FindEntryByCode(ActionTable(), code);
  return entry ? entry.CodeField() : nullptr;
}
const int16_t* TENREK_STDCALL GetExpressionInfos(EditHost*, int32_t code) {
  const EventEntry entry = FindEntryByCode(ExpressionTable(), code);
  return entry ? entry.CodeField() : nullptr;
}

void TENREK_STDCALL GetConditionString(EditHost* host, int32_t code, char* buffer, int32_t size) {
  DisplayString(host, ConditionTable(), code, buffer, size);
}
void TENREK_STDCALL GetActionString(EditHost* host, int32_t code, char* buffer, int32_t size) {
  DisplayString(host, ActionTable(), code, buffer, size);
}
void TENREK_STDCALL GetExpressionString(EditHost* host, int32_t code, char* buffer, int32_t size) {
  DisplayString(host, ExpressionTable(), code, buffer, size);
}

int32_t TENREK_STDCALL GetConditionTitle(EditHost*, int32_t code, int32_t parameter, char* buffer,
                                         int32_t size) {
  return Title(ConditionTable(), code, parameter, buffer, size);
}
int32_t TENREK_STDCALL GetActionTitle(EditHost*, int32_t code, int32_t parameter, char* buffer,
                                      int32_t size) {
  return Title(ActionTable(), code, parameter, buffer, size);
}
int32_t TENREK_STDCALL GetExpressionTitle(EditHost*, int32_t code, char* buffer, int32_t size) {
  return Title(ExpressionTable(), code, 0, buffer, size);
}

// Only the title string: a parameter titled by its menu item gets the
// empty text here.
int32_t TENREK_STDCALL GetExpressionParam(EditHost*, int32_t code, int32_t parameter, char* buffer,
                                          int32_t size) {
  const EventEntry entry = FindEntryByCode(ExpressionTable(), code);
  if (!entry || buffer == nullptr || size <= 0 || parameter < 0 ||
      parameter >= entry.ParameterCount() || entry.TitleId(parameter) == 0) {
    return EmptyTitle(buffer, size);
  }
  return LoadStringA(static_cast<HINSTANCE>(Module().instance),
                     static_cast<UINT>(entry.TitleId(parameter)), buffer, size);
}

void TENREK_STDCALL GetParameterString(void*, int16_t, int16_t, char*, int16_t) {}
void TENREK_STDCALL InitParameter(void*, int16_t, void*) {}
void TENREK_STDCALL EditParameter(void*, int16_t, void*) {}

}  // extern "C"
