#pragma once
#include <QString>

namespace app {

// Tells the desktop that a run has ended, through the freedesktop
// notification service on the session bus. Sends and never waits for an
// answer: without a service nothing shows and nothing is held up.
class RunEndNotice {
public:
    // The bus at this address instead of the user's session bus.
    void UseBus(const QString& address) { address_ = address; }

    void Send(int converted, int failed, const QString& icon);

private:
    QString address_;
};

// The notice's text, e.g. "3 files converted, 1 failed."
QString RunEndText(int converted, int failed);

}  // namespace app
