// Storing, appending, overwriting and deleting records in a book file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "keybook_test_helpers.h"

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

TEST_F(BookStore, AShortWriteIsReportedAsFailed) {
  Store("one");
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const sighandler_t savedHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = saved;
  limit.rlim_cur = 1000;  // the system writes only part of a second record
  ::setrlimit(RLIMIT_FSIZE, &limit);
  MasterKeyRecord record = Sample("two");
  EXPECT_EQ(AppendRecord(book, record), WriteResult::Failed);
  EXPECT_EQ(MarkDeleted(book, 2), WriteResult::Failed);
  EXPECT_EQ(MarkDeleted(book, 1), WriteResult::Written);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(ReadBytes(book), DeletedMark() + std::string(295, 'n'));
}

}  // namespace
}  // namespace rux
