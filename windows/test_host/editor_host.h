// The authoring host's editor as the module sees it: an EditHost record
// with the version query and the service call, and the object data it
// keeps for one object (resized on the module's request, as the host's
// application file would).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host/host_api.h"
#include "platform/win32/windows_include.h"

namespace tenrek::testhost {

// A host that passes the module's compatibility test: build 249, version 2.0.
inline constexpr uint32_t kCompatibleHostVersion = 0x02000000u | 249u;

class EditorHost {
 public:
  // `version` answers the version query (a function without arguments, as
  // the host offers it).
  EditorHost(HWND editorWindow, host::VersionQuery version);
  EditorHost(const EditorHost&) = delete;
  EditorHost& operator=(const EditorHost&) = delete;

  host::EditHost* Record() { return &record_.api; }

  // A zeroed record of the fixed 40 bytes, as the host hands to CreateObject.
  void NewData();
  // The record as the setup dialog stores TEXT (scrambled with the flag
  // set when `encrypted`).
  void SetData(std::string_view text, bool encrypted);
  host::EditData* Data();
  std::size_t DataSize() const { return size_; }
  bool HasData() const { return size_ != 0; }

  // Whether the service grants a resize (the host may refuse).
  void AllowResize(bool allow) { allowResize_ = allow; }
  // Property lists added through the service.
  int PropertyListsAdded() const { return propertyLists_; }

 private:
  struct HostRecord {
    host::EditHost api;
    EditorHost* self;
  };

  static intptr_t TENREK_STDCALL Service(host::EditHost* host, int32_t request, intptr_t a,
                                         intptr_t b, intptr_t c);
  intptr_t Resize(host::EditData* data, intptr_t size);
  void Allocate(std::size_t size);

  HostRecord record_{};
  std::vector<std::max_align_t> storage_;
  std::size_t size_ = 0;
  bool allowResize_ = true;
  int propertyLists_ = 0;
};

}  // namespace tenrek::testhost
