#include "host/edit_data.h"

#include <cstring>

#include "host/scramble.h"

namespace tenrek::host {

EditDataRecord::EditDataRecord(std::string_view text, bool encrypted)
    : size_(text.size() + kEditDataFixedSize) {
  storage_.resize((size_ + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t));
  std::memset(storage_.data(), 0, storage_.size() * sizeof(std::max_align_t));
  EditData* data = get();
  data->word24 = 32;
  data->word26 = 32;
  data->textLength = static_cast<int32_t>(text.size());
  data->encrypted = encrypted ? 1 : 0;
  char* stored = EditDataText(data);
  std::memcpy(stored, text.data(), text.size());
  if (encrypted) ScrambleBlock(kPassPhrase, stored, text.size());
}

}  // namespace tenrek::host
