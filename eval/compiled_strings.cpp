// Translation of expressions with string parts, and the loop that runs
// them with two stacks, one of numbers and one of texts.
//
// The translator reads the tokens as the evaluator's descent does (the
// same levels, the same nesting checks, the same end) and knows the type
// of every operand from its text: a name ending in "$", a literal, a
// function. It gives up wherever the evaluator would report a type
// mismatch or a syntax error, and at everything whose value depends on
// more than its operands (arrays, VAL, PEEK, RANDOM, DATE$, TIME$); what
// is left can only report "Variable not created" (a string variable
// without a value, read as empty) and "Divide by zero" (MOD), each at the
// point where the evaluator reports it.
//
// A text on the stack is a view: of a variable's value, of a literal, of
// a fixed character, or of the buffer its slot owns. A slot's view never
// points into another slot's buffer, so building one text never disturbs
// another; nothing writes a variable while an expression runs.
#include "eval/compiled_strings.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "eval/compiled_expression.h"
#include "eval/evaluator.h"
#include "eval/functions.h"
#include "eval/number_format.h"
#include "eval/operator_levels.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/memory_budget.h"

namespace tenrek {

enum class StringOpCode : uint8_t {
  // numbers
  Constant,    // push `number`
  Scalar,      // push the numeric scalar `variable`
  Negate,      //
  Complement,  // NOT
  Operator,    // a binary operator on two numbers, `kind` names it
  Function,    // a numeric function of one number, `kind` names it
  // texts
  Literal,    // push `length` characters of the literals from `offset`
  Text,       // push the string scalar `variable`, read in place
  Join,       // "+" of two texts, cut at the string limit
  Relation,   // compare two texts, push 1 or 0; `kind` is the relation
  Mid,        // MID$ with `count` arguments
  Left,       // LEFT$
  Right,      // RIGHT$
  Character,  // CHR$
  Format,     // STR$
  Code,       // ASC
  Length,     // LEN
  Transform,  // LTRIM$ ... PROPER$, `kind` names it
  // the same, joined with their operand
  OperatorConstant,  // Operator with `number` as its right operand
  CodeOfText,        // ASC of the string scalar `variable`, read in place
  LengthOfText,      // LEN of the string scalar `variable`, read in place
};

struct StringOp {
  StringOpCode code = StringOpCode::Constant;
  uint8_t count = 0;
  TokenKind kind = TokenKind::Plus;
  uint32_t offset = 0;
  uint32_t length = 0;
  union {
    double number = 0.0;
    Variable* variable;
  };
};

struct StringCode {
  std::vector<StringOp> ops;
  std::string literals;  // the texts of the literals, one after the other
  bool isString = false;
  // The variable the first operation reads when no other operation reads
  // it: a store into it may take its text as the first slot's buffer.
  Variable* leading = nullptr;
  // The buffers of the text slots, kept from one run to the next.
  mutable std::vector<std::string> buffers;
};

namespace {

// Values one expression may hold at once on each stack.
constexpr std::size_t kMaxStack = 32;

enum class Type : uint8_t { Number, Text };

bool ReadsVariable(const StringOp& op) {
  switch (op.code) {
    case StringOpCode::Scalar:
    case StringOpCode::Text:
    case StringOpCode::CodeOfText:
    case StringOpCode::LengthOfText: return true;
    default: return false;
  }
}

class StringTranslator {
 public:
  StringTranslator(const TokenList& tokens, std::size_t start, StringCode& out)
      : tokens_(tokens), pos_(start), out_(out) {}

  bool Translate(Type& type) {
    if (!Binary(kOr, type)) return false;
    if (numbers_ + texts_ != 1) return false;
    out_.isString = type == Type::Text;
    out_.buffers.resize(deepestTexts_ + 1);
    out_.leading = LeadingVariable();
    return true;
  }
  std::size_t End() const { return pos_; }
  int32_t Depth() const { return deepestCheck_; }

 private:
  const Token* Current() const { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  bool Is(TokenKind kind) const {
    const Token* t = Current();
    return t != nullptr && t->kind == kind;
  }
  bool Take(TokenKind kind) {
    if (!Is(kind)) return false;
    ++pos_;
    return true;
  }

  bool Emit(const StringOp& op, int numberChange, int textChange) {
    out_.ops.push_back(op);
    numbers_ += numberChange;
    texts_ += textChange;
    deepestNumbers_ = std::max(deepestNumbers_, numbers_);
    deepestTexts_ = std::max(deepestTexts_, texts_);
    return static_cast<std::size_t>(deepestNumbers_) <= kMaxStack &&
           static_cast<std::size_t>(deepestTexts_) <= kMaxStack;
  }
  bool Emit(StringOpCode code, TokenKind kind, int numberChange, int textChange) {
    StringOp op;
    op.code = code;
    op.kind = kind;
    return Emit(op, numberChange, textChange);
  }

  // The evaluator's Binary: a factor, then the operators of level
  // `lowest` and above, each with operands of types it accepts.
  bool Binary(int lowest, Type& left) {
    if (!GuardedFactor(left)) return false;
    for (;;) {
      const Token* t = Current();
      const Level level = LevelOf(t);
      if (level == kNone || level < lowest) return true;
      const TokenKind op = t->kind;
      ++pos_;
      Type right = Type::Number;
      if (level == kPower) {
        ++depth_;
        const bool read = Binary(kPower, right);
        --depth_;
        if (!read) return false;
      } else if (!Binary(level + 1, right)) {
        return false;
      }
      if (!Operation(op, level, left, right)) return false;
    }
  }

  bool Operation(TokenKind op, Level level, Type& left, Type right) {
    if (left == Type::Number && right == Type::Number) {
      // A constant right operand goes into the operation.
      if (out_.ops.back().code == StringOpCode::Constant) {
        out_.ops.back().code = StringOpCode::OperatorConstant;
        out_.ops.back().kind = op;
        --numbers_;
        return true;
      }
      return Emit(StringOpCode::Operator, op, -1, 0);
    }
    if (left != Type::Text || right != Type::Text) return false;  // a mismatch
    if (op == TokenKind::Plus) return Emit(StringOpCode::Join, op, 0, -1);
    if (level != kRelation) return false;
    left = Type::Number;
    return Emit(StringOpCode::Relation, op, 1, -2);
  }

  bool GuardedFactor(Type& type) {
    if (depth_ >= kMaxEvaluationDepth) return false;
    deepestCheck_ = std::max(deepestCheck_, depth_);
    ++depth_;
    const bool read = Factor(type);
    --depth_;
    return read;
  }

  // A factor that must be of type `want`.
  bool FactorOf(Type want) {
    Type type = want;
    return GuardedFactor(type) && type == want;
  }
  // A full expression that must be of type `want`.
  bool ExpressionOf(Type want) {
    Type type = want;
    return Binary(kOr, type) && type == want;
  }

  bool Factor(Type& type) {
    const Token* t = Current();
    if (t == nullptr) return false;
    if (t->kind == TokenKind::Identifier) return VariableRead(type);
    ++pos_;
    type = Type::Number;
    switch (t->kind) {
      case TokenKind::Number: {
        StringOp op;
        op.code = StringOpCode::Constant;
        op.number = t->Number();
        return Emit(op, 1, 0);
      }
      case TokenKind::String:
        type = Type::Text;
        return Literal(std::string_view(t->Text()).substr(0, kMaxStringLength));
      case TokenKind::Crlf: type = Type::Text; return Literal("\r\n");
      case TokenKind::Plus: return FactorOf(Type::Number);
      case TokenKind::Minus:
        return FactorOf(Type::Number) && Emit(StringOpCode::Negate, t->kind, 0, 0);
      case TokenKind::Not:
        return FactorOf(Type::Number) && Emit(StringOpCode::Complement, t->kind, 0, 0);
      case TokenKind::LeftParen: return Binary(kOr, type) && Take(TokenKind::RightParen);
      case TokenKind::Len:
        return FactorOf(Type::Text) && OfText(StringOpCode::Length, StringOpCode::LengthOfText);
      case TokenKind::Asc:
        return FactorOf(Type::Text) && OfText(StringOpCode::Code, StringOpCode::CodeOfText);
      case TokenKind::Str:
        type = Type::Text;
        return FactorOf(Type::Number) && Emit(StringOpCode::Format, t->kind, -1, 1);
      case TokenKind::Chr:
        type = Type::Text;
        return FactorOf(Type::Number) && Emit(StringOpCode::Character, t->kind, -1, 1);
      case TokenKind::Mid:
      case TokenKind::Left:
      case TokenKind::Right: type = Type::Text; return Slice(t->kind);
      default: return OtherFunction(t->kind, type);
    }
  }

  // LEN or ASC of the text just read; of a variable, read in place.
  bool OfText(StringOpCode code, StringOpCode ofVariable) {
    if (out_.ops.back().code == StringOpCode::Text) {
      out_.ops.back().code = ofVariable;
      numbers_ += 1;
      texts_ -= 1;
      deepestNumbers_ = std::max(deepestNumbers_, numbers_);
      return static_cast<std::size_t>(deepestNumbers_) <= kMaxStack;
    }
    return Emit(code, TokenKind::Plus, 1, -1);
  }

  bool OtherFunction(TokenKind kind, Type& type) {
    if (IsNumericFunctionKind(kind)) {
      return FactorOf(Type::Number) && Emit(StringOpCode::Function, kind, 0, 0);
    }
    if (IsTextFunctionKind(kind)) {
      type = Type::Text;
      return FactorOf(Type::Text) && Emit(StringOpCode::Transform, kind, 0, 0);
    }
    return false;
  }

  bool Literal(std::string_view text) {
    StringOp op;
    op.code = StringOpCode::Literal;
    op.offset = static_cast<uint32_t>(out_.literals.size());
    op.length = static_cast<uint32_t>(text.size());
    out_.literals.append(text);
    return Emit(op, 0, 1);
  }

  // MID$(s, n [, m]), LEFT$(s, n), RIGHT$(s, n): "(" full expressions ")".
  bool Slice(TokenKind kind) {
    if (!Take(TokenKind::LeftParen) || !ExpressionOf(Type::Text)) return false;
    if (!Take(TokenKind::Comma) || !ExpressionOf(Type::Number)) return false;
    int arguments = 2;
    if (kind == TokenKind::Mid && Take(TokenKind::Comma)) {
      if (!ExpressionOf(Type::Number)) return false;
      arguments = 3;
    }
    if (!Take(TokenKind::RightParen)) return false;
    StringOp op;
    op.code = kind == TokenKind::Mid    ? StringOpCode::Mid
              : kind == TokenKind::Left ? StringOpCode::Left
                                        : StringOpCode::Right;
    op.count = static_cast<uint8_t>(arguments);
    return Emit(op, 1 - arguments, 0);
  }

  // A scalar read in place: arrays (and names followed by "(") go to the
  // evaluator, which dimensions and checks them.
  bool VariableRead(Type& type) {
    Variable* v = Current()->Var();
    ++pos_;
    if (v == nullptr || v->extentCount != 0 || Is(TokenKind::LeftParen)) return false;
    StringOp op;
    op.variable = v;
    if (v->isString) {
      type = Type::Text;
      op.code = StringOpCode::Text;
      return Emit(op, 0, 1);
    }
    type = Type::Number;
    op.code = StringOpCode::Scalar;
    return Emit(op, 1, 0);
  }

  Variable* LeadingVariable() const {
    const std::vector<StringOp>& ops = out_.ops;
    if (ops.empty() || ops.front().code != StringOpCode::Text) return nullptr;
    Variable* v = ops.front().variable;
    for (std::size_t i = 1; i < ops.size(); ++i) {
      if (ReadsVariable(ops[i]) && ops[i].variable == v) return nullptr;
    }
    return v;
  }

  const TokenList& tokens_;
  std::size_t pos_;
  StringCode& out_;
  int32_t depth_ = 0;
  int32_t deepestCheck_ = 0;
  int numbers_ = 0;
  int texts_ = 0;
  int deepestNumbers_ = 0;
  int deepestTexts_ = 0;
};

// ---- running ----

// Every character as a text of its own, for CHR$.
constexpr std::array<char, 256> kCharacters = [] {
  std::array<char, 256> all{};
  for (int c = 0; c < 256; ++c) all[static_cast<std::size_t>(c)] = static_cast<char>(c);
  return all;
}();

bool Within(std::string_view view, const std::string& buffer) {
  const std::less_equal<const char*> notAfter;
  return view.data() != nullptr && notAfter(buffer.data(), view.data()) &&
         notAfter(view.data() + view.size(), buffer.data() + buffer.size());
}

// Makes `buffer` hold exactly the text `view` shows (which may lie inside
// it), and `view` show the buffer.
void Own(std::string& buffer, std::string_view view) {
  if (view.data() == buffer.data() && view.size() == buffer.size()) return;
  if (Within(view, buffer)) {
    const auto from = static_cast<std::size_t>(view.data() - buffer.data());
    buffer.resize(from + view.size());
    buffer.erase(0, from);
  } else {
    buffer.assign(view);
  }
}

// AppendLimited, here without a call.
void Append(std::string& head, std::string_view tail) {
  if (head.size() >= kMaxStringLength) {
    head.resize(kMaxStringLength);
    return;
  }
  head.append(tail.data(), std::min(tail.size(), kMaxStringLength - head.size()));
}

std::string_view TextOf(Interpreter& interp, const Variable& variable) {
  if (variable.text.hasValue) return variable.text.text;
  interp.Report(Error::VariableNotCreated, variable.name);
  return std::string_view();
}

// A count that is negative or above the length means the whole length.
std::size_t ClampCount(int32_t count, std::size_t length) {
  const auto unsignedCount = static_cast<uint32_t>(count);
  return unsignedCount > length ? length : unsignedCount;
}

std::string_view Mid(std::string_view s, int32_t start, int32_t count) {
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start) - 1;
  if (from >= s.size()) return std::string_view();
  return s.substr(from, ClampCount(count, s.size() - from));
}

// A text on the stack: a view, left unset until pushed (the stacks are
// not cleared before each run).
struct TextSlot {
  const char* data;
  std::size_t size;

  TextSlot() = default;
  TextSlot(std::string_view view) : data(view.data()), size(view.size()) {}  // NOLINT
  operator std::string_view() const { return {data, size}; }                 // NOLINT
};

// A binary operator on two numbers, the common ones without a call.
[[gnu::always_inline]] inline double Arithmetic(Interpreter& interp, TokenKind kind, double a,
                                                double b) {
  switch (kind) {
    case TokenKind::Plus: return a + b;
    case TokenKind::Minus: return a - b;
    case TokenKind::Times: return a * b;
    case TokenKind::Mod:
      // Whole operands of 32 bits and a positive divisor: a plain
      // remainder, as the general way gives.
      if (a >= -2147483648.0 && a <= 2147483647.0 && b >= 1.0 && b <= 2147483647.0) {
        const auto wholeA = static_cast<int32_t>(a);
        const auto wholeB = static_cast<int32_t>(b);
        if (wholeA == a && wholeB == b) return wholeA % wholeB;
      }
      return ApplyOperator(interp, kind, a, b);
    default: return ApplyOperator(interp, kind, a, b);
  }
}

double TextRelation(TokenKind kind, std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return Compare(kind, (c > 0) - (c < 0), false) ? 1.0 : 0.0;
}

double CodeOf(std::string_view s) { return s.empty() ? 0.0 : static_cast<signed char>(s[0]); }

std::string_view Side(std::string_view s, double count, bool left) {
  const std::size_t n = ClampCount(RoundToInt(count), s.size());
  return left ? s.substr(0, n) : s.substr(s.size() - n);
}

// The join of `head`, held by `buffer` or not, and `tail`, in `buffer`.
std::string_view Join(std::string& buffer, std::string_view head, std::string_view tail) {
  Own(buffer, head);
  Append(buffer, tail);
  return buffer;
}

std::string_view Transformed(std::string& buffer, std::string_view text, TokenKind kind) {
  Own(buffer, text);
  TransformText(kind, buffer);
  return buffer;
}

// Runs the operations on two stacks, each pointer at its first free
// place; with `taken`, the first operation (a read of `leading`) finds
// the variable's text in the first slot's buffer already.
void Run(Interpreter& interp, const StringCode& code, bool taken, double& number,
         std::string_view& text) {
  std::array<double, kMaxStack> numbers;
  std::array<TextSlot, kMaxStack> texts;
  double* n = numbers.data();
  TextSlot* t = texts.data();
  // The buffer of the slot below `t`.
  auto buffer = [&code, &texts](const TextSlot* slot) -> std::string& {
    return code.buffers[static_cast<std::size_t>(slot - texts.data())];
  };
  const StringOp* op = code.ops.data();
  const StringOp* const end = op + code.ops.size();
  if (taken) {
    *t++ = std::string_view(code.buffers[0]);
    ++op;
  }
  for (; op != end; ++op) {
    switch (op->code) {
      case StringOpCode::Constant: *n++ = op->number; break;
      case StringOpCode::Scalar: *n++ = op->variable->number; break;
      case StringOpCode::Negate: n[-1] = -n[-1]; break;
      case StringOpCode::Complement: n[-1] = static_cast<double>(~RoundToInt(n[-1])); break;
      case StringOpCode::Operator:
        --n;
        n[-1] = Arithmetic(interp, op->kind, n[-1], n[0]);
        break;
      case StringOpCode::OperatorConstant:
        n[-1] = Arithmetic(interp, op->kind, n[-1], op->number);
        break;
      case StringOpCode::Function: n[-1] = NumericFunction(op->kind, n[-1]); break;
      case StringOpCode::Literal:
        *t++ = std::string_view(code.literals).substr(op->offset, op->length);
        break;
      case StringOpCode::Text: *t++ = TextOf(interp, *op->variable); break;
      case StringOpCode::Join:
        --t;
        t[-1] = Join(buffer(t - 1), t[-1], t[0]);
        break;
      case StringOpCode::Relation:
        t -= 2;
        *n++ = TextRelation(op->kind, t[0], t[1]);
        break;
      case StringOpCode::Mid:
        n -= op->count - 1;
        t[-1] = Mid(t[-1], RoundToInt(n[0]),
                    op->count == 3 ? RoundToInt(n[1]) : static_cast<int32_t>(kMaxStringLength));
        break;
      case StringOpCode::Left:
      case StringOpCode::Right:
        --n;
        t[-1] = Side(t[-1], n[0], op->code == StringOpCode::Left);
        break;
      case StringOpCode::Character: {
        const auto c = static_cast<std::size_t>(RoundToInt(*--n) & 0xFF);
        *t++ = c == 0 ? std::string_view() : std::string_view(&kCharacters[c], 1);
        break;
      }
      case StringOpCode::Format: {
        std::string& into = buffer(t);
        into = FormatNumber(*--n);
        *t++ = std::string_view(into);
        break;
      }
      case StringOpCode::Code:
        --t;
        *n++ = CodeOf(t[0]);
        break;
      case StringOpCode::Length:
        --t;
        *n++ = static_cast<double>(t[0].size);
        break;
      case StringOpCode::CodeOfText: *n++ = CodeOf(TextOf(interp, *op->variable)); break;
      case StringOpCode::LengthOfText:
        *n++ = static_cast<double>(TextOf(interp, *op->variable).size());
        break;
      case StringOpCode::Transform: t[-1] = Transformed(buffer(t - 1), t[-1], op->kind); break;
    }
  }
  if (code.isString) {
    text = texts[0];
  } else {
    number = numbers[0];
  }
}

}  // namespace

void StringCodeDeleter::operator()(const StringCode* code) const noexcept { delete code; }

void TranslateWithStrings(const TokenList& tokens, std::size_t start, ExpressionDraft& out) {
  auto code = std::make_unique<StringCode>();
  StringTranslator translator(tokens, start, *code);
  Type type = Type::Number;
  if (!translator.Translate(type)) return;
  code->ops.shrink_to_fit();
  out.end = static_cast<uint32_t>(translator.End());
  out.depth = translator.Depth();
  if (type == Type::Number) {
    Op op;
    op.code = OpCode::Mixed;
    op.strings = code.get();
    out.ops.assign(1, op);
    out.refused = false;
  }
  out.strings = StringCodePtr(code.release());
}

bool StringShapesHold(const StringCode& code) {
  return std::all_of(code.ops.begin(), code.ops.end(), [](const StringOp& op) {
    return !ReadsVariable(op) || op.variable->extentCount == 0;
  });
}

double RunStringCodeForNumber(Interpreter& interp, const StringCode& code) {
  double number = 0.0;
  std::string_view text;
  Run(interp, code, false, number, text);
  return number;
}

namespace {

// The string translation kept for the cursor's position, if it is one and
// still holds.
const CompiledExpression* KeptStringAt(const Interpreter& interp, const StatementCursor& cursor) {
  const ProgramLine* const line = interp.currentLine;
  if (line == nullptr || line->code == nullptr || cursor.list != &line->tokens) return nullptr;
  const CompiledExpression* found = line->code->FindExpression(cursor.pos);
  if (found == nullptr) return nullptr;
  const CompiledExpression& expression = *found;
  if (expression.shapeEpoch != interp.shapeEpoch || expression.Strings() == nullptr ||
      !expression.Strings()->isString || !NestsWithinLimit(interp, expression.depth)) {
    return nullptr;
  }
  return &expression;
}

}  // namespace

const CompiledExpression* CompiledStringAt(Interpreter& interp, const StatementCursor& cursor) {
  if (const CompiledExpression* kept = KeptStringAt(interp, cursor)) return kept;
  // Translated on first use (or again after a change of shapes).
  if (CompiledExpressionAt(interp, cursor) != nullptr) return nullptr;  // a number
  return KeptStringAt(interp, cursor);
}

std::string_view RunStringCode(Interpreter& interp, const StringCode& code) {
  double number = 0.0;
  std::string_view text;
  Run(interp, code, false, number, text);
  return text;
}

void RunStringCodeInto(Interpreter& interp, const StringCode& code, Variable& target) {
  std::string& text = target.text.text;
  std::string& buffer = code.buffers[0];
  const std::size_t before = HeapBytes(text);
  // Read nowhere else, the target's text is built on where it lies.
  const bool taken = code.leading == &target && target.text.hasValue;
  if (taken) text.swap(buffer);
  double number = 0.0;
  std::string_view result;
  Run(interp, code, taken, number, result);
  result = result.substr(0, kMaxStringLength);
  if (taken || Within(result, buffer)) {
    Own(buffer, result);
    text.swap(buffer);
  } else if (Within(result, text)) {
    Own(text, result);
  } else {
    text.assign(result);
  }
  target.text.hasValue = true;
  if (target.budget == nullptr) return;
  target.budget->Release(before);
  target.budget->Grow(HeapBytes(text));
}

}  // namespace tenrek
