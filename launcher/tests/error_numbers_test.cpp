// Which failures of the system make the launcher ask for rights: errno and Win32 codes (by value,
// so that the table runs away from Windows too) against the numbers of the error trap.
#include "tessaldo/launcher/error_numbers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <initializer_list>

namespace tessaldo::launcher {
namespace {

// Each number with the codes that become it; only 70 and 75 ask.
TEST(ErrorNumbers, EachFailureBecomesItsNumber) {
  const struct {
    ErrorNumber number;
    std::initializer_list<int> errnos;
    std::initializer_list<unsigned long> win32;
  } rows[] = {
      {70, {EACCES, EPERM, EROFS}, {5, 19, 65, 1314, 1260, 740}},
      {75, {EBUSY, ETXTBSY, EISDIR, ELOOP, EAGAIN, EWOULDBLOCK}, {32, 33, 1224, 170, 108, 16, 267}},
      {53, {ENOENT}, {2, 126}},
      {76, {ENOTDIR}, {3, 15, 53, 67}},
      {61, {ENOSPC, EFBIG}, {112, 39}},
      {58, {EEXIST}, {80, 183}},
      {52, {ENAMETOOLONG}, {123, 161, 206}},
      {7, {ENOMEM}, {8, 14}},
      {57, {EIO}, {23, 29, 30, 31}},
      {67, {EMFILE, ENFILE}, {4}},
      {68, {ENODEV}, {21, 55}},
      {5, {EINTR, 0, -1, 99999}, {1, 6, 0}}};  // 0: no error
  for (const auto& row : rows) {
    for (const int code : row.errnos) EXPECT_EQ(FromErrno(code), row.number) << "errno " << code;
    for (const unsigned long code : row.win32) {
      EXPECT_EQ(FromWin32Error(code), row.number) << "Win32 " << code;
    }
  }
}

}  // namespace
}  // namespace tessaldo::launcher
