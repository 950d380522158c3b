#include "tools/pack/tool_main.h"

#include <optional>

#include "payload/container_walk.h"
#include "tools/pack/container_listing.h"
#include "tools/pack/pack_command.h"

namespace kestrava::pack {

namespace {

constexpr char kUsage[] =
    "usage: kestrava-pack pack --program IMAGE.exe --output OUT.exe --version TEXT\n"
    "                          --platform \"NAME=FOLDER\" [--platform \"NAME=FOLDER\"]...\n"
    "       kestrava-pack list PROGRAM.exe\n";

// Reads the options of the pack command; nothing (with `error` set) for a malformed line.
std::optional<PackRequest> ParsePackArguments(const std::vector<std::string>& args,
                                              std::string& error) {
  PackRequest request;
  for (size_t i = 1; i < args.size(); i += 2) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      error = "option " + option + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[i + 1];
    if (option == "--program") {
      request.program = value;
    } else if (option == "--output") {
      request.output = value;
    } else if (option == "--version") {
      request.version = value;
    } else if (option == "--platform") {
      const size_t equals = value.find('=');
      if (equals == std::string::npos) {
        error = "--platform takes NAME=FOLDER, not \"" + value + "\"";
        return std::nullopt;
      }
      request.platforms.push_back({value.substr(0, equals), value.substr(equals + 1)});
    } else {
      error = "unknown option " + option;
      return std::nullopt;
    }
  }
  return request;
}

int RunPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  const std::optional<PackRequest> request = ParsePackArguments(args, error);
  if (!request) {
    err << "kestrava-pack: " << error << "\n" << kUsage;
    return kExitUsage;
  }
  if (!Pack(*request, error)) {
    err << "kestrava-pack: " << error << "\n";
    return kExitRefused;
  }
  out << "kestrava-pack: wrote " << request->output.string() << " with "
      << request->platforms.size() << " platform archives, version \"" << request->version
      << "\"\n";
  return kExitOk;
}

int RunList(const std::string& program, std::ostream& out, std::ostream& err) {
  const ContainerListing listing = ListContainer(program);
  if (listing.code != kPayloadOk) {
    err << "kestrava-pack: " << program << " carries no readable payload container ("
        << DescribeWalkResult(listing.code) << ")\n";
    return kExitRefused;
  }
  out << "version \"" << listing.version << "\"\n";
  for (const PayloadRecord& record : listing.records) {
    out << "record \"" << record.platformName << "\" " << record.dataSize << " bytes\n";
  }
  return kExitOk;
}

}  // namespace

int PackToolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && args[0] == "pack") return RunPack(args, out, err);
  if (args.size() == 2 && args[0] == "list") return RunList(args[1], out, err);
  err << kUsage;
  return kExitUsage;
}

}  // namespace kestrava::pack
