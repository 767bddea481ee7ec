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

}  // namespace
}  // namespace tenrek
