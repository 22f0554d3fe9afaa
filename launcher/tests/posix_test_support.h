#pragma once

// Temporary directories, marks and child processes for the POSIX tests.

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tessaldo::launcher::test_support {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary directory, open to every
// user (the tests also run programs as an unprivileged user), removed with
// its contents at the end.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (fs::temp_directory_path() / "tessaldo-launcher-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    fs::permissions(path_, fs::perms::all);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  ~TemporaryDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline void WriteScript(const fs::path& path, const std::string& text) {
  WriteFile(path, text);
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
}

// A mark of launcher_mark or of a test script: "key=value" lines.
struct Mark {
  std::string exe;
  std::string cwd;
  std::string status;
  std::string uid;
  std::vector<std::string> args;
};

inline std::optional<Mark> ReadMark(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  Mark mark;
  std::istringstream lines(ReadFile(path));
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "exe") mark.exe = value;
    if (key == "cwd") mark.cwd = value;
    if (key == "status") mark.status = value;
    if (key == "uid") mark.uid = value;
    if (key == "arg") mark.args.push_back(value);
  }
  return mark;
}

// Reaps every child and, for a subreaper, every orphaned descendant, until
// none is left or the deadline has passed; false on the deadline.
inline bool WaitForDescendants(std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, WNOHANG);
    if (pid < 0 && errno == ECHILD) return true;
    if (pid > 0 || (pid < 0 && errno == EINTR)) continue;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace tessaldo::launcher::test_support
