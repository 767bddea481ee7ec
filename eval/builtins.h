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

// The orders a relation accepts between its operands. Unordered ones (a
// NaN) are in no order, so that no relation holds between them.
enum Order : uint8_t { kUnordered = 0, kLessOrder = 1, kGreaterOrder = 2, kEqualOrder = 4 };

// OPERATOR(kind, level, takes texts, commutes, orders, instruction,
//          with a number, with a scalar, of two scalars, of a scalar and a number)
// "+" joins two texts and a relation compares them; every other operator
// takes numbers only. A relation holds for the orders it lists. The
// compiler gives an operation whose right operand is a number or a
// numeric scalar the instruction that reads it in, and one whose left
// operand is a scalar too the instruction that reads both (Binary: none);
// the operands of one that commutes may be read the other way round.
// clang-format off
#define TENREK_OPERATORS(OPERATOR) \
  OPERATOR(Or, kOr, false, false, 0, Or, Binary, Binary, Binary, Binary) \
  OPERATOR(Xor, kOr, false, false, 0, Binary, Binary, Binary, Binary, Binary) \
  OPERATOR(And, kAnd, false, false, 0, And, Binary, Binary, Binary, Binary) \
  OPERATOR(Equal, kRelation, true, false, kEqualOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(Less, kRelation, true, false, kLessOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(Greater, kRelation, true, false, kGreaterOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(LessEqual, kRelation, true, false, kLessOrder | kEqualOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(GreaterEqual, kRelation, true, false, kGreaterOrder | kEqualOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(NotEqual, kRelation, true, false, kLessOrder | kGreaterOrder, \
           Compare, CompareNumber, CompareScalar, Binary, CompareScalarAndNumber) \
  OPERATOR(Plus, kSum, true, true, 0, \
           Add, AddNumber, AddScalar, AddScalars, AddScalarAndNumber) \
  OPERATOR(Minus, kSum, false, false, 0, \
           Subtract, SubtractNumber, SubtractScalar, SubtractScalars, SubtractScalarAndNumber) \
  OPERATOR(Times, kProduct, false, true, 0, \
           Multiply, MultiplyNumber, MultiplyScalar, MultiplyScalars, MultiplyScalarAndNumber) \
  OPERATOR(Divide, kProduct, false, false, 0, \
           Divide, DivideNumber, DivideScalar, Binary, DivideScalarAndNumber) \
  OPERATOR(Mod, kProduct, false, false, 0, Modulo, ModuloNumber, ModuloScalar, Binary, Binary) \
  OPERATOR(Power, kPower, false, false, 0, Binary, Binary, Binary, Binary, Binary)
// clang-format on

struct OperatorInfo {
  Level level = kNone;
  bool takesText = false;
  bool commutes = false;
  uint8_t orders = kUnordered;
  Opcode onNumbers = Opcode::Binary;
  Opcode withNumber = Opcode::Binary;  // Binary: none of its own
  Opcode withScalar = Opcode::Binary;
  Opcode ofScalars = Opcode::Binary;
  Opcode ofScalarAndNumber = Opcode::Binary;
};

// Indexed by token kind: looking an operator up costs no branches.
inline constexpr std::array<OperatorInfo, kTokenKindCount> kOperators = [] {
  std::array<OperatorInfo, kTokenKindCount> table{};
#define TENREK_OPERATOR_ROW(kind, level, text, commutes, orders, numbers, number, scalar, scalars, \
                            scalarAndNumber) \
  table[static_cast<std::size_t>(TokenKind::kind)] = {level, \
                                                      text, \
                                                      commutes, \
                                                      orders, \
                                                      Opcode::numbers, \
                                                      Opcode::number, \
                                                      Opcode::scalar, \
                                                      Opcode::scalars, \
                                                      Opcode::scalarAndNumber};
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

// The order of two numbers, found without branches.
inline uint8_t OrderOf(double a, double b) {
  return static_cast<uint8_t>(static_cast<unsigned>(a < b) | static_cast<unsigned>(a > b) << 1 |
                              static_cast<unsigned>(a == b) << 2);
}
// The order of a comparison's result (negative, 0, positive).
inline uint8_t OrderOf(int compared) {
  return compared < 0 ? kLessOrder : compared > 0 ? kGreaterOrder : kEqualOrder;
}
// Whether a relation accepting `orders` holds for operands in `order`.
inline bool Holds(uint8_t orders, uint8_t order) { return (orders & order) != 0; }
inline bool Relation(TokenKind kind, double a, double b) {
  return Holds(OperatorOf(kind).orders, OrderOf(a, b));
}
// The relation operator that accepts exactly `orders`.
inline TokenKind RelationOf(uint8_t orders) {
  for (std::size_t k = 0; k < kOperators.size(); ++k) {
    if (kOperators[k].level == kRelation && kOperators[k].orders == orders) {
      return static_cast<TokenKind>(k);
    }
  }
  return TokenKind::NotEqual;
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
