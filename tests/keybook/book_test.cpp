// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// The operations on a book file, and other programs using it at the same time.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "keybook/book_file.h"
#include "keybook_test.h"
#include "platform/files/file_lock.h"

namespace rux {
namespace {

using namespace std::string_literals;
using test::ExampleBytes;
using test::ReadBytes;
using test::WriteBytes;
using Offsets = std::vector<std::uint64_t>;
using test::KeyBook;

// Deleted means 704 letters n, whatever the 705th byte holds. Bytes after the
// last whole record (a write cut short) belong to no record.
TEST_F(KeyBook, DeletedRecordsKeepTheirNumbersAndACutRecordIsNone) {
  std::string noNul = DeletedMark(), notAMark = DeletedMark();
  noNul[704] = 'n';
  notAMark[703] = 'x';
  WriteBytes(book, ExampleBytes("nnnova") + notAMark + noNul + ExampleBytes("b") + DeletedMark() +
                       ExampleBytes("b") + ExampleBytes("cut").substr(0, 704));
  EXPECT_EQ(CountRecords(book), 6u);
  const std::vector<NameEntry> names = ListNames(book).value();
  std::vector<bool> deleted;
  for (const NameEntry& entry : names) deleted.push_back(entry.deleted);
  EXPECT_EQ(deleted, (std::vector<bool>{false, false, true, false, true, false}));
  EXPECT_TRUE(ReadFields(book, 3).record->deleted);
  EXPECT_EQ(FindFreeSlot(book), 3);
  EXPECT_EQ(FindByName(book, "b").record->number, 4);
  EXPECT_EQ(FindByName(book, "b").record->fields,
            (FieldTexts{"ab", "cd", "ef", "gh", "ij", "kl", "mn", "op", "qr", "abc", "5000000000",
                        "3250000000.01"}));
  EXPECT_EQ(ReadFields(book, 6).record->name, "b");
  for (const int number : {0, -1, 7}) EXPECT_FALSE(ReadFields(book, number).record) << number;
  EXPECT_FALSE(FindByName(book, "cut").record);
  EXPECT_FALSE(FindByName(book, "B").record);
  diag.Take();
  MasterKeyRecord record;
  EXPECT_EQ(LoadRecord(book, 3, record), LoadResult::Deleted);
  EXPECT_EQ(LoadRecord(book, 0, record), LoadResult::NotPresent);
  EXPECT_EQ(LoadRecord(book, 7, record), LoadResult::NotPresent);
  EXPECT_EQ(LoadRecord(book, 1, record), LoadResult::Loaded);
  EXPECT_EQ(record.recordCount, 6u);
  ListRecordsToConsole(book, 1, 1);  // before a deletion: the record's raw fields
  const std::string one = ExampleBytes("nnnova");
  std::string fields = one.substr(0, 20) + "\n";
  for (int n = 1; n <= 10; ++n) fields += one.substr(KeyOffset(n), 65) + "\n";
  EXPECT_EQ(diag.Take(),
            "\nImposible Seleccionar Un Registro Borrado Operacion Cancelada"
            "lo siento registro no existente; Repita la Operacion"
            "lo siento registro no existente; Repita la Operacion"
            "\nNombre de la Clave Maestra: nnnova\n"
            "clave1: ab\nclave2: cd\nclave3: ef\nclave4: gh\nclave5: ij\n"
            "clave6: kl\nclave7: mn\nclave8: op\nclave9: qr\nclave10: abc\n"
            "engorde: 5000000000\ndesorden: 3250000000.010\n"
            "numero :_1 activado satisfactoriamente\n"
            "\n Numero de Registros del Libro " +
                book + "_:_ 6\nclave n_1 _: " + fields + one.substr(ENLARGE_OFFSET, 15) + "\n" +
                one.substr(SCRAMBLE_OFFSET) + "\n\n");
}

// Names and searched texts are Windows-1252 bytes in the book. The search
// sees the raw file: every offset, across fields, records and its reads.
TEST_F(KeyBook, NamesAndSearchesAreWindows1252AndSearchesSeeEveryOffset) {
  WriteBytes(book, ExampleBytes("Se\xF1or \x80") + ExampleBytes(""));
  EXPECT_EQ(ListNames(book)->at(0).name, "Se\xC3\xB1or \xE2\x82\xAC");
  EXPECT_EQ(FindByName(book, "Se\xC3\xB1or \xE2\x82\xAC").record->number, 1);
  EXPECT_EQ(FindByName(book, "").record->number, 2);
  EXPECT_EQ(SearchText(book, "\xC3\xB1o"), (Offsets{2}));
  EXPECT_EQ(SearchText(book, "AB"), Offsets{});
  EXPECT_EQ(SearchText(book, "").size(), 1410u);
  Offsets seen;
  SearchText(book, "_", [&seen](std::uint64_t offset) {
    seen.push_back(offset);
    return seen.size() < 2;  // stops the scan
  });
  EXPECT_EQ(seen, (Offsets{8, 9}));

  // 128 KiB reads: names, free slots and matches each side of their ends and across.
  std::string bytes;
  for (int i = 1; i <= 3001; ++i) bytes += ExampleBytes("r" + std::to_string(i));
  bytes.replace(2999 * 705, 705, DeletedMark());
  for (const std::size_t end : {1u << 17, 2u << 17, 1u << 20}) {
    for (const std::size_t at : {end - 7, end - 3, end - 1, end, end + 2})
      bytes.replace(at, 3, "XYX");
  }
  WriteBytes(book, bytes);
  EXPECT_EQ(ListNames(book)->at(kRecordsPerRead).name, "r" + std::to_string(kRecordsPerRead + 1));
  EXPECT_EQ(FindByName(book, "r3001").record->number, 3001);
  EXPECT_EQ(FindFreeSlot(book), 3000);
  const std::string across = bytes.substr((3 << 17) - 2500, 5000);
  for (const std::string& needle : {"XYX"s, "YX"s, "r1"s, "3250000000.01"s, across}) {
    Offsets expected;
    for (auto at = bytes.find(needle); at != bytes.npos; at = bytes.find(needle, at + 1))
      expected.push_back(at);
    EXPECT_EQ(SearchText(book, needle), expected) << needle.substr(0, 20);
  }
}

// The first store makes the book, owner only. Deleted slots are reused lowest
// first, then records go after the last whole record; writes in place never
// go before the first record, and beyond the end leave zero bytes between.
TEST_F(KeyBook, StoresReuseTheLowestDeletedSlotThenAppend) {
  EXPECT_EQ(Store("a").slot, 0);
  EXPECT_EQ(std::filesystem::status(book).permissions(), std::filesystem::perms(0600));
  for (const char* name : {"b", "c", "d"}) EXPECT_EQ(Store(name).write, WriteResult::Written);
  EXPECT_EQ(MarkDeleted(book, 4), WriteResult::Written);
  EXPECT_EQ(MarkDeleted(book, 2), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book).substr(705, 705), std::string(704, 'n') + '\0');
  MasterKeyRecord reused = test::Example("e", book);
  EXPECT_EQ(StoreNewRecord(book, reused).slot, 2);
  EXPECT_EQ(reused.recordNumber, 2);
  EXPECT_EQ(reused.recordCount, 4u);
  EXPECT_EQ(Store("f").slot, 4);
  WriteBytes(book, ReadBytes(book) + std::string(300, 'x'));
  MasterKeyRecord noBook = test::Example("x");
  diag.Take();
  EXPECT_EQ(AppendRecord(book, noBook), WriteResult::Failed);
  EXPECT_EQ(diag.Take(),
            "Error no se puede realizar la operacion hasta que abra un libro de claves");
  EXPECT_EQ(Store("g").slot, 0);
  EXPECT_EQ(WriteRecordAt(book, 0, test::Example("x", book)), WriteResult::Failed);
  EXPECT_EQ(MarkDeleted(book, -1), WriteResult::Failed);
  EXPECT_EQ(WriteRecordAt(book, 7, test::Example("h", book)), WriteResult::Written);
  EXPECT_EQ(ReadBytes(book), ExampleBytes("a") + ExampleBytes("e") + ExampleBytes("c") +
                                 ExampleBytes("f") + ExampleBytes("g") + std::string(705, '\0') +
                                 ExampleBytes("h"));
}

// A folder, a pipe and a missing book are no books. A book its user may write
// but not read would count as empty: it is never written. A file-size limit
// cuts writes short, as a full disk does: each is reported with its reason
// and undone. While another program reads a book, others read it too and no
// write starts; while it writes, nothing starts. Every book stays as it was.
TEST_F(KeyBook, WritesThatCannotBeDoneLeaveEveryBookAsItWas) {
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {dir.Path(), pipe, book}) {
    diag.Take();
    EXPECT_FALSE(ListNames(path)) << path;
    EXPECT_EQ(FindByName(path, "x").open, OpenResult::NotAccessible);
    EXPECT_EQ(ReadFields(path, 1).open, OpenResult::NotAccessible);
    EXPECT_EQ(WriteRecordAt(path, 1, test::Example("x", book)), WriteResult::Failed);
    EXPECT_EQ(MarkDeleted(path, 1), WriteResult::Failed);
    EXPECT_EQ(diag.Take(), " Error no se ha abierto el fichero Error no se ha abierto el fichero");
    EXPECT_FALSE(test::Exists(book));
    EXPECT_EQ(FindFreeSlot(path), 0);
  }
  const std::string unreadable = dir.File("unreadable.kb");
  const std::map<std::string, std::string> before = {
      {book, ExampleBytes("one")}, {unreadable, ExampleBytes("alpha") + ExampleBytes("beta")}};
  constexpr uid_t kNobody = 65534;  // root reads every file: the writes run as nobody
  ::chmod(dir.Path().c_str(), 0777);
  for (const auto& [path, bytes] : before) {
    WriteBytes(path, bytes);
    ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), kNobody, kNobody) == 0);
  }
  ::chmod(unreadable.c_str(), 0200);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(1);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    MasterKeyRecord record = test::Example("two", book);
    const WriteResult results[] = {StoreNewRecord(book, record).write, MarkDeleted(book, 2),
                                   StoreNewRecord(unreadable, record).write,
                                   MarkDeleted(unreadable, 1)};
    for (const WriteResult& result : results)
      if (result != WriteResult::Failed) ::_exit(1);
    ::_exit(results[0].error == EFBIG && results[1].error == EFBIG ? 0 : 2);
  }
  int status = -1;
  EXPECT_TRUE(::waitpid(child, &status, 0) == child && status == 0) << status;
  ::chmod(unreadable.c_str(), 0600);
  const LockPatience impatient(std::chrono::milliseconds(1));
  for (const int hold : {LOCK_SH, LOCK_EX}) {
    const int holder = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, hold), 0);
    EXPECT_EQ(ReadFields(book, 1).open, hold == LOCK_SH ? OpenResult::Ok : OpenResult::InUse);
    EXPECT_EQ(Store("two").write, WriteResult::InUse);
    EXPECT_EQ(MarkDeleted(book, 1), WriteResult::InUse);
    ::close(holder);
  }
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadBytes(path), bytes) << path;
}

}  // namespace
}  // namespace rux
