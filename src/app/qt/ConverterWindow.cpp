#include "ConverterWindow.h"

#include <QFileInfo>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "Look.h"
#include "WindowPlacement.h"
#include "convert/RunProgress.h"

namespace app {

namespace {
constexpr int kWidth = 460;
constexpr int kDetailsHeight = 220;

// A label's accessible name is what it shows, as the main window's status line
// does: a fixed name would hide the value from screen readers, so what the
// label stands for goes in its description.
void Show(QLabel& label, const QString& text) {
    label.setText(text);
    label.setAccessibleName(text);
}
}  // namespace

ConverterWindow::ConverterWindow(const QString& fileName, int number, int count) {
    const QString name = QFileInfo(fileName).fileName();
    setWindowTitle(QString::fromStdString(convert::ConvertingTitle(name.toStdString())));
    setWindowIcon(WindowIcon());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);

    name_ = new QLabel(this);
    Show(*name_, name);
    name_->setToolTip(fileName);  // the whole path, also its accessible description
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    place_ = new QLabel(this);
    Show(*place_, QString::fromStdString(convert::PlaceText(number, count)));
    place_->setAccessibleDescription(Tr("Place in the run"));
    place_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setAccessibleName(Tr("Converted"));
    elapsed_ = new QLabel(this);
    elapsed_->setAccessibleDescription(Tr("Time elapsed"));
    left_ = new QLabel(this);
    left_->setAccessibleDescription(Tr("Time left"));
    left_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    detailsButton_ = new QPushButton(Tr("Details"), this);
    detailsButton_->setCheckable(true);
    detailsButton_->setAccessibleDescription(Tr("Shows what ffmpeg writes"));
    details_ = new QPlainTextEdit(this);
    details_->setReadOnly(true);
    details_->setMaximumBlockCount(2000);
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);
    details_->setAccessibleName(Tr("ffmpeg output"));
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    details_->setFont(mono);
    details_->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{name_, place_, bar_, elapsed_, left_, details_})
        w->setFocusPolicy(Qt::NoFocus);

    auto* grid = new QGridLayout;
    grid->addWidget(name_, 0, 0);
    grid->addWidget(place_, 0, 1);
    grid->addWidget(bar_, 1, 0, 1, 2);
    grid->addWidget(elapsed_, 2, 0);
    grid->addWidget(left_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(detailsButton_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(buttons);
    column->addWidget(details_, 1);
    column->setSizeConstraint(QLayout::SetFixedSize);
    details_->setFixedSize(kWidth, kDetailsHeight);
    name_->setFixedWidth(kWidth * 3 / 4);
    name_->setTextFormat(Qt::PlainText);

    connect(detailsButton_, &QPushButton::toggled, this, [this](bool shown) { ShowDetails(shown); });
    started_.start();
    clock_.setInterval(500);
    connect(&clock_, &QTimer::timeout, this, [this] { ShowProgress(); });
    clock_.start();
    ShowProgress();
}

void ConverterWindow::ShowProgress() {
    const auto spent = std::chrono::milliseconds(started_.elapsed());
    Show(*elapsed_, QString::fromStdString(convert::ElapsedText(spent)));
    const auto percent = progress_.Percent();
    if (!percent) {
        // No length to measure against: the bar only says it is busy.
        if (bar_->maximum() != 0) bar_->setRange(0, 0);
        bar_->setAccessibleDescription(Tr("Busy, length unknown"));
        Show(*left_, QString());
        return;
    }
    if (bar_->maximum() != 100) bar_->setRange(0, 100);
    bar_->setValue(*percent);
    bar_->setAccessibleDescription(Tr("%1 percent").arg(*percent));
    Show(*left_, QString::fromStdString(convert::TimeLeftText(progress_, spent)));
}

void ConverterWindow::AddOutput(const QString& text) {
    progress_.Feed(text.toStdString());
    AddDetails(text);
    ShowProgress();
}

void ConverterWindow::AddDetails(const QString& text) {
    // The converter redraws its progress line after a carriage return: show
    // that line being replaced rather than thousands of lines.
    QTextCursor cursor(details_->document());
    cursor.movePosition(QTextCursor::End);
    QString run;
    auto flush = [&] {
        if (run.isEmpty()) return;
        if (overwrite_) {
            cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            overwrite_ = false;
        }
        cursor.insertText(run);
        run.clear();
    };
    for (QChar c : text) {
        if (c == u'\r') {
            flush();
            overwrite_ = true;
        } else if (c == u'\n') {
            flush();
            cursor.insertBlock();
            overwrite_ = false;
        } else {
            run += c;
        }
    }
    flush();
    details_->verticalScrollBar()->setValue(details_->verticalScrollBar()->maximum());
}

void ConverterWindow::ShowDetails(bool shown) {
    details_->setVisible(shown);
    adjustSize();
    if (avoid_) PlaceBeside(avoid_);
}

void ConverterWindow::PlaceBeside(QWidget* avoid) {
    avoid_ = avoid;
    adjustSize();
    const QRect main = avoid->frameGeometry();
    QScreen* screen = avoid->screen();
    if (!screen) return;
    // Before it is shown this window has no frame yet; the main window's
    // frame (none without a window manager) tells how much one will add.
    const QSize frame = avoid->frameGeometry().size() - avoid->geometry().size();
    QRect spot = app::PlaceBeside(main, size() + frame, screen->availableGeometry());
    const int missing = size().height() + frame.height() - spot.height();
    if (missing > 0 && details_->isVisible()) {
        // Too little room for all of it: fewer lines of details.
        details_->setFixedHeight(std::max(40, details_->height() - missing));
        adjustSize();
        spot = app::PlaceBeside(main, size() + frame, screen->availableGeometry());
    }
    move(spot.topLeft());
}

}  // namespace app
