#pragma once

// A LauncherPlatform that records every call and answers as a test sets it.

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tessaldo/launcher/launcher_platform.h"

namespace tessaldo::launcher {

// A recorded call: the operation's name, then its arguments.
using Call = std::vector<std::string>;

class FakePlatform final : public LauncherPlatform {
 public:
  RunKind kind = RunKind::kUser;
  // What GetSystemDirectoryA writes, and what it returns (the length unless set).
  std::string system_directory, program_directory;
  std::optional<std::size_t> system_directory_result;
  std::map<int, ErrorNumber> program_directory_failures;  // by call, from 1
  // Attributes by path; a path not listed is missing (53).
  std::map<std::string, Result<std::uint32_t>> attributes;
  std::optional<ErrorNumber> copy_failure;
  std::map<std::string, ErrorNumber> start_failures;  // by application
  bool elevation_succeeds = true;

  std::vector<Call> calls;
  std::string received_buffer;  // as GetSystemDirectoryA received it

  RunKind Kind() override { return kind; }
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override {
    received_buffer.assign(buffer.begin(), buffer.end());
    calls.push_back({"GetSystemDirectoryA", std::to_string(buffer.size())});
    std::copy_n(system_directory.begin(), std::min(system_directory.size(), buffer.size()),
                buffer.begin());
    return system_directory_result.value_or(system_directory.size());
  }
  Result<std::string> ProgramDirectory() override {
    calls.push_back({"ProgramDirectory"});
    if (auto failure = program_directory_failures.find(++program_directory_calls_);
        failure != program_directory_failures.end()) {
      return Failed(failure->second);
    }
    return program_directory;
  }
  Result<std::uint32_t> FileAttributes(const std::string& path) override {
    calls.push_back({"FileAttributes", path});
    const auto found = attributes.find(path);
    return found == attributes.end() ? Failed(kFileNotFound) : found->second;
  }
  Status FileCopy(const std::string& source, const std::string& destination) override {
    calls.push_back({"FileCopy", source, destination});
    return copy_failure ? Status(Failed(*copy_failure)) : Status(kDone);
  }
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override {
    calls.push_back(
        {"StartProgram", application, command_line, std::to_string(static_cast<int>(style))});
    const auto failure = start_failures.find(application);
    return failure == start_failures.end() ? Status(kDone) : Status(Failed(failure->second));
  }
  bool ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override {
    calls.push_back({"ShellExecuteA", std::to_string(owner), verb, file, parameters, directory,
                     std::to_string(show)});
    return elevation_succeeds;
  }

 private:
  int program_directory_calls_ = 0;
};

}  // namespace tessaldo::launcher
