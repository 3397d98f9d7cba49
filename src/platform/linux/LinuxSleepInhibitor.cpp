#include "LinuxSleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>
#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {
// An answer later than this counts as none: the next way is tried.
constexpr int kAnswerTimeoutMs = 1500;
// The portal's flags: suspend and idle.
constexpr uint kSuspendAndIdle = 4 | 8;

QDBusConnection Connect(const std::string& address, const char* role) {
    static std::atomic<int> serial{0};
    if (address.empty()) return QDBusConnection(QString());
    const QString name = QStringLiteral("clipvane-%1-%2").arg(QLatin1String(role)).arg(++serial);
    return QDBusConnection::connectToBus(QString::fromStdString(address), name);
}
}  // namespace

struct LinuxSleepInhibitor::Buses {
    QDBusConnection session;
    QDBusConnection system;
};

// One request to stay awake, from Inhibit to Release. Answers that come
// after the release give back at once what they bring.
struct LinuxSleepInhibitor::Hold {
    std::shared_ptr<Buses> buses;
    QString reason;
    bool released = false;
    QString portalRequest;
    int logindDescriptor = -1;

    void GiveBack() {
        if (!portalRequest.isEmpty()) {
            buses->session.send(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.portal.Desktop"), portalRequest,
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
            portalRequest.clear();
        }
        if (logindDescriptor >= 0) {
            ::close(logindDescriptor);
            logindDescriptor = -1;
        }
    }
};

namespace {

using Hold = LinuxSleepInhibitor::Hold;

void WhenAnswered(const QDBusConnection& bus, const QDBusMessage& call,
                  std::function<void(const QDBusMessage& reply)> then) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [then](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         then(w->reply());
                     });
}

void AskLogind(const std::shared_ptr<Hold>& hold) {
    QDBusConnection& bus = hold->buses->system;
    if (!bus.isConnected() || !(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("Clipvane") << hold->reason << QStringLiteral("block");
    WhenAnswered(bus, call, [hold](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
        const auto fd = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().at(0));
        if (!fd.isValid()) return;
        // Our own copy, closed on release and never inherited by the converter.
        hold->logindDescriptor = ::fcntl(fd.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
        if (hold->released) hold->GiveBack();
    });
}

void AskPortal(const std::shared_ptr<Hold>& hold) {
    QDBusConnection& bus = hold->buses->session;
    if (!bus.isConnected()) return AskLogind(hold);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << kSuspendAndIdle << QVariantMap{{QStringLiteral("reason"), hold->reason}};
    WhenAnswered(bus, call, [hold](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            if (!hold->released) AskLogind(hold);
            return;
        }
        hold->portalRequest = qvariant_cast<QDBusObjectPath>(reply.arguments().at(0)).path();
        if (hold->released) hold->GiveBack();
    });
}

}  // namespace

LinuxSleepInhibitor::LinuxSleepInhibitor() = default;

LinuxSleepInhibitor::LinuxSleepInhibitor(const std::string& sessionAddress, const std::string& systemAddress)
    : sessionAddress_(sessionAddress), systemAddress_(systemAddress), ownBuses_(true) {}

LinuxSleepInhibitor::~LinuxSleepInhibitor() { Release(); }

void LinuxSleepInhibitor::Inhibit(const std::string& reason) {
    if (hold_) return;
    // Connected on first use: the program's event loop exists by then.
    if (!buses_)
        buses_ = ownBuses_ ? std::make_shared<Buses>(Buses{Connect(sessionAddress_, "session"),
                                                           Connect(systemAddress_, "system")})
                           : std::make_shared<Buses>(Buses{QDBusConnection::sessionBus(),
                                                           QDBusConnection::systemBus()});
    hold_ = std::make_shared<Hold>();
    hold_->buses = buses_;
    hold_->reason = QString::fromStdString(reason);
    AskPortal(hold_);
}

void LinuxSleepInhibitor::Release() {
    if (!hold_) return;
    hold_->released = true;
    hold_->GiveBack();
    hold_.reset();
}

std::string LinuxSleepInhibitor::Holder() const {
    if (!hold_) return {};
    if (!hold_->portalRequest.isEmpty()) return "portal";
    if (hold_->logindDescriptor >= 0) return "logind";
    return {};
}

}  // namespace platform
