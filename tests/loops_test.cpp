// FOR/NEXT, WHILE/WEND, GOSUB/RETURN and ON, with their errors.
#include <gtest/gtest.h>

#include "test_support.h"

namespace tenrek {
namespace {

class LoopsTest : public ::testing::Test, public testing::BasicTest {
 protected:
  void Program(std::vector<std::string_view> lines) {
    platform.boxes.clear();
    Command("NEW");
    for (std::string_view line : lines) Command(line);
    Command("RUN");
  }
};

struct LoopCase {
  std::vector<std::string_view> program;
  const char* printed;
  int32_t error;
};

TEST_F(LoopsTest, LoopsAndSubroutinesRunTheirBodies) {
  const std::vector<LoopCase> cases = {
      {{"10 FOR I=1 TO 3: PRINT I;: NEXT I"}, "1 2 3 ", 0},
      {{"10 FOR I=1 TO 3", "20 PRINT I;", "30 NEXT"}, "1 2 3 ", 0},
      {{"10 FOR I=3 TO 1 STEP -1: PRINT I;: NEXT"}, "3 2 1 ", 0},
      {{"10 FOR I=5 TO 1", "20 PRINT I", "30 NEXT I", "40 PRINT I"}, "5 \n", 0},
      {{"10 FOR I=1 TO 2 STEP 0: PRINT 1", "20 NEXT", "30 PRINT 2"}, "2 \n", 0},
      {{"10 FOR I=1 TO 1 STEP 0: PRINT I;: I=I+1: NEXT: PRINT"}, "1 \n", 0},
      {{"10 FOR I=1 TO 2: FOR J=1 TO 2: PRINT I*10+J;: NEXT J: NEXT I"}, "11 12 21 22 ", 0},
      {{"10 FOR I=1 TO 2: FOR J=1 TO 5: PRINT J;: NEXT I"}, "1 1 ", 0},
      {{"10 FOR I=5 TO 1: FOR J=1 TO 2: NEXT J: PRINT 9: NEXT I: PRINT 7"}, "7 \n", 0},
      {{"10 WHILE N < 3: N = N + 1: PRINT N;: WEND"}, "1 2 3 ", 0},
      {{"10 WHILE 0", "20 PRINT 1", "30 WEND", "40 PRINT 2"}, "2 \n", 0},
      {{"10 WHILE 1: PRINT 1: WEND 1: PRINT 2"}, "1 \n2 \n", 0},
      {{"10 GOSUB 100: PRINT 2: END", "100 PRINT 1: RETURN"}, "1 \n2 \n", 0},
      {{"10 ON 2 GOTO 100, 200, 300", "100 PRINT 1: END", "200 PRINT 2: END"}, "2 \n", 0},
      {{"10 ON 0 GOTO 100: PRINT 0", "100 PRINT 1"}, "0 \n1 \n", 0},
      {{"10 ON 4 GOTO 100, 200: PRINT 4", "100 PRINT 1"}, "4 \n1 \n", 0},
      {{"10 ON 2 GOSUB 100, 200: PRINT 3: END", "100 PRINT 1: RETURN", "200 PRINT 2: RETURN"},
       "2 \n3 \n",
       0},
      {{"10 ON 0 GOSUB 100: PRINT 1: END", "100 RETURN"}, "1 \n", 0},
      {{"10 FOR I=1 TO 3: GOSUB 100: NEXT: END", "100 PRINT I;: RETURN"}, "1 2 3 ", 0},
      {{"10 WHILE 0", "20 PRINT 1"}, "1 \n", 36},
      {{"10 FOR I=5 TO 1", "20 PRINT 1"}, "1 \n", 34},
      {{"10 NEXT I: PRINT 1"}, "1 \n", 35},
      {{"10 WEND: PRINT 1"}, "1 \n", 37},
      {{"10 RETURN: PRINT 1"}, "1 \n", 37},
      {{"10 FOR I=1 TO 2: GOSUB 100: NEXT: END", "100 NEXT: PRINT 5: RETURN"}, "5 \n5 \n", 35},
      {{"10 GOSUB 99"}, "", 31},
      {{"10 FOR A$=1 TO 2"}, "", -12},
  };
  for (const LoopCase& c : cases) {
    Program(c.program);
    EXPECT_EQ(Printed(), c.printed) << c.program.front();
    EXPECT_EQ(interp.errorNumber, c.error) << c.program.front() << ": " << interp.errorText;
  }
}

TEST_F(LoopsTest, ErrorTexts) {
  const std::vector<std::pair<std::string_view, const char*>> cases = {
      {"WHILE 0", "WHILE without WEND: \nBasic system error 36"},
      {"NEXT", "NEXT without FOR: \nBasic system error 35"},
      {"WEND", "WEND without WHILE: \nBasic system error 37"},
      {"RETURN", "RETURN without GOSUB: \nBasic system error 37"},
      {"FOR I=9 TO 1", "FOR without NEXT: \nBasic system error 34"},
  };
  for (const auto& [command, text] : cases) {
    Command(command);
    EXPECT_EQ(interp.errorText, text) << command;
  }
}

TEST_F(LoopsTest, ACommandLineLoopRunsWithinTheCommand) {
  Command("FOR I=1 TO 3: PRINT I: NEXT I");
  EXPECT_EQ(Printed(), "1 \n2 \n3 \n");
  EXPECT_TRUE(interp.controlStack.empty());
}

TEST_F(LoopsTest, FramesOfAFinishedCommandAreDiscarded) {
  Command("FOR I=1 TO 3");
  EXPECT_TRUE(interp.controlStack.empty());
  Command("NEXT I");
  EXPECT_EQ(interp.errorNumber, 35);
}

// A command's frames go at its end wherever they sit on the stack: under
// and over frames that program lines leave, and after frames below them
// were dropped with their deleted lines.
TEST_F(LoopsTest, CommandFramesGoAmongProgramFramesThatStay) {
  Enter({"10 FOR I=1 TO 10: IF I=3 THEN 30", "20 NEXT I", "30 END",
         "40 FOR J=1 TO 10: IF J=2 THEN 60", "50 NEXT J", "60 END", "70 RETURN"});
  Command("GOTO 10");
  Command("FOR K=1 TO 2: GOSUB 40");
  ASSERT_EQ(interp.controlStack.size(), 2u);  // FOR I and FOR J
  EXPECT_EQ(interp.controlStack[0].variable, Var("I"));
  EXPECT_EQ(interp.controlStack[1].variable, Var("J"));

  Command("GOSUB 10");
  Command("DEL 10-30");
  Command("GOSUB 40");
  ASSERT_EQ(interp.controlStack.size(), 2u);  // FOR J, then FOR J again
  Command("NEXT J");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("J"), 11);
  Command("RETURN");
  EXPECT_EQ(interp.errorNumber, 37);
}

// An event-driven host sends one command per event: frames left by each
// of them pile up below the next one, and every one stays usable.
TEST_F(LoopsTest, FramesLeftByManyCommandsAllStay) {
  Enter({"10 FOR I=1 TO 10: IF I=3 THEN 30", "20 NEXT I", "30 END"});
  constexpr int kCommands = 500;
  for (int n = 0; n < kCommands; ++n) Command("GOTO 10");
  EXPECT_EQ(interp.controlStack.size(), static_cast<std::size_t>(kCommands));
  Command("FOR K=1 TO 3: NEXT K: GOSUB 30");
  EXPECT_EQ(interp.controlStack.size(), static_cast<std::size_t>(kCommands));
  Command("NEXT I");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("I"), 11);
}

// A body that is not entered is found once and then skipped like a jump;
// an edit of the program between the two must be seen.
TEST_F(LoopsTest, SkippedBodiesFollowTheProgramAsItIsNow) {
  Enter({"NEW", "10 FOR K=1 TO 2", "20 FOR I=1 TO 0: PRINT 1", "30 NEXT I: PRINT 2;",
         "40 WHILE 0: PRINT 3", "50 WEND: PRINT 4;", "60 NEXT K"});
  Command("RUN");
  EXPECT_EQ(Printed(), "2 4 2 4 ");
  platform.boxes.clear();
  Command("25 NEXT I: PRINT 5;");
  Command("45 WEND: PRINT 6;");
  Command("RUN");
  // The old NEXT I has no loop now: its search drops the FOR K frame too.
  EXPECT_EQ(Printed(), "5 2 6 4 ");
  EXPECT_EQ(interp.errorNumber, 35);
  platform.boxes.clear();
  Command("DEL 25-50");
  Command("RUN");  // the skip now ends after NEXT K
  EXPECT_EQ(Printed(), "");
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(LoopsTest, GosubTypedAsACommandRunsTheSubroutine) {
  Enter({"100 PRINT 100: RETURN", "200 PRINT 200: END"});
  Command("GOSUB 100: PRINT 1");
  EXPECT_EQ(Printed(), "100 \n1 \n");
  Command("GOSUB 200");
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(LoopsTest, ASubroutineEndingWithEndLeavesItsFrame) {
  Program({"10 GOSUB 100", "100 END"});
  ASSERT_EQ(interp.controlStack.size(), 1u);
  EXPECT_EQ(interp.controlStack.back().kind, FrameKind::Gosub);
}

TEST_F(LoopsTest, ReenteringAForPushesASecondFrame) {
  Program({"10 FOR I=1 TO 2", "20 IF J=0 THEN J=1: GOTO 10", "30 END"});
  EXPECT_EQ(interp.controlStack.size(), 2u);
}

TEST_F(LoopsTest, NumberedLineDiscardsTheControlStack) {
  Program({"10 GOSUB 100", "100 END"});
  Command("20 PRINT");
  EXPECT_TRUE(interp.controlStack.empty());
}

TEST_F(LoopsTest, NextIJLeavesCommaJAsExtraInformation) {
  Program({"10 FOR I=1 TO 1: FOR J=1 TO 1", "20 NEXT I, J"});
  EXPECT_EQ(interp.errorNumber, -12);  // 30, then "," runs as a statement: 45
}

}  // namespace
}  // namespace tenrek
