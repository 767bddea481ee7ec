// The statement loop, control flow, the end-of-statement rule and the stop
// report, seen through PRINT boxes and the error fields.
#include <gtest/gtest.h>

#include "test_support.h"

namespace tenrek {
namespace {

class ExecutorTest : public ::testing::Test, public testing::BasicTest {
 protected:
  // Stores the lines, runs "RUN" and returns what PRINT showed.
  std::string RunProgram(std::initializer_list<std::string_view> lines) {
    Enter(lines);
    Command("RUN");
    return Printed();
  }
};

struct FlowCase {
  std::vector<std::string_view> program;
  const char* printed;
};

TEST_F(ExecutorTest, ControlFlowRunsTheExpectedStatements) {
  const std::vector<FlowCase> cases = {
      {{"10 IF 0 THEN PRINT 1 ELSE PRINT 2"}, "2 \n"},
      {{"10 IF 1 THEN PRINT 1 ELSE PRINT 2"}, "1 \n"},
      {{"10 IF 0 THEN IF 1 THEN PRINT 1 ELSE PRINT 2 ELSE PRINT 3"}, "3 \n"},
      {{"10 IF 0 THEN PRINT 1: PRINT 2", "20 PRINT 3"}, "3 \n"},
      {{"10 X=5: IF X THEN 100", "20 PRINT 2", "100 PRINT 100"}, "100 \n"},
      {{"10 IF 0 THEN 20 ELSE 30", "20 PRINT 20", "30 PRINT 30"}, "30 \n"},
      {{"10 GOTO 30", "20 PRINT 20", "30 PRINT 30"}, "30 \n"},
      {{"10 :", "20 PRINT 1"}, "1 \n"},
      {{"10 PRINT 1: END: PRINT 2", "20 PRINT 3"}, "1 \n"},
      {{"10 PRINT 1", "20 DATA 1, 2: PRINT 2"}, "1 \n2 \n"},
      {{"10 PRINT 1: REM : PRINT 2", "20 PRINT 3"}, "1 \n3 \n"},
      {{"10 LARRAY: SARRAY: FMEM: PRINT 1"}, "1 \n"},
  };
  for (const FlowCase& c : cases) {
    platform.boxes.clear();
    Command("NEW");
    for (std::string_view line : c.program) Command(line);
    Command("RUN");
    EXPECT_EQ(Printed(), c.printed) << c.program.front();
    EXPECT_EQ(interp.errorNumber, 0) << c.program.front() << ": " << interp.errorText;
  }
}

TEST_F(ExecutorTest, RunFromALineAndRerunKeepingVariables) {
  Enter({"10 PRINT 10", "20 PRINT 20; X", "30 X = X + 1"});
  Command("RUN 20");
  EXPECT_EQ(Printed(), "20 0 \n");
  Command("X = 41");
  Command("RERUN 20");
  EXPECT_EQ(Number("X"), 42);
  Command("RUN 20");
  EXPECT_EQ(Number("X"), 1);
}

TEST_F(ExecutorTest, GotoAnUndefinedLineEndsTheRun) {
  RunProgram({"10 GOTO 999", "20 PRINT 20"});
  EXPECT_EQ(Printed(), "");
  EXPECT_EQ(interp.errorNumber, 31);
  EXPECT_EQ(interp.errorText, "Undefined line: \nBasic system error 31");
}

TEST_F(ExecutorTest, LeftOverTokensInAProgramLine) {
  RunProgram({"40 LARRAY 5", "50 PRINT 50"});
  // 30 for the left-over, 45 for the number run as a statement, then the
  // stop report closes the run with -12.
  EXPECT_EQ(Printed(), "");
  EXPECT_EQ(interp.errorNumber, -12);
  EXPECT_EQ(interp.errorText, " in 40: \nBasic system error -12 (bus error)");
  ASSERT_GE(platform.notifications.size(), 3u);
}

TEST_F(ExecutorTest, ExtraInformationTextNamesTheLine) {
  std::vector<std::string> texts;
  interp.onError = [&texts](int32_t, std::string_view text) { texts.emplace_back(text); };
  RunProgram({"40 LARRAY 5"});
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Extra information on line in 40: \nBasic system error 30");
  EXPECT_EQ(texts[1], "Illegal command: \nBasic system error 45");
}

TEST_F(ExecutorTest, LeftOverInACommandIsRunWithoutExtraReport) {
  Command("LARRAY 5");
  EXPECT_EQ(interp.errorNumber, 45);
  EXPECT_EQ(interp.errorText, "Illegal command: \nBasic system error 45");
}

TEST_F(ExecutorTest, StopInALineReportsABreak) {
  RunProgram({"60 PRINT 1", "70 STOP", "80 PRINT 2"});
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_EQ(interp.errorNumber, -12);
  EXPECT_EQ(interp.errorText, "Break in 70: \nBasic system error -12 (bus error)");
  // The stop code stays: a later illegal command's report also says Break.
  Command("NEW");
  RunProgram({"90 THEN"});
  EXPECT_EQ(interp.errorText, "Break in 90: \nBasic system error -12 (bus error)");
}

TEST_F(ExecutorTest, StopTypedAsACommandReportsNothing) {
  Command("STOP");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(ExecutorTest, ByeStopsEveryLaterRunButStillStoresLines) {
  Command("BYE: PRINT 1");
  EXPECT_EQ(Printed(), "1 \n");
  Command("PRINT 2");
  Command("NEW");
  Command("10 PRINT 3");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_NE(interp.program.Find(10), nullptr);
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(ExecutorTest, EndTypedAsACommandKeepsProgramAndVariables) {
  Enter({"10 PRINT 1", "X = 3"});
  Command("END");
  EXPECT_NE(interp.program.Find(10), nullptr);
  EXPECT_EQ(Number("X"), 3);
  EXPECT_EQ(interp.state, RunState::Idle);
}

TEST_F(ExecutorTest, MissingThenIsASyntaxErrorAndTheStatementGoesOn) {
  RunProgram({"10 IF 1 PRINT 5"});
  // The check passes over PRINT; the number left at the cursor is then a
  // THEN-jump to line 5, which does not exist.
  EXPECT_EQ(interp.errorNumber, 31);
}

TEST_F(ExecutorTest, ABreakRequestStopsTheRunAtTheNextStatement) {
  platform.onModal = [this] { interp.RequestBreak(); };
  RunProgram({"10 PRINT 1", "20 GOTO 10"});
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_EQ(interp.errorText, "Break in 20: \nBasic system error -12 (bus error)");
}

// Asked for while a statement runs among statements that run back to back
// (here, by the third report of a bad subscript, once every statement of
// the loop is translated), the break still stops the run before the next
// one, translated or not.
TEST_F(ExecutorTest, ABreakAskedForInsideARunOfTranslatedStatementsStopsAtTheNext) {
  for (const bool translate : {true, false}) {
    interp.compileLines = translate;
    Command("NEW");
    int reports = 0;
    interp.onError = [this, &reports](int32_t number, std::string_view) {
      if (number != 42) return;
      if (++reports == 3) interp.RequestBreak();
      // Should the break go unseen, a statement limit still ends the run.
      if (reports == 100) interp.SetStatementLimit(1);
    };
    RunProgram({"10 DIM A(2)", "20 I=I+1: A(I+4)=1: J=J+1", "30 GOTO 20"});
    EXPECT_EQ(interp.errorText, "Break in 20: \nBasic system error -12 (bus error)");
    EXPECT_EQ(Number("I"), 3);
    EXPECT_EQ(Number("J"), 2);
  }
}

TEST_F(ExecutorTest, StateIsRunningDuringAStatementAndIdleAfter) {
  RunState seen = RunState::Created;
  platform.onModal = [&] { seen = interp.state; };
  Command("PRINT 1");
  EXPECT_EQ(seen, RunState::Running);
  EXPECT_EQ(interp.state, RunState::Idle);
}

}  // namespace
}  // namespace tenrek

namespace tenrek {
namespace {

TEST_F(ExecutorTest, ABreakLeftPendingDoesNotStopTheNextCommand) {
  Enter({"10 INPUT A"});
  Command("RUN");  // no answer queued: end of input asks for a break
  Command("B = 1");
  EXPECT_EQ(Number("B"), 1);
}

}  // namespace
}  // namespace tenrek
