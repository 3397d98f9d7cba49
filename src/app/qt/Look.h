#pragma once
#include <QByteArray>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/FormLayouts.h"

class QTranslator;
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
inline QRect Twips(const forms::Rect& r) { return Twips(r.left, r.top, r.width, r.height); }

// A fixed-size window with a close box but no maximize or minimize button,
// captioned and sized as its layout says.
void SetUpWindow(QWidget& window, const forms::Layout& layout);

// Qt's own texts (the message boxes' buttons, the text boxes' menus) in the
// locale's language, from the translations installed with Qt: the installed
// translator (the application owns it), or nullptr when there are none.
QTranslator* InstallQtTranslations(const QLocale& locale = QLocale());

// A text of the windows in the user's language (see text/Translate.h).
QString Tr(const char* english);
QString TrN(const char* one, const char* many, unsigned long n);

// The width in twips of a text in the windows' font.
int TextTwips(const std::string& text);

// A window's layout as this face shows it, in the user's language.
inline forms::FittedLayout Fitted(const forms::Layout& designed) {
    return forms::FittedLayout(designed, platform::kNativeFileMenu, TextTwips);
}

// A control's caption and rectangle (in its container) from the layout.
QString Caption(const forms::Layout& layout, std::string_view name);
void Place(QWidget& control, const forms::Layout& layout, std::string_view name);
// The same in a window shortened to a client area `clientHeight` pixels high.
void PlaceShortened(QWidget& control, const forms::Layout& layout, std::string_view name, int clientHeight);

// Frames and labels take no focus; Tab moves through the rest by tab index.
void SetUpFocus(const forms::Layout& layout,
                const std::vector<std::pair<std::string_view, QWidget*>>& controls);

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
