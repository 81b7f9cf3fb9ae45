// A book its user may write but not read: it counts as empty, so every write
// to it must fail rather than land on record 1.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "keybook_test_helpers.h"

namespace rux {
namespace {

constexpr uid_t kNobody = 65534;

// Runs the operation in a child process as an ordinary user (root reads every
// file) and gives back its exit status.
int AsOrdinaryUser(const std::function<bool()>& operation) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(99);
    ::_exit(operation() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(UnreadableBook, NoWriteLandsOnItsFirstRecord) {
  test::TempDir dir;
  ::chmod(dir.Path().c_str(), 0777);
  const std::string book = dir.File("book.dat");
  const std::string before = test::SampleRecordBytes("alpha") + test::SampleRecordBytes("beta");
  test::WriteBytes(book, before);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(book.c_str(), kNobody, kNobody), 0);
  }
  ::chmod(book.c_str(), 0200);

  test::CapturedDiagnostics diag;
  EXPECT_EQ(AsOrdinaryUser([&] {
              MasterKeyRecord gamma = test::SampleRecord("gamma");
              gamma.bookPath = book;
              return StoreNewRecord(book, gamma).write == WriteResult::Written;
            }),
            0)
      << "the store was reported as written";
  EXPECT_EQ(AsOrdinaryUser([&] { return MarkDeleted(book, 1) == WriteResult::Written; }), 0)
      << "the deletion was reported as written";
  ::chmod(book.c_str(), 0600);
  EXPECT_EQ(test::ReadBytes(book), before);
}

}  // namespace
}  // namespace rux
