// The built-in functions and the helpers other parts share.
#include <cmath>
#include <limits>
#include <string>

#include "eval/functions.h"
#include "eval/number_format.h"
#include "eval/string_search.h"
#include "expression_fixture.h"

namespace tenrek::testing {
namespace {

using FunctionsTest = ExpressionTest;

TEST_F(FunctionsTest, NumericResults) {
  const NumberCase cases[] = {
      {"SQR(3)", 9},
      {"SQRT(9)", 3},
      {"SQR -3", 9},
      {"SGN(-0.5)", -1},
      {"SGN 7", 1},
      {"SGN(0)", 0},
      {"SGN(0/0)", 0},
      {"ABS(-2)", 2},
      {"INT(2.7)", 2},
      {"INT(-2.7)", -2},
      {"FLOOR(-2.5)", -3},
      {"CEILING(-2.5)", -2},
      {"CEILING(2.1)", 3},
      {"INT(1E10)", -2147483648.0},
      {"FLOOR(-3E9)", -2147483648.0},
      {"CEILING(2147483647.5)", -2147483648.0},
      {"CEILING(0/0)", -2147483648.0},
      {"SIN(0)", 0},
      {"COS 0", 1},
      {"TAN(0)", 0},
      {"LOG(1)", 0},
      {"EXP 0", 1},
      {"ARCTAN(1) * 4", 3.141592653589793},
      {"VAL(\"\")", 0},
      {"VAL(\"   \")", 0},
      {"VAL(\"3+4\")", 7},
      {"VAL(\" 12 \")", 12},
      {"VAL('2*3')", 6},
      {"VAL('12ABC')", 12},
      {"VAL \"2\" + 1", 3},
      {"ASC(\"A\")", 65},
      {"ASC(\"\")", 0},
      {"ASC(CHR$(200))", -56},
      {"LEN(\"\")", 0},
      {"LEN \"abc\" + 1", 4},
      {"LEN(CRLF$)", 2},
      {"LEN(TIME$)", 8},
      {"OCCUR(\"AAAA\", \"AA\")", 3},
      {"OCCUR(\"ABC\", \"\")", 0},
      {"OCCUR('Abab', \"ab\")", 1},
      {"OCCUR('abab', \"aB\")", 2},
      {"ATC('abcabc', \"bc\", 2)", 5},
      {"ATC(\"abc\", \"x\", 1)", 0},
      {"ATC(\"abc\", \"b\", 0)", 0},
      {"ATC(\"abc\", \"\", 1)", 0},
      {"MIN(3, 1, 2)", 1},
      {"MIN(3, 4)", 3},
      {"MAX(3, 1)", 3},
      {"MAX(1, 5, 3)", 5},
      {"MAX(1, 2, 9)", 9},
      {"PEEK(-1)", 0},
      {"PEEK(65536)", 0},
      {"PEEK 0", 0},
  };
  for (const NumberCase& c : cases) {
    EXPECT_DOUBLE_EQ(EvalCleanly(c.text, false).number, c.expected) << c.text;
  }
}

TEST_F(FunctionsTest, StringResults) {
  const TextCase cases[] = {
      {"STR$(0.001)", " 1.00000E-003"},
      {"STR$(100)", "100"},
      {"STR$(0.5)", "0.5"},
      {"STR$ -3", "-3"},
      {"CHR$(65)", "A"},
      {"CHR$(321)", "A"},
      {"CHR$(-191)", "A"},
      {"CHR$(0)", ""},
      {"CHR$(256)", ""},
      {"MID$('HELLO', 2, 3)", "ELL"},
      {"MID$('HELLO', 2)", "ELLO"},
      {"MID$('HELLO', 0, 2)", "HE"},
      {"MID$('HELLO', -5, 2)", "HE"},
      {"MID$('HELLO', 6)", ""},
      {"MID$('HELLO', 5, 10)", "O"},
      {"MID$('HELLO', 2, -1)", "ELLO"},
      {"MID$('HELLO', 2, 0)", ""},
      {"MID$('HELLO', 3000000000)", "HELLO"},  // out of range: -2147483648
      {"LEFT$('HELLO', 2)", "HE"},
      {"LEFT$('HELLO', 0)", ""},
      {"LEFT$('HELLO', 9)", "HELLO"},
      {"LEFT$('HELLO', -1)", "HELLO"},
      {"RIGHT$('HELLO', 2)", "LO"},
      {"RIGHT$('HELLO', 0)", ""},
      {"RIGHT$('HELLO', 9)", "HELLO"},
      {"RIGHT$('HELLO', -1)", "HELLO"},
      {"LTRIM$('  A  ')", "A  "},
      {"RTRIM$('  A  ')", "  A"},
      {"LTRIM$(CHR$(9) + CHR$(10) + CHR$(11) + CHR$(12) + CHR$(13) + ' x')", "x"},
      {"RTRIM$('x' + CHR$(13) + CHR$(10))", "x"},
      {"UPPER$(\"aBc1\")", "ABC1"},
      {"LOWER$(\"aBc1\" + CHR$(200))", "abc1\xC8"},
      {"PROPER$('hello wORLD-x  y')", "Hello World-x  Y"},
      {"PROPER$('1abc')", "1abc"},
      {"PROPER$(' a')", " A"},
      {"VAL(\"'quoted'\")", "quoted"},
      {"VAL('\"A\" + \"B\"')", "AB"},
      {"DATE$", "12/10/26"},
      {"TIME$", "14:05:09"},
      {"CRLF$", "\r\n"},
      {"UPPER$ \"ab\" + \"c\"", "ABc"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(EvalCleanly(c.text, true).text, c.expected) << c.text;
  }
}

TEST_F(FunctionsTest, DateAndTimeComeFromThePlatformClock) {
  platform.now = LocalTime{2003, 1, 2, 3, 4, 5};
  EXPECT_EQ(Eval("DATE$").text, "01/02/03");
  EXPECT_EQ(Eval("TIME$").text, "03:04:05");
}

TEST_F(FunctionsTest, ArgumentErrors) {
  struct Case {
    const char* text;
    int32_t error;
    std::size_t stop;
  };
  const Case cases[] = {
      {"MIN(\"A\", 1)", 41, 6},
      {"LEN 5", 41, 2},
      {"SIN \"A\"", 41, 2},
      {"STR$(\"A\")", 41, 4},
      {"CHR$(\"A\")", 41, 4},
      {"PEEK \"1\"", 41, 2},
      {"MID$(5, 1)", 41, 6},
      {"SIN", 40, 1},
      {"LEN", 40, 1},
      {"MID$ 'A', 1)", 40, 5},
      {"MID$('HELLO' 1)", 40, 5},
      {"LEFT$('AB', 1", 40, 5},
      {"RANDOM(1)", 40, 4},
      {"ATC('a', 'a')", 40, 6},
      {"SIN )", 40, 2},
  };
  for (const Case& c : cases) {
    Eval(c.text);
    EXPECT_EQ(interp.errorNumber, c.error) << c.text;
    EXPECT_EQ(cursor.pos, c.stop) << c.text;
  }
}

// VAL runs over its own token list and hands the cursor back unchanged.
TEST_F(FunctionsTest, ValRestoresTheCursorAndCreatesVariables) {
  SetNumber("A", 5);
  const Value v = Eval("VAL(\"A * 2 junk\") + 1");
  EXPECT_EQ(v.number, 11);
  EXPECT_EQ(cursor.list, &tokens);
  EXPECT_TRUE(cursor.AtLineEnd());
  EXPECT_EQ(interp.errorNumber, 0);

  EXPECT_EQ(interp.variableIndex.count("NEWNAME"), 0u);
  Eval("VAL(\"NEWNAME\")");
  EXPECT_EQ(interp.variableIndex.count("NEWNAME"), 1u);

  // An error inside the text is reported like any other.
  EXPECT_EQ(Eval("VAL(\"1 +\")").number, 1);
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(cursor.list, &tokens);
}

TEST_F(FunctionsTest, PeekReadsTheInterpretersMemoryAsSignedBytes) {
  interp.memory[100] = 200;
  interp.memory[65535] = 7;
  EXPECT_EQ(Eval("PEEK(100)").number, -56);
  EXPECT_EQ(Eval("PEEK(65535.4)").number, 7);
}

TEST_F(FunctionsTest, StringResultsStayWithinTheLimit) {
  SetText("A$", std::string(kMaxStringLength, 'a'));
  EXPECT_EQ(Eval("UPPER$(A$) + \"x\"").text, std::string(kMaxStringLength, 'A'));
  EXPECT_EQ(Eval("MID$(A$, 1000)").text.size(), 24u);
  EXPECT_EQ(Eval("OCCUR(A$, \"aa\")").number, kMaxStringLength - 1);
}

TEST_F(FunctionsTest, FormatNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {2.5, "2.5"},
      {-3, "-3"},
      {1.0 / 3, "0.3333333333"},
      {2.0 / 3, "0.6666666667"},
      {0.01, "0.01"},
      {-0.01, "-0.01"},
      {123456789012, "123456789012"},
      {999999999999.5, "999999999999.5"},
      {0.001, " 1.00000E-003"},
      {-0.001, "-1.00000E-003"},
      {0.00999999999, " 1.00000E-002"},
      {1e12, " 1.00000E+012"},
      {-1e12, "-1.00000E+012"},
      {1.234567e15, " 1.23457E+015"},
      {1e300, " 1.00000E+300"},
      {2.5e-310, " 2.50000E-310"},
      {inf, "INF"},
      {-inf, "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {-std::numeric_limits<double>::quiet_NaN(), "NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
}

TEST_F(FunctionsTest, CompareNoCase) {
  const struct {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"abc", "ABC", 0},
      {"", "", 0},
      {"a", "B", -1},
      {"B", "a", 1},
      {"ab", "a", 1},
      {"a", "ab", -1},
      {"", "x", -1},
      // "[" lies between the upper and lower case letters.
      {"[", "a", 1},
      {"\xC8", "z", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareNoCase(c.a, c.b), c.expected) << c.a << " / " << c.b;
  }
}

TEST_F(FunctionsTest, FindFromAndFindOccurrence) {
  const struct {
    const char* s;
    const char* t;
    int32_t start;
    int32_t found;
  } from[] = {
      {"abcabc", "bc", 1, 2}, {"abcabc", "bc", 3, 5}, {"abcabc", "bc", 6, 0},
      {"abc", "bc", 0, 0},    {"abc", "", 1, 0},      {"abc", "abcd", 1, 0},
      {"xAb", "ab", 1, 0},    {"xaB", "ab", 1, 2},    {"abc", "c", 99, 0},
  };
  for (const auto& c : from) {
    EXPECT_EQ(FindFrom(c.s, c.t, c.start), c.found) << c.s << " / " << c.t << " @" << c.start;
  }
  EXPECT_EQ(FindOccurrence("aaaa", "aa", 3), 3);
  EXPECT_EQ(FindOccurrence("aaaa", "aa", 4), 0);
  EXPECT_EQ(FindOccurrence("aaaa", "aa", -1), 0);
  EXPECT_EQ(FindOccurrence("aaaa", "", 1), 0);
}

// The generator is the classic one: seeded with 1 it yields 41, 18467,
// 6334, 26500.
TEST_F(FunctionsTest, RandomGeneratorSequence) {
  RandomGenerator generator;
  generator.Seed(1);
  for (int32_t expected : {41, 18467, 6334, 26500}) EXPECT_EQ(generator.Next(), expected);
}

TEST_F(FunctionsTest, RandomBetweenScalesTheDraw) {
  RandomGenerator generator;
  generator.Seed(1);                              // draws 41, then 18467
  EXPECT_EQ(RandomBetween(generator, 1, 10), 9);  // 41/32768 * -9 + 10 = 9.99
  EXPECT_EQ(RandomBetween(generator, 10, 1), 6);  // 18467/32768 * 9 + 1 = 6.07

  // This seed makes the next state 0, so the draw is 0: the result is b.
  constexpr uint32_t kDrawsZero = 2708534849u;
  generator.Seed(kDrawsZero);
  EXPECT_EQ(RandomBetween(generator, 1, 10), 10);
  generator.Seed(kDrawsZero);
  EXPECT_EQ(RandomBetween(generator, 10, 1), 1);

  // Wide ranges do not overflow.
  generator.Seed(1);
  EXPECT_EQ(RandomBetween(generator, INT32_MAX, INT32_MIN),
            static_cast<int32_t>(std::trunc(41.0 / 32768 * 4294967295.0 - 2147483648.0)));
}

TEST_F(FunctionsTest, RandomStaysInItsRange) {
  interp.random.Seed(12345);
  for (int i = 0; i < 2000; ++i) {
    const double n = Eval("RANDOM(10, 1)").number;
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 9);
  }
}

TEST_F(FunctionsTest, IsFunctionKind) {
  int functions = 0;
  for (int k = 0; k < kTokenKindCount; ++k) {
    if (IsFunctionKind(static_cast<TokenKind>(k))) ++functions;
  }
  EXPECT_EQ(functions, 17 + 17 + 1);
  EXPECT_TRUE(IsFunctionKind(TokenKind::Crlf));
  EXPECT_FALSE(IsFunctionKind(TokenKind::Rem));
  EXPECT_FALSE(IsFunctionKind(TokenKind::Lmod));
}

}  // namespace
}  // namespace tenrek::testing
