// Small stand-ins for the desktop's D-Bus services, for the tests: each logs
// the calls it gets, one line each, to a file.
//   dbus_stand_in ADDRESS notifications|portal|logind|mute-portal|launcher LOG
// Prints "ready" once its name is on the bus ("launcher" owns no name: it
// listens to every launcher entry's Update signal).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QSocketNotifier>
#include <QVariantMap>
#include <cstdio>
#include <unistd.h>

namespace {

QString logPath;

void Log(const QString& line) {
    QFile file(logPath);
    if (file.open(QIODevice::Append)) file.write((line + "\n").toUtf8());
}

}  // namespace

class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    Q_SCRIPTABLE uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                             const QString& body, const QStringList& actions, const QVariantMap& hints,
                             int timeout) {
        (void)actions, (void)timeout;
        Log(QStringList{"notify", app, QString::number(replaces), icon, summary, body,
                        hints.value("desktop-entry").toString()}
                .join('|'));
        return 7;
    }
    Q_SCRIPTABLE QStringList GetCapabilities() { return {"body"}; }
};

class Request : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    explicit Request(QString path) : path_(std::move(path)) {}
public slots:
    Q_SCRIPTABLE void Close() {
        Log("close " + path_);
    }

private:
    QString path_;
};

class PortalInhibit : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    PortalInhibit(QDBusConnection bus, bool mute) : bus_(bus), mute_(mute) {}
public slots:
    Q_SCRIPTABLE QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        Log(QStringList{"inhibit", window, QString::number(flags), options.value("reason").toString()}.join('|'));
        if (mute_) {
            setDelayedReply(true);  // and never answer
            return {};
        }
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t%1").arg(++count_);
        bus_.registerObject(path, new Request(path), QDBusConnection::ExportScriptableSlots);
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection bus_;
    bool mute_;
    int count_ = 0;
};

class Logind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    Q_SCRIPTABLE QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                                 const QString& mode) {
        Log(QStringList{"inhibit", what, who, why, mode}.join('|'));
        int ends[2];
        if (pipe(ends) != 0) return {};
        // The caller holds the write end; its closing ends the inhibition.
        auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [notifier, ends] {
            char c;
            if (read(ends[0], &c, 1) > 0) return;
            Log("released");
            notifier->setEnabled(false);
            close(ends[0]);
        });
        QDBusUnixFileDescriptor handed(ends[1]);
        close(ends[1]);
        return handed;
    }
};

class LauncherListener : public QObject {
    Q_OBJECT
public slots:
    void Update(const QString& app, const QVariantMap& properties) {
        Log(QStringList{"launcher", app, QString::number(properties.value("progress").toDouble()),
                        properties.value("progress-visible").toBool() ? "visible" : "hidden"}
                .join('|'));
    }
};

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 4) return 2;
    logPath = QString::fromLocal8Bit(argv[3]);
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), "stand-in");
    const QByteArray service = argv[2];
    QString name, path;
    QObject* object = nullptr;
    if (service == "notifications") {
        name = "org.freedesktop.Notifications", path = "/org/freedesktop/Notifications";
        object = new Notifications;
    } else if (service == "portal" || service == "mute-portal") {
        name = "org.freedesktop.portal.Desktop", path = "/org/freedesktop/portal/desktop";
        object = new PortalInhibit(bus, service == "mute-portal");
    } else if (service == "launcher") {
        auto* listener = new LauncherListener;
        if (!bus.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update", listener,
                         SLOT(Update(QString, QVariantMap))))
            return 1;
        std::printf("ready\n");
        std::fflush(stdout);
        return application.exec();
    } else if (service == "logind") {
        name = "org.freedesktop.login1", path = "/org/freedesktop/login1";
        object = new Logind;
    } else {
        return 2;
    }
    if (!bus.registerObject(path, object, QDBusConnection::ExportScriptableSlots) || !bus.registerService(name)) {
        std::fprintf(stderr, "cannot serve %s: %s\n", name.toUtf8().constData(),
                     bus.lastError().message().toUtf8().constData());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}

#include "dbus_stand_in.moc"
