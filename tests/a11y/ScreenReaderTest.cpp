// The progress window as a screen reader reads it: over AT-SPI, from an X
// server, a session bus and an accessibility bus of the test's own.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QRegularExpression>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>

#include "ConverterWindow.h"
#include "support/PrivateBus.h"
#include "support/TempFolder.h"

namespace a11y_test {
namespace {

using testing_support::Child;

void SetEnv(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

const char* const kPrograms[] = {"/usr/bin/Xvfb", "/usr/bin/dbus-daemon", "/usr/libexec/at-spi-bus-launcher"};

// "" when an X client reaches the display as Qt's will, through libxcb;
// otherwise why not. Qt itself ends the program when it cannot.
std::string DisplayProblem(const std::string& display) {
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb) return "libxcb.so.1 cannot be loaded";
    auto connect = reinterpret_cast<void* (*)(const char*, int*)>(dlsym(xcb, "xcb_connect"));
    auto error = reinterpret_cast<int (*)(void*)>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<void (*)(void*)>(dlsym(xcb, "xcb_disconnect"));
    if (!connect || !error || !disconnect) return "libxcb.so.1 lacks xcb_connect";
    void* connection = connect(display.c_str(), nullptr);
    const int code = error(connection);
    disconnect(connection);
    return code == 0 ? "" : "cannot connect to display " + display + " (xcb error " + std::to_string(code) + ")";
}

// What the desktop gives a screen reader, and nothing of the caller's: an X
// server (Qt's offscreen platform has no AT-SPI bridge), a session bus and
// the accessibility bus launcher on it, with a home of their own. Each
// helper's errors go to a log in that home, told when a helper fails.
class Desktop {
public:
    explicit Desktop(std::vector<std::string> xServer = {kPrograms[0], "-displayfd", "1", "-screen", "0", "1024x768x24",
                                                         "-nolisten", "tcp"}) {
        const std::string home = home_ / "home", runtime = home_ / "runtime", log = home_ / "helpers.log";
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        for (const char* name : {"WAYLAND_DISPLAY", "XAUTHORITY", "AT_SPI_BUS_ADDRESS", "LANGUAGE",
                                 "QT_QPA_PLATFORMTHEME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            unsetenv(name);  // the XDG folders follow HOME
        SetEnv("HOME", home);
        SetEnv("XDG_RUNTIME_DIR", runtime);
        SetEnv("LC_ALL", "C.UTF-8");
        SetEnv("GSETTINGS_BACKEND", "memory");  // the launcher asks GSettings; no dconf
        auto failed = [&](const std::string& what) {
            std::ifstream in(log);
            problem_ = what + "; the helpers said:\n" + std::string(std::istreambuf_iterator<char>(in), {});
        };
        x_ = std::make_unique<Child>(xServer, log);
        const std::string display = x_->FirstLine();
        std::string problem = display.empty() ? xServer[0] + " did not start" : DisplayProblem(":" + display);
        if (!problem.empty()) {
            failed(problem);
            return;
        }
        SetEnv("DISPLAY", ":" + display);
        session_ = std::make_unique<Child>(
            std::vector<std::string>{kPrograms[1], "--session", "--nofork", "--print-address=1"}, log);
        address_ = session_->FirstLine();
        if (address_.empty()) {
            failed("dbus-daemon did not start");
            return;
        }
        SetEnv("DBUS_SESSION_BUS_ADDRESS", address_);
        launcher_ = std::make_unique<Child>(std::vector<std::string>{kPrograms[2], "--launch-immediately"}, log);
        SetEnv("QT_QPA_PLATFORM", "xcb");
        // No screen reader announces itself on this bus: Qt serves AT-SPI anyway.
        SetEnv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    // The session bus, once everything started.
    const std::string& address() const { return address_; }
    // "" once everything started; otherwise what did not.
    const std::string& problem() const { return problem_; }

private:
    testing_support::TempFolder home_;
    std::unique_ptr<Child> x_, session_, launcher_;
    std::string address_, problem_;
};

// Reads the accessible tree over D-Bus from the registry down, as a screen
// reader does: the bus's address from org.a11y.Bus, then each application's
// objects through org.a11y.atspi.Accessible. The windows answer from this
// process, so every call keeps the events flowing while it waits.
class ScreenReader {
public:
    explicit ScreenReader(const std::string& session)
        : session_(QDBusConnection::connectToBus(QString::fromStdString(session), "reader-session")) {}
    ~ScreenReader() {
        QDBusConnection::disconnectFromBus("reader-session");
        QDBusConnection::disconnectFromBus("reader");
    }

    // The names of every label of every application; none while the bus is
    // not up yet.
    QStringList LabelNames() {
        QStringList names;
        if (!Connect()) return names;
        Walk("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root", 0, names);
        return names;
    }

private:
    bool Connect() {
        if (bus_ && bus_->isConnected()) return true;
        const QDBusMessage reply =
            session_.call(QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"),
                          QDBus::BlockWithGui, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage) return false;
        bus_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(reply.arguments().value(0).toString(), "reader"));
        return bus_->isConnected();
    }
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return bus_->call(message, QDBus::BlockWithGui, 2000);
    }
    void Walk(const QString& service, const QString& path, int depth, QStringList& names) {
        const QString accessible = "org.a11y.atspi.Accessible";
        if (depth > 0 && Call(service, path, accessible, "GetRoleName").arguments().value(0).toString() == "label") {
            const QDBusMessage name =
                Call(service, path, "org.freedesktop.DBus.Properties", "Get", {accessible, "Name"});
            names << name.arguments().value(0).value<QDBusVariant>().variant().toString();
        }
        const QDBusMessage reply = Call(service, path, accessible, "GetChildren");
        if (depth > 8 || reply.type() != QDBusMessage::ReplyMessage) return;
        const QDBusArgument children = reply.arguments().value(0).value<QDBusArgument>();
        QList<std::pair<QString, QString>> found;
        children.beginArray();
        while (!children.atEnd()) {
            QString owner;
            QDBusObjectPath child;
            children.beginStructure();
            children >> owner >> child;
            children.endStructure();
            found.append({owner, child.path()});
        }
        children.endArray();
        for (const auto& [owner, child] : found) Walk(owner, child, depth + 1, names);
    }

    QDBusConnection session_;
    std::unique_ptr<QDBusConnection> bus_;
};

class ScreenReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : kPrograms)
            if (access(program, X_OK) != 0)
                GTEST_SKIP() << program << " is missing (packages xvfb, dbus-daemon, at-spi2-core)";
        if (!desktop) {
            desktop = std::make_unique<Desktop>();
            if (!desktop->problem().empty()) return;
            static int argc = 1;
            static char name[] = "a11y_tests";
            static char* argv[] = {name, nullptr};
            application = std::make_unique<QApplication>(argc, argv);
        }
        ASSERT_EQ(desktop->problem(), "");
        reader = std::make_unique<ScreenReader>(desktop->address());
    }
    static void TearDownTestSuite() {
        application.reset();
        desktop.reset();
    }

    // Waits until every text the window's labels show is a label's name on
    // the accessibility bus, and returns those names.
    QStringList ReadAloud(app::ConverterWindow& window) {
        QStringList shown, names;
        const bool read = QTest::qWaitFor(
            [&] {
                names = reader->LabelNames();
                shown.clear();
                for (QLabel* label : {window.name(), window.place(), window.elapsed(), window.left()})
                    shown << label->text();
                for (const QString& text : shown)
                    if (!names.contains(text)) return false;
                return true;
            },
            15000);
        EXPECT_TRUE(read) << "shown: " << shown.join(" | ").toStdString()
                          << "\nread: " << names.join(" | ").toStdString();
        return names;
    }

    static std::unique_ptr<Desktop> desktop;
    static std::unique_ptr<QApplication> application;
    std::unique_ptr<ScreenReader> reader;
};

std::unique_ptr<Desktop> ScreenReaderTest::desktop;
std::unique_ptr<QApplication> ScreenReaderTest::application;

TEST_F(ScreenReaderTest, ReadsTheClipItsPlaceAndTheTimesAndFollowsThem) {
    app::ConverterWindow window("Birthday party.MTS", "/home/user/Videos/Birthday party.MTS", 1, 3);
    window.show();
    using std::chrono::seconds;
    window.ShowProgress({1, seconds(1), seconds(99), "  Duration: 00:01:40.00\n", "frame=   25 time=00:00:01.00"});
    ASSERT_TRUE(window.left()->text().startsWith("About "));

    const QStringList first = ReadAloud(window);
    EXPECT_TRUE(first.contains("Birthday party.MTS"));
    EXPECT_TRUE(first.contains("1 of 3"));
    EXPECT_FALSE(first.filter(QRegularExpression("^Elapsed \\d+:\\d\\d$")).isEmpty())
        << first.join(" | ").toStdString();
    EXPECT_FALSE(first.filter(QRegularExpression("^About \\d+:\\d\\d left$")).isEmpty())
        << first.join(" | ").toStdString();

    // Half way a minute later: both times change, and so do the names.
    const QString elapsed = window.elapsed()->text(), left = window.left()->text();
    window.ShowProgress({50, seconds(61), seconds(61), "", "frame= 1250 time=00:00:50.00"});
    const QStringList then = ReadAloud(window);
    EXPECT_FALSE(then.contains(elapsed));
    EXPECT_FALSE(then.contains(left));
    EXPECT_TRUE(then.contains("1 of 3"));
}

// A test whose display cannot be reached ends at once with the reason, and
// leaves no helper behind to hold the output that ctest waits to close.
TEST(ScreenReaderDesktop, AnUnreachableDisplayFailsAtOnceAndLeavesNoHelper) {
    testing_support::TempFolder folder;
    const std::string helperPid = folder / "helper.pid";
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t test = fork();
    if (test == 0) {
        dup2(out[1], 1);
        dup2(out[1], 2);
        close(out[0]);
        close(out[1]);
        // An X server that names a display no one serves, then lives on.
        Desktop desktop({"/bin/sh", "-c", "echo $$ >'" + helperPid + "'; echo 97; exec sleep 600"});
        std::printf("%s\n", desktop.problem().c_str());
        std::fflush(stdout);
        std::abort();  // as Qt ends a program that cannot reach its display
    }
    close(out[1]);
    std::string said;
    char buffer[512];
    pollfd p{out[0], POLLIN, 0};
    bool closed = false;
    while (!closed && poll(&p, 1, 30000) > 0) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        closed = n <= 0;
        if (n > 0) said.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    waitpid(test, nullptr, 0);
    EXPECT_TRUE(closed) << "a helper outlived its test and holds its output";
    EXPECT_NE(said.find("cannot connect to display :97"), std::string::npos) << said;
    // Killed with its test (the signal may still be on its way): gone, or a
    // zombie not yet reaped.
    std::string pid, field, state = "?";
    std::ifstream(helperPid) >> pid;
    ASSERT_FALSE(pid.empty());
    for (int look = 0; look < 1000 && !state.empty() && state != "Z"; ++look) {
        if (look > 0) usleep(10000);
        state.clear();
        std::ifstream("/proc/" + pid + "/stat") >> field >> field >> state;
    }
    EXPECT_TRUE(state.empty() || state == "Z") << "the helper still runs: " << state;
}

}  // namespace
}  // namespace a11y_test
