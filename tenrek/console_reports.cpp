#include "tenrek/console_reports.h"

#include <cstdio>

#include "interp/errors.h"
#include "interp/interpreter.h"

namespace tenrek {
namespace {

// A culprit is the name of a variable, a line number or a file name; a
// name longer than this (a file name can have 1019 characters) is cut.
constexpr std::size_t kMaxCulprit = 60;
constexpr int32_t kUndefinedLine = 31;
constexpr int32_t kIllegalCommand = 45;

bool IsDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "Break in 70", "Out of memory in 20": the place says where already.
std::string_view WithoutLineMention(std::string_view message) {
  const std::size_t at = message.rfind(" in ");
  if (at != std::string_view::npos && IsDecimal(message.substr(at + 4))) {
    return message.substr(0, at);
  }
  return message;
}

// The message before ": \n"; a text without one (the I/O failure report)
// says what it is in the explanation of its system code.
std::string MessageOf(std::string_view text) {
  const std::size_t colon = text.find(": \n");
  if (colon != std::string_view::npos) {
    std::string_view message = text.substr(0, colon);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
      message.remove_suffix(1);
    }
    return std::string(WithoutLineMention(message));
  }
  const std::size_t open = text.rfind(" (");
  if (open == std::string_view::npos || text.back() != ')') return std::string(text);
  std::string explanation(text.substr(open + 2, text.size() - open - 3));
  if (!explanation.empty() && explanation[0] >= 'a' && explanation[0] <= 'z') {
    explanation[0] = static_cast<char>(explanation[0] - 'a' + 'A');
  }
  return explanation;
}

std::string CulpritPart(int32_t number, std::string_view culprit) {
  if (culprit.empty()) return {};
  std::string shown(culprit.substr(0, kMaxCulprit));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ') c = '?';  // keep the report one line
  }
  if (culprit.size() > kMaxCulprit) shown += "...";
  if (number == kUndefinedLine) return " " + shown;
  if (number == kIoFailureCode) return ": \"" + shown + "\"";
  return ": " + shown;
}

std::string Joined(const std::string& place, const std::string& message) {
  return place.empty() ? message : place + ": " + message;
}

}  // namespace

std::string ConsoleMessage(int32_t number, std::string_view text, std::string_view culprit) {
  const std::string message = MessageOf(text);
  // The close of a run: "Break", or nothing after an illegal command.
  if (number == kStopReportCode) return message;
  return message + CulpritPart(number, culprit) + " (error " + std::to_string(number) + ")";
}

ConsoleReports::ConsoleReports(Interpreter& interp, std::string file)
    : interp_(interp), file_(std::move(file)) {
  interp_.onError = [this](int32_t number, std::string_view text) { Show(number, text); };
}

ConsoleReports::~ConsoleReports() { interp_.onError = nullptr; }

void ConsoleReports::Show(int32_t number, std::string_view text) {
  ++count_;
  const int32_t previous = lastNumber_;
  lastNumber_ = number;
  if (number == kStopReportCode && (previous == kIllegalCommand || inputEnded_)) {
    // The run's close after a report that said enough.
    inputEnded_ = false;
    return;
  }
  const std::string message = ConsoleMessage(number, text, {});
  if (message.empty()) return;
  std::string place;
  if (fileLine_ != 0) {
    place = file_ + ":" + std::to_string(fileLine_);
  } else if (number == kStopReportCode && breakOwed_) {
    place = PlaceOfLine(waitingLine_);
    breakOwed_ = false;
  } else {
    place = PlaceOfLine(interp_.CurrentLine() != nullptr ? interp_.CurrentLine()->number : 0);
  }
  ShowCounted(place, message, ConsoleMessage(number, text, interp_.errorCulprit));
}

std::string ConsoleReports::PlaceOfLine(int32_t lineNumber) const {
  const std::string number = std::to_string(lineNumber);
  if (!file_.empty()) return lineNumber != 0 ? file_ + ":" + number : file_;
  return lineNumber != 0 ? "line " + number : std::string();
}

void ConsoleReports::ShowCounted(const std::string& place, const std::string& message,
                                 const std::string& withCulprit) {
  const std::string summary = Joined(place, message);
  auto [found, added] = alikeIndex_.emplace(summary, alike_.size());
  if (added) alike_.push_back({summary, 0, 0});
  Alike& alike = alike_[found->second];
  if (alike.shown == kShownAlike) {
    ++alike.more;
    return;
  }
  ++alike.shown;
  WriteLine(Joined(place, withCulprit));
}

void ConsoleReports::ShowFileProblem(std::size_t number, std::string_view what) {
  ++count_;
  const std::string place = number != 0 ? file_ + ":" + std::to_string(number) : file_;
  WriteLine(Joined(place, std::string(what)));
}

void ConsoleReports::NoMoreInput() {
  ++count_;
  inputEnded_ = true;
  const int32_t line = interp_.CurrentLine() != nullptr ? interp_.CurrentLine()->number : 0;
  WriteLine(Joined(PlaceOfLine(line), "no more input"));
}

void ConsoleReports::BrokenWhileWaiting() {
  breakOwed_ = true;
  waitingLine_ = interp_.CurrentLine() != nullptr ? interp_.CurrentLine()->number : 0;
}

void ConsoleReports::EndOfCommand() {
  if (breakOwed_) {
    ++count_;
    WriteLine(Joined(PlaceOfLine(waitingLine_), "Break"));
    breakOwed_ = false;
  }
  for (const Alike& alike : alike_) {
    if (alike.more == 0) continue;
    WriteLine(alike.summary + " ... " + std::to_string(alike.more) + " more like this");
  }
  alike_.clear();
  alikeIndex_.clear();
  inputEnded_ = false;
  lastNumber_ = 0;
}

void ConsoleReports::WriteLine(const std::string& line) {
  std::fflush(stdout);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace tenrek
