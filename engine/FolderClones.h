#pragma once
// The steps of folder clone detection, free of any window: collecting the
// folders below the roots, analysing them deepest first into signatures, and
// grouping equal signatures. ScanWindow::FindDirectoryDuplicates sets the
// texts, pumps and calls them.

#include "engine/Exclusions.h"
#include "engine/FolderSignature.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

struct DirRec {
    QString Path; // normalized
    platform::FileId Id;
    qint64 Total = 0;
    FolderDigest Sig {};
    bool Analysed = false;
    bool Reference = false; // met below a reference folder, by any path
};

// Every folder met, once per identity; the first path met stands for it.
struct FolderTree {
    std::vector<DirRec> Dirs;
    QHash<platform::FileId, int> ById;
    // Trash folders at the top of a volume: left out of their parent.
    QSet<platform::FileId> LeftOut;
};

// Adds root (normalized) and every folder below it that the tree does not
// hold yet. Links to folders are followed; pseudo file systems and trash
// folders are not entered, nor folders that exclude leaves out: a folder
// holding one is then not known whole and matches no other (excluded files
// still count in their folder, so that no folder passes for a copy of one
// without them). Reads the file system; writes tree. Stop: polled before
// each folder; the tree then holds what was met so far. Any thread.
// With reference, every folder met below root (also one the tree held
// already, which is then walked again for its subfolders) is marked so.
void CollectFolderTree(const QString& root, FolderTree& tree, const std::atomic<bool>& stop,
    const ExclusionSet& exclude = ExclusionSet(), bool reference = false);

// The signature and total of every folder of tree, deepest first, so that
// a subfolder is known when its parent is analysed. A folder whose tree
// could not be examined whole (refused or failed listing, an entry whose
// type cannot be read, a subfolder the collection did not see) gets an entry
// bound to its identity and matches no other folder. progress(done, total)
// runs after each folder. Returns false when a stop was seen (before a
// folder); the tree is then partly analysed. Calling thread only.
bool AnalyseFolders(
    FolderTree& tree, const std::atomic<bool>& stop, const std::function<void(int done, int total)>& progress);

// The groups of equal signatures with at least minGroupSize folders (raised
// to 2) once folders inside a kept folder of their own group are dropped,
// each in DirPathLess order, largest total first, equal totals by their first
// folder. dirSize receives the total of every listed folder. Stop: polled
// before each signature; the groups made so far are returned.
std::vector<TDirGroupRec> GroupFolders(
    const FolderTree& tree, int minGroupSize, const std::atomic<bool>& stop, QHash<QString, qint64>& dirSize);
