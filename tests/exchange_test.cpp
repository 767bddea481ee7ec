// GET, RETMMF and MMFTAG: the values and tags a program hands to the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace tenrek {
namespace {

class ExchangeTest : public ::testing::Test, public testing::BasicTest {
 protected:
  // The tag notifications posted so far (error reports post others).
  std::size_t TagNotifications() const {
    std::size_t count = 0;
    for (const auto& n : platform.notifications) {
      if (n.notice == HostNotice::Tag) {
        EXPECT_EQ(n.window, interp.host.messageWindow);
        ++count;
      }
    }
    return count;
  }
};

TEST_F(ExchangeTest, GetHandsOverNumbersAndStrings) {
  Enter({"A$ = \"text\"", "GET 3.6"});
  EXPECT_EQ(interp.host.returnNumber, 3.6);
  EXPECT_FALSE(interp.host.returnIsText);

  Command("GET A$ + \"!\"");
  EXPECT_TRUE(interp.host.returnIsText);
  EXPECT_EQ(interp.host.returnText, "text!");
  EXPECT_EQ(interp.host.returnNumber, 3.6);  // a string leaves the number alone
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(ExchangeTest, ANumberLeavesTheLastTextInPlace) {
  Enter({"GET \"ABC\"", "RETMMF 7"});
  EXPECT_FALSE(interp.host.returnIsText);
  EXPECT_EQ(interp.host.returnNumber, 7);
  EXPECT_EQ(interp.host.returnText, "ABC");

  const std::string longer(600, 'q');
  Enter({"10 A$ = \"" + longer + "\": RETMMF A$ + \"!\"", "GOTO 10"});
  EXPECT_TRUE(interp.host.returnIsText);
  EXPECT_EQ(interp.host.returnText, longer + "!");  // longer than before, and whole
}

TEST_F(ExchangeTest, RetmmfEndsTheRunWhereverItStands) {
  Enter({"100 RETMMF X * 2: Y = 1", "110 Y = 2", "X = 5"});
  Command("GOTO 100");  // a host GOSUB expression
  EXPECT_EQ(interp.host.returnNumber, 10);
  EXPECT_EQ(Number("Y"), 0);
  EXPECT_EQ(interp.errorNumber, 0);

  Enter({"NEW", "10 GOSUB 100: Y = 1", "20 Y = 2", "100 FOR I = 1 TO 3: RETMMF I: NEXT"});
  Command("RUN");
  EXPECT_EQ(interp.host.returnNumber, 1);
  EXPECT_EQ(Number("Y"), 0);
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(interp.controlStack.size(), 2u);  // the GOSUB and the FOR stay
}

TEST_F(ExchangeTest, MmftagSetsTheTagAndNotifiesOncePerStatement) {
  Command("MMFTAG(\"Hit\")");
  EXPECT_EQ(interp.host.tagText, "Hit");
  EXPECT_EQ(TagNotifications(), 1u);

  Command("A$ = \"Mi\": MMFTAG(A$ + \"ss\"): MMFTAG(\"Last\")");
  EXPECT_EQ(interp.host.tagText, "Last");
  EXPECT_EQ(TagNotifications(), 3u);
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(ExchangeTest, MmftagWithoutAWindowOnlyStoresTheTag) {
  interp.host.messageWindow = nullptr;
  Command("MMFTAG(\"Quiet\")");
  EXPECT_EQ(interp.host.tagText, "Quiet");
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(ExchangeTest, MmftagErrors) {
  struct Case {
    const char* line;
    int32_t error;
    const char* text;
    const char* tag;   // tagText afterwards
    std::size_t tags;  // tag notifications posted
  };
  const std::vector<Case> cases = {
      {"MMFTAG 5", 40, "Syntax error: \nBasic system error 40", "before", 0},
      {"MMFTAG \"name\"", 40, "Syntax error: \nBasic system error 40", "before", 0},
      {"MMFTAG(5)", 41, "Type mismatch error: \nBasic system error 41", "before", 0},
      {"MMFTAG(\"open\"", 40, "Syntax error: \nBasic system error 40", "open", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    interp.host.tagText = "before";
    platform.notifications.clear();
    Command(c.line);
    EXPECT_EQ(interp.errorNumber, c.error);
    EXPECT_EQ(interp.errorText, c.text);
    EXPECT_EQ(interp.host.tagText, c.tag);
    EXPECT_EQ(TagNotifications(), c.tags);
  }
}

TEST_F(ExchangeTest, MmftagKeeps255Characters) {
  Enter({"A$ = \"" + std::string(200, 't') + "\"", "MMFTAG(A$ + A$)"});
  EXPECT_EQ(interp.host.tagText, std::string(255, 't'));
}

}  // namespace
}  // namespace tenrek
