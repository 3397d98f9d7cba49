#include "LogBox.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace app {

LogBox::LogBox(QWidget* parent) : QPlainTextEdit(parent) {
    setAcceptDrops(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control rather than typing a tab.
    setTabChangesFocus(true);
}

void LogBox::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void LogBox::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void LogBox::dropEvent(QDropEvent* event) {
    // Only local files count; text, web addresses and a file manager's
    // virtual places make a drop of no files.
    QStringList paths;
    const QMimeData* data = event->mimeData();
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    if (onDrop) onDrop(paths);
}

}  // namespace app
