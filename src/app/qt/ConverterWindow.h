#pragma once
#include <QPlainTextEdit>
#include <QString>

namespace app {

// Shows the converter's live output while it runs; only a view, it never
// takes the focus from the main window.
class ConverterWindow : public QPlainTextEdit {
public:
    explicit ConverterWindow(const QString& fileName);
    void AddOutput(const QString& text);

private:
    bool overwrite_ = false;
};

}  // namespace app
