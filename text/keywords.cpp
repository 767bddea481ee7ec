#include "text/keywords.h"

#include <array>
#include <cctype>
#include <string>
#include <unordered_map>

namespace tenrek {
namespace {

// One row per token kind, in code order. `spelling` is the upper-case
// keyword the tokenizer matches (its all-lower-case form matches too);
// kinds without a keyword have none. `listing` is what the listers write.
struct KindRow {
  TokenKind kind;
  const char* spelling;
  const char* listing;
};

constexpr std::array<KindRow, kTokenKindCount> kKinds = {{
#define TENREK_KIND_ROW(name, spelling, listing) {TokenKind::name, spelling, listing},
    TENREK_TOKEN_KINDS(TENREK_KIND_ROW)
#undef TENREK_KIND_ROW
}};

constexpr bool RowsAreInCodeOrder() {
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowsAreInCodeOrder(), "keyword rows must follow the token codes");

std::string Lowered(const char* text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Every accepted spelling: each keyword in upper and in lower case, plus
// "quit" for BYE. ("?" for PRINT is a single character, handled by the
// tokenizer's character switch.)
std::unordered_map<std::string, TokenKind> BuildSpellings() {
  std::unordered_map<std::string, TokenKind> spellings;
  for (const KindRow& row : kKinds) {
    if (row.spelling == nullptr) continue;
    spellings.emplace(row.spelling, row.kind);
    spellings.emplace(Lowered(row.spelling), row.kind);
  }
  spellings.emplace("QUIT", TokenKind::Bye);
  spellings.emplace("quit", TokenKind::Bye);
  return spellings;
}

const KindRow* RowOf(TokenKind kind) {
  const auto code = static_cast<std::size_t>(kind);
  return code < kKinds.size() ? &kKinds[code] : nullptr;
}

}  // namespace

std::optional<TokenKind> LookupKeyword(std::string_view word) {
  static const std::unordered_map<std::string, TokenKind> spellings = BuildSpellings();
  auto found = spellings.find(std::string(word));
  if (found == spellings.end()) return std::nullopt;
  return found->second;
}

std::string_view ListingText(TokenKind kind) {
  const KindRow* row = RowOf(kind);
  return row != nullptr ? row->listing : "";
}

bool IsWordToken(TokenKind kind) {
  if (kind == TokenKind::Identifier || kind == TokenKind::Number) return true;
  const KindRow* row = RowOf(kind);
  if (row == nullptr || row->spelling == nullptr) return false;
  const std::string_view text = row->listing;
  return !(text.front() == ' ' && text.back() == ' ');
}

bool IsLeftSideWord(TokenKind kind) {
  const KindRow* row = RowOf(kind);
  if (row == nullptr || row->spelling == nullptr) return false;
  const std::string_view text = row->listing;
  return text.front() != ' ' && text.back() == ' ';
}

}  // namespace tenrek
