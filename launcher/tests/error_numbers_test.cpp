// Which failures of the system make the launcher ask for rights: errno and
// Win32 codes against the numbers of the error trap.
#include "tessaldo/launcher/error_numbers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
// winerror.h's values, for the same table away from Windows.
// clang-format off
enum : unsigned long {
  ERROR_INVALID_FUNCTION = 1, ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5, ERROR_INVALID_HANDLE = 6, ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_INVALID_DRIVE = 15, ERROR_CURRENT_DIRECTORY = 16, ERROR_WRITE_PROTECT = 19,
  ERROR_SHARING_VIOLATION = 32, ERROR_LOCK_VIOLATION = 33, ERROR_HANDLE_DISK_FULL = 39,
  ERROR_BAD_NETPATH = 53, ERROR_NETWORK_ACCESS_DENIED = 65, ERROR_BAD_NET_NAME = 67,
  ERROR_FILE_EXISTS = 80, ERROR_DRIVE_LOCKED = 108, ERROR_DISK_FULL = 112,
  ERROR_INVALID_NAME = 123, ERROR_MOD_NOT_FOUND = 126, ERROR_BAD_PATHNAME = 161,
  ERROR_BUSY = 170, ERROR_ALREADY_EXISTS = 183, ERROR_DIRECTORY = 267,
  ERROR_USER_MAPPED_FILE = 1224, ERROR_ACCESS_DISABLED_BY_POLICY = 1260,
  ERROR_PRIVILEGE_NOT_HELD = 1314,
};
// clang-format on
#endif

namespace tessaldo::launcher {
namespace {

constexpr unsigned long kElevationRequired = 740;  // missing from MinGW-w64's winerror.h

struct Case {
  const char* name;
  long code;
  ErrorNumber number;  // what the trap reads
  bool asks;           // whether the user's run then asks for rights
};

// The codes that matter: no right to write, a read-only disk, the file or
// its folder missing, the file in use, no room; and some that mean nothing here.
#define ERRNO_CASE(code, number, asks) \
  { #code, code, number, asks }
#define WIN32_CASE(code, number, asks) \
  { #code, ERROR_##code, number, asks }
// clang-format off
constexpr Case kErrnoCases[] = {
    ERRNO_CASE(EACCES, 70, true),  ERRNO_CASE(EPERM, 70, true),     ERRNO_CASE(EROFS, 70, true),
    ERRNO_CASE(EBUSY, 75, true),   ERRNO_CASE(ETXTBSY, 75, true),   ERRNO_CASE(EISDIR, 75, true),
    ERRNO_CASE(ELOOP, 75, true),   ERRNO_CASE(EAGAIN, 75, true),    ERRNO_CASE(EWOULDBLOCK, 75, true),
    ERRNO_CASE(ENOENT, 53, false), ERRNO_CASE(ENOTDIR, 76, false),  ERRNO_CASE(ENOSPC, 61, false),
    ERRNO_CASE(EFBIG, 61, false),  ERRNO_CASE(EEXIST, 58, false),   ERRNO_CASE(EIO, 57, false),
    ERRNO_CASE(EMFILE, 67, false), ERRNO_CASE(ENFILE, 67, false),   ERRNO_CASE(ENAMETOOLONG, 52, false),
    ERRNO_CASE(ENOMEM, 7, false),  ERRNO_CASE(ENODEV, 68, false),   ERRNO_CASE(EINTR, 5, false),
    {"no error", 0, 5, false},     {"negative", -1, 5, false},      {"unknown", 99999, 5, false},
};
constexpr Case kWin32Cases[] = {
    WIN32_CASE(ACCESS_DENIED, 70, true),         WIN32_CASE(WRITE_PROTECT, 70, true),
    WIN32_CASE(NETWORK_ACCESS_DENIED, 70, true), WIN32_CASE(PRIVILEGE_NOT_HELD, 70, true),
    WIN32_CASE(ACCESS_DISABLED_BY_POLICY, 70, true),
    {"ELEVATION_REQUIRED", kElevationRequired, 70, true},
    WIN32_CASE(SHARING_VIOLATION, 75, true),     WIN32_CASE(LOCK_VIOLATION, 75, true),
    WIN32_CASE(USER_MAPPED_FILE, 75, true),      WIN32_CASE(BUSY, 75, true),
    WIN32_CASE(DRIVE_LOCKED, 75, true),          WIN32_CASE(CURRENT_DIRECTORY, 75, true),
    WIN32_CASE(DIRECTORY, 75, true),             WIN32_CASE(FILE_NOT_FOUND, 53, false),
    WIN32_CASE(MOD_NOT_FOUND, 53, false),        WIN32_CASE(PATH_NOT_FOUND, 76, false),
    WIN32_CASE(INVALID_DRIVE, 76, false),        WIN32_CASE(BAD_NETPATH, 76, false),
    WIN32_CASE(BAD_NET_NAME, 76, false),         WIN32_CASE(DISK_FULL, 61, false),
    WIN32_CASE(HANDLE_DISK_FULL, 61, false),     WIN32_CASE(FILE_EXISTS, 58, false),
    WIN32_CASE(ALREADY_EXISTS, 58, false),       WIN32_CASE(INVALID_NAME, 52, false),
    WIN32_CASE(BAD_PATHNAME, 52, false),         WIN32_CASE(NOT_ENOUGH_MEMORY, 7, false),
    WIN32_CASE(INVALID_FUNCTION, 5, false),      WIN32_CASE(INVALID_HANDLE, 5, false),
    {"no error", 0, 5, false},
};
// clang-format on

// Every errno and Win32 code becomes one of the trap's numbers, and only 70
// and 75 lead to the elevated restart.
TEST(ErrorNumbers, EachFailureBecomesItsNumberAndOnlyRightsAndAccessAskForElevation) {
  for (const Case& c : kErrnoCases) {
    EXPECT_EQ(FromErrno(static_cast<int>(c.code)), c.number) << c.name;
    EXPECT_EQ(LeadsToElevation(FromErrno(static_cast<int>(c.code))), c.asks) << c.name;
  }
  for (const Case& c : kWin32Cases) {
    EXPECT_EQ(FromWin32Error(static_cast<unsigned long>(c.code)), c.number) << c.name;
    EXPECT_EQ(LeadsToElevation(FromWin32Error(static_cast<unsigned long>(c.code))), c.asks)
        << c.name;
  }

  const std::set<ErrorNumber> known{5, 7, 52, 53, 57, 58, 61, 67, 68, 70, 75, 76};
  for (int code = -2; code < 20000; ++code) {
    EXPECT_TRUE(known.contains(FromErrno(code))) << "errno " << code;
    EXPECT_TRUE(known.contains(FromWin32Error(static_cast<unsigned long>(code))))
        << "Win32 " << code;
  }
  for (ErrorNumber number = -1; number <= 100; ++number) {
    EXPECT_EQ(LeadsToElevation(number), number == 70 || number == 75) << number;
  }
}

}  // namespace
}  // namespace tessaldo::launcher
