// The real engine program: items, exit statuses, messages, the verify file,
// the temporary-file rule, stop signals and write errors.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine_harness.h"
#include "rux4/exit_status.h"
#include "rux4/file_format.h"
#include "support/temp_dir.h"

namespace rux4 {
namespace {

using rux::test::ReadBytes;
using rux::test::WriteBytes;

unsigned ModeBits(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class EngineProgram : public ::testing::Test {
 protected:
  EngineProgram() {
    test::MakeBook(book);
    WriteBytes(source, "plain text\n");
  }

  test::EngineResult Run(const std::vector<std::string>& items,
                         const test::ChildSetup& setup = {}) {
    return test::RunEngine(items, outputs.Path(), setup);
  }
  // A failed run: its status, a message naming `expected` on standard error,
  // and a final line with the result on standard output.
  void ExpectFailure(const std::vector<std::string>& items, int status,
                     const std::string& expected) {
    const test::EngineResult result = Run(items);
    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
    EXPECT_NE(result.out.find(std::string("result: ") + StatusName(status) + " (exit status " +
                              std::to_string(status) + ")"),
              std::string::npos)
        << result.out;
  }

  rux::test::TempDir dir;
  rux::test::TempDir outputs;  // the engine's captured console, apart from dir
  std::string book = dir.File("book.dat");
  std::string source = dir.File("plain.txt");
};

TEST_F(EngineProgram, WithoutItemsShowsUsageAndVersion) {
  const test::EngineResult result = Run({});
  EXPECT_EQ(result.status, EXIT_OK);
  EXPECT_NE(result.out.find("rux4.exe 4.5"), std::string::npos);
  EXPECT_NE(result.out.find("usage: rux4.exe BOOK NUMBER c|d SOURCE TARGET VERIFY P1"),
            std::string::npos);
  EXPECT_EQ(result.err, "");
}

TEST_F(EngineProgram, WrongItemsGiveOneLineAndUsageStatus) {
  std::vector<std::string> nineteen = test::Items(book, 1, "c", source, dir.File("t"));
  nineteen.pop_back();
  std::vector<std::string> twentyOne = test::Items(book, 1, "c", source, dir.File("t"));
  twentyOne.push_back("0");
  const std::vector<std::vector<std::string>> cases{
      {"one"},
      nineteen,
      twentyOne,
      test::Items(book, 1, "x", source, dir.File("t")),
      test::Items(book, 0, "c", source, dir.File("t"))};
  for (const auto& items : cases) {
    const test::EngineResult result = Run(items);
    EXPECT_EQ(result.status, EXIT_USAGE) << items.size();
    EXPECT_EQ(LineCount(result.err), 1) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(rux::test::Exists(dir.File("t")));
}

TEST_F(EngineProgram, SameFileAsSourceAndTargetIsRefusedUntouched) {
  ASSERT_EQ(::link(source.c_str(), dir.File("hard").c_str()), 0);
  ASSERT_EQ(::symlink(source.c_str(), dir.File("soft").c_str()), 0);
  for (const std::string& target :
       {source, dir.Path() + "/./plain.txt", dir.File("hard"), dir.File("soft")}) {
    ExpectFailure(test::Items(book, 1, "c", source, target), EXIT_USAGE, "same file");
    EXPECT_EQ(ReadBytes(source), "plain text\n");
  }
  ExpectFailure(test::Items(book, 1, "c", source, dir.File("t"), dir.File("t")), EXIT_USAGE,
                "verify file must differ");
  const std::string bookBytes = ReadBytes(book);
  ExpectFailure(test::Items(book, 1, "c", source, book), EXIT_USAGE, "the Key Book itself");
  EXPECT_EQ(ReadBytes(book), bookBytes);
  EXPECT_EQ(test::FilesIn(dir.Path()),
            (std::vector<std::string>{"book.dat", "hard", "plain.txt", "soft"}));
}

TEST_F(EngineProgram, KeyBookProblemsEndWithKeyBookStatus) {
  const std::string target = dir.File("t");
  ExpectFailure(test::Items(dir.File("none.dat"), 1, "c", source, target), EXIT_KEY_BOOK,
                "cannot open the Key Book");
  ExpectFailure(test::Items(dir.Path(), 1, "c", source, target), EXIT_KEY_BOOK, "is a folder");
  ExpectFailure(test::Items(book, 4, "c", source, target), EXIT_KEY_BOOK,
                "has no Master Key number 4 (it holds 3)");
  ExpectFailure(test::Items(book, test::KEY_DELETED, "c", source, target), EXIT_KEY_BOOK,
                "is deleted");
  EXPECT_FALSE(rux::test::Exists(target));
}

TEST_F(EngineProgram, UnreadableSourceEndsWithSourceStatus) {
  ExpectFailure(test::Items(book, 1, "c", dir.File("none"), dir.File("t")), EXIT_NO_SOURCE,
                "No such file or directory");
  ExpectFailure(test::Items(book, 1, "d", dir.Path(), dir.File("t")), EXIT_NO_SOURCE,
                "is a folder");
  EXPECT_FALSE(rux::test::Exists(dir.File("t")));
}

TEST_F(EngineProgram, TargetThatCannotBeMadeEndsWithCreateStatus) {
  ExpectFailure(test::Items(book, 1, "c", source, dir.File("missing/t")), EXIT_CANT_CREATE,
                "No such file or directory");
  ExpectFailure(test::Items(book, 1, "c", source, dir.File("plain.txt/t")), EXIT_CANT_CREATE,
                "Not a directory");
  ExpectFailure(test::Items(book, 1, "c", source, outputs.Path()), EXIT_CANT_CREATE, "is a folder");
  // A device is never replaced by a file.
  ExpectFailure(test::Items(book, 1, "c", source, "/dev/full"), EXIT_CANT_CREATE,
                "not a regular file");
  struct stat info {};
  ASSERT_EQ(::stat("/dev/full", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  if (::geteuid() != 0) {  // permissions do not hold back root
    std::filesystem::create_directory(dir.File("locked"));
    ::chmod(dir.File("locked").c_str(), 0500);
    ExpectFailure(test::Items(book, 1, "c", source, dir.File("locked/t")), EXIT_CANT_CREATE,
                  "Permission denied");
  }
  EXPECT_EQ(test::FilesIn(dir.Path()), (std::vector<std::string>{"book.dat", "plain.txt"}));
}

TEST_F(EngineProgram, RoundTripWithVerifyFileAtShippedCost) {
  const std::string plain = test::RandomBytes(3 * 1024 * 1024 + 11);
  WriteBytes(source, plain);
  const std::string encoded = dir.File("encoded.rux"), decoded = dir.File("decoded.txt");
  const std::string verify = dir.File("pin.key");
  WriteBytes(encoded, "older contents");
  ::chmod(encoded.c_str(), 0644);
  std::vector<std::string> items = test::Items(book, test::KEY_ONE, "c", source, encoded, verify);
  items[6] = "-x";  // Parameters 1 to 14 do not matter
  items[7] = "with \"quotes\"";
  items[19] = "";

  const test::EngineResult encode = Run(items);
  ASSERT_EQ(encode.status, EXIT_OK) << encode.err;
  EXPECT_EQ(encode.err, "");
  EXPECT_EQ(encode.out.substr(0, encode.out.find('\n')),
            "rux4 4.5: ENCODE \"" + source + "\" to \"" + encoded + "\" with Master Key 1 of \"" +
                book + "\"");
  const std::vector<int> progress = test::ProgressValues(encode.out);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(std::adjacent_find(progress.begin(), progress.end()), progress.end());
  EXPECT_EQ(progress.back(), 100);
  EXPECT_NE(
      encode.out.find("ENCODE: " + std::to_string(plain.size()) + " bytes processed, result: OK\n"),
      std::string::npos);
  EXPECT_EQ(encode.out.find(test::KEY_ONE_TEXT), std::string::npos);
  EXPECT_EQ(ModeBits(encoded), 0600u);
  EXPECT_EQ(ModeBits(verify), 0600u);
  const std::string pin = ReadBytes(verify);
  EXPECT_EQ(pin.size(), VERIFY_FILE_SIZE);
  EXPECT_EQ(pin.find(test::KEY_ONE_TEXT), std::string::npos);
  EXPECT_EQ(ReadBytes(encoded).substr(0, 8), "RUX4ENC1");

  const test::EngineResult decode =
      Run(test::Items(book, test::KEY_ONE, "d", encoded, decoded, verify));
  ASSERT_EQ(decode.status, EXIT_OK) << decode.err;
  EXPECT_EQ(ReadBytes(decoded), plain);
  EXPECT_EQ(ReadBytes(verify), pin);  // checked, not rewritten

  ExpectFailure(test::Items(book, test::KEY_TWO, "d", encoded, dir.File("other.txt"), verify),
                EXIT_WRONG_KEY, "wrong Master Key");
  EXPECT_FALSE(rux::test::Exists(dir.File("other.txt")));
}

class EngineProgramOnCheapFiles : public EngineProgram {
 protected:
  // An encoded file made in-process at the test cost, optionally creating a verify file.
  std::string EncodeCheaply(const std::string& plain, const std::string& verify = "0") {
    WriteBytes(source, plain);
    const std::string encoded = dir.File("cheap.rux");
    const test::EngineResult result =
        test::RunInProcess(test::Items(book, test::KEY_ONE, "c", source, encoded, verify));
    EXPECT_EQ(result.status, EXIT_OK) << result.err;
    return encoded;
  }
};

TEST_F(EngineProgramOnCheapFiles, VerifyFileRefusesOtherMasterKeysBeforeTheSource) {
  const std::string verify = dir.File("pin.key");
  EncodeCheaply("text", verify);
  ASSERT_EQ(ReadBytes(verify).size(), VERIFY_FILE_SIZE);
  // The source does not even exist: the key is checked first.
  ExpectFailure(test::Items(book, test::KEY_TWO, "c", dir.File("none"), dir.File("t"), verify),
                EXIT_WRONG_KEY, "wrong Master Key");

  WriteBytes(dir.File("short.key"), ReadBytes(verify).substr(0, VERIFY_FILE_SIZE - 1));
  ExpectFailure(test::Items(book, test::KEY_ONE, "c", source, dir.File("t"), dir.File("short.key")),
                EXIT_WRONG_KEY, "not a key-check file");
  std::string changed = ReadBytes(verify);
  changed[VERIFY_FILE_SIZE - 1] ^= 1;
  WriteBytes(dir.File("changed.key"), changed);
  ExpectFailure(
      test::Items(book, test::KEY_ONE, "c", source, dir.File("t"), dir.File("changed.key")),
      EXIT_WRONG_KEY, "wrong Master Key");
  EXPECT_FALSE(rux::test::Exists(dir.File("t")));
}

TEST_F(EngineProgramOnCheapFiles, FailedRunCreatesNoVerifyFile) {
  const std::string encoded = EncodeCheaply("text");
  ExpectFailure(test::Items(book, test::KEY_TWO, "d", encoded, dir.File("t"), dir.File("pin.key")),
                EXIT_AUTH_FAILED, "authentication failed");
  EXPECT_FALSE(rux::test::Exists(dir.File("pin.key")));
  EXPECT_FALSE(rux::test::Exists(dir.File("t")));
}

TEST_F(EngineProgramOnCheapFiles, DamagedFileLeavesTheExistingTargetAlone) {
  const std::string encoded = EncodeCheaply(test::RandomBytes(200000));
  std::string bytes = ReadBytes(encoded);
  bytes[150000] ^= 0x40;
  WriteBytes(encoded, bytes);
  const std::string target = dir.File("decoded.txt");
  WriteBytes(target, "older contents");
  ExpectFailure(test::Items(book, test::KEY_ONE, "d", encoded, target), EXIT_AUTH_FAILED,
                "changed or cut short");
  EXPECT_EQ(ReadBytes(target), "older contents");
  EXPECT_EQ(test::FilesIn(dir.Path()),
            (std::vector<std::string>{"book.dat", "cheap.rux", "decoded.txt", "plain.txt"}));
}

TEST_F(EngineProgramOnCheapFiles, FullDiskEndsWithWriteErrorAndNoTemporaryFile) {
  const std::string encoded = EncodeCheaply(test::RandomBytes(3 * 1024 * 1024));
  const std::string target = dir.File("decoded.txt");
  WriteBytes(target, "older contents");
  // A file-size limit of 1 MiB stands in for a disk that fills half-way.
  const auto limitFileSize = [] {
    const struct rlimit limit { 1 << 20, 1 << 20 };
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  const test::EngineResult result = Run(test::Items(book, 1, "d", encoded, target), limitFileSize);
  EXPECT_EQ(result.status, EXIT_IO_ERROR) << result.err;
  EXPECT_NE(result.err.find("cannot write the target: File too large"), std::string::npos)
      << result.err;
  EXPECT_EQ(ReadBytes(target), "older contents");
  EXPECT_EQ(test::FilesIn(dir.Path()),
            (std::vector<std::string>{"book.dat", "cheap.rux", "decoded.txt", "plain.txt"}));
}

TEST_F(EngineProgram, ReadErrorEndsWithReadOrWriteErrorStatus) {
  // Reading the engine's own memory at offset 0 fails with an input/output error.
  ExpectFailure(test::Items(book, 1, "d", "/proc/self/mem", dir.File("t")), EXIT_IO_ERROR,
                "cannot read the source");
  EXPECT_FALSE(rux::test::Exists(dir.File("t")));
}

class StopSignal : public EngineProgram, public ::testing::WithParamInterface<int> {};

// Waits, at most ten seconds, until `ready` holds.
bool Eventually(const std::function<bool()>& ready) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_P(StopSignal, RemovesTheTemporaryFileAndKeepsTheTarget) {
  const std::string fifo = dir.File("feed");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("out"));
  const std::string target = dir.File("out/encoded.rux");
  WriteBytes(target, "older contents");
  const test::RunningEngine running =
      test::StartEngine(test::Items(book, 1, "c", fifo, target), outputs.Path());

  int feed = -1;  // the engine waits for the writer; the test writes a little and no end
  ASSERT_TRUE(Eventually([&] {
    feed = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    return feed >= 0;
  }));
  ASSERT_EQ(::write(feed, "some text", 9), 9);
  // Once the header is in the temporary file the engine is reading the source.
  const bool streaming = Eventually([&] {
    for (const std::string& name : test::FilesIn(dir.File("out"))) {
      if (name != "encoded.rux" && std::filesystem::file_size(dir.File("out/" + name)) >= 62) {
        return true;
      }
    }
    return false;
  });
  ::kill(running.pid, GetParam());
  const test::EngineResult result = test::WaitEngine(running);
  ::close(feed);
  ASSERT_TRUE(streaming);
  EXPECT_EQ(result.signal, GetParam());
  EXPECT_EQ(test::FilesIn(dir.File("out")), std::vector<std::string>{"encoded.rux"});
  EXPECT_EQ(ReadBytes(target), "older contents");
}

INSTANTIATE_TEST_SUITE_P(EngineProgram, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
}  // namespace rux4
