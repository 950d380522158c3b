// Runs platform detection through the Win32 system information and checks it against the
// release Wine was set to for this executable's name (per-program AppDefaults in the prefix).
// Usage: detect_<release>.exe RELEASE ARCHITECTURE ENVIRONMENT (the expected values)
#include <cstdio>
#include <cstring>

#include "install/install_engine.h"
#include "platform/win32/system_info_win32.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s RELEASE ARCHITECTURE ENVIRONMENT\n", argv[0]);
    return 2;
  }
  kestrava::Win32SystemInfo system;
  kestrava::InstallEngine engine(system);
  const char* release = nullptr;
  const char* architecture = nullptr;
  if (!engine.DetectPlatform(release, architecture)) {
    std::fprintf(stderr, "version query failed\n");
    return 1;
  }
  const std::string environment =
      kestrava::Utf16ToUtf8(kestrava::InstallEngine::SpoolerEnvironment(architecture));
  std::printf("release=%s architecture=%s environment=%s\n", release, architecture,
              environment.c_str());
  const bool releaseOk = std::strcmp(release, argv[1]) == 0;
  const bool architectureOk = std::strcmp(architecture, argv[2]) == 0;
  const bool environmentOk = environment == argv[3];
  if (!releaseOk) std::fprintf(stderr, "expected release %s\n", argv[1]);
  if (!architectureOk) std::fprintf(stderr, "expected architecture %s\n", argv[2]);
  if (!environmentOk) std::fprintf(stderr, "expected environment %s\n", argv[3]);
  return releaseOk && architectureOk && environmentOk ? 0 : 1;
}
