// The Key Book operations that change a book, and the diagnostic stream.
// Each holds the book alone from its first read to its last write.
#include <cerrno>
#include <climits>
#include <ostream>

#include "keybook/book_file.h"
#include "keybook/key_book.h"

namespace rux {
namespace {

std::ostream* g_diagnostics = nullptr;

const char* const kNotOpened = " Error no se ha abierto el fichero";

WriteResult NotOpened(const BookFile& file) {
  Diagnostics() << kNotOpened << std::flush;
  return {file.Error() == EWOULDBLOCK ? WriteResult::InUse : WriteResult::Failed, file.Error()};
}

WriteResult WriteBytes(BookFile& file, int number, std::string_view bytes) {
  if (file.WriteAt(RecordOffset(number), bytes)) return WriteResult::Written;
  return {WriteResult::Failed, file.Error()};
}

// The record after the last whole record, over any bytes a write cut short
// left there.
WriteResult Append(BookFile& file, MasterKeyRecord& record) {
  const unsigned count = file.Records();
  record.recordCount = count;
  if (!record.HasBook()) {
    Diagnostics() << "Error no se puede realizar la operacion hasta que abra un libro de claves"
                  << std::flush;
    return WriteResult::Failed;
  }
  if (count >= static_cast<unsigned>(INT_MAX)) return {WriteResult::Failed, EFBIG};
  return WriteBytes(file, static_cast<int>(count) + 1, RecordBytes(record, Diagnostics()));
}

}  // namespace

std::ostream& Diagnostics() {
  static std::ostream nowhere(nullptr);
  return g_diagnostics ? *g_diagnostics : nowhere;
}

void SetDiagnostics(std::ostream* stream) { g_diagnostics = stream; }

WriteResult ChangeRecord(
    const std::string& path, int number,
    const std::function<std::optional<std::string>(std::string_view storedBytes)>& change) {
  if (number <= 0) return WriteResult::Failed;
  BookFile file(path, BookFile::Mode::Write);
  if (!file.IsOpen()) return NotOpened(file);
  WipedText stored(RECORD_SIZE);
  if (!file.ReadWholeRecord(number, stored.text.data())) stored.text.clear();
  std::optional<std::string> bytes = change(stored.text);
  if (!bytes) return WriteResult::Unchanged;
  const WipedText written{std::move(*bytes)};
  return WriteBytes(file, number, written.text);
}

WriteResult WriteRecordAt(const std::string& path, int number, const MasterKeyRecord& record) {
  return ChangeRecord(path, number,
                      [&record](std::string_view) { return RecordBytes(record, Diagnostics()); });
}

WriteResult AppendRecord(const std::string& path, MasterKeyRecord& record) {
  BookFile file(path, BookFile::Mode::WriteCreating);
  if (!file.IsOpen()) return NotOpened(file);
  return Append(file, record);
}

StoreResult StoreNewRecord(const std::string& path, MasterKeyRecord& record) {
  StoreResult result;
  // A book that does not exist yet comes into being here, empty.
  BookFile file(path, BookFile::Mode::WriteCreating);
  if (!file.IsOpen()) {
    Diagnostics() << '\n';
    result.write = NotOpened(file);
    return result;
  }
  result.slot = FirstFreeSlot(file);
  record.recordNumber = result.slot;
  if (result.slot == 0) {
    result.write = Append(file, record);
    return result;
  }
  record.recordCount = file.Records();
  result.write = WriteBytes(file, result.slot, RecordBytes(record, Diagnostics()));
  return result;
}

WriteResult MarkDeleted(const std::string& path, int number,
                        const std::function<bool(std::string_view storedBytes)>& isShown) {
  return ChangeRecord(path, number, [&](std::string_view stored) -> std::optional<std::string> {
    if (isShown && !isShown(stored)) return std::nullopt;
    return DeletedMark();
  });
}

}  // namespace rux
