#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "Form1.h"
#include "support/TempFolder.h"

QT_BEGIN_NAMESPACE
// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace gui_test {

// Delivers a drag and drop onto a widget as the window system would, and
// deletes the data afterwards; false when the widget refused the drag.
bool DropOn(QWidget* target, QMimeData* data);
// The drag of some files from a file manager.
QMimeData* FileDrag(const std::vector<std::string>& paths);

// The program's environment, with the arguments and folders a test chooses.
class TestEnvironment : public platform::Environment {
public:
    std::string temp;
    platform::ProgramArguments arguments;
    std::string programFolder;

    std::string TemporaryFolder() override { return temp; }
    platform::ProgramArguments Arguments() override { return arguments; }
    std::string ProgramFolder() override { return programFolder; }
};

// Builds the real main window over a temporary home: its own Desktop,
// temporary folder and program folder (holding the stand-in converter).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window and runs its load event with these arguments
    // (as the platform hands them over: one raw token each).
    void Load(std::vector<std::string> rawTokens, bool noArguments = false);
    void LoadWithoutArguments() { Load({}, true); }
    // Puts the stand-in converter in the program folder, in the given mode.
    void UseFakeConverter(const std::string& mode = "ok", double seconds = 0);
    std::string MakeFile(const std::string& relative, const std::string& content = "clip");

    QStringList Lines() const;
    QString Text() const;

    testing_support::TempFolder home;
    std::string desktop, temp, programFolder, videos;
    TestEnvironment* environment = nullptr;
    platform::Platform platform;
    std::unique_ptr<app::Form1> form;
    QStringList messages;
};

}  // namespace gui_test
