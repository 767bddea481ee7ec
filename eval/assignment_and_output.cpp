// The statements that store a value, LET and POKE, and those that show
// one: PRINT, GOTOXY and the message-box settings MSGTIT and MSGICON.
// INPUT and READ/RESTORE live in files of their own.
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "eval/assignment.h"
#include "eval/evaluator.h"
#include "eval/number_format.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/memory_budget.h"
#include "interp/statements.h"

namespace tenrek {

void AssignExpression(Interpreter& interp, StatementCursor& cursor, const CellRef& cell) {
  Value value = EvaluateExpression(interp, cursor);
  if (cell.variable == nullptr) return;  // the reference already reported
  if (value.isString != cell.IsString()) {
    interp.Report(Error::TypeMismatch);
    return;
  }
  if (value.isString) {
    cell.SetString(std::move(value.text));
  } else {
    cell.SetNumber(value.number);
  }
}

bool ExpectTarget(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.Is(TokenKind::Identifier)) return true;
  interp.Report(Error::SyntaxError);
  cursor.SkipToStatementEnd();
  return false;
}

bool ExpectTargetSeparator(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.Is(TokenKind::Comma)) {
    cursor.Advance();
    return true;
  }
  interp.Report(Error::SyntaxError);
  cursor.SkipToStatementEnd();
  return false;
}

namespace {

// True when the rest of a join, from token `from` to the end of the
// statement, cannot read `variable` (by name, or by name through VAL) and
// has nothing but "+" and operators inside its operands outside
// parentheses, so that the whole is a string whatever the operands are.
bool RestOnlyJoins(const TokenList& tokens, std::size_t from, const Variable* variable) {
  int depth = 0;
  for (std::size_t i = from; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.kind == TokenKind::Identifier && token.Var() == variable) return false;
    if (token.kind == TokenKind::Val) return false;
    if (token.kind == TokenKind::LeftParen) ++depth;
    if (token.kind == TokenKind::RightParen && --depth < 0) return false;
    if (depth > 0) continue;
    switch (token.kind) {
      case TokenKind::Colon:
      case TokenKind::Else: return true;
      case TokenKind::Minus:
      case TokenKind::And:
      case TokenKind::Or:
      case TokenKind::Xor:
      case TokenKind::Equal:
      case TokenKind::Less:
      case TokenKind::Greater:
      case TokenKind::LessEqual:
      case TokenKind::GreaterEqual:
      case TokenKind::NotEqual: return false;
      default: break;
    }
  }
  return true;
}

// name$ = name$ + ...: the join goes onto the variable's own text instead
// of a copy of it, when nothing in the rest can tell the difference.
bool JoinInPlace(Interpreter& interp, StatementCursor& cursor) {
  const TokenList& tokens = *cursor.list;
  const std::size_t at = cursor.pos;
  if (at + 3 >= tokens.size()) return false;
  const Token& target = tokens[at];
  if (target.kind != TokenKind::Identifier) return false;
  Variable* const variable = target.Var();
  if (tokens[at + 1].kind != TokenKind::Equal || tokens[at + 2].kind != TokenKind::Identifier ||
      tokens[at + 2].Var() != variable || tokens[at + 3].kind != TokenKind::Plus) {
    return false;
  }
  if (variable == nullptr || !variable->isString || variable->extentCount != 0 ||
      !variable->text.hasValue || interp.NestingDepth() >= kMaxEvaluationDepth ||
      !RestOnlyJoins(tokens, at + 3, variable)) {
    return false;
  }
  cursor.pos = at + 3;
  // The text leaves the cell, and with it what the cell counts against the
  // memory budget; storing the joined text counts it again.
  std::string taken = std::move(variable->text.text);
  variable->text.text = std::string();
  if (variable->budget != nullptr) variable->budget->Release(HeapBytes(taken));
  Value joined = ContinueExpression(interp, cursor, Value::Text(std::move(taken)));
  CellRef{variable, CellRef::kScalar}.SetString(std::move(joined.text));
  return true;
}

}  // namespace

// [LET] target = expression
// The target cell is taken before the value is evaluated, so LET A(I) =
// A(J) writes A(I) whatever the evaluation referenced meanwhile. Without
// "=" nothing is evaluated or stored.
Flow ExecLet(Interpreter& interp, StatementCursor& cursor) {
  if (JoinInPlace(interp, cursor)) return Flow::Next;
  if (!ExpectTarget(interp, cursor)) return Flow::Next;
  const CellRef cell = ReferenceVariable(interp, cursor);
  if (!cursor.Is(TokenKind::Equal)) {
    interp.Report(Error::SyntaxError);
    cursor.SkipToStatementEnd();
    return Flow::Next;
  }
  cursor.Advance();
  AssignExpression(interp, cursor, cell);
  return Flow::Next;
}

namespace {

// Appends as much of `tail` as fits in `capacity` characters.
void AppendCapped(std::string& text, std::string_view tail, std::size_t capacity) {
  if (text.size() >= capacity) return;
  text.append(tail.substr(0, capacity - text.size()));
}

}  // namespace

// PRINT [item] ...   (items: expressions, ";" and "," as plain separators)
// The whole statement becomes one message box. A trailing separator
// suppresses the closing line feed.
Flow ExecPrint(Interpreter& interp, StatementCursor& cursor) {
  std::string text;
  bool endsWithSeparator = false;
  while (!cursor.AtStatementEnd()) {
    endsWithSeparator = cursor.Is(TokenKind::Semicolon) || cursor.Is(TokenKind::Comma);
    if (endsWithSeparator) {
      cursor.Advance();
      continue;
    }
    const std::size_t before = cursor.pos;
    Value value = EvaluateExpression(interp, cursor);
    if (value.isString) {
      AppendCapped(text, value.text, kMaxPrintText);
    } else {
      AppendCapped(text, FormatNumber(value.number), kMaxPrintText);
      AppendCapped(text, " ", kMaxPrintText);
    }
    if (cursor.pos == before) cursor.Advance();  // never loop on a stuck token
  }
  if (!endsWithSeparator) AppendCapped(text, "\n", kMaxPrintText);
  interp.platform.ShowMessageBox(interp.host.messageTitle, text, interp.host.messageStyle);
  return Flow::Next;
}

// POKE address, value
// Writes the low 8 bits of the value into the PEEK/POKE memory block;
// addresses outside the block are ignored.
Flow ExecPoke(Interpreter& interp, StatementCursor& cursor) {
  const int32_t address = RoundToInt(NumericExpression(interp, cursor));
  ExpectToken(interp, cursor, TokenKind::Comma);
  const int32_t value = RoundToInt(NumericExpression(interp, cursor));
  if (address >= 0 && static_cast<std::size_t>(address) < interp.memory.size()) {
    interp.memory[static_cast<std::size_t>(address)] = static_cast<uint8_t>(value & 0xFF);
  }
  return Flow::Next;
}

// GOTOXY x, y
// There is no console to position: both operands are evaluated (for their
// errors) and dropped.
Flow ExecGotoxy(Interpreter& interp, StatementCursor& cursor) {
  NumericExpression(interp, cursor);
  const bool hasSecond = cursor.Is(TokenKind::Comma);
  ExpectToken(interp, cursor, TokenKind::Comma);
  if (hasSecond) NumericExpression(interp, cursor);
  return Flow::Next;
}

// MSGTIT expression
// A string becomes the caption of PRINT's boxes and INPUT's dialog (cut to
// the 255 characters of the title field); a number is ignored.
Flow ExecMsgtit(Interpreter& interp, StatementCursor& cursor) {
  Value value = EvaluateExpression(interp, cursor);
  if (value.isString) {
    if (value.text.size() > kMaxFieldText) value.text.resize(kMaxFieldText);
    interp.host.messageTitle = std::move(value.text);
  }
  return Flow::Next;
}

// MSGICON expression
// A number, truncated toward zero, becomes the message-box style; a string
// is ignored.
Flow ExecMsgicon(Interpreter& interp, StatementCursor& cursor) {
  const Value value = EvaluateExpression(interp, cursor);
  if (!value.isString) interp.host.messageStyle = TruncateToInt(value.number);
  return Flow::Next;
}

}  // namespace tenrek
