// SAVE, LOAD, MERGE and the program-file loader, against real files in a
// private temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "eval/number_format.h"
#include "test_support.h"
#include "text/files.h"

namespace tenrek {
namespace {

namespace fs = std::filesystem;

// One token as text, payload included, so that two programs (even in two
// interpreters) can be compared token by token.
std::string DescribeTokens(const TokenList& tokens) {
  std::string out;
  for (const Token& t : tokens) {
    out += std::to_string(static_cast<int>(t.kind));
    switch (t.kind) {
      case TokenKind::Identifier: out += ":" + t.Var()->name; break;
      case TokenKind::Number: out += ":" + FormatNumber(t.Number()); break;
      case TokenKind::String:
      case TokenKind::Rem: out += ":[" + std::string(t.Text()) + "]"; break;
      case TokenKind::StrayChar: out += std::string(":") + t.Character(); break;
      default: break;
    }
    out += ' ';
  }
  return out;
}

std::string DescribeProgram(const Interpreter& interp) {
  std::string out;
  for (const ProgramLine* l = interp.program.First(); l != nullptr; l = l->next) {
    out += std::to_string(l->number) + ": " + DescribeTokens(l->tokens) + "\n";
  }
  return out;
}

// The bits of every number in the program, in order: two programs that
// describe alike may still differ in a number's last digits.
std::vector<uint64_t> NumberBits(const Interpreter& interp) {
  std::vector<uint64_t> bits;
  for (const ProgramLine* l = interp.program.First(); l != nullptr; l = l->next) {
    for (const Token& t : l->tokens) {
      if (t.kind == TokenKind::Number) bits.push_back(std::bit_cast<uint64_t>(t.Number()));
    }
  }
  return bits;
}

class FilesTest : public ::testing::Test, public testing::BasicTest {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("tenrek-files-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (!oldFolder_.empty()) fs::current_path(oldFolder_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The absolute name of a file in the private folder.
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  // A statement with a file-name operand naming a file in the folder.
  void FileCommand(const std::string& keyword, const std::string& name) {
    Command(keyword + " \"" + Path(name) + "\"");
  }
  // SAVE to NAME, NEW, LOAD from NAME.
  void SaveAndLoad(const std::string& name) {
    FileCommand("SAVE", name);
    Command("NEW");
    FileCommand("LOAD", name);
  }
  std::string Listing(std::string_view command = "ILXT") {
    std::string text;
    interp.host.listingBuffer = {&text, 32768};
    interp.ExecuteCommand(command);  // keeps the error fields
    interp.host.listingBuffer = {};
    return text;
  }
  void EnterFolder() {
    oldFolder_ = fs::current_path();
    fs::current_path(folder_);
  }
  void ExpectIoFailure(const char* text) {
    EXPECT_EQ(interp.errorNumber, -10);
    EXPECT_EQ(interp.errorText, text);
    ASSERT_FALSE(platform.notifications.empty());
    EXPECT_EQ(platform.notifications.back().notice, HostNotice::Error);
  }

  fs::path folder_;
  fs::path oldFolder_;
};

const std::vector<std::string_view> kVariedProgram = {
    "10 REM  a game: \"quoted\" 'too'",
    "20 DIM A(10), B$(3,3): X = NOT Y AND Z",
    "30 FOR I=1 TO 10 STEP 2: PRINT I;: NEXT I",
    "40 IF A<=B THEN 100 ELSE PRINT 'say \"hi\"', \"it's\"",
    "50 ON X GOTO 10, 20, 30: GOSUB 100",
    "60 print mid$(A$, 2, 3); len(\"abc\"); 2.5 * -3 ^ 2",
    "70 GET V: MSGTIT \"T\": MSGICON 64: RETMMF W$: MMFTAG \"tag\"",
    "80 X=A MOD 3 LMOD 2: Y=B XOR C OR D: LIST 10-20, 30",
    "90 PRINT CRLF$; DATE$: A$ = LOWER$(\"X\") + CHR$(65)",
    "100 RETURN",
};

TEST_F(FilesTest, SaveWritesNumberedLinesEndingInCarriageReturnLineFeed) {
  Enter({"20 PRINT A;B", "10 X=1"});
  FileCommand("SAVE", "GAME");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(ReadFile("GAME.BAS"), "10 X = 1\r\n20 PRINT A;B\r\n");
  EXPECT_EQ(interp.program.Size(), 2u);

  Command("NEW");
  FileCommand("SAVE", "EMPTY");
  EXPECT_TRUE(fs::exists(Path("EMPTY.BAS")));
  EXPECT_EQ(ReadFile("EMPTY.BAS"), "");
}

TEST_F(FilesTest, SavedProgramLoadsBackAsTheSameTokens) {
  for (std::string_view line : kVariedProgram) Command(line);
  const std::string entered = DescribeProgram(interp);
  const std::string listed = Listing();
  SaveAndLoad("ROUND");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(DescribeProgram(interp), entered);
  EXPECT_EQ(Listing(), listed);

  // The listing read back gives the same tokens too.
  RecordingPlatform otherPlatform;
  Interpreter other(otherPlatform);
  std::size_t start = 0;
  while (start < listed.size()) {
    const std::size_t end = listed.find("\r\n", start);
    other.ExecuteCommand(listed.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(DescribeProgram(other), entered);

  // Renumbered away and back, the program is unchanged.
  Command("RENUM 1000, 7");
  Command("RENUM");
  EXPECT_EQ(DescribeProgram(interp), entered);
  EXPECT_EQ(otherPlatform.output + platform.output, "");
}

// Two rounds through a file change nothing: every literal keeps every
// digit (LIST still shows the display form), and a stray character listed
// as "{c}" reads back as c.
TEST_F(FilesTest, TwoRoundsThroughAFileKeepEveryNumberAndStrayCharacter) {
  Enter({"10 X = 3.14159265358979: Y = 1.23456789E12: Z = 0.1234567890123",
         "20 PRINT 1 @ 2 {{} }: W = 1E-3 + 2.5 + 1E400"});
  const std::vector<uint64_t> numbers = NumberBits(interp);
  const std::string entered = DescribeProgram(interp);
  const std::string listed = Listing();
  for (int round = 0; round < 2; ++round) {
    SaveAndLoad("KEEP");
    EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  }
  EXPECT_EQ(DescribeProgram(interp), entered);
  EXPECT_EQ(Listing(), listed);
  EXPECT_EQ(NumberBits(interp), numbers);
  EXPECT_EQ(ReadFile("KEEP.BAS"),
            "10 X = 3.14159265358979 : Y = 1.23456789E12 : Z = 0.1234567890123\r\n"
            "20 PRINT 1{@}2{{}{}} : W =  1.00000E-003+2.5+1E309\r\n");
}

TEST_F(FilesTest, LoadAcceptsEitherLineEndAndSortsTheLines) {
  WriteFile("MIXED.BAS", "30 C=3\r\n10 A=1\n20 B=2\r\n40 D=4");
  Enter({"5 OLD=1"});
  FileCommand("LOAD", "MIXED");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Listing(), "10 A = 1\r\n20 B = 2\r\n30 C = 3\r\n40 D = 4\r\n");
}

TEST_F(FilesTest, LoadDiscardsProgramAndVariablesMergeKeepsThem) {
  WriteFile("PATCH.BAS", "25 Y=25\n15 X=15\n");
  Enter({"10 A=1", "20 A=2", "30 A=3", "V=7"});
  FileCommand("MERGE", "PATCH");
  EXPECT_EQ(Listing(), "10 A = 1\r\n15 X = 15\r\n20 A = 2\r\n25 Y = 25\r\n30 A = 3\r\n");
  EXPECT_EQ(Number("V"), 7);
  FileCommand("LOAD", "PATCH");
  EXPECT_EQ(Listing(), "15 X = 15\r\n25 Y = 25\r\n");
  EXPECT_EQ(Var("V"), nullptr);
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
}

TEST_F(FilesTest, LineHoldingOnlyANumberDeletesThatLine) {
  WriteFile("DELETE.BAS", "20\n40 D=4\n40\n");
  Enter({"10 A=1", "20 B=2", "30 C=3"});
  FileCommand("MERGE", "DELETE");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Listing(), "10 A = 1\r\n30 C = 3\r\n");
}

TEST_F(FilesTest, EveryLineWithoutANumberIsReportedAndNeverRun) {
  WriteFile("BAD.BAS", "10 A=1\n\n   \nPRINT 5\n0 PRINT 6\n20 B=2\n\n");
  FileCommand("LOAD", "BAD");
  EXPECT_EQ(Listing(), "10 A = 1\r\n20 B = 2\r\n");
  EXPECT_EQ(interp.errorNumber, 32);
  EXPECT_EQ(interp.errorText, "Bad line in file\n: \nBasic system error 32");
  EXPECT_EQ(platform.notifications.size(), 5u);
  EXPECT_TRUE(platform.boxes.empty());
}

// A text line of up to 1023 characters is one line, whatever its line end;
// the rest of a longer one is reported, never entered, even when it begins
// with digits that would name a line.
TEST_F(FilesTest, OverlongTextLineKeepsItsFirstPieceOnly) {
  const std::string full = "10 REM " + std::string(1016, 'a');  // 1023 characters
  WriteFile("EXACT.BAS", full + "\r\n" + "20 REM " + std::string(1016, 'b') + "\n");
  FileCommand("LOAD", "EXACT");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  ASSERT_EQ(interp.program.Size(), 2u);
  EXPECT_EQ(interp.program.Find(10)->tokens[0].Text(), " " + std::string(1016, 'a'));

  WriteFile("LONG.BAS", "20 Y=2\n" + full + "20 X=1\n30 Z=3\n");
  FileCommand("LOAD", "LONG");
  EXPECT_EQ(interp.errorNumber, 32);
  EXPECT_EQ(platform.notifications.size(), 1u);
  ASSERT_EQ(interp.program.Size(), 3u);
  EXPECT_EQ(interp.program.Find(10)->tokens[0].Text(), " " + std::string(1016, 'a'));
  EXPECT_EQ(Listing("ILXT 20-"), "20 Y = 2\r\n30 Z = 3\r\n");
}

// Devices, pipes and folders never end or never read: LOAD opens only
// regular files (links followed) and refuses the rest as a missing file.
TEST_F(FilesTest, LoadOpensOnlyRegularFiles) {
  fs::create_directory(Path("FOLDER.BAS"));
  std::vector<std::string> refused = {Path("FOLDER")};
#ifdef _WIN32
  // Windows opens the device behind such a name in any folder.
  for (const char* device : {"CON", "NUL", "COM1", "aux", "LPT1"}) {
    refused.push_back(device);
    refused.push_back(Path(device));
  }
#else
  WriteFile("REAL.BAS", "10 A = 1\n");
  fs::create_symlink("/dev/zero", Path("ZERO.BAS"));
  fs::create_symlink(Path("REAL.BAS"), Path("LINKED.BAS"));
  ASSERT_EQ(mkfifo(Path("PIPE.BAS").c_str(), 0600), 0);
  refused.push_back(Path("ZERO"));
  refused.push_back(Path("PIPE"));
#endif
  for (const std::string& name : refused) {
    Command("10 A = 1");
    platform.notifications.clear();
    Command("LOAD \"" + name + "\"");
    ExpectIoFailure("Basic system I/O error 10 (file not found)");
    EXPECT_EQ(platform.notifications.size(), 1u) << name;
    EXPECT_TRUE(interp.program.Empty()) << name;
    EXPECT_FALSE(EnterProgramFile(interp, name + ".BAS")) << name;
  }
#ifndef _WIN32
  FileCommand("MERGE", "LINKED");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(interp.program.Size(), 1u);
#endif
}

// A break (Ctrl-C) while a file loads stops the loading between two lines.
TEST_F(FilesTest, BreakStopsALoad) {
  std::string lines;
  for (int n = 0; n < 1000; ++n) lines += "no number here\n";
  WriteFile("BAD.BAS", lines);
  interp.onError = [this](int32_t, std::string_view) { interp.RequestBreak(); };
  FileCommand("LOAD", "BAD");
  EXPECT_EQ(interp.errorNumber, 32);
  EXPECT_EQ(platform.notifications.size(), 1u);
}

TEST(FileNames, WindowsDeviceNamesAreRecognised) {
  const std::vector<std::pair<std::string_view, bool>> cases = {
      {"CON.BAS", true},
      {"nul.BAS", true},
      {"C:\\dir\\Com1.BAS", true},
      {"dir/LPT9.txt.BAS", true},
      {"AUX .BAS", true},
      {"CONIN$.BAS", true},
      {"PRN", true},
      {"COM0.BAS", false},
      {"COM10.BAS", false},
      {"CONSOLE.BAS", false},
      {"NULL.BAS", false},
      {"CON/GAME.BAS", false},
      {"GAME.BAS", false},
      {"", false},
  };
  for (const auto& [name, device] : cases) EXPECT_EQ(NamesWindowsDevice(name), device) << name;
}

// Editors on Windows often begin a UTF-8 file with the byte-order mark
// EF BB BF; only there is it not part of the text.
TEST_F(FilesTest, ByteOrderMarkAtTheStartIsSkipped) {
  const std::string mark = "\xEF\xBB\xBF";
  struct Case {
    const char* name;
    std::string bytes;
    std::string listing;
    int32_t error;
  };
  const std::vector<Case> cases = {
      {"MARKED", mark + "10 A=1\r\n20 B=2\r\n", "10 A = 1\r\n20 B = 2\r\n", 0},
      {"ONLYMARK", mark, "", 0},
      {"LATERMARK", "10 A=1\n" + mark + "20 B=2\n", "10 A = 1\r\n", 32},
      {"HALFMARK",
       "\xEF\xBB"
       "10 A=1\n",
       "", 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(std::string(c.name) + ".BAS", c.bytes);
    interp.errorNumber = 0;
    FileCommand("LOAD", c.name);
    EXPECT_EQ(interp.errorNumber, c.error) << interp.errorText;
    EXPECT_EQ(Listing(), c.listing);
  }
}

// SAVE writes NAME.BAS; a file named NAME.bas (as other tools save it) is
// found as well on a file system that tells case apart, but never in place
// of an existing NAME.BAS.
TEST_F(FilesTest, LowerCaseExtensionIsFoundWhenNoUpperCaseOneExists) {
  WriteFile("hello.bas", "10 LOWER=1\n");
  if (fs::exists(Path("hello.BAS"))) GTEST_SKIP() << "the file system ignores case";
  FileCommand("LOAD", "hello");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Listing(), "10 LOWER = 1\r\n");
  WriteFile("hello.BAS", "10 UPPER=1\n");
  FileCommand("MERGE", "hello");
  EXPECT_EQ(Listing(), "10 UPPER = 1\r\n");
  FileCommand("LOAD", "HELLO");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
}

TEST_F(FilesTest, ExtensionIsAlwaysAppended) {
  Enter({"10 A=1"});
  FileCommand("SAVE", "GAME.BAS");
  EXPECT_TRUE(fs::exists(Path("GAME.BAS.BAS")));
  FileCommand("LOAD", "GAME");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
  EXPECT_TRUE(interp.program.Empty());
}

TEST_F(FilesTest, FileThatCannotBeOpenedIsAnIoFailure) {
  Enter({"10 A=1"});
  FileCommand("MERGE", "MISSING");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
  EXPECT_EQ(interp.program.Size(), 1u);

  FileCommand("SAVE", "NO-SUCH-FOLDER/GAME");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
  EXPECT_FALSE(fs::exists(Path("NO-SUCH-FOLDER")));

  FileCommand("LOAD", "MISSING");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
  EXPECT_TRUE(interp.program.Empty());

  // A folder opens for reading on some systems but never reads.
  fs::create_directory(Path("FOLDER.BAS"));
  interp.errorNumber = 0;
  FileCommand("MERGE", "FOLDER");
  ExpectIoFailure("Basic system I/O error 10 (file not found)");
  EXPECT_FALSE(EnterProgramFile(interp, Path("FOLDER.BAS")));
}

// "%s.BAS" must fit 1024 bytes; a zero inside the name would cut it short
// and reach another file.
TEST_F(FilesTest, NameThatCannotBeAFileNameIsRefused) {
  Enter({"10 A=1"});
  Command("N$ = \"" + std::string(510, 'x') + "\": N$ = N$ + N$");  // 1020 characters
  Command("SAVE N$");
  ExpectIoFailure("Basic system I/O error 7 (bad file name)");
  EXPECT_TRUE(fs::is_empty(folder_));
  Command("MERGE N$");
  ExpectIoFailure("Basic system I/O error 7 (bad file name)");
  EXPECT_EQ(interp.program.Size(), 1u);
  Command("LOAD N$");
  ExpectIoFailure("Basic system I/O error 7 (bad file name)");
  EXPECT_TRUE(interp.program.Empty());

  WriteFile("CUT", "10 X=1\n");
  interp.errorNumber = 0;
  const std::string cutShort = Path("CUT") + std::string("\0X", 2);
  StatementCursor cursor;
  LoadProgramFile(interp, true, cutShort, cursor);
  ExpectIoFailure("Basic system I/O error 7 (bad file name)");
  EXPECT_TRUE(interp.program.Empty());
}

TEST_F(FilesTest, WriteFailureIsReportedNotTakenForSuccess) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  fs::create_symlink("/dev/full", Path("FULL.BAS"));
  Enter({"10 REM " + std::string(1000, 'x')});
  FileCommand("SAVE", "FULL");
  ExpectIoFailure("Basic system I/O error 38 (file write error)");
}

TEST_F(FilesTest, NamesAreRelativeToTheCurrentFolderAndANumberIsATypeMismatch) {
  EnterFolder();
  Enter({"10 A=1"});
  Command("N$ = \"REL\": SAVE N$");
  EXPECT_EQ(ReadFile("REL.BAS"), "10 A = 1\r\n");
  Command("SAVE 5");
  EXPECT_EQ(interp.errorNumber, 41);
  EXPECT_EQ(interp.errorText, "Type mismatch error: \nBasic system error 41");
  EXPECT_EQ(ReadFile(".BAS"), "10 A = 1\r\n");
  Command("N$ = \"REL\": LOAD N$");
  EXPECT_EQ(interp.errorNumber, 0) << interp.errorText;
  EXPECT_EQ(Listing(), "10 A = 1\r\n");
}

TEST_F(FilesTest, LoadInARunningProgramEndsThatRun) {
  WriteFile("OTHER.BAS", "10 PRINT 1\n20 PRINT 2\n");
  Enter({"10 LOAD \"" + Path("OTHER") + "\": PRINT 10", "20 PRINT 20"});
  Command("RUN");
  EXPECT_EQ(Printed(), "");
  EXPECT_EQ(Listing(), "10 PRINT 1\r\n20 PRINT 2\r\n");
  Command("RUN");
  EXPECT_EQ(Printed(), "1 \n2 \n");
}

TEST_F(FilesTest, MergeReplacingTheRunningLineEndsTheRun) {
  WriteFile("PATCH.BAS", "10 PRINT 100\n");
  Enter({"10 MERGE \"" + Path("PATCH") + "\": PRINT 10", "20 PRINT 20"});
  Command("RUN");
  EXPECT_EQ(Printed(), "");
  Command("RUN");
  EXPECT_EQ(Printed(), "100 \n20 \n");
}

TEST_F(FilesTest, MergeOfOtherLinesLetsTheRunGoOn) {
  WriteFile("PATCH.BAS", "30 PRINT 30\n");
  Enter({"10 MERGE \"" + Path("PATCH") + "\": PRINT 10", "20 PRINT 20"});
  Command("RUN");
  EXPECT_EQ(Printed(), "10 \n20 \n30 \n");
}

TEST_F(FilesTest, RunWithAFileNameLoadsAndStarts) {
  WriteFile("P.BAS", "10 PRINT 10\n20 PRINT 20\n30 PRINT 30\n");
  Enter({"5 PRINT 5"});
  Command("RUN \"" + Path("P") + "\", 20");
  EXPECT_EQ(Printed(), "20 \n30 \n");
  EXPECT_EQ(interp.program.Find(5), nullptr);
}

TEST_F(FilesTest, EnterProgramFileAddsLinesWithoutNewOrExtension) {
  WriteFile("plain.bas", "20 B=2\r\nnonsense\n");
  Enter({"10 A=1"});
  EXPECT_TRUE(EnterProgramFile(interp, Path("plain.bas")));
  EXPECT_EQ(Listing(), "10 A = 1\r\n20 B = 2\r\n");
  EXPECT_EQ(interp.errorNumber, 32);

  interp.errorNumber = 0;
  EXPECT_FALSE(EnterProgramFile(interp, Path("plain")));
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(interp.program.Size(), 2u);
}

}  // namespace
}  // namespace tenrek
