#include "windows/test_host/loaded_module.h"

#include <cstring>

namespace tenrek::testhost {

const char* const kExportNames[] = {
#include "export_names.inc"
};
const std::size_t kExportCount = sizeof kExportNames / sizeof kExportNames[0];

LoadedModule::~LoadedModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool LoadedModule::Load(const std::string& path) {
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    problem_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  for (std::size_t i = 0; i < kExportCount; ++i) {
    FARPROC address = GetProcAddress(module_, kExportNames[i]);
    if (address == nullptr) {
      problem_ = path + " does not export " + kExportNames[i];
      return false;
    }
    exports_[kExportNames[i]] = reinterpret_cast<void*>(address);
  }
  return true;
}

namespace {

// The module's import address table slot for dll!function, or null.
ULONG_PTR* FindImportSlot(HMODULE module, const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; descriptor->Name != 0; ++descriptor) {
    if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
    const DWORD namesRva = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                               : descriptor->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesRva);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

}  // namespace

void* LoadedModule::RedirectImport(const char* dll, const char* function, void* replacement) {
  ULONG_PTR* slot = FindImportSlot(module_, dll, function);
  if (slot == nullptr) return nullptr;
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return nullptr;
  void* previous = reinterpret_cast<void*>(*slot);
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return previous;
}

}  // namespace tenrek::testhost
