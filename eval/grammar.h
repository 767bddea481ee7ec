// The grammar of binary operations, written once: the levels of the
// operator table, read by precedence climbing. The evaluator reads an
// expression to its value with it and the compiler to instructions; each
// is a Reader, which gives
//   Operand                         what reading an operand gives;
//   TokenKind Next() / void Skip()  the token kind at the cursor (Colon past
//                                   the end), and the step past it;
//   Operand Factor(bool wantText)   one factor, its nesting guarded;
//   void EnterNesting() / LeaveNesting()
//   bool Stopped(const Operand&)    the reading ends here (the compiler
//                                   declines what it cannot reproduce);
//   bool IsText(const Operand&)
//   bool TakesPlainText(TokenKind op, Operand& left)
//                                   a form of its own for what follows the
//                                   operator, read and applied already;
//   void Apply(TokenKind op, Operand& left, Operand right).
#pragma once

#include <utility>

#include "eval/builtins.h"

namespace tenrek::grammar {

template <typename Reader>
typename Reader::Operand Operations(Reader& reader, int lowest, typename Reader::Operand left);

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
    const TokenKind op = reader.Next();
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

}  // namespace tenrek::grammar
