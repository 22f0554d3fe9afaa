#pragma once

// Temporary directories, marks and child processes for the POSIX tests.

#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace tessaldo::launcher::test_support {

namespace fs = std::filesystem;

// A fresh directory, open to every user (programs also run as an
// unprivileged user), removed with its contents at the end.
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
  fs::permissions(path, static_cast<fs::perms>(0755));
}

// A script that runs `command`, then leaves a mark at `mark` of how it was
// started and of the command's exit status, and exits with that status.
inline void WriteMarkingScript(const fs::path& script, const fs::path& mark,
                               const std::string& command = "true") {
  WriteScript(script, "#!/bin/sh\n" + command +
                          "\nstatus=$?\n{ printf 'exe=%s\\ncwd=%s\\nuid=%s\\nstatus=%s\\n' \"$0\" "
                          "\"$(pwd)\" \"$(id -u)\" \"$status\"\n"
                          "  for a; do printf 'arg=%s\\n' \"$a\"; done; } > '" +
                          mark.string() + "'\nexit $status\n");
}

// The text of a mark as launcher_mark or a marking script leaves it.
inline std::string MarkText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// Runs `body` in a child process with `path` as PATH, in `directory`, as
// `uid`; the child's exit status, -1 when it did not exit. `body` ends the
// child itself; if it returns, the status is 127.
template <class Body>
int RunInChild(uid_t uid, const std::string& path, const fs::path& directory, Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("PATH", path.c_str(), 1);
    if (::chdir(directory.c_str()) == 0 &&
        (uid == ::geteuid() || (::setgroups(0, nullptr) == 0 && ::setresgid(uid, uid, uid) == 0 &&
                                ::setresuid(uid, uid, uid) == 0))) {
      body();
    }
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
