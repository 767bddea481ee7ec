// Token kinds and tokens: the one representation of program text that the
// executor, the evaluator, the lister and RENUM all work on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interp/token_kinds.h"

namespace tenrek {

struct Variable;

// One kind per row of the kind list, numbered in its order.
enum class TokenKind : int16_t {
#define TENREK_KIND_ENUMERATOR(name, spelling, listing) name,
  TENREK_TOKEN_KINDS(TENREK_KIND_ENUMERATOR)
#undef TENREK_KIND_ENUMERATOR
};

#define TENREK_COUNT_KIND(name, spelling, listing) +1
inline constexpr int kTokenKindCount = 0 TENREK_TOKEN_KINDS(TENREK_COUNT_KIND);
#undef TENREK_COUNT_KIND

// Programs and listings store these codes: a row inserted in the middle of
// the list would renumber every kind after it.
static_assert(static_cast<int>(TokenKind::And) == 20 && static_cast<int>(TokenKind::Sqr) == 25);
static_assert(static_cast<int>(TokenKind::Rem) == 42 && static_cast<int>(TokenKind::Then) == 72);
static_assert(static_cast<int>(TokenKind::Random) == 76 &&
              static_cast<int>(TokenKind::Unassigned93) == 93);
static_assert(static_cast<int>(TokenKind::Fmem) == 95 && static_cast<int>(TokenKind::Crlf) == 101);
static_assert(static_cast<int>(TokenKind::Mmftag) == 102 &&
              static_cast<int>(TokenKind::Lmod) == 107);

// One lexical element. Only the member that belongs to the kind is used:
// `number` for Number, `variable` for Identifier (not owned), `character`
// for StrayChar, `text` for String and REM.
struct Token {
  TokenKind kind = TokenKind::StrayChar;
  char character = 0;
  double number = 0.0;
  Variable* variable = nullptr;
  std::string text;
};

using TokenList = std::vector<Token>;

}  // namespace tenrek
