#include "engine_run.h"

#include <new>
#include <ostream>

#include "cipher_stream.h"
#include "exit_status.h"
#include "file_io.h"
#include "master_key.h"
#include "temp_file.h"
#include "verify_file.h"

namespace rux4 {

namespace {

// Source, target and verify file must be three different files, and the
// target is never the Key Book.
void RefuseSameFiles(const Arguments& arguments) {
  if (SameFile(arguments.sourcePath, arguments.targetPath)) {
    throw Failure(EXIT_USAGE, "the source and the target are the same file");
  }
  if (SameFile(arguments.bookPath, arguments.targetPath)) {
    throw Failure(EXIT_USAGE, "the target is the Key Book itself");
  }
  if (arguments.verifyPath.empty()) return;
  if (SameFile(arguments.verifyPath, arguments.sourcePath) ||
      SameFile(arguments.verifyPath, arguments.targetPath)) {
    throw Failure(EXIT_USAGE, "the verify file must differ from the source and the target");
  }
}

void Transform(const Arguments& arguments, const SecretBytes& material, const KdfCost& cost,
               int source, std::uint64_t sourceSize, int sink, Progress& progress,
               std::uint64_t& processed) {
  if (arguments.mode == Mode::Encode) {
    const Salt salt = RandomSalt();
    const SecretBytes key = DeriveKey(material, salt, cost);
    EncodeStream(source, sourceSize, sink, key, cost, salt, progress, processed);
  } else {
    std::vector<unsigned char> bytes;
    const EncodedHeader header = ReadEncodedHeader(source, bytes);
    const SecretBytes key = DeriveKey(material, header.salt, header.cost);
    DecodeStream(source, sourceSize, sink, key, bytes, header, progress, processed);
  }
}

}  // namespace

int EngineMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  if (argc <= 1) {
    out << UsageText() << std::flush;
    return EXIT_OK;
  }
  const ParsedArguments parsed = ParseArguments(argc - 1, argv + 1);
  if (!parsed.arguments) {
    err << "rux4: " << parsed.error << std::endl;
    return EXIT_USAGE;
  }
  return RunCipher(*parsed.arguments, DEFAULT_KDF_COST, out, err);
}

int RunCipher(const Arguments& arguments, const KdfCost& cost, std::ostream& out,
              std::ostream& err) {
  const char* mode = ModeName(arguments.mode);
  out << "rux4 " << ENGINE_VERSION << ": " << mode << " " << Quoted(arguments.sourcePath) << " to "
      << Quoted(arguments.targetPath) << " with Master Key " << arguments.recordNumber << " of "
      << Quoted(arguments.bookPath) << std::endl;
  std::uint64_t processed = 0;
  int status = EXIT_OK;
  try {
    StartCrypto();
    RefuseSameFiles(arguments);
    const SecretBytes material = ReadMasterKeyMaterial(arguments.bookPath, arguments.recordNumber);
    VerifyFile verify(arguments.verifyPath, material, cost);
    std::uint64_t sourceSize = 0;
    const Descriptor source =
        OpenForReading(arguments.sourcePath, "source", EXIT_NO_SOURCE, sourceSize);
    TempFile target(arguments.targetPath, "target");
    Progress progress(out, sourceSize);
    Transform(arguments, material, cost, source.Get(), sourceSize, target.Fd(), progress,
              processed);
    verify.Commit(material);
    try {
      target.CommitReplacing();
    } catch (const Failure&) {
      verify.Withdraw();
      throw;
    }
    progress.Finish();
  } catch (const Failure& failure) {
    err << "rux4: " << failure.what() << std::endl;
    status = failure.Status();
  } catch (const std::bad_alloc&) {
    err << "rux4: out of memory" << std::endl;
    status = EXIT_IO_ERROR;
  }
  out << mode << ": " << processed << " bytes processed, result: " << StatusName(status);
  if (status != EXIT_OK) out << " (exit status " << status << ")";
  out << std::endl;
  return status;
}

}  // namespace rux4
