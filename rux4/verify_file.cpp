#include "verify_file.h"

#include <sodium.h>
#include <unistd.h>

#include "exit_status.h"
#include "file_io.h"

namespace rux4 {

namespace {

constexpr char CHECK_LABEL[] = "rux4 verify file check v1";

}  // namespace

std::array<unsigned char, CHECK_VALUE_SIZE> CheckValue(const SecretBytes& material,
                                                       const Salt& salt, const KdfCost& cost) {
  const SecretBytes key = DeriveKey(material, salt, cost);
  std::array<unsigned char, CHECK_VALUE_SIZE> check{};
  crypto_generichash(check.data(), check.size(),
                     reinterpret_cast<const unsigned char*>(CHECK_LABEL), sizeof CHECK_LABEL - 1,
                     key.Data(), key.Size());
  return check;
}

VerifyFile::VerifyFile(const std::string& path, const SecretBytes& material, const KdfCost& cost)
    : path_(path) {
  if (path_.empty()) return;
  if (FileExists(path_)) {
    Check(material);
  } else {
    Prepare(material, cost);
  }
}

void VerifyFile::Check(const SecretBytes& material) {
  const std::string quoted = "the verify file " + Quoted(path_);
  std::uint64_t size = 0;
  Descriptor file = OpenForReading(path_, "verify file", EXIT_NO_SOURCE, size);
  if (size != VERIFY_FILE_SIZE) {
    throw Failure(EXIT_WRONG_KEY, quoted + " is not a key-check file (" + std::to_string(size) +
                                      " bytes, not " + std::to_string(VERIFY_FILE_SIZE) + ")");
  }
  VerifyBytes bytes{};
  if (ReadUpTo(file.Get(), bytes.data(), bytes.size(), "verify file") != bytes.size()) {
    throw Failure(EXIT_WRONG_KEY, quoted + " is not a key-check file (it is shorter)");
  }
  std::string problem;
  const std::optional<VerifyRecord> record = VerifyFromBytes(bytes, problem);
  if (!record) throw Failure(EXIT_WRONG_KEY, quoted + " cannot be used: " + problem);
  const auto check = CheckValue(material, record->salt, record->cost);
  if (sodium_memcmp(check.data(), record->check.data(), check.size()) != 0) {
    throw Failure(EXIT_WRONG_KEY, "wrong Master Key: it does not match " + quoted);
  }
}

void VerifyFile::Prepare(const SecretBytes& material, const KdfCost& cost) {
  fresh_ = std::make_unique<TempFile>(path_, "verify file");  // fails early, before the work
  VerifyRecord record;
  record.cost = cost;
  record.salt = RandomSalt();
  record.check = CheckValue(material, record.salt, cost);
  const VerifyBytes bytes = VerifyToBytes(record);
  WriteAll(fresh_->Fd(), bytes.data(), bytes.size(), "verify file");
}

void VerifyFile::Commit(const SecretBytes& material) {
  if (!fresh_) return;
  placed_ = fresh_->CommitIfAbsent();
  fresh_.reset();
  // Another run created the verify file meanwhile: its Master Key rules.
  if (!placed_) Check(material);
}

void VerifyFile::Withdraw() {
  if (placed_) ::unlink(path_.c_str());
  placed_ = false;
}

}  // namespace rux4
