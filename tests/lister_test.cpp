// LIST and ILXT: listing texts, the spacing rule, ranges, and the limits of
// a listed line, a listing and the ILXT buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "text/lister.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

class ListerTest : public ::testing::Test, public testing::BasicTest {
 protected:
  // The text of the box the last LIST showed.
  std::string List(std::string_view command = "LIST") {
    platform.boxes.clear();
    Command(command);
    return platform.boxes.empty() ? std::string("<no box>") : platform.boxes.back().text;
  }
  std::string Ilxt(std::string_view command = "ILXT", std::size_t capacity = 32768) {
    std::string text = "<untouched>";
    interp.host.listingBuffer = {&text, capacity};
    Command(command);
    interp.host.listingBuffer = {};
    return text;
  }
};

struct ListingCase {
  const char* entered;
  const char* listed;
};

TEST_F(ListerTest, EachTokenListsAsItsTextWithWordsKeptApart) {
  const std::vector<ListingCase> cases = {
      {"10 PRINT A;B", "10 PRINT A; B\n"},
      {"10 X=1", "10 X = 1\n"},
      {"10 GOTO 100:PRINT", "10 GOTO 100 : PRINT\n"},
      {"10 ? 'Hi'", "10 PRINT\"Hi\"\n"},
      {"10 PRINT !", "10 PRINT{!}\n"},
      {"10 REM  two blanks: GOTO 5", "10 REM  two blanks: GOTO 5\n"},
      {"10 REM", "10 REM\n"},
      {"10 IF A>1 THEN 100 ELSE PRINT B", "10 IF A > 1 THEN 100 ELSE PRINT B\n"},
      {"10 print int(x)", "10 PRINT INT(x)\n"},
      {"10 X = NOT Y", "10 X = NOT Y\n"},
      {"10 FOR I=1 TO 10 STEP 2", "10 FOR I = 1 TO 10 STEP 2\n"},
      {"10 X=A MOD 3 LMOD 2", "10 X = A MOD 3 LMOD 2\n"},
      {"10 IF A<=B AND C>=D OR E<>F XOR G THEN", "10 IF A <= B AND C >= D OR E <> F XOR G THEN \n"},
      {"10 GET X: MSGTIT T$: MSGICON 16: RETMMF Y",
       "10 GET X : MSGTIT T$ : MSGICON 16 : RETMMF Y\n"},
      {"10 PRINT 12AB, 2.5, 1E3", "10 PRINT 12 AB,2.5,1000\n"},
      {"10 PRINT 0.001", "10 PRINT  1.00000E-003\n"},
      {"10 A(1,2)=-B^2*(C/D)+E[3]", "10 A(1,2) = -B^2*(C/D)+E(3)\n"},
      {"10 quit", "10 BYE\n"},
  };
  for (const ListingCase& c : cases) {
    Command("NEW");
    Command(c.entered);
    EXPECT_EQ(List(), c.listed) << c.entered;
  }
}

// A literal holding a double quote can only have been written between
// single quotes; listing it between double quotes would not read back.
TEST_F(ListerTest, StringHoldingADoubleQuoteListsBetweenSingleQuotes) {
  Enter({"10 PRINT 'say \"hi\"'; \"it's\""});
  EXPECT_EQ(List(), "10 PRINT'say \"hi\"'; \"it's\"\n");
}

TEST_F(ListerTest, SemicolonIsFollowedByABlankOnlyInText) {
  TokenList tokens;
  interp.EnterLine("PRINT A;B", tokens);
  std::string text;
  ListTokensToText(text, tokens);
  EXPECT_EQ(text, "PRINT A; B");
  std::string file;
  AppendTokensText(file, tokens, kFileListing);
  EXPECT_EQ(file, "PRINT A;B");
}

// Whether a line fits is decided from its screen listing and a bound on
// what its numbers' exact forms add; only near the limit are those forms
// listed. Both ways give the same answer, and the bound is never short.
TEST_F(ListerTest, ListingFitsAgreesWithEveryFormListedInFull) {
  const std::string nan = "." + std::string("1") + std::string(310, '0');
  std::string longLiterals = "X = 0";
  for (int i = 0; i < 40; ++i) longLiterals += "+1234567890123456789.5";
  const std::vector<std::string> lines = {
      "X = 1 + 2.5 + 1E-3: PRINT A;B",
      "X = 3.14159265358979",
      longLiterals,
      "X = " + nan + " + " + nan + " + " + nan,
      "X = " + nan + " + " + nan + " + " + nan + " + " + nan,
      "X = 3.14159265358979: REM " + std::string(985, 'x'),
      "X = 3.14159265358979: REM " + std::string(995, 'x'),
  };
  for (const std::string& line : lines) {
    TokenList tokens;
    Tokenize(interp, line, tokens);
    std::string screen = "10 ";
    std::string edit = "10 ";
    ListTokensToText(screen, tokens);
    AppendTokensText(edit, tokens, kEditTextListing);
    EXPECT_GE(screen.size() + ExactNumbersGrowth(tokens), edit.size()) << line;
    EXPECT_EQ(ListingFits(10, tokens),
              screen.size() <= kMaxLineLength && edit.size() <= kMaxLineLength)
        << line;
  }
  TokenList ordinary;
  Tokenize(interp, lines[0], ordinary);
  EXPECT_EQ(ExactNumbersGrowth(ordinary), 0u);  // decided without listing again
}

struct RangeCase {
  const char* command;
  const char* listedNumbers;
};

// The numbers at the start of each listed line, joined by blanks.
std::string LineNumbers(const std::string& listing) {
  std::string numbers;
  std::size_t start = 0;
  while (start < listing.size()) {
    const std::size_t blank = listing.find(' ', start);
    if (!numbers.empty()) numbers += ' ';
    numbers += listing.substr(start, blank - start);
    start = listing.find('\n', start) + 1;
  }
  return numbers;
}

TEST_F(ListerTest, RangesSelectLines) {
  Enter({"10 A=1", "20 A=2", "30 A=3", "40 A=4"});
  const std::vector<RangeCase> cases = {
      {"LIST", "10 20 30 40"},  {"LIST 20", "20"},
      {"LIST 20-", "20 30 40"}, {"LIST -20", "10 20"},
      {"LIST 15-30", "20 30"},  {"LIST 20-30, 10", "20 30 10"},
      {"LIST 10.9", "10"},      {"LIST 15", ""},
      {"LIST 10, 10", "10 10"}, {"LIST -", "10 20 30 40"},
      {"LIST 30-20", ""},       {"LIST 10,", "10"},
      {"LIST 1E20", ""},        {"LIST 40: LIST 10", "10"},
  };
  for (const RangeCase& c : cases) {
    EXPECT_EQ(LineNumbers(List(c.command)), c.listedNumbers) << c.command;
    EXPECT_EQ(interp.errorNumber, 0) << c.command;
  }
}

TEST_F(ListerTest, ListShowsOneBoxCaptionedList) {
  Enter({"10 A=1", "20 B=2"});
  Command("LIST");
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].caption, "LIST");
  EXPECT_EQ(platform.boxes[0].style, kMbOk);
  EXPECT_EQ(platform.boxes[0].text, "10 A = 1\n20 B = 2\n");
}

TEST_F(ListerTest, EmptySelectionShowsAnEmptyBox) {
  List();
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "");
}

TEST_F(ListerTest, TokenAfterARangeIsASyntaxErrorButTheListingStillShows) {
  Enter({"10 A=1", "20 B=2"});
  EXPECT_EQ(List("LIST 10 X 20"), "10 A = 1\n20 B = 2\n");
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(interp.errorText, "Syntax error: \nBasic system error 40");
  // A range without any bound selects everything.
  EXPECT_EQ(List("LIST X"), "10 A = 1\n20 B = 2\n");
  EXPECT_EQ(interp.errorNumber, 40);
}

TEST_F(ListerTest, ListingNeverChangesTheProgram) {
  Enter({"10 PRINT A;B"});
  Command("LIST");
  Command("LIST");
  EXPECT_EQ(List(), "10 PRINT A; B\n");
  EXPECT_EQ(interp.program.Size(), 1u);
}

TEST_F(ListerTest, IlxtEndsLinesInCarriageReturnLineFeed) {
  Enter({"10 PRINT A;B", "20 X=1", "30 END"});
  EXPECT_EQ(Ilxt(), "10 PRINT A; B\r\n20 X = 1\r\n30 END\r\n");
  EXPECT_EQ(Ilxt("ILXT 20-"), "20 X = 1\r\n30 END\r\n");
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ListerTest, IlxtWithoutABufferDoesNothing) {
  Enter({"10 X=1"});
  Command("ILXT");
  Command("ILXT 10 X");
  Enter({"20 ILXT", "30 Y=2"});
  Command("RUN");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(Number("Y"), 2);
}

// Each line is 12 characters with its CR LF: a buffer keeps whole lines
// only, and never more than its capacity minus the terminator.
TEST_F(ListerTest, IlxtCutsAtALineBoundaryToFitItsBuffer) {
  Enter({"10 PRINT 1", "20 PRINT 2"});
  const std::string both = "10 PRINT 1\r\n20 PRINT 2\r\n";
  EXPECT_EQ(Ilxt("ILXT", 25), both);
  EXPECT_EQ(Ilxt("ILXT", 24), "10 PRINT 1\r\n");
  EXPECT_EQ(Ilxt("ILXT", 13), "10 PRINT 1\r\n");
  EXPECT_EQ(Ilxt("ILXT", 12), "");
  EXPECT_EQ(Ilxt("ILXT", 1), "");
}

// 500 colons list as 1500 characters: the line keeps the whole tokens that
// fit its 1024-byte buffer, and still ends its line. Entering refuses such
// a line, so it is stored directly, as a line RENUM lengthened would be.
TEST_F(ListerTest, OverlongListedLineKeepsWholeTokensAndItsLineEnd) {
  TokenList tokens;
  Tokenize(interp, std::string(500, ':'), tokens);
  interp.StoreLine(10, tokens);
  const std::string listed = List();
  std::string expected = "10 ";
  while (expected.size() + 3 + 1 <= 1023) expected += " : ";
  EXPECT_EQ(listed, expected + "\n");
  const std::string ilxt = Ilxt();
  EXPECT_LE(ilxt.size(), 1023u);
  EXPECT_EQ(ilxt.substr(ilxt.size() - 2), "\r\n");
  EXPECT_EQ(ilxt.substr(0, ilxt.size() - 2), expected.substr(0, ilxt.size() - 2));
}

// The longest line that can be entered lists one character longer than a
// listed line may be: the remark loses its last character.
TEST_F(ListerTest, OverlongRemarkIsCutToFit) {
  const std::string longest = "10 REM " + std::string(1016, 'a');
  Command(longest);
  EXPECT_EQ(List(), longest.substr(0, 1022) + "\n");
  EXPECT_EQ(Ilxt(), longest.substr(0, 1021) + "\r\n");
}

TEST_F(ListerTest, ListingStopsAtTheLastWholeLineThatFits) {
  for (int n = 100; n < 430; ++n) Command(std::to_string(n) + " REM " + std::string(1000, 'a'));
  const std::string listed = List();
  const std::size_t lineLength = listed.find('\n') + 1;
  ASSERT_GT(lineLength, 1000u);
  const std::size_t fitting = 327679 / lineLength;
  EXPECT_EQ(listed.size(), fitting * lineLength);
  EXPECT_EQ(listed.substr(listed.size() - lineLength, 4), std::to_string(99 + fitting) + " ");

  const std::string ilxt = Ilxt();
  EXPECT_LT(ilxt.size(), 32768u);
  EXPECT_EQ(ilxt.size() % (lineLength + 1), 0u);
  EXPECT_GT(ilxt.size() + lineLength + 1, 32767u);
}

}  // namespace
}  // namespace tenrek
