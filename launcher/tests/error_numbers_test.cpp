// Which failures of the system make the launcher ask for rights: errno and
// Win32 codes against the numbers of the error trap.
#include "tessaldo/launcher/error_numbers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <initializer_list>

namespace tessaldo::launcher {
namespace {

// Each number with the errno and Win32 codes (winerror.h's values, so that the
// table runs away from Windows too) that become it; only 70 and 75 ask.
TEST(ErrorNumbers, EachFailureBecomesItsNumber) {
  const struct {
    ErrorNumber number;
    std::initializer_list<int> errnos;
    std::initializer_list<unsigned long> win32;
  } rows[] = {
      // ACCESS_DENIED, WRITE_PROTECT, NETWORK_ACCESS_DENIED, PRIVILEGE_NOT_HELD,
      // ACCESS_DISABLED_BY_POLICY, ELEVATION_REQUIRED
      {70, {EACCES, EPERM, EROFS}, {5, 19, 65, 1314, 1260, 740}},
      // SHARING_VIOLATION, LOCK_VIOLATION, USER_MAPPED_FILE, BUSY, DRIVE_LOCKED,
      // CURRENT_DIRECTORY, DIRECTORY
      {75, {EBUSY, ETXTBSY, EISDIR, ELOOP, EAGAIN, EWOULDBLOCK}, {32, 33, 1224, 170, 108, 16, 267}},
      {53, {ENOENT}, {2, 126}},          // FILE_NOT_FOUND, MOD_NOT_FOUND
      {76, {ENOTDIR}, {3, 15, 53, 67}},  // PATH_NOT_FOUND, INVALID_DRIVE, BAD_NETPATH, BAD_NET_NAME
      {61, {ENOSPC, EFBIG}, {112, 39}},  // DISK_FULL, HANDLE_DISK_FULL
      {58, {EEXIST}, {80, 183}},         // FILE_EXISTS, ALREADY_EXISTS
      {52, {ENAMETOOLONG}, {123, 161, 206}},  // INVALID_NAME, BAD_PATHNAME, FILENAME_EXCED_RANGE
      {7, {ENOMEM}, {8, 14}},                 // NOT_ENOUGH_MEMORY, OUTOFMEMORY
      {57, {EIO}, {23, 29, 30, 31}},          // CRC, WRITE_FAULT, READ_FAULT, GEN_FAILURE
      {67, {EMFILE, ENFILE}, {4}},            // TOO_MANY_OPEN_FILES
      {68, {ENODEV}, {21, 55}},               // NOT_READY, DEV_NOT_EXIST
      {5, {EINTR, 0, -1, 99999}, {1, 6, 0}},  // INVALID_FUNCTION, INVALID_HANDLE, no error
  };
  for (const auto& row : rows) {
    for (const int code : row.errnos) {
      EXPECT_EQ(FromErrno(code), row.number) << "errno " << code;
    }
    for (const unsigned long code : row.win32) {
      EXPECT_EQ(FromWin32Error(code), row.number) << "Win32 " << code;
    }
  }
}

}  // namespace
}  // namespace tessaldo::launcher
