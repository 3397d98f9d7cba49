#include "ConverterWindow.h"

#include <QScrollBar>
#include <QTextCursor>

#include "Look.h"

namespace app {

ConverterWindow::ConverterWindow(const QString& fileName) {
    setWindowTitle(QStringLiteral("ffmpeg - ") + fileName);
    setWindowIcon(WindowIcon());
    setReadOnly(true);
    setMaximumBlockCount(2000);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    resize(720, 320);
}

void ConverterWindow::AddOutput(const QString& text) {
    // The converter redraws its progress line after a carriage return: show
    // that line being replaced rather than thousands of lines.
    QTextCursor cursor(document());
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
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace app
