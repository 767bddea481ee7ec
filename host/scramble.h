// Scrambling of the stored program block: a byte-wise XOR with a key
// stream that depends on a pass phrase and on the text length. The
// transform is its own inverse and never turns a non-zero byte into zero,
// so a scrambled text is still a zero-terminated string of the same length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tenrek::host {

// The phrase every object is scrambled with.
inline constexpr std::string_view kPassPhrase = "Guardar cada linea del programa";

// The key value: 1 + the sum of (signed character + index), doubled until
// it reaches 10,000,000. -1 for a phrase shorter than 3 characters.
int32_t ScrambleKey(std::string_view phrase);

// Transforms data[0] to data[n-1] in place. A phrase shorter than 3
// characters leaves the data unchanged. The same n must be used to
// scramble and to unscramble.
void ScrambleBlock(std::string_view phrase, char* data, std::size_t n);

}  // namespace tenrek::host
