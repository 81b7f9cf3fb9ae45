// The Key Book operations that read a book: counting, names, fields, loading.
// Each reads the book in one sequential pass with large reads.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ostream>

#include "keybook/book_file.h"
#include "keybook/key_book.h"
#include "platform/text/cp1252.h"

namespace rux {
namespace {

using Mode = BookFile::Mode;

std::string DecimalText(std::uint64_t value) { return std::to_string(value); }

}  // namespace

OpenResult OpenResultOf(const BookFile& file) {
  if (file.IsOpen()) return OpenResult::Ok;
  return file.Error() == EWOULDBLOCK ? OpenResult::InUse : OpenResult::NotAccessible;
}

NamedRecord NamedRecordOf(std::uint64_t number, std::string_view recordBytes) {
  NamedRecord record;
  record.number = static_cast<int>(number);
  record.name = Cp1252ToUtf8(StoredText(recordBytes, 0));
  for (int n = 1; n <= KEY_COUNT; ++n) {
    record.fields[n - 1] = Cp1252ToUtf8(StoredText(recordBytes, KeyOffset(n)));
  }
  record.fields[10] = Cp1252ToUtf8(StoredText(recordBytes, ENLARGE_OFFSET));
  record.fields[11] = Cp1252ToUtf8(StoredText(recordBytes, SCRAMBLE_OFFSET));
  record.deleted = IsDeletedRecord(recordBytes);
  return record;
}

bool IsDeletedRecord(std::string_view recordBytes) {
  static const std::string kMarkLetters(RECORD_SIZE - 1, 'n');
  return recordBytes.substr(0, kMarkLetters.size()) == kMarkLetters;
}

unsigned CountRecords(const std::string& path) {
  return BookFile(path, Mode::ReadCreating).Records();
}

bool ForEachName(const std::string& path,
                 const std::function<void(std::uint64_t number, const NameEntry& entry)>& onName,
                 OpenResult* open) {
  BookFile file(path, Mode::ReadExisting);
  if (open) *open = OpenResultOf(file);
  if (!file.IsOpen()) return false;
  NameEntry entry;
  ForEachRecord(file, [&](std::uint64_t number, std::string_view bytes) {
    const std::string_view name = StoredText(bytes, 0);
    // Most names are ASCII: taken as they are, into the same string each time.
    if (std::all_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      entry.name.assign(name);
    else
      entry.name = Cp1252ToUtf8(name);
    entry.deleted = bytes[0] == 'n' && IsDeletedRecord(bytes);
    onName(number, entry);
    return true;
  });
  return true;
}

std::optional<std::vector<NameEntry>> ListNames(const std::string& path, OpenResult* open) {
  std::vector<NameEntry> names;
  if (!ForEachName(
          path, [&names](std::uint64_t, const NameEntry& entry) { names.push_back(entry); }, open))
    return std::nullopt;
  return names;
}

Lookup FindByName(const std::string& path, const std::string& name) {
  Lookup lookup;
  BookFile file(path, Mode::ReadExisting);
  lookup.open = OpenResultOf(file);
  if (lookup.open != OpenResult::Ok) return lookup;
  std::string wanted;
  if (!Utf8ToCp1252(name, wanted)) return lookup;  // no stored name can equal it
  ForEachRecord(file, [&](std::uint64_t number, std::string_view bytes) {
    if (StoredText(bytes, 0) != wanted || number > INT_MAX) return true;
    lookup.record = NamedRecordOf(number, bytes);
    return false;
  });
  return lookup;
}

Lookup ReadFields(const std::string& path, int number) {
  Lookup lookup;
  BookFile file(path, Mode::ReadExisting);
  lookup.open = OpenResultOf(file);
  if (lookup.open != OpenResult::Ok) return lookup;
  WipedText buffer(RECORD_SIZE);
  if (file.ReadWholeRecord(number, buffer.text.data()))
    lookup.record = NamedRecordOf(number, buffer.text);
  return lookup;
}

LoadResult LoadRecord(const std::string& path, int number, MasterKeyRecord& record,
                      std::string* storedBytes) {
  std::ostream& diag = Diagnostics();
  if (storedBytes) storedBytes->clear();
  BookFile file(path, Mode::ReadCreating);
  WipedText buffer(RECORD_SIZE);
  if (!file.ReadWholeRecord(number, buffer.text.data())) {
    diag << "lo siento registro no existente; Repita la Operacion" << std::flush;
    return LoadResult::NotPresent;
  }
  const std::string_view recordBytes = buffer.text;
  if (storedBytes) storedBytes->assign(recordBytes);
  if (IsDeletedRecord(recordBytes)) {
    diag << "\nImposible Seleccionar Un Registro Borrado Operacion Cancelada" << std::flush;
    return LoadResult::Deleted;
  }
  ReadRecord(recordBytes, record, diag);
  PrintRecord(diag, record);
  diag << "numero :_" << DecimalText(number) << " activado satisfactoriamente\n" << std::flush;
  record.recordNumber = number;
  record.recordCount = file.Records();
  record.bookPath = path;
  return LoadResult::Loaded;
}

int FirstFreeSlot(BookFile& file) {
  int slot = 0;
  ForEachRecord(file, [&slot](std::uint64_t number, std::string_view bytes) {
    if (bytes[0] != 'n' || !IsDeletedRecord(bytes)) return true;
    if (number <= INT_MAX) slot = static_cast<int>(number);
    return false;
  });
  Diagnostics() << '\n' << std::flush;
  return slot;
}

int FindFreeSlot(const std::string& path) {
  BookFile file(path, Mode::ReadCreating);
  return FirstFreeSlot(file);
}

void ListRecordsToConsole(const std::string& path, int first, int count) {
  std::ostream& diag = Diagnostics();
  if (diag.bad()) return;  // the listing goes nowhere: the book is not even opened
  BookFile file(path, Mode::ReadCreating);
  const unsigned records = file.Records();
  diag << "\n Numero de Registros del Libro " << path << "_:_ " << DecimalText(records) << '\n';
  for (int i = 0; i < count; ++i) {
    const long long number = static_cast<long long>(first) + i;
    if (number <= 0 || number > records) continue;
    WipedText buffer(RECORD_SIZE);
    if (!file.ReadWholeRecord(static_cast<int>(number), buffer.text.data())) continue;
    const auto piece = [&buffer](int offset, int width) {
      return Cp1252ToUtf8(std::string_view(buffer.text).substr(offset, width));
    };
    diag << "clave n_" << DecimalText(number) << " _: " << piece(0, NAME_WIDTH) << '\n';
    for (int n = 1; n <= KEY_COUNT; ++n) diag << piece(KeyOffset(n), KEY_WIDTH) << '\n';
    diag << piece(ENLARGE_OFFSET, ENLARGE_WIDTH) << '\n';
    diag << piece(SCRAMBLE_OFFSET, SCRAMBLE_WIDTH) << '\n';
  }
  diag << '\n' << std::flush;
}

}  // namespace rux
