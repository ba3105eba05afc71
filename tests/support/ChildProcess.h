#pragma once
// Runs a piece of a test in a child process whose limit of open files is
// lowered, soft and hard alike, so that nothing the program does (it raises
// the soft limit to the hard one before a scan) can lift it:
//
//     const int result = RunWithOpenFileLimit(64, [&] { return walkReachesBottom() ? 0 : 1; });
//     QCOMPARE(result, 0);
//
// What the child found comes back as its exit status (0..125); 1 when it
// threw, 127 when the limit could not be set, 128 + signal when it died.

#include <functional>

// The common part: runs body in a forked child after prepare has returned 0
// there (else the child ends with prepare's status); the child's status as
// above.
int RunInChild(const std::function<int()>& prepare, const std::function<int()>& body);

int RunWithOpenFileLimit(int limit, const std::function<int()>& body);

// Descriptors this process holds open now.
int OpenDescriptorCount();
