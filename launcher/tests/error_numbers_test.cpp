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
enum : unsigned long {
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5,
  ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_WRITE_PROTECT = 19,
  ERROR_SHARING_VIOLATION = 32,
  ERROR_LOCK_VIOLATION = 33,
  ERROR_HANDLE_DISK_FULL = 39,
  ERROR_BAD_NETPATH = 53,
  ERROR_DISK_FULL = 112,
  ERROR_INVALID_NAME = 123,
  ERROR_BUSY = 170,
  ERROR_ALREADY_EXISTS = 183,
  ERROR_USER_MAPPED_FILE = 1224,
  ERROR_PRIVILEGE_NOT_HELD = 1314,
  ERROR_INVALID_FUNCTION = 1,
  ERROR_INVALID_HANDLE = 6,
};
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
constexpr Case kErrnoCases[] = {
    {"EACCES", EACCES, 70, true},      {"EPERM", EPERM, 70, true},
    {"EROFS", EROFS, 70, true},        {"EBUSY", EBUSY, 75, true},
    {"ETXTBSY", ETXTBSY, 75, true},    {"EISDIR", EISDIR, 75, true},
    {"ELOOP", ELOOP, 75, true},        {"EAGAIN", EAGAIN, 75, true},
    {"EWOULDBLOCK", EWOULDBLOCK, 75, true},
    {"ENOENT", ENOENT, 53, false},     {"ENOTDIR", ENOTDIR, 76, false},
    {"ENOSPC", ENOSPC, 61, false},     {"EFBIG", EFBIG, 61, false},
    {"EEXIST", EEXIST, 58, false},     {"EIO", EIO, 57, false},
    {"EMFILE", EMFILE, 67, false},     {"ENFILE", ENFILE, 67, false},
    {"ENAMETOOLONG", ENAMETOOLONG, 52, false},
    {"ENOMEM", ENOMEM, 7, false},      {"ENODEV", ENODEV, 68, false},
    {"EINTR", EINTR, 5, false},        {"no error", 0, 5, false},
    {"negative", -1, 5, false},        {"unknown", 99999, 5, false},
};

constexpr Case kWin32Cases[] = {
    {"ACCESS_DENIED", ERROR_ACCESS_DENIED, 70, true},
    {"WRITE_PROTECT", ERROR_WRITE_PROTECT, 70, true},
    {"PRIVILEGE_NOT_HELD", ERROR_PRIVILEGE_NOT_HELD, 70, true},
    {"ELEVATION_REQUIRED", kElevationRequired, 70, true},
    {"SHARING_VIOLATION", ERROR_SHARING_VIOLATION, 75, true},
    {"LOCK_VIOLATION", ERROR_LOCK_VIOLATION, 75, true},
    {"USER_MAPPED_FILE", ERROR_USER_MAPPED_FILE, 75, true},
    {"BUSY", ERROR_BUSY, 75, true},
    {"FILE_NOT_FOUND", ERROR_FILE_NOT_FOUND, 53, false},
    {"PATH_NOT_FOUND", ERROR_PATH_NOT_FOUND, 76, false},
    {"BAD_NETPATH", ERROR_BAD_NETPATH, 76, false},
    {"DISK_FULL", ERROR_DISK_FULL, 61, false},
    {"HANDLE_DISK_FULL", ERROR_HANDLE_DISK_FULL, 61, false},
    {"ALREADY_EXISTS", ERROR_ALREADY_EXISTS, 58, false},
    {"INVALID_NAME", ERROR_INVALID_NAME, 52, false},
    {"NOT_ENOUGH_MEMORY", ERROR_NOT_ENOUGH_MEMORY, 7, false},
    {"INVALID_FUNCTION", ERROR_INVALID_FUNCTION, 5, false},
    {"INVALID_HANDLE", ERROR_INVALID_HANDLE, 5, false},
    {"no error", 0, 5, false},
};

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
