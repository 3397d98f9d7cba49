#include "ConverterWindow.h"

#include <QScrollBar>
#include <QTextCursor>

#include "Look.h"
#include "WindowPlacement.h"
#include "convert/RunTexts.h"

namespace app {

namespace {
const forms::Layout& kLayout = forms::kProgress;

// A label's accessible name is what it shows, as the main window's status line
// does: a fixed name would hide the value from screen readers, so what the
// label stands for goes in its description.
void Show(QLabel& label, const QString& text) {
    label.setText(text);
    label.setAccessibleName(text);
}
}  // namespace

ConverterWindow::ConverterWindow(const QString& name, const QString& path, int number, int count) {
    SetUpWindow(*this, kLayout);
    setWindowTitle(QString::fromStdString(convert::ConvertingTitle(name.toStdString())));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);

    name_ = new QLabel(this);
    Place(*name_, kLayout, "Name");
    name_->setTextFormat(Qt::PlainText);
    Show(*name_, name);
    name_->setToolTip(path);  // the whole path, also its accessible description
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    place_ = new QLabel(this);
    Place(*place_, kLayout, "Place");
    Show(*place_, QString::fromStdString(convert::PlaceText(number, count)));
    place_->setAccessibleDescription(Tr("Place in the run"));
    place_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_ = new QProgressBar(this);
    Place(*bar_, kLayout, "Bar");
    bar_->setRange(0, 0);  // busy until the clip's length is known
    // TRANSLATORS: the progress bar's name for screen readers: how much of the clip is converted.
    bar_->setAccessibleName(Tr("Converted"));
    elapsed_ = new QLabel(this);
    Place(*elapsed_, kLayout, "Elapsed");
    elapsed_->setAccessibleDescription(Tr("Time elapsed"));
    left_ = new QLabel(this);
    Place(*left_, kLayout, "Left");
    left_->setAccessibleDescription(Tr("Time left"));
    left_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    detailsButton_ = new QPushButton(Caption(kLayout, "Details"), this);
    Place(*detailsButton_, kLayout, "Details");
    detailsButton_->setCheckable(true);
    detailsButton_->setAccessibleDescription(Tr("Shows what ffmpeg writes"));
    details_ = new QPlainTextEdit(this);
    Place(*details_, kLayout, "Output");
    details_->setReadOnly(true);
    details_->setMaximumBlockCount(forms::kDetailsLines);
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);
    details_->setAccessibleName(Tr("ffmpeg output"));
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    details_->setFont(mono);
    SetUpFocus(kLayout, {{"Name", name_},
                         {"Place", place_},
                         {"Bar", bar_},
                         {"Elapsed", elapsed_},
                         {"Left", left_},
                         {"Details", detailsButton_},
                         {"Output", details_}});
    details_->setFocusPolicy(Qt::NoFocus);

    connect(detailsButton_, &QPushButton::toggled, this, [this](bool shown) { ShowDetails(shown); });
    ShowDetails(false);
}

void ConverterWindow::ShowProgress(const convert::FileProgress& progress) {
    Show(*elapsed_, QString::fromStdString(convert::ElapsedText(progress.elapsed)));
    Show(*left_, QString::fromStdString(convert::TimeLeftText(progress.left)));
    if (!progress.percent) {
        // No length to measure against: the bar only says it is busy.
        if (bar_->maximum() != 0) bar_->setRange(0, 0);
        bar_->setAccessibleDescription(Tr("Busy, length unknown"));
    } else {
        if (bar_->maximum() != 100) bar_->setRange(0, 100);
        bar_->setValue(*progress.percent);
        bar_->setAccessibleDescription(Tr("%1 percent").arg(*progress.percent));
    }
    AddDetails(progress.newLines, progress.lastLine);
}

void ConverterWindow::AddDetails(const std::string& newLines, const std::string& lastLine) {
    // The last line shown is the one being written: it gives way to what came.
    QScrollBar* scroll = details_->verticalScrollBar();
    const bool follow =
        forms::FollowsOutput(scroll->value() == scroll->maximum(), details_->textCursor().hasSelection());
    QTextCursor cursor(details_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(Decode(newLines + lastLine));
    if (follow) scroll->setValue(scroll->maximum());
}

void ConverterWindow::ShowDetails(bool shown) {
    details_->setVisible(shown);
    Place(*details_, kLayout, "Output");
    const int height = (shown ? kLayout.clientHeight : forms::kProgressCompactHeight) / 15;
    setFixedHeight(height);
    if (avoid_) PlaceBeside(avoid_);
}

void ConverterWindow::PlaceBeside(QWidget* avoid) {
    avoid_ = avoid;
    const QSize room = app::PlaceBeside(*this, *avoid, size());
    if (room.height() >= height() || !details_->isVisible()) return;
    // Too little room for all of it: fewer lines of details.
    setFixedHeight(room.height());
    PlaceShortened(*details_, kLayout, "Output", room.height());
}

}  // namespace app
