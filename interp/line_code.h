// The translated form of a stored line: built the first time the line
// runs, kept with the line, and dropped with it or when its text changes.
// Expressions become a list of typed operations on numbers; the line that
// a jump named last is remembered with the program's generation. The
// token list stays the line's text: this is only a faster way to run it.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
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

// Frees a translation with string parts, whose type only the string
// translator knows.
struct StringCodeDeleter {
  void operator()(const StringCode* code) const noexcept;
};
using StringCodePtr = std::unique_ptr<const StringCode, StringCodeDeleter>;

// The operations of a translated expression, kept in its line's arena
// (below) with room for as many as its longest translation had.
class OpList {
 public:
  const Op* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Op* begin() const { return data_; }
  const Op* end() const { return data_ + size_; }
  const Op& operator[](std::size_t k) const { return data_[k]; }

 private:
  friend struct CompiledExpression;
  Op* data_ = nullptr;
  uint16_t size_ = 0;
  uint16_t room_ = 0;
};

// The line a jump target named last, with the program's generation then.
// The number it had is the expression's `jumpNumber`.
struct JumpMemory {
  uint64_t generation = 0;
  ProgramLine* line = nullptr;
};

// A stored line's listing fits kMaxLineLength characters, each token at
// least one of them, so token indexes within a line fit 16 bits.
using TokenIndex = uint16_t;
static_assert(kMaxLineLength < 65535);

// A numeric expression that reads only numbers: literals, numeric
// variables and elements, operators and numeric functions, and LEN and
// ASC of string variables. Its variables
// must still have the shapes (scalar, or so many dimensions) they had when
// it was translated; the interpreter's shape epoch says when to look again.
// Kept in its line's arena: it never moves while the line lives.
struct CompiledExpression {
  // The operations name every variable read, with the shape they expect:
  // a scalar, or as many dimensions as an Element operation has subscripts.
  // The two token indexes after it may share the padding at its end.
  [[no_unique_address]] OpList ops;
  TokenIndex start = 0;  // index of its first token
  TokenIndex end = 0;    // index of the token after the expression
  uint64_t shapeEpoch = 0;
  // The line's next expression, by where it starts.
  CompiledExpression* next = nullptr;
  int32_t jumpNumber = 0;  // the line number its JumpMemory holds the line of
  int8_t depth = 0;        // deepest nesting level it checks (below kMaxEvaluationDepth)
  ExpressionShape shape = ExpressionShape::General;
  bool refused = false;  // the text does not translate (at shapeEpoch)
  // Made with room for a JumpMemory (after the record, before the
  // operations): it stands where a line number is expected.
  bool jumpRoom = false;

  CompiledExpression() = default;
  CompiledExpression(const CompiledExpression&) = delete;
  CompiledExpression& operator=(const CompiledExpression&) = delete;
  ~CompiledExpression() { DropStrings(); }

  // An expression with string parts (eval/compiled_strings.h), owned by
  // its one operation, Mixed: a numeric one runs as that operation; a
  // string one stays `refused` for the numeric readers and is run by the
  // string assignments. Null for the others.
  const StringCode* Strings() const {
    return !ops.empty() && ops[0].code == OpCode::Mixed ? ops[0].strings : nullptr;
  }
  // Frees the string parts and the operations with them.
  void DropStrings() {
    if (const StringCode* code = Strings()) StringCodeDeleter()(code);
    ops.size_ = 0;
  }
  // Gives the Mixed operation, set already, the string parts to own.
  void TakeStrings(StringCodePtr code) { ops.data_[0].strings = code.release(); }

  // The last line this expression named as a jump target, or null when it
  // has no room to remember one.
  JumpMemory* Jump() { return jumpRoom ? reinterpret_cast<JumpMemory*>(this + 1) : nullptr; }

  // Points the operations at `room` of them in place.
  void GiveOpRoom(Op* room, std::size_t count) {
    ops.data_ = room;
    ops.room_ = static_cast<uint16_t>(count);
  }
  bool HasOpRoom(std::size_t count) const { return count <= ops.room_; }
  // Copies `from` into the room given.
  void SetOps(const std::vector<Op>& from) {
    std::uninitialized_copy(from.begin(), from.end(), ops.data_);
    ops.size_ = static_cast<uint16_t>(from.size());
  }
};

// An expression as the translators build it, before it takes its place
// in the line's arena. One with string parts has them in `strings` and
// its Mixed operation (first and only) points at them.
struct ExpressionDraft {
  std::vector<Op> ops;
  uint32_t end = 0;
  int32_t depth = 0;
  ExpressionShape shape = ExpressionShape::General;
  bool refused = false;
  StringCodePtr strings;
};

// Where the skip of a loop body that is not entered, starting at token
// `from` of this line, ended last time: found once by a forward search,
// then reached like a jump while the program stays as it is.
struct SkipTarget {
  uint64_t generation = 0;
  ProgramLine* line = nullptr;
  SkipTarget* next = nullptr;  // the line's next one
  uint32_t pos = 0;
  TokenIndex from = 0;
};

struct TranslatedStatement;

// An expression that is a lone value or a scalar with one operation that
// takes its right operand in (a counter stepped, a limit compared), as
// where its value is read: most expressions of a program.
struct QuickOperand {
  const double* value = nullptr;  // the number or scalar read first; null: not quick
  const Op* fused = nullptr;      // the operation applied to it, if any
};

// Where the run went on after a translated statement the last time, to be
// taken again without the search while the program and the variables'
// shapes stay as they are (the interpreter's code version).
struct StatementLink {
  uint64_t codeVersion = 0;  // the interpreter's when made; never 0 then
  ProgramLine* line = nullptr;
  const TranslatedStatement* statement = nullptr;
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

// An expression a statement reads, and the same expression as a quick
// operand when it is one: the value is then read one load from the
// statement instead of three, which is most of what such a statement
// costs.
struct StatementOperand {
  CompiledExpression* expression = nullptr;
  QuickOperand quick;
};

// What a statement keeps with its record in the line's arena: just before
// it, the owner of its links from where it moved the cursor, when its
// form can move it; after it, the link to the statement that came next
// within the line, when its form can go on there, then its operands
// (which only such forms have). Each is a fixed distance from the record.
struct StatementRoom {
  bool within = false;
  std::size_t operands = 0;
  bool moved = false;
};

using MovedLinks = std::unique_ptr<MovedLink>;

// A whole statement translated: its form, what it names, and its
// expressions (translated in the line's own table). Held by the shape
// epoch it was made under; a statement that does not translate keeps the
// form Declined and runs through its handler. Its room (above) is what
// its keyword can use: most statements read one expression or none, a
// jump never goes on within its line and an assignment never moves.
struct TranslatedStatement {
  enum class Form : uint8_t {
    Declined,
    Assign,         // numeric scalar = expressions[0]
    AssignElement,  // numeric element (expressions[0..count-1]) = expressions[count]
    If,             // IF expressions[0] THEN ...; jumps in expressions[1] and [2]
    Goto,           // GOTO target
    Gosub,          // GOSUB target
    Return,
    Next,   // NEXT variable
    For,    // FOR variable = [0] TO [1] (STEP [2] when count is 3)
    While,  // WHILE expressions[0]
    Wend,   // WEND with no exit condition
  };
  Form form = Form::Declined;
  uint8_t count = 0;
  uint8_t operandRoom : 6 = 0;  // the operands made after the record
  uint8_t withinRoom : 1 = 0;   // a link within the line made after it
  uint8_t movedRoom : 1 = 0;    // moved links' owner made after it
  int8_t depth = 0;             // the deepest nesting check among its expressions
  TokenIndex at = 0;            // the statement's first token: its keyword or its target
  // Where the next statement starts (past any ":"), or the line's length,
  // when this one ends where its text does.
  TokenIndex nextAt = 0;
  uint64_t shapeEpoch = 0;
  // Where an IF goes on, a true condition and a false one.
  struct Branches {
    TokenIndex thenAt;
    TokenIndex elseAt;
  };
  // What the form names, in one place: an IF its branches, a GOTO or a
  // GOSUB the expression of its line number, the others their variable.
  union {
    Variable* variable = nullptr;
    Branches branches;
    CompiledExpression* target;
  };
  // The line's next statement, by where it starts.
  TranslatedStatement* following = nullptr;

  TranslatedStatement() = default;
  TranslatedStatement(const TranslatedStatement&) = delete;
  TranslatedStatement& operator=(const TranslatedStatement&) = delete;
  ~TranslatedStatement() {
    if (movedRoom) std::destroy_at(&Moved());
  }

  // The statement that came next when it went on within its line. Only a
  // statement with that room has it; the links are remembered through a
  // statement otherwise only read.
  StatementLink& Within() const {
    assert(withinRoom);
    return *reinterpret_cast<StatementLink*>(Room());
  }
  // The statements that came next when it moved the cursor, made when
  // first needed; only a statement with that room has them.
  MovedLinks& Moved() const {
    assert(movedRoom);
    return *reinterpret_cast<MovedLinks*>(Record() - sizeof(MovedLinks));
  }
  // Operand `k`, below `operandRoom`.
  StatementOperand& Operand(std::size_t k) { return Operands()[k]; }
  const StatementOperand& Operand(std::size_t k) const { return Operands()[k]; }
  // Expression `k`, or null when it has none.
  CompiledExpression* Expression(std::size_t k) const {
    return k < operandRoom ? Operand(k).expression : nullptr;
  }

 private:
  std::byte* Record() const {
    return reinterpret_cast<std::byte*>(const_cast<TranslatedStatement*>(this));
  }
  std::byte* Room() const { return Record() + sizeof(TranslatedStatement); }
  StatementOperand* Operands() const {
    assert(operandRoom == 0 || withinRoom);
    return reinterpret_cast<StatementOperand*>(Room() + sizeof(StatementLink));
  }
};

// The room of the statement starting at token `at`, by its keyword (for
// an assignment to an element, its operands are the subscripts written
// and the value).
StatementRoom StatementRoomAt(const TokenList& tokens, std::size_t at);

// Memory handed out in order from blocks that stay where they are until
// the arena goes: what a line translates is made once and then only
// rewritten in place, so it needs no freeing of its own. The first block
// may come with the owner's own heap block.
class LineArena {
 public:
  LineArena() = default;
  LineArena(std::byte* room, std::size_t size) : free_(room), end_(room + size) {}
  LineArena(const LineArena&) = delete;
  LineArena& operator=(const LineArena&) = delete;
  ~LineArena();

  // `size` bytes aligned for any of the line's records.
  void* Allocate(std::size_t size);

  template <typename T>
  T* Make() {
    static_assert(alignof(T) <= kAlignment);
    return ::new (Allocate(sizeof(T))) T();
  }

 private:
  struct Block {
    Block* next;
  };
  // Every record of a line holds 8-byte numbers or pointers.
  static constexpr std::size_t kAlignment = 8;
  std::byte* free_ = nullptr;
  std::byte* end_ = nullptr;
  Block* blocks_ = nullptr;  // the blocks allocated on their own
};

// Everything translated in one line, by the index of the token where it
// starts: statements and expressions each in a list ordered by that
// index, made in the line's arena. None of them moves or goes while the
// line lives, so a statement running keeps its place while another one
// of the line is translated, and a statement may hold several
// expressions while more are translated.
class LineCode {
 public:
  LineCode() = default;
  LineCode(const LineCode&) = delete;
  LineCode& operator=(const LineCode&) = delete;
  ~LineCode();

  // A translation for a line of `tokens`, its first arena block (as much
  // as the whole line is likely to need) in the same heap block.
  static std::unique_ptr<LineCode> Make(const TokenList& tokens);
  // Frees the heap block whatever its size.
  static void operator delete(void* block) { ::operator delete(block); }

  // The expression kept for token `at`, or null. The one after the last
  // found is tried first: a statement's expressions are read in order.
  CompiledExpression* FindExpression(std::size_t at) {
    CompiledExpression* const last = lastExpression_;
    if (last != nullptr && last->start == at) return last;
    return FindOtherExpression(at);
  }
  // A new expression for token `at`, where none is kept yet, with room for
  // `ops` operations and, when it is a jump target, a JumpMemory.
  CompiledExpression& AddExpression(std::size_t at, std::size_t ops, bool jumpTarget);
  // More room for the operations of `expression`, kept by this line.
  void GrowOpRoom(CompiledExpression& expression, std::size_t ops);

  // The statement kept for token `at` (null when there is none), and
  // where a new one would go.
  TranslatedStatement* FindStatement(std::size_t at, TranslatedStatement**& place);
  // Makes an empty statement for token `at` at `place`, as FindStatement
  // gave it, with `room` after it.
  TranslatedStatement& AddStatement(TranslatedStatement** place, std::size_t at,
                                    StatementRoom room = {});

  TranslatedStatement* firstStatement = nullptr;
  // Where the next lookup starts: the last statement found.
  const TranslatedStatement* lastStatement = nullptr;
  SkipTarget* skips = nullptr;
  LineArena arena;

 private:
  explicit LineCode(std::size_t room) : arena(reinterpret_cast<std::byte*>(this + 1), room) {}

  // FindExpression past its first guess.
  CompiledExpression* FindOtherExpression(std::size_t at);

  CompiledExpression* firstExpression_ = nullptr;
  CompiledExpression* lastExpression_ = nullptr;
};

}  // namespace tenrek
