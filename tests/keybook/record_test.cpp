// The 705 bytes of one record, written and read back.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "keybook_test.h"

namespace rux {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using Record = test::KeyBook;

const std::string kReadError = "\nError en Lectura\n", kConversionError = "\nError en conversion\n";

MasterKeyRecord Read(const std::string& bytes) {
  MasterKeyRecord record;
  ReadRecord(bytes, record, Diagnostics());
  return record;
}

// The worked example, byte for byte. Without its NUL a field is read within
// its width, from its own offset.
TEST_F(Record, TheWorkedExampleIsByteExactAndFieldsAreReadWithinTheirWidth) {
  EXPECT_EQ(RecordBytes(test::Example(), Diagnostics()), std::string(test::kExampleBytes, 705));
  const MasterKeyRecord damaged = Read(std::string(705, '\xFF'));
  EXPECT_EQ(damaged.name.size(), 19u * 2);  // 19 x ÿ, two bytes each in UTF-8
  for (const std::string& key : damaged.keys) EXPECT_EQ(key.size(), 64u * 2);
  std::string expected;
  for (int field = 0; field < 12; ++field) expected += kReadError;  // name, keys, Enlarge
  EXPECT_EQ(diag.Take(), expected + kConversionError + kReadError + kConversionError);
}

// Windows-1252 in the file: a character without a byte there is left out, é
// takes one byte. A full field has no filler; a longer text is cut.
TEST_F(Record, TextsFillTheirFieldsAndLongerOnesAreCut) {
  MasterKeyRecord record;
  record.name = std::string(18, 'N') + "XYZ";
  record.keys = {std::string(64, 'a'), "", std::string(65, 'c'), "Año € x中y"};
  for (int i = 0; i < 64; ++i) record.keys[1] += "é";
  record.keys[9] = std::string(100, 'z');
  const std::string empty = '\0' + std::string(64, '_');
  std::string expected = std::string(18, 'N') + "X" + '\0' + std::string(64, 'a') + '\0' +
                         std::string(64, '\xE9') + '\0' + std::string(64, 'c') + '\0' +
                         "A\xF1o \x80 xy" + empty.substr(0, 57);
  for (int key = 5; key <= 9; ++key) expected += empty;
  expected += std::string(64, 'z') + '\0' + "0\0,,,,,,,,,,,,,0\0------------------"s;
  EXPECT_EQ(RecordBytes(record, Diagnostics()), expected);
  EXPECT_EQ(diag.Take(),
            "error de longitud en nombreerror de longitud en clave3error de longitud en clave10");
  const MasterKeyRecord back = Read(expected);
  EXPECT_EQ(back.name, std::string(18, 'N') + "X");
  EXPECT_EQ(back.keys,
            (std::array<std::string, 10>{std::string(64, 'a'), record.keys[1], std::string(64, 'c'),
                                         "Año € xy", "", "", "", "", "", std::string(64, 'z')}));
}

// Enlarge and Scramble: the ten digits of the exact decimal expansion,
// rounded up at the eleventh digit, and the Scramble's sign and position.
// Rows: the value, the 35 bytes of Enlarge and Scramble, sign and position.
TEST_F(Record, NumbersKeepTenDigitsWithTheScrambleSignAndWholePosition) {
  const std::tuple<double, std::string_view, int, int> cases[] = {
      {5, "5000000000\0,,,,5000000000.01\0------"sv, 0, 1},
      {0.5, "5000000000\0,,,,5000000000.00\0------"sv, 0, 0},
      {-0.05, "5000000000\0,,,,5000000000.1-1\0-----"sv, 1, -1},
      {1234.5, "1234500000\0,,,,1234500000.04\0------"sv, 0, 4},
      {12345678905, "1234567891\0,,,,1234567891.011\0-----"sv, 0, 11},   // a tie goes up
      {9999999999.5, "1000000000\0,,,,1000000000.011\0-----"sv, 0, 11},  // the carry
      {1901.7490375, "1901749037\0,,,,1901749037.04\0------"sv, 0, 4},   // 1901.749037499999...
      {0.99999999995, "9999999999\0,,,,9999999999.00\0------"sv, 0, 0},  // 0.999999999949999...
      {-2e-11, "2000000000\0,,,,2000000000.1-10\0----"sv, 1, -10},
      {1e100, "1000000000\0,,,,1000000000.0101\0----"sv, 0, 101},
      {5e-324, "4940656458\0,,,,4940656458.0-323\0---"sv, 0, -323},
      {-std::numeric_limits<double>::infinity(), "1797693135\0,,,,1797693135.1309\0----"sv, 1, 309},
      {0, "0\0,,,,,,,,,,,,,0\0------------------"sv, 0, 0},
      {-0.0, "0\0,,,,,,,,,,,,,0\0------------------"sv, 0, 0},
      {std::nan(""), "0\0,,,,,,,,,,,,,0\0------------------"sv, 0, 0},
  };
  for (const auto& [value, fields, sign, exponent] : cases) {
    MasterKeyRecord record = test::Example();
    record.enlarge = record.scramble = value;
    const std::string bytes = RecordBytes(record, Diagnostics());
    EXPECT_EQ(bytes, std::string(test::kExampleBytes, ENLARGE_OFFSET) + std::string(fields))
        << value;
    const MasterKeyRecord back = Read(bytes);
    const double enlarge = std::strtod(fields.data(), nullptr);
    EXPECT_EQ(diag.Take(), enlarge == 0 ? kConversionError + kConversionError : "") << value;
    EXPECT_EQ(std::tuple(back.enlarge, back.scramble, back.scrambleSign, back.scrambleExponent),
              std::tuple(enlarge, std::strtod(fields.data() + 15, nullptr), sign, exponent))
        << value;
  }
}

}  // namespace
}  // namespace rux
