#include "RunEndNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace app {

QString RunEndText(int converted, int failed) {
    const QString files = converted == 1 ? QCoreApplication::translate("Clipvane", "1 file converted")
                                         : QCoreApplication::translate("Clipvane", "%1 files converted").arg(converted);
    return QCoreApplication::translate("Clipvane", "%1, %2 failed.").arg(files).arg(failed);
}

void RunEndNotice::Send(int converted, int failed, const QString& icon) {
    QDBusConnection bus = address_.isEmpty() ? QDBusConnection::sessionBus()
                                             : QDBusConnection::connectToBus(address_, QStringLiteral("clipvane-notice ") + address_);
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("org.clipvane.Clipvane")}};
    call << QStringLiteral("Clipvane") << uint(0) << icon
         << QCoreApplication::translate("Clipvane", "Clipvane has finished") << RunEndText(converted, failed)
         << QStringList() << hints << int(-1);
    // No answer is awaited: a missing service costs nothing.
    call.setAutoStartService(false);
    bus.send(call);
}

}  // namespace app
