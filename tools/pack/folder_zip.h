// Packing one platform folder into a ZIP archive with minizip's zip writer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/pack/archive_entries.h"

namespace kestrava::pack {

// Writes `entries` into a ZIP archive in memory, in the order given: files deflated at the
// highest level, folder entries stored empty, every entry dated 1980-01-01 00:00 with DOS
// attributes (0x20 for a file, 0x10 for a folder) and no comment, so that the same entries
// always yield the same bytes. Returns false and sets `error` when a file cannot be read or
// minizip fails.
bool ZipEntries(const std::vector<ArchiveEntry>& entries, std::string& archive, std::string& error);

// ListArchiveEntries, then ZipEntries.
bool ZipFolder(const std::filesystem::path& folder, std::string& archive, std::string& error);

}  // namespace kestrava::pack
