// Making and removing the folders of the working folder. Wide Windows paths.
#pragma once

#include "platform/files.h"

namespace kestrava {

// Creates every missing level of a drive-letter path, the last included. Fails when the path
// has no drive letter or the drive is not there. A trailing backslash ends with success once
// the part before it exists. True when the whole path exists afterwards.
bool CreateFolderChain(Files& files, const WString& path);

// Creates every missing prefix of `path` at each backslash, shortest first, then the whole
// path; the first failed creation fails it.
bool CreateFolderPath(Files& files, const WString& path);

// The folder without the backslashes at its end (a drive's root keeps its own: "C:\\").
WString WithoutTrailingBackslash(WString folder);

// The folder of a file's path: what stands before its last backslash; empty without one.
WString FolderOf(const WString& path);

// Makes sure every folder up to the last backslash of `path` exists (what follows the last
// backslash is a file name and is not created). False when one cannot be made.
bool EnsureFoldersUpToLastBackslash(Files& files, const WString& path);

// Deletes a folder with everything in it, read-only files included; errors along the way are
// ignored. Never follows a folder link out of the tree: a link is removed itself, and when
// `path` is a link only the link goes. Returns whether the folder itself was removed.
bool DeleteFolderTree(Files& files, const WString& path);

// Empties a folder as DeleteFolderTree does, but keeps the file named `kept` at its top (case
// ignored; a plain file, not a link), and the folder with it. An empty `kept` keeps nothing.
void EmptyFolderKeeping(Files& files, const WString& path, const WString& kept);

// Whether the folder can be listed and holds nothing but the file `kept` (as
// EmptyFolderKeeping keeps it), or nothing at all.
bool HoldsNothingBut(Files& files, const WString& path, const WString& kept);

}  // namespace kestrava
