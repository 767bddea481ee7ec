// Character classes and case folding for the language's texts: the ASCII
// ones of the C locale, whatever locale the process runs in, so that bytes
// of the host's code page above 127 are never folded or taken for blanks.
#pragma once

namespace tenrek {

// Blank, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace tenrek
