#include "tests/platform/console_implementations.h"

#include "tests/fakes/fake_console_api.h"

namespace kestrava {

namespace {

std::unique_ptr<ConsoleUnderTest> MakeFakeConsole() {
  auto subject = std::make_unique<ConsoleUnderTest>();
  auto fake = std::make_unique<FakeConsoleApi>();
  FakeConsoleApi* raw = fake.get();
  raw->attached = true;
  raw->standardOutput = raw->Add(FakeConsoleApi::Object::kConsole);
  auto pipe = std::make_shared<ConsoleHandle>(kNoHandle);
  auto file = std::make_shared<ConsoleHandle>(kNoHandle);
  subject->makeFile = [raw, file] { return *file = raw->Add(FakeConsoleApi::Object::kFile); };
  subject->readFile = [raw, file] { return raw->received[*file]; };
  subject->makePipe = [raw, pipe] { return *pipe = raw->Add(FakeConsoleApi::Object::kPipe); };
  subject->readPipe = [raw, pipe] { return raw->received[*pipe]; };
  subject->makeNul = [raw] { return raw->Add(FakeConsoleApi::Object::kNul); };
  subject->readScreen = [raw] {
    std::vector<WString> lines;
    WString rest = raw->screen;
    for (size_t end; (end = rest.find(u"\r\n")) != WString::npos; rest.erase(0, end + 2)) {
      lines.push_back(rest.substr(0, end));
    }
    if (!rest.empty()) lines.push_back(rest);
    return lines;
  };
  subject->pressCtrlC = [raw] { raw->PressCtrlC(); };
  subject->api = std::move(fake);
  return subject;
}

}  // namespace

std::vector<Implementation<ConsoleUnderTest>> ConsoleImplementations() {
  std::vector<Implementation<ConsoleUnderTest>> all = {{"Fake", MakeFakeConsole}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Console});
#endif
  return all;
}

}  // namespace kestrava
