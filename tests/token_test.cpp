#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "interp/token.h"

namespace tenrek {
namespace {

Variable* FakeVariable(std::size_t n) {
  return reinterpret_cast<Variable*>(alignof(std::max_align_t) * n);
}

// Numbers on both sides of what a token holds in itself, and those that
// look whole but are not kept there.
const std::vector<double> kNumbers = {0.0,
                                      1.0,
                                      32767.0,
                                      32768.0,
                                      65535.0,
                                      1000003.0,
                                      0.5,
                                      2147483647.0,
                                      -0.0,
                                      1e300,
                                      -1.0,
                                      std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::denorm_min()};

// One token of every kind with a value, among tokens without one.
TokenList Mixed() {
  TokenListBuilder b;
  b.AddText(TokenKind::String, "a literal longer than any small buffer");
  b.AddNumber(2.5);
  b.AddVariable(FakeVariable(1));
  b.AddText(TokenKind::Rem, " note");
  b.Add(TokenKind::StrayChar, '&');
  b.AddText(TokenKind::String, "");
  b.AddVariable(FakeVariable(1));
  b.Add(TokenKind::Colon);
  b.AddNumber(7);
  b.AddVariable(FakeVariable(2));
  return b.Build();
}

void ExpectMixed(const TokenList& list) {
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list[0].kind, TokenKind::String);
  EXPECT_EQ(list[0].Text(), "a literal longer than any small buffer");
  EXPECT_EQ(list[1].Number(), 2.5);
  EXPECT_EQ(list[2].Var(), FakeVariable(1));
  EXPECT_EQ(list[3].kind, TokenKind::Rem);
  EXPECT_EQ(list[3].Text(), " note");
  EXPECT_EQ(list[4].Character(), '&');
  EXPECT_EQ(list[5].kind, TokenKind::String);
  EXPECT_TRUE(list[5].Text().empty());
  EXPECT_EQ(list[6].Var(), FakeVariable(1));
  EXPECT_EQ(list[7].kind, TokenKind::Colon);
  EXPECT_EQ(list[8].Number(), 7);
  EXPECT_EQ(list[9].Var(), FakeVariable(2));
}

// Values sit at offsets from their tokens: a list copied byte for byte,
// moved or assigned must still read its own values, and a copy must not
// share them with the original.
TEST(TokenListTest, CopiesAndMovesKeepEveryValue) {
  const TokenList original = Mixed();
  ExpectMixed(original);
  TokenList copy = original;
  ExpectMixed(copy);
  copy.SetNumber(1, 99);
  EXPECT_EQ(original[1].Number(), 2.5);
  TokenList moved = std::move(copy);
  EXPECT_TRUE(copy.empty());
  EXPECT_EQ(moved[1].Number(), 99);
  moved = original;
  ExpectMixed(moved);
  TokenListBuilder again;
  for (const Token& token : original) again.AddCopy(token);
  ExpectMixed(again.Build());
  EXPECT_TRUE(again.empty());
}

TEST(TokenListTest, NumbersReadBackExactlyWhereverTheyAreKept) {
  TokenListBuilder b;
  for (double n : kNumbers) b.AddNumber(n);
  b.AddNumber(std::nan(""));
  const TokenList list = b.Build();
  for (std::size_t i = 0; i < kNumbers.size(); ++i) {
    EXPECT_EQ(list[i].Number(), kNumbers[i]) << kNumbers[i];
    EXPECT_EQ(std::signbit(list[i].Number()), std::signbit(kNumbers[i])) << kNumbers[i];
  }
  EXPECT_TRUE(std::isnan(list.back().Number()));
}

// RENUM gives a line reference any new number, from any old one; the
// list is made again when the token cannot hold the new value, and the
// other tokens must not notice.
TEST(TokenListTest, SetNumberTakesAnyValueOverAnyOther) {
  for (double from : kNumbers) {
    for (double to : kNumbers) {
      TokenListBuilder b;
      b.AddText(TokenKind::Rem, "x");
      b.AddNumber(from);
      b.AddVariable(FakeVariable(3));
      b.AddNumber(from);
      TokenList list = b.Build();
      list.SetNumber(1, to);
      EXPECT_EQ(list[1].Number(), to) << from << " to " << to;
      EXPECT_EQ(std::signbit(list[1].Number()), std::signbit(to)) << from << " to " << to;
      EXPECT_EQ(list[3].Number(), from) << from << " to " << to;
      EXPECT_EQ(list[0].Text(), "x");
      EXPECT_EQ(list[2].Var(), FakeVariable(3));
    }
  }
}

// A stored line's list lives in room its line owns: a number set in
// place stays there, one that needs the list made again moves it to a
// block of its own, and neither frees the room.
TEST(TokenListTest, APlacedCopyReadsAndChangesLikeItsOriginal) {
  const TokenList original = Mixed();
  alignas(8) std::byte room[256];
  ASSERT_LE(original.HeapBytes(), sizeof room);
  TokenList placed = TokenList::PlacedCopy(original, room);
  ExpectMixed(placed);
  placed.SetNumber(1, 3.25);
  EXPECT_EQ(placed[1].Number(), 3.25);
  placed.SetNumber(8, 40000);
  EXPECT_EQ(placed[8].Number(), 40000);
  EXPECT_EQ(placed[0].Text(), original[0].Text());
  EXPECT_EQ(original[8].Number(), 7);
  const TokenList copy = placed;
  EXPECT_EQ(copy[8].Number(), 40000);
}

// Readers look at a token's value before (or without) its kind; the last
// token of a list is where a value read the wrong way would run past it.
TEST(TokenListTest, AKindReadsOnlyItsOwnValue) {
  const std::vector<TokenKind> kinds = {TokenKind::Colon,  TokenKind::Number, TokenKind::Identifier,
                                        TokenKind::String, TokenKind::Rem,    TokenKind::StrayChar};
  for (TokenKind last : kinds) {
    TokenListBuilder b;
    b.AddVariable(FakeVariable(1));
    b.AddNumber(0.5);
    b.AddText(TokenKind::String, "text");
    if (last == TokenKind::Number) {
      b.AddNumber(40000);
    } else if (last == TokenKind::Identifier) {
      b.AddVariable(FakeVariable(2));
    } else if (Token::KindHasText(last)) {
      b.AddText(last, "x");
    } else {
      b.Add(last, '#');
    }
    const TokenList list = b.Build();
    const Token& token = list.back();
    EXPECT_EQ(token.Number(), last == TokenKind::Number ? 40000 : 0) << static_cast<int>(last);
    EXPECT_EQ(token.Var(), last == TokenKind::Identifier ? FakeVariable(2) : nullptr);
    EXPECT_EQ(token.Text(), Token::KindHasText(last) ? "x" : "");
  }
}

TEST(TokenListTest, TextsAndCharactersReadBackWhole) {
  const std::string longest(1023, 'q');
  TokenListBuilder b;
  b.AddText(TokenKind::String, longest);
  b.AddText(TokenKind::Rem, std::string("a\0b", 3));
  b.Add(TokenKind::StrayChar, '\xE9');
  b.Add(TokenKind::StrayChar, '\x7F');
  const TokenList list = b.Build();
  EXPECT_EQ(list[0].Text(), longest);
  EXPECT_EQ(list[0].Text().data()[1023], '\0');
  EXPECT_EQ(list[1].Text(), std::string_view("a\0b", 3));
  EXPECT_EQ(list[2].Character(), '\xE9');
  EXPECT_EQ(list[3].Character(), '\x7F');
  EXPECT_TRUE(list[2].Text().empty());
}

// A line's listing holds at most 1023 characters; even one made only of
// one-letter names and separators packs well within what the offsets
// reach. Beyond that the builder refuses rather than wrap an offset.
TEST(TokenListTest, TheLongestLinesPackAndLongerListsAreRefused) {
  TokenListBuilder b;
  for (std::size_t i = 0; i < 512; ++i) {
    b.AddVariable(FakeVariable(i + 1));
    b.Add(TokenKind::Colon);
  }
  const TokenList line = b.Build();
  EXPECT_EQ(line[1022].Var(), FakeVariable(512));
  for (std::size_t i = 0; i < 4000; ++i) b.AddNumber(0.5);
  EXPECT_THROW(b.Build(), std::length_error);
}

}  // namespace
}  // namespace tenrek
