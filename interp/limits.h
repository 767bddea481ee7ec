// Limits of the language and of the records the host sees. Each one is
// observable behaviour: programs and stored files rely on them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tenrek {

// A command or program line, like the input buffer it is read into, holds
// 1023 characters plus the terminator.
inline constexpr std::size_t kMaxLineLength = 1023;
// Every string value lives in a 1024-byte block.
inline constexpr std::size_t kMaxStringLength = 1023;
// PRINT builds its box text in a 1024-byte buffer.
inline constexpr std::size_t kMaxPrintText = 1023;
// Identifiers keep their first 20 characters; the rest are dropped.
inline constexpr std::size_t kMaxNameLength = 20;
// errorText, messageTitle and tagText are 256-character fields.
inline constexpr std::size_t kMaxFieldText = 255;
// The INPUT dialog hands back at most 255 characters.
inline constexpr std::size_t kMaxInputAnswer = 255;
// "%s.BAS" with its terminator must fit 1024 bytes.
inline constexpr std::size_t kMaxFileNameText = 1019;
// One listed line with its number and line end fits a 1024-byte buffer.
inline constexpr std::size_t kMaxListedLine = 1023;
// A whole listing is gathered in a 327,680-byte buffer.
inline constexpr std::size_t kMaxListing = 327679;
// Arrays have up to four dimensions; an array used without DIM gets
// eleven elements (indexes 0 to 10) per dimension.
inline constexpr int kMaxDimensions = 4;
inline constexpr int32_t kAutoExtent = 11;
// PEEK and POKE see a private 64 KiB block, addresses 0 to 65535.
inline constexpr std::size_t kPokeMemorySize = 65536;
// The largest line number a range or RENUM can name.
inline constexpr int32_t kMaxLineNumber = 2147483647;

}  // namespace tenrek
