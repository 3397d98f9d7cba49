#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "forms/Placement.h"

namespace app {

QRect WorkArea(const QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize PlaceBeside(QWidget& window, const QWidget& avoid, QSize wanted) {
    // Before it is shown a window has no frame yet; the main window's frame
    // (none without a window manager) tells how much one will add.
    const QSize frame = avoid.frameGeometry().size() - avoid.geometry().size();
    const QRect main = avoid.frameGeometry(), room = WorkArea(avoid);
    const forms::Rect spot =
        forms::PlaceBeside({main.x(), main.y(), main.width(), main.height()}, wanted.width() + frame.width(),
                           wanted.height() + frame.height(), {room.x(), room.y(), room.width(), room.height()});
    window.move(spot.left, spot.top);
    return QSize(spot.width - frame.width(), spot.height - frame.height());
}

}  // namespace app
