#include "SummaryWindow.h"

#include <QTextBlock>
#include <QTextCursor>

#include "Look.h"
#include "WindowPlacement.h"

namespace app {

SummaryWindow::SummaryWindow(const std::vector<convert::FailedClip>& failed, int count) {
    const forms::Layout& layout = forms::kSummary;
    SetUpWindow(*this, layout);
    setAttribute(Qt::WA_ShowWithoutActivating);

    const QString heading = QString::fromStdString(convert::SummaryHeading(failed, count));
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
    const QSize room = app::PlaceBeside(*this, *avoid, size());
    if (room.height() >= height()) return;
    // A shorter list where the screen is short of room.
    setFixedHeight(room.height());
    PlaceShortened(*Text1, forms::kSummary, "Text1", room.height());
    PlaceShortened(*Command1, forms::kSummary, "Command1", room.height());
}

}  // namespace app
