#include "tessaldo/launcher/error_numbers.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tessaldo::launcher {
namespace {

TEST(ErrorNumbers, OnlyPermissionAndAccessErrorsLeadToElevation) {
  EXPECT_TRUE(LeadsToElevation(70));
  EXPECT_TRUE(LeadsToElevation(75));
  for (const ErrorNumber other : {0, 5, 7, 52, 53, 57, 58, 61, 67, 68, 71, 74, 76, -70}) {
    EXPECT_FALSE(LeadsToElevation(other)) << other;
  }
}

TEST(ErrorNumbers, MapsErrnoByWhatAnElevatedRunCouldChange) {
  for (const int error : {EACCES, EPERM, EROFS}) EXPECT_EQ(FromErrno(error), 70) << error;
  for (const int error : {ETXTBSY, EBUSY, EISDIR, ELOOP, EAGAIN}) {
    EXPECT_EQ(FromErrno(error), 75) << error;
  }
  EXPECT_EQ(FromErrno(ENOENT), 53);
  EXPECT_EQ(FromErrno(ENOTDIR), 76);
  EXPECT_EQ(FromErrno(ENAMETOOLONG), 52);
  EXPECT_EQ(FromErrno(EIO), 57);
  EXPECT_EQ(FromErrno(ENOSPC), 61);
  EXPECT_EQ(FromErrno(EMFILE), 67);
  EXPECT_EQ(FromErrno(ENOMEM), 7);
  for (const int error : {0, ENOEXEC, E2BIG, ECHILD, 9999}) {
    EXPECT_FALSE(LeadsToElevation(FromErrno(error))) << error;
  }
}

// Win32 codes by value: ERROR_ACCESS_DENIED 5, ERROR_WRITE_PROTECT 19,
// ERROR_NETWORK_ACCESS_DENIED 65, ERROR_ELEVATION_REQUIRED 740,
// ERROR_PRIVILEGE_NOT_HELD 1314; ERROR_SHARING_VIOLATION 32,
// ERROR_LOCK_VIOLATION 33, ERROR_BUSY 170, ERROR_USER_MAPPED_FILE 1224.
TEST(ErrorNumbers, MapsWin32ErrorsByWhatAnElevatedRunCouldChange) {
  for (const unsigned long code : {5ul, 19ul, 65ul, 740ul, 1314ul}) {
    EXPECT_EQ(FromWin32Error(code), 70) << code;
  }
  for (const unsigned long code : {32ul, 33ul, 170ul, 1224ul}) {
    EXPECT_EQ(FromWin32Error(code), 75) << code;
  }
  EXPECT_EQ(FromWin32Error(2), 53);    // ERROR_FILE_NOT_FOUND
  EXPECT_EQ(FromWin32Error(3), 76);    // ERROR_PATH_NOT_FOUND
  EXPECT_EQ(FromWin32Error(123), 52);  // ERROR_INVALID_NAME
  EXPECT_EQ(FromWin32Error(112), 61);  // ERROR_DISK_FULL
  EXPECT_EQ(FromWin32Error(8), 7);     // ERROR_NOT_ENOUGH_MEMORY
  // ERROR_SUCCESS, ERROR_INVALID_FUNCTION, ERROR_BAD_EXE_FORMAT, unknown
  for (const unsigned long code : {0ul, 1ul, 193ul, 0xFFFFFFFFul}) {
    EXPECT_FALSE(LeadsToElevation(FromWin32Error(code))) << code;
  }
}

}  // namespace
}  // namespace tessaldo::launcher
