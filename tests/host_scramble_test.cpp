// Scrambling of the stored program block.
#include <gtest/gtest.h>

#include <string>

#include "host/scramble.h"

namespace tenrek::host {
namespace {

std::string Scrambled(std::string text, std::string_view phrase = kPassPhrase) {
  ScrambleBlock(phrase, text.data(), text.size());
  return text;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

// Known answers, worked out by hand from the algorithm with signed 8-bit
// characters, truncating division and a remainder with the dividend's
// sign: stored objects depend on every bit of them.
TEST(HostScramble, KeyOfThePassPhraseAndSignedCharacters) {
  EXPECT_EQ(ScrambleKey(kPassPhrase), 13860864);
  EXPECT_EQ(ScrambleKey("abc"), 19529728);
  // 1 + (-1 + 0) + (-1 + 1) + (-1 + 2) = 1, doubled 24 times; read as
  // unsigned bytes it would be 769 doubled 14 times.
  EXPECT_EQ(ScrambleKey("\xFF\xFF\xFF"), 16777216);
  EXPECT_EQ(ScrambleKey("ab"), -1);
}

TEST(HostScramble, KnownScrambledBytes) {
  EXPECT_EQ(Hex(Scrambled("10 PRINT 1")), "1C163E4559494A53594B");
  EXPECT_EQ(Hex(Scrambled("AAAAA")), "696D6E6063");
}

// A phrase whose signed sum is not positive must not hang the doubling.
TEST(HostScramble, NonPositiveKeyStaysAsItIs) {
  EXPECT_EQ(ScrambleKey(std::string(3, '\x80')), 1 - 128 * 3 + 0 + 1 + 2);
  const std::string phrase(3, '\x80');
  EXPECT_EQ(Scrambled(Scrambled("abc", phrase), phrase), "abc");
}

// Every byte value but zero, in texts of many lengths (the key stream
// depends on the length): scrambling twice restores, and the scrambled
// form holds no zero byte.
TEST(HostScramble, OwnInverseWithoutZeroBytes) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  for (std::size_t length = 1; length <= all.size(); length += 7) {
    const std::string text = all.substr(all.size() - length) + all.substr(0, length / 2);
    const std::string scrambled = Scrambled(text);
    EXPECT_EQ(scrambled.find('\0'), std::string::npos) << "length " << text.size();
    EXPECT_NE(scrambled, text);
    EXPECT_EQ(Scrambled(scrambled), text) << "length " << text.size();
  }
}

TEST(HostScramble, WrongLengthDoesNotRestore) {
  const std::string text = "10 PRINT \"secret\"\r\n20 GOTO 10";
  std::string scrambled = Scrambled(text);
  ScrambleBlock(kPassPhrase, scrambled.data(), scrambled.size() - 1);
  EXPECT_NE(scrambled.substr(0, text.size() - 1), text.substr(0, text.size() - 1));
}

TEST(HostScramble, EmptyTextAndShortPhraseChangeNothing) {
  EXPECT_EQ(Scrambled(""), "");
  EXPECT_EQ(Scrambled("10 PRINT 1", "ab"), "10 PRINT 1");
  EXPECT_EQ(Scrambled("10 PRINT 1", ""), "10 PRINT 1");
}

}  // namespace
}  // namespace tenrek::host
