// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// A file moved through a transform in batches: one thread reads the batches in
// order, worker threads transform them side by side, and the calling thread
// writes them in order. A fixed set of page-aligned buffers goes round, so the
// memory stays the same whatever the file size.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace rux4 {

struct Batch {
  std::uint64_t number = 0;  // counted from 0
  bool last = false;         // the file's last batch
  const unsigned char* in = nullptr;
  std::size_t inSize = 0;  // inCapacity for every batch but the last
  unsigned char* out = nullptr;
};

struct PipelineShape {
  std::size_t inCapacity = 0;
  std::size_t outCapacity = 0;
  int workers = 1;  // 1 transforms the batches one after the other, in order
};

// Transforms a batch on worker thread `worker` (0 to workers - 1) and returns
// the bytes it put in batch.out. May throw Failure.
using BatchTransform = std::function<std::size_t(int worker, const Batch& batch)>;
// Told on the calling thread after each batch is written: bytes read and written so far.
using BatchWritten = std::function<void(std::uint64_t read, std::uint64_t written)>;

// Reads exactly inputSize bytes from source, from where it stands, in batches
// (one empty batch when inputSize is 0), and writes their transforms to sink.
// Failure (read or write error) when a read or write fails, or when the source
// ends before inputSize bytes or goes on after them: it changed while it was
// read. A batch's failure is thrown when its turn to be written comes, so
// nothing after it reaches sink.
void RunPipeline(int source, std::uint64_t inputSize, int sink, const PipelineShape& shape,
                 const BatchTransform& transform, const BatchWritten& written);

// Failure (read or write error): the source changed size while it was read.
[[noreturn]] void SourceChangedSize();

// Worker threads for this machine: one per processor the engine may use, at most 8.
int WorkerCount();

}  // namespace rux4
