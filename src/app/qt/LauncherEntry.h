#pragma once
#include <QString>

namespace app {

// The run's progress on the program's launcher in the dock or task manager
// (KDE Plasma, the GNOME docks), through the com.canonical.Unity.LauncherEntry
// signal on the session bus. Sends and never waits: without a bus nothing is
// sent and nothing fails.
class LauncherEntry {
public:
    // The bus at this address instead of the user's session bus.
    void UseBus(const QString& address) { address_ = address; }

    // `fraction` of the run done, 0 to 1; the run tells it only at visible steps.
    void ShowProgress(double fraction);
    // The run is over: the launcher shows no progress.
    void Clear();

    // The launcher the signal names: the menu entry's desktop file.
    static QString AppUri() { return QStringLiteral("application://org.clipvane.Clipvane.desktop"); }

private:
    void Send(double fraction, bool visible);

    QString address_;
    bool shown_ = false;
};

}  // namespace app
