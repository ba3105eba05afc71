#include "engine/ScanWindow.h"

void ScanWindow::FindDirectoryDuplicates() { }
