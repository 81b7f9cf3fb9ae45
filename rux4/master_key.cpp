#include "master_key.h"

#include <sodium.h>
#include <sys/stat.h>

#include <cerrno>
#include <ostream>

#include "exit_status.h"
#include "keybook/key_book.h"

namespace rux4 {

namespace {

// Sends the Key Book code's diagnostics nowhere while it lives.
class DiagnosticsSilenced {
 public:
  DiagnosticsSilenced() { rux::SetDiagnostics(&nowhere_); }
  ~DiagnosticsSilenced() { rux::SetDiagnostics(nullptr); }

 private:
  std::ostream nowhere_{nullptr};
};

void Wipe(rux::FieldTexts& fields) {
  for (std::string& field : fields) sodium_memzero(field.data(), field.size());
}

}  // namespace

SecretBytes ReadMasterKeyMaterial(const std::string& bookPath, int number) {
  const std::string book = "the Key Book \"" + bookPath + "\"";
  struct stat info {};
  if (::stat(bookPath.c_str(), &info) != 0) {
    throw Failure(EXIT_KEY_BOOK, WithReason("cannot open " + book, errno));
  }
  if (!S_ISREG(info.st_mode)) {  // reading a FIFO would wait for a writer
    throw Failure(EXIT_KEY_BOOK, book + NotRegular(info.st_mode));
  }

  rux::Lookup lookup;
  unsigned count = 0;
  {
    DiagnosticsSilenced silenced;
    lookup = rux::ReadFields(bookPath, number);
    if (!lookup.record) count = rux::CountRecords(bookPath);
  }
  if (lookup.open != rux::OpenResult::Ok) throw Failure(EXIT_KEY_BOOK, "cannot open " + book);
  if (!lookup.record) {
    throw Failure(EXIT_KEY_BOOK, book + " has no Master Key number " + std::to_string(number) +
                                     " (it holds " + std::to_string(count) + ")");
  }
  if (lookup.record->deleted) {
    Wipe(lookup.record->fields);
    throw Failure(EXIT_KEY_BOOK,
                  "Master Key number " + std::to_string(number) + " of " + book + " is deleted");
  }
  SecretBytes material = KeyMaterial(lookup.record->fields);
  Wipe(lookup.record->fields);
  return material;
}

}  // namespace rux4
