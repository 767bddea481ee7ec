#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "interp/program.h"

namespace tenrek {
namespace {

using Removed = std::vector<std::unique_ptr<ProgramLine>>;

TokenList OneToken(double value) {
  TokenListBuilder tokens;
  tokens.AddNumber(value);
  return tokens.Build();
}

// The store against the set of numbers it should hold: the chain from
// First() ascends through exactly those lines, each line found by its
// number, and every gap answered by the next line up.
void ExpectHolds(const ProgramStore& store, const std::set<int32_t>& expected) {
  std::vector<int32_t> chain;
  for (const ProgramLine* line = store.First(); line != nullptr; line = line->next) {
    chain.push_back(line->number);
    EXPECT_EQ(line->tokens[0].Number(), line->number);
    EXPECT_FALSE(line->removed);
  }
  EXPECT_EQ(chain, std::vector<int32_t>(expected.begin(), expected.end()));
  EXPECT_EQ(store.Size(), expected.size());
  EXPECT_EQ(store.Empty(), expected.empty());
  for (int32_t number : expected) {
    ASSERT_NE(store.Find(number), nullptr) << number;
    EXPECT_EQ(store.Find(number)->number, number);
    EXPECT_EQ(store.Find(number + 1) != nullptr, expected.contains(number + 1)) << number + 1;
    const auto next = expected.lower_bound(number + 1);
    const ProgramLine* from = store.FirstFrom(number + 1);
    EXPECT_EQ(from != nullptr ? from->number : -1, next != expected.end() ? *next : -1);
  }
  const ProgramLine* lowest = store.FirstFrom(0);
  EXPECT_EQ(lowest != nullptr ? lowest->number : -1, expected.empty() ? -1 : *expected.begin());
}

// Orders that fill, split and empty blocks in different ways.
std::vector<int32_t> EntryOrder(const std::string& order, int count) {
  std::vector<int32_t> numbers;
  for (int n = 1; n <= count; ++n) numbers.push_back(10 * n);
  if (order == "descending") std::reverse(numbers.begin(), numbers.end());
  if (order == "zigzag") {
    std::vector<int32_t> zigzag;
    for (int i = 0, j = count - 1; i <= j; ++i, --j) {
      zigzag.push_back(numbers[static_cast<std::size_t>(i)]);
      if (i != j) zigzag.push_back(numbers[static_cast<std::size_t>(j)]);
    }
    numbers = zigzag;
  }
  if (order == "shuffled") std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
  return numbers;
}

TEST(ProgramStoreTest, LinesStayInOrderWhateverOrderTheyCameIn) {
  for (const char* order : {"ascending", "descending", "zigzag", "shuffled"}) {
    SCOPED_TRACE(order);
    ProgramStore store;
    Removed removed;
    std::set<int32_t> expected;
    for (int32_t number : EntryOrder(order, 1000)) {
      store.Store(number, OneToken(number), removed);
      expected.insert(number);
    }
    ExpectHolds(store, expected);
    EXPECT_TRUE(removed.empty());
  }
}

TEST(ProgramStoreTest, ReplacedAndDeletedLinesAreHandedBackMarked) {
  ProgramStore store;
  Removed removed;
  std::set<int32_t> expected;
  for (int32_t number : EntryOrder("shuffled", 1000)) {
    store.Store(number, OneToken(number), removed);
    expected.insert(number);
  }
  const ProgramLine* replaced = store.Find(500);
  store.Store(500, OneToken(500), removed);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].get(), replaced);
  EXPECT_TRUE(removed[0]->removed);
  EXPECT_NE(store.Find(500), replaced);

  // Every other line, then a whole stretch (emptying blocks), then a line
  // that is not there, which removes nothing.
  for (int32_t number = 20; number <= 10000; number += 20) {
    store.Remove(store.Find(number), removed);
    expected.erase(number);
  }
  for (int32_t number = 2000; number <= 8000; number += 10) {
    store.Store(number, TokenList(), removed);
    expected.erase(number);
  }
  const std::size_t removedSoFar = removed.size();
  store.Store(15, TokenList(), removed);
  EXPECT_EQ(removed.size(), removedSoFar);
  EXPECT_TRUE(
      std::all_of(removed.begin(), removed.end(), [](const auto& line) { return line->removed; }));
  ExpectHolds(store, expected);

  // Lines put back into the emptied stretch, and in front of them all.
  for (int32_t number = 8000; number >= 2000; number -= 30) {
    store.Store(number, OneToken(number), removed);
    expected.insert(number);
  }
  store.Store(1, OneToken(1), removed);
  expected.insert(1);
  ExpectHolds(store, expected);

  store.RemoveAll(removed);
  ExpectHolds(store, {});
  EXPECT_TRUE(
      std::all_of(removed.begin(), removed.end(), [](const auto& line) { return line->removed; }));
}

TEST(ProgramStoreTest, NewNumbersKeepTheOrder) {
  ProgramStore store;
  Removed removed;
  for (int32_t number : EntryOrder("zigzag", 300)) store.Store(number, OneToken(number), removed);
  int32_t next = 1;
  for (ProgramLine* line = store.First(); line != nullptr; line = line->next) {
    line->tokens.SetNumber(0, next);
    next += 3;
  }
  store.ApplyNewNumbers(1, 3);
  std::set<int32_t> expected;
  for (int32_t number = 1; number < next; number += 3) expected.insert(number);
  ExpectHolds(store, expected);
}

}  // namespace
}  // namespace tenrek
