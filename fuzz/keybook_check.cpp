#include "keybook_check.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "keybook/key_book.h"
#include "keybook/master_key_record.h"
#include "platform/text/cp1252.h"

namespace rux::fuzz {
namespace {

// The book file of this process, removed after each input.
std::string ScratchPath() {
  const std::string name = "keybook-fuzz-" + std::to_string(::getpid());
  return (std::filesystem::temp_directory_path() / name).string();
}

bool FitsWidth(const std::string& utf8, int width) {
  std::string bytes;
  Utf8ToCp1252(utf8, bytes);
  return bytes.size() < static_cast<std::size_t>(width);
}

std::string CheckRecordReader(std::string_view bytes, std::ostream& diag) {
  MasterKeyRecord record;
  ReadRecord(bytes, record, diag);
  if (!FitsWidth(record.name, NAME_WIDTH)) return "name longer than its field";
  for (const std::string& key : record.keys) {
    if (!FitsWidth(key, KEY_WIDTH)) return "key longer than its field";
  }
  const std::string written = RecordBytes(record, diag);
  if (written.size() != RECORD_SIZE) return "record written with a wrong size";
  MasterKeyRecord again;
  ReadRecord(written, again, diag);
  if (again.name != record.name || again.keys != record.keys) return "texts do not round-trip";
  return {};
}

std::string CheckBookScans(const std::string& path, std::string_view bytes) {
  const std::size_t records = bytes.size() / RECORD_SIZE;
  if (CountRecords(path) != records) return "wrong record count";
  const auto names = ListNames(path);
  if (!names) return "book not opened";
  if (names->size() != records) return "a name for bytes that are no whole record";
  for (std::size_t i = 0; i < names->size(); ++i) {
    const Lookup byNumber = ReadFields(path, static_cast<int>(i + 1));
    if (!byNumber.record || byNumber.record->name != (*names)[i].name) return "ReadFields differs";
    const Lookup byName = FindByName(path, (*names)[i].name);
    if (!byName.record || byName.record->number > static_cast<int>(i + 1)) return "name not found";
  }
  const int slot = FindFreeSlot(path);
  if (slot != 0 && !IsDeletedRecord(bytes.substr((slot - 1) * RECORD_SIZE, RECORD_SIZE))) {
    return "free slot is not deleted";
  }
  for (const std::size_t length : {1, 3, 17}) {
    const std::string_view needle = bytes.substr(bytes.size() / 2, length);
    if (SearchText(path, Cp1252ToUtf8(needle)) != PlainSearch(bytes, needle)) {
      return "search differs from a plain comparison";
    }
  }
  MasterKeyRecord loaded;
  LoadRecord(path, 1, loaded);
  return {};
}

}  // namespace

std::vector<std::uint64_t> PlainSearch(std::string_view haystack, std::string_view needle) {
  std::vector<std::uint64_t> offsets;
  for (std::size_t at = 0; at < haystack.size() && at + needle.size() <= haystack.size(); ++at) {
    if (haystack.compare(at, needle.size(), needle) == 0) offsets.push_back(at);
  }
  return offsets;
}

std::string CheckKeyBookBytes(const std::uint8_t* data, std::size_t size) {
  static const std::string path = ScratchPath();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::ostringstream diag;
  SetDiagnostics(&diag);
  std::string fault = CheckRecordReader(bytes, diag);
  if (fault.empty()) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(size));
    fault = CheckBookScans(path, bytes);
    std::filesystem::remove(path);
  }
  SetDiagnostics(nullptr);
  return fault;
}

}  // namespace rux::fuzz
