#pragma once
#include <QPlainTextEdit>
#include <QStringList>
#include <functional>

namespace app {

// The log box: an editable text box that takes files dropped on it and hands
// their paths on, without inserting anything itself.
class LogBox : public QPlainTextEdit {
public:
    explicit LogBox(QWidget* parent = nullptr);

    std::function<void(const QStringList& paths)> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace app
