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

void SetUpWindow(QWidget& window, const forms::Layout& layout) {
    window.setWindowTitle(QString::fromUtf8(layout.caption.data(), layout.caption.size()));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(Twips(0, 0, layout.clientWidth, layout.clientHeight).size());
    window.setFont(WindowFont());
    window.setWindowIcon(WindowIcon());
}

}  // namespace app

namespace app {

QString Caption(const forms::Layout& layout, std::string_view name) {
    const std::string_view caption = forms::Find(layout, name).caption;
    return QString::fromUtf8(caption.data(), caption.size());
}

void Place(QWidget& control, const forms::Layout& layout, std::string_view name) {
    control.setGeometry(Twips(forms::Find(layout, name).twips));
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
