// The RunHost record a simulated host hands the module. Each service is a
// trampoline with the host's calling convention that finds the `Host`
// object again from the RunHost pointer the module keeps in RunData, and
// calls the member of the same name:
//   void GenerateEvent(int32_t code);
//   char* TemporaryString(int32_t size);
//   intptr_t ExpressionParameter(int32_t kind, intptr_t first);
//   uint32_t FloatParameter();
//   void RegisterWindowProcedure(RunData* run, WindowProcedure procedure);
#pragma once

#include <cstdint>

#include "host/host_api.h"

namespace tenrek::host {

template <typename Host>
class RunHostRecord {
 public:
  RunHostRecord(Host& host, WindowHandle mainWindow, const char* windowPropertyName) {
    record_.api.mainWindow = mainWindow;
    record_.api.generateEvent = GenerateEvent;
    record_.api.temporaryString = TemporaryString;
    record_.api.expressionParameter = ExpressionParameter;
    record_.api.floatParameter = FloatParameter;
    record_.api.registerWindowProcedure = RegisterWindowProcedure;
    record_.api.windowPropertyName = windowPropertyName;
    record_.host = &host;
  }
  // The module keeps the address: the record stays where it is.
  RunHostRecord(const RunHostRecord&) = delete;
  RunHostRecord& operator=(const RunHostRecord&) = delete;

  RunHost* api() { return &record_.api; }

 private:
  // RunHost first, so that the RunHost pointer is the record's address.
  struct Record {
    RunHost api;
    Host* host = nullptr;
  };

  static Host& Of(RunData* run) { return *reinterpret_cast<Record*>(run->header.runHost)->host; }
  static void TENREK_STDCALL GenerateEvent(RunData* run, int32_t code, int32_t) {
    Of(run).GenerateEvent(code);
  }
  static char* TENREK_STDCALL TemporaryString(RunData* run, int32_t, int32_t size) {
    return Of(run).TemporaryString(size);
  }
  static intptr_t TENREK_STDCALL ExpressionParameter(RunData* run, int32_t kind, intptr_t first) {
    return Of(run).ExpressionParameter(kind, first);
  }
  static uint32_t TENREK_STDCALL FloatParameter(RunData* run, int32_t, int32_t) {
    return Of(run).FloatParameter();
  }
  static void TENREK_STDCALL RegisterWindowProcedure(RunData* run, int32_t,
                                                     WindowProcedure procedure) {
    Of(run).RegisterWindowProcedure(run, procedure);
  }

  Record record_;
};

}  // namespace tenrek::host
