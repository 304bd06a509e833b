#pragma once
// Small window services.
class QWidget;

// Keeps the window above all others (on) or back among them (off), without moving or
// sizing it.
void setTopMost(QWidget* window, bool on);
