// The grammar of expressions, written once: factors, and the levels of
// the operator table read by precedence climbing. The evaluator reads an
// expression to its value with it and the compiler to instructions; each
// is a Reader, which gives
//   Operand                          what reading an operand gives;
//   const Token* Current() / Skip()  the token at the cursor (null past
//                                    the end), and the step past it;
//   Operand Factor(bool wantText)    one factor through Factor below, its
//                                    nesting guarded;
//   void EnterNesting() / LeaveNesting()
//   bool Stopped(const Operand&)     the reading ends here (the compiler
//                                    declines what it cannot reproduce);
//   bool IsText(const Operand&)
//   bool TakesPlainText(TokenKind op, Operand& left)
//                                    a form of its own for what follows the
//                                    operator, read and applied already;
//   void Apply(TokenKind op, Operand& left, Operand right);
// and for the factors
//   Operand Missing(bool wantText)   no token where a factor should be;
//   Operand Name()                   the name at the cursor, read;
//   Operand Number(const Token&) / Literal(const Token&)
//   Operand Numeric(Operand) / Negated(Operand) / Complemented(Operand)
//                                    "+", "-" and NOT before a factor;
//   void Close(Operand&)             the ")" of a parenthesis;
//   Operand Function(TokenKind, bool wantText)
//                                    a built-in function, or a token that
//                                    starts no factor.
#pragma once

#include <utility>

#include "eval/builtins.h"

namespace tenrek::grammar {

template <typename Reader>
typename Reader::Operand Operations(Reader& reader, int lowest, typename Reader::Operand left);

template <typename Reader>
TokenKind NextKind(const Reader& reader) {
  const Token* t = reader.Current();
  return t != nullptr ? t->kind : TokenKind::Colon;
}

// A factor, then the operators of level `lowest` and above.
template <typename Reader>
typename Reader::Operand Binary(Reader& reader, int lowest, bool wantText) {
  return Operations(reader, lowest, reader.Factor(wantText));
}

// The right operand of an operator of level `level`, read at the next
// level up so that operators of one level combine left to right; "^"
// reads its right operand at its own level instead, one nesting deeper,
// so that a chain of "^" nests like parentheses. The right operand of "+"
// or a relation counts as a text when missing if `wantText`.
template <typename Reader>
typename Reader::Operand RightOperand(Reader& reader, Level level, bool wantText) {
  if (level != kPower) return Binary(reader, level + 1, wantText);
  reader.EnterNesting();
  typename Reader::Operand right = Binary(reader, kPower, false);
  reader.LeaveNesting();
  return right;
}

// The operators of level `lowest` and above after the operand `left`.
template <typename Reader>
typename Reader::Operand Operations(Reader& reader, int lowest, typename Reader::Operand left) {
  for (;;) {
    if (reader.Stopped(left)) return left;
    const TokenKind op = NextKind(reader);
    const Level level = LevelOf(op);
    if (level == kNone || level < lowest) return left;
    reader.Skip();
    if (reader.TakesPlainText(op, left)) continue;
    const bool sameType = level == kSum || level == kRelation;
    typename Reader::Operand right = RightOperand(reader, level, sameType && reader.IsText(left));
    if (reader.Stopped(right)) return right;
    reader.Apply(op, left, std::move(right));
  }
}

// One factor: a name, a number, a text, "+", "-" or NOT and the factor
// after it, an expression in parentheses, or a function. Every token but
// a name is passed before the factor is read on.
template <typename Reader>
typename Reader::Operand Factor(Reader& reader, bool wantText) {
  const Token* t = reader.Current();
  if (t == nullptr) return reader.Missing(wantText);
  const Token& token = *t;
  if (token.kind == TokenKind::Identifier) return reader.Name();
  reader.Skip();
  switch (token.kind) {
    case TokenKind::Number: return reader.Number(token);
    case TokenKind::String: return reader.Literal(token);
    case TokenKind::Plus: return reader.Numeric(reader.Factor(false));
    case TokenKind::Minus: return reader.Negated(reader.Factor(false));
    case TokenKind::Not: return reader.Complemented(reader.Factor(false));
    case TokenKind::LeftParen: {
      typename Reader::Operand inner = Binary(reader, kOr, wantText);
      reader.Close(inner);
      return inner;
    }
    default: return reader.Function(token.kind, wantText);
  }
}

}  // namespace tenrek::grammar
