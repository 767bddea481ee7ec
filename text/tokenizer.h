// Turns one line of source text into tokens. Never fails: anything not
// recognised becomes a StrayChar token. May create variables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interp/token.h"

namespace tenrek {

class Interpreter;

void Tokenize(Interpreter& interp, std::string_view text, TokenList& tokens);

// Reads the number literal that `text` begins with, exactly as Tokenize
// does; `length` receives the count of characters it took.
double ReadNumberLiteral(std::string_view text, std::size_t& length);

// What a literal's exponent does to its mantissa, as Tokenize applies it:
// one multiplication by 10 (or 0.1, for a negative exponent) per step.
double ApplyDecimalExponent(double value, int32_t exponent);

}  // namespace tenrek
