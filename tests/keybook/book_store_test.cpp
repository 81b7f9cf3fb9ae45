// Storing, appending, overwriting and deleting records in a book file.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "keybook_test_helpers.h"
#include "platform/files/file_lock.h"

namespace rux {
namespace {

using test::ReadBytes;
using test::SampleRecordBytes;
using BookStore = test::BookTest;

TEST_F(BookStore, FirstStoreCreatesAnOwnerOnlyBook) {
  const StoreResult result = Store("test");
  EXPECT_EQ(result.slot, 0);
  EXPECT_EQ(result.write, WriteResult::Written);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes());
  struct stat info {};
  ASSERT_EQ(::stat(book.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(BookStore, NewRecordsReuseTheLowestDeletedSlotThenAppend) {
  for (const char* name : {"a", "b", "c", "d"}) Store(name);
  EXPECT_EQ(MarkDeleted(book, 4), WriteResult::Written);
  EXPECT_EQ(MarkDeleted(book, 2), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book).substr(705, 705), DeletedMark());
  MasterKeyRecord reused = Sample("e");
  EXPECT_EQ(StoreNewRecord(book, reused).slot, 2);
  EXPECT_EQ(reused.recordNumber, 2);
  EXPECT_EQ(reused.recordCount, 4u);
  EXPECT_EQ(Store("f").slot, 4);
  EXPECT_EQ(Store("g").slot, 0);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("a") + SampleRecordBytes("e") +
                                 SampleRecordBytes("c") + SampleRecordBytes("f") +
                                 SampleRecordBytes("g"));
}

TEST_F(BookStore, WriteRecordAtWritesInPlaceButNeverBeforeTheFirstRecord) {
  Store("one");
  for (const int number : {0, -1}) {
    EXPECT_EQ(WriteRecordAt(book, number, Sample("x")), WriteResult::Failed);
    EXPECT_EQ(MarkDeleted(book, number), WriteResult::Failed);
  }
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("one"));
  EXPECT_EQ(WriteRecordAt(book, 1, Sample("uno")), WriteResult::Written);
  EXPECT_EQ(WriteRecordAt(book, 3, Sample("tres")), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book),
            SampleRecordBytes("uno") + std::string(705, '\0') + SampleRecordBytes("tres"));
}

TEST_F(BookStore, AppendNeedsABookPathAndGoesAfterTheLastWholeRecord) {
  test::WriteBytes(book, std::string(1000, 'x'));
  MasterKeyRecord noBook = test::SampleRecord("x");
  EXPECT_EQ(AppendRecord(book, noBook), WriteResult::Failed);
  EXPECT_EQ(diag.Take(),
            "Error no se puede realizar la operacion hasta que abra un libro de claves");
  MasterKeyRecord record = Sample("two");
  EXPECT_EQ(AppendRecord(book, record), WriteResult::Written);
  EXPECT_EQ(record.recordCount, 1u);
  EXPECT_EQ(ReadBytes(book), std::string(705, 'x') + SampleRecordBytes("two"));
}

// A file-size limit cuts the second record short: each write that fails is
// reported with its reason and undone, the book byte-for-byte as it was.
TEST_F(BookStore, AFailedWriteLeavesTheBookByteForByteAsItWas) {
  Store("one");
  const std::string cutShort = SampleRecordBytes("one") + std::string(200, 'x');
  test::WriteBytes(dir.File("cut.kb"), cutShort);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const sighandler_t savedHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = saved;
  limit.rlim_cur = 1000;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  MasterKeyRecord record = Sample("two");
  const StoreResult stored = StoreNewRecord(book, record);
  const WriteResult overCut = AppendRecord(dir.File("cut.kb"), record);
  const WriteResult beyond = MarkDeleted(book, 2);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, savedHandler);
  for (const WriteResult& failed : {stored.write, overCut, beyond}) {
    EXPECT_EQ(failed, WriteResult::Failed);
    EXPECT_EQ(failed.error, EFBIG);
  }
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("one"));
  EXPECT_EQ(ReadBytes(dir.File("cut.kb")), cutShort);
}

// Another program holds the book: while it reads, others read too and no
// write starts; while it writes, nothing starts. Waiting ends with InUse.
TEST_F(BookStore, ABookAnotherProgramHoldsIsLeftAloneAndReportedInUse) {
  Store("one");
  const LockPatience impatient(std::chrono::milliseconds(1));
  for (const int hold : {LOCK_SH, LOCK_EX}) {
    SCOPED_TRACE(hold);
    const int holder = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, hold), 0);
    const OpenResult reads = hold == LOCK_SH ? OpenResult::Ok : OpenResult::InUse;
    EXPECT_EQ(ReadFields(book, 1).open, reads);
    EXPECT_EQ(SearchText(book, "one", [](std::uint64_t) { return true; }), reads);
    MasterKeyRecord record = Sample("two");
    EXPECT_EQ(StoreNewRecord(book, record).write, WriteResult::InUse);
    EXPECT_EQ(AppendRecord(book, record), WriteResult::InUse);
    EXPECT_EQ(WriteRecordAt(book, 1, record), WriteResult::InUse);
    EXPECT_EQ(MarkDeleted(book, 1), WriteResult::InUse);
    ::close(holder);
  }
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("one"));
  EXPECT_EQ(MarkDeleted(book, 1), WriteResult::Written);
}

}  // namespace
}  // namespace rux
