#include "payload/folder_tree.h"

#include <vector>

namespace kestrava {

namespace {

bool Exists(Files& files, const WString& path) {
  return files.Attributes(path).has_value();
}

bool CreateIfMissing(Files& files, const WString& path) {
  return Exists(files, path) || files.CreateFolder(path);
}

}  // namespace

bool CreateFolderChain(Files& files, const WString& path) {
  if (path.size() < 2 || path[1] != u':') return false;
  if (!Exists(files, path.substr(0, 2) + u"\\")) return false;
  for (size_t at = path.find(u'\\', 3); at != WString::npos; at = path.find(u'\\', at + 1)) {
    if (!CreateIfMissing(files, path.substr(0, at))) return false;
    if (at + 1 == path.size()) return true;
  }
  return CreateIfMissing(files, path);
}

bool CreateFolderPath(Files& files, const WString& path) {
  for (size_t at = path.find(u'\\'); at != WString::npos; at = path.find(u'\\', at + 1)) {
    if (at == 0) continue;
    if (!CreateIfMissing(files, path.substr(0, at))) return false;
  }
  return CreateIfMissing(files, path);
}

WString FolderOf(const WString& path) {
  const size_t slash = path.rfind(u'\\');
  return slash == WString::npos ? WString() : path.substr(0, slash);
}

bool EnsureFoldersUpToLastBackslash(Files& files, const WString& path) {
  const size_t last = path.rfind(u'\\');
  if (last == WString::npos) return true;
  // From after the drive root ("C:\") on; a path without a drive starts at its first name.
  const size_t first = path.size() > 2 && path[1] == u':' ? 3 : 1;
  for (size_t at = path.find(u'\\', first); at != WString::npos && at <= last;
       at = path.find(u'\\', at + 1)) {
    const WString folder = path.substr(0, at);
    const std::optional<FileAttributes> attributes = files.Attributes(folder);
    if (attributes) {
      if (!attributes->isFolder) return false;
      continue;
    }
    if (!files.CreateFolder(folder)) return false;
  }
  return true;
}

namespace {

// Whether `entry` is the file named `kept` (case ignored): a plain file, not a link.
bool IsKept(const FolderEntry& entry, const WString& kept) {
  return !kept.empty() && !entry.attributes.isFolder && !entry.attributes.isLink &&
         UpperAscii(entry.name) == UpperAscii(kept);
}

// Everything inside `folder` but a top-level file named `kept`.
void DeleteContent(Files& files, const WString& folder, const WString& kept) {
  std::vector<FolderEntry> entries;
  if (files.List(folder + u"\\*.*", entries)) {
    for (const FolderEntry& entry : entries) {
      if (entry.name == u"." || entry.name == u"..") continue;
      if (IsKept(entry, kept)) continue;
      const WString child = folder + u"\\" + entry.name;
      if (entry.attributes.isFolder && entry.attributes.isLink) {
        files.RemoveFolder(child);  // the link only, never what it points to
      } else if (entry.attributes.isFolder) {
        DeleteFolderTree(files, child);
      } else {
        // A link to a file is deleted as it is: clearing attributes would reach its target.
        if (!entry.attributes.isLink) files.SetNormalAttributes(child);
        files.RemoveFile(child);
      }
    }
  }
}

}  // namespace

WString WithoutTrailingBackslash(WString folder) {
  while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
  return folder;
}

bool DeleteFolderTree(Files& files, const WString& path) {
  const WString folder = WithoutTrailingBackslash(path);
  const std::optional<FileAttributes> self = files.Attributes(folder);
  if (self && self->isLink) return files.RemoveFolder(folder);
  DeleteContent(files, folder, WString());
  return files.RemoveFolder(folder);
}

void EmptyFolderKeeping(Files& files, const WString& path, const WString& kept) {
  const WString folder = WithoutTrailingBackslash(path);
  const std::optional<FileAttributes> self = files.Attributes(folder);
  if (self && self->isLink) {
    files.RemoveFolder(folder);
    return;
  }
  DeleteContent(files, folder, kept);
}

bool HoldsNothingBut(Files& files, const WString& path, const WString& kept) {
  std::vector<FolderEntry> entries;
  if (!files.List(WithoutTrailingBackslash(path) + u"\\*.*", entries)) return false;
  for (const FolderEntry& entry : entries) {
    if (entry.name != u"." && entry.name != u".." && !IsKept(entry, kept)) return false;
  }
  return true;
}

}  // namespace kestrava
