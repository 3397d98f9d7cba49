#pragma once
#include <QRect>
#include <QSize>

class QWidget;

namespace app {

// The work area of the monitor `window` is on (the primary one before it is shown).
QRect WorkArea(const QWidget& window);

// Moves `window`, whose client area wants `wanted`, clear of `avoid` (the
// main window) on the main window's monitor; returns the client size it has
// room for there, which may be less than wanted.
QSize PlaceBeside(QWidget& window, const QWidget& avoid, QSize wanted);

}  // namespace app
