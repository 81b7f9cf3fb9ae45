// A book its user may write but not read: it counts as empty, so every write
// to it must fail rather than land on record 1.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "keybook/key_book.h"
#include "keybook_test_helpers.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

constexpr uid_t kNobody = 65534;

// Runs the operation in a child process as an ordinary user (root reads every
// file) and gives back its exit status.
int AsOrdinaryUser(const std::function<int()>& operation) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(99);
    ::_exit(operation());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(UnreadableBook, NoWriteLandsOnItsFirstRecord) {
  test::TempDir dir;
  ::chmod(dir.Path().c_str(), 0777);
  const std::string book = dir.File("book.dat");
  MasterKeyRecord alpha = test::SampleRecord("alpha");
  alpha.bookPath = book;
  std::ostringstream ignored;
  test::WriteBytes(book, RecordBytes(alpha, ignored) + RecordBytes(alpha, ignored));
  const std::string before = test::ReadBytes(book);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(book.c_str(), kNobody, kNobody), 0);
  }
  ::chmod(book.c_str(), 0200);

  SetDiagnostics(&ignored);
  const int stored = AsOrdinaryUser([&] {
    MasterKeyRecord gamma = alpha;
    gamma.name = "gamma";
    return StoreNewRecord(book, gamma).write == WriteResult::Written ? 1 : 0;
  });
  const int deleted =
      AsOrdinaryUser([&] { return MarkDeleted(book, 1) == WriteResult::Written ? 1 : 0; });
  SetDiagnostics(nullptr);

  EXPECT_EQ(stored, 0) << "the store was reported as written";
  EXPECT_EQ(deleted, 0) << "the deletion was reported as written";
  ::chmod(book.c_str(), 0600);
  EXPECT_EQ(test::ReadBytes(book), before);
}

}  // namespace
}  // namespace rux
