#pragma once
// The operations on a Key Book file, each given the book's path: open, work,
// close. Nothing is kept between calls. Diagnostics (in Spanish) go to the
// diagnostic stream, standard output unless a test replaces it.
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

// Where the Key Book code writes its diagnostics. Standard output by default.
std::ostream& Diagnostics();
void SetDiagnostics(std::ostream* stream);  // nullptr restores standard output

// The twelve stored field texts: Key 1 ... Key 10, Enlarge text, Scramble text.
using FieldTexts = std::array<std::string, 12>;

struct NamedRecord {
  int number = 0;  // 1-based
  std::string name;
  FieldTexts fields;
  bool deleted = false;  // holds the deleted mark
};

struct NameEntry {
  std::string name;
  bool deleted = false;  // the record holds the deleted mark
};

enum class OpenResult { Ok, NotAccessible };

// True when the record holds the deleted mark: its first 704 bytes are the
// letter n, whatever the last byte holds.
bool IsDeletedRecord(std::string_view recordBytes);

unsigned CountRecords(const std::string& path);

// Names of all records in file order (deleted ones flagged); nullopt when the
// book cannot be opened.
std::optional<std::vector<NameEntry>> ListNames(const std::string& path);
// The same names one at a time, none kept: onName(number, entry) for each
// record in file order, number from 1. False when the book cannot be opened.
bool ForEachName(const std::string& path,
                 const std::function<void(std::uint64_t number, const NameEntry& entry)>& onName);

struct Lookup {
  OpenResult open = OpenResult::Ok;
  std::optional<NamedRecord> record;  // empty: not found
};
Lookup FindByName(const std::string& path, const std::string& name);
Lookup ReadFields(const std::string& path, int number);

enum class LoadResult { Loaded, NotPresent, Deleted };
LoadResult LoadRecord(const std::string& path, int number, MasterKeyRecord& record);

int FindFreeSlot(const std::string& path);

// Writes report whether all 705 bytes reached the file.
enum class WriteResult { Written, Failed };
WriteResult WriteRecordAt(const std::string& path, int number, const MasterKeyRecord& record);
WriteResult AppendRecord(const std::string& path, MasterKeyRecord& record);

struct StoreResult {
  int slot = 0;  // the free slot used, 0 when appended
  WriteResult write = WriteResult::Failed;
};
StoreResult StoreNewRecord(const std::string& path, MasterKeyRecord& record);

WriteResult MarkDeleted(const std::string& path, int number);
void ListRecordsToConsole(const std::string& path, int first, int count);

// Byte offsets of every occurrence of the text (UTF-8, searched as its
// Windows-1252 bytes), ascending. The callback form reports each match as the
// scan finds it and stops the scan when the callback returns false.
std::vector<std::uint64_t> SearchText(const std::string& path, const std::string& text);
void SearchText(const std::string& path, const std::string& text,
                const std::function<bool(std::uint64_t offset)>& onMatch);

}  // namespace rux
