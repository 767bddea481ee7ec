#include "host/win32/event_tables.h"

#include "resources/resource.h"

namespace tenrek::host {
namespace {

// Parameter kinds of the host: actions and conditions.
constexpr int16_t kString = 45;
constexpr int16_t kNumber = 22;
constexpr int16_t kFileName = 40;
// Expressions.
constexpr int16_t kExpString = 3;
constexpr int16_t kExpInteger = 1;
// Expression result flags.
constexpr int16_t kIntResult = 0;
constexpr int16_t kStringResult = 1;
constexpr int16_t kFloatResult = 2;

// clang-format off
constexpr int16_t kConditions[] = {
  26000, 6000, 0, 0x0220, 0,
  26001, 6001, 1, 0, 0,
  26002, 6002, 2, 0, 0,
  26003, 6003, 3, 0, 1, kString, IDS_TITLE_VARIABLE,
};

constexpr int16_t kActions[] = {
  25000, 5000, 0, 0, 1, kString, IDS_TITLE_PROGRAM_TEXT,
  25001, 5001, 1, 0, 0,
  25002, 5002, 2, 0, 1, kNumber, IDS_TITLE_FROM_LINE,
  25003, 5003, 3, 0, 2, kString, kNumber, IDS_TITLE_INT_NAME, IDS_TITLE_INT_VALUE,
  25004, 5004, 4, 0, 2, kString, kString, IDS_TITLE_STR_NAME, IDS_TITLE_STR_VALUE,
  25005, 5005, 5, 0, 0,
  25006, 5006, 6, 0, 0,
  25007, 5007, 7, 0, 1, kString, IDS_TITLE_COMMAND,
  25008, 5008, 8, 0, 1, kFileName, 0,  // titled by its menu item
  25009, 5009, 9, 0, 0,
  25010, 5010, 10, 0, 2, kString, kNumber, IDS_TITLE_FLOAT_NAME, IDS_TITLE_FLOAT_VALUE,
  25011, 5011, 11, 0, 0,
  25012, 5012, 12, 0, 1, kNumber, IDS_TITLE_FROM_LINE,
};

constexpr int16_t kExpressions[] = {
  27000, 7000, 0, kIntResult, 1, kExpString, IDS_TITLE_VARIABLE,
  27001, 7001, 1, kFloatResult, 1, kExpString, IDS_TITLE_VARIABLE,
  27002, 7002, 2, kStringResult, 1, kExpString, IDS_TITLE_VARIABLE,
  27003, 7003, 3, kIntResult, 0,
  27004, 7004, 4, kStringResult, 0,
  27005, 7005, 5, kIntResult, 1, kExpInteger, IDS_TITLE_EXP_FROM_LINE,
  27006, 7006, 6, kFloatResult, 1, kExpInteger, IDS_TITLE_EXP_FROM_LINE,
  27007, 7007, 7, kStringResult, 1, kExpInteger, IDS_TITLE_EXP_FROM_LINE,
};
// clang-format on

constexpr EventTable kConditionTable{kConditions, 4, IDM_CONDITIONS};
constexpr EventTable kActionTable{kActions, 13, IDM_ACTIONS};
constexpr EventTable kExpressionTable{kExpressions, 8, IDM_EXPRESSIONS};

const int16_t* NextEntry(const int16_t* entry) { return entry + 5 + 2 * entry[4]; }

}  // namespace

const EventTable& ConditionTable() { return kConditionTable; }
const EventTable& ActionTable() { return kActionTable; }
const EventTable& ExpressionTable() { return kExpressionTable; }

EventEntry FindEntryByCode(const EventTable& table, int code) {
  const int16_t* entry = table.entries;
  for (int i = 0; i < table.count; ++i, entry = NextEntry(entry)) {
    if (entry[2] == code) return EventEntry{entry};
  }
  return EventEntry{};
}

EventEntry FindEntryByMenuId(const EventTable& table, int menuId) {
  const int16_t* entry = table.entries;
  for (int i = 0; i < table.count; ++i, entry = NextEntry(entry)) {
    if (entry[0] == menuId) return EventEntry{entry};
  }
  return EventEntry{};
}

}  // namespace tenrek::host
