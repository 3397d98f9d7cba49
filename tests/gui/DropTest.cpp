#include <QTest>

#include "MainWindowFixture.h"

namespace gui_test {
namespace {

class DropTest : public MainWindowTest {
protected:
    QString Q(const std::string& s) { return QString::fromStdString(s); }
};

TEST_F(DropTest, FilesDroppedOnTheUsageTextReplaceIt) {
    LoadWithoutArguments();
    const std::string a = MakeFile("Videos/Birthday party.MTS"), b = MakeFile("Videos/b.MTS");
    ASSERT_TRUE(DropOn(form->Text1->viewport(), FileDrag({a, b})));
    EXPECT_EQ(Lines(), (QStringList{Q(a), Q(b), "**Number of file(s): 2"}));
    EXPECT_EQ(form->files.sShortNames, (std::vector<std::string>{a, b}));
    EXPECT_EQ(form->Text1->textCursor().position(), Text().size());
}

TEST_F(DropTest, DropsFollowTheCommandLineEntries) {
    const std::string a = MakeFile("Videos/a.MTS"), b = MakeFile("Videos/b.MTS");
    Load({a, b});
    DropOn(form->Text1->viewport(), FileDrag({a}));
    EXPECT_EQ(Lines(), (QStringList{Q(a), Q(b), Q(a), "**Number of file(s): 3"}));
}

TEST_F(DropTest, OnlyLocalFilesCount) {
    LoadWithoutArguments();
    const std::string a = MakeFile("Videos/a.MTS");
    auto* data = FileDrag({a});
    data->setUrls({QUrl("https://example.org/clip.MTS"), QUrl::fromLocalFile(Q(a)), QUrl("trash:/0-x.MTS")});
    DropOn(form->Text1->viewport(), data);
    EXPECT_EQ(Lines(), (QStringList{Q(a), "**Number of file(s): 1"}));

    // Text alone is a drop of no files: nothing is inserted, the list is shown.
    auto* text = new QMimeData;
    text->setText("some dragged words");
    DropOn(form->Text1->viewport(), text);
    EXPECT_EQ(Lines(), (QStringList{Q(a), "**Number of file(s): 1"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DropTest, AFolderStopsTheDropWithAMessage) {
    const std::string a = MakeFile("Videos/a.MTS"), b = MakeFile("Videos/b.MTS");
    const std::string folder = home / "Videos/Card";
    std::filesystem::create_directories(folder);
    LoadWithoutArguments();
    DropOn(form->Text1->viewport(), FileDrag({a, folder, b}));
    EXPECT_EQ(Lines(), (QStringList{Q(a), "**Number of file(s): 1"}));
    EXPECT_EQ(messages, (QStringList{Q(folder) + "\n\nI'm sorry. This software cannot handle folder(s)."}));
    EXPECT_EQ(form->Command1->text(), "START");
    EXPECT_TRUE(form->Command1->isEnabled());
}

TEST_F(DropTest, OnlyTheLogBoxTakesDrops) {
    LoadWithoutArguments();
    const QString usage = Text();
    const std::string a = MakeFile("Videos/a.MTS");
    for (QWidget* elsewhere : {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(form->Command1),
                               static_cast<QWidget*>(form->Frame2), static_cast<QWidget*>(form->Label2)})
        EXPECT_FALSE(DropOn(elsewhere, FileDrag({a})));
    EXPECT_EQ(Text(), usage);
    EXPECT_EQ(form->files.iFileCount, 0);
}

}  // namespace
}  // namespace gui_test
