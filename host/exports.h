// The run-time exports of the module, as the host looks them up. The same
// functions become the DLL's exports on Windows (host/win32 supplies
// DllMain and the .def file naming them); the native `tenrek host` runner
// calls them directly.
#pragma once

#include <cstdint>

#include "host/host_api.h"

extern "C" {

// ---- run-time object ----
int32_t TENREK_STDCALL GetRunObjectDataSize(tenrek::host::RunHost* host,
                                            tenrek::host::EditData* data);
int32_t TENREK_STDCALL CreateRunObject(tenrek::host::RunData* run, tenrek::host::EditData* data,
                                       void* createParameters);
int32_t TENREK_STDCALL DestroyRunObject(tenrek::host::RunData* run, int32_t fast);
int32_t TENREK_STDCALL GetRunObjectInfos(tenrek::host::EditHost* host,
                                         tenrek::host::RunObjectInfos* infos);
intptr_t TENREK_STDCALL OnWindowMessage(tenrek::host::RunHost* host, tenrek::WindowHandle window,
                                        uint32_t message, uintptr_t wParam, intptr_t lParam);

// No per-frame work, nothing drawn, nothing saved: these do nothing.
int32_t TENREK_STDCALL HandleRunObject(tenrek::host::RunData* run);
int32_t TENREK_STDCALL DisplayRunObject(tenrek::host::RunData* run);
int32_t TENREK_STDCALL PauseRunObject(tenrek::host::RunData* run);
int32_t TENREK_STDCALL ContinueRunObject(tenrek::host::RunData* run);
int32_t TENREK_STDCALL SaveRunObject(tenrek::host::RunData* run, void* file);  // 1
int32_t TENREK_STDCALL LoadRunObject(tenrek::host::RunData* run, void* file);  // 1
void TENREK_STDCALL StartApp(void* host, void* application);
void TENREK_STDCALL EndApp(void* host, void* application);
void TENREK_STDCALL StartFrame(void* host, uint32_t reserved, int32_t frame);
void TENREK_STDCALL EndFrame(void* host, uint32_t reserved, int32_t frame);

// The debugger shows no items: the list holds only the end marker 0xFFFF.
const uint16_t* TENREK_STDCALL GetDebugTree(tenrek::host::RunData* run);
void TENREK_STDCALL GetDebugItem(char* buffer, tenrek::host::RunData* run, int32_t id);
void TENREK_STDCALL EditDebugItem(tenrek::host::RunData* run, int32_t id);

// ---- module load and unload: register / unregister "BasicClass" ----
int32_t TENREK_STDCALL Initialize(tenrek::host::EditHost* host, int32_t quiet);
int32_t TENREK_STDCALL Free(tenrek::host::EditHost* host);

// ---- for test hosts ----
// The setup dialog's Renum button applied to an edit-box text held in
// `text` (a zero-terminated buffer of `capacity` bytes, 32768 in the
// dialog): renumbers it in place, or shows the error box and leaves it.
void TENREK_STDCALL RenumberEditText(char* text, int32_t capacity);

}  // extern "C"
