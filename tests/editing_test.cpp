// DEL and RENUM: which lines go, which numbers change, and what a running
// program sees afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace tenrek {
namespace {

class EditingTest : public ::testing::Test, public testing::BasicTest {
 protected:
  std::string Listing() {
    std::string text;
    interp.host.listingBuffer = {&text, 32768};
    interp.ExecuteCommand("ILXT");
    interp.host.listingBuffer = {};
    return text;
  }
  std::string Numbers() {
    std::string numbers;
    for (const ProgramLine* l = interp.program.First(); l != nullptr; l = l->next) {
      if (!numbers.empty()) numbers += ' ';
      numbers += std::to_string(l->number);
    }
    return numbers;
  }
  void ExpectSyntaxError() {
    EXPECT_EQ(interp.errorNumber, 40);
    EXPECT_EQ(interp.errorText, "Syntax error: \nBasic system error 40");
  }
};

struct DelCase {
  const char* command;
  const char* remaining;
  int32_t error;
};

TEST_F(EditingTest, DelDeletesTheLinesOfEachRange) {
  const std::vector<DelCase> cases = {
      {"DEL 20", "10 30", 0},
      {"DEL 15", "10 20 30", 0},
      {"DEL 20-", "10", 0},
      {"DEL -20", "30", 0},
      {"DEL 10, 30", "20", 0},
      {"DEL 10.9", "20 30", 0},
      {"DEL 15-25", "10 30", 0},
      {"DEL 10,", "20 30", 0},
      {"DEL -", "", 0},
      {"DEL 30: DEL 10", "20", 0},
      // Errors: a token after a range is skipped, the ranges still go.
      {"DEL", "10 20 30", 40},
      {"DEL 10 X", "20 30", 40},
      {"DEL 10 X, 30", "20", 40},
      // A range without any bound would be the whole program: refused.
      {"DEL X", "10 20 30", 40},
      {"DEL \"A\"", "10 20 30", 40},
      {"DEL X, 30", "10 20", 40},
      {"DEL ,20", "10 30", 40},
  };
  for (const DelCase& c : cases) {
    Command("NEW");
    Enter({"10 A=1", "20 A=2", "30 A=3"});
    platform.notifications.clear();
    Command(c.command);
    EXPECT_EQ(Numbers(), c.remaining) << c.command;
    EXPECT_EQ(interp.errorNumber, c.error) << c.command;
    EXPECT_EQ(platform.notifications.empty(), c.error == 0) << c.command;
  }
}

TEST_F(EditingTest, DelSyntaxErrorTextIsExact) {
  Enter({"10 A=1"});
  Command("DEL");
  ExpectSyntaxError();
}

TEST_F(EditingTest, DeletingTheRunningLineEndsTheRunAfterThatStatement) {
  Enter({"10 PRINT 1: DEL 10: PRINT 2", "20 PRINT 3"});
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n");
  EXPECT_EQ(Numbers(), "20");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
}

TEST_F(EditingTest, DeletingOtherLinesLetsTheRunGoOn) {
  Enter({"10 DEL 20: PRINT 1", "20 PRINT 2", "30 PRINT 3"});
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n3 \n");
}

struct FrameCase {
  std::vector<std::string_view> program;
  int32_t error;
  const char* text;
};

// A loop or a return point on a deleted line is gone: the statement that
// would have gone back to it finds nothing to go back to.
TEST_F(EditingTest, DelForgetsLoopsAndReturnsOnDeletedLines) {
  const std::vector<FrameCase> cases = {
      {{"10 GOSUB 100", "20 PRINT 20: END", "100 DEL 10-20: RETURN"},
       37,
       "RETURN without GOSUB: \nBasic system error 37"},
      {{"10 FOR I=1 TO 3", "20 DEL 10: NEXT I"}, 35, "NEXT without FOR: \nBasic system error 35"},
      {{"10 WHILE 1", "20 DEL 10: WEND"}, 37, "WEND without WHILE: \nBasic system error 37"},
  };
  for (const FrameCase& c : cases) {
    Command("NEW");
    for (std::string_view line : c.program) Command(line);
    platform.boxes.clear();
    Command("RUN");
    EXPECT_EQ(interp.errorNumber, c.error) << c.program.front();
    EXPECT_EQ(interp.errorText, c.text) << c.program.front();
    EXPECT_EQ(Printed(), "") << c.program.front();
  }
}

TEST_F(EditingTest, DelOfTheLineReadFromRestartsReading) {
  Enter({"10 DATA 1, 2", "20 DATA 3", "30 READ A: DEL 10: READ B"});
  Command("RUN");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 3);
}

TEST_F(EditingTest, RenumGivesEvenNumbersAndRewritesReferences) {
  Enter({"5 PRINT 5", "7 GOTO 100", "100 GOSUB 5"});
  Command("RENUM");
  EXPECT_EQ(Listing(), "10 PRINT 5\r\n20 GOTO 30\r\n30 GOSUB 10\r\n");
  Command("RENUM 1000, 100");
  EXPECT_EQ(Listing(), "1000 PRINT 5\r\n1100 GOTO 1200\r\n1200 GOSUB 1000\r\n");
  Command("RENUM 3");
  EXPECT_EQ(Numbers(), "3 13 23");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(platform.output, "");
}

struct ReferenceCase {
  const char* line;     // entered as line 1, before lines 100, 200, 300
  const char* renamed;  // line 10 after RENUM
};

TEST_F(EditingTest, RenumRewritesOnlyNumbersThatNameLines) {
  const std::vector<ReferenceCase> cases = {
      {"ON X GOTO 100, 200, 300", "ON X GOTO 20,30,40"},
      {"ON X GOSUB 100,200", "ON X GOSUB 20,30"},
      {"IF A THEN 100 ELSE 200", "IF A THEN 20 ELSE 30"},
      {"GOTO 100 + 5", "GOTO 20+5"},
      {"PRINT 100: GOTOXY 100, 200", "PRINT 100 : GOTOXY 100,200"},
      {"LIST 100-200: DEL 200-300", "LIST 20-200 : DEL 30-300"},
      {"RESTORE 300: RUN 200: RERUN 100", "RESTORE 40 : RUN 30 : RERUN 20"},
      {"RUN \"GAME\", 200", "RUN\"GAME\",200"},
      {"GOSUB 100 200", "GOSUB 20 30"},
      {"GOTO 99.6", "GOTO 20"},
  };
  for (const ReferenceCase& c : cases) {
    Command("NEW");
    Command(std::string("1 ") + c.line);
    Enter({"100 REM", "200 REM", "300 REM"});
    Command("RENUM");
    EXPECT_EQ(Listing(), std::string("10 ") + c.renamed + "\r\n20 REM\r\n30 REM\r\n40 REM\r\n")
        << c.line;
    EXPECT_EQ(platform.output, "") << c.line;
  }
}

TEST_F(EditingTest, RenumWarnsAboutUndefinedLinesAndKeepsThem) {
  Enter({"10 PRINT 1", "20 GOTO 45: GOSUB 10, 46"});
  platform.notifications.clear();
  Command("RENUM 100");
  EXPECT_EQ(platform.output, "Undefined line 45 in line 110\nUndefined line 46 in line 110\n");
  EXPECT_EQ(Listing(), "100 PRINT 1\r\n110 GOTO 45 : GOSUB 100,46\r\n");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_TRUE(platform.notifications.empty());
}

// Numbers that are not positive or not strictly ascending would break the
// program; such operands change nothing.
TEST_F(EditingTest, RenumRefusesNumbersThatWouldNotAscend) {
  const std::vector<const char*> commands = {
      "RENUM 0",          "RENUM -10",  "RENUM 10, 0", "RENUM 10, -5", "RENUM 2147483000, 1000",
      "RENUM 2147483647", "RENUM 1E10",
  };
  for (const char* command : commands) {
    Command("NEW");
    Enter({"10 GOTO 20", "20 GOTO 10"});
    Command(command);
    ExpectSyntaxError();
    EXPECT_EQ(Listing(), "10 GOTO 20\r\n20 GOTO 10\r\n") << command;
  }
  Command("RENUM 2147483646, 1");
  EXPECT_EQ(Numbers(), "2147483646 2147483647");
}

// New numbers longer than the old ones could push a line past the 1023
// characters a line may have, which no file or listing carries whole:
// RENUM refuses, as typing such a line is refused, and changes nothing.
TEST_F(EditingTest, RenumRefusesToMakeALineTooLong) {
  std::string line = "1 ON A GOTO 1";
  for (int i = 1; i < 240; ++i) line += ",1";
  Enter({line, "2 GOTO 1"});
  const std::string before = Listing();
  Command("RENUM 1000000000, 1");
  ExpectSyntaxError();
  EXPECT_EQ(Listing(), before);
  EXPECT_EQ(platform.output, "");
  Command("RENUM 100, 1");  // 240 three-digit targets fit
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Numbers(), "100 101");
}

TEST_F(EditingTest, RenumOperandsNeedTheirComma) {
  Enter({"10 A=1", "20 A=2"});
  Command("RENUM 100 ; 5");
  ExpectSyntaxError();
  EXPECT_EQ(Numbers(), "100 105");
}

TEST_F(EditingTest, RenumOfAnEmptyProgramDoesNothing) {
  Command("RENUM");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_TRUE(interp.program.Empty());
  EXPECT_EQ(platform.output, "");
}

// Renumbering moves no line: a run, its return points and its READ
// position go on where they were.
TEST_F(EditingTest, RenumInARunningProgramLetsItGoOn) {
  Enter({"10 DATA 1, 2", "20 READ A: GOSUB 100", "30 READ B: PRINT A; B: END",
         "100 RENUM 1000, 5: RETURN"});
  Command("RUN");
  EXPECT_EQ(Printed(), "1 2 \n");
  EXPECT_EQ(Numbers(), "1000 1005 1010 1015");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
}

}  // namespace
}  // namespace tenrek
