// The binary operators' levels, shared by the evaluator's descent and the
// two translators that must read an expression exactly as it does.
#pragma once

#include <array>
#include <cstddef>

#include "interp/token.h"

namespace tenrek {

// The binary levels, lowest first; 0 for a token that is no binary operator.
enum Level : int { kNone = 0, kOr = 1, kAnd, kRelation, kSum, kProduct, kPower };

// Indexed by token kind: looking a level up costs no branches.
inline constexpr std::array<Level, kTokenKindCount> kLevels = [] {
  std::array<Level, kTokenKindCount> levels{};
  auto set = [&levels](TokenKind kind, Level level) { levels[static_cast<int>(kind)] = level; };
  set(TokenKind::Or, kOr);
  set(TokenKind::Xor, kOr);
  set(TokenKind::And, kAnd);
  for (TokenKind k : {TokenKind::Equal, TokenKind::Less, TokenKind::Greater, TokenKind::LessEqual,
                      TokenKind::GreaterEqual, TokenKind::NotEqual}) {
    set(k, kRelation);
  }
  set(TokenKind::Plus, kSum);
  set(TokenKind::Minus, kSum);
  set(TokenKind::Times, kProduct);
  set(TokenKind::Divide, kProduct);
  set(TokenKind::Mod, kProduct);
  set(TokenKind::Power, kPower);
  return levels;
}();

inline Level LevelOf(TokenKind kind) {
  const auto code = static_cast<std::size_t>(kind);
  return code < kLevels.size() ? kLevels[code] : kNone;
}

// The level of the token, or kNone past the end of the list.
inline Level LevelOf(const Token* t) { return t != nullptr ? LevelOf(t->kind) : kNone; }

// Whether a relation holds between two operands of the given order (-1,
// 0, 1); no relation holds between unordered ones (a NaN).
inline bool Compare(TokenKind op, int order, bool unordered) {
  if (unordered) return false;  // NaN: neither smaller, equal nor greater
  switch (op) {
    case TokenKind::Equal: return order == 0;
    case TokenKind::Less: return order < 0;
    case TokenKind::Greater: return order > 0;
    case TokenKind::LessEqual: return order <= 0;
    case TokenKind::GreaterEqual: return order >= 0;
    default: return order != 0;  // NotEqual
  }
}

}  // namespace tenrek
