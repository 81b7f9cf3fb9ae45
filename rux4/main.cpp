// rux4.exe: encodes or decodes one file with a Master Key of a Key Book.
#include <iostream>

#include "engine_run.h"
#include "stop_cleanup.h"

int main(int argc, char** argv) {
  rux4::InstallStopHandlers();
  return rux4::EngineMain(argc, argv, std::cout, std::cerr);
}
