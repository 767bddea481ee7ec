// The golden host scripts: tests/golden/NAME.script played in this
// process must give tests/golden/NAME.transcript exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host_runner_support.h"

namespace tenrek::host {
namespace {

namespace fs = std::filesystem;

fs::path GoldenFolder() { return fs::path(__FILE__).parent_path() / "golden"; }

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> GoldenNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(GoldenFolder(), error)) {
    if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class HostGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(HostGolden, TranscriptMatches) {
  const fs::path base = GoldenFolder() / GetParam();
  const fs::path expected = fs::path(base).replace_extension(".transcript");
  ASSERT_TRUE(fs::exists(expected)) << expected;
  const testing::Played played =
      testing::PlayScript(ReadFile(fs::path(base).replace_extension(".script")));
  EXPECT_EQ(played.exitCode, 0) << played.failure;
  EXPECT_EQ(played.transcript, ReadFile(expected));
}

INSTANTIATE_TEST_SUITE_P(Scripts, HostGolden, ::testing::ValuesIn(GoldenNames()),
                         [](const auto& info) { return info.param; });

TEST(HostGoldenFolder, HoldsTheDocumentedExample) {
  const std::vector<std::string> names = GoldenNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "example"), names.end());
}

}  // namespace
}  // namespace tenrek::host
