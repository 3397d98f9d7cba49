// The windows in the user's language, chosen as every desktop program
// chooses it (LANG, LANGUAGE), from the catalogues this build made.
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <clocale>
#include <fstream>
#include <map>

#include "Form3.h"
#include "Look.h"
#include "MainWindowFixture.h"
#include "convert/RunTexts.h"
#include "intake/Texts.h"
#include "platform/linux/GettextCatalog.h"
#include "support/CaptionFit.h"

namespace gui_test {
namespace {

class LanguageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        saved_ = std::setlocale(LC_ALL, nullptr);
    }
    void TearDown() override {
        text::UseCatalog(nullptr);
        unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, saved_.c_str());
        MainWindowTest::TearDown();
    }
    // The user's locale settings, as a session would set them.
    void Speak(const char* lang, const char* language = "") {
        setenv("LANG", lang, 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        if (*language)
            setenv("LANGUAGE", language, 1);
        else
            unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "");  // also forgets the catalogues read so far
        text::UseCatalog(&catalog_);
    }

private:
    platform::GettextCatalog catalog_{"/nonexistent/bin"};
    std::string saved_;
};

const QStringList kEnglishUsage{
    "Please drag & drop video file(s) here.", "Drag & Dropping video file(s) to the Desktop icon is also OK.",
    "To change the setting, ", "right-click the video files and choose Clipvane under \"Open With\".", ""};

TEST_F(LanguageTest, WindowsReadInTheUsersLanguageAndEnglishStaysAsItWas) {
    struct Case {
        const char* lang;
        const char* language;
        const char* start;
        const char* firstUsageLine;  // nullptr: all of the English usage text
        const char* frame;
    } cases[] = {
        {"C", "", "START", nullptr, "File to transfer"},
        {"en_US.UTF-8", "", "START", nullptr, "File to transfer"},
        {"sv_SE.UTF-8", "", "START", nullptr, "File to transfer"},  // no catalogue
        {"C.UTF-8", "sv:fi", "START", nullptr, "File to transfer"},
        {"ja_JP.UTF-8", "", "開始", "動画ファイルをここにドロップしてください。", "転送するファイル"},
        {"C.UTF-8", "ja", "開始", "動画ファイルをここにドロップしてください。", "転送するファイル"},
        {"de_DE.UTF-8", "", "START", "Bitte Videodateien hierher ziehen.", "Zu übertragende Dateien"},
        {"C.UTF-8", "ru", "СТАРТ", "Перетащите сюда видеофайлы.", "Файлы для передачи"},
        {"C.UTF-8", "zh_TW", "開始", "請將影片檔案拖放到這裡。", "要傳輸的檔案"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lang) + " " + c.language);
        if (std::string(c.lang).find('_') != std::string::npos && !std::setlocale(LC_ALL, c.lang) &&
            std::string(c.lang) != "en_US.UTF-8" && std::string(c.lang) != "sv_SE.UTF-8")
            GTEST_SKIP() << c.lang << " is not installed (localedef makes it)";
        Speak(c.lang, c.language);
        LoadWithoutArguments();
        EXPECT_EQ(form->Command1->text(), c.start);
        EXPECT_EQ(form->Frame1->title(), c.frame);
        if (c.firstUsageLine) {
            EXPECT_EQ(Lines().first(), c.firstUsageLine);
        } else {
            EXPECT_EQ(Lines(), kEnglishUsage);
        }
    }
}

// Linux's file managers have "Open With", not Windows' "Send To": the usage
// text and the Setting window name the menu the launcher goes into.
TEST_F(LanguageTest, UsageAndSettingNameTheOpenWithMenu) {
    for (const auto& [language, menu] : {std::pair{"", "open with"}, {"de", "„Öffnen mit“"}}) {
        Speak("C.UTF-8", language);
        LoadWithoutArguments();
        EXPECT_TRUE(Lines()[3].contains(menu, Qt::CaseInsensitive)) << Lines()[3].toStdString();
        form->ShowCentred();
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        ASSERT_NE(form->settingWindow(), nullptr);
        EXPECT_TRUE(form->settingWindow()->Frame2->title().contains(menu, Qt::CaseInsensitive));
        EXPECT_FALSE(form->settingWindow()->Frame2->title().contains(language[0] ? "Senden" : "send"));
        form->settingWindow()->close();
    }
}

TEST_F(LanguageTest, AJapaneseRunEndsFinishedAndItsButtonCloses) {
    Speak("C.UTF-8", "ja");
    UseFakeConverter();
    const std::string clip = MakeFile("Videos/運動会.MTS");
    Load({clip});
    form->ShowCentred();
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(Lines().last(), "**完了**");
    EXPECT_TRUE(Lines()[Lines().size() - 2].startsWith("1 件目: ")) << Text().toStdString();
    EXPECT_TRUE(Lines()[Lines().size() - 2].endsWith("... 成功")) << Text().toStdString();
    EXPECT_EQ(form->Command1->text(), "終了");
    EXPECT_EQ(form->Command1Caption(), intake::kFinish);
    QSignalSpy unloaded(form.get(), &app::Form1::unloaded);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(unloaded.count(), 1);
}

// Qt's own texts are in the user's language too, from Qt's translations.
TEST_F(LanguageTest, QtsOwnButtonsAreTranslated) {
    QTranslator* chinese = app::InstallQtTranslations(QLocale(QLocale::Chinese, QLocale::China));
    ASSERT_NE(chinese, nullptr) << "Qt's translations are not installed (qt6-translations-l10n)";
    QMessageBox box(QMessageBox::NoIcon, "Clipvane", "", QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    QApplication::removeTranslator(chinese);
    delete chinese;
}

// Every caption fits its control in the window's font, in every language
// (see support/CaptionFit.h); a status fits the two lines of the message label.
TEST_F(LanguageTest, EveryCaptionFitsItsControl) {
    std::ifstream linguas(std::string(CLIPVANE_SOURCE_DIR) + "/po/LINGUAS");
    std::vector<std::string> languages{"C"};
    for (std::string l; linguas >> l;) languages.push_back(l);
    ASSERT_GT(languages.size(), 5u);
    const QFontMetrics metrics(app::WindowFont());
    std::map<std::string_view, int> english;
    for (const auto& language : languages) {
        SCOPED_TRACE(language);
        Speak("C.UTF-8", language == "C" ? "" : language.c_str());
        testing_support::ExpectCaptionsFit(
            [&](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); },
            [](int twips) { return forms::ToPixels(twips, 96); }, english, app::Fitted);
        const forms::Rect label = forms::Find(forms::kForm1, "Label2").twips;
        const QRect box(0, 0, forms::ToPixels(label.width, 96), 10000);
        for (std::string_view status :
             {convert::kConvertingStatus, convert::kTransferringStatus, convert::kFailedStatus,
              convert::kFinishedStatus, convert::kWouldReplaceInput}) {
            const QString shown = QString::fromStdString(text::Tr(status));
            const int lines = metrics.boundingRect(box, Qt::TextWordWrap, shown).height() / metrics.lineSpacing();
            EXPECT_LE(lines, 2) << shown.toStdString();
        }
    }
}

}  // namespace
}  // namespace gui_test
