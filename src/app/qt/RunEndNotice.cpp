#include "RunEndNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "Look.h"
#include "convert/RunTexts.h"

namespace app {

QString RunEndText(int converted, int failed) { return QString::fromStdString(convert::RunEndText(converted, failed)); }

void RunEndNotice::Send(int converted, int failed, const QString& icon) {
    QDBusConnection bus = address_.isEmpty() ? QDBusConnection::sessionBus()
                                             : QDBusConnection::connectToBus(address_, QStringLiteral("clipvane-notice ") + address_);
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("org.clipvane.Clipvane")}};
    call << QStringLiteral("Clipvane") << uint(0) << icon << QString::fromStdString(convert::RunEndTitle())
         << RunEndText(converted, failed) << QStringList() << hints << int(-1);
    // No answer is awaited: a missing service costs nothing.
    call.setAutoStartService(false);
    bus.send(call);
}

}  // namespace app
