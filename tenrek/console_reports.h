// The interpreter's reports as the console shows them: one line each on
// standard error, saying where ("prog.bas:20: ", at the prompt "line 20: ")
// and what, with the culprit when the interpreter named one:
//   prog.bas:20: Undefined line 500 (error 31)
// The stored texts, which the host sees, are not changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tenrek {

class Interpreter;

class ConsoleReports {
 public:
  // `file`: the program file's name for `tenrek run`, which then begins
  // every place; empty at the prompt, where a place is "line N".
  ConsoleReports(Interpreter& interp, std::string file);
  ~ConsoleReports();
  ConsoleReports(const ConsoleReports&) = delete;
  ConsoleReports& operator=(const ConsoleReports&) = delete;

  // Reports made from now on are about this line of the program file (0:
  // about the line that runs), while the file's lines are entered.
  void AboutFileLine(std::size_t number) { fileLine_ = number; }
  // A problem of the command's own with line `number` of the file (0: the
  // whole file), shown and counted like a report.
  void ShowFileProblem(std::size_t number, std::string_view what);
  // INPUT got no answer because the input ended: says so at the INPUT's
  // line; the break that follows is not shown again.
  void NoMoreInput();
  // INPUT got no answer because Ctrl-C was typed: the break, reported at
  // the next statement (or nowhere, when INPUT ended the program), is
  // shown at the INPUT's line.
  void BrokenWhileWaiting();
  // A command has ended: shows the break still owed and how many reports
  // of each kind were not shown.
  void EndOfCommand();

  // Every report made so far, shown or not.
  int Count() const { return count_; }

  // The same report from the same place is shown this many times; the
  // rest are counted and summed up when the command ends.
  static constexpr int kShownAlike = 3;

 private:
  struct Alike {
    std::string summary;  // the report without its culprit
    int shown = 0;
    int more = 0;
  };

  void Show(int32_t number, std::string_view text);
  std::string PlaceOfLine(int32_t lineNumber) const;
  // `message` without the culprit, as alike reports are told apart.
  void ShowCounted(const std::string& place, const std::string& message,
                   const std::string& withCulprit);
  static void WriteLine(const std::string& line);

  Interpreter& interp_;
  std::string file_;
  std::size_t fileLine_ = 0;
  int count_ = 0;
  int32_t lastNumber_ = 0;
  bool inputEnded_ = false;
  bool breakOwed_ = false;
  int32_t waitingLine_ = 0;  // the INPUT's line; 0 for a direct command
  std::unordered_map<std::string, std::size_t> alikeIndex_;
  std::vector<Alike> alike_;
};

// The one-line form of a report: its message without " in N" or the
// system code's text, the culprit, and "(error N)". Empty for a report
// that says nothing of its own (the close of a run after an illegal
// command).
std::string ConsoleMessage(int32_t number, std::string_view text, std::string_view culprit);

}  // namespace tenrek
