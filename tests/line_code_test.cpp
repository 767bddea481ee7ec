// A line's translation keeps its statements and expressions in lists by
// token index, made in an arena: lookups must find each record whatever
// order they were made in, and no record may move or overlap another
// while more are made, past the first block and into later ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "interp/line_code.h"

namespace tenrek {
namespace {

TokenList NumberTokens(std::size_t count) {
  TokenListBuilder tokens;
  for (std::size_t i = 0; i < count; ++i) tokens.AddNumber(0);
  return tokens.Build();
}

TEST(LineCode, ExpressionsAreFoundByTheirTokenWhateverTheOrderMade) {
  const std::unique_ptr<LineCode> code = LineCode::Make(NumberTokens(12));
  std::vector<CompiledExpression*> made(13, nullptr);  // one past the last token too
  for (std::size_t at : {7u, 2u, 9u, 0u, 4u, 11u}) {
    made[at] = &code->AddExpression(at, at % 3, at % 2 == 0);
  }
  // In the order a statement reads them, backwards, and at tokens with none.
  for (std::size_t at : {0u, 2u, 4u, 7u, 9u, 11u, 9u, 4u, 0u, 1u, 3u, 10u, 12u}) {
    EXPECT_EQ(code->FindExpression(at), made[at]) << at;
  }
  EXPECT_NE(made[2]->Jump(), nullptr);
  EXPECT_EQ(made[7]->Jump(), nullptr);
}

TEST(LineCode, StatementsAreKeptInTokenOrder) {
  LineCode code;  // no first block: everything goes to later ones
  for (std::size_t at : {5u, 1u, 9u, 3u}) {
    TranslatedStatement** place = nullptr;
    ASSERT_EQ(code.FindStatement(at, place), nullptr);
    code.AddStatement(place, at);
  }
  std::vector<std::size_t> order;
  for (const TranslatedStatement* s = code.firstStatement; s != nullptr; s = s->following) {
    order.push_back(s->at);
  }
  EXPECT_EQ(order, (std::vector<std::size_t>{1, 3, 5, 9}));
  TranslatedStatement** place = nullptr;
  const TranslatedStatement* found = code.FindStatement(5, place);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->at, 5);
}

// Records filled as they are made must read back unchanged once many more
// have been made after them (the sanitizers catch a block overrun).
TEST(LineCode, RecordsStayInPlaceAsTheArenaGrows) {
  const std::unique_ptr<LineCode> code = LineCode::Make(NumberTokens(3));
  std::vector<CompiledExpression*> made;
  for (std::size_t at = 0; at < 200; ++at) {
    CompiledExpression& expression = code->AddExpression(at, at % 5, at % 4 == 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&expression) % alignof(CompiledExpression), 0u);
    std::vector<Op> ops(at % 5);
    for (std::size_t k = 0; k < ops.size(); ++k) ops[k].number = static_cast<double>(at * 10 + k);
    expression.SetOps(ops);
    if (JumpMemory* jump = expression.Jump()) jump->generation = at;
    made.push_back(&expression);
  }
  code->GrowOpRoom(*made[3], 40);  // a translation made again, longer
  std::vector<Op> longer(40);
  made[3]->SetOps(longer);
  for (std::size_t at = 0; at < made.size(); ++at) {
    const CompiledExpression& expression = *made[at];
    EXPECT_EQ(code->FindExpression(at), made[at]);
    if (at == 3) continue;
    ASSERT_EQ(expression.ops.size(), at % 5);
    for (std::size_t k = 0; k < expression.ops.size(); ++k) {
      EXPECT_EQ(expression.ops[k].number, static_cast<double>(at * 10 + k));
    }
    if (at % 4 == 0) {
      EXPECT_EQ(made[at]->Jump()->generation, at);
    }
  }
}

TokenList KindTokens(const std::vector<TokenKind>& kinds) {
  TokenListBuilder tokens;
  for (TokenKind kind : kinds) tokens.Add(kind);
  return tokens.Build();
}

// A statement's room is fixed by its text when first made: an element
// assignment with too few operands would never run translated, so its
// subscripts are counted as written (commas of inner parentheses apart);
// a jump has no link within the line because it never goes on there, an
// assignment none from a move because it never moves.
TEST(LineCode, StatementRoomFollowsTheKeywordAndTheSubscriptsWritten) {
  using K = TokenKind;
  struct Case {
    const char* text;
    std::vector<K> kinds;
    std::size_t at;
    StatementRoom room;
  };
  const std::vector<Case> cases = {
      {"A=1", {K::Identifier, K::Equal, K::Number}, 0, {true, 1, false}},
      {"PRINT:LET A(I,2)=1",
       {K::Print, K::Colon, K::Let, K::Identifier, K::LeftParen, K::Identifier, K::Comma, K::Number,
        K::RightParen, K::Equal, K::Number},
       2,
       {true, 3, false}},
      {"A(B(1,2))=1",
       {K::Identifier, K::LeftParen, K::Identifier, K::LeftParen, K::Number, K::Comma, K::Number,
        K::RightParen, K::RightParen, K::Equal, K::Number},
       0,
       {true, 2, false}},
      {"A(1,2,3,4,5)=1",
       {K::Identifier, K::LeftParen, K::Number, K::Comma, K::Number, K::Comma, K::Number, K::Comma,
        K::Number, K::Comma, K::Number, K::RightParen, K::Equal, K::Number},
       0,
       {true, 5, false}},
      {"A(1", {K::Identifier, K::LeftParen, K::Number}, 0, {true, 2, false}},
      {"LET", {K::Let}, 0, {true, 1, false}},
      {"IF", {K::If}, 0, {true, 3, true}},
      {"FOR", {K::For}, 0, {true, 3, true}},
      {"WHILE", {K::While}, 0, {true, 1, true}},
      {"NEXT", {K::Next}, 0, {true, 0, true}},
      {"GOTO 10", {K::Goto, K::Number}, 0, {false, 0, true}},
      {"GOSUB 10", {K::Gosub, K::Number}, 0, {false, 0, true}},
      {"RETURN", {K::Return}, 0, {false, 0, true}},
      {"WEND", {K::Wend}, 0, {false, 0, true}},
      {"PRINT", {K::Print}, 0, {false, 0, false}},
  };
  for (const Case& c : cases) {
    const StatementRoom room = StatementRoomAt(KindTokens(c.kinds), c.at);
    EXPECT_EQ(room.within, c.room.within) << c.text;
    EXPECT_EQ(room.operands, c.room.operands) << c.text;
    EXPECT_EQ(room.moved, c.room.moved) << c.text;
  }
}

// A statement's link within the line, its operands and its moved links
// follow its record: all of them, for statements of every room, must read
// back what was written once the others have been made after them (and
// the links made must be freed with the line: the sanitizers check).
TEST(LineCode, StatementRoomsDoNotOverlap) {
  const std::vector<StatementRoom> rooms = {
      {true, 1, false}, {}, {true, 5, true}, {true, 0, true}, {true, 3, false}, {false, 0, true}};
  const std::unique_ptr<LineCode> code = LineCode::Make(NumberTokens(4));
  std::vector<TranslatedStatement*> made;
  std::vector<CompiledExpression> expressions(5);
  std::vector<double> values(5);
  for (std::size_t at = 0; at < 30; ++at) {
    TranslatedStatement** place = nullptr;
    ASSERT_EQ(code->FindStatement(at, place), nullptr);
    TranslatedStatement& statement = code->AddStatement(place, at, rooms[at % rooms.size()]);
    statement.target = &expressions[at % 5];
    if (statement.withinRoom) statement.Within().codeVersion = at + 1;
    if (statement.movedRoom) {
      statement.Moved() = std::make_unique<MovedLink>();
      statement.Moved()->codeVersion = at + 2;
    }
    for (std::size_t k = 0; k < statement.operandRoom; ++k) {
      statement.Operand(k) = StatementOperand{&expressions[k], {&values[k], nullptr}};
    }
    made.push_back(&statement);
  }
  for (std::size_t at = 0; at < made.size(); ++at) {
    const TranslatedStatement& statement = *made[at];
    const StatementRoom& room = rooms[at % rooms.size()];
    EXPECT_EQ(statement.at, at);
    EXPECT_EQ(statement.target, &expressions[at % 5]);
    ASSERT_EQ(statement.withinRoom != 0, room.within);
    ASSERT_EQ(statement.operandRoom, room.operands);
    ASSERT_EQ(statement.movedRoom != 0, room.moved);
    if (room.moved) {
      EXPECT_EQ(statement.Moved()->codeVersion, at + 2);
    }
    if (room.within) {
      EXPECT_EQ(statement.Within().codeVersion, at + 1);
    }
    for (std::size_t k = 0; k < room.operands; ++k) {
      EXPECT_EQ(statement.Expression(k), &expressions[k]);
      EXPECT_EQ(statement.Operand(k).quick.value, &values[k]);
    }
    EXPECT_EQ(statement.Expression(room.operands), nullptr);
  }
}

}  // namespace
}  // namespace tenrek
