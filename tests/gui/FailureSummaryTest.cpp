#include <QApplication>
#include <QTest>
#include <QTextBlock>

#include "MainWindowFixture.h"

namespace gui_test {
namespace {

QFont FontAt(const QTextBlock& block) { return QTextCursor(block).block().begin().fragment().charFormat().font(); }

// A converter that cannot read one clip (its words as ffmpeg's), and a clip
// gone before the run; the log reads as ever, and the summary beside it says why.
TEST_F(MainWindowTest, ADamagedClipEndsInFailAndASummarySaysWhy) {
    UseFakeConverter();
    const std::string damaged = MakeFile("Videos/Beach <day> & night.MTS", "mode=damaged");
    const std::string gone = MakeFile("Videos/gone.MTS");
    Load({damaged, gone});
    std::filesystem::remove(gone);
    form->ShowCentred();
    QTest::mouseClick(form->Command1, Qt::LeftButton);

    const QString d = QString::fromStdString(damaged), g = QString::fromStdString(gone);
    EXPECT_EQ(Lines().mid(3), (QStringList{"No. 1: " + d + "... FAIL", "No. 2: " + g + "... FAIL", "**Finished**"}));
    app::SummaryWindow* summary = form->summaryWindow();
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_TRUE(summary->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_NE(QApplication::activeWindow(), summary);
    EXPECT_FALSE(summary->frameGeometry().intersects(form->frameGeometry()));
    EXPECT_EQ(summary->Label1->text(), "2 of 2 clips could not be converted");
    EXPECT_EQ(summary->Text1->toPlainText(),
              "Beach <day> & night.MTS\nThe clip is damaged or is not a video: the converter could not read it.\n"
              "Beach <day> & night.MTS: Invalid data found when processing input\n"
              "gone.MTS\nThe clip is missing or cannot be read.\nNo such file or directory");
    // The name stands out; ffmpeg's line is there in smaller print.
    const QTextDocument* document = summary->Text1->document();
    EXPECT_TRUE(FontAt(document->findBlockByNumber(0)).bold());
    EXPECT_LT(FontAt(document->findBlockByNumber(2)).pointSizeF(), FontAt(document->findBlockByNumber(1)).pointSizeF());

    QTest::mouseClick(summary->Command1, Qt::LeftButton);
    EXPECT_FALSE(summary->isVisible());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, TheSummaryClosesWithTheProgramAtFinish) {
    UseFakeConverter();
    Load({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS", "mode=fail")});
    form->ShowCentred();
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    app::SummaryWindow* summary = form->summaryWindow();
    ASSERT_TRUE(summary && summary->isVisible());
    EXPECT_EQ(summary->Label1->text(), "1 of 2 clips could not be converted");
    EXPECT_TRUE(summary->Text1->toPlainText().startsWith("b.MTS\nThe converter failed.\n"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);  // FINISH
    EXPECT_FALSE(summary->isVisible());
}

}  // namespace
}  // namespace gui_test
