#include "engine/ScanWindow.h"

ScanWindow::ScanWindow() = default;
ScanWindow::~ScanWindow() = default;
QString ScanWindow::ChooseFolder(const QString&, const QString&) { return {}; }
