// INPUT: values typed by the user into the modal input dialog.
#include <optional>
#include <string>
#include <string_view>

#include "eval/assignment.h"
#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/statements.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

constexpr std::string_view kDefaultPrompt = "?";

// Shows the dialog and puts the answer (at most 255 characters) into
// `answer`. When no answer can ever come (end of input) the answer is
// empty, the run is asked to break, and the result is false: the caller
// must stop asking.
bool AskAnswer(Interpreter& interp, std::string_view prompt, std::string& answer) {
  // The title is copied: a host event handled inside the dialog's message
  // loop may run MSGTIT while the dialog still shows it.
  const std::string title = interp.host.messageTitle;
  std::optional<std::string> reply =
      interp.platform.AskInput({title, prompt, interp.host.moduleInstance});
  if (!reply) {
    answer.clear();
    interp.RequestBreak();
    return false;
  }
  answer = std::move(*reply);
  if (answer.size() > kMaxInputAnswer) answer.resize(kMaxInputAnswer);
  return true;
}

// The type of the whole statement is the type of its first identifier;
// every identifier up to the statement end, subscripts included, must
// share it. Does not move the cursor.
bool TargetsShareOneType(const StatementCursor& cursor, bool& isString) {
  const Token* first = cursor.Current();
  if (first == nullptr || first->kind != TokenKind::Identifier || first->Var() == nullptr) {
    return false;
  }
  isString = first->Var()->isString;
  StatementCursor scan = cursor;
  for (; !scan.AtStatementEnd(); scan.Advance()) {
    const Token* token = scan.Current();
    if (token->kind != TokenKind::Identifier) continue;
    if (token->Var() == nullptr || token->Var()->isString != isString) return false;
  }
  return true;
}

// One dialog per target; each answer is stored as typed.
void InputStrings(Interpreter& interp, StatementCursor& cursor, std::string_view prompt) {
  std::string answer;
  for (;;) {
    if (!ExpectTarget(interp, cursor)) return;
    const bool answered = AskAnswer(interp, prompt, answer);
    ReferenceVariable(interp, cursor).SetString(answer);
    if (!answered) {
      cursor.SkipToStatementEnd();
      return;
    }
    if (cursor.AtStatementEnd() || !ExpectTargetSeparator(interp, cursor)) return;
  }
}

// The answer tokens still to be evaluated, and where the next value starts.
struct AnswerList {
  TokenList tokens;
  StatementCursor cursor;
};

// Asks until the answer yields at least one token; "?" after the first
// dialog. False at end of input.
bool EnsureAnswerTokens(Interpreter& interp, AnswerList& answer, std::string_view& prompt) {
  std::string text;
  while (answer.cursor.AtLineEnd()) {
    if (!AskAnswer(interp, prompt, text)) return false;
    prompt = kDefaultPrompt;
    answer.tokens.clear();
    Tokenize(interp, text, answer.tokens);
    answer.cursor.Point(&answer.tokens, 0);
  }
  return true;
}

// One answer may hold several values separated by ","; each value is an
// expression. A run-out answer brings the dialog back with "?".
void InputNumbers(Interpreter& interp, StatementCursor& cursor, std::string_view prompt) {
  AnswerList answer;
  answer.cursor.Point(&answer.tokens, 0);
  for (;;) {
    if (!ExpectTarget(interp, cursor)) return;
    const CellRef cell = ReferenceVariable(interp, cursor);
    if (!EnsureAnswerTokens(interp, answer, prompt)) {
      cursor.SkipToStatementEnd();
      return;
    }
    AssignExpression(interp, answer.cursor, cell);
    if (!answer.cursor.AtLineEnd()) ExpectToken(interp, answer.cursor, TokenKind::Comma);
    if (cursor.AtStatementEnd() || !ExpectTargetSeparator(interp, cursor)) return;
  }
}

}  // namespace

// INPUT ["prompt";] target [, target] ...
// All targets are strings or all are numbers; a mixed statement reports
// "Syntax error" before any dialog is shown and asks nothing.
Flow ExecInput(Interpreter& interp, StatementCursor& cursor) {
  std::string_view prompt = kDefaultPrompt;
  if (cursor.Is(TokenKind::String)) {
    prompt = cursor.Current()->Text();
    cursor.Advance();
    ExpectToken(interp, cursor, TokenKind::Semicolon);
  }
  bool isString = false;
  if (!TargetsShareOneType(cursor, isString)) {
    interp.Report(Error::SyntaxError);
    cursor.SkipToStatementEnd();
    return Flow::Next;
  }
  if (isString) {
    InputStrings(interp, cursor, prompt);
  } else {
    InputNumbers(interp, cursor, prompt);
  }
  return Flow::Next;
}

}  // namespace tenrek
