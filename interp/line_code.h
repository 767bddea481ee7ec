// The translated form of a stored line: built the first time the line
// runs, kept with the line, and dropped with it or when its text changes.
// Expressions become a list of typed operations on numbers; the line that
// a jump named last is remembered with the program's generation. The
// token list stays the line's text: this is only a faster way to run it.
#pragma once

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

// A numeric expression that reads only numbers: literals, numeric
// variables and elements, operators and numeric functions, and LEN and
// ASC of string variables. Its variables
// must still have the shapes (scalar, or so many dimensions) they had when
// it was translated; the interpreter's shape epoch says when to look again.
struct CompiledExpression {
  // The operations name every variable read, with the shape they expect:
  // a scalar, or as many dimensions as an Element operation has subscripts.
  std::vector<Op> ops;
  uint64_t shapeEpoch = 0;
  uint32_t end = 0;   // index of the token after the expression
  int32_t depth = 0;  // deepest nesting level it checks
  uint16_t stackSize = 0;
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

// Everything translated in one line, by the index of the token where it
// starts.
struct LineCode {
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
