// The description tables of the event editor: one entry per condition,
// action and expression, laid out as the host reads them. Every field is a
// signed 16-bit word; an entry with n parameters is 5 + 2n words:
//   menu id, display string id, code, flags, n, n kinds, n title ids.
// The host is handed a pointer to the code field of an entry.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tenrek::host {

struct EventTable {
  const int16_t* entries;  // the first entry's menu id
  int count;               // number of entries
  int menuResource;        // the popup menu listing them
};

// A view of one entry.
struct EventEntry {
  const int16_t* words = nullptr;  // null when not found

  explicit operator bool() const { return words != nullptr; }
  int16_t MenuId() const { return words[0]; }
  int16_t StringId() const { return words[1]; }
  int16_t Code() const { return words[2]; }
  int16_t Flags() const { return words[3]; }
  int16_t ParameterCount() const { return words[4]; }
  int16_t ParameterKind(int index) const { return words[5 + index]; }
  int16_t TitleId(int index) const { return words[5 + ParameterCount() + index]; }
  const int16_t* CodeField() const { return words + 2; }
};

const EventTable& ConditionTable();
const EventTable& ActionTable();
const EventTable& ExpressionTable();

// Walks the table from its first entry until the code matches. The host
// only asks for codes the table holds; a missing code gives an empty view
// instead of walking off the end.
EventEntry FindEntryByCode(const EventTable& table, int code);
// Gives up after the table's entry count.
EventEntry FindEntryByMenuId(const EventTable& table, int menuId);

}  // namespace tenrek::host
