#include "windows/test_host/editor_host.h"

#include <algorithm>
#include <cstring>

#include "host/edit_data.h"

namespace tenrek::testhost {

EditorHost::EditorHost(HWND editorWindow, host::VersionQuery version) {
  record_.api.versionQuery = version;
  record_.api.serviceCall = Service;
  record_.api.editorWindow = editorWindow;
  record_.self = this;
}

void EditorHost::Allocate(std::size_t size) {
  const std::size_t units = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
  storage_.assign(units, std::max_align_t{});
  std::memset(storage_.data(), 0, units * sizeof(std::max_align_t));
  size_ = size;
}

void EditorHost::NewData() { Allocate(host::kEditDataFixedSize); }

void EditorHost::SetData(std::string_view text, bool encrypted) {
  host::EditDataRecord record(text, encrypted);
  Allocate(record.size());
  std::memcpy(storage_.data(), record.get(), record.size());
}

host::EditData* EditorHost::Data() {
  return size_ != 0 ? reinterpret_cast<host::EditData*>(storage_.data()) : nullptr;
}

// The host copies the record into a new one of the asked size (the bytes
// beyond the old size are zero) and hands that back.
intptr_t EditorHost::Resize(host::EditData* data, intptr_t size) {
  if (!allowResize_ || data != Data() || size < host::kEditDataFixedSize) return 0;
  std::vector<std::max_align_t> old = std::move(storage_);
  const std::size_t oldSize = size_;
  Allocate(static_cast<std::size_t>(size));
  std::memcpy(storage_.data(), old.data(), std::min(oldSize, size_));
  return reinterpret_cast<intptr_t>(Data());
}

intptr_t TENREK_STDCALL EditorHost::Service(host::EditHost* host, int32_t request, intptr_t a,
                                            intptr_t b, intptr_t) {
  EditorHost* self = reinterpret_cast<HostRecord*>(host)->self;
  switch (request) {
    case host::kServiceResizeEditData: return self->Resize(reinterpret_cast<host::EditData*>(a), b);
    case host::kServiceAddProperties: ++self->propertyLists_; return 0;
    default: return 0;
  }
}

}  // namespace tenrek::testhost
