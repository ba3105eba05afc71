#pragma once

// How file clones are compared; the order is that of the "Compare files by"
// choices.
enum class CompareMode { ByName = 0, BySize = 1, ByNameAndSize = 2, ByContent = 3 };
