#pragma once
// File masks: "*" any run, "?" one character, [set] and [!set] with ranges;
// the letters a to z match without regard to case, every other character
// exactly. "*.*" matches every name, also names without a dot.

#include <QString>

// False for a mask a listing refuses: empty, holding "/" or NUL, or a set
// without its closing bracket.
bool MaskIsValid(const QString& mask);
bool MaskMatches(const QString& mask, const QString& name);
