#pragma once
// File clone grouping: the collected files grouped by the compare mode's key
// and ranked by the space a group occupies.

#include "engine/CompareMode.h"
#include "engine/FileStore.h"

#include <vector>

// One clone group: its files in FFiles order, and the sum of their sizes
// (every member counts, the first included).
struct TGroupRec {
    std::vector<TFileInfo*> Files;
    qint64 TotalSize = 0;
};

// Groups files by mode's key (ByName: the name lower-cased; BySize: the size;
// ByNameAndSize: both; ByContent: the digest, files without one left out),
// keeps the groups of at least minGroupSize files (raised to 2) and returns
// them largest total first; equal totals are ordered by their first member's
// path, so that one tree always lists the same way. Reads only the records;
// runs on the calling thread; cannot be stopped (it neither waits nor reads
// the disk).
std::vector<TGroupRec> GroupFiles(const TFileList& files, CompareMode mode, int minGroupSize);
