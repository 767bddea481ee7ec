// Error numbers, their messages, and the text composer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tenrek {

// Every error a statement can report, each with its number and message.
// RETURN without GOSUB shares 37 with WEND without WHILE.
enum class Error {
  ExtraInformation,         // 30, message completed with " in " and the line
  UndefinedLine,            // 31
  BadLineInFile,            // 32
  ForWithoutNext,           // 34
  NextWithoutFor,           // 35
  WhileWithoutWend,         // 36
  WendWithoutWhile,         // 37
  ReturnWithoutGosub,       // 37
  OutOfData,                // 38
  ArrayAlreadyDimensioned,  // 39
  SyntaxError,              // 40
  TypeMismatch,             // 41
  BadSubscript,             // 42
  VariableNotCreated,       // 43
  IllegalCommand,           // 45
  DivideByZero,             // -5 (MOD by zero)
};

struct ErrorInfo {
  int32_t number;
  const char* message;
};

ErrorInfo DescribeError(Error error);

// Composes the stored text of a report: the prefix, ": " and a line feed
// when a prefix is given, then "Basic system error %d" (or the I/O form for
// code -10) with its explanation.
std::string FormatSystemError(int32_t code, int32_t ioSubCode, std::string_view prefix);

// The stop codes a run can end with: STOP and a break ("Break"), and the
// number the stop report is made under. From kNoStopCode on the report
// adds nothing to "in N".
inline constexpr int16_t kBreakCode = -20;
inline constexpr int32_t kStopReportCode = -12;
inline constexpr int16_t kNoStopCode = 30;

// The I/O failure report of LOAD, MERGE and SAVE.
inline constexpr int32_t kIoFailureCode = -10;
inline constexpr int32_t kFileNotFound = 10;

}  // namespace tenrek
