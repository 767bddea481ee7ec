// The transcript of a host script: every operation echoed, followed by
// everything the object showed or raised while it ran, one line each.
// Portable, shared by `tenrek host` and the Windows test host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tenrek::host {

// A string value in double quotes: \\, \", \n, \r, \t, and \xHH (upper-case
// hex) for the other bytes below 32 and the bytes 127 to 255.
std::string QuoteBytes(std::string_view bytes);

// A single-precision result as "%.9g" of its value, with the exponent in
// at least two digits whatever the C library prints.
std::string FormatFloatResult(float value);

class TranscriptWriter {
 public:
  // Each finished piece of text goes to `sink` (standard output, a string).
  explicit TranscriptWriter(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {}

  void Echo(std::string_view line) { Line("> " + std::string(line)); }
  void Nested(std::string_view operation) { Line(">> " + std::string(operation)); }
  void Result(std::string_view value) { Line("= " + std::string(value)); }
  void Event(int32_t code) { Line("event " + std::to_string(code)); }
  void WatchedEvent(int32_t code, int32_t value) {
    Line("event " + std::to_string(code) + " = " + std::to_string(value));
  }
  void Box(std::string_view caption, int32_t style, std::string_view text);
  void Input(std::string_view title, std::string_view prompt, std::string_view answer);
  // Text the object wrote to standard output, as written. A line left
  // open is closed before the next transcript line.
  void Output(std::string_view text);
  // Nothing more is written (the script failed).
  void Close() { closed_ = true; }

 private:
  void Line(const std::string& line);

  std::function<void(std::string_view)> sink_;
  bool openOutputLine_ = false;
  bool closed_ = false;
};

}  // namespace tenrek::host
