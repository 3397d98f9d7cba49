#include "SummaryWindow.h"

#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>

#include "Look.h"

namespace app {

SummaryWindow::SummaryWindow(const std::vector<convert::FailedClip>& failed, int count) {
    const forms::Layout& layout = forms::kSummary;
    SetUpWindow(*this, layout);
    setAttribute(Qt::WA_ShowWithoutActivating);

    const QString heading = QString::fromStdString(convert::SummaryHeading(static_cast<int>(failed.size()), count));
    Label1 = new QLabel(heading, this);
    Place(*Label1, layout, "Label1");
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setAccessibleName(heading);
    Text1 = new QTextEdit(this);
    Place(*Text1, layout, "Text1");
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setAccessibleName(heading);
    Command1 = new QPushButton(Caption(layout, "Command1"), this);
    Place(*Command1, layout, "Command1");
    SetUpFocus(layout, {{"Label1", Label1}, {"Text1", Text1}, {"Command1", Command1}});
    connect(Command1, &QPushButton::clicked, this, [this] { close(); });

    // Built as text with formats, never as markup: a name may hold "<" or "&".
    QTextCursor cursor(Text1->document());
    const QFont base = font();
    bool first = true;
    for (const convert::SummaryLine& line : convert::SummaryLines(failed)) {
        using Style = convert::SummaryLine::Style;
        QTextBlockFormat block;
        if (line.style == Style::kClip && !first) block.setTopMargin(base.pointSizeF() * 0.8);
        QTextCharFormat chars;
        QFont shown = base;
        if (line.style == Style::kClip) shown.setBold(true);
        if (line.style == Style::kDetail) shown.setPointSizeF(base.pointSizeF() * 0.8);
        chars.setFont(shown);
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        cursor.insertText(Decode(line.text), chars);
        first = false;
    }
    Text1->moveCursor(QTextCursor::Start);
}

void SummaryWindow::PlaceBeside(QWidget* avoid) {
    QScreen* screen = avoid->screen();
    if (!screen) return;
    // Before it is shown this window has no frame yet; the main window's
    // frame tells how much one will add.
    const QSize frame = avoid->frameGeometry().size() - avoid->geometry().size();
    const QRect main = avoid->frameGeometry(), room = screen->availableGeometry();
    const forms::Rect at =
        forms::PlaceClearOf({main.x(), main.y(), main.width(), main.height()}, width() + frame.width(),
                            height() + frame.height(), {room.x(), room.y(), room.width(), room.height()}, 8);
    move(at.left, at.top);
}

}  // namespace app
