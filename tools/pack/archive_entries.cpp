#include "tools/pack/archive_entries.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>

namespace kestrava::pack {

namespace fs = std::filesystem;

namespace {

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Appends the contents of `folder`, whose entry names start with `prefix`.
bool ListFolder(const fs::path& folder, const std::string& prefix,
                std::vector<ArchiveEntry>& entries, std::string& error) {
  std::error_code failure;
  std::vector<fs::directory_entry> items;
  for (fs::directory_iterator it(folder, failure), end; !failure && it != end;
       it.increment(failure)) {
    items.push_back(*it);
  }
  if (failure) {
    error = "cannot read folder " + folder.string() + ": " + failure.message();
    return false;
  }
  std::sort(items.begin(), items.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) {
              return a.path().filename().string() < b.path().filename().string();
            });

  std::set<std::string> seen;
  std::vector<const fs::directory_entry*> folders;
  for (const fs::directory_entry& item : items) {
    const std::string name = item.path().filename().string();
    const std::string problem = EntryNameProblem(name);
    if (!problem.empty()) {
      error = item.path().string() + ": " + problem;
      return false;
    }
    if (prefix.size() + name.size() + 1 > kMaxEntryName) {
      error = item.path().string() + ": the name inside the archive is longer than " +
              std::to_string(kMaxEntryName) + " bytes";
      return false;
    }
    if (!seen.insert(Lowercase(name)).second) {
      error = item.path().string() + ": another name in this folder differs only in letter case";
      return false;
    }
    if (item.is_directory(failure)) {
      folders.push_back(&item);
    } else if (item.is_regular_file(failure)) {
      entries.push_back({prefix + name, item.path()});
    } else {
      error = item.path().string() + ": neither a file nor a folder";
      return false;
    }
  }
  for (const fs::directory_entry* item : folders) {
    const std::string name = prefix + item->path().filename().string() + "/";
    entries.push_back({name, fs::path()});
    if (!ListFolder(item->path(), name, entries, error)) return false;
  }
  return true;
}

}  // namespace

std::string EntryNameProblem(const std::string& name) {
  for (char c : name) {
    if (c < 0x20 || c > 0x7E) return "the name is not printable ASCII";
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return std::string("the name holds '") + c + "', which Windows does not take";
    }
  }
  if (name.empty() || name.back() == '.' || name.back() == ' ') {
    return "the name ends with a dot or a space, which Windows drops";
  }
  return std::string();
}

bool ListArchiveEntries(const fs::path& folder, std::vector<ArchiveEntry>& entries,
                        std::string& error) {
  entries.clear();
  if (!ListFolder(folder, std::string(), entries, error)) return false;
  const bool hasFile = std::any_of(entries.begin(), entries.end(),
                                   [](const ArchiveEntry& entry) { return !entry.source.empty(); });
  if (!hasFile) {
    error = "folder " + folder.string() + " holds no file to pack";
    return false;
  }
  return true;
}

}  // namespace kestrava::pack
