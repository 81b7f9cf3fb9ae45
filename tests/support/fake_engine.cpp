// A stand-in engine for the tests. It appends the items it received to the
// file named by FAKE_ENGINE_RECORD (each item followed by a NUL byte, one
// run per line of items ended by a line feed), prints a line, sleeps
// FAKE_ENGINE_SLEEP seconds and ends with status FAKE_ENGINE_STATUS.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (const char* record = std::getenv("FAKE_ENGINE_RECORD")) {
    if (FILE* f = std::fopen(record, "ab")) {
      for (int i = 1; i < argc; ++i) {
        std::fputs(argv[i], f);
        std::fputc('\0', f);
      }
      std::fputc('\n', f);
      std::fclose(f);
    }
  }
  std::printf("fake engine: %d items\n", argc - 1);
  std::fflush(stdout);
  if (const char* sleepFor = std::getenv("FAKE_ENGINE_SLEEP")) ::sleep(std::atoi(sleepFor));
  const char* status = std::getenv("FAKE_ENGINE_STATUS");
  return status ? std::atoi(status) : 0;
}
