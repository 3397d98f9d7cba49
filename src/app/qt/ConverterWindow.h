#pragma once
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "convert/RunView.h"

namespace app {

// The converter's progress while it runs: the clip, its place in the run, a
// bar with the percent, the time spent and the time left, and the converter's
// own output folded away behind "Details". Only a view: it draws what the run
// tells it and never takes the focus from the main window.
class ConverterWindow : public QWidget {
public:
    ConverterWindow(const QString& name, const QString& path, int number, int count);
    void ShowProgress(const convert::FileProgress& progress);

    // Keeps clear of `avoid` (the main window) on its monitor, also when
    // Details opens or closes.
    void PlaceBeside(QWidget* avoid);

    QLabel* name() { return name_; }
    QLabel* place() { return place_; }
    QProgressBar* bar() { return bar_; }
    QLabel* elapsed() { return elapsed_; }
    QLabel* left() { return left_; }
    QPushButton* detailsButton() { return detailsButton_; }
    QPlainTextEdit* details() { return details_; }

private:
    void AddDetails(const std::string& newLines, const std::string& lastLine);
    void ShowDetails(bool shown);

    QLabel* name_;
    QLabel* place_;
    QProgressBar* bar_;
    QLabel* elapsed_;
    QLabel* left_;
    QPushButton* detailsButton_;
    QPlainTextEdit* details_;
    QWidget* avoid_ = nullptr;
};

}  // namespace app
