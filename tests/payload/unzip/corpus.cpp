#include "tests/payload/unzip/corpus.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kestrava::ziptest {
namespace {

// Under Wine the build's absolute Linux paths are on drive Z:, whatever the current drive.
std::string HostPath(const std::string& path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') return "Z:" + path;
#endif
  return path;
}

const std::string kCorpus = HostPath(KESTRAVA_ZIP_CORPUS);
const std::string kWalks = HostPath(KESTRAVA_ZIP_WALKS);

std::string WalkPath(const std::string& archive) {
  return kWalks + "/" + archive.substr(0, archive.size() - 4) + ".txt";
}

}  // namespace

std::vector<std::string> CorpusArchives() {
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(kCorpus)) {
    const std::string name = file.path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".zip") == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<unsigned char>& CorpusBytes(const std::string& archive) {
  static std::map<std::string, std::vector<unsigned char>> loaded;
  auto found = loaded.find(archive);
  if (found != loaded.end()) return found->second;
  std::ifstream in(kCorpus + "/" + archive, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + kCorpus + "/" + archive);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  return loaded.emplace(archive, std::move(bytes)).first->second;
}

MemoryArchive CorpusArchive(const std::string& archive) {
  const auto& bytes = CorpusBytes(archive);
  MemoryArchive a;
  a.data = bytes.data();
  a.size = bytes.size();
  return a;
}

std::map<std::string, ListedArchive> CorpusManifest() {
  std::ifstream in(kCorpus + "/manifest.tsv", std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + kCorpus + "/manifest.tsv");
  std::map<std::string, ListedArchive> archives;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() >= 2 && f[1] == "comment") {
      std::string comment;
      for (std::size_t i = 0; f.size() == 3 && i + 1 < f[2].size(); i += 2) {
        comment += static_cast<char>(std::stoi(f[2].substr(i, 2), nullptr, 16));
      }
      archives[f[0]].comment = comment;
    } else if (f.size() == 7 && f[1] == "entry") {
      archives[f[0]].entries.push_back({f[2], std::stoul(f[3]), std::stoull(f[4]),
                                        std::stoull(f[5]), std::stoul(f[6], nullptr, 16)});
    } else {
      throw std::runtime_error("bad manifest line: " + line);
    }
  }
  return archives;
}

bool LoadWalk(const std::string& archive, Transcript& walk) {
  std::ifstream in(WalkPath(archive), std::ios::binary);
  if (!in) return false;
  walk.clear();
  for (std::string line; std::getline(in, line);) walk.push_back(line);
  return true;
}

void SaveWalk(const std::string& archive, const Transcript& walk) {
  std::ofstream out(WalkPath(archive), std::ios::binary);
  for (const std::string& line : walk) out << line << '\n';
}

std::string TestName(const std::string& archive) {
  std::string name = archive.substr(0, archive.find('.'));
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

}  // namespace kestrava::ziptest
