// The engine's command line and its start.
#include <QString>
#include <cerrno>

#include <gtest/gtest.h>

#include "engine/engine_contract.h"
#include "platform/seams/child_process.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

EngineItems Example(char mode) {
  EngineItems items;
  items.keyBook = "books.dat";
  items.keyNumber = 3;
  items.mode = mode;
  items.source = "a.txt";
  items.target = "b.dat";
  items.verify = "0";
  items.params.fill("0");
  return items;
}

TEST(EngineCommandLine, TwentyItemsJoinedBySingleBlanks) {
  EXPECT_EQ(EngineCommandLine(Example('c')),
            R"("books.dat" 3 c "a.txt" "b.dat" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" )"
            R"("0" "0" "0" "0")");
  EXPECT_EQ(EngineCommandLine(Example('d')),
            R"("books.dat" 3 d "a.txt" "b.dat" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" )"
            R"("0" "0" "0" "0")");
}

TEST(RunEngine, TheEngineReceivesTheTwentyItemsWithoutAShell) {
  test::TempDir dir;
  EngineItems items = Example('c');
  items.keyBook = "my books/key book.dat";
  items.params[0] = R"(say \"hi\" $HOME;`id`)";
  items.params[12] = "ñandú";
  const std::string record = dir.File("items");
  ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  EngineStart start = RunEngine('"' + QString(FAKE_ENGINE_PATH) + '"', EngineCommandLine(items));
  ::unsetenv("FAKE_ENGINE_RECORD");
  ASSERT_TRUE(start.process);
  EXPECT_EQ(start.process->Wait(), 0);
  std::string expected;
  for (const char* item : {"my books/key book.dat",
                           "3",
                           "c",
                           "a.txt",
                           "b.dat",
                           "0",
                           "say \"hi\" $HOME;`id`",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "0",
                           "ñandú",
                           "0"})
    expected += std::string(item) + '\0';
  EXPECT_EQ(test::ReadBytes(record), expected + '\n');
}

TEST(RunEngine, AnEngineThatCannotStartGivesNoProcessAndTheErrorNumber) {
  test::TempDir dir;
  EngineStart missing = RunEngine('"' + QString::fromStdString(dir.File("none")) + '"', "x");
  EXPECT_FALSE(missing.process);
  EXPECT_EQ(missing.error, ENOENT);
  EngineStart folder = RunEngine('"' + QString::fromStdString(dir.Path()) + '"', "x");
  EXPECT_FALSE(folder.process);
  EXPECT_EQ(folder.error, EACCES);
  EXPECT_EQ(RunEngine("\"\"", "x").error, ENOENT);
}

}  // namespace
}  // namespace rux
