#include "tests/platform/implementations.h"

#include "tests/fakes/fake_system_info.h"
#ifdef _WIN32
#include "platform/win32/system_info_win32.h"
#endif

namespace kestrava {

std::vector<Implementation<SystemInfo>> SystemInfoImplementations() {
  std::vector<Implementation<SystemInfo>> all = {
      {"Fake", [] { return std::make_unique<FakeSystemInfo>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return std::make_unique<Win32SystemInfo>(); }});
#endif
  return all;
}

}  // namespace kestrava
