#include "host/scramble.h"

namespace tenrek::host {

namespace {

constexpr std::size_t kMinPhraseLength = 3;
constexpr int32_t kKeyFloor = 10000000;

// The low 8 bits of v read as a signed byte.
int32_t LowSignedByte(int64_t v) { return static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF)); }

}  // namespace

int32_t ScrambleKey(std::string_view phrase) {
  if (phrase.size() < kMinPhraseLength) return -1;
  // Unsigned arithmetic wraps like the 32-bit register it was written for,
  // without the undefined overflow of a signed sum on a huge phrase.
  uint32_t sum = 1;
  for (std::size_t i = 0; i < phrase.size(); ++i) {
    sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(phrase[i])));
    sum += static_cast<uint32_t>(i);
  }
  int32_t key = static_cast<int32_t>(sum);
  // Doubling only makes a positive key grow; a phrase of mostly high
  // characters can sum to zero or below, and is then taken as it is.
  while (key > 0 && key < kKeyFloor) key *= 2;
  return key;
}

void ScrambleBlock(std::string_view phrase, char* data, std::size_t n) {
  if (phrase.size() < kMinPhraseLength) return;
  const int32_t key = ScrambleKey(phrase);
  const int32_t r = ((key / 9997) - 1) % 254;
  int32_t step = LowSignedByte(r + 1);
  const uint8_t first = static_cast<uint8_t>(phrase[0]);
  const int64_t length = static_cast<int64_t>(n);
  for (std::size_t i = 0; i < n; ++i) {
    const int64_t t = step - 1 - (length - static_cast<int64_t>(i));
    const int32_t e = LowSignedByte(t % 254) + 1;  // -127 to 128
    const uint8_t x = static_cast<uint8_t>(static_cast<uint8_t>(data[i]) ^ first ^
                                           static_cast<uint8_t>(e & 0xFF));
    // A byte equal to its key byte would become zero: it stays as it is.
    if (x != 0) data[i] = static_cast<char>(x);
    step = e;
  }
}

}  // namespace tenrek::host
