// The archives of tests/payload/corpus, the manifest of the good ones, and the recorded walks
// (tests/payload/unzip/walks: minizip's transcript of each archive, made by the differential
// test on Linux and compared against on every build).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/payload/unzip/memory_zip_io.h"
#include "tests/payload/unzip/zip_walk.h"

namespace kestrava::ziptest {

// The archive file names (*.zip), sorted.
std::vector<std::string> CorpusArchives();

// A corpus archive's bytes, loaded once and kept.
const std::vector<unsigned char>& CorpusBytes(const std::string& archive);
MemoryArchive CorpusArchive(const std::string& archive);

struct ListedEntry {
  std::string name;
  unsigned long method;
  unsigned long long compressed;
  unsigned long long uncompressed;
  unsigned long crc;
};
struct ListedArchive {
  std::string comment;
  std::vector<ListedEntry> entries;
};
// manifest.tsv, by archive name.
std::map<std::string, ListedArchive> CorpusManifest();

// The recorded walk of an archive; false when there is none.
bool LoadWalk(const std::string& archive, Transcript& walk);
void SaveWalk(const std::string& archive, const Transcript& walk);

// A test name made of an archive's file name.
std::string TestName(const std::string& archive);

}  // namespace kestrava::ziptest
