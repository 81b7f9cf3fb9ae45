#pragma once
// The encoded file's body: XChaCha20-Poly1305 secret stream in CHUNK_SIZE chunks
// (layout in file_format.h). Reads and writes go in batches of many chunks.
#include <cstdint>

#include "file_format.h"
#include "key_derivation.h"
#include "progress.h"

namespace rux4 {

// Writes the header for cost and salt, then every byte readable from source as
// chunks. processed counts the source bytes as they go. Failure (read or write error).
void EncodeStream(int source, int sink, const SecretBytes& key, const KdfCost& cost,
                  const Salt& salt, Progress& progress, std::uint64_t& processed);

// Reads the header at the start of source. Failure (authentication failed) when
// the file is too short or not an encoded file of a known version.
EncodedHeader ReadEncodedHeader(int source, HeaderBytes& bytes);

// Reads the chunks after the header, authenticating each before its plaintext is
// written to sink; processed counts the plaintext bytes written. Failure
// (authentication failed) on a wrong key, a changed byte, a missing end or data
// after the end; (read or write error) when a read or write fails.
void DecodeStream(int source, int sink, const SecretBytes& key, const HeaderBytes& bytes,
                  const EncodedHeader& header, Progress& progress, std::uint64_t& processed);

}  // namespace rux4
