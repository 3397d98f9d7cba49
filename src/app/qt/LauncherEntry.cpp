#include "LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <cmath>

namespace app {

void LauncherEntry::ShowProgress(double fraction) {
    // A signal per visible step at most, not one per line of converter output.
    const int permille = static_cast<int>(std::lround(fraction * 1000));
    if (shown_ && permille == sentPermille_) return;
    sentPermille_ = permille;
    shown_ = true;
    Send(permille / 1000.0, true);
}

void LauncherEntry::Clear() {
    if (!shown_) return;
    shown_ = false;
    sentPermille_ = -1;
    Send(0, false);
}

void LauncherEntry::Send(double fraction, bool visible) {
    QDBusConnection bus =
        address_.isEmpty() ? QDBusConnection::sessionBus()
                           : QDBusConnection::connectToBus(address_, QStringLiteral("clipvane-launcher ") + address_);
    if (!bus.isConnected()) return;
    QDBusMessage update =
        QDBusMessage::createSignal(QStringLiteral("/org/clipvane/Clipvane/LauncherEntry"),
                                   QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << AppUri()
           << QVariantMap{{QStringLiteral("progress"), fraction}, {QStringLiteral("progress-visible"), visible}};
    bus.send(update);
}

}  // namespace app
