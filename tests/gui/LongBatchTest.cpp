#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

#include "MainWindowFixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define CLIPVANE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLIPVANE_UNDER_ASAN 1
#endif
#endif

namespace gui_test {
namespace {

namespace fs = std::filesystem;

// What the program holds of the system at one moment.
struct Holdings {
    std::size_t descriptors = 0, children = 0, heapInUse = 0, residentKiB = 0;
};

Holdings Now() {
    Holdings h;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++h.descriptors;
    --h.descriptors;  // the one the listing itself holds
    const std::string self = std::to_string(getpid());
    for (const auto& e : fs::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string pid, name, state, parent;
        // The name is in parentheses and may hold spaces; the fields after it are plain.
        std::string line;
        if (!std::getline(stat, line)) continue;
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        rest >> state >> parent;
        h.children += parent == self;
    }
    h.heapInUse = mallinfo2().uordblks;
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        if (key == "VmRSS:") status >> h.residentKiB;
    }
    return h;
}

std::ostream& operator<<(std::ostream& out, const Holdings& h) {
    return out << h.descriptors << " descriptors, " << h.children << " child processes, " << h.heapInUse
               << " bytes of heap in use, " << h.residentKiB << " KiB resident";
}

class LongBatchTest : public MainWindowTest {};

TEST_F(LongBatchTest, AThousandFilesEndInFinishAndHoldNoMoreThanAfterTen) {
    constexpr int kFiles = 1000, kEarly = 10;
    // A fixed threshold keeps glibc from moving it as large blocks come and
    // go; otherwise a window's paint buffer, alive at one sample and not at
    // the other, is counted in the heap one time and mapped apart the next.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    UseFakeConverter();
    unsetenv("FAKE_FFMPEG_LOG");  // a growing log of its own would be growth too
    std::vector<std::string> clips;
    for (int i = 0; i < kFiles; ++i) clips.push_back(MakeFile("Videos/clip" + std::to_string(i) + ".MTS"));
    Load(clips);
    form->ShowCentred();

    // Sampled between two files, as at the end: after the start line of the
    // next file, before its converter starts.
    std::optional<Holdings> early;
    const int listed = kFiles + 1;
    auto* timer = new QTimer(form.get());
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, form.get(), [&] {
        if (early || form->supervisor.lConverterPid != 0) return;
        if (form->Text1->document()->blockCount() == listed + kEarly + 1) {
            early = Now();
            timer->stop();
        }
    });
    timer->start();
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    const Holdings end = Now();

    EXPECT_EQ(form->Command1->text(), "FINISH");
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), listed + kFiles + 1);
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_EQ(lines[listed + i], "No. " + QString::number(i + 1) + ": " + QString::fromStdString(clips[i]) +
                                         "... SUCCESS");
    }
    EXPECT_EQ(lines.last(), "**Finished**");
    EXPECT_EQ(std::distance(fs::directory_iterator(desktop), fs::directory_iterator()), kFiles);

    ASSERT_TRUE(early) << "never sampled after " << kEarly << " files";
    std::cout << "after " << kEarly << " files: " << *early << "\nafter " << kFiles << " files: " << end << "\n";
    EXPECT_EQ(end.descriptors, early->descriptors);
    EXPECT_EQ(end.children, early->children);

    // Without the log's text (and its undo history) what is left is the run's
    // record of the results it delivered, which it keeps so as never to
    // replace one of them: a name each.
    form->Text1->clear();
    form->Text1->document()->clearUndoRedoStacks();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const Holdings withoutLog = Now();
    std::cout << "without the log's text: " << withoutLog << "\n";
#ifdef CLIPVANE_UNDER_ASAN
    std::cout << "(heap figures are the sanitizer's allocator's; not compared)\n";
#else
    EXPECT_LE(withoutLog.heapInUse, early->heapInUse + kFiles * 256);
#endif
}

}  // namespace
}  // namespace gui_test
