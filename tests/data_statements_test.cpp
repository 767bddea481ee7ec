// LET, PRINT, INPUT, READ/DATA/RESTORE, POKE, GOTOXY, MSGTIT and MSGICON,
// driven through stored programs and command lines as a host drives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace tenrek {
namespace {

constexpr const char* kSyntaxError = "Syntax error: \nBasic system error 40";
constexpr const char* kTypeMismatch = "Type mismatch error: \nBasic system error 41";
constexpr const char* kOutOfData = "Out of Data: \nBasic system error 38";
constexpr const char* kUndefinedLine = "Undefined line: \nBasic system error 31";

class DataTest : public ::testing::Test, public testing::BasicTest {
 protected:
  void Run(std::initializer_list<std::string_view> lines) {
    Enter(lines);
    Command("RUN");
  }
  const StringCell& Text(std::string_view name) {
    static const StringCell kMissing{false, "<no such variable>"};
    Variable* v = Var(name);
    return v != nullptr ? v->text : kMissing;
  }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> prompts;
    for (const auto& dialog : platform.dialogs) prompts.push_back(dialog.prompt);
    return prompts;
  }
};

// ---- LET ----

TEST_F(DataTest, LetAssignsExplicitlyAndImplicitly) {
  Run({"10 A = 5: LET B = A * 2: C$ = \"x\" + \"y\": LET D$ = C$"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("A"), 5);
  EXPECT_EQ(Number("B"), 10);
  EXPECT_EQ(Text("C$").text, "xy");
  EXPECT_EQ(Text("D$").text, "xy");
}

TEST_F(DataTest, LetWritesTheCellReferencedBeforeTheValue) {
  Run({"10 I = 2: J = 3: A(J) = 5: A(I) = A(J) + 1"});
  EXPECT_EQ(interp.errorNumber, 0);
  ASSERT_EQ(Var("A")->numbers.size(), 11u);
  EXPECT_EQ(Var("A")->numbers[2], 6);
  EXPECT_EQ(Var("A")->numbers[3], 5);
}

TEST_F(DataTest, LetOfTheWrongTypeReportsAndKeepsTheOldValue) {
  Run({"10 A = 7: A$ = \"old\"", "20 A = \"x\"", "30 B = 1"});
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(interp.errorText, kTypeMismatch);
  EXPECT_EQ(Number("A"), 7);
  EXPECT_EQ(Number("B"), 1);  // the run went on

  Command("A$ = 5");
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(Text("A$").text, "old");
}

// A$ = A$ + ... joins onto A$ itself: whatever the rest reads of A$, by
// name or through VAL, must still be the old value, and a rest that is no
// string join leaves A$ as it was.
TEST_F(DataTest, JoiningOntoTheTargetItselfSeesTheOldValue) {
  struct Case {
    const char* statement;
    const char* result;
    int32_t error;
  };
  const std::vector<Case> cases = {
      {"A$=A$+B$", "ABCD", 0},          {"A$=A$+A$+B$", "ABABCD", 0},
      {"A$=A$+VAL(\"A$\")", "ABAB", 0}, {"A$=A$+MID$(A$,2)", "ABB", 0},
      {"A$=A$+B$=B$", "AB", 41},        {"A$=A$+-1", "", 41},
      {"A$=A$+B$*2", "", 41},           {"A$=A$+E$+B$", "ABCD", 43},
      {"A$=A$+(B$", "ABCD", 40},
  };
  for (const Case& c : cases) {
    Command("CLEAR");
    Command("A$=\"AB\": B$=\"CD\"");
    Command(c.statement);
    EXPECT_EQ(Text("A$").text, c.result) << c.statement;
    EXPECT_EQ(interp.errorNumber, c.error) << c.statement;
  }
  Command("A$=\"\": FOR I=1 TO 600: A$=A$+\"XY\": NEXT");
  EXPECT_EQ(Text("A$").text.size(), kMaxStringLength);
  // What the variable holds is counted once, however often it is joined.
  Command("B$=\"\"");
  const std::size_t held = interp.budget.Used();
  Command("B$=MID$(A$,1,500): FOR I=1 TO 100000: A$=MID$(A$,1,500): A$=A$+B$: NEXT");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_LE(interp.budget.Used(), held + 4096);
}

TEST_F(DataTest, LetWithoutEqualsReportsAndStoresNothing) {
  Run({"10 A = 3", "20 A 5", "30 LET B", "40 C = 1"});
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.errorText, kSyntaxError);
  EXPECT_EQ(Number("A"), 3);
  EXPECT_EQ(Number("B"), 0);
  EXPECT_EQ(Number("C"), 1);
}

TEST_F(DataTest, LetWithoutATargetIsASyntaxError) {
  Command("LET 5 = 3");
  EXPECT_EQ(interp.errorNumber, 40);
}

// ---- PRINT, MSGTIT, MSGICON ----

TEST_F(DataTest, PrintComposesOneBoxPerStatement) {
  struct Case {
    const char* line;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"PRINT", "\n"},
      {"PRINT 1; 2", "1 2 \n"},
      {"PRINT \"X\";", "X"},
      {"PRINT \"X\",", "X"},
      {"PRINT 1/3", "0.3333333333 \n"},
      {"PRINT \"A\" \"B\"", "AB\n"},
      {"PRINT \"A\", 2, \"B\"", "A2 B\n"},
      {"PRINT 2+3: PRINT", "5 \n"},  // the second PRINT is a box of its own
  };
  for (const Case& c : cases) {
    platform.boxes.clear();
    Command(c.line);
    SCOPED_TRACE(c.line);
    EXPECT_EQ(interp.errorNumber, 0);
    ASSERT_FALSE(platform.boxes.empty());
    EXPECT_EQ(platform.boxes.front().text, c.text);
    EXPECT_EQ(platform.boxes.front().caption, ".....");
    EXPECT_EQ(platform.boxes.front().style, 48);
  }
}

TEST_F(DataTest, PrintBeforeElseEndsItsStatementThere) {
  Command("IF 1 THEN PRINT \"yes\" ELSE PRINT \"no\"");
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "yes\n");
}

TEST_F(DataTest, PrintCutsTheTextAt1023Characters) {
  const std::string hundred(100, 'x');
  Run({"10 A$ = \"" + hundred + "\"", "20 B$ = A$ + A$ + A$ + A$ + A$ + A$ + A$ + A$ + A$ + A$",
       "30 PRINT B$; \"ABCDEFGHIJKLMNOPQRST\"; 12345"});
  ASSERT_EQ(platform.boxes.size(), 1u);
  // 1000 + 20 characters, then the first three of "12345 ", and no room
  // for the line feed.
  EXPECT_EQ(platform.boxes[0].text, std::string(1000, 'x') + "ABCDEFGHIJKLMNOPQRST123");

  platform.boxes.clear();
  Command("PRINT B$; B$; B$");
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, std::string(1023, 'x'));
}

TEST_F(DataTest, MsgtitAndMsgiconSetTheBoxAppearance) {
  Enter({"MSGTIT \"Hello\": MSGICON 64", "PRINT 1"});
  Enter({"MSGTIT 5: MSGICON \"x\"", "PRINT 2"});
  Enter({"MSGICON -16.7", "PRINT 3"});
  ASSERT_EQ(platform.boxes.size(), 3u);
  EXPECT_EQ(platform.boxes[0].caption, "Hello");
  EXPECT_EQ(platform.boxes[0].style, 64);
  EXPECT_EQ(platform.boxes[1].caption, "Hello");  // a number is ignored
  EXPECT_EQ(platform.boxes[1].style, 64);         // a string is ignored
  EXPECT_EQ(platform.boxes[2].style, -16);        // truncated toward zero
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(DataTest, MsgtitKeepsAt255Characters) {
  Run({"10 A$ = \"" + std::string(200, 'a') + "\"", "20 MSGTIT A$ + A$"});
  EXPECT_EQ(interp.host.messageTitle, std::string(255, 'a'));
}

// ---- INPUT ----

TEST_F(DataTest, InputTakesSeveralNumbersFromOneAnswer) {
  platform.QueueAnswer("1, 2*3");
  Run({"10 INPUT A, B"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 6);
  ASSERT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(platform.dialogs[0].prompt, "?");
  EXPECT_EQ(platform.dialogs[0].title, ".....");
}

TEST_F(DataTest, InputAsksAgainWithAQuestionMarkWhileValuesAreMissing) {
  platform.QueueAnswer("1");
  platform.QueueAnswer("   ");  // a blank answer yields no value
  platform.QueueAnswer("X + 1");
  Run({"10 X = 4: MSGTIT \"Ask\"", "20 INPUT \"Values\"; A, B"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 5);
  EXPECT_EQ(Prompts(), (std::vector<std::string>{"Values", "?", "?"}));
  EXPECT_EQ(platform.dialogs[2].title, "Ask");
}

TEST_F(DataTest, InputStoresStringsAsTypedOneDialogEach) {
  platform.QueueAnswer("");
  platform.QueueAnswer("  x, 2*3 ");
  platform.QueueAnswer(std::string(300, 'z'));
  Run({"10 INPUT \"Name\"; N$, M$(2)", "20 INPUT L$"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_TRUE(Text("N$").hasValue);
  EXPECT_EQ(Text("N$").text, "");
  ASSERT_EQ(Var("M$")->texts.size(), 11u);
  EXPECT_EQ(Var("M$")->texts[2].text, "  x, 2*3 ");
  EXPECT_EQ(Text("L$").text, std::string(255, 'z'));
  EXPECT_EQ(Prompts(), (std::vector<std::string>{"Name", "Name", "?"}));
}

TEST_F(DataTest, InputWithMixedOrMissingTargetsAsksNothing) {
  const std::vector<std::string> lines = {"INPUT A$, B", "INPUT A$(I)", "INPUT 5",
                                          "INPUT \"Prompt\" A", "INPUT"};
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    Command(line);
    EXPECT_EQ(interp.errorNumber, 40);
    EXPECT_EQ(interp.errorText, kSyntaxError);
  }
  EXPECT_TRUE(platform.dialogs.empty());
  EXPECT_FALSE(Text("A$").hasValue);
}

TEST_F(DataTest, InputAnswerErrors) {
  platform.QueueAnswer("1 2");
  Command("INPUT A");
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(interp.errorNumber, 40);  // two values without ","

  platform.QueueAnswer("\"text\"");
  Command("A = 7: INPUT A");
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(interp.errorText, kTypeMismatch);
  EXPECT_EQ(Number("A"), 7);

  platform.QueueAnswer("1, 2");
  Command("INPUT A B");  // targets not separated: the statement ends
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 0);
}

TEST_F(DataTest, InputAtEndOfInputBreaksTheRunInsteadOfAskingForever) {
  platform.QueueAnswer("");  // one blank answer, then nothing ever again
  Run({"10 A = 3", "20 INPUT A, B", "30 A = 9"});
  EXPECT_EQ(platform.dialogs.size(), 2u);  // the blank answer, then one "?"
  EXPECT_EQ(Number("A"), 3);
  EXPECT_EQ(interp.errorNumber, -12);
  EXPECT_EQ(interp.errorText, "Break in 30: \nBasic system error -12 (bus error)");
}

TEST_F(DataTest, StringInputAtEndOfInputStoresEmptyAndStopsAsking) {
  Run({"10 INPUT A$, B$", "20 C = 1"});
  EXPECT_EQ(platform.dialogs.size(), 1u);
  EXPECT_TRUE(Text("A$").hasValue);
  EXPECT_FALSE(Text("B$").hasValue);
  EXPECT_EQ(Number("C"), 0);
  EXPECT_EQ(interp.errorNumber, -12);
}

TEST_F(DataTest, InputSurvivesAHostCommandThatDiscardsTheProgram) {
  // A host event handled inside the dialog's message loop runs NEW: the
  // statement must finish on its (retired) tokens and variables, and the
  // run must end.
  for (const char* line :
       {"10 INPUT \"Go\"; A$(1), B$: C = 1", "10 INPUT \"Go\"; A(1), B: C = 1"}) {
    SCOPED_TRACE(line);
    platform.QueueAnswer("5");
    platform.QueueAnswer("6");
    Enter({line, "20 D = 1"});
    bool once = true;
    platform.onModal = [&] {
      if (once) Command("NEW");
      once = false;
    };
    Command("RUN");
    platform.onModal = nullptr;
    EXPECT_TRUE(interp.program.Empty());
    EXPECT_EQ(Var("D"), nullptr);
    EXPECT_EQ(interp.errorNumber, 0);
  }
}

// ---- READ, DATA, RESTORE ----

TEST_F(DataTest, ReadWalksDataAcrossLinesAndRestoreRewinds) {
  Run({"10 DATA 1, 2", "20 DATA 3", "30 W = -1: READ X, Y, Z: READ W", "40 RESTORE: READ A",
       "50 RESTORE 20: READ B"});
  EXPECT_EQ(Number("X"), 1);
  EXPECT_EQ(Number("Y"), 2);
  EXPECT_EQ(Number("Z"), 3);
  EXPECT_EQ(Number("W"), -1);  // out of data: the target keeps its value
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 3);
  EXPECT_EQ(interp.errorNumber, 38);
  EXPECT_EQ(interp.errorText, kOutOfData);
}

TEST_F(DataTest, ReadPositionLastsBetweenCommandsAndStaysAtTheEnd) {
  Enter({"10 DATA 1, 2"});
  Command("READ A");
  Command("READ B");
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 2);
  EXPECT_EQ(interp.errorNumber, 0);
  Command("B = 0: READ B");
  EXPECT_EQ(interp.errorNumber, 38);
  Command("READ B");  // still at the end: nothing is read again
  EXPECT_EQ(interp.errorNumber, 38);
  EXPECT_EQ(Number("B"), 0);
}

TEST_F(DataTest, ReadEvaluatesItemsAndPassesOverEmptyData) {
  Run({"10 DATA", "20 DATA : X = 1: DATA 1+2, \"A\"+\"B\"", "30 X = 0: DATA Q",
       "40 Q = 9: READ N, S$, V"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("N"), 3);
  EXPECT_EQ(Text("S$").text, "AB");
  EXPECT_EQ(Number("V"), 9);  // an unquoted word is a variable reference
}

TEST_F(DataTest, ReadOfTheWrongTypeReportsAndMovesOn) {
  Run({"10 DATA \"x\", 5", "20 A = 1: READ A: READ B"});
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(interp.errorText, kTypeMismatch);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 5);
}

TEST_F(DataTest, ReadErrors) {
  Command("READ A");  // no program at all
  EXPECT_EQ(interp.errorNumber, 38);

  Enter({"10 DATA 1, 2, 3"});
  Command("READ A B");
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 0);

  Command("READ 5");
  EXPECT_EQ(interp.errorNumber, 40);
  Command("READ C");  // the failed statements read nothing more
  EXPECT_EQ(Number("C"), 2);
}

TEST_F(DataTest, RestoreToAnUndefinedLineKeepsThePosition) {
  Run({"10 DATA 1, 2", "20 READ A: RESTORE 99: READ B"});
  EXPECT_EQ(interp.errorNumber, 31);
  EXPECT_EQ(interp.errorText, kUndefinedLine);
  EXPECT_EQ(Number("A"), 1);
  EXPECT_EQ(Number("B"), 2);
}

TEST_F(DataTest, RunAndStoringALineResetTheReadPosition) {
  Enter({"10 DATA 1, 2", "20 READ A"});
  Command("RUN");
  Command("RUN");
  EXPECT_EQ(Number("A"), 1);
  Command("READ B");
  Enter({"30 REM"});
  Command("READ C");
  EXPECT_EQ(Number("B"), 2);
  EXPECT_EQ(Number("C"), 1);
}

// ---- POKE and GOTOXY ----

TEST_F(DataTest, PokeStoresTheLowByteOfTheRoundedValue) {
  struct Case {
    const char* line;
    std::size_t address;
    uint8_t value;
  };
  const std::vector<Case> cases = {
      {"POKE 100, 300", 100, 44},
      {"POKE 5.5, 1.5", 6, 2},
      {"POKE 7, -1", 7, 255},
      {"POKE 65535, 256 + 17", 65535, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Command(c.line);
    EXPECT_EQ(interp.errorNumber, 0);
    EXPECT_EQ(interp.memory[c.address], c.value);
  }
}

TEST_F(DataTest, PokeOutsideTheMemoryBlockIsIgnored) {
  const std::vector<uint8_t> before = interp.memory;
  Enter({"POKE -1, 9", "POKE 65536, 9", "POKE 4294967296 + 100, 9"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(interp.memory, before);

  Command("POKE 3 4");
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.errorText, kSyntaxError);
}

TEST_F(DataTest, GotoxyTakesTwoOperandsWithoutEffect) {
  Run({"10 GOTOXY 10, 20", "20 A = 1"});
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Number("A"), 1);

  Command("GOTOXY 10");
  EXPECT_EQ(interp.errorNumber, 40);
}

}  // namespace
}  // namespace tenrek
