#include "sim/native/native_environment.h"

#include <ctime>
#include <filesystem>
#include <random>

namespace tenrek::host {

namespace fs = std::filesystem;

namespace {

// A new, empty folder under the system's temporary folder.
std::string MakeWorkingFolder(std::string& problem) {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) {
    problem = "no temporary folder: " + error.message();
    return {};
  }
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder = base / ("tenrek-host-" + std::to_string(random()));
    if (fs::create_directory(folder, error)) return folder.string();
  }
  problem = "cannot make a working folder in " + base.string();
  return {};
}

}  // namespace

NativeEnvironment::NativeEnvironment() : mainWindow_(windows_.CreateTopLevelWindow()) {
  folder_ = MakeWorkingFolder(problem_);
  if (folder_.empty()) return;
  std::error_code error;
  previousFolder_ = fs::current_path(error).string();
  fs::current_path(folder_, error);
  if (error) problem_ = "cannot enter " + folder_ + ": " + error.message();
}

NativeEnvironment::~NativeEnvironment() {
  std::error_code error;
  if (!previousFolder_.empty()) fs::current_path(previousFolder_, error);
  if (!folder_.empty()) fs::remove_all(folder_, error);
}

void NativeEnvironment::RouteWindowMessages(WindowHandle window, const char* propertyName,
                                            RunData* run, RunHost* host,
                                            WindowProcedure procedure) {
  windows_.SetWindowProperty(window, propertyName, run);
  windows_.SetProcedure(window, [host, procedure](WindowHandle target, uint32_t message) {
    procedure(host, target, message, 0, 0);
  });
}

void NativeEnvironment::ShowMessageBox(std::string_view caption, std::string_view text,
                                       int32_t style) {
  if (observer_ != nullptr) observer_->OnMessageBox(caption, style, text);
}

std::optional<std::string> NativeEnvironment::AskInput(const InputRequest& request) {
  if (observer_ == nullptr) return std::nullopt;
  return observer_->OnInputDialog(request.title, request.prompt);
}

LocalTime NativeEnvironment::Now() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) return LocalTime{};
  return LocalTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                   local->tm_hour,        local->tm_min,     local->tm_sec};
}

void NativeEnvironment::WriteOutput(std::string_view text) {
  if (observer_ != nullptr) observer_->OnOutput(text);
}

}  // namespace tenrek::host
