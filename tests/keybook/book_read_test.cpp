// Counting, listing, finding and loading records of a book file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "keybook_test_helpers.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using test::SampleRecordBytes;
using test::WriteBytes;

class BookRead : public ::testing::Test {
 protected:
  void MakeBook(std::initializer_list<std::string> records) {
    std::string bytes;
    for (const std::string& record : records) bytes += record;
    WriteBytes(book, bytes);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    const auto entries = ListNames(book);
    if (!entries) return {"<not accessible>"};
    for (const NameEntry& entry : *entries) {
      names.push_back(entry.deleted ? "<deleted>" : entry.name);
    }
    return names;
  }

  test::TempDir dir;
  std::string book = dir.File("book.kb");
  test::CapturedDiagnostics diag;
};

TEST_F(BookRead, CountIsTheSizeInWholeRecords) {
  EXPECT_EQ(CountRecords(book), 0u);
  EXPECT_TRUE(test::Exists(book));  // counting a missing book creates it empty
  WriteBytes(book, std::string(1000, 'x'));
  EXPECT_EQ(CountRecords(book), 1u);
  WriteBytes(book, std::string(1410, 'x'));
  EXPECT_EQ(CountRecords(book), 2u);
  EXPECT_EQ(CountRecords(dir.Path()), 0u);
  EXPECT_EQ(CountRecords(dir.File("no/such/folder")), 0u);
}

TEST_F(BookRead, DeletedRecordsKeepTheirNumbers) {
  MakeBook({DeletedMark(), SampleRecordBytes("two"), SampleRecordBytes("nnnova")});
  EXPECT_EQ(Names(), (std::vector<std::string>{"<deleted>", "two", "nnnova"}));
  EXPECT_EQ(ListNames(book)->at(0).name, std::string(704, 'n'));
  EXPECT_EQ(FindByName(book, "two").record->number, 2);
  EXPECT_EQ(FindByName(book, "nnnova").record->number, 3);
  EXPECT_FALSE(FindByName(book, "nnnova").record->deleted);
}

TEST_F(BookRead, NamesInFileOrderWithDuplicatesAndEmptyNames) {
  MakeBook({SampleRecordBytes("b"), SampleRecordBytes(""), SampleRecordBytes("a"),
            SampleRecordBytes("b")});
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "", "a", "b"}));
  EXPECT_EQ(FindByName(book, "b").record->number, 1);
  EXPECT_EQ(FindByName(book, "").record->number, 2);
  EXPECT_FALSE(FindByName(book, "B").record.has_value());
}

TEST_F(BookRead, ANameCutByTheEndOfTheFileIsNotListed) {
  const std::string second = SampleRecordBytes("second");
  WriteBytes(book, SampleRecordBytes("first") + second.substr(0, 4));
  EXPECT_EQ(Names(), (std::vector<std::string>{"first"}));
  WriteBytes(book, SampleRecordBytes("first") + second.substr(0, 30));
  EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(ReadFields(book, 2).record->fields[0], "ab");
}

TEST_F(BookRead, FindByNameGivesTheTwelveStoredTexts) {
  MakeBook({SampleRecordBytes("one"), SampleRecordBytes("two")});
  const Lookup lookup = FindByName(book, "two");
  ASSERT_EQ(lookup.open, OpenResult::Ok);
  ASSERT_TRUE(lookup.record);
  EXPECT_EQ(lookup.record->number, 2);
  EXPECT_EQ(lookup.record->name, "two");
  const FieldTexts expected = {"ab", "cd", "ef", "gh",  "ij",         "kl",
                               "mn", "op", "qr", "abc", "5000000000", "3250000000.01"};
  EXPECT_EQ(lookup.record->fields, expected);
}

TEST_F(BookRead, TextsInTheBookComeBackAsUtf8) {
  MakeBook({SampleRecordBytes("Se\xF1or \x80")});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Se\xC3\xB1or \xE2\x82\xAC"}));
  EXPECT_EQ(FindByName(book, "Se\xC3\xB1or \xE2\x82\xAC").record->number, 1);
  EXPECT_FALSE(FindByName(book, "Se\xC3\xB1or \xE4\xB8\xAD").record.has_value());
}

TEST_F(BookRead, ReadFieldsByNumberIncludingDeletedRecords) {
  MakeBook({SampleRecordBytes("one"), DeletedMark()});
  EXPECT_EQ(ReadFields(book, 1).record->name, "one");
  const Lookup deleted = ReadFields(book, 2);
  ASSERT_TRUE(deleted.record);
  EXPECT_TRUE(deleted.record->deleted);
  EXPECT_EQ(deleted.record->fields[0], std::string(704 - 20, 'n'));
  EXPECT_FALSE(ReadFields(book, 3).record.has_value());
  EXPECT_FALSE(ReadFields(book, 0).record.has_value());
  EXPECT_FALSE(ReadFields(book, -1).record.has_value());
}

TEST_F(BookRead, DirectReadsNeverCreateABook) {
  EXPECT_FALSE(ListNames(book).has_value());
  EXPECT_EQ(FindByName(book, "x").open, OpenResult::NotAccessible);
  EXPECT_EQ(ReadFields(book, 1).open, OpenResult::NotAccessible);
  EXPECT_FALSE(test::Exists(book));
  EXPECT_FALSE(ListNames(dir.Path()).has_value());
  EXPECT_EQ(FindByName(dir.Path(), "x").open, OpenResult::NotAccessible);
}

TEST_F(BookRead, APipeIsNoBookAndNothingWaitsOnIt) {
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(CountRecords(pipe), 0u);
  EXPECT_FALSE(ListNames(pipe).has_value());
  EXPECT_EQ(ReadFields(pipe, 1).open, OpenResult::NotAccessible);
  EXPECT_EQ(FindFreeSlot(pipe), 0);
  EXPECT_TRUE(SearchText(pipe, "x").empty());
  EXPECT_EQ(MarkDeleted(pipe, 1), WriteResult::Failed);
  EXPECT_EQ(WriteRecordAt(pipe, 1, test::SampleRecord()), WriteResult::Failed);
}

TEST_F(BookRead, EmptyBookHasNothing) {
  WriteBytes(book, "");
  EXPECT_TRUE(ListNames(book)->empty());
  EXPECT_EQ(FindByName(book, "").open, OpenResult::Ok);
  EXPECT_FALSE(FindByName(book, "").record.has_value());
  EXPECT_FALSE(ReadFields(book, 1).record.has_value());
  EXPECT_EQ(FindFreeSlot(book), 0);
}

TEST_F(BookRead, RecordsWithoutNulBytesStayWithinTheirRecord) {
  MakeBook({std::string(705, '\xFF'), SampleRecordBytes("two"), std::string(705, 'n')});
  const auto names = ListNames(book).value();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].name.size(), 705u * 2);  // 705 x ÿ, two bytes each in UTF-8
  EXPECT_EQ(names[1].name, "two");
  EXPECT_FALSE(names[2].deleted);
  EXPECT_EQ(ReadFields(book, 1).record->fields[11].size(), 20u * 2);
  EXPECT_EQ(FindByName(book, "two").record->number, 2);
  EXPECT_EQ(FindFreeSlot(book), 0);
}

TEST_F(BookRead, ScansCrossTheirReadBuffers) {
  std::string bytes;
  const int count = 3001;  // a little over two reads of the book
  for (int i = 1; i <= count; ++i) bytes += SampleRecordBytes("r" + std::to_string(i));
  bytes.replace(2999 * 705, 705, DeletedMark());
  WriteBytes(book, bytes);
  EXPECT_EQ(ListNames(book)->size(), 3001u);
  EXPECT_EQ(ListNames(book)->at(1487).name, "r1488");
  EXPECT_EQ(ListNames(book)->at(1488).name, "r1489");
  EXPECT_EQ(FindByName(book, "r3001").record->number, 3001);
  EXPECT_EQ(FindByName(book, "r1489").record->number, 1489);
  EXPECT_EQ(FindFreeSlot(book), 3000);
}

TEST_F(BookRead, LoadRecordFillsTheRecordAndListsIt) {
  MakeBook({SampleRecordBytes("one"), SampleRecordBytes("two")});
  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 2, record), LoadResult::Loaded);
  EXPECT_EQ(record.name, "two");
  EXPECT_EQ(record.keys[9], "abc");
  EXPECT_EQ(record.enlarge, 5000000000.0);
  EXPECT_EQ(record.scrambleExponent, 1);
  EXPECT_EQ(record.recordNumber, 2);
  EXPECT_EQ(record.recordCount, 2u);
  EXPECT_EQ(diag.Text(),
            "\nNombre de la Clave Maestra: two\n"
            "clave1: ab\nclave2: cd\nclave3: ef\nclave4: gh\nclave5: ij\n"
            "clave6: kl\nclave7: mn\nclave8: op\nclave9: qr\nclave10: abc\n"
            "engorde: 5000000000\ndesorden: 3250000000.010\n"
            "numero :_2 activado satisfactoriamente\n");
}

TEST_F(BookRead, LoadRecordRefusesMissingAndDeletedRecords) {
  MakeBook({SampleRecordBytes("nnnx"), DeletedMark()});
  MasterKeyRecord record;
  record.name = "untouched";
  EXPECT_EQ(LoadRecord(book, 0, record), LoadResult::NotPresent);
  EXPECT_EQ(LoadRecord(book, 3, record), LoadResult::NotPresent);
  EXPECT_EQ(diag.Take(),
            "lo siento registro no existente; Repita la Operacion"
            "lo siento registro no existente; Repita la Operacion");
  EXPECT_EQ(LoadRecord(book, 2, record), LoadResult::Deleted);
  EXPECT_EQ(diag.Take(), "\nImposible Seleccionar Un Registro Borrado Operacion Cancelada");
  EXPECT_EQ(record.name, "untouched");
  EXPECT_EQ(LoadRecord(book, 1, record), LoadResult::Loaded);
  EXPECT_EQ(record.name, "nnnx");
}

TEST_F(BookRead, LoadRecordOfAMalformedFieldStillLoads) {
  std::string bytes = SampleRecordBytes("one");
  bytes.replace(ENLARGE_OFFSET, 15, test::Field("abc", 15, ','));
  MakeBook({bytes});
  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 1, record), LoadResult::Loaded);
  EXPECT_EQ(diag.Text().substr(0, 21), "\nError en conversion\n");
  EXPECT_EQ(record.enlarge, 0);
}

TEST_F(BookRead, ListRecordToConsoleShowsTheRawFields) {
  MakeBook({SampleRecordBytes("one"), SampleRecordBytes("two")});
  ListRecordsToConsole(book, 2, 1);
  std::string expected = "\n Numero de Registros del Libro " + book + "_:_ 2\n";
  expected += "clave n_2 _: " + test::Field("two", 20, '_') + "\n";
  for (const std::string& key : test::SampleRecord().keys)
    expected += test::Field(key, 65, '_') + "\n";
  expected += test::Field("5000000000", 15, ',') + "\n";
  expected += test::Field("3250000000.01", 20, '-') + "\n\n";
  EXPECT_EQ(diag.Take(), expected);

  ListRecordsToConsole(book, 3, 1);
  EXPECT_EQ(diag.Take(), "\n Numero de Registros del Libro " + book + "_:_ 2\n\n");
}

}  // namespace
}  // namespace rux
