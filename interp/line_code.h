// The translated form of a stored line: built the first time the line
// runs, kept with the line, and dropped with it or when its text changes.
// Expressions become a list of typed operations on numbers; the line that
// a jump named last is remembered with the program's generation. The
// token list stays the line's text: this is only a faster way to run it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "interp/limits.h"
#include "interp/token.h"

namespace tenrek {

struct ProgramLine;
struct StringCode;

enum class OpCode : uint8_t {
  Constant,  // push `number`
  Scalar,    // push a numeric scalar
  Index,     // replace the top with subscript `count` of `variable`, checked
  Element,   // pop `count` checked subscripts, push the element
  Negate,
  Complement,  // NOT
  Add,
  Subtract,
  Multiply,
  Divide,
  Modulo,
  Compare,   // `kind` is the relation
  Operator,  // any other binary operator, `kind` names it
  Function,  // a numeric function of one number, `kind` names it
  Length,    // LEN of the string scalar `variable`, read in place
  Code,      // ASC of the string scalar `variable`, read in place
  Mixed,     // push the value of `strings`, an expression with string parts
  // A binary operation whose right operand is a constant (`number`) or a
  // numeric scalar (`variable`), read by the operation itself.
  AddConstant,
  SubtractConstant,
  MultiplyConstant,
  DivideConstant,
  ModuloConstant,
  CompareConstant,
  AddScalar,
  SubtractScalar,
  MultiplyScalar,
  DivideScalar,
  ModuloScalar,
  CompareScalar,
};

struct Op {
  OpCode code = OpCode::Constant;
  uint8_t count = 0;
  TokenKind kind = TokenKind::Plus;
  union {
    double number = 0.0;
    Variable* variable;
    const StringCode* strings;
  };
};

// The few forms most expressions take, each run without the general
// loop over the operations. A fused operation is one of AddConstant to
// CompareScalar: it takes its right operand in.
enum class ExpressionShape : uint8_t {
  General,
  Constant,      // a number
  Scalar,        // a numeric scalar
  ScalarFused,   // a scalar, one fused operation
  ScalarFused2,  // a scalar, two fused operations
  Element,       // an element of a one-dimensional array, its subscript a scalar
  ElementFused,  // that element, one fused operation
};

// A numeric expression that reads only numbers: literals, numeric
// variables and elements, operators and numeric functions, and LEN and
// ASC of string variables. Its variables
// must still have the shapes (scalar, or so many dimensions) they had when
// it was translated; the interpreter's shape epoch says when to look again.
struct CompiledExpression {
  // The operations name every variable read, with the shape they expect:
  // a scalar, or as many dimensions as an Element operation has subscripts.
  std::vector<Op> ops;
  // A lone number or scalar: where its value is read (the number in its
  // one operation, or the variable's), with no operation run.
  const double* lone = nullptr;
  uint64_t shapeEpoch = 0;
  uint32_t end = 0;   // index of the token after the expression
  int32_t depth = 0;  // deepest nesting level it checks
  uint16_t stackSize = 0;
  ExpressionShape shape = ExpressionShape::General;
  bool refused = false;  // the text does not translate (at shapeEpoch)
  // The last line this expression named as a jump target.
  uint64_t jumpGeneration = 0;
  int32_t jumpNumber = 0;
  ProgramLine* jumpLine = nullptr;
  // An expression with string parts (eval/compiled_strings.h). A numeric
  // one runs as a Mixed operation; a string one stays `refused` for the
  // numeric readers and is run by the string assignments.
  std::shared_ptr<const StringCode> strings;
};

// Where the skip of a loop body that is not entered, starting at token
// `from` of this line, ended last time: found once by a forward search,
// then reached like a jump while the program stays as it is.
struct SkipTarget {
  std::size_t from = 0;
  uint64_t generation = 0;
  ProgramLine* line = nullptr;
  std::size_t pos = 0;
};

struct TranslatedStatement;

// Where the run went on after a translated statement the last time, to be
// taken again without the search while the program and the variables'
// shapes stay as they are (the interpreter's code version). The
// statement's place is copied here so that following the link reads
// nothing else before the statement runs.
struct StatementLink {
  uint64_t codeVersion = 0;  // the interpreter's when made; never 0 then
  ProgramLine* line = nullptr;
  const TranslatedStatement* statement = nullptr;
  uint32_t at = 0;  // the statement's `at`
};

// Where and how a statement left the cursor.
struct LinkKey {
  ProgramLine* line = nullptr;
  const TokenList* list = nullptr;
  uint32_t pos = 0;
  uint8_t step = 0;  // how it moved (a Step)

  friend bool operator==(const LinkKey&, const LinkKey&) = default;
};

// The same for a statement that moved the cursor, taken only when it left
// the cursor where it did then.
struct MovedLink : StatementLink {
  LinkKey from;
};

// A whole statement translated: its form, what it names, and its
// expressions (translated in the line's own table). Held by the shape
// epoch it was made under; a statement that does not translate keeps the
// form Declined and runs through its handler.
struct TranslatedStatement {
  enum class Form : uint8_t {
    Declined,
    Assign,         // numeric scalar = expressions[0]
    AssignElement,  // numeric element (expressions[0..count-1]) = expressions[count]
    If,             // IF expressions[0] THEN ...; jumps in expressions[1] and [2]
    Goto,           // GOTO expressions[0]
    Gosub,          // GOSUB expressions[0]
    Return,
    Next,   // NEXT variable
    For,    // FOR variable = [0] TO [1] (STEP [2] when count is 3)
    While,  // WHILE expressions[0]
    Wend,   // WEND with no exit condition
  };
  Form form = Form::Declined;
  uint8_t count = 0;
  uint32_t at = 0;      // the statement's first token: its keyword or its target
  uint32_t thenAt = 0;  // IF: where a true condition goes on
  uint32_t elseAt = 0;  // IF: where a false one goes on
  // Where the next statement starts (past any ":"), or the line's length,
  // when this one ends where its text does.
  uint32_t nextAt = 0;
  int32_t depth = 0;  // the deepest nesting check among its expressions
  uint64_t shapeEpoch = 0;
  Variable* variable = nullptr;
  std::array<CompiledExpression*, kMaxDimensions + 1> expressions{};
  // The first two expressions again, when they are a lone value or a
  // scalar with one operation that takes its right operand in: the value
  // is then read one load from the statement instead of three, which is
  // most of what such a statement costs.
  struct QuickOperand {
    const double* value = nullptr;  // the number or scalar read first
    const Op* fused = nullptr;      // the operation applied to it, if any
  };
  std::array<QuickOperand, 2> quick{};
  // The statements that came next, when it went on within its line and
  // (made when first needed) when it moved the cursor.
  mutable StatementLink within;
  mutable std::unique_ptr<MovedLink> moved;
};

// Everything translated in one line, by the index of the token where it
// starts.
struct LineCode {
  // Ordered by `at`. Each on its own, so that a statement running keeps
  // its place while another one of the line is translated.
  std::vector<std::unique_ptr<TranslatedStatement>> statements;
  uint32_t lastStatement = 0;  // where the next lookup starts
  std::vector<SkipTarget> skips;
  // Index into `expressions`, or kNone. A stored line's listing fits
  // kMaxLineLength characters, each token at least one of them, so it has
  // fewer tokens (and expressions) than an int16_t counts.
  using Slot = int16_t;
  static_assert(kMaxLineLength < 32767);
  static constexpr Slot kNone = -1;
  std::vector<Slot> expressionAt;
  // Each on its own: translating one more expression leaves the others in
  // place, so a statement may hold several of them at once.
  std::vector<std::unique_ptr<CompiledExpression>> expressions;
};

}  // namespace tenrek
