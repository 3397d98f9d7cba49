#pragma once
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>

#include "ConverterWindow.h"
#include "Form2.h"
#include "Form3.h"
#include "LauncherEntry.h"
#include "LogBox.h"
#include "Look.h"
#include "RunEndNotice.h"
#include "SummaryWindow.h"
#include "convert/BatchRun.h"
#include "convert/RunView.h"
#include "convert/Supervision.h"
#include "forms/Watching.h"
#include "intake/FileList.h"
#include "intake/Texts.h"
#include "platform/Platform.h"

namespace app {

// The main window: the file list and log, the status message, START, and the
// buttons that open the About and Setting windows. Closing it ends the program.
class Form1 : public QWidget, public convert::RunView {
    Q_OBJECT
public:
    explicit Form1(platform::Platform& platform);
    ~Form1() override;

    // Events, named after the control and the event.
    void Form_Load();
    void Text1_OLEDragDrop(const QStringList& paths);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_Unload();

    // Centres the window on its screen and shows it with START focused.
    void ShowCentred();

    // Tests answer message boxes here instead of a person.
    std::function<void(const QString& text)> messageBoxHook;

    intake::FileList files;
    convert::Supervisor supervisor;
    // Told when a run ends while the user looks elsewhere.
    RunEndNotice runEndNotice;
    // The run's progress on the program's launcher.
    LauncherEntry launcherEntry;

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    LogBox* Text1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;

    platform::Platform& platform() { return platform_; }
    Form2* aboutWindow() { return about_; }
    Form3* settingWindow() { return setting_; }
    ConverterWindow* converterWindow() { return converterWindow_; }
    SummaryWindow* summaryWindow() { return summary_; }

    // convert::RunView
    std::string LogText() override;
    void SetLogText(const std::string& text) override;
    void MoveCaretToEnd() override;
    void ShowMessage(const std::string& text) override;
    void SetCommand1(const std::string& caption, bool enabled) override;
    std::string Command1Caption() override;
    void AppendLogText(const std::string& text) override;
    void SetLabel1(const std::string& caption) override;
    void SetLabel2(const std::string& caption) override;
    void Repaint() override;
    void PumpEvents() override;
    bool Unloaded() override { return unloaded_; }
    void UnloadMainWindow() override;
    void ConverterStarted(const std::string& name, const std::string& path, int number, int count) override;
    void ShowFileProgress(const convert::FileProgress& progress) override;
    void ConverterEnded() override;
    void ShowRunProgress(double fraction, bool failed) override;
    void RunEnded(int converted, int failed) override;
    void ShowFailures(const std::vector<convert::FailedClip>& failed, int count) override;

signals:
    // The window is gone and the program should end.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const forms::FittedLayout layout_ = Fitted(forms::kForm1);
    platform::Platform& platform_;
    convert::BatchRun batch_;
    // The button's state, kept apart from the caption, which is translated.
    std::string command1State_{intake::kStart};
    bool unloaded_ = false;
    QPointer<Form2> about_;
    QPointer<Form3> setting_;
    QPointer<ConverterWindow> converterWindow_;
    forms::Watching watching_;
    QPointer<SummaryWindow> summary_;
};

}  // namespace app
