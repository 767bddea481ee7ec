#include "tenrek/input_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tenrek {
namespace {

// Closes a descriptor this file opened (never standard input).
class Descriptor {
 public:
  explicit Descriptor(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~Descriptor() {
    if (owned_ && fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
  bool owned_;
};

bool ReadAll(int fd, std::string& text, std::string& reason) {
  char buffer[8192];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      reason = std::strerror(errno);
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

bool ReadInputFile(const std::string& path, std::string& text, std::string& reason) {
  text.clear();
  const bool fromStandardInput = path == "-";
  const Descriptor file(fromStandardInput ? STDIN_FILENO : open(path.c_str(), O_RDONLY),
                        !fromStandardInput);
  if (file.Get() < 0) {
    reason = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(file.Get(), &info) == 0 && S_ISDIR(info.st_mode)) {
    reason = std::strerror(EISDIR);
    return false;
  }
  return ReadAll(file.Get(), text, reason);
}

std::string FindProgramFile(const std::string& name) {
  if (name == "-" || Exists(name)) return name;
  for (const char* extension : {".BAS", ".bas"}) {
    if (Exists(name + extension)) return name + extension;
  }
  return name;
}

}  // namespace tenrek
