// The operators and the built-in functions in one table each: what they
// take and what they give. The evaluator, the compiler and the checks on
// token kinds all read these; nothing else lists them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "interp/instructions.h"
#include "interp/token.h"

namespace tenrek {

enum class ValueType : uint8_t { Number, Text };

// ---- operators ----

// The binary levels, lowest first; 0 for a token that is no binary operator.
// Levels combine left to right, except "^", whose right operand is read at
// its own level.
enum Level : int { kNone = 0, kOr = 1, kAnd, kRelation, kSum, kProduct, kPower };

// OPERATOR(kind, level, takes texts, instruction, with a number, with a scalar)
// "+" joins two texts and a relation compares them; every other operator
// takes numbers only. The compiler gives an operation whose right operand
// is a number or a numeric scalar the instruction that reads it in.
#define TENREK_OPERATORS(OPERATOR) \
  OPERATOR(Or, kOr, false, Binary, Binary, Binary) \
  OPERATOR(Xor, kOr, false, Binary, Binary, Binary) \
  OPERATOR(And, kAnd, false, Binary, Binary, Binary) \
  OPERATOR(Equal, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(Less, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(Greater, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(LessEqual, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(GreaterEqual, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(NotEqual, kRelation, true, Compare, CompareNumber, CompareScalar) \
  OPERATOR(Plus, kSum, true, Add, AddNumber, AddScalar) \
  OPERATOR(Minus, kSum, false, Subtract, SubtractNumber, SubtractScalar) \
  OPERATOR(Times, kProduct, false, Multiply, MultiplyNumber, MultiplyScalar) \
  OPERATOR(Divide, kProduct, false, Divide, DivideNumber, DivideScalar) \
  OPERATOR(Mod, kProduct, false, Modulo, ModuloNumber, ModuloScalar) \
  OPERATOR(Power, kPower, false, Binary, Binary, Binary)

struct OperatorInfo {
  Level level = kNone;
  bool takesText = false;
  Opcode onNumbers = Opcode::Binary;
  Opcode withNumber = Opcode::Binary;  // Binary: none of its own
  Opcode withScalar = Opcode::Binary;
};

// Indexed by token kind: looking an operator up costs no branches.
inline constexpr std::array<OperatorInfo, kTokenKindCount> kOperators = [] {
  std::array<OperatorInfo, kTokenKindCount> table{};
#define TENREK_OPERATOR_ROW(kind, level, text, numbers, number, scalar) \
  table[static_cast<std::size_t>(TokenKind::kind)] = {level, text, Opcode::numbers, \
                                                      Opcode::number, Opcode::scalar};
  TENREK_OPERATORS(TENREK_OPERATOR_ROW)
#undef TENREK_OPERATOR_ROW
  return table;
}();

inline const OperatorInfo& OperatorOf(TokenKind kind) {
  static constexpr OperatorInfo kNoOperator{};
  const auto code = static_cast<std::size_t>(kind);
  return code < kOperators.size() ? kOperators[code] : kNoOperator;
}

inline Level LevelOf(TokenKind kind) { return OperatorOf(kind).level; }

// The level of the token, or kNone past the end of the list.
inline Level LevelOf(const Token* t) { return t != nullptr ? LevelOf(t->kind) : kNone; }

inline bool IsRelation(TokenKind kind) { return LevelOf(kind) == kRelation; }

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

// The relations on two numbers, NaN making every one of them false.
inline bool Relation(TokenKind kind, double a, double b) {
  switch (kind) {
    case TokenKind::Equal: return a == b;
    case TokenKind::Less: return a < b;
    case TokenKind::Greater: return a > b;
    case TokenKind::LessEqual: return a <= b;
    case TokenKind::GreaterEqual: return a >= b;
    default: return a < b || a > b;  // NotEqual
  }
}

// ---- functions ----

// How a function takes its arguments:
//   Factor: SIN X, SIN(X) - the next factor only;
//   List:   MID$(s, n [, m]) - "(" full expressions separated by "," ")";
//   None:   DATE$, TIME$, CRLF$.
enum class ArgumentForm : uint8_t { Factor, List, None };

// FUNCTION(kind, form, fewest, most, first, second, third, result, instruction)
// The argument types past `most` are unused. `instruction` runs it in
// compiled code; Handler: compiled code leaves it to the evaluator (its
// value depends on more than its arguments, or it is rare).
#define TENREK_FUNCTIONS(FUNCTION) \
  FUNCTION(Sqr, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Sqrt, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Sin, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Cos, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Tan, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Arctan, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Log, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Exp, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Abs, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Sgn, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Int, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Ceiling, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Floor, Factor, 1, 1, Number, Number, Number, Number, Function) \
  FUNCTION(Str, Factor, 1, 1, Number, Number, Number, Text, Format) \
  FUNCTION(Val, Factor, 1, 1, Text, Number, Number, Number, Handler) \
  FUNCTION(Chr, Factor, 1, 1, Number, Number, Number, Text, Character) \
  FUNCTION(Asc, Factor, 1, 1, Text, Number, Number, Number, Code) \
  FUNCTION(Len, Factor, 1, 1, Text, Number, Number, Number, Length) \
  FUNCTION(Peek, Factor, 1, 1, Number, Number, Number, Number, Handler) \
  FUNCTION(Ltrim, Factor, 1, 1, Text, Number, Number, Text, Transform) \
  FUNCTION(Rtrim, Factor, 1, 1, Text, Number, Number, Text, Transform) \
  FUNCTION(Lower, Factor, 1, 1, Text, Number, Number, Text, Transform) \
  FUNCTION(Upper, Factor, 1, 1, Text, Number, Number, Text, Transform) \
  FUNCTION(Proper, Factor, 1, 1, Text, Number, Number, Text, Transform) \
  FUNCTION(Mid, List, 2, 3, Text, Number, Number, Text, Mid) \
  FUNCTION(Left, List, 2, 2, Text, Number, Number, Text, Left) \
  FUNCTION(Right, List, 2, 2, Text, Number, Number, Text, Right) \
  FUNCTION(Occur, List, 2, 2, Text, Text, Number, Number, Handler) \
  FUNCTION(Atc, List, 3, 3, Text, Text, Number, Number, Handler) \
  FUNCTION(Min, List, 2, 3, Number, Number, Number, Number, Handler) \
  FUNCTION(Max, List, 2, 3, Number, Number, Number, Number, Handler) \
  FUNCTION(Random, List, 2, 2, Number, Number, Number, Number, Handler) \
  FUNCTION(Date, None, 0, 0, Number, Number, Number, Text, Handler) \
  FUNCTION(Time, None, 0, 0, Number, Number, Number, Text, Handler) \
  FUNCTION(Crlf, None, 0, 0, Number, Number, Number, Text, Literal)

struct FunctionInfo {
  bool isFunction = false;
  ArgumentForm form = ArgumentForm::None;
  uint8_t fewest = 0;
  uint8_t most = 0;
  std::array<ValueType, 3> arguments{};
  ValueType result = ValueType::Number;
  Opcode instruction = Opcode::Handler;
};

inline constexpr std::array<FunctionInfo, kTokenKindCount> kFunctions = [] {
  std::array<FunctionInfo, kTokenKindCount> table{};
#define TENREK_FUNCTION_ROW(kind, form, fewest, most, first, second, third, result, op) \
  table[static_cast<std::size_t>(TokenKind::kind)] = { \
      true, \
      ArgumentForm::form, \
      fewest, \
      most, \
      {ValueType::first, ValueType::second, ValueType::third}, \
      ValueType::result, \
      Opcode::op};
  TENREK_FUNCTIONS(TENREK_FUNCTION_ROW)
#undef TENREK_FUNCTION_ROW
  return table;
}();

inline const FunctionInfo& FunctionOf(TokenKind kind) {
  static constexpr FunctionInfo kNoFunction{};
  const auto code = static_cast<std::size_t>(kind);
  return code < kFunctions.size() ? kFunctions[code] : kNoFunction;
}

// A function keyword.
inline bool IsFunctionKind(TokenKind kind) { return FunctionOf(kind).isFunction; }

// The functions of one number giving a number (SQR ... SGN, INT, CEILING,
// FLOOR).
inline bool IsNumericFunctionKind(TokenKind kind) {
  return FunctionOf(kind).instruction == Opcode::Function;
}

// The functions of one text giving a text (LTRIM$ ... PROPER$).
inline bool IsTextFunctionKind(TokenKind kind) {
  return FunctionOf(kind).instruction == Opcode::Transform;
}

}  // namespace tenrek
