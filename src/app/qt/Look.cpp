#include "Look.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

#include "text/Translate.h"

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

QTranslator* InstallQtTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(qApp);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

QIcon WindowIcon() { return QIcon(QStringLiteral(":/clipvane.png")); }

void SetUpWindow(QWidget& window, const forms::Layout& layout) {
    window.setWindowTitle(QString::fromStdString(forms::Shown(layout.caption)));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(Twips(0, 0, layout.clientWidth, layout.clientHeight).size());
    window.setFont(WindowFont());
    window.setWindowIcon(WindowIcon());
}

}  // namespace app

namespace app {

QString Tr(const char* english) { return QString::fromStdString(text::Tr(english)); }

QString TrN(const char* one, const char* many, unsigned long n) {
    return QString::fromStdString(text::TrN(one, many, n));
}

int TextTwips(const std::string& text) {
    return QFontMetrics(WindowFont()).horizontalAdvance(QString::fromStdString(text)) * forms::kTwipsPerPixel;
}

QString Caption(const forms::Layout& layout, std::string_view name) {
    return QString::fromStdString(forms::Shown(forms::Find(layout, name).caption));
}

void Place(QWidget& control, const forms::Layout& layout, std::string_view name) {
    control.setGeometry(Twips(forms::Find(layout, name).twips));
}

void PlaceShortened(QWidget& control, const forms::Layout& layout, std::string_view name, int clientHeight) {
    control.setGeometry(Twips(forms::Shortened(layout, forms::Find(layout, name), clientHeight * 15)));
}

void SetUpFocus(const forms::Layout& layout,
                const std::vector<std::pair<std::string_view, QWidget*>>& controls) {
    auto widget = [&](std::string_view name) -> QWidget* {
        for (const auto& [n, w] : controls)
            if (n == name) return w;
        return nullptr;
    };
    for (const forms::Control& c : layout.controls)
        if (!forms::TakesFocus(c.kind))
            if (QWidget* w = widget(c.name)) w->setFocusPolicy(Qt::NoFocus);
    const std::vector<std::string_view> order = forms::FocusOrder(layout);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(widget(order[i]), widget(order[i + 1]));
    if (order.size() > 1) QWidget::setTabOrder(widget(order.back()), widget(order.front()));
}

}  // namespace app
