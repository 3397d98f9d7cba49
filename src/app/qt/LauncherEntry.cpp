#include "LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace app {

void LauncherEntry::ShowProgress(double fraction) {
    shown_ = true;
    Send(fraction, true);
}

void LauncherEntry::Clear() {
    if (!shown_) return;
    shown_ = false;
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
