#pragma once

namespace tessaldo::launcher {

// The number of a failure, as the start procedure's error trap reads it.
using ErrorNumber = int;

inline constexpr ErrorNumber kInvalidCall = 5;
inline constexpr ErrorNumber kOutOfMemory = 7;
inline constexpr ErrorNumber kBadFileName = 52;
inline constexpr ErrorNumber kFileNotFound = 53;
inline constexpr ErrorNumber kDeviceIoError = 57;
inline constexpr ErrorNumber kFileAlreadyExists = 58;
inline constexpr ErrorNumber kDiskFull = 61;
inline constexpr ErrorNumber kTooManyFiles = 67;
inline constexpr ErrorNumber kDeviceUnavailable = 68;
inline constexpr ErrorNumber kPermissionDenied = 70;
inline constexpr ErrorNumber kPathFileAccessError = 75;
inline constexpr ErrorNumber kPathNotFound = 76;

// 70 and 75: the failures that an elevated restart may cure.
constexpr bool LeadsToElevation(ErrorNumber number) {
  return number == kPermissionDenied || number == kPathFileAccessError;
}

// The number of an errno value (POSIX layer).
ErrorNumber FromErrno(int error);

// The number of a Win32 error code (GetLastError).
ErrorNumber FromWin32Error(unsigned long code);

}  // namespace tessaldo::launcher
