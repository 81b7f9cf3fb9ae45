// The 705-byte record: writer, reader and the labelled listing.
#include "keybook/master_key_record.h"

#include <charconv>
#include <cmath>
#include <ostream>

#include "platform/text/cp1252.h"
#include "platform/text/number.h"

namespace rux {
namespace {

std::string ToFileText(const std::string& text) {
  std::string bytes;
  Utf8ToCp1252(text.substr(0, text.find('\0')), bytes);
  return bytes;
}

// Text, NUL, filler up to the width. A text that does not fit is cut to
// width - 1 bytes, the NUL closes the field and the message goes to diag.
void AppendField(std::string& out, const std::string& text, int width, char filler,
                 std::ostream& diag, const std::string& tooLong) {
  const std::string bytes = ToFileText(text);
  const std::size_t capacity = width - 1;
  if (bytes.size() > capacity) {
    out.append(bytes, 0, capacity);
    out += '\0';
    diag << tooLong;
    return;
  }
  out += bytes;
  out += '\0';
  out.append(capacity - bytes.size(), filler);
}

std::string IntegerText(int value) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

bool IsZeroForm(double value) { return value == 0 || std::isnan(value); }

void AppendEnlarge(std::string& out, double value) {
  const std::string text = IsZeroForm(value) ? "0" : TenDigitForm(value).digits;
  out += text;
  out += '\0';
  out.append(ENLARGE_WIDTH - text.size() - 1, ',');
}

void AppendScramble(std::string& out, double value) {
  std::string text = "0";
  if (!IsZeroForm(value)) {
    const TenDigits form = TenDigitForm(value);
    text = form.digits + "." + IntegerText(form.sign) + IntegerText(form.exponent);
  }
  out += text;
  out += '\0';
  out.append(SCRAMBLE_WIDTH - text.size() - 1, '-');
}

void ReadError(std::ostream& diag, const char* text) {
  diag << '\n' << text << '\n';
  diag.flush();
}

// A field's stored text, at most width - 1 bytes; "Error en Lectura" when it
// does not fit, that is when its NUL is not within the width.
std::string_view ReadField(std::string_view bytes, int offset, int width, std::ostream& diag) {
  const std::string_view text = StoredText(bytes, offset);
  if (text.size() >= static_cast<std::size_t>(width)) {
    ReadError(diag, "Error en Lectura");
    return text.substr(0, width - 1);
  }
  return text;
}

double ReadNumber(std::string_view text, std::ostream& diag) {
  const double value = ConvertNumber(text);
  if (value == 0) ReadError(diag, "Error en conversion");
  return value;
}

std::string FixedText(double value, int decimals) {
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return std::isnan(value) ? "nan" : "inf";
  return std::string(text, result.ptr);
}

}  // namespace

std::string DeletedMark() { return std::string(RECORD_SIZE - 1, 'n') + '\0'; }

std::string_view StoredText(std::string_view recordBytes, std::size_t offset) {
  if (offset >= recordBytes.size()) return {};
  const std::string_view rest = recordBytes.substr(offset);
  return rest.substr(0, rest.find('\0'));
}

std::string RecordBytes(const MasterKeyRecord& record, std::ostream& diag) {
  std::string out;
  out.reserve(RECORD_SIZE);
  AppendField(out, record.name, NAME_WIDTH, '_', diag, "error de longitud en nombre");
  for (int n = 1; n <= KEY_COUNT; ++n) {
    AppendField(out, record.keys[n - 1], KEY_WIDTH, '_', diag,
                "error de longitud en clave" + IntegerText(n));
  }
  AppendEnlarge(out, record.enlarge);
  AppendScramble(out, record.scramble);
  return out;
}

std::ostream& WriteRecord(std::ostream& out, const MasterKeyRecord& record, std::ostream& diag) {
  const std::string bytes = RecordBytes(record, diag);
  return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ReadRecord(std::string_view bytes, MasterKeyRecord& record, std::ostream& diag) {
  bytes = bytes.substr(0, RECORD_SIZE);
  record.name = Cp1252ToUtf8(ReadField(bytes, 0, NAME_WIDTH, diag));
  for (int n = 1; n <= KEY_COUNT; ++n) {
    record.keys[n - 1] = Cp1252ToUtf8(ReadField(bytes, KeyOffset(n), KEY_WIDTH, diag));
  }
  record.enlarge = ReadNumber(ReadField(bytes, ENLARGE_OFFSET, ENLARGE_WIDTH, diag), diag);

  // Scramble: ten digits, full stop, sign digit, the whole position.
  const std::string_view scramble = ReadField(bytes, SCRAMBLE_OFFSET, SCRAMBLE_WIDTH, diag);
  record.scramble = ReadNumber(scramble, diag);
  record.scrambleSign = scramble.size() > 11 ? ConvertInteger(scramble.substr(11, 1)) : 0;
  record.scrambleExponent = scramble.size() > 12 ? ConvertInteger(scramble.substr(12)) : 0;
}

std::ostream& PrintRecord(std::ostream& out, const MasterKeyRecord& record) {
  out << '\n' << std::flush;
  out << "Nombre de la Clave Maestra: " << record.name << '\n' << std::flush;
  for (int n = 1; n <= KEY_COUNT; ++n) {
    out << "clave" << n << ": " << record.keys[n - 1] << '\n' << std::flush;
  }
  out << "engorde: " << FixedText(record.enlarge, 0) << '\n' << std::flush;
  out << "desorden: " << FixedText(record.scramble, 3) << '\n' << std::flush;
  return out;
}

}  // namespace rux
