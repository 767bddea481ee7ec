#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "test_support.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

using K = TokenKind;

struct Case {
  const char* text;
  std::vector<K> kinds;
};

class TokenizerTest : public ::testing::Test, public testing::BasicTest {
 protected:
  TokenList Scan(std::string_view text) {
    TokenList tokens;
    Tokenize(interp, text, tokens);
    return tokens;
  }
  std::vector<K> Kinds(std::string_view text) {
    std::vector<K> kinds;
    for (const Token& t : Scan(text)) kinds.push_back(t.kind);
    return kinds;
  }
};

TEST_F(TokenizerTest, KindsOfLexicalElements) {
  const std::vector<Case> cases = {
      {"FOR I=1 TO N STEP .5: PRINT I;: NEXT I",
       {K::For, K::Identifier, K::Equal, K::Number, K::To, K::Identifier, K::Step, K::Number,
        K::Colon, K::Print, K::Identifier, K::Semicolon, K::Colon, K::Next, K::Identifier}},
      {"PRINT print ?", {K::Print, K::Print, K::Print}},
      {"Print pRINT", {K::Identifier, K::Identifier}},
      {"quit QUIT bye", {K::Bye, K::Bye, K::Bye}},
      {"GOTO100", {K::Identifier}},
      {"GOTO 100", {K::Goto, K::Number}},
      {"GOTOXY SQRT SQR", {K::Gotoxy, K::Sqrt, K::Sqr}},
      {"PRINTX FORI REMARK", {K::Identifier, K::Identifier, K::Identifier}},
      {"A<=B A<>B A>=B",
       {K::Identifier, K::LessEqual, K::Identifier, K::Identifier, K::NotEqual, K::Identifier,
        K::Identifier, K::GreaterEqual, K::Identifier}},
      {"A=<B", {K::Identifier, K::Equal, K::Less, K::Identifier}},
      {"=> ><", {K::Equal, K::Greater, K::Greater, K::Less}},
      {"[1]", {K::LeftParen, K::Number, K::RightParen}},
      {"1.2.3", {K::Number, K::Number}},
      {"12AB", {K::Number, K::Identifier}},
      {"1E5X", {K::Number, K::Identifier}},
      {"2ELSE", {K::Number, K::Identifier}},
      {"-5", {K::Minus, K::Number}},
      {"A\tB", {K::Identifier, K::StrayChar, K::Identifier}},
      {"$ _ ! # % & { } \x80",
       {K::StrayChar, K::StrayChar, K::StrayChar, K::StrayChar, K::StrayChar, K::StrayChar,
        K::StrayChar, K::StrayChar, K::StrayChar}},
      {"   ", {}},
      {"", {}},
      {"CRLF$ LMOD larray", {K::Crlf, K::Lmod, K::Larray}},
      {"GO TO 100", {K::Identifier, K::To, K::Number}},
  };
  for (const Case& c : cases) EXPECT_EQ(Kinds(c.text), c.kinds) << c.text;
}

TEST_F(TokenizerTest, NumberValuesFollowTheDigitByDigitRule) {
  const std::vector<std::pair<const char*, double>> cases = {
      {"1.25", 1.25},      {".5", 0.5},     {"5.", 5.0},
      {".", 0.0},          {"1E3", 1000.0}, {"1E-3", 1.0 * 0.1 * 0.1 * 0.1},
      {"2E", 2.0},         {"2e+2", 200.0}, {"007", 7.0},
      {"1E400", HUGE_VAL}, {"1E-400", 0.0}, {"1E99999999999999", HUGE_VAL},
  };
  for (const auto& [text, value] : cases) {
    const TokenList tokens = Scan(text);
    ASSERT_EQ(tokens.size(), 1u) << text;
    EXPECT_EQ(tokens[0].Number(), value) << text;
  }
  EXPECT_NE(Scan("1E-3")[0].Number(), 0.001);
  EXPECT_EQ(Scan("1.2.3")[1].Number(), 0.3);
}

// Both parts of this literal overflow, so it is NaN, which no further
// multiplication changes: the exponent loop must stop at once instead of
// stepping 2^31 times (some seconds per literal; this line would take
// minutes).
TEST_F(TokenizerTest, ExponentOfANaNLiteralEndsAtOnce) {
  const std::string literal = "." + std::string(310, '1') + "E2147483647";
  std::string line = literal;
  for (int i = 0; i < 40; ++i) line += "," + literal;
  const TokenList tokens = Scan(line);
  ASSERT_EQ(tokens.size(), 81u);
  EXPECT_TRUE(std::isnan(tokens[0].Number()));
  EXPECT_TRUE(std::isnan(tokens[80].Number()));
  EXPECT_EQ(Scan("0E2147483647")[0].Number(), 0.0);
  EXPECT_EQ(Scan("1E-2147483647")[0].Number(), 0.0);
}

// The lister writes a stray character c as "{c}": read back, that is c
// again. Braces around anything else stay stray characters of their own.
TEST_F(TokenizerTest, ListedStrayCharacterReadsBackAsItself) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"1{@}2", "@"}, {"{{}", "{"}, {"{}}", "}"},    {"{{}{@}{}}", "{@}"},
      {"{\t}", "\t"}, {"{", "{"},   {"}", "}"},      {"{}", "{}"},
      {"{A}", "{}"},  {"{@", "{@"}, {"{@ }", "{@}"}, {"{ }", "{}"},
  };
  for (const auto& [text, strays] : cases) {
    std::string found;
    for (const Token& t : Scan(text)) {
      if (t.kind == K::StrayChar) found += t.Character();
    }
    EXPECT_EQ(found, strays) << text;
  }
}

TEST_F(TokenizerTest, StringLiteralsKeepTheirText) {
  EXPECT_EQ(Scan("'Hello'")[0].Text(), "Hello");
  EXPECT_EQ(Scan("\"it's\"")[0].Text(), "it's");
  EXPECT_EQ(Scan("\"open")[0].Text(), "open");
  EXPECT_EQ(Scan("\"a:b\" 1")[1].kind, K::Number);
}

TEST_F(TokenizerTest, RemTakesTheRestOfTheLineVerbatim) {
  const TokenList tokens = Scan("REM hello: GOTO 5");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, K::Rem);
  EXPECT_EQ(tokens[0].Text(), " hello: GOTO 5");
  EXPECT_EQ(Scan("X=1:REM")[4].Text(), "");
}

TEST_F(TokenizerTest, IdentifiersNameVariables) {
  const TokenList tokens = Scan("abc ABC A A$ ABCDEFGHIJKLMNOPQRSTUVWXY ABCDEFGHIJKLMNOPQRSTZZ");
  EXPECT_NE(tokens[0].Var(), tokens[1].Var());
  EXPECT_NE(tokens[2].Var(), tokens[3].Var());
  EXPECT_FALSE(tokens[2].Var()->isString);
  EXPECT_TRUE(tokens[3].Var()->isString);
  EXPECT_EQ(tokens[4].Var(), tokens[5].Var());
  EXPECT_EQ(tokens[4].Var()->name, "ABCDEFGHIJKLMNOPQRST");
  const TokenList dollarLate = Scan("ABCDEFGHIJKLMNOPQRSTU$");
  EXPECT_FALSE(dollarLate[0].Var()->isString);
  EXPECT_EQ(Scan("I I")[0].Var(), Scan("I")[0].Var());
}

}  // namespace
}  // namespace tenrek
