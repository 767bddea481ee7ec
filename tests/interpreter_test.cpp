// Entering lines, the program store, NEW and CLEAR, error reports, and
// commands submitted while another command runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/errors.h"
#include "test_support.h"

namespace tenrek {
namespace {

class InterpreterTest : public ::testing::Test, public testing::BasicTest {
 protected:
  std::vector<int32_t> LineNumbers() const {
    std::vector<int32_t> numbers;
    for (const ProgramLine* l = interp.program.First(); l != nullptr; l = l->next) {
      numbers.push_back(l->number);
    }
    return numbers;
  }
};

TEST_F(InterpreterTest, NumberedLinesAreStoredInOrder) {
  Enter({"20 PRINT 2", "  10 PRINT 1", "15 PRINT 15", "007 END", "0 PRINT 5"});
  EXPECT_EQ(LineNumbers(), (std::vector<int32_t>{7, 10, 15, 20}));
  EXPECT_EQ(Printed(), "5 \n");
  Command("10 PRINT 3");
  Command("15");
  Command("99");
  EXPECT_EQ(LineNumbers(), (std::vector<int32_t>{7, 10, 20}));
  ASSERT_EQ(interp.program.Find(10)->tokens.size(), 2u);
  EXPECT_EQ(interp.program.Find(10)->tokens[1].Number(), 3.0);
}

TEST_F(InterpreterTest, RunStateAfterEachKindOfLine) {
  Command("10 PRINT 1");
  EXPECT_EQ(interp.state, RunState::Entering);
  EXPECT_TRUE(platform.boxes.empty());
  Command("RUN");
  EXPECT_EQ(interp.state, RunState::Idle);
  Command("10 PRINT 1");
  Command("");
  EXPECT_EQ(interp.state, RunState::Idle);
  Command("   ");
  EXPECT_EQ(interp.state, RunState::Idle);
}

TEST_F(InterpreterTest, EveryNumberedLineResetsStackAndReadPosition) {
  Enter({"10 DATA 1", "20 GOSUB 30", "30 END"});
  Command("RUN");
  ASSERT_FALSE(interp.controlStack.empty());
  interp.dataLine = interp.program.First();
  Command("99");  // deletes nothing
  EXPECT_TRUE(interp.controlStack.empty());
  EXPECT_EQ(interp.dataLine, nullptr);
}

TEST_F(InterpreterTest, OverlongLinesAreRefusedWhole) {
  const std::string longLine = "10 REM " + std::string(1017, 'x');  // 1024 characters
  Command(longLine);
  EXPECT_EQ(interp.program.Find(10), nullptr);
  EXPECT_EQ(interp.errorNumber, 40);
  const std::string fits = "10 REM " + std::string(1016, 'x');  // 1023 characters
  Command(fits);
  ASSERT_NE(interp.program.Find(10), nullptr);
  EXPECT_EQ(interp.program.Find(10)->tokens[0].Text().size(), 1017u);
}

// A line is refused when its listing would not fit the 1023 characters
// of a line, however short it was typed: LIST, SAVE and LOAD, and the
// setup dialog would otherwise cut it.
TEST_F(InterpreterTest, LinesThatWouldListTooLongAreRefused) {
  std::string printing = "10 ";
  for (int i = 0; i < 300; ++i) printing += "?1:";
  printing += "?2";  // 905 characters typed, 3011 listed
  Command("10 PRINT 0");
  Command(printing);
  EXPECT_EQ(interp.errorNumber, 40);
  ASSERT_NE(interp.program.Find(10), nullptr);
  EXPECT_EQ(interp.program.Find(10)->tokens.size(), 2u);  // the old line stays

  const std::string atLimit = "10 REM " + std::string(1016, 'x');  // lists as typed
  Command(atLimit);
  EXPECT_EQ(interp.errorNumber, 0);
  Command("100" + atLimit.substr(2));  // one digit more
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.program.Find(100), nullptr);

  // SAVE writes a number in full where LIST shows it short: the longer
  // form must fit too. A NaN literal lists as "NAN" and saves as 311
  // characters; long literals save a few characters longer than shown.
  const std::string nan = "." + std::string("1") + std::string(310, '0');
  Command("20 X = " + nan + " + " + nan + " + " + nan);
  EXPECT_EQ(interp.errorNumber, 0);
  Command("30 X = " + nan + " + " + nan + " + " + nan + " + " + nan);
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.program.Find(30), nullptr);
  std::string longLiterals = "40 X = 0";
  for (int i = 0; i < 40; ++i) longLiterals += "+1234567890123456789.5";
  Command(longLiterals);  // 24 characters a literal listed in full
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_NE(interp.program.Find(40), nullptr);
}

TEST_F(InterpreterTest, FindLineReportsUndefinedLine) {
  EXPECT_EQ(interp.FindLine(10), nullptr);
  EXPECT_EQ(interp.errorNumber, 31);
}

TEST_F(InterpreterTest, NewAndClearEndARunAndResetWhatTheyOwn) {
  Enter({"10 X = 1: NEW: PRINT 1", "20 PRINT 2"});
  Command("RUN");
  EXPECT_TRUE(interp.program.Empty());
  EXPECT_TRUE(interp.variables.empty());
  EXPECT_EQ(Printed(), "");
  Enter({"10 X = 1: CLEAR: PRINT 1", "20 PRINT 2"});
  Command("RUN");
  EXPECT_FALSE(interp.program.Empty());
  EXPECT_EQ(Number("X"), 0);
  EXPECT_EQ(Printed(), "");
}

TEST_F(InterpreterTest, NewKeepsErrorTitleStyleAndTag) {
  interp.host.tagText = "T";
  Command("MSGTIT \"Caption\": MSGICON 64");
  Command("GOTO 5");
  interp.ExecuteCommand("NEW");
  EXPECT_EQ(interp.host.messageTitle, "Caption");
  EXPECT_EQ(interp.host.messageStyle, 64);
  EXPECT_EQ(interp.host.tagText, "T");
  EXPECT_EQ(interp.errorNumber, 31);
}

TEST(ErrorText, ComposedTexts) {
  const std::vector<std::tuple<int32_t, int32_t, const char*, const char*>> cases = {
      {40, 0, "Syntax error", "Syntax error: \nBasic system error 40"},
      {40, 0, "", "Basic system error 40"},
      {-12, 0, "Break in 70", "Break in 70: \nBasic system error -12 (bus error)"},
      {-10, 10, "", "Basic system I/O error 10 (file not found)"},
      {-10, 0, "", "Basic system I/O error 0"},
      {-10, 38, "", "Basic system I/O error 38 (file write error)"},
      {-7, 0, "", "Basic system error -7"},
      {-5, 0, "", "Basic system error -5 (divide by zero)"},
      {-20, 0, "", "Basic system error -20 (stopped by user)"},
      {0, 0, "", "Basic system error 0"},
  };
  for (const auto& [code, sub, prefix, text] : cases) {
    EXPECT_EQ(FormatSystemError(code, sub, prefix), text) << code << " " << prefix;
  }
}

TEST_F(InterpreterTest, EachReportPostsANotificationWithTheLatestText) {
  Command("X$ = 5: Y = \"A\"");
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(platform.notifications.size(), 2u);
  for (const auto& n : platform.notifications) EXPECT_EQ(n.notice, HostNotice::Error);
}

TEST_F(InterpreterTest, NoNotificationWithoutAMessageWindow) {
  interp.host.messageWindow = nullptr;
  Command("GOTO 5");
  EXPECT_EQ(interp.errorNumber, 31);
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(InterpreterTest, IoFailureReport) {
  interp.ReportIoFailure(kFileNotFound);
  EXPECT_EQ(interp.errorNumber, -10);
  EXPECT_EQ(interp.errorText, "Basic system I/O error 10 (file not found)");
  EXPECT_EQ(platform.notifications.size(), 1u);
}

// Commands submitted from inside a box, as a host event handled in the
// box's modal loop would submit them.
class NestedCommandTest : public InterpreterTest {
 protected:
  void SubmitInsideFirstBox(std::string command) {
    platform.onModal = [this, command, done = false]() mutable {
      if (done) return;
      done = true;
      Command(command);
    };
  }
};

TEST_F(NestedCommandTest, ReadingAVariableInsideABoxLeavesTheRunAlone) {
  Enter({"10 X = 7: PRINT 1", "20 PRINT X"});
  SubmitInsideFirstBox("Y = X * 2");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n7 \n");
  EXPECT_EQ(Number("Y"), 14);
  EXPECT_EQ(interp.state, RunState::Idle);
}

TEST_F(NestedCommandTest, StateStaysRunningAfterANestedCommand) {
  Enter({"10 PRINT 1"});
  RunState after = RunState::Created;
  platform.onModal = [&] {
    Command("Z = 1");
    after = interp.state;
  };
  Command("RUN");
  EXPECT_EQ(after, RunState::Running);
}

TEST_F(NestedCommandTest, NewInsideABoxEndsTheOuterRunSafely) {
  Enter({"10 FOR I = 1 TO 3: PRINT I: NEXT", "20 PRINT 20"});
  SubmitInsideFirstBox("NEW");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_TRUE(interp.program.Empty());
}

TEST_F(NestedCommandTest, ReplacingTheRunningLineEndsTheOuterRun) {
  Enter({"10 PRINT 1: PRINT 2", "20 PRINT 20"});
  SubmitInsideFirstBox("10 PRINT 99");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n99 \n20 \n");
}

// A run that ends because a command inside its box removed its own line
// leaves nothing pointing at that line once the command is over: the next
// report, RETURN and READ see only lines that exist.
TEST_F(NestedCommandTest, NoPointerOutlivesALineRemovedDuringItsRun) {
  struct Case {
    const char* name;
    std::vector<std::string_view> program;
    std::string inBox;
    std::string_view after;
    int32_t afterError;
  };
  const std::vector<Case> cases = {
      {"replaced", {"10 PRINT 1: PRINT 2"}, "10 PRINT 99", "RETURN", 37},
      {"deleted under a GOSUB", {"10 GOSUB 20", "20 PRINT 1: PRINT 2"}, "DEL 10-20", "RETURN", 37},
      {"deleted after a READ", {"10 DATA 1, 2", "20 READ A: PRINT A"}, "DEL 10-20", "READ B", 38},
      {"program loaded anew", {"10 GOSUB 20", "20 PRINT 1: PRINT 2"}, "NEW", "RETURN", 37},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Command("NEW");
    for (std::string_view line : c.program) Command(line);
    SubmitInsideFirstBox(c.inBox);
    Command("RUN");
    platform.onModal = nullptr;
    EXPECT_EQ(interp.CurrentLine(), nullptr);
    int32_t namedLine = -1;
    interp.onError = [&](int32_t, std::string_view) {
      namedLine = interp.CurrentLine() != nullptr ? interp.CurrentLine()->number : 0;
    };
    Command(std::string(kMaxLineLength + 1, '1'));  // refused before it runs
    EXPECT_EQ(namedLine, 0);
    Command(c.after);
    EXPECT_EQ(interp.errorNumber, c.afterError);
    interp.onError = nullptr;
  }
}

// A box handler that submits a command showing another box, and so on:
// the nesting stops at its cap with a report, and every run waiting in its
// box goes on.
TEST_F(NestedCommandTest, NestingStopsAtItsCapAndTheOuterRunGoesOn) {
  std::vector<std::string> reports;
  interp.onError = [&](int32_t, std::string_view text) { reports.emplace_back(text); };
  platform.onModal = [this] { Command("PRINT 1: B = B + 1"); };
  Command("PRINT 1: A = 5");
  EXPECT_EQ(Number("A"), 5);
  EXPECT_EQ(Number("B"), kMaxCommandDepth - 1);
  EXPECT_EQ(platform.boxes.size(), static_cast<std::size_t>(kMaxCommandDepth));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "Commands nested too deeply: \nBasic system error -2 (out of memory)");
  EXPECT_EQ(interp.state, RunState::Idle);
}

TEST_F(NestedCommandTest, NewInsideABoxOfACommandLineLoop) {
  SubmitInsideFirstBox("NEW");
  Command("FOR I = 1 TO 3: PRINT I: NEXT I");
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_EQ(interp.errorNumber, 35);  // the loop's frame went with NEW
}

TEST_F(NestedCommandTest, ARunInsideABoxDoesNotDisturbTheOuterLoop) {
  Enter({"100 A = A + 1"});
  SubmitInsideFirstBox("GOSUB 100");
  Command("FOR I = 1 TO 3: PRINT I: NEXT I");
  EXPECT_EQ(Printed(), "1 \n2 \n3 \n");
  EXPECT_EQ(Number("A"), 1);
}

}  // namespace
}  // namespace tenrek
