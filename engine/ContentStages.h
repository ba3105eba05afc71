#pragma once
// Content comparison in stages, cheapest first: within each size class a
// digest of the head block splits the class, then a digest of the tail block,
// and the files still together are read side by side and compared byte for
// byte, with SHA-1 fed once per distinct content (a set that splits goes on
// from a copy of the digest state). Most bytes of most files are never read,
// and two files are only ever called equal when their bytes are.

#include "engine/SkipReport.h"
#include "engine/TFileInfo.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

struct ContentOptions {
    int Threads = 0;                  // workers; below 1: one per logical processor
    size_t HeadBlock = 16 * 1024;     // bytes of the head (and tail) digests
    size_t ReadBlock = 1024 * 1024;   // most bytes per read in the side-by-side stage
    size_t OpenBound = 0;             // files open at once per set; 0: from the descriptor limit
    // For tests: every head and tail digest is the same, so only the
    // side-by-side comparison can tell files apart.
    bool SameSplitDigests = false;
    // For tests: every SHA-1 given is the same (a stand-in for a collision),
    // so only the sets the bytes made can tell contents apart.
    bool SameFinalDigests = false;
    // For tests: runs on the calling thread as each stage begins (0 heads,
    // 1 tails, 2 side by side), before any of its work.
    std::function<void(int stage)> StageStarted;
    // For tests: runs on the reading thread after each block of a file has
    // been read (the record, the offset of the block), before it is used, so
    // a test can change the file between its open and its last read.
    std::function<void(const TFileInfo& file, qint64 offset)> BlockRead;
};

// One size class: Count files of one Size (at least 2, Size at least 1),
// consecutive in the file list given to SettleContents, in FFiles order.
struct SizeClass {
    size_t First = 0;
    size_t Count = 0;
};

// Settles the content of every file of classes.
// Reads: the files (opened without following a last link, each checked to be
// the regular file collection saw: device, inode, size, modification and
// change time, for records that carry them), their Size. A file is given a
// digest only when, after its last read, its path still names that same
// file in that same state: a file rewritten, renamed over or swapped for a
// link while it was read joins no set and counts as changed under the scan.
// Descriptors: sets are read side by side within the descriptors free when
// the call starts (less a reserve, shared among the workers); a larger set,
// or one that meets the limit, is read one file at a time instead, and a
// full descriptor table is waited out rather than called unreadable.
// Writes: the digest of every file that has
// a content clone (its true SHA-1, shared by every file of equal bytes) and
// its ContentSet (one number per distinct content, so that two contents of
// one SHA-1 are still told apart; a set too large to hold open is told
// apart by its digest alone, and its files get the digest's number); a
// file alone with its content, or one that cannot be read or changed under
// the comparison, keeps no digest and never makes another file fail. Each
// settled file raises settled by one (the files of classes in all: N). A file
// that could not be read is added to skips.
// Stop: stop is polled before each piece of work and between blocks; once it
// is seen the call returns after the block in hand, with the files not yet
// settled left without a digest. The sets settled before it keep theirs, so
// their groups can still be listed.
// Threads: options.Threads workers, all ended before it returns; the records
// are written by one worker each, the counter atomically.
void SettleContents(const std::vector<TFileInfo*>& files, const std::vector<SizeClass>& classes,
    const ContentOptions& options, const std::atomic<bool>& stop, std::atomic<int>& settled, SkipReport& skips);
