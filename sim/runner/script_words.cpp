#include "sim/runner/script_words.h"

#include <fstream>
#include <iostream>
#include <iterator>

namespace tenrek::host {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<ScriptLine> OperationLines(std::string_view script) {
  std::vector<ScriptLine> lines;
  int number = 0;
  std::size_t pos = 0;
  while (pos < script.size()) {
    std::size_t end = script.find('\n', pos);
    if (end == std::string_view::npos) end = script.size();
    std::string_view line = script.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    lines.push_back({line, number});
  }
  return lines;
}

std::string_view OperationName(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsScriptBlank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !IsScriptBlank(line[end])) ++end;
  return line.substr(start, end - start);
}

std::optional<std::string> ReadScriptString(std::string_view line, std::size_t& pos,
                                            std::string& error) {
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++pos >= line.size()) break;
    switch (line[pos]) {
      case '\\': out.push_back('\\'); break;
      case '"': out.push_back('"'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'x': {
        const int high = pos + 1 < line.size() ? HexDigitValue(line[pos + 1]) : -1;
        const int low = pos + 2 < line.size() ? HexDigitValue(line[pos + 2]) : -1;
        if (high < 0 || low < 0) {
          error = "\\x needs two hexadecimal digits";
          return std::nullopt;
        }
        out.push_back(static_cast<char>(high * 16 + low));
        pos += 2;
        break;
      }
      default: error = std::string("unknown escape \\") + line[pos]; return std::nullopt;
    }
  }
  error = "string not closed";
  return std::nullopt;
}

std::optional<std::vector<ScriptWord>> SplitScriptWords(std::string_view line, std::string& error) {
  std::vector<ScriptWord> words;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && IsScriptBlank(line[pos])) ++pos;
    if (pos >= line.size()) return words;
    if (line[pos] == '"') {
      std::optional<std::string> text = ReadScriptString(line, pos, error);
      if (!text) return std::nullopt;
      if (pos < line.size() && !IsScriptBlank(line[pos])) {
        error = "a blank must follow a string";
        return std::nullopt;
      }
      words.push_back({true, std::move(*text)});
      continue;
    }
    const std::size_t start = pos;
    while (pos < line.size() && !IsScriptBlank(line[pos])) ++pos;
    words.push_back({false, std::string(line.substr(start, pos - start))});
  }
}

std::optional<std::string> ReadScriptFile(const std::string& path) {
  if (path == "-") {
    return std::string((std::istreambuf_iterator<char>(std::cin)),
                       std::istreambuf_iterator<char>());
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace tenrek::host
