#pragma once
// The engine's exit statuses and the failure that ends a run with one of them.
#include <stdexcept>
#include <string>

namespace rux4 {

enum ExitStatus : int {
  EXIT_OK = 0,
  EXIT_USAGE = 64,        // wrong items, or source and target are the same file
  EXIT_KEY_BOOK = 65,     // Key Book missing or unreadable, no such or a deleted record
  EXIT_NO_SOURCE = 66,    // source (or verify file) cannot be opened for reading
  EXIT_CANT_CREATE = 73,  // target (or verify file) cannot be created
  EXIT_IO_ERROR = 74,     // read or write error during the run
  EXIT_WRONG_KEY = 77,    // the Master Key does not match the verify file
  EXIT_AUTH_FAILED = 78,  // encoded file is not authentic: wrong key, changed or truncated
};

// Short name of a status for the final line, e.g. "authentication failed".
const char* StatusName(int status);

// Ends a run: caught once, reported on standard error, turned into the exit status.
class Failure : public std::runtime_error {
 public:
  Failure(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

// "<what>: <strerror(errnum)>"
std::string WithReason(const std::string& what, int errnum);

// What a file of this mode (st_mode) that is not a regular file is:
// " is a folder" or " is not a regular file".
const char* NotRegular(unsigned mode);

}  // namespace rux4
