// A stand-in engine. It appends its items to the file FAKE_ENGINE_RECORD names (each
// ended by a NUL byte, a line feed after each run) and ends with FAKE_ENGINE_STATUS.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const char* record = std::getenv("FAKE_ENGINE_RECORD");
  if (FILE* f = record ? std::fopen(record, "ab") : nullptr) {
    for (int i = 1; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, f);
    std::fputc('\n', f);
    std::fclose(f);
  }
  std::printf("fake engine: %d items\n", argc - 1);
  return std::getenv("FAKE_ENGINE_STATUS") ? std::atoi(std::getenv("FAKE_ENGINE_STATUS")) : 0;
}
