// Placeholder: replaced by the built-in functions implementation.
#include "eval/functions.h"

#include <cstdio>

namespace tenrek {

Value EvaluateFunction(Interpreter&, StatementCursor&, TokenKind) { return {}; }
bool IsFunctionKind(TokenKind) { return false; }
std::string FormatNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}
int CompareNoCase(std::string_view a, std::string_view b) { return a == b ? 0 : 1; }
int32_t FindFrom(std::string_view, std::string_view, int32_t) { return 0; }
int32_t FindOccurrence(std::string_view, std::string_view, int32_t) { return 0; }
int32_t RandomBetween(RandomGenerator&, int32_t, int32_t) { return 0; }

}  // namespace tenrek
