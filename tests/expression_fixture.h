// Evaluates expression texts on a fresh interpreter, the way a statement
// handler does: tokenize, point a cursor at the tokens, evaluate.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "eval/evaluator.h"
#include "eval/variables.h"
#include "test_support.h"
#include "text/tokenizer.h"

namespace tenrek::testing {

class ExpressionTest : public ::testing::Test, public RecordedInterpreter {
 protected:
  // Tokenizes `text` and leaves the cursor on its first token, with the
  // error fields cleared.
  void Load(std::string_view text) {
    tokens.clear();
    Tokenize(interp, text, tokens);
    cursor = StatementCursor{};
    cursor.Point(&tokens, 0);
    interp.errorNumber = 0;
    interp.errorText.clear();
    platform.notifications.clear();
  }

  Value Eval(std::string_view text) {
    Load(text);
    return EvaluateExpression(interp, cursor);
  }

  // Evaluates `text`, which must give a value of the expected type without
  // any report and use every token; the caller checks the value itself.
  Value EvalCleanly(const char* text, bool isString) {
    const Value v = Eval(text);
    EXPECT_EQ(v.isString, isString) << text;
    EXPECT_EQ(interp.errorNumber, 0) << text;
    EXPECT_TRUE(cursor.AtLineEnd()) << text;
    return v;
  }

  Variable* Var(std::string_view name) { return FindOrCreateVariable(interp, name); }

  void SetText(std::string_view name, std::string text) {
    CellRef{Var(name), CellRef::kScalar}.SetString(std::move(text));
  }
  void SetNumber(std::string_view name, double value) {
    CellRef{Var(name), CellRef::kScalar}.SetNumber(value);
  }

  // The number of errors reported since Load (each posts a notification).
  std::size_t Reports() const { return platform.notifications.size(); }

  TokenList tokens;
  StatementCursor cursor;
};

// Table rows: an expression text and the value it must give.
struct NumberCase {
  const char* text;
  double expected;
};
struct TextCase {
  const char* text;
  const char* expected;
};

inline constexpr const char* kTypeMismatchText = "Type mismatch error: \nBasic system error 41";
inline constexpr const char* kSyntaxErrorText = "Syntax error: \nBasic system error 40";
inline constexpr const char* kBadSubscriptText = "Bad subscript: \nBasic system error 42";

}  // namespace tenrek::testing
