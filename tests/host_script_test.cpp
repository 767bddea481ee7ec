// Host scripts: the parser, the transcript's value formatting, and the
// scripts that fail (exit code 2 with a one-line message).
#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "host_runner_support.h"
#include "sim/runner/script.h"
#include "sim/runner/transcript.h"

namespace tenrek::host {
namespace {

TEST(HostScript, StringEscapesAndArguments) {
  std::string error;
  const auto op =
      ParseOperation("  action 4 \"B$\" \"q\\\"b\\\\s\\n\\r\\t\\x00\\xfF\\x7e\"", 3, error);
  ASSERT_TRUE(op) << error;
  EXPECT_EQ(op->kind, OperationKind::Action);
  EXPECT_EQ(op->code, 4);
  EXPECT_EQ(op->lineNumber, 3);
  ASSERT_EQ(op->arguments.size(), 2u);
  EXPECT_EQ(op->arguments[0].text, "B$");
  EXPECT_EQ(op->arguments[1].text, std::string("q\"b\\s\n\r\t\0\xFF~", 11));
}

// Absent parameters are filled in as the handler expects them: the empty
// text or 0. The float parameter takes a decimal or an integer.
TEST(HostScript, ParametersFollowTheHandlers) {
  std::string error;
  auto op = ParseOperation("action 3", 1, error);
  ASSERT_TRUE(op) << error;
  ASSERT_EQ(op->arguments.size(), 2u);
  EXPECT_EQ(op->arguments[0].kind, Argument::Kind::Text);
  EXPECT_EQ(op->arguments[0].text, "");
  EXPECT_EQ(op->arguments[1].kind, Argument::Kind::Integer);
  EXPECT_EQ(op->arguments[1].integer, 0);

  op = ParseOperation("action 10 \"X\" 0.1", 1, error);
  ASSERT_TRUE(op) << error;
  EXPECT_EQ(std::bit_cast<uint32_t>(op->arguments[1].decimal), std::bit_cast<uint32_t>(0.1f));
  op = ParseOperation("action 10 \"X\" -7", 1, error);
  ASSERT_TRUE(op) << error;
  EXPECT_EQ(op->arguments[1].decimal, -7.0f);

  op = ParseOperation("expression 5 -2147483648", 1, error);
  ASSERT_TRUE(op) << error;
  EXPECT_EQ(op->arguments[0].integer, -2147483647 - 1);
}

TEST(HostScript, OnboxKeepsTheOperationAsWritten) {
  std::string error;
  const auto op = ParseOperation("onbox   action 7  \"NEW\" ", 1, error);
  ASSERT_TRUE(op) << error;
  ASSERT_NE(op->queued, nullptr);
  EXPECT_EQ(op->queued->text, "action 7  \"NEW\" ");
  EXPECT_EQ(op->queued->kind, OperationKind::Action);
}

TEST(HostScript, CommentsBlankLinesAndCrLf) {
  std::string error;
  const auto script = ParseScript("# a comment\r\n\r\n   \t\n  # indented\ncreate\r\npump", error);
  ASSERT_TRUE(script) << error;
  ASSERT_EQ(script->operations.size(), 2u);
  EXPECT_EQ(script->operations[0].text, "create");
  EXPECT_EQ(script->operations[0].lineNumber, 5);
  EXPECT_EQ(script->operations[1].kind, OperationKind::Pump);
}

TEST(HostScript, MalformedLines) {
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"jump", "line 2: unknown operation jump"},
      {"\"create\"", "line 2: an operation name must come first"},
      {"action 13", "line 2: no such action: 13"},
      {"action -1", "line 2: no such action: -1"},
      {"action", "line 2: action: too few arguments"},
      {"action 1 2", "line 2: action: too many parameters"},
      {"action 2 \"10\"", "line 2: action: expected a 32-bit integer, not 10"},
      {"action 2 1.5", "line 2: action: expected a 32-bit integer, not 1.5"},
      {"action 2 2147483648", "line 2: action: expected a 32-bit integer, not 2147483648"},
      {"action 7 NEW", "line 2: action: expected a string in double quotes, not NEW"},
      {"action 10 \"X\" \"0.1\"", "line 2: action: expected a number, not 0.1"},
      {"condition 1 \"x\"", "line 2: condition: too many parameters"},
      {"expression 8", "line 2: no such expression: 8"},
      {"watch 2 \"x\"", "line 2: watch: only condition 3 takes a parameter"},
      {"unwatch 3 \"x\"", "line 2: unwatch: too many arguments"},
      {"message -1", "line 2: message: expected a message number, not -1"},
      {"create \"a\" \"b\"", "line 2: create: unexpected b"},
      {"create crypted", "line 2: create: unexpected crypted"},
      {"pump now", "line 2: pump: too many arguments"},
      {"answer \"open", "line 2: string not closed"},
      {"answer \"a\\q\"", "line 2: unknown escape \\q"},
      {"answer \"\\x4\"", "line 2: \\x needs two hexadecimal digits"},
      {"answer \"a\"b", "line 2: a blank must follow a string"},
      {"answer a\"b", "line 2: stray double quote in a\"b"},
      {"file \"../x\" \"y\"", "line 2: not a plain file name: ../x"},
      {"show \"a/b\"", "line 2: not a plain file name: a/b"},
      {"onbox pump", "line 2: onbox takes an action, condition or expression"},
      {"onbox onbox condition 0", "line 2: onbox takes an action, condition or expression"},
      {"onbox", "line 2: empty operation"},
  };
  for (const Case& c : cases) {
    const testing::Played played = testing::PlayScript(std::string("create\n") + c.line + "\n");
    EXPECT_EQ(played.exitCode, 2) << c.line;
    EXPECT_EQ(played.failure, c.error) << c.line;
    EXPECT_EQ(played.transcript, "") << c.line;  // nothing runs
  }
}

// Failures found while playing: the transcript stops there.
TEST(HostScript, FailuresWhilePlaying) {
  struct Case {
    const char* script;
    const char* transcript;
    const char* failure;
  };
  const Case cases[] = {
      {"action 1\n", "> action 1\n", "line 1: action needs an object, and none exists"},
      {"create\ndestroy\ncondition 0\n", "> create\n= 0\n> destroy\n> condition 0\n",
       "line 3: condition needs an object, and none exists"},
      {"destroy\n", "> destroy\n", "line 1: destroy needs an object, and none exists"},
      {"message 1027\n", "> message 1027\n", "line 1: message needs an object, and none exists"},
      {"expression 3\n", "> expression 3\n", "line 1: expression needs an object, and none exists"},
      {"create \"10 INPUT A\\r\\n20 PRINT A\"\naction 9\naction 1\npump\n",
       "> create \"10 INPUT A\\r\\n20 PRINT A\"\n= 0\n> action 9\nevent 2\nevent 2\nevent 2\n> "
       "action 1\n",
       "line 3: an INPUT dialog came up with no reply queued"},
      // The Renum error box comes up with no object to act on.
      {"onbox condition 0\nrenum \"X = \\\"A\\\"\"\n",
       "> onbox condition 0\n> renum \"X = \\\"A\\\"\"\n"
       "box \"...\" 0 \"Type mismatch error: \\nBasic system error 41\"\n>> condition 0\n",
       "line 2: condition needs an object, and none exists"},
  };
  for (const Case& c : cases) {
    const testing::Played played = testing::PlayScript(c.script);
    EXPECT_EQ(played.exitCode, 2) << c.script;
    EXPECT_EQ(played.failure, c.failure) << c.script;
    EXPECT_EQ(played.transcript, c.transcript) << c.script;
  }
}

TEST(HostTranscript, QuotedBytes) {
  EXPECT_EQ(QuoteBytes(""), "\"\"");
  EXPECT_EQ(QuoteBytes("a \"b\" \\ \n\r\t"), "\"a \\\"b\\\" \\\\ \\n\\r\\t\"");
  EXPECT_EQ(QuoteBytes(std::string("\0\x01\x1F\x7F\x80\xE9\xFF ~", 9)),
            "\"\\x00\\x01\\x1F\\x7F\\x80\\xE9\\xFF ~\"");
}

TEST(HostTranscript, FloatResults) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {
      {0.25f, "0.25"},
      {0.1f, "0.100000001"},
      {-2.5f, "-2.5"},
      {1e10f, "1e+10"},
      {1e-5f, "9.99999975e-06"},
      {3.0e38f, "3.00000001e+38"},
      {0.0f, "0"},
      {-0.0f, "-0"},
      {std::bit_cast<float>(0x7F800000u), "inf"},
      {std::bit_cast<float>(0xFF800000u), "-inf"},
      {std::bit_cast<float>(0xFFC00000u), "nan"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloatResult(c.value), c.text) << c.text;
}

TEST(HostTranscript, OutputLeftOpenIsClosedBeforeTheNextLine) {
  std::string out;
  TranscriptWriter writer([&out](std::string_view t) { out.append(t); });
  writer.Output("warning 1\nwarning");
  writer.Event(2);
  writer.Output("done\n");
  writer.Close();
  writer.Event(1);
  EXPECT_EQ(out, "warning 1\nwarning\nevent 2\ndone\n");
}

}  // namespace
}  // namespace tenrek::host
