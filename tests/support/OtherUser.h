#pragma once
// Runs a piece of a test as a user without root's powers, so that file
// permissions bind: as root, in a child process switched to the user
// "nobody"; as any other user, in this process.
//
//     const int result = RunUnprivileged([&] { return scanFindsNoGroup() ? 0 : 1; });
//     if (result == kCannotDropRoot) QSKIP(...);
//     QCOMPARE(result, 0);
//
// The child shares nothing with the test afterwards: what it found comes back
// as its exit status (0..125). Folders it must reach need permissions for
// others (TestDir folders are private: open them with MakeReachable).

#include <QString>

#include <functional>

constexpr int kCannotDropRoot = 126;

int RunUnprivileged(const std::function<int()>& body);

// chmod 0755 on the folder and its parents up to the temporary folder, so
// that another user can walk into it.
void MakeReachable(const QString& folder);
