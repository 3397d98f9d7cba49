#pragma once
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "convert/ConverterProgress.h"

namespace app {

// The converter's progress while it runs: the clip, its place in the run, a
// bar with the percent, the time spent and the time left, and the converter's
// own output folded away behind "Details". Only a view: it never takes the
// focus from the main window.
class ConverterWindow : public QWidget {
public:
    ConverterWindow(const QString& fileName, int number, int count);
    void AddOutput(const QString& text);

    // Keeps clear of `avoid` (the main window's frame) on its screen, also
    // when Details opens or closes.
    void PlaceBeside(QWidget* avoid);

    QLabel* name() { return name_; }
    QLabel* place() { return place_; }
    QProgressBar* bar() { return bar_; }
    QLabel* elapsed() { return elapsed_; }
    QLabel* left() { return left_; }
    QPushButton* detailsButton() { return detailsButton_; }
    QPlainTextEdit* details() { return details_; }
    const convert::ConverterProgress& progress() const { return progress_; }

private:
    void ShowProgress();
    void AddDetails(const QString& text);
    void ShowDetails(bool shown);

    QLabel* name_;
    QLabel* place_;
    QProgressBar* bar_;
    QLabel* elapsed_;
    QLabel* left_;
    QPushButton* detailsButton_;
    QPlainTextEdit* details_;
    QTimer clock_;
    QElapsedTimer started_;
    convert::ConverterProgress progress_;
    bool overwrite_ = false;
    QWidget* avoid_ = nullptr;
};

}  // namespace app
