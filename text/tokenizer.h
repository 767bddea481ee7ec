// Turns one line of source text into tokens. Never fails: anything not
// recognised becomes a StrayChar token. May create variables.
#pragma once

#include <string_view>

#include "interp/token.h"

namespace tenrek {

class Interpreter;

void Tokenize(Interpreter& interp, std::string_view text, TokenList& tokens);

}  // namespace tenrek
