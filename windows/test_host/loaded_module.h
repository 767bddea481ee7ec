// Tenrek.mfx loaded with LoadLibraryA, every export found with
// GetProcAddress, as the authoring host does.
#pragma once

#include <map>
#include <string>

#include "platform/win32/windows_include.h"

namespace tenrek::testhost {

class LoadedModule {
 public:
  LoadedModule() = default;
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loads the module and looks up every export of the complete list.
  // False with Problem() set when the file cannot be loaded or an export is
  // missing.
  bool Load(const std::string& path);
  const std::string& Problem() const { return problem_; }

  HMODULE Handle() const { return module_; }

  // The export's address; the list was checked by Load, so it exists.
  template <typename Function>
  Function Get(const char* name) const {
    return reinterpret_cast<Function>(exports_.at(name));
  }

  // Points the module's import of `function` from `dll` at `replacement`.
  // Returns the address it held before, or null when the module does not
  // import it.
  void* RedirectImport(const char* dll, const char* function, void* replacement);

 private:
  HMODULE module_ = nullptr;
  std::map<std::string, void*> exports_;
  std::string problem_;
};

// The names of every export the module must offer, in order.
extern const char* const kExportNames[];
extern const std::size_t kExportCount;

}  // namespace tenrek::testhost
