#pragma once
// The chosen Master Key, read from its Key Book.
#include <string>

#include "key_derivation.h"

namespace rux4 {

// The key material (see KeyMaterial) of record `number` of the Key Book at
// bookPath. Failure (Key Book) when the book is missing or unreadable, holds no
// such record, or the record is deleted. The Key Book code's own diagnostics
// are silenced, so no key text can reach the console.
SecretBytes ReadMasterKeyMaterial(const std::string& bookPath, int number);

}  // namespace rux4
