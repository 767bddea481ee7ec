#include "interp/errors.h"

#include <array>
#include <string>

namespace tenrek {
namespace {

struct Explanation {
  int32_t code;
  const char* text;
};

// Explanations of the I/O sub-codes.
constexpr std::array<Explanation, 11> kIoExplanations = {{
    {3, " (illegal I/O request)"},
    {7, " (bad file name)"},
    {10, " (file not found)"},
    {13, " (file not open)"},
    {14, " (bad input format)"},
    {24, " (not open for reading)"},
    {25, " (not open for writing)"},
    {26, " (not open for direct access)"},
    {28, " (string subscript out of range)"},
    {30, " (end-of-file)"},
    {38, " (file write error)"},
}};

// Explanations of the system codes.
constexpr std::array<Explanation, 9> kSystemExplanations = {{
    {-2, " (out of memory)"},
    {-3, " (reference to NIL pointer)"},
    {-4, " (integer overflow)"},
    {-5, " (divide by zero)"},
    {-6, " (real math overflow)"},
    {-8, " (value range error)"},
    {-9, " (CASE value range error)"},
    {-12, " (bus error)"},
    {-20, " (stopped by user)"},
}};

template <std::size_t N>
const char* Explain(const std::array<Explanation, N>& table, int32_t code) {
  for (const Explanation& e : table) {
    if (e.code == code) return e.text;
  }
  return "";
}

}  // namespace

ErrorInfo DescribeError(Error error) {
  switch (error) {
    case Error::ExtraInformation: return {30, "Extra information on line"};
    case Error::UndefinedLine: return {31, "Undefined line"};
    case Error::BadLineInFile: return {32, "Bad line in file\n"};
    case Error::ForWithoutNext: return {34, "FOR without NEXT"};
    case Error::NextWithoutFor: return {35, "NEXT without FOR"};
    case Error::WhileWithoutWend: return {36, "WHILE without WEND"};
    case Error::WendWithoutWhile: return {37, "WEND without WHILE"};
    case Error::ReturnWithoutGosub: return {37, "RETURN without GOSUB"};
    case Error::OutOfData: return {38, "Out of Data"};
    case Error::ArrayAlreadyDimensioned: return {39, "Array already dimensioned"};
    case Error::SyntaxError: return {40, "Syntax error"};
    case Error::TypeMismatch: return {41, "Type mismatch error"};
    case Error::BadSubscript: return {42, "Bad subscript"};
    case Error::VariableNotCreated: return {43, "Variable not created"};
    case Error::IllegalCommand: return {45, "Illegal command"};
    case Error::DivideByZero: return {-5, "Divide by zero"};
  }
  return {40, "Syntax error"};
}

std::string FormatSystemError(int32_t code, int32_t ioSubCode, std::string_view prefix) {
  std::string text;
  if (!prefix.empty()) {
    text.append(prefix);
    text.append(": \n");
  }
  if (code == kIoFailureCode) {
    text.append("Basic system I/O error ").append(std::to_string(ioSubCode));
    text.append(Explain(kIoExplanations, ioSubCode));
  } else {
    text.append("Basic system error ").append(std::to_string(code));
    text.append(Explain(kSystemExplanations, code));
  }
  return text;
}

}  // namespace tenrek
