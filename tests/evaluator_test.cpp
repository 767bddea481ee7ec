// The expression evaluator: precedence, operators, factors, type rules,
// errors, and where the cursor stops.
#include <cmath>
#include <limits>
#include <string>

#include "expression_fixture.h"

namespace tenrek::testing {
namespace {

using EvaluatorTest = ExpressionTest;

TEST_F(EvaluatorTest, OperatorsAndPrecedence) {
  const NumberCase cases[] = {
      {"1 + 2 * 3", 7},   {"(1 + 2) * 3", 9},  {"10 - 2 - 3", 5},      {"8 / 2 / 2", 2},
      {"2 * 3 ^ 2", 18},  {"2 ^ 3", 8},        {"2 ^ 3 ^ 2", 512},     {"-2 ^ 2", 4},
      {"2 ^ -1", 0.5},    {"(-2) ^ 3", -8},    {"(-2) ^ 2", 4},        {"0 ^ 2", 0},
      {"1 + 2 = 3", 1},   {"1 < 2 < 3", 1},    {"3 > 2 > 1", 0},       {"3 = 3", 1},
      {"3 <> 3", 0},      {"2 <= 2", 1},       {"2 >= 3", 0},          {"7 MOD 3", 1},
      {"-7 MOD 3", -1},   {"7 MOD -3", 1},     {"6.6 MOD 4", 3},       {"7.5 MOD 2", 0},
      {"5 AND 3", 1},     {"5 OR 3", 7},       {"5 XOR 3", 6},         {"2.9 AND 3", 2},
      {"-1.5 OR 0", -1},  {"1 OR 2 AND 0", 1}, {"1 = 1 AND 2 = 2", 1}, {"NOT 0", -1},
      {"NOT 2.5", -4},    {"NOT (1 = 1)", -2}, {"NOT (1 = 2)", -1},    {"NOT 1 = -2", 1},
      {"+5 - -5", 10},    {"--3", 3},          {"SIN 0 + 1", 1},       {"1E3 + .5", 1000.5},
      {"[1 + 1] * 2", 4},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(EvalCleanly(c.text, false).number, c.expected) << c.text;
  }
}

TEST_F(EvaluatorTest, PowersWhereTheLogarithmFails) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Eval("2 ^ 0.5").number, std::sqrt(2.0));
  EXPECT_EQ(Eval("0 ^ -1").number, inf);
  EXPECT_EQ(Eval("(-2) ^ 0").number, 1.0);
  EXPECT_EQ(Eval("1 ^ 0").number, 1.0);
  EXPECT_EQ(Eval("(1/0) ^ -1").number, 0.0);
  const char* notANumber[] = {"(-8) ^ (1/3)", "0 ^ 0",     "(0/0) ^ 0", "1 ^ (1/0)",
                              "(-1) ^ (1/0)", "(1/0) ^ 0", "2 ^ (0/0)", "(-2) ^ 3000000000"};
  for (const char* text : notANumber) {
    EXPECT_TRUE(std::isnan(Eval(text).number)) << text;
    EXPECT_EQ(interp.errorNumber, 0) << text;
  }
}

TEST_F(EvaluatorTest, DivisionFollowsIeeeWithoutError) {
  EXPECT_EQ(Eval("1 / 0").number, std::numeric_limits<double>::infinity());
  EXPECT_EQ(Eval("-1 / 0").number, -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(Eval("0 / 0").number));
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(EvaluatorTest, ModByZeroReportsDivideByZeroAndGoesOn) {
  for (const char* text : {"7 MOD 0", "7 MOD 0.4", "7 MOD -0.5"}) {
    const Value v = Eval(text);
    EXPECT_EQ(v.number, 0) << text;
    EXPECT_EQ(interp.errorNumber, -5) << text;
    EXPECT_EQ(interp.errorText, "Divide by zero: \nBasic system error -5 (divide by zero)");
  }
  // The smallest 64-bit dividend by -1 would overflow the division.
  EXPECT_EQ(Eval("-1E300 MOD -1").number, 0);
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Eval("2 * (7 MOD 0) + 1").number, 1);
}

TEST_F(EvaluatorTest, ComparisonsWithNotANumberAreAllFalse) {
  for (const char* op : {"=", "<", ">", "<=", ">=", "<>"}) {
    const std::string text = std::string("0/0 ") + op + " 0/0";
    EXPECT_EQ(Eval(text).number, 0) << text;
  }
}

TEST_F(EvaluatorTest, StringOperators) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {R"("abc" < "abd")", 1},
      {R"("ABC" = "abc")", 0},
      {R"("AB" < "ABC")", 1},
      {R"("ABC" > "AB")", 1},
      {R"("B" >= "B")", 1},
      {R"("a" <> "b")", 1},
      {R"("" = "")", 1},
      // Characters above 127 are greater than every ASCII character.
      {R"(CHR$(200) > "z")", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Eval(c.text).number, c.expected) << c.text;
    EXPECT_EQ(interp.errorNumber, 0) << c.text;
  }
  const Value joined = Eval(R"("AB" + "CD" + 'E')");
  EXPECT_TRUE(joined.isString);
  EXPECT_EQ(joined.text, "ABCDE");
}

TEST_F(EvaluatorTest, ConcatenationStopsAtTheStringLimit) {
  SetText("A$", std::string(1000, 'x'));
  const Value v = Eval(R"(A$ + A$ + "y")");
  EXPECT_EQ(v.text, std::string(kMaxStringLength, 'x'));
  EXPECT_EQ(interp.errorNumber, 0);
}

// After a type mismatch an operator yields a value of its own result type;
// "+" yields one of its left operand's type.
TEST_F(EvaluatorTest, TypeMismatchYieldsZeroOrEmpty) {
  struct Case {
    const char* text;
    bool isString;
  };
  const Case cases[] = {
      {R"("AB" - "A")", false}, {R"("1" + 1)", true},    {R"(1 + "1")", false},
      {R"(1 < "A")", false},    {R"("A" = 1)", false},   {R"("A" * 2)", false},
      {R"(4 / "2")", false},    {R"("7" MOD 2)", false}, {R"(2 ^ "A")", false},
      {R"("A" AND 1)", false},  {R"(1 OR "A")", false},  {R"(-"A")", false},
      {R"(+"A")", false},       {R"(NOT "A")", false},
  };
  for (const Case& c : cases) {
    const Value v = Eval(c.text);
    EXPECT_EQ(v.isString, c.isString) << c.text;
    EXPECT_EQ(v.number, 0) << c.text;
    EXPECT_EQ(v.text, "") << c.text;
    EXPECT_EQ(interp.errorNumber, 41) << c.text;
    EXPECT_EQ(interp.errorText, kTypeMismatchText) << c.text;
    EXPECT_TRUE(cursor.AtLineEnd()) << c.text;
  }
}

TEST_F(EvaluatorTest, SyntaxErrorsConsumeTheOffendingToken) {
  struct Case {
    const char* text;
    std::size_t stop;  // index of the token the cursor stops on
  };
  const Case cases[] = {
      {")", 1}, {",", 1},    {"1 + )", 3},  {"(1 + 2", 4}, {"1 +", 2},
      {"", 0},  {"THEN", 1}, {"LMOD 2", 1}, {"2 = ", 2},
  };
  for (const Case& c : cases) {
    Eval(c.text);
    EXPECT_EQ(interp.errorNumber, 40) << c.text;
    EXPECT_EQ(interp.errorText, kSyntaxErrorText) << c.text;
    EXPECT_EQ(cursor.pos, c.stop) << c.text;
  }
  // The value of a parenthesis that is not closed is still there.
  EXPECT_EQ(Eval("(1 + 2").number, 3);
}

// A missing operand counts as a value of the type its reader wanted: one
// error, not a syntax error followed by a type mismatch.
TEST_F(EvaluatorTest, MissingOperandIsOneSyntaxError) {
  enum Form { kStringExpression, kNumericExpression, kStringFactor };
  struct Case {
    const char* text;
    Form form;
    const char* result;
  };
  const Case cases[] = {
      {"", kStringExpression, ""},
      {R"("A" + )", kStringExpression, "A"},
      {R"("A" < )", kNumericExpression, ""},
      {"1 + *", kNumericExpression, ""},
      {")", kStringFactor, ""},
      {"UPPER$", kStringFactor, ""},
  };
  for (const Case& c : cases) {
    Load(c.text);
    switch (c.form) {
      case kStringExpression:
        EXPECT_EQ(StringExpression(interp, cursor), c.result) << c.text;
        break;
      case kNumericExpression: NumericExpression(interp, cursor); break;
      case kStringFactor: EXPECT_EQ(StringFactor(interp, cursor), c.result) << c.text; break;
    }
    EXPECT_EQ(interp.errorNumber, 40) << c.text;
    EXPECT_EQ(Reports(), 1u) << c.text;
  }
}

TEST_F(EvaluatorTest, ExpressionEndsInFrontOfTokensNoLevelAccepts) {
  struct Case {
    const char* text;
    double expected;
    std::size_t stop;
  };
  const Case cases[] = {
      {"1 LMOD 2", 1, 1}, {"1 + 2 : PRINT", 3, 3}, {"2 THEN 10", 2, 1}, {"3 ELSE 4", 3, 1},
      {"1, 2", 1, 1},     {"4 ; 5", 4, 1},         {"1 2", 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Eval(c.text).number, c.expected) << c.text;
    EXPECT_EQ(interp.errorNumber, 0) << c.text;
    EXPECT_EQ(cursor.pos, c.stop) << c.text;
  }
}

TEST_F(EvaluatorTest, VariablesInExpressions) {
  SetNumber("X", 4);
  SetText("S$", "hi");
  EXPECT_EQ(Eval("X * X + 1").number, 17);
  EXPECT_EQ(Eval("S$ + S$").text, "hihi");
  // Case counts in names; a new name holds 0.
  EXPECT_EQ(Eval("x + 1").number, 1);
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(EvaluatorTest, StringVariableWithoutValueIsNotCreated) {
  const Value v = Eval(R"(X$ + "A")");
  EXPECT_EQ(v.text, "A");
  EXPECT_EQ(interp.errorNumber, 43);
  EXPECT_EQ(interp.errorText, "Variable not created: \nBasic system error 43");
  // An empty value is a value.
  SetText("E$", "");
  Eval("E$");
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(EvaluatorTest, TypedFormsReportMismatchAndYieldTheirType) {
  Load(R"("A" + "B")");
  EXPECT_EQ(NumericExpression(interp, cursor), 0);
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_TRUE(cursor.AtLineEnd());

  Load("1 + 2");
  EXPECT_EQ(StringExpression(interp, cursor), "");
  EXPECT_EQ(interp.errorNumber, 41);

  Load("2.5 + 1");
  EXPECT_EQ(IntegerExpression(interp, cursor), 4);  // 3.5 rounds up

  // A factor takes one factor only.
  Load("-2.5 * 4");
  EXPECT_EQ(IntegerFactor(interp, cursor), -2);
  EXPECT_EQ(cursor.pos, 2u);

  Load(R"('text' + 1)");
  EXPECT_EQ(StringFactor(interp, cursor), "text");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(NumericFactor(interp, cursor), 1);  // "+" is a unary plus here
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(EvaluatorTest, IntegerConversions) {
  struct Case {
    double value;
    int32_t rounded;
    int32_t truncated;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {2.5, 3, 2},
      {-2.5, -2, -2},
      {-2.6, -3, -2},
      {2147483647.4, 2147483647, 2147483647},
      {2147483647.5, INT32_MIN, 2147483647},
      {-2147483648.0, INT32_MIN, INT32_MIN},
      {-2147483649.0, INT32_MIN, INT32_MIN},
      {1e300, INT32_MIN, INT32_MIN},
      {nan, INT32_MIN, INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundToInt(c.value), c.rounded) << c.value;
    EXPECT_EQ(TruncateToInt(c.value), c.truncated) << c.value;
  }
}

TEST_F(EvaluatorTest, ExpectTokenStepsPastWhateverIsThere) {
  Load("1 2");
  ExpectToken(interp, cursor, TokenKind::Number);
  EXPECT_EQ(interp.errorNumber, 0);
  ExpectToken(interp, cursor, TokenKind::Comma);
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_TRUE(cursor.AtLineEnd());
  ExpectToken(interp, cursor, TokenKind::Comma);  // nothing left: no step
  EXPECT_TRUE(cursor.AtLineEnd());
}

TEST_F(EvaluatorTest, SkipSubscriptStepsOverNestedLists) {
  struct Case {
    const char* text;
    std::size_t stop;
    int32_t error;
  };
  const Case cases[] = {
      {"1, 2)", 1, 0},   {"A(1, B(2, 3)), 4)", 11, 0}, {"(1, 2) + 3)", 7, 0}, {"1 + 2", 3, 40},
      {"1 : 2)", 1, 40},
  };
  for (const Case& c : cases) {
    Load(c.text);
    SkipSubscript(interp, cursor);
    EXPECT_EQ(cursor.pos, c.stop) << c.text;
    EXPECT_EQ(interp.errorNumber, c.error) << c.text;
  }
}

// Texts that nest deeper than any program does end in a syntax error, not
// in an exhausted stack.
TEST_F(EvaluatorTest, NestingTooDeepIsAnErrorNotACrash) {
  const int deep = kMaxEvaluationDepth + 50;
  const std::string parens = std::string(deep, '(') + "1" + std::string(deep, ')');
  Eval(parens);
  EXPECT_EQ(interp.errorNumber, 40);

  const int fine = kMaxEvaluationDepth / 2;
  EXPECT_EQ(Eval(std::string(fine, '(') + "1" + std::string(fine, ')')).number, 1);
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Eval(std::string(fine, '-') + "1").number, 1);
  EXPECT_EQ(interp.errorNumber, 0);

  SetText("A$", "VAL(A$)");
  Eval("VAL(A$)");
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.NestingDepth(), 0);
  EXPECT_EQ(cursor.list, &tokens);
}

}  // namespace
}  // namespace tenrek::testing
