// The executor's position within a token list, handed to every statement
// handler and every parsing routine.
#pragma once

#include <cstddef>

#include "interp/token.h"

namespace tenrek {

// Where a false IF goes on, from `pos` after its THEN: just after its own
// ELSE (nested IF ... ELSE pairs counted), or the end of the list. The
// IF handler and the compiler both go by it.
inline std::size_t AfterFalseBranch(const TokenList& tokens, std::size_t pos) {
  int depth = 0;
  for (; pos < tokens.size(); ++pos) {
    if (tokens[pos].kind == TokenKind::If) ++depth;
    if (tokens[pos].kind == TokenKind::Else && --depth < 0) return pos + 1;
  }
  return pos;
}

struct StatementCursor {
  const TokenList* list = nullptr;  // the line (or temporary list) being read
  std::size_t pos = 0;              // index of the current token
  bool jumped = false;              // a handler placed currentLine itself
  bool resumeAtCursor = false;      // the next statement starts at the cursor

  // The current token, or null at the end of the list. Never reads past it.
  const Token* Current() const {
    return list != nullptr && pos < list->size() ? &(*list)[pos] : nullptr;
  }
  // The token after the current one, or null.
  const Token* Peek() const {
    return list != nullptr && pos + 1 < list->size() ? &(*list)[pos + 1] : nullptr;
  }
  bool AtLineEnd() const { return Current() == nullptr; }
  bool Is(TokenKind kind) const {
    const Token* t = Current();
    return t != nullptr && t->kind == kind;
  }
  void Advance() {
    if (list != nullptr && pos < list->size()) ++pos;
  }
  // "The cursor's token becomes null": the line has nothing more to run.
  void ToLineEnd() { pos = list != nullptr ? list->size() : 0; }
  void Point(const TokenList* tokens, std::size_t index) {
    list = tokens;
    pos = index;
  }
  // True when the statement has ended: no token, a colon or ELSE.
  bool AtStatementEnd() const {
    const Token* t = Current();
    return t == nullptr || t->kind == TokenKind::Colon || t->kind == TokenKind::Else;
  }
  // Inlined by force: RETURN ends with it, and as a call it cost some 7%
  // of a GOSUB and its RETURN.
  [[gnu::always_inline]] void SkipToStatementEnd() {
    while (!AtStatementEnd()) ++pos;
  }
};

}  // namespace tenrek
