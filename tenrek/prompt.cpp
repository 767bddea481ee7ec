// The interactive prompt and the program runner.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "interp/interpreter.h"
#include "platform/native/console_platform.h"
#include "tenrek/input_files.h"
#include "tenrek/interrupts.h"
#include "tenrek/line_editor.h"
#include "tenrek/subcommands.h"
#include "text/files.h"

namespace tenrek {
namespace {

constexpr int kUnreadable = 2;

// The console, with INPUT read through the prompt's line editor when
// standard input is a terminal: the answer can be edited, and Ctrl-C
// breaks the program at once instead of waiting for Enter.
class TerminalPlatform : public ConsolePlatform {
 public:
  std::optional<std::string> AskInput(const InputRequest& request) override {
    LineEditor* editor = ActiveLineEditor();
    if (editor == nullptr || !editor->Interactive()) return ConsolePlatform::AskInput(request);
    std::fflush(stdout);
    const std::string prompt = std::string(request.prompt) + " ";
    std::string answer;
    if (editor->Read(prompt.c_str(), answer, false) != LineResult::Line) return std::nullopt;
    return answer;
  }
};

// The stored text says where only for some reports ("... in 20"); on the
// console every report made while a line runs names that line.
bool NamesLine(std::string_view text, const std::string& number) {
  const std::string mention = " in " + number;
  for (std::size_t at = text.find(mention); at != std::string_view::npos;
       at = text.find(mention, at + 1)) {
    const std::size_t after = at + mention.size();
    if (after == text.size() || !std::isdigit(static_cast<unsigned char>(text[after]))) {
      return true;
    }
  }
  return false;
}

std::string TextNamingLine(const Interpreter& interp, std::string_view text) {
  std::string shown(text);
  if (interp.currentLine == nullptr) return shown;
  const std::string number = std::to_string(interp.currentLine->number);
  if (NamesLine(shown, number)) return shown;
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  return shown + " (line " + number + ")";
}

// Shows every report on standard error at once, and counts them.
void ShowErrorsOnStderr(Interpreter& interp, int& reports) {
  interp.onError = [&interp, &reports](int32_t, std::string_view text) {
    ++reports;
    const std::string shown = TextNamingLine(interp, text);
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

// Enters the numbered lines of `text` as LOAD does, without NEW.
void EnterProgramText(Interpreter& interp, std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
      fmemopen(text.empty() ? nullptr : text.data(), text.size(), "rb"), &std::fclose);
  if (stream) EnterProgramStream(interp, stream.get());
}

void Prepare(Interpreter& interp, const Options& options) {
  interp.state = RunState::Idle;
  if (options.seed) interp.random.Seed(*options.seed);
  interp.budget.SetLimit(options.memoryBudget);
}

}  // namespace

int RunPrompt(const Options& options) {
  TerminalPlatform platform;
  Interpreter interp(platform);
  Prepare(interp, options);
  int reports = 0;
  ShowErrorsOnStderr(interp, reports);
  LineEditor editor;
  const InterruptRoute interrupts(interp);
  if (editor.Interactive()) {
    std::puts("Tenrek BASIC. Type BASIC lines; BYE or end of input (Ctrl-D) leaves.");
    std::puts("The manual: " TENREK_DOC_DIR "/Basic.pdf");
  }
  std::string line;
  for (;;) {
    const LineResult result = editor.Read("] ", line, true);
    if (result == LineResult::End) break;
    interp.TakeBreakRequest();  // a Ctrl-C typed at the prompt stops nothing
    if (result == LineResult::Interrupted) continue;
    interp.errorNumber = 0;
    interp.ExecuteCommand(line);
    if (interp.quitRequested) break;
  }
  return 0;
}

int RunProgramFile(const char* name, const Options& options) {
  const std::string path = FindProgramFile(name);
  std::string text;
  std::string reason;
  if (!ReadInputFile(path, text, reason)) {
    std::fprintf(stderr, "tenrek: cannot read %s: %s\n", path.c_str(), reason.c_str());
    return kUnreadable;
  }
  TerminalPlatform platform;
  Interpreter interp(platform);
  Prepare(interp, options);
  int reports = 0;
  ShowErrorsOnStderr(interp, reports);
  EnterProgramText(interp, text);
  LineEditor editor;
  const InterruptRoute interrupts(interp);
  interp.ExecuteCommand("RUN");
  return reports == 0 ? 0 : 1;
}

}  // namespace tenrek
