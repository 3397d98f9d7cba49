#include "Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextCursor>

#include "Form2.h"
#include "Form3.h"
#include "Look.h"
#include "WindowPlacement.h"
#include "forms/RunSetup.h"
#include "intake/CommandLineIntake.h"
#include "intake/DropIntake.h"
#include "intake/Texts.h"

namespace app {

Form1::Form1(platform::Platform& platform)
    : supervisor(*this), platform_(platform), batch_(files, *this, supervisor, forms::MakeRunServices(platform)) {
    const forms::Layout& layout = layout_.layout();
    SetUpWindow(*this, layout);

    Command3 = new QPushButton(Caption(layout, "Command3"), this);
    Place(*Command3, layout, "Command3");
    Command2 = new QPushButton(Caption(layout, "Command2"), this);
    Place(*Command2, layout, "Command2");
    Frame2 = new QGroupBox(Caption(layout, "Frame2"), this);
    Place(*Frame2, layout, "Frame2");
    Label2 = new QLabel(Frame2);
    Place(*Label2, layout, "Label2");
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The frame already reads "Message": a screen reader reads the status.
    Label2->setAccessibleName(Label2->text());
    Frame1 = new QGroupBox(Caption(layout, "Frame1"), this);
    Place(*Frame1, layout, "Frame1");
    Text1 = new LogBox(Frame1);
    Place(*Text1, layout, "Text1");
    Text1->setPlainText(Caption(layout, "Text1"));
    Text1->setAccessibleName(Caption(layout, "Frame1"));
    Label1 = new QLabel(Frame1);
    Place(*Label1, layout, "Label1");
    Label1->lower();  // beneath the log box, which covers it
    Command1 = new QPushButton(Caption(layout, "Command1"), this);
    Place(*Command1, layout, "Command1");
    Command1->setDefault(false);

    SetUpFocus(layout, {{"Command1", Command1}, {"Command2", Command2}, {"Command3", Command3},
                        {"Frame1", Frame1}, {"Frame2", Frame2}, {"Label1", Label1},
                        {"Label2", Label2}, {"Text1", Text1}});

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    Text1->onDrop = [this](const QStringList& paths) { Text1_OLEDragDrop(paths); };
}

Form1::~Form1() {
    delete about_;
    delete setting_;
    delete converterWindow_;
    delete summary_;
}

void Form1::Form_Load() {
    intake::LoadFromCommandLine(files, *platform_.environment, *platform_.names, *platform_.files, *this);
}

void Form1::Text1_OLEDragDrop(const QStringList& paths) {
    std::vector<std::string> dropped;
    dropped.reserve(paths.size());
    for (const QString& path : paths) dropped.push_back(Encode(path));
    intake::DropFiles(files, dropped, *platform_.names, *platform_.files, *this);
}

void Form1::Command1_Click() {
    watching_.Started();
    batch_.Command1_Click();
}

void Form1::Command2_Click() {
    // A closed window is gone even if Qt has not deleted it yet: a new
    // opening loads a new one.
    if (!about_ || about_->isHidden()) about_ = new Form2(*this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form1::Command3_Click() {
    if (!setting_ || setting_->isHidden()) setting_ = new Form3(*this);
    setting_->show();
    setting_->raise();
    setting_->activateWindow();
}

void Form1::ShowCentred() {
    QRect frame = frameGeometry();
    frame.moveCenter(WorkArea(*this).center());
    move(frame.topLeft());
    show();
    Command1->setFocus(Qt::OtherFocusReason);
}

void Form1::changeEvent(QEvent* event) {
    // From now on the window's own activation says whether the user is here.
    if (event->type() == QEvent::ActivationChange) watching_.ActivationChanged();
    QWidget::changeEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    supervisor.Form_Unload();
    launcherEntry.Clear();
    // Every window goes with the main one.
    for (QWidget* w : {static_cast<QWidget*>(about_.data()), static_cast<QWidget*>(setting_.data()),
                       static_cast<QWidget*>(converterWindow_.data()), static_cast<QWidget*>(summary_.data())})
        if (w) w->hide();
    hide();
    emit unloaded();
}

void Form1::UnloadMainWindow() { close(); }

std::string Form1::LogText() { return Encode(Text1->toPlainText()); }

void Form1::SetLogText(const std::string& text) { Text1->setPlainText(Decode(text)); }

void Form1::MoveCaretToEnd() {
    QTextCursor cursor = Text1->textCursor();
    cursor.movePosition(QTextCursor::End);
    Text1->setTextCursor(cursor);
    Text1->ensureCursorVisible();
}

void Form1::AppendLogText(const std::string& text) {
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Decode(text));
}

void Form1::ShowMessage(const std::string& text) {
    const QString message = Decode(text);
    if (messageBoxHook) return messageBoxHook(message);
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), message, QMessageBox::Ok, isVisible() ? this : nullptr);
    box.setFont(WindowFont());
    box.setWindowIcon(WindowIcon());
    box.exec();
}

void Form1::SetCommand1(const std::string& caption, bool enabled) {
    command1State_ = caption;
    Command1->setText(QString::fromStdString(forms::Shown(caption)));
    Command1->setEnabled(enabled);
}

std::string Form1::Command1Caption() { return command1State_; }

void Form1::SetLabel1(const std::string& caption) { Label1->setText(Decode(caption)); }

void Form1::SetLabel2(const std::string& caption) {
    Label2->setText(Decode(caption));
    Label2->setAccessibleName(Label2->text());
}

void Form1::Repaint() {
    repaint();
    Text1->repaint();
    Label1->repaint();
    Label2->repaint();
}

void Form1::PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Form1::ConverterStarted(const std::string& name, const std::string& path, int number, int count) {
    watching_.Started();
    delete converterWindow_;
    converterWindow_ = new ConverterWindow(Decode(name), Decode(path), number, count);
    // Beside the main window rather than over it, and without the focus.
    converterWindow_->PlaceBeside(this);
    converterWindow_->show();
}

void Form1::ShowFileProgress(const convert::FileProgress& progress) {
    if (converterWindow_) converterWindow_->ShowProgress(progress);
}

void Form1::ShowRunProgress(double fraction, bool) { launcherEntry.ShowProgress(fraction); }

void Form1::ConverterEnded() {
    if (!converterWindow_) return;
    // Should the progress window have been given the focus after all (some
    // window systems do), it goes back to the main window, not elsewhere.
    const bool hadFocus = converterWindow_->isActiveWindow();
    converterWindow_->close();
    converterWindow_->deleteLater();
    if (watching_.ProgressClosed(hadFocus, isVisible())) activateWindow();
}

}  // namespace app

namespace app {

void Form1::RunEnded(int converted, int failed) {
    launcherEntry.Clear();
    // A user watching the window sees the end there.
    if (watching_.AtRunEnd(isActiveWindow())) return;
    // The icon beside the program when it runs from its build, else the
    // installed theme's.
    const QString beside = Decode(platform_.environment->ProgramFolder()) + QStringLiteral("/clipvane.png");
    runEndNotice.Send(converted, failed, QFileInfo::exists(beside) ? beside : QStringLiteral("clipvane"));
}

}  // namespace app

namespace app {

void Form1::ShowFailures(const std::vector<convert::FailedClip>& failed, int count) {
    delete summary_;
    summary_ = new SummaryWindow(failed, count);
    // Beside the main window rather than over it, and without the focus.
    summary_->PlaceBeside(this);
    summary_->show();
}

}  // namespace app
