#include "platform/seams/console.h"

#include <cstdio>
#include <cstdlib>

namespace rux {
namespace {
Console* g_console = nullptr;
}

void InstallConsole(Console* console) { g_console = console; }

Console& CurrentConsole() {
  if (!g_console) {
    std::fputs("shell_rux: the console was used before one was installed\n", stderr);
    std::abort();
  }
  return *g_console;
}

}  // namespace rux
