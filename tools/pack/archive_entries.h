// What goes into one platform archive, and in which order: the files at the top of the
// platform folder first, then each subfolder as a folder entry of its own followed by its
// contents in the same order, all sorted by name (byte order), so that the same folder always
// yields the same archive.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrava::pack {

struct ArchiveEntry {
  std::string name;              // as stored: "/" between levels, a folder ends with "/"
  std::filesystem::path source;  // the host file; empty for a folder
};

// The program unpacks entry names of up to this many bytes.
inline constexpr size_t kMaxEntryName = 258;

// Why `name` (one level of a path) cannot be packed faithfully for Windows, or empty when it
// can: it must be printable ASCII without \ / : * ? " < > |, and must not end with a dot or a
// space (Windows drops those).
std::string EntryNameProblem(const std::string& name);

// Lists `folder` for packing (links are followed). Returns false and sets `error` when the
// folder cannot be read, holds no file at all, or holds something that would not come out
// the same on Windows: a name refused by EntryNameProblem, an entry name longer than
// kMaxEntryName, two names in one folder that differ only in letter case, or anything that is
// neither a file nor a folder.
bool ListArchiveEntries(const std::filesystem::path& folder, std::vector<ArchiveEntry>& entries,
                        std::string& error);

}  // namespace kestrava::pack
