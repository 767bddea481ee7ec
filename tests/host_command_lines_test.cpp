// The command lines the actions and expressions build, and how the
// loading actions split a text into lines.
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "host/command_lines.h"

namespace tenrek::host {
namespace {

TEST(HostCommands, CommandTexts) {
  struct Case {
    std::string built;
    std::string expected;
  };
  const Case cases[] = {
      {RunFromLineCommand(20), "RUN 20"},
      {RunFromLineCommand(-5), "RUN -5"},
      {RerunFromLineCommand(100), "RERUN 100"},
      {RerunFromLineCommand(-2147483647 - 1), "RERUN -2147483648"},
      {SetIntegerCommand("A", 5), "LET A=5"},
      {SetIntegerCommand("A", -3), "LET A=-3"},
      {SetIntegerCommand("N(2,3)", 2147483647), "LET N(2,3)=2147483647"},
      {SetStringCommand("B$", "hello"), "LET B$=hello"},
      {SetStringCommand("B$", "\"hello\""), "LET B$=\"hello\""},
      {SetStringCommand("B$", ""), "LET B$="},
      {SetFloatCommand("X", std::bit_cast<uint32_t>(0.1f)), "LET X=0.1000000015"},
      {SetFloatCommand("X", std::bit_cast<uint32_t>(2.5f)), "LET X=2.5"},
      {SetFloatCommand("X", std::bit_cast<uint32_t>(-3.0f)), "LET X=-3"},
      {LoadFileCommand("\"GAME\""), "LOAD \"GAME\""},
      {LoadFileCommand("C:\\Games\\x"), "LOAD C:\\Games\\x"},
      {GetCommand("A$"), "GET A$"},
      {GetCommand("V(1) * 2"), "GET V(1) * 2"},
      {GosubCommand(100), "GOTO 100"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.built, c.expected);
}

std::vector<std::string> Lines(std::string_view text, LineEnds ends) {
  std::vector<std::string> lines;
  ForEachTextLine(text, ends, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

TEST(HostCommands, LoadFromTextSubmitsEmptyLines) {
  using V = std::vector<std::string>;
  const auto one = LineEnds::OnePerLine;
  EXPECT_EQ(Lines("", one), V{});
  EXPECT_EQ(Lines("10 A=1", one), V{"10 A=1"});
  EXPECT_EQ(Lines("10 A=1\r\n20 B=2\r\n", one), (V{"10 A=1", "20 B=2"}));
  EXPECT_EQ(Lines("10 A=1\r\n\r\n20 B=2", one), (V{"10 A=1", "", "20 B=2"}));
  EXPECT_EQ(Lines("\r\n10 A=1", one), (V{"", "10 A=1"}));
  // One CR, then one LF: LF CR is two line ends, CR CR too.
  EXPECT_EQ(Lines("A\n\rB", one), (V{"A", "", "B"}));
  EXPECT_EQ(Lines("A\r\rB", one), (V{"A", "", "B"}));
  EXPECT_EQ(Lines("A\nB\rC", one), (V{"A", "B", "C"}));
  EXPECT_EQ(Lines("\t\xE9\r\n", one), V{"\t\xE9"});
}

TEST(HostCommands, LoadProgramBlockSkipsBlankLines) {
  using V = std::vector<std::string>;
  const auto skip = LineEnds::SkipBlankLines;
  EXPECT_EQ(Lines("10 A=1\r\n\r\n\n\r20 B=2\r\n\r\n", skip), (V{"10 A=1", "20 B=2"}));
  // Only line ends at the very start submit one empty line.
  EXPECT_EQ(Lines("\r\n\r\n10 A=1", skip), (V{"", "10 A=1"}));
  EXPECT_EQ(Lines("\r\n", skip), V{""});
  EXPECT_EQ(Lines("", skip), V{});
}

}  // namespace
}  // namespace tenrek::host
