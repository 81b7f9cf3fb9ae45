#include "app/config/configuration.h"

#include <string>
#include <string_view>
#include <type_traits>

#include "platform/text/cp1252.h"

namespace rux {
namespace {

// The 22 values in the order of the file.
template <typename Values, typename Visit>
void VisitInFileOrder(Values& values, Visit&& visit) {
  visit(values.keyBook);
  visit(values.sourceFile);
  visit(values.targetFile);
  visit(values.verifyFile);
  visit(values.keyNumber);
  visit(values.masterKeyName);
  for (auto& param : values.params) visit(param);
  visit(values.log);
  visit(values.enginePath);
}

constexpr quint64 kWideMarker = 0xFFFE;

void AppendLittleEndian(QByteArray& out, quint64 value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Below 255: one byte. Below 0xFFFE: 0xFF and 16 bits. Below 0xFFFFFFFF:
// 0xFF, 0xFFFF and 32 bits. Beyond: 0xFF, 0xFFFF, 0xFFFFFFFF and 64 bits.
void AppendLength(QByteArray& out, quint64 length) {
  if (length < 0xFF) return AppendLittleEndian(out, length, 1);
  AppendLittleEndian(out, 0xFF, 1);
  if (length < 0xFFFE) return AppendLittleEndian(out, length, 2);
  AppendLittleEndian(out, 0xFFFF, 2);
  if (length < 0xFFFFFFFF) return AppendLittleEndian(out, length, 4);
  AppendLittleEndian(out, 0xFFFFFFFF, 4);
  AppendLittleEndian(out, length, 8);
}

// The Windows-1252 bytes of the text, or nothing when a character does not fit.
std::optional<std::string> SingleByteForm(const QString& text) {
  for (QChar c : text) {
    if (c.isSurrogate()) return std::nullopt;
  }
  const QByteArray utf8 = text.toUtf8();
  std::string bytes;
  if (!Utf8ToCp1252(std::string_view(utf8.constData(), utf8.size()), bytes)) return std::nullopt;
  return bytes;
}

// Reads the file's values front to back. Any read past the end, or a length
// larger than what remains, marks the reader failed; later reads give nothing.
class ArchiveReader {
 public:
  explicit ArchiveReader(QByteArrayView bytes) : bytes_(bytes) {}

  // Every value was there; what follows the last one is not looked at.
  bool Complete() const { return ok_; }

  void operator()(qint32& number) { number = static_cast<qint32>(Take(4)); }
  void operator()(QString& text) {
    bool wide = false;
    const quint64 length = Length(wide);
    const quint64 unit = wide ? 2 : 1;
    if (!ok_ || length > static_cast<quint64>(Remaining()) / unit) {
      ok_ = false;
      return;
    }
    const QByteArrayView piece = bytes_.sliced(at_, static_cast<qsizetype>(length * unit));
    at_ += piece.size();
    text = wide ? WideText(piece) : SingleByteText(piece);
  }

 private:
  qsizetype Remaining() const { return bytes_.size() - at_; }

  quint64 Take(int width) {
    if (!ok_ || Remaining() < width) {
      ok_ = false;
      return 0;
    }
    quint64 value = 0;
    for (int i = 0; i < width; ++i) {
      value |= static_cast<quint64>(static_cast<quint8>(bytes_[at_ + i])) << (8 * i);
    }
    at_ += width;
    return value;
  }

  // The length of the next string; wide when it is stored as UTF-16LE. After
  // the wide marker the length starts over with one byte.
  quint64 Length(bool& wide) {
    wide = false;
    quint64 length = Take(1);
    if (length < 0xFF) return length;
    length = Take(2);
    if (length == kWideMarker) {
      wide = true;
      length = Take(1);
      if (length < 0xFF) return length;
      length = Take(2);
    }
    if (length < 0xFFFE) return length;
    length = Take(4);
    if (length < 0xFFFFFFFF) return length;
    return Take(8);
  }

  // Windows-1252 is Latin-1 but for the bytes 0x80 ... 0x9F. Decoded in
  // place: a log of megabytes is not copied through another form first.
  static QString SingleByteText(QByteArrayView piece) {
    QString text = QString::fromLatin1(piece);
    for (QChar& c : text) {
      if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
        c = QChar(static_cast<char16_t>(Cp1252CodePoint(static_cast<unsigned char>(c.unicode()))));
    }
    return text;
  }

  static QString WideText(QByteArrayView piece) {
    QString text(piece.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
      const auto low = static_cast<quint8>(piece[2 * i]);
      const auto high = static_cast<quint8>(piece[2 * i + 1]);
      text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
  }

  QByteArrayView bytes_;
  qsizetype at_ = 0;
  bool ok_ = true;
};

}  // namespace

QByteArray ArchiveString(const QString& text) {
  QByteArray out;
  if (const std::optional<std::string> bytes = SingleByteForm(text)) {
    AppendLength(out, bytes->size());
    out.append(bytes->data(), static_cast<qsizetype>(bytes->size()));
    return out;
  }
  AppendLittleEndian(out, 0xFF, 1);
  AppendLittleEndian(out, kWideMarker, 2);
  AppendLength(out, static_cast<quint64>(text.size()));
  for (QChar c : text) AppendLittleEndian(out, c.unicode(), 2);
  return out;
}

QByteArray ConfigurationBytes(const ConfigurationValues& values) {
  QByteArray out;
  VisitInFileOrder(values, [&out](const auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, qint32>) {
      AppendLittleEndian(out, static_cast<quint32>(value), 4);
    } else {
      out += ArchiveString(value);
    }
  });
  return out;
}

std::optional<ConfigurationValues> ParseConfiguration(QByteArrayView bytes) {
  ConfigurationValues values;
  ArchiveReader reader(bytes);
  VisitInFileOrder(values, reader);
  if (!reader.Complete()) return std::nullopt;
  return values;
}

}  // namespace rux
