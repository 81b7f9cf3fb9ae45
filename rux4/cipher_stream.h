#pragma once
// The encoded file's body: chunks of CHUNK_SIZE bytes of source (layout in
// file_format.h), read, sealed or opened, and written in batches of many chunks.
#include <cstdint>
#include <vector>

#include "file_format.h"
#include "key_derivation.h"
#include "progress.h"

namespace rux4 {

// Writes a version 2 file: the header for cost and salt, then the sourceSize
// bytes of source as chunks, sealed on every processor. processed counts the
// source bytes as they go. Failure (read or write error) when a read or write
// fails or the source changes size.
void EncodeStream(int source, std::uint64_t sourceSize, int sink, const SecretBytes& key,
                  const KdfCost& cost, const Salt& salt, Progress& progress,
                  std::uint64_t& processed);

// Reads the header at the start of source into bytes (all of it: 38 bytes for
// version 2, 62 for version 1). Failure (authentication failed) when the file
// is too short or not an encoded file of a known version and cost.
EncodedHeader ReadEncodedHeader(int source, std::vector<unsigned char>& bytes);

// Reads the rest of a source of sourceSize bytes, authenticating each chunk
// before its plaintext is written to sink; processed counts the plaintext bytes
// written. Failure (authentication failed) on a wrong key, a changed byte, a
// missing end or data after the end; (read or write error) when a read or
// write fails or the source changes size.
void DecodeStream(int source, std::uint64_t sourceSize, int sink, const SecretBytes& key,
                  const std::vector<unsigned char>& headerBytes, const EncodedHeader& header,
                  Progress& progress, std::uint64_t& processed);

}  // namespace rux4
