// Counting, listing, finding, loading and searching the records of a book.
#include <sys/stat.h>

#include <filesystem>

#include "fuzz_entry.h"
#include "keybook/book_file.h"
#include "keybook_test_helpers.h"

namespace rux {
namespace {

using test::SampleRecordBytes;
using test::WriteBytes;
using Offsets = std::vector<std::uint64_t>;
using BookRead = test::BookTest;

const std::string kNotOpened = " Error no se ha abierto el fichero";
const std::string kNotPresent = "lo siento registro no existente; Repita la Operacion";

TEST_F(BookRead, CountsWholeRecordsAndReadsNothingAfterThem) {
  EXPECT_EQ(CountRecords(book), 0u);
  EXPECT_EQ(test::ReadBytes(book), "");  // counting a missing book creates it empty
  EXPECT_TRUE(ListNames(book)->empty());
  EXPECT_EQ(FindByName(book, "").open, OpenResult::Ok);
  EXPECT_FALSE(FindByName(book, "").record);
  EXPECT_EQ(FindFreeSlot(book), 0);

  // A second record cut short: no operation sees it.
  WriteBytes(book, SampleRecordBytes("first") + SampleRecordBytes("second").substr(0, 704));
  EXPECT_EQ(CountRecords(book), 1u);
  EXPECT_EQ(ListNames(book)->size(), 1u);
  EXPECT_FALSE(ReadFields(book, 2).record);
  EXPECT_FALSE(FindByName(book, "second").record);
  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 2, record), LoadResult::NotPresent);
}

// Deleted means 704 letters n, whatever the 705th byte holds.
TEST_F(BookRead, TheDeletedMarkIsItsLettersAndDeletedRecordsKeepTheirNumbers) {
  std::string noNul = DeletedMark();
  noNul[704] = 'n';
  std::string shortMark = DeletedMark();
  shortMark[703] = 'x';
  WriteBytes(book, SampleRecordBytes("nnnova") + shortMark + noNul + SampleRecordBytes("two") +
                       DeletedMark());
  const std::vector<NameEntry> names = ListNames(book).value();
  std::vector<bool> deleted;
  for (const NameEntry& entry : names) deleted.push_back(entry.deleted);
  EXPECT_EQ(deleted, (std::vector<bool>{false, false, true, false, true}));
  EXPECT_EQ(names[2].name, noNul);  // the scan stops at the record's end
  EXPECT_TRUE(ReadFields(book, 3).record->deleted);
  EXPECT_EQ(FindByName(book, "nnnova").record->number, 1);
  EXPECT_EQ(FindByName(book, "two").record->number, 4);
  EXPECT_EQ(FindFreeSlot(book), 3);
  diag.Take();

  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 3, record), LoadResult::Deleted);
  EXPECT_EQ(LoadRecord(book, 0, record), LoadResult::NotPresent);
  EXPECT_EQ(LoadRecord(book, 6, record), LoadResult::NotPresent);
  EXPECT_EQ(record.name, "");
  EXPECT_EQ(diag.Take(), "\nImposible Seleccionar Un Registro Borrado Operacion Cancelada" +
                             kNotPresent + kNotPresent);
  EXPECT_EQ(LoadRecord(book, 1, record), LoadResult::Loaded);
  EXPECT_EQ(record.name, "nnnova");
}

TEST_F(BookRead, FindByNameGivesTheFirstMatchAndItsTwelveStoredTexts) {
  WriteBytes(book, SampleRecordBytes("b") + SampleRecordBytes("") +
                       SampleRecordBytes("Se\xF1or \x80") + SampleRecordBytes("b"));
  const Lookup found = FindByName(book, "b");
  ASSERT_TRUE(found.record);
  EXPECT_EQ(found.record->number, 1);
  const FieldTexts expected = {"ab", "cd", "ef", "gh",  "ij",         "kl",
                               "mn", "op", "qr", "abc", "5000000000", "3250000000.01"};
  EXPECT_EQ(found.record->fields, expected);
  EXPECT_EQ(FindByName(book, "").record->number, 2);
  EXPECT_EQ(FindByName(book, "Se\xC3\xB1or \xE2\x82\xAC").record->number, 3);
  EXPECT_EQ(ListNames(book)->at(2).name, "Se\xC3\xB1or \xE2\x82\xAC");
  EXPECT_FALSE(FindByName(book, "B").record);
  EXPECT_EQ(ReadFields(book, 4).record->name, "b");
  for (const int number : {0, -1, 5}) EXPECT_FALSE(ReadFields(book, number).record) << number;
}

TEST_F(BookRead, FoldersPipesAndMissingFilesAreEmptyBooksThatCannotBeWritten) {
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {dir.Path(), pipe, book}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ListNames(path));
    EXPECT_EQ(FindByName(path, "x").open, OpenResult::NotAccessible);
    EXPECT_EQ(ReadFields(path, 1).open, OpenResult::NotAccessible);
    EXPECT_EQ(WriteRecordAt(path, 1, Sample("x")), WriteResult::Failed);
    EXPECT_EQ(MarkDeleted(path, 1), WriteResult::Failed);
    EXPECT_EQ(diag.Take(), kNotOpened + kNotOpened);
    EXPECT_FALSE(test::Exists(book));
    EXPECT_EQ(CountRecords(path), 0u);
    EXPECT_EQ(FindFreeSlot(path), 0);
    EXPECT_EQ(SearchText(path, ""), Offsets{});
    diag.Take();
  }
}

TEST_F(BookRead, ScansCrossTheirReadBuffers) {
  std::string bytes;
  for (int i = 1; i <= 3001; ++i) bytes += SampleRecordBytes("r" + std::to_string(i));
  bytes.replace(2999 * 705, 705, DeletedMark());
  WriteBytes(book, bytes);
  const std::vector<NameEntry> names = ListNames(book).value();
  ASSERT_EQ(names.size(), 3001u);
  EXPECT_EQ(names[kRecordsPerRead].name, "r" + std::to_string(kRecordsPerRead + 1));
  EXPECT_EQ(FindByName(book, "r3001").record->number, 3001);
  EXPECT_EQ(FindFreeSlot(book), 3000);

  // Marks placed around the 128 KiB read boundaries of the search; a text
  // longer than a page across one of them.
  for (const std::size_t boundary :
       {std::size_t{1} << 17, std::size_t{2} << 17, std::size_t{1} << 20}) {
    for (const std::size_t at : {boundary - 7, boundary - 3, boundary - 1, boundary, boundary + 2})
      bytes.replace(at, 3, "XYX");
  }
  WriteBytes(book, bytes);
  const std::string across = bytes.substr((3 << 17) - 2500, 5000);
  for (const std::string& needle :
       std::vector<std::string>{"XYX", "XYXYX", "YX", "r1", "3250000000.01", across})
    EXPECT_EQ(SearchText(book, needle), fuzz::PlainSearch(bytes, needle)) << needle.substr(0, 20);
}

TEST_F(BookRead, LoadRecordPrintsTheRecordAndListRecordsShowsItsRawFields) {
  WriteBytes(book, SampleRecordBytes("one") + SampleRecordBytes("two"));
  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 2, record), LoadResult::Loaded);
  EXPECT_EQ(record.name, "two");
  EXPECT_EQ(record.recordNumber, 2);
  EXPECT_EQ(record.recordCount, 2u);
  const std::string printed = diag.Take();
  EXPECT_TRUE(printed.starts_with("\nNombre de la Clave Maestra: two\nclave1: ab\n")) << printed;
  EXPECT_TRUE(printed.ends_with("3250000000.010\nnumero :_2 activado satisfactoriamente\n"));

  ListRecordsToConsole(book, 2, 1);
  const std::string header = "\n Numero de Registros del Libro " + book + "_:_ 2\n";
  std::string expected = header + "clave n_2 _: " + test::Field("two", 20, '_') + "\n";
  for (const std::string& key : test::SampleRecord().keys)
    expected += test::Field(key, 65, '_') + "\n";
  expected += test::Field("5000000000", 15, ',') + "\n" + test::Field("3250000000.01", 20, '-');
  EXPECT_EQ(diag.Take(), expected + "\n\n");
  ListRecordsToConsole(book, 3, 1);
  EXPECT_EQ(diag.Take(), header + "\n");
}

TEST_F(BookRead, SearchTextGivesEveryOffsetOfTheWindows1252Bytes) {
  WriteBytes(book, SampleRecordBytes());
  EXPECT_EQ(SearchText(book, "ab"), (Offsets{20, 605}));
  WriteBytes(book, SampleRecordBytes("Se\xF1or") + SampleRecordBytes("two"));
  EXPECT_EQ(SearchText(book, std::string("ab\0_", 4)), (Offsets{20, 725}));
  EXPECT_EQ(SearchText(book, "-two"), (Offsets{704}));
  EXPECT_EQ(SearchText(book, ",,3250000000.01"), (Offsets{683, 1388}));
  EXPECT_EQ(SearchText(book, "\xC3\xB1o"), (Offsets{2}));
  EXPECT_EQ(SearchText(book, "AB"), Offsets{});

  WriteBytes(book, "aaaaa");
  EXPECT_EQ(SearchText(book, "aa"), (Offsets{0, 1, 2, 3}));
  EXPECT_EQ(SearchText(book, ""), (Offsets{0, 1, 2, 3, 4}));
  Offsets seen;
  SearchText(book, "a", [&seen](std::uint64_t offset) {
    seen.push_back(offset);
    return seen.size() < 2;  // stops the scan
  });
  EXPECT_EQ(seen, (Offsets{0, 1}));
}

// The committed fuzzing corpus, through the fuzzer's own entry point.
TEST(FuzzCorpus, EveryInputPassesTheChecks) {
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/fuzz-corpus")) {
    const std::string bytes = test::ReadBytes(entry.path().string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(fuzz::CheckKeyBookBytes(data, bytes.size()), "") << entry.path();
    ++inputs;
  }
  EXPECT_GE(inputs, 10);
}

}  // namespace
}  // namespace rux
