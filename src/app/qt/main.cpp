#include <QApplication>

#include "Form1.h"
#include "Look.h"
#include "text/Translate.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipvane"));
    QApplication::setApplicationVersion(QStringLiteral(CLIPVANE_VERSION));
    QApplication::setWindowIcon(app::WindowIcon());

    // Before any window: Qt's own texts in the user's language.
    app::InstallQtTranslations();

    platform::Platform platform = platform::MakeNativePlatform(argc, argv);
    text::UseCatalog(platform.catalog.get());
    app::Form1 form1(platform);
    QObject::connect(&form1, &app::Form1::unloaded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    form1.Form_Load();
    form1.ShowCentred();
    return application.exec();
}
