#pragma once
// The operations on a Key Book file, each given the book's path: open, work,
// close. Nothing is kept between calls. An operation that writes has the book
// to itself from its first read to its last write; one that reads shares it
// with other readers only (see BookFile). Diagnostics (in Spanish) go to the
// diagnostic stream, nowhere unless a program asks for them.
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keybook/master_key_record.h"

namespace rux {

// Where the Key Book code writes its diagnostics. They list keys, so by
// default they go nowhere: a windowed program's standard output ends up in
// the desktop session's logs.
std::ostream& Diagnostics();
void SetDiagnostics(std::ostream* stream);  // nullptr: nowhere again

// The twelve stored field texts: Key 1 ... Key 10, Enlarge text, Scramble text.
using FieldTexts = std::array<std::string, 12>;

struct NamedRecord {
  int number = 0;  // 1-based
  std::string name;
  FieldTexts fields;
  bool deleted = false;  // holds the deleted mark

  friend bool operator==(const NamedRecord&, const NamedRecord&) = default;
};

struct NameEntry {
  std::string name;
  bool deleted = false;  // the record holds the deleted mark
};

// InUse: another program kept the book locked longer than the lock patience.
enum class OpenResult { Ok, NotAccessible, InUse };

// True when the record holds the deleted mark: its first 704 bytes are the
// letter n, whatever the last byte holds.
bool IsDeletedRecord(std::string_view recordBytes);

unsigned CountRecords(const std::string& path);

// Reads see whole records only: bytes after the last whole record (a write
// cut short) belong to no record, as the record count says.

// Names of all records in file order (deleted ones flagged); nullopt when the
// book cannot be opened, and then why in open when it is given.
std::optional<std::vector<NameEntry>> ListNames(const std::string& path,
                                                OpenResult* open = nullptr);
// The same names one at a time, none kept: onName(number, entry) for each
// whole record in file order, number from 1. False when the book cannot be
// opened, and then why in open when it is given.
bool ForEachName(const std::string& path,
                 const std::function<void(std::uint64_t number, const NameEntry& entry)>& onName,
                 OpenResult* open = nullptr);

struct Lookup {
  OpenResult open = OpenResult::Ok;
  std::optional<NamedRecord> record;  // empty: not found
};
Lookup FindByName(const std::string& path, const std::string& name);
Lookup ReadFields(const std::string& path, int number);
// The name and twelve stored texts of a record's bytes.
NamedRecord NamedRecordOf(std::uint64_t number, std::string_view recordBytes);

enum class LoadResult { Loaded, NotPresent, Deleted };
// storedBytes, when given, receives the record's bytes as read (none when
// the record is not present).
LoadResult LoadRecord(const std::string& path, int number, MasterKeyRecord& record,
                      std::string* storedBytes = nullptr);

int FindFreeSlot(const std::string& path);

// Whether all 705 bytes reached the file. A write that fails leaves the book
// as it was. InUse: another program kept the book locked; Unchanged: the
// caller's change wrote nothing (see ChangeRecord).
struct WriteResult {
  enum Outcome { Written, Failed, InUse, Unchanged };
  WriteResult(Outcome outcome = Failed, int error = 0) : outcome(outcome), error(error) {}
  bool operator==(Outcome other) const { return outcome == other; }

  Outcome outcome;
  int error;  // the system's error number of a failure, 0 when there is none
};

// The one way a record is changed in place. With the book held for this
// call alone, change is given the record's stored bytes (none when the book
// has no whole record at number) and returns the bytes that replace them,
// or nothing to leave the book as it is (Unchanged). A number beyond the
// last record extends the book, the bytes in between zero.
WriteResult ChangeRecord(
    const std::string& path, int number,
    const std::function<std::optional<std::string>(std::string_view storedBytes)>& change);

WriteResult WriteRecordAt(const std::string& path, int number, const MasterKeyRecord& record);
WriteResult AppendRecord(const std::string& path, MasterKeyRecord& record);

struct StoreResult {
  int slot = 0;  // the free slot used, 0 when appended
  WriteResult write = WriteResult::Failed;
};
StoreResult StoreNewRecord(const std::string& path, MasterKeyRecord& record);

// With isShown, only while it accepts the record's bytes (else Unchanged):
// a record that another program replaced meanwhile is not deleted.
WriteResult MarkDeleted(const std::string& path, int number,
                        const std::function<bool(std::string_view storedBytes)>& isShown = {});
void ListRecordsToConsole(const std::string& path, int first, int count);

// Byte offsets of every occurrence of the text (UTF-8, searched as its
// Windows-1252 bytes), ascending, over the raw bytes of the file. The callback
// form reports each match as the scan finds it and stops the scan when the
// callback returns false; it tells whether the book could be read.
std::vector<std::uint64_t> SearchText(const std::string& path, const std::string& text);
OpenResult SearchText(const std::string& path, const std::string& text,
                      const std::function<bool(std::uint64_t offset)>& onMatch);

}  // namespace rux
