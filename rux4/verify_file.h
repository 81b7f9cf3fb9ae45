#pragma once
// The verify (key-check) file that pins a Master Key to a set of files. It
// holds a salt of its own and a check value derived from the Master Key, never
// the key. Layout in file_format.h.
#include <memory>
#include <string>

#include "file_format.h"
#include "key_derivation.h"
#include "temp_file.h"

namespace rux4 {

// The check value for key material, salt and cost.
std::array<unsigned char, CHECK_VALUE_SIZE> CheckValue(const SecretBytes& material,
                                                       const Salt& salt, const KdfCost& cost);

class VerifyFile {
 public:
  // path empty: no verify file. An existing file is checked against the
  // material: Failure (wrong Master Key) on a mismatch or when it is not a
  // verify file, (cannot read) when it cannot be read. A missing one is
  // prepared from the material and cost in a temporary file (Failure cannot
  // create) and put in place by Commit.
  VerifyFile(const std::string& path, const SecretBytes& material, const KdfCost& cost);

  // Puts a prepared verify file in place, never over one that another run
  // created meanwhile: the material is then checked against that one, as in
  // the constructor. Nothing when none was prepared.
  void Commit(const SecretBytes& material);
  // Removes the verify file Commit put in place, when the run fails after it.
  void Withdraw();

 private:
  void Check(const SecretBytes& material);
  void Prepare(const SecretBytes& material, const KdfCost& cost);

  std::string path_;
  std::unique_ptr<TempFile> fresh_;
  bool placed_ = false;
};

}  // namespace rux4
