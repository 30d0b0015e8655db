#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// Creates every missing folder of the path, from the outermost down. Raises AppError (number
// kErrFile) naming the folder that could not be created.
void MakeFolders(std::string_view path);
// The same, adding each folder it creates to made (outermost first).
void MakeFolders(std::string_view path, std::vector<std::string>* made);

// Writes content (bytes, written as given) to path as a whole: the folders are made, a
// read-only target is made writable, the content goes to a temporary file in the same folder
// which then replaces the target by a rename. An interrupted or failed write leaves the old
// file as it was and no temporary file behind. The first write of a run into a folder also
// removes the temporary files there that an earlier run, killed in the middle of a write, left
// behind (only files of the temporary pattern, older than this run). Raises AppError (kErrFile)
// naming the path.
void MakeFile(std::string_view path, std::string_view content);

// A file written whole under a temporary name next to its target, not yet in its place: the
// first half of MakeFile, for content made ahead of the moment it may replace the target.
struct StagedFile {
  std::string path;  // the target
  std::string temp;  // the temporary file that holds the content
};

// Writes content to a temporary file in the folder of path, as MakeFile does before it
// replaces the target; the folders it has to make are added to made_folders when given.
// Raises AppError (kErrFile) naming the path.
StagedFile StageFile(std::string_view path, std::string_view content,
                     std::vector<std::string>* made_folders = nullptr);
// Puts a staged file in place of its target, as MakeFile finishes a write: a folder there
// refuses it, a read-only target is made writable. When that fails the temporary file is
// removed and AppError (kErrFile) names the path. When the caller saw the target's folder hold
// nothing under its name (target_seen_free), the target is not looked at again: a folder that
// came there since still refuses the rename.
void CommitStagedFile(const StagedFile& file, bool target_seen_free = false);
// Removes the temporary file of a staged file that is not to be put in place.
void DiscardStagedFile(const StagedFile& file);

// Makes what MakeFile wrote since the last call durable: one syncfs of every file system that
// holds a folder written into, so that after a run's completion message a loss of power keeps
// every file of the run. Single writes are not flushed one by one, which would make a run of
// thousands of pages wait on the disk for each. A file system that reports a failed write-back
// raises AppError (kErrFile) naming a folder on it; the list of folders is cleared either way.
void FlushWrittenFiles();
// Starts making what MakeFile wrote so far durable on a thread of its own, while the run goes
// on with work of its own: the next FlushWrittenFiles then has less left to wait for. That call
// waits for this flush to end and raises a failed write-back found by either.
void StartFlushingWrittenFiles();

// Tests only: called with the target path after the temporary file is written and before it
// replaces the target; throwing from it simulates a write that fails at the last moment.
void SetMakeFileFaultForTesting(std::function<void(const std::string&)> fault);
// Tests only: called with a folder after its file system was flushed; a non-zero result is the
// errno of a write-back failure that the flush reports.
void SetSyncFaultForTesting(std::function<int(const std::string&)> fault);

}  // namespace lanereport
