#include "config_check.h"

#include "app/config/configuration.h"

namespace rux::fuzz {

std::string CheckConfigurationBytes(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(data, static_cast<qsizetype>(size));
  const std::optional<ConfigurationValues> read = ParseConfiguration(bytes);
  if (!read) return {};
  // Each value takes at least its length or number bytes.
  if (size < 25) return "a configuration shorter than its smallest form was accepted";
  const QByteArray written = ConfigurationBytes(*read);
  const std::optional<ConfigurationValues> again = ParseConfiguration(written);
  if (!again) return "written values are not read back";
  if (!(*again == *read)) return "values differ after writing and reading";
  if (ConfigurationBytes(*again) != written) return "writing the same values twice differs";
  // Every cut of the written form is refused.
  for (qsizetype cut : {qsizetype(0), written.size() / 2, written.size() - 1}) {
    if (ParseConfiguration(QByteArrayView(written).first(cut))) return "a cut file was accepted";
  }
  return {};
}

}  // namespace rux::fuzz
