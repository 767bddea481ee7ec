#include "sim/runner/transcript.h"

#include <cmath>
#include <cstdio>

namespace tenrek::host {

std::string QuoteBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 32 || byte >= 127) {
          out += "\\x";
          out.push_back(kHex[byte >> 4]);
          out.push_back(kHex[byte & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
  out += '"';
  return out;
}

std::string FormatFloatResult(float value) {
  // Spelled out: C libraries disagree on infinities and NaN.
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  std::string text = buffer;
  // Some C libraries print three exponent digits; the C standard's form
  // has at least two.
  const std::size_t e = text.find_first_of("eE");
  if (e == std::string::npos || e + 2 >= text.size()) return text;
  std::size_t digits = e + 2;  // after the sign
  while (text.size() - digits > 2 && text[digits] == '0') text.erase(digits, 1);
  return text;
}

void TranscriptWriter::Box(std::string_view caption, int32_t style, std::string_view text) {
  Line("box " + QuoteBytes(caption) + " " + std::to_string(style) + " " + QuoteBytes(text));
}

void TranscriptWriter::Input(std::string_view title, std::string_view prompt,
                             std::string_view answer) {
  Line("input " + QuoteBytes(title) + " " + QuoteBytes(prompt) + " -> " + QuoteBytes(answer));
}

void TranscriptWriter::Output(std::string_view text) {
  if (closed_ || text.empty()) return;
  sink_(text);
  openOutputLine_ = text.back() != '\n';
}

void TranscriptWriter::Line(const std::string& line) {
  if (closed_) return;
  if (openOutputLine_) sink_("\n");
  openOutputLine_ = false;
  sink_(line + "\n");
}

}  // namespace tenrek::host
