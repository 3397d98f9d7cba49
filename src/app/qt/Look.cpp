#include "Look.h"

#include <QApplication>
#include <QWidget>

namespace app {

QFont WindowFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(13.5);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QIcon WindowIcon() { return QIcon(QStringLiteral(":/clipvane.png")); }

void SetUpWindow(QWidget& window, const QString& caption, int clientWidthTwips,
                 int clientHeightTwips) {
    window.setWindowTitle(caption);
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(Twips(0, 0, clientWidthTwips, clientHeightTwips).size());
    window.setFont(WindowFont());
    window.setWindowIcon(WindowIcon());
}

}  // namespace app
