#pragma once
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>
#include <vector>

#include "convert/FailureReason.h"

namespace app {

// After a run in which clips failed: how many, and each failed clip with its
// reason in plain words and the converter's last word in smaller print.
// Shown beside the main window without taking the focus; it closes by its
// own button, or with the main window.
class SummaryWindow : public QWidget {
public:
    SummaryWindow(const std::vector<convert::FailedClip>& failed, int count);

    // Keeps clear of `avoid` (the main window) on its screen.
    void PlaceBeside(QWidget* avoid);

    QLabel* Label1;
    QTextEdit* Text1;
    QPushButton* Command1;
};

}  // namespace app
