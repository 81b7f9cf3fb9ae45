// Storing, appending, overwriting and deleting records in a book file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "keybook_test_helpers.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using test::ReadBytes;
using test::SampleRecordBytes;
using test::WriteBytes;

const std::string kNotOpened = " Error no se ha abierto el fichero";

class BookStore : public ::testing::Test {
 protected:
  MasterKeyRecord Sample(const std::string& name) {
    MasterKeyRecord record = test::SampleRecord(name);
    record.bookPath = book;
    return record;
  }
  StoreResult Store(const std::string& name) {
    MasterKeyRecord record = Sample(name);
    return StoreNewRecord(book, record);
  }
  std::string RecordAt(int number) { return ReadBytes(book).substr((number - 1) * 705, 705); }

  test::TempDir dir;
  std::string book = dir.File("book.kb");
  test::CapturedDiagnostics diag;
};

TEST_F(BookStore, FirstStoreCreatesAnOwnerOnlyBook) {
  const StoreResult result = Store("test");
  EXPECT_EQ(result.slot, 0);
  EXPECT_EQ(result.write, WriteResult::Written);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes());
  struct stat info {};
  ASSERT_EQ(::stat(book.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(BookStore, NewRecordsReuseTheFirstDeletedSlotThenAppend) {
  for (const char* name : {"one", "two", "three"}) Store(name);
  EXPECT_EQ(MarkDeleted(book, 2), WriteResult::Written);
  EXPECT_EQ(RecordAt(2), DeletedMark());
  EXPECT_EQ(ReadBytes(book).size(), 3u * 705);

  MasterKeyRecord fourth = Sample("four");
  const StoreResult reused = StoreNewRecord(book, fourth);
  EXPECT_EQ(reused.slot, 2);
  EXPECT_EQ(reused.write, WriteResult::Written);
  EXPECT_EQ(fourth.recordNumber, 2);
  EXPECT_EQ(fourth.recordCount, 3u);
  EXPECT_EQ(RecordAt(2), SampleRecordBytes("four"));

  MasterKeyRecord fifth = Sample("five");
  const StoreResult appended = StoreNewRecord(book, fifth);
  EXPECT_EQ(appended.slot, 0);
  EXPECT_EQ(fifth.recordNumber, 0);
  EXPECT_EQ(fifth.recordCount, 3u);
  EXPECT_EQ(RecordAt(4), SampleRecordBytes("five"));
  EXPECT_EQ(RecordAt(1), SampleRecordBytes("one"));
  EXPECT_EQ(RecordAt(3), SampleRecordBytes("three"));
}

TEST_F(BookStore, LowestDeletedSlotIsReusedFirst) {
  for (const char* name : {"a", "b", "c", "d"}) Store(name);
  MarkDeleted(book, 4);
  MarkDeleted(book, 2);
  EXPECT_EQ(FindFreeSlot(book), 2);
  EXPECT_EQ(Store("e").slot, 2);
  EXPECT_EQ(Store("f").slot, 4);
  EXPECT_EQ(Store("g").slot, 0);
}

TEST_F(BookStore, NamesBeginningWithNnnAreLiveRecords) {
  Store("nnnx");
  std::string almostMark = DeletedMark();
  almostMark[704] = 'n';  // 705 letters n: not the deleted mark
  WriteBytes(book, ReadBytes(book) + almostMark);
  EXPECT_EQ(FindFreeSlot(book), 0);
  EXPECT_EQ(Store("new").slot, 0);
  EXPECT_EQ(RecordAt(1), SampleRecordBytes("nnnx"));
  EXPECT_EQ(RecordAt(3), SampleRecordBytes("new"));
}

TEST_F(BookStore, WriteRecordAtOverwritesInPlaceAndExtendsWithZeros) {
  Store("one");
  EXPECT_EQ(WriteRecordAt(book, 1, Sample("uno")), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("uno"));
  EXPECT_EQ(WriteRecordAt(book, 3, Sample("tres")), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book),
            SampleRecordBytes("uno") + std::string(705, '\0') + SampleRecordBytes("tres"));
}

TEST_F(BookStore, NumbersBelowOneWriteNothing) {
  Store("one");
  EXPECT_EQ(WriteRecordAt(book, 0, Sample("x")), WriteResult::Failed);
  EXPECT_EQ(WriteRecordAt(book, -1, Sample("x")), WriteResult::Failed);
  EXPECT_EQ(MarkDeleted(book, 0), WriteResult::Failed);
  EXPECT_EQ(MarkDeleted(book, -5), WriteResult::Failed);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("one"));
}

TEST_F(BookStore, WritesNeverCreateABook) {
  diag.Take();
  EXPECT_EQ(WriteRecordAt(book, 1, Sample("x")), WriteResult::Failed);
  EXPECT_EQ(diag.Take(), kNotOpened);
  EXPECT_EQ(MarkDeleted(book, 1), WriteResult::Failed);
  EXPECT_EQ(diag.Take(), kNotOpened);
  EXPECT_FALSE(test::Exists(book));
}

TEST_F(BookStore, AFolderIsNoBook) {
  const std::string folder = dir.Path();
  MasterKeyRecord record = Sample("x");
  record.bookPath = folder;
  const StoreResult result = StoreNewRecord(folder, record);
  EXPECT_EQ(result.slot, 0);
  EXPECT_EQ(result.write, WriteResult::Failed);
  EXPECT_EQ(record.recordCount, 0u);
  EXPECT_EQ(diag.Text(), "\n" + kNotOpened);
}

TEST_F(BookStore, AppendNeedsABookPath) {
  Store("one");
  diag.Take();
  MasterKeyRecord record = test::SampleRecord("x");
  EXPECT_EQ(AppendRecord(book, record), WriteResult::Failed);
  EXPECT_EQ(diag.Take(),
            "Error no se puede realizar la operacion hasta que abra un libro de claves");
  EXPECT_EQ(record.recordCount, 1u);
  EXPECT_EQ(ReadBytes(book), SampleRecordBytes("one"));
}

TEST_F(BookStore, AppendAfterAPartialRecordOverwritesItsTail) {
  WriteBytes(book, std::string(1000, 'x'));
  EXPECT_EQ(CountRecords(book), 1u);
  MasterKeyRecord record = Sample("two");
  EXPECT_EQ(AppendRecord(book, record), WriteResult::Written);
  const std::string bytes = ReadBytes(book);
  EXPECT_EQ(bytes.size(), 1410u);
  EXPECT_EQ(bytes.substr(0, 705), std::string(705, 'x'));
  EXPECT_EQ(bytes.substr(705), SampleRecordBytes("two"));
}

TEST_F(BookStore, LengthMessagesComeWithTheWrite) {
  Store("one");
  diag.Take();
  MasterKeyRecord record = Sample(std::string(25, 'L'));
  EXPECT_EQ(WriteRecordAt(book, 1, record), WriteResult::Written);
  EXPECT_EQ(diag.Take(), "error de longitud en nombre");
  EXPECT_EQ(RecordAt(1).substr(0, 20), std::string(19, 'L') + '\0');
}

// A file size limit makes the system write only part of a record.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t previousHandler_ = SIG_DFL;
};

TEST_F(BookStore, AShortWriteIsReportedAsFailed) {
  Store("one");
  {
    FileSizeLimit limit(1000);
    MasterKeyRecord record = Sample("two");
    EXPECT_EQ(AppendRecord(book, record), WriteResult::Failed);
    EXPECT_EQ(MarkDeleted(book, 2), WriteResult::Failed);
    EXPECT_EQ(MarkDeleted(book, 1), WriteResult::Written);
  }
  EXPECT_EQ(ReadBytes(book).size(), 1000u);
}

}  // namespace
}  // namespace rux
