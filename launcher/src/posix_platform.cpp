#include "tessaldo/launcher/system_platform.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>  // realpath
#include <optional>
#include <utility>
#include <vector>

#include "tessaldo/launcher/command_line.h"
#include "tessaldo/launcher/program_layout.h"

extern char** environ;

namespace tessaldo::launcher {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports close's own failure.
  int Close() {
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Argument vector of posix_spawn over `arguments`.
std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

// Writes all of `data`; 0 or the errno of the failure.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Copies the open regular file `in` to `out`; 0 or the errno of the failure.
int CopyContents(int in, int out) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    if (const int error = WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) {
      return error;
    }
  }
}

// The path of the running program's executable.
Result<std::string> ExecutablePath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return Failed(FromErrno(errno));
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// `path` with every link and dot resolved; nothing when it cannot be.
std::optional<std::string> RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
  return std::string(resolved);
}

// True when the running program is the file at `path`: reached by that path
// and the same file, so that neither a copy, nor a link, nor a program
// replaced since it started passes.
bool IsRunningProgram(const std::string& path) {
  const auto executable = ExecutablePath();
  const auto resolved = RealPath(path);
  if (!executable || !resolved || *executable != *resolved) return false;
  struct stat running {};
  struct stat installed {};
  return ::stat("/proc/self/exe", &running) == 0 && ::stat(resolved->c_str(), &installed) == 0 &&
         running.st_dev == installed.st_dev && running.st_ino == installed.st_ino;
}

// True for a source the copy may take: a regular file owned by root, or by
// the user the copy runs as, that no one else may write.
bool IsTrustedSource(const struct stat& status) {
  return S_ISREG(status.st_mode) && (status.st_uid == 0 || status.st_uid == ::geteuid()) &&
         (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The launcher's operations on Linux and other POSIX systems.
class PosixLauncherPlatform final : public LauncherPlatform {
 public:
  PosixLauncherPlatform(std::string system_directory, std::string installed_launcher,
                        bool elevated_step, bool well_formed)
      : system_directory_(std::move(system_directory)),
        installed_launcher_(std::move(installed_launcher)),
        installed_(IsRunningProgram(installed_launcher_)),
        elevated_step_(elevated_step),
        refused_step_(elevated_step && !(installed_ && well_formed)) {}

  RunKind Kind() override;
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override;
  Result<std::string> ProgramDirectory() override;
  Result<std::uint32_t> FileAttributes(const std::string& path) override;
  Status FileCopy(const std::string& source, const std::string& destination) override;
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override;
  bool ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override;

 private:
  std::string system_directory_;
  std::string installed_launcher_;
  bool installed_;  // this program is the installed launcher
  bool elevated_step_;
  bool refused_step_;  // an elevated step of another program, or with other arguments
};

RunKind PosixLauncherPlatform::Kind() {
  if (elevated_step_) return RunKind::kElevatedRestart;
  return ::geteuid() == 0 ? RunKind::kElevated : RunKind::kUser;
}

std::size_t PosixLauncherPlatform::GetSystemDirectoryA(std::span<char> buffer) {
  // A refused elevated step finds no system directory and so ends before
  // it touches anything.
  if (refused_step_) return 0;
  // As GetSystemDirectoryA: the path and its terminating zero must fit.
  if (system_directory_.size() >= buffer.size()) return system_directory_.size() + 1;
  std::ranges::copy(system_directory_, buffer.begin());
  buffer[system_directory_.size()] = '\0';
  return system_directory_.size();
}

Result<std::string> PosixLauncherPlatform::ProgramDirectory() {
  const auto path = ExecutablePath();
  if (!path) return Failed(path.error());
  return path->substr(0, path->rfind('/'));
}

Result<std::uint32_t> PosixLauncherPlatform::FileAttributes(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return Failed(FromErrno(errno));
  return S_ISDIR(status.st_mode) ? kAttributeDirectory : kAttributeNormal;
}

Status PosixLauncherPlatform::FileCopy(const std::string& source, const std::string& destination) {
  // O_NONBLOCK keeps a FIFO in the source's place from holding the open. A
  // link is not followed, and it, like any source that is not a trusted
  // regular file, counts as a missing one: rights would not make it right.
  Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
  if (in.get() < 0) return Failed(errno == ELOOP ? kFileNotFound : FromErrno(errno));
  struct stat status {};
  if (::fstat(in.get(), &status) != 0) return Failed(FromErrno(errno));
  if (!IsTrustedSource(status)) return Failed(kFileNotFound);

  // The copy is written beside the destination, flushed to disk and renamed
  // into place, so that neither a failure nor a crash leaves a partial file.
  std::string temporary = destination + ".XXXXXX";
  Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (out.get() < 0) {
    // Creating a file only meets ENOENT when a directory is missing.
    return Failed(errno == ENOENT ? kPathNotFound : FromErrno(errno));
  }
  int error = ::fchmod(out.get(), 0644) == 0 ? 0 : errno;
  if (error == 0) error = CopyContents(in.get(), out.get());
  if (error == 0 && ::fsync(out.get()) != 0) error = errno;
  if (const int closed = out.Close(); error == 0) error = closed;
  if (error == 0 && ::rename(temporary.c_str(), destination.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failed(FromErrno(error));
  }
  // The rename itself lasts once the directory is flushed too.
  const std::string directory = destination.substr(0, destination.rfind('/') + 1);
  Descriptor parent(::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_CLOEXEC));
  if (parent.get() >= 0) ::fsync(parent.get());
  return kDone;
}

Status PosixLauncherPlatform::StartProgram(const std::string& application,
                                           const std::string& command_line,
                                           WindowStyle /*style: no windows to show here*/) {
  std::vector<std::string> arguments = SplitCommandLine(command_line);
  if (arguments.empty()) arguments.push_back(application);
  std::vector<char*> argv = ArgumentVector(arguments);
  pid_t child = 0;
  // The executable is `application` itself: no search through PATH.
  const int error =
      ::posix_spawn(&child, application.c_str(), nullptr, nullptr, argv.data(), environ);
  if (error != 0) return Failed(FromErrno(error));
  return kDone;
}

bool PosixLauncherPlatform::ShellExecuteA(std::intptr_t /*owner*/, const std::string& verb,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int /*show*/) {
  if (verb != kElevationVerb) return false;
  // Rights are asked only by the installed launcher, for itself: the prompt
  // and the rule that grants them name that one path.
  const auto target = RealPath(file);
  if (!installed_ || !target || target != RealPath(installed_launcher_)) return false;

  std::vector<std::string> arguments{"pkexec", installed_launcher_};
  for (auto& parameter : SplitCommandLine(parameters)) arguments.push_back(std::move(parameter));
  std::vector<char*> argv = ArgumentVector(arguments);

  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return false;
  pid_t child = 0;
  int error = ::posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  // pkexec is found on PATH; where there is none, nothing happens.
  if (error == 0) error = ::posix_spawnp(&child, "pkexec", &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  // pkexec authorises its parent process, and the converter starts only
  // after the elevated step: the launcher waits for it.
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  // pkexec ends with the step's status, or 126/127 when the rights were refused.
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::unique_ptr<LauncherPlatform> MakeSystemLauncherPlatform(std::span<char* const> arguments,
                                                             std::string system_directory,
                                                             std::string installed_launcher) {
  // The marker first is the elevated step; with anything after it, it is
  // one that no launcher asks for, and it runs nothing.
  const bool elevated_step = arguments.size() >= 2 && arguments[1] == kElevatedStepArgument;
  const bool well_formed = arguments.size() == 2;
  return std::make_unique<PosixLauncherPlatform>(
      std::move(system_directory), std::move(installed_launcher), elevated_step, well_formed);
}

}  // namespace tessaldo::launcher
