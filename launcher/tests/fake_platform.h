#pragma once

// A LauncherPlatform that records every call and answers as a test sets it.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tessaldo/launcher/launcher_platform.h"

namespace tessaldo::launcher {

struct Call {
  std::string operation;
  std::vector<std::string> arguments;

  friend bool operator==(const Call&, const Call&) = default;
  friend void PrintTo(const Call& call, std::ostream* out) {
    *out << call.operation << "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      *out << (i == 0 ? "\"" : ", \"") << call.arguments[i] << "\"";
    }
    *out << ")";
  }
};

class FakePlatform final : public LauncherPlatform {
 public:
  // What GetSystemDirectoryA writes, and what it returns (the text's length
  // unless set).
  std::string system_directory = "C:\\WINDOWS\\system32";
  std::optional<std::size_t> system_directory_result;
  // The program directory; a failure on the calls listed.
  std::string program_directory = "C:\\Programmi\\Tessaldo";
  std::map<int, ErrorNumber> program_directory_failures;  // by call, from 1
  // Attributes by path; a path not listed is missing (53).
  std::map<std::string, Result<std::uint32_t>> attributes;
  std::optional<ErrorNumber> copy_failure;
  std::map<std::string, ErrorNumber> start_failures;  // by application

  std::vector<Call> calls;
  // The buffer as GetSystemDirectoryA received it.
  std::string received_buffer;

  std::size_t GetSystemDirectoryA(std::span<char> buffer) override {
    received_buffer.assign(buffer.begin(), buffer.end());
    calls.push_back({"GetSystemDirectoryA", {std::to_string(buffer.size())}});
    const std::size_t fits = std::min(system_directory.size(), buffer.size());
    std::copy_n(system_directory.begin(), fits, buffer.begin());
    return system_directory_result.value_or(system_directory.size());
  }

  Result<std::string> ProgramDirectory() override {
    calls.push_back({"ProgramDirectory", {}});
    ++program_directory_calls_;
    if (const auto failure = program_directory_failures.find(program_directory_calls_);
        failure != program_directory_failures.end()) {
      return Failed(failure->second);
    }
    return program_directory;
  }

  Result<std::uint32_t> FileAttributes(const std::string& path) override {
    calls.push_back({"FileAttributes", {path}});
    const auto found = attributes.find(path);
    if (found == attributes.end()) return Failed(kFileNotFound);
    return found->second;
  }

  Status FileCopy(const std::string& source, const std::string& destination) override {
    calls.push_back({"FileCopy", {source, destination}});
    if (copy_failure) return Failed(*copy_failure);
    return kDone;
  }

  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override {
    calls.push_back(
        {"StartProgram", {application, command_line, std::to_string(static_cast<int>(style))}});
    if (const auto failure = start_failures.find(application); failure != start_failures.end()) {
      return Failed(failure->second);
    }
    return kDone;
  }

  void ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override {
    calls.push_back(
        {"ShellExecuteA",
         {std::to_string(owner), verb, file, parameters, directory, std::to_string(show)}});
  }

  // The calls of one operation, in order.
  std::vector<Call> CallsOf(const std::string& operation) const {
    std::vector<Call> found;
    for (const auto& call : calls) {
      if (call.operation == operation) found.push_back(call);
    }
    return found;
  }

 private:
  int program_directory_calls_ = 0;
};

}  // namespace tessaldo::launcher
