#include "MainWindowFixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>

#include "support/Environment.h"

namespace gui_test {

void MainWindowTest::SetUp() {
    desktop = home / "Desktop";
    temp = home / "tmp";
    programFolder = home / "program";
    videos = home / "Videos";
    for (const auto& folder : {desktop, temp, programFolder, videos})
        std::filesystem::create_directories(folder);
    setenv("HOME", home.str().c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("TEMP", temp.c_str(), 1);
    // No converter on the search path unless a test puts one in the program folder.
    setenv("PATH", "/nonexistent", 1);

    platform = platform::MakeNativePlatform(0, nullptr);
    auto env = std::make_unique<TestEnvironment>();
    env->temp = temp;
    env->programFolder = programFolder;
    environment = env.get();
    platform.environment = std::move(env);
}

void MainWindowTest::TearDown() {
    form.reset();
    unsetenv("TEMP");
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
}

void MainWindowTest::Load(std::vector<std::string> rawTokens, bool noArguments) {
    environment->arguments.rawTokens = noArguments ? std::vector<std::string>{} : std::move(rawTokens);
    form = std::make_unique<app::Form1>(platform);
    form->messageBoxHook = [this](const QString& text) { messages << text; };
    form->Form_Load();
}

void MainWindowTest::UseFakeConverter(const std::string& mode, double seconds) {
    testing_support::InstallFakeConverter(home / "bin");
    setenv("FAKE_FFMPEG_MODE", mode.c_str(), 1);
    setenv("FAKE_FFMPEG_SECONDS", std::to_string(seconds).c_str(), 1);
    setenv("FAKE_FFMPEG_LOG", (home / "converter.log").c_str(), 1);
}

std::string MainWindowTest::MakeFile(const std::string& relative, const std::string& content) {
    const std::string path = home / relative;
    testing_support::WriteFile(path, content);
    return path;
}

QString MainWindowTest::Text() const { return form->Text1->toPlainText(); }

QStringList MainWindowTest::Lines() const { return Text().split(u'\n'); }

}  // namespace gui_test

namespace gui_test {

bool DropOn(QWidget* target, QMimeData* data) {
    const std::unique_ptr<QMimeData> owned(data);  // a drag owns its data until it ends
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

QMimeData* FileDrag(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const auto& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data->setUrls(urls);
    return data;
}

}  // namespace gui_test
