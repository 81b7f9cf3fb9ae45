// The Key Book operations that change a book, and the diagnostic stream.
#include <climits>
#include <iostream>

#include "keybook/book_file.h"
#include "keybook/key_book.h"

namespace rux {
namespace {

std::ostream* g_diagnostics = nullptr;

const char* const kNotOpened = " Error no se ha abierto el fichero";

// The one way bytes reach a book: open for writing (never creating), then the
// whole record at the place of record number.
WriteResult WriteBytesAt(const std::string& path, int number,
                         const std::function<std::string()>& makeBytes) {
  if (number <= 0) return WriteResult::Failed;
  BookFile file(path, BookFile::Mode::Write);
  if (!file.IsOpen()) {
    Diagnostics() << kNotOpened << std::flush;
    return WriteResult::Failed;
  }
  const std::uint64_t offset = static_cast<std::uint64_t>(number - 1) * RECORD_SIZE;
  return file.WriteAt(offset, makeBytes()) ? WriteResult::Written : WriteResult::Failed;
}

}  // namespace

std::ostream& Diagnostics() { return g_diagnostics ? *g_diagnostics : std::cout; }

void SetDiagnostics(std::ostream* stream) { g_diagnostics = stream; }

WriteResult WriteRecordAt(const std::string& path, int number, const MasterKeyRecord& record) {
  return WriteBytesAt(path, number, [&record] { return RecordBytes(record, Diagnostics()); });
}

WriteResult AppendRecord(const std::string& path, MasterKeyRecord& record) {
  const unsigned count = CountRecords(path);
  record.recordCount = count;
  if (!record.HasBook()) {
    Diagnostics() << "Error no se puede realizar la operacion hasta que abra un libro de claves"
                  << std::flush;
    return WriteResult::Failed;
  }
  if (count >= static_cast<unsigned>(INT_MAX)) return WriteResult::Failed;
  return WriteRecordAt(path, static_cast<int>(count) + 1, record);
}

StoreResult StoreNewRecord(const std::string& path, MasterKeyRecord& record) {
  StoreResult result;
  result.slot = FindFreeSlot(path);
  record.recordNumber = result.slot;
  record.recordCount = CountRecords(path);
  result.write =
      result.slot != 0 ? WriteRecordAt(path, result.slot, record) : AppendRecord(path, record);
  return result;
}

WriteResult MarkDeleted(const std::string& path, int number) {
  return WriteBytesAt(path, number, [] { return DeletedMark(); });
}

}  // namespace rux
