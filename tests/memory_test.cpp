// What a program can make the interpreter hold: the memory budget, the
// out-of-memory report, records removed during a run, and exceptions that
// arrive while a command runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"

namespace tenrek {
namespace {

namespace fs = std::filesystem;

// A budget small enough that runaway programs meet it at once.
constexpr std::size_t kSmallBudget = 256 * 1024;

class MemoryTest : public ::testing::Test, public testing::BasicTest {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("tenrek-memory-" + std::to_string(getpid()) + "-" + info->name());
    fs::create_directories(folder_);
    interp.budget.SetLimit(kSmallBudget);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  // Writes NAME.BAS in the private folder; answers the name to load it by.
  std::string WriteProgram(const std::string& name, const std::string& text) const {
    const fs::path path = folder_ / name;
    std::ofstream(path.string() + ".BAS", std::ios::binary) << text;
    return path.string();
  }
  // The interpreter still works after whatever went before.
  void ExpectUsable() {
    Command("NEW");
    platform.boxes.clear();
    Command("PRINT 1");
    EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
    EXPECT_EQ(Printed(), "1 \n");
    EXPECT_LT(interp.budget.Used(), 8 * 1024u);
  }

  fs::path folder_;
};

// Programs that replace their own lines and variables again and again: what
// they remove must be freed during the run, or they exhaust the budget
// long before their end.
TEST_F(MemoryTest, RecordsRemovedDuringARunAreFreedBeforeItEnds) {
  const std::string sub = WriteProgram("SUB", "20 REM " + std::string(900, 's') + "\r\n");
  const std::string chain = folder_.string() + "/CHAIN";
  WriteProgram("CHAIN", "10 DIM A(1000)\r\n20 RUN \"" + chain + "\"\r\n");

  Command("10 MERGE \"" + sub + "\": I = I + 1: IF I < 3000 THEN 10");
  Command("RUN");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Number("I"), 3000);

  // The chain never ends by itself: a statement limit breaks it after some
  // 1,000 rounds, each of which dropped an 8 KB array.
  interp.SetStatementLimit(2000);
  Command("RUN \"" + chain + "\"");
  EXPECT_EQ(interp.errorNumber, -12) << interp.errorText;
  EXPECT_EQ(interp.errorText.substr(0, 8), "Break in");
}

struct RunawayCase {
  std::vector<std::string_view> program;
  std::string_view report;
};

// Each program grows without end (or asks for too much at once). Past the
// budget the run ends with the -2 report, and the interpreter stays usable.
TEST_F(MemoryTest, RunawayGrowthEndsTheRunWithTheOutOfMemoryReport) {
  const std::vector<RunawayCase> cases = {
      {{"10 GOSUB 10"}, "Out of memory in 10"},
      {{"10 ON 1 GOSUB 10"}, "Out of memory in 10"},
      {{"10 WHILE 1: GOTO 10"}, "Out of memory in 10"},
      {{"10 WHILE 1", "20 GOTO 10"}, "Out of memory in 10"},  // the line whose WHILE grew
      {{"10 DIM A(100000)"}, "Out of memory in 10"},
      {{"10 A$ = \"XXXXXXXXXX\": FOR K = 1 TO 7: A$ = A$ + A$: NEXT",
        "20 DIM B$(1000): FOR I = 0 TO 1000: B$(I) = A$: NEXT"},
       "Out of memory in 20"},
  };
  for (const RunawayCase& c : cases) {
    Command("NEW");
    for (std::string_view line : c.program) Command(line);
    Command("RUN");
    EXPECT_EQ(interp.errorNumber, -2) << c.program[0];
    EXPECT_EQ(interp.errorText,
              std::string(c.report) + ": \nBasic system error -2 (out of memory)");
    ExpectUsable();
  }
}

TEST_F(MemoryTest, LinesPastTheBudgetAreRefused) {
  const std::string text = " REM " + std::string(900, 'x');
  int stored = 0;
  for (int n = 1; n < 1000 && interp.errorNumber == 0; ++n) {
    Command(std::to_string(n) + text);
    if (interp.errorNumber == 0) ++stored;
  }
  EXPECT_EQ(interp.errorNumber, -2);
  EXPECT_EQ(interp.program.Size(), static_cast<std::size_t>(stored));
  EXPECT_GT(stored, 10);
  Command("10");  // deleting a line is always allowed
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(interp.program.Size(), static_cast<std::size_t>(stored - 1));

  // LOAD stops at the budget with one report, not one per line.
  std::string big;
  for (int n = 1; n <= 5000; ++n) big += std::to_string(n) + text + "\r\n";
  const std::string name = WriteProgram("BIG", big);
  platform.notifications.clear();
  Command("LOAD \"" + name + "\"");
  EXPECT_EQ(interp.errorNumber, -2);
  EXPECT_EQ(platform.notifications.size(), 1u);
  EXPECT_LT(interp.program.Size(), 5000u);
  ExpectUsable();
}

// Whatever throws inside a command (the machine refusing memory, above
// all) ends that command with the -2 report; an outer command goes on.
// Whether a line runs translated or through its handlers, a program
// runs out of memory at the same point: the budget is charged for what a
// program holds, never for how the interpreter got there.
TEST(MemoryBudgetPoint, SameTranslatedOrNot) {
  for (const std::size_t budget : {2600u, 3194u, 4000u, 6000u}) {
    std::vector<double> reached;
    for (const bool translate : {true, false}) {
      testing::BasicTest basic;
      basic.interp.compileLines = translate;
      basic.interp.budget.SetLimit(budget);
      basic.Enter({"10 S$=LEFT$(S$+\"abc\"+S$,K): K=K+1: IF K<50 THEN GOSUB 10", "RUN"});
      EXPECT_EQ(basic.interp.errorNumber, -2) << budget;
      reached.push_back(basic.Number("K"));
    }
    EXPECT_EQ(reached[0], reached[1]) << "budget " << budget;
  }
}

TEST_F(MemoryTest, ExceptionsInsideACommandEndItWithTheOutOfMemoryReport) {
  platform.onModal = [] { throw std::bad_alloc(); };
  Command("PRINT 1: A = 5");
  EXPECT_EQ(interp.errorNumber, -2);
  EXPECT_EQ(interp.errorText, "Out of memory: \nBasic system error -2 (out of memory)");
  EXPECT_EQ(Number("A"), 0);
  EXPECT_EQ(interp.state, RunState::Idle);

  int boxes = 0;
  platform.onModal = [&] {
    ++boxes;
    if (boxes == 1) {
      Command("PRINT 2");  // its box, the second, throws
    } else if (boxes == 2) {
      throw std::runtime_error("host failure");
    }
  };
  Command("FOR I = 1 TO 2: PRINT I: NEXT: B = 7");
  EXPECT_EQ(Number("B"), 7);
  EXPECT_EQ(Number("I"), 3);
  platform.onModal = nullptr;
  ExpectUsable();
}

}  // namespace
}  // namespace tenrek
