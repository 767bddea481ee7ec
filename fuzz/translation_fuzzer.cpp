// Each input played twice, once with stored lines translated and once with
// every statement through its handler: both runs must print the same boxes,
// make the same reports in the same order, leave the same variables, the
// same control stack and the same files. Input lines as for command_lines:
// ">" lines run inside boxes and dialogs, "?" lines answer INPUT.
//
// No statement limit: it would end a run of translated statements after
// its first link, so long chains would never be compared. A watchdog
// thread breaks a run that is still going after a while instead, and such
// an input is not compared (the two breaks land at different statements).
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "interp/interpreter.h"

using namespace tenrek;
namespace fs = std::filesystem;

namespace {

// Far beyond what a sensible input needs, and short enough that an endless
// program costs the campaign little.
constexpr auto kWatchdogDelay = std::chrono::milliseconds(300);
constexpr auto kRepeatDelay = std::chrono::milliseconds(5);

struct Script {
  std::vector<std::string> typed;
  std::vector<std::string> nested;
  std::vector<std::string> answers;
};

Script ReadScript(std::string_view input) {
  Script script;
  for (std::string_view line : fuzz::SplitLines(input)) {
    if (line.starts_with('>')) {
      script.nested.emplace_back(line.substr(1));
    } else if (line.starts_with('?')) {
      script.answers.emplace_back(line.substr(1));
    } else {
      script.typed.emplace_back(line);
    }
  }
  return script;
}

// Breaks the interpreter's run once the delay has passed, unless stopped
// first; says whether it did.
class Watchdog {
 public:
  explicit Watchdog(Interpreter& interp)
      : thread_([this, &interp] {
          std::unique_lock lock(mutex_);
          if (stop_.wait_for(lock, kWatchdogDelay, [this] { return stopped_; })) return;
          fired_ = true;
          // Each command forgets an earlier break request: keep asking.
          do {
            interp.RequestBreak();
          } while (!stop_.wait_for(lock, kRepeatDelay, [this] { return stopped_; }));
        }) {}
  ~Watchdog() { Stop(); }
  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    stop_.notify_one();
    if (thread_.joinable()) thread_.join();
  }
  bool Fired() const { return fired_; }

 private:
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopped_ = false;
  std::atomic<bool> fired_{false};
  std::thread thread_;
};

// Records every box, dialog and line of output.
class WatchedPlatform : public fuzz::FuzzPlatform {
 public:
  std::string seen;
  void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) override {
    seen += "box " + std::string(caption) + " " + std::to_string(style) + ": " + std::string(text) +
            "\n";
    FuzzPlatform::ShowMessageBox(caption, text, style);
  }
  std::optional<std::string> AskInput(const InputRequest& request) override {
    seen += "input\n";
    return FuzzPlatform::AskInput(request);
  }
  void WriteOutput(std::string_view text) override { seen += "out: " + std::string(text); }
};

std::string Describe(const Variable& variable) {
  std::ostringstream out;
  out << variable.name << ' ' << int{variable.extentCount} << ' ';
  if (variable.isString) {
    out << '"' << variable.text.text << '"';
    for (const StringCell& cell : variable.texts) out << ",\"" << cell.text << '"';
  } else {
    out << variable.number;
    for (const double number : variable.numbers) out << ',' << number;
  }
  return out.str();
}

std::string FilesIn(const fs::path& folder) {
  std::string all;
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().filename().string()] = bytes.str();
  }
  for (const auto& [name, bytes] : files) all += "file " + name + ": " + bytes + "\n";
  return all;
}

// Plays the script in a fresh folder; the empty text when the watchdog
// had to break it.
std::string Play(const Script& script, bool translate, const fs::path& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::current_path(folder);
  WatchedPlatform platform;
  for (const std::string& answer : script.answers) platform.answers.push_back(answer);
  Interpreter interp(platform);
  interp.compileLines = translate;
  interp.random.Seed(1);
  interp.state = RunState::Idle;
  interp.host.messageWindow = reinterpret_cast<WindowHandle>(1);
  interp.budget.SetLimit(fuzz::kMemoryBudget);
  interp.onError = [&platform](int32_t number, std::string_view text) {
    platform.seen += "report " + std::to_string(number) + ": " + std::string(text) + "\n";
  };
  std::string listing;
  interp.host.listingBuffer = ListingTarget{&listing, 32768};
  std::size_t nextNested = 0;
  platform.onModal = [&] {
    if (nextNested < script.nested.size()) interp.ExecuteCommand(script.nested[nextNested++]);
  };
  Watchdog watchdog(interp);
  for (const std::string& line : script.typed) interp.ExecuteCommand(line);
  watchdog.Stop();
  if (watchdog.Fired()) return {};
  std::string seen = std::move(platform.seen) + "listing: " + listing + "\n";
  for (const auto& variable : interp.variables) seen += Describe(*variable) + "\n";
  seen += "frames " + std::to_string(interp.controlStack.size()) + " error " +
          std::to_string(interp.errorNumber) + " " + interp.errorText + "\n";
  fs::current_path(folder.parent_path());
  return seen + FilesIn(folder);
}

fs::path g_folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterPrivateFolder();
  g_folder = fs::current_path();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const Script script = ReadScript(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string translated = Play(script, true, g_folder / "translated");
  if (translated.empty()) return 0;
  const std::string handled = Play(script, false, g_folder / "handled");
  fs::current_path(g_folder);
  if (handled.empty() || translated == handled) return 0;
  std::fprintf(stderr, "translated:\n%s\nthrough handlers:\n%s\n", translated.c_str(),
               handled.c_str());
  std::abort();
}
