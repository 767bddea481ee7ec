// Searching and comparing texts: FindFrom, FindOccurrence (OCCUR, ATC) and
// CompareNoCase (the host's tag test).
#include <cstddef>

#include "eval/string_search.h"
#include "text/characters.h"

namespace tenrek {
namespace {

// The first character of t must match exactly, with case; the others
// match without regard to case.
bool MatchesAt(std::string_view s, std::string_view t, std::size_t pos) {
  if (s[pos] != t[0]) return false;
  for (std::size_t i = 1; i < t.size(); ++i) {
    if (UpperAscii(s[pos + i]) != UpperAscii(t[i])) return false;
  }
  return true;
}

}  // namespace

int32_t FindFrom(std::string_view s, std::string_view t, int32_t start) {
  if (start < 1 || t.empty() || t.size() > s.size()) return 0;
  for (std::size_t pos = static_cast<std::size_t>(start) - 1; pos + t.size() <= s.size(); ++pos) {
    if (MatchesAt(s, t, pos)) return static_cast<int32_t>(pos + 1);
  }
  return 0;
}

int32_t FindOccurrence(std::string_view s, std::string_view t, int32_t n) {
  if (n < 1 || t.empty() || t.size() > s.size()) return 0;
  int32_t seen = 0;
  for (std::size_t pos = 0; pos + t.size() <= s.size(); ++pos) {
    if (MatchesAt(s, t, pos) && ++seen == n) return static_cast<int32_t>(pos + 1);
  }
  return 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = UpperAscii(a[i]);
    const unsigned char y = UpperAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace tenrek
