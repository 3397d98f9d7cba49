#include "LinuxSpecialFolders.h"

#include <QFile>
#include <QStandardPaths>

namespace platform {

namespace {

std::string Location(QStandardPaths::StandardLocation which) {
    const QString folder = QStandardPaths::writableLocation(which);
    if (folder.isEmpty()) return {};
    return QFile::encodeName(folder).toStdString();
}

}  // namespace

std::string LinuxSpecialFolders::Desktop() { return Location(QStandardPaths::DesktopLocation); }

std::string LinuxSpecialFolders::SendTo() { return Location(QStandardPaths::ApplicationsLocation); }

}  // namespace platform
