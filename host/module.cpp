#include "host/module.h"

namespace tenrek::host {

HostModule& Module() {
  static HostModule module;
  return module;
}

HostModule InstallHostModule(ModuleHandle instance, Platform* platform, WindowSystem* windows) {
  HostModule previous = Module();
  Module() = HostModule{instance, ClassState::NotRegistered, platform, windows};
  return previous;
}

}  // namespace tenrek::host
