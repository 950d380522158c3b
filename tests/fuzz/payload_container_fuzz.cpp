// Arbitrary program-file bytes through the whole payload extraction: the trailer search, the
// container walk, the record copies and the unpacking, over the in-memory file system. Nothing
// may crash, read out of bounds or allocate without bound, and nothing may be written outside
// the working folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "payload/payload_extraction.h"
#include "tests/fakes/fake_file_security.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  FakeFiles files;
  FakeSystemInfo system;
  FakeProcess process;
  files.AddFile(process.programFilePath, std::string(reinterpret_cast<const char*>(data), size));
  FakeFileSecurity security(files);
  const WString folder = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
  PayloadExtraction extraction(files, system, process, security, folder);
  const int result = extraction.ExtractPayload();
  if (result < -3 || result > 0) std::abort();

  // Everything below C:\ is the program's folder or the working folder.
  const WString work = folder.substr(3);  // without "C:\"
  for (const WString& path : files.Tree(u"C:\\")) {
    const bool inWork =
        path.compare(0, work.size(), work) == 0 || WString(u"Program Files (x86)\\") == path;
    const bool program = path == u"Setup\\" || path == u"Setup\\KestravaSetup.exe";
    if (!inWork && !program) std::abort();
  }
  return 0;
}
