// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "batch_pipeline.h"

#include <sched.h>
#include <sodium.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "exit_status.h"
#include "file_io.h"

namespace rux4 {

namespace {

constexpr std::size_t PAGE_SIZE = 4096;
constexpr int MAX_WORKERS = 8;
constexpr std::size_t MAX_SLOTS = 12;

// Page-aligned bytes, as the kernel copies whole pages fastest; wiped when
// they go, as they hold plaintext.
class AlignedBytes {
 public:
  explicit AlignedBytes(std::size_t size)
      : size_(std::max(PAGE_SIZE, (size + PAGE_SIZE - 1) / PAGE_SIZE * PAGE_SIZE)),
        data_(static_cast<unsigned char*>(std::aligned_alloc(PAGE_SIZE, size_))) {
    if (!data_) throw std::bad_alloc();
  }
  ~AlignedBytes() {
    sodium_memzero(data_, size_);
    std::free(data_);
  }
  AlignedBytes(const AlignedBytes&) = delete;
  AlignedBytes& operator=(const AlignedBytes&) = delete;
  unsigned char* Data() const { return data_; }

 private:
  std::size_t size_;
  unsigned char* data_;
};

// A batch goes Free -> Read (by the reader) -> Working -> Transformed (by a
// worker) -> Free (written by the calling thread). A failed read goes straight
// to Transformed with its failure.
enum class SlotState { Free, Read, Working, Transformed };

struct Slot {
  Slot(std::size_t inCapacity, std::size_t outCapacity) : in(inCapacity), out(outCapacity) {}
  AlignedBytes in;
  AlignedBytes out;
  SlotState state = SlotState::Free;
  Batch batch;
  std::size_t outSize = 0;
  std::exception_ptr failure;
};

class Pipeline {
 public:
  Pipeline(int source, std::uint64_t inputSize, const PipelineShape& shape,
           const BatchTransform& transform);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  void WriteInOrder(int sink, const BatchWritten& written);

 private:
  void Read();
  void Work(int worker);
  void Stop();
  Slot& SlotFor(std::uint64_t number) { return *slots_[number % slots_.size()]; }

  int source_;
  std::uint64_t inputSize_;
  PipelineShape shape_;
  const BatchTransform& transform_;
  std::uint64_t batchCount_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::mutex mutex_;
  // One for each thread's wait, so a change wakes only the thread it concerns.
  std::condition_variable slotFree_;         // the reader's
  std::condition_variable slotRead_;         // the workers'
  std::condition_variable slotTransformed_;  // the writing thread's
  std::uint64_t nextToWork_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

Pipeline::Pipeline(int source, std::uint64_t inputSize, const PipelineShape& shape,
                   const BatchTransform& transform)
    : source_(source),
      inputSize_(inputSize),
      shape_(shape),
      transform_(transform),
      batchCount_(
          std::max<std::uint64_t>(1, (inputSize + shape.inCapacity - 1) / shape.inCapacity)) {
  // Enough for the reader and every worker to have a batch in hand while
  // transformed ones wait to be written.
  const std::size_t slots = std::min<std::uint64_t>(
      batchCount_, std::min(MAX_SLOTS, 2 * static_cast<std::size_t>(shape.workers) + 2));
  for (std::size_t i = 0; i < slots; ++i) {
    slots_.push_back(std::make_unique<Slot>(shape.inCapacity, shape.outCapacity));
  }
  try {
    threads_.emplace_back(&Pipeline::Read, this);
    for (int worker = 0; worker < shape.workers; ++worker) {
      threads_.emplace_back(&Pipeline::Work, this, worker);
    }
  } catch (...) {
    Stop();
    throw;
  }
}

Pipeline::~Pipeline() { Stop(); }

void Pipeline::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  slotFree_.notify_all();
  slotRead_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void Pipeline::Read() {
  std::uint64_t remaining = inputSize_;
  for (std::uint64_t number = 0; number < batchCount_; ++number) {
    Slot& slot = SlotFor(number);
    {
      std::unique_lock lock(mutex_);
      slotFree_.wait(lock, [&] { return stopping_ || slot.state == SlotState::Free; });
      if (stopping_) return;
    }
    const auto size =
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, shape_.inCapacity));
    remaining -= size;
    std::exception_ptr failure;
    try {
      if (ReadUpTo(source_, slot.in.Data(), size, "source") < size) SourceChangedSize();
      unsigned char more = 0;
      if (remaining == 0 && ReadUpTo(source_, &more, 1, "source") != 0) SourceChangedSize();
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      slot.batch = Batch{number, number + 1 == batchCount_, slot.in.Data(), size, slot.out.Data()};
      slot.failure = failure;
      slot.state = failure ? SlotState::Transformed : SlotState::Read;
    }
    if (failure) {
      slotTransformed_.notify_one();
    } else {
      slotRead_.notify_one();
    }
    if (failure) return;
  }
}

void Pipeline::Work(int worker) {
  while (true) {
    Slot* slot = nullptr;
    {
      std::unique_lock lock(mutex_);
      slotRead_.wait(lock, [&] {
        return stopping_ || nextToWork_ == batchCount_ ||
               SlotFor(nextToWork_).state == SlotState::Read;
      });
      if (stopping_ || nextToWork_ == batchCount_) return;
      slot = &SlotFor(nextToWork_++);
      slot->state = SlotState::Working;
    }
    std::size_t outSize = 0;
    std::exception_ptr failure;
    try {
      outSize = transform_(worker, slot->batch);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      slot->outSize = outSize;
      slot->failure = failure;
      slot->state = SlotState::Transformed;
    }
    slotTransformed_.notify_one();
  }
}

void Pipeline::WriteInOrder(int sink, const BatchWritten& written) {
  std::uint64_t read = 0;
  std::uint64_t wrote = 0;
  for (std::uint64_t number = 0; number < batchCount_; ++number) {
    Slot& slot = SlotFor(number);
    {
      std::unique_lock lock(mutex_);
      slotTransformed_.wait(lock, [&] {
        return slot.state == SlotState::Transformed && slot.batch.number == number;
      });
    }
    if (slot.failure) std::rethrow_exception(slot.failure);
    WriteAll(sink, slot.out.Data(), slot.outSize, "target");
    read += slot.batch.inSize;
    wrote += slot.outSize;
    {
      std::lock_guard lock(mutex_);
      slot.state = SlotState::Free;
    }
    slotFree_.notify_one();
    written(read, wrote);
  }
}

}  // namespace

void RunPipeline(int source, std::uint64_t inputSize, int sink, const PipelineShape& shape,
                 const BatchTransform& transform, const BatchWritten& written) {
  Pipeline pipeline(source, inputSize, shape, transform);
  pipeline.WriteInOrder(sink, written);
}

void SourceChangedSize() {
  throw Failure(EXIT_IO_ERROR, "the source changed size while it was read");
}

int WorkerCount() {
  cpu_set_t usable;
  CPU_ZERO(&usable);
  const int count = ::sched_getaffinity(0, sizeof usable, &usable) == 0
                        ? CPU_COUNT(&usable)
                        : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(count, 1, MAX_WORKERS);
}

}  // namespace rux4
