// An EditData record as the setup dialog stores it: the header words of a
// new object, the text at offset 36 with its terminator, L + 40 bytes in
// all, the text scrambled and the flag set when encryption is chosen.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "host/host_api.h"

namespace tenrek::host {

class EditDataRecord {
 public:
  EditDataRecord(std::string_view text, bool encrypted);

  EditData* get() { return reinterpret_cast<EditData*>(storage_.data()); }
  std::size_t size() const { return size_; }

 private:
  std::vector<std::max_align_t> storage_;
  std::size_t size_ = 0;
};

}  // namespace tenrek::host
