#pragma once
// One Master Key and its 705-byte form in a Key Book.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace rux {

constexpr int RECORD_SIZE = 705;
constexpr int NAME_WIDTH = 20;  // 19 characters and the NUL
constexpr int KEY_WIDTH = 65;   // 64 characters and the NUL
constexpr int ENLARGE_WIDTH = 15;
constexpr int SCRAMBLE_WIDTH = 20;
constexpr int KEY_COUNT = 10;
constexpr int ENLARGE_OFFSET = 670;
constexpr int SCRAMBLE_OFFSET = 685;
constexpr int KeyOffset(int n) { return NAME_WIDTH + KEY_WIDTH * (n - 1); }  // n = 1 ... 10

// Texts are UTF-8 in memory and Windows-1252 in the file. Characters that
// Windows-1252 cannot hold are left out when a record is written, and the
// length limits count the Windows-1252 bytes; a text ends at its first NUL.
struct MasterKeyRecord {
  std::string name;
  std::array<std::string, KEY_COUNT> keys;
  double enlarge = 0;
  double scramble = 0;
  int scrambleSign = 0;      // set only by ReadRecord
  int scrambleExponent = 0;  // set only by ReadRecord
  unsigned recordCount = 0;
  int recordNumber = 0;  // 1-based; 0 means none
  std::string bookPath;

  bool HasBook() const { return !bookPath.empty(); }
};

// The deleted mark: 704 letters n and a NUL.
std::string DeletedMark();

// The stored bytes of a field: from offset up to its NUL, or up to the end of
// the bytes when there is none. Never reaches past the bytes given.
std::string_view StoredText(std::string_view recordBytes, std::size_t offset);

// Ten significant digits of a non-zero double, its decimal-point position and sign.
struct TenDigits {
  std::string digits;  // exactly ten
  int exponent = 0;    // v = 0.d1d2... x 10^exponent
  int sign = 0;        // 1 when negative
};
// Infinity is given the form of the largest double (rounded up, as every
// value is); NaN has no form and is stored as zero.
TenDigits TenDigitForm(double value);

// Writes exactly RECORD_SIZE bytes at the stream's position. Length-limit
// messages go to diag.
std::ostream& WriteRecord(std::ostream& out, const MasterKeyRecord& record, std::ostream& diag);
// The 705 bytes of a record, with the same messages.
std::string RecordBytes(const MasterKeyRecord& record, std::ostream& diag);

// Reads one record from its 705 bytes (fewer when the file ends inside it).
void ReadRecord(std::string_view bytes, MasterKeyRecord& record, std::ostream& diag);

// Labelled text form of a record.
std::ostream& PrintRecord(std::ostream& out, const MasterKeyRecord& record);

}  // namespace rux
