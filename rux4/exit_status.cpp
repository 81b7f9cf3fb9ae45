#include "exit_status.h"

#include <sys/stat.h>

#include <cstring>

namespace rux4 {

const char* StatusName(int status) {
  struct Entry {
    int status;
    const char* name;
  };
  static constexpr Entry names[] = {
      {EXIT_OK, "OK"},
      {EXIT_USAGE, "usage error"},
      {EXIT_KEY_BOOK, "Key Book error"},
      {EXIT_NO_SOURCE, "cannot read the source"},
      {EXIT_CANT_CREATE, "cannot create the target"},
      {EXIT_IO_ERROR, "read or write error"},
      {EXIT_WRONG_KEY, "wrong Master Key"},
      {EXIT_AUTH_FAILED, "authentication failed"},
  };
  for (const Entry& entry : names) {
    if (entry.status == status) return entry.name;
  }
  return "failed";
}

std::string WithReason(const std::string& what, int errnum) {
  return what + ": " + std::strerror(errnum);
}

const char* NotRegular(unsigned mode) {
  return S_ISDIR(mode) ? " is a folder" : " is not a regular file";
}

}  // namespace rux4
