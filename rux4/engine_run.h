#pragma once
// One run of the engine, from the command-line items to the exit status.
#include <iosfwd>

#include "arguments.h"
#include "key_derivation.h"

namespace rux4 {

// The whole program: usage on out when there are no items, a one-line message
// on err and EXIT_USAGE when the items are wrong, otherwise RunCipher with the
// default key derivation cost.
int EngineMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Encodes or decodes one file. A start line, "progress: N%" lines and a final
// line go to out; the reason of a failure goes to err. cost is the Argon2id cost
// of what this run creates (encoded file, verify file); what it reads carries
// its own. Returns the exit status (exit_status.h).
int RunCipher(const Arguments& arguments, const KdfCost& cost, std::ostream& out,
              std::ostream& err);

}  // namespace rux4
