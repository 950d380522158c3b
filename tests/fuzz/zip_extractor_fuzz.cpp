// Arbitrary archive bytes through ZipExtractor over the in-memory file system. Built twice:
// over minizip and over our own unzip layer (KESTRAVA_UNZIP_LITE). Nothing may crash, and no
// file may appear outside the destination folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "payload/zip_extractor.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  FakeFiles files;
  FakeSystemInfo system;
  FakeProcess process;
  files.AddFile(u"C:\\in\\archive.zip", std::string(reinterpret_cast<const char*>(data), size));
  files.AddFolder(u"C:\\out");
  {
    ZipExtractor extractor(files, system, process);
    extractor.Extract("C:\\in\\archive.zip", "C:\\out");
  }
  for (const WString& path : files.Tree(u"C:\\")) {
    const bool allowed =
        path == u"in\\" || path == u"in\\archive.zip" || path.compare(0, 4, u"out\\") == 0;
    if (!allowed) std::abort();
  }
  return 0;
}
