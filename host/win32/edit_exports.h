// The exports the host's editor calls: identifying, creating and editing
// the object (the setup dialog), and the event editor's menus, codes,
// display strings and parameter titles. Windows only: they reach the
// module's resources through USER32.
#pragma once

#include "platform/win32/windows_include.h"

#include <cstdint>

#include "host/host_api.h"

extern "C" {

// ---- the object ----
uint32_t TENREK_STDCALL GetInfos(int32_t info);
int32_t TENREK_STDCALL GetObjInfos(tenrek::host::EditHost* host, void* object, char* name,
                                   char* author, char* copyright, char* comment, char* web);
const char* TENREK_STDCALL GetHelpFileName();
int32_t TENREK_STDCALL CreateObject(tenrek::host::EditHost* host, tenrek::host::EditData* data,
                                    void* createParameters);
int32_t TENREK_STDCALL EditObject(tenrek::host::EditHost* host, void* objectInfo, void* levelObject,
                                  tenrek::host::EditData* data);
void TENREK_STDCALL GetObjectRect(tenrek::host::EditHost* host, RECT* rect, void* levelObject,
                                  tenrek::host::EditData* data);
int32_t TENREK_STDCALL GetProperties(tenrek::host::EditHost* host, tenrek::host::EditData* data,
                                     int32_t masterItem);
void* TENREK_STDCALL GetDependencies();

// ---- the event editor ----
HMENU TENREK_STDCALL GetConditionMenu(tenrek::host::EditHost* host, void* objectInfo,
                                      tenrek::host::EditData* data);
HMENU TENREK_STDCALL GetActionMenu(tenrek::host::EditHost* host, void* objectInfo,
                                   tenrek::host::EditData* data);
HMENU TENREK_STDCALL GetExpressionMenu(tenrek::host::EditHost* host, void* objectInfo,
                                       tenrek::host::EditData* data);
int16_t TENREK_STDCALL GetConditionCodeFromMenu(tenrek::host::EditHost* host, int32_t menuId);
int16_t TENREK_STDCALL GetActionCodeFromMenu(tenrek::host::EditHost* host, int32_t menuId);
int16_t TENREK_STDCALL GetExpressionCodeFromMenu(tenrek::host::EditHost* host, int32_t menuId);
const int16_t* TENREK_STDCALL GetConditionInfos(tenrek::host::EditHost* host, int32_t code);
const int16_t* TENREK_STDCALL GetActionInfos(tenrek::host::EditHost* host, int32_t code);
const int16_t* TENREK_STDCALL GetExpressionInfos(tenrek::host::EditHost* host, int32_t code);
void TENREK_STDCALL GetConditionString(tenrek::host::EditHost* host, int32_t code, char* buffer,
                                       int32_t size);
void TENREK_STDCALL GetActionString(tenrek::host::EditHost* host, int32_t code, char* buffer,
                                    int32_t size);
void TENREK_STDCALL GetExpressionString(tenrek::host::EditHost* host, int32_t code, char* buffer,
                                        int32_t size);
int32_t TENREK_STDCALL GetConditionTitle(tenrek::host::EditHost* host, int32_t code,
                                         int32_t parameter, char* buffer, int32_t size);
int32_t TENREK_STDCALL GetActionTitle(tenrek::host::EditHost* host, int32_t code, int32_t parameter,
                                      char* buffer, int32_t size);
int32_t TENREK_STDCALL GetExpressionTitle(tenrek::host::EditHost* host, int32_t code, char* buffer,
                                          int32_t size);
int32_t TENREK_STDCALL GetExpressionParam(tenrek::host::EditHost* host, int32_t code,
                                          int32_t parameter, char* buffer, int32_t size);

}  // extern "C"

namespace tenrek::host {

// The host's version word says build 249 or later (low 12 bits) and
// version 2.0 or later (high 16 bits). Asked anew on every test.
bool IsHostCompatible(const EditHost* host);

// The default program of a new object.
inline constexpr char kDefaultProgram[] = "10 rem *** Start yor programm here ***";

}  // namespace tenrek::host
