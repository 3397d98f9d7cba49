#pragma once
#include <QByteArray>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <string>

class QWidget;

namespace app {

// Window geometry is designed in twips; 15 twips are one pixel at 96 dpi and
// Qt scales pixels on high-density screens.
inline QRect Twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The one font and icon all windows share.
QFont WindowFont();
QIcon WindowIcon();
// A fixed-size window with a close box but no maximize or minimize button.
void SetUpWindow(QWidget& window, const QString& caption, int clientWidthTwips, int clientHeightTwips);

// Paths and texts in the core are bytes: UTF-8 on Windows, the file system's
// own bytes on Linux. The windows decode them for display.
#ifdef _WIN32
inline QString Decode(const std::string& bytes) { return QString::fromStdString(bytes); }
inline std::string Encode(const QString& text) { return text.toStdString(); }
#else
inline QString Decode(const std::string& bytes) {
    return QString::fromLocal8Bit(QByteArray::fromStdString(bytes));
}
inline std::string Encode(const QString& text) { return text.toLocal8Bit().toStdString(); }
#endif

}  // namespace app
