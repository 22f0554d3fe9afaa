// How the system's failure codes become the launcher's error numbers. Only
// 70 and 75 lead to the elevated restart; each other number ends the run.
//
//   number                        errno (POSIX)              Win32 (GetLastError)
//   70 permission denied          EACCES EPERM EROFS         ACCESS_DENIED WRITE_PROTECT
//                                                            NETWORK_ACCESS_DENIED
//                                                            PRIVILEGE_NOT_HELD
//                                                            ELEVATION_REQUIRED
//                                                            ACCESS_DISABLED_BY_POLICY
//   75 path/file access error     ETXTBSY EBUSY EISDIR       SHARING_VIOLATION LOCK_VIOLATION
//                                 ELOOP EAGAIN               USER_MAPPED_FILE BUSY
//                                                            DRIVE_LOCKED CURRENT_DIRECTORY
//                                                            DIRECTORY
//   53 file not found             ENOENT                     FILE_NOT_FOUND MOD_NOT_FOUND
//   76 path not found             ENOTDIR (ENOENT of a       PATH_NOT_FOUND INVALID_DRIVE
//                                 missing directory)         BAD_NETPATH BAD_NET_NAME
//   52 bad file name              ENAMETOOLONG EINVAL        INVALID_NAME BAD_PATHNAME
//                                                            FILENAME_EXCED_RANGE
//   57 device I/O error           EIO                        CRC READ_FAULT WRITE_FAULT
//                                                            GEN_FAILURE
//   58 file already exists        EEXIST                     FILE_EXISTS ALREADY_EXISTS
//   61 disk full                  ENOSPC EDQUOT EFBIG        DISK_FULL HANDLE_DISK_FULL
//   67 too many files             EMFILE ENFILE              TOO_MANY_OPEN_FILES
//   68 device unavailable         ENXIO ENODEV               NOT_READY DEV_NOT_EXIST
//    7 out of memory              ENOMEM                     NOT_ENOUGH_MEMORY OUTOFMEMORY
//    5 invalid call               everything else            everything else
#include "tessaldo/launcher/error_numbers.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaldo::launcher {
namespace {

// The Win32 codes of the table, by value, so that the table also builds and
// is tested away from Windows.
enum Win32Code : unsigned long {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorNotEnoughMemory = 8,
  kErrorOutOfMemory = 14,
  kErrorInvalidDrive = 15,
  kErrorCurrentDirectory = 16,
  kErrorWriteProtect = 19,
  kErrorNotReady = 21,
  kErrorCrc = 23,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorGenFailure = 31,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleDiskFull = 39,
  kErrorBadNetpath = 53,
  kErrorDevNotExist = 55,
  kErrorNetworkAccessDenied = 65,
  kErrorBadNetName = 67,
  kErrorFileExists = 80,
  kErrorDriveLocked = 108,
  kErrorDiskFull = 112,
  kErrorInvalidName = 123,
  kErrorModNotFound = 126,
  kErrorBadPathname = 161,
  kErrorBusy = 170,
  kErrorAlreadyExists = 183,
  kErrorFilenameExcedRange = 206,
  kErrorDirectory = 267,
  kErrorUserMappedFile = 1224,
  kErrorAccessDisabledByPolicy = 1260,
  kErrorPrivilegeNotHeld = 1314,
  kErrorElevationRequired = 740,
};

#ifdef _WIN32
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kErrorTooManyOpenFiles == ERROR_TOO_MANY_OPEN_FILES);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kErrorOutOfMemory == ERROR_OUTOFMEMORY);
static_assert(kErrorInvalidDrive == ERROR_INVALID_DRIVE);
static_assert(kErrorCurrentDirectory == ERROR_CURRENT_DIRECTORY);
static_assert(kErrorWriteProtect == ERROR_WRITE_PROTECT);
static_assert(kErrorNotReady == ERROR_NOT_READY);
static_assert(kErrorCrc == ERROR_CRC);
static_assert(kErrorWriteFault == ERROR_WRITE_FAULT);
static_assert(kErrorReadFault == ERROR_READ_FAULT);
static_assert(kErrorGenFailure == ERROR_GEN_FAILURE);
static_assert(kErrorSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(kErrorLockViolation == ERROR_LOCK_VIOLATION);
static_assert(kErrorHandleDiskFull == ERROR_HANDLE_DISK_FULL);
static_assert(kErrorBadNetpath == ERROR_BAD_NETPATH);
static_assert(kErrorDevNotExist == ERROR_DEV_NOT_EXIST);
static_assert(kErrorNetworkAccessDenied == ERROR_NETWORK_ACCESS_DENIED);
static_assert(kErrorBadNetName == ERROR_BAD_NET_NAME);
static_assert(kErrorFileExists == ERROR_FILE_EXISTS);
static_assert(kErrorDriveLocked == ERROR_DRIVE_LOCKED);
static_assert(kErrorDiskFull == ERROR_DISK_FULL);
static_assert(kErrorInvalidName == ERROR_INVALID_NAME);
static_assert(kErrorModNotFound == ERROR_MOD_NOT_FOUND);
static_assert(kErrorBadPathname == ERROR_BAD_PATHNAME);
static_assert(kErrorBusy == ERROR_BUSY);
static_assert(kErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE);
static_assert(kErrorDirectory == ERROR_DIRECTORY);
static_assert(kErrorUserMappedFile == ERROR_USER_MAPPED_FILE);
static_assert(kErrorAccessDisabledByPolicy == ERROR_ACCESS_DISABLED_BY_POLICY);
static_assert(kErrorPrivilegeNotHeld == ERROR_PRIVILEGE_NOT_HELD);
// ERROR_ELEVATION_REQUIRED (740) is missing from MinGW-w64's winerror.h.
#endif

}  // namespace

ErrorNumber FromErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return kPermissionDenied;
    case ETXTBSY:
    case EBUSY:
    case EISDIR:
    case ELOOP:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return kPathFileAccessError;
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case ENAMETOOLONG:
    case EINVAL:
      return kBadFileName;
    case EIO:
      return kDeviceIoError;
    case EEXIST:
      return kFileAlreadyExists;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
      return kDiskFull;
    case EMFILE:
    case ENFILE:
      return kTooManyFiles;
    case ENXIO:
    case ENODEV:
      return kDeviceUnavailable;
    case ENOMEM:
      return kOutOfMemory;
    default:
      return kInvalidCall;
  }
}

ErrorNumber FromWin32Error(unsigned long code) {
  switch (code) {
    case kErrorAccessDenied:
    case kErrorWriteProtect:
    case kErrorNetworkAccessDenied:
    case kErrorPrivilegeNotHeld:
    case kErrorElevationRequired:
    case kErrorAccessDisabledByPolicy:
      return kPermissionDenied;
    case kErrorSharingViolation:
    case kErrorLockViolation:
    case kErrorUserMappedFile:
    case kErrorBusy:
    case kErrorDriveLocked:
    case kErrorCurrentDirectory:
    case kErrorDirectory:
      return kPathFileAccessError;
    case kErrorFileNotFound:
    case kErrorModNotFound:
      return kFileNotFound;
    case kErrorPathNotFound:
    case kErrorInvalidDrive:
    case kErrorBadNetpath:
    case kErrorBadNetName:
      return kPathNotFound;
    case kErrorInvalidName:
    case kErrorBadPathname:
    case kErrorFilenameExcedRange:
      return kBadFileName;
    case kErrorCrc:
    case kErrorReadFault:
    case kErrorWriteFault:
    case kErrorGenFailure:
      return kDeviceIoError;
    case kErrorFileExists:
    case kErrorAlreadyExists:
      return kFileAlreadyExists;
    case kErrorDiskFull:
    case kErrorHandleDiskFull:
      return kDiskFull;
    case kErrorTooManyOpenFiles:
      return kTooManyFiles;
    case kErrorNotReady:
    case kErrorDevNotExist:
      return kDeviceUnavailable;
    case kErrorNotEnoughMemory:
    case kErrorOutOfMemory:
      return kOutOfMemory;
    default:
      return kInvalidCall;
  }
}

}  // namespace tessaldo::launcher
