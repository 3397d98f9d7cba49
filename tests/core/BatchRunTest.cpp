#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include "convert/BatchRun.h"
#include "convert/RunTexts.h"
#include "platform/Platform.h"
#include "support/AvchdClip.h"
#include "support/Environment.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#endif

namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

// The real file system, with faults a test can switch on.
class FaultyFiles : public platform::FileSystem {
public:
    explicit FaultyFiles(platform::FileSystem& real) : real_(real) {}
    bool failCopy = false, failTrash = false, failMove = false;
    std::vector<std::string> trashed;

    bool FileExists(const std::string& p) override { return real_.FileExists(p); }
    bool FolderExists(const std::string& p) override { return real_.FolderExists(p); }
    bool IsNonEmptyFile(const std::string& p) override { return real_.IsNonEmptyFile(p); }
    bool SameFile(const std::string& a, const std::string& b) override { return real_.SameFile(a, b); }
    std::string BaseName(const std::string& p) override { return real_.BaseName(p); }
    std::string DeleteFileForce(const std::string& p) override { return real_.DeleteFileForce(p); }
    std::string CopyFileReplacing(const std::string& from, const std::string& to) override {
        return failCopy ? "No space left on device" : real_.CopyFileReplacing(from, to);
    }
    std::string MoveReplacing(const std::string& from, const std::string& to) override {
        return failMove ? "Permission denied" : real_.MoveReplacing(from, to);
    }
    std::string MoveToTrash(const std::string& p) override {
        if (failTrash) return "no trash here";
        trashed.push_back(ReadFile(p));
        return real_.MoveToTrash(p);
    }
    std::string PrepareFolder(const std::string& p, bool privateToUser) override {
        return real_.PrepareFolder(p, privateToUser);
    }

private:
    platform::FileSystem& real_;
};

// The real file access, made to meet another file system or a failing copy.
class FaultyAccess : public platform::FileAccess {
public:
    FaultyAccess(platform::FileAccess& real, FaultyFiles& files) : real_(real), files_(files) {}
    bool otherFileSystem = false;
    int copies = 0;
    std::function<void()> onPiece;
    std::string DeleteInPieces(const std::string& p, const platform::CopyProgress& between) override {
        return real_.DeleteInPieces(p, between);
    }
    std::string WriteSmallFile(const std::string& p, const std::string& contents) override {
        return real_.WriteSmallFile(p, contents);
    }
    // A flush that fails (a disk that reports an I/O error) says this.
    std::string flushFails, folderFlushFails;
    // Called while the result's flush, or the folder's, waits.
    std::function<void()> onFlush, onFolderFlush;
    std::string FlushToDisk(const std::string& p, const platform::CopyProgress& between) override {
        if (!flushFails.empty()) return flushFails;
        return real_.FlushToDisk(p, [&](std::uint64_t done, std::uint64_t total) {
            if (onFlush) onFlush();
            between(done, total);
        });
    }
    std::string FlushFolder(const std::string& p, const platform::CopyProgress& between) override {
        if (!folderFlushFails.empty()) return folderFlushFails;
        return real_.FlushFolder(p, [&](std::uint64_t done, std::uint64_t total) {
            if (onFolderFlush) onFolderFlush();
            between(done, total);
        });
    }

    std::unique_ptr<platform::OpenFile> Open(const std::string& p, bool w, std::string& e) override {
        return real_.Open(p, w, e);
    }
    std::optional<platform::UnixSeconds> ModificationTime(const std::string& p) override {
        return real_.ModificationTime(p);
    }
    std::string SetModificationTime(const std::string& p, platform::UnixSeconds t) override {
        return real_.SetModificationTime(p, t);
    }
    platform::RenameOutcome Rename(const std::string& from, const std::string& to, std::string& e) override {
        // Back from the Desktop is always within it.
        if ((otherFileSystem || files_.failCopy) && from.find("Desktop") == std::string::npos)
            return platform::RenameOutcome::kOtherFileSystem;
        return real_.Rename(from, to, e);
    }
    std::string CopyInPieces(const std::string& from, const std::string& to,
                             const platform::CopyProgress& between) override {
        ++copies;
        if (files_.failCopy) return "No space left on device";
        return real_.CopyInPieces(from, to, [&](std::uint64_t done, std::uint64_t total) {
            if (onPiece) onPiece();
            between(done, total);
        });
    }

private:
    platform::FileAccess& real_;
    FaultyFiles& files_;
};

class BatchRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        sep = std::string(1, platform::kNativePaths.separator);
        desktop = root / "Desktop";
        temp = root / "tmp";
        videos = root / "Videos";
        for (const auto& f : {desktop, temp, videos}) fs::create_directories(f);
        testing_support::SetEnv("XDG_DATA_HOME", root / "share");
        testing_support::SetEnv("FAKE_FFMPEG_LOG", root / "converter.log");
        testing_support::SetEnv("FAKE_FFMPEG_MODE", "ok");
        testing_support::SetEnv("FAKE_FFMPEG_SECONDS", "0");
        testing_support::SetEnv("FAKE_FFMPEG_CHATTER", "0");
        testing_support::SetEnv("FAKE_FFMPEG_GATE", "");
        converter = testing_support::InstallFakeConverter(root / "bin");
        folders.desktop = desktop;
        list.sTempFolder = temp;
    }

    // A clip in the Videos folder; its content may pick the converter's mode.
    std::string Clip(const std::string& name, const std::string& content = "clip") {
        const std::string path = videos + sep + name;
        WriteFile(path, content);
        return path;
    }
    void Add(const std::string& path) { list.Append(path, path); }
    // An empty list and a fresh window, for another run in the same test.
    void NextRun() {
        list = {};
        list.sTempFolder = temp;
        view = {};
    }

    void Run(bool privateTemp = false) {
        convert::Supervisor supervisor(view);
        supervisorSeen = &supervisor;
        convert::BatchRun run(
            list, view, supervisor,
            {files, folders, *platform_.processes, privateTemp, platform::kNativePaths, &access, awake, atOnce});
        run.Command1_Click();
        supervisorSeen = nullptr;
    }
    std::string OnDesktop(const std::string& name) { return desktop + sep + name; }
    std::string InTemp(const std::string& name) { return temp + sep + name; }
    Lines ConverterLog() {
        Lines lines;
        std::string all = ReadFile(root / "converter.log"), line;
        for (char c : all) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        return lines;
    }
    Lines DesktopFiles() {
        Lines names;
        for (const auto& e : fs::directory_iterator(desktop)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_support::TempFolder root;
    std::string sep, desktop, temp, videos, converter;
    platform::Platform platform_ = platform::MakeNativePlatform(0, nullptr);
    FaultyFiles files{*platform_.files};
    FaultyAccess access{*platform_.access, files};
    testing_support::FixedFolders folders;
    intake::FileList list;
    testing_support::FakeView view;
    convert::Supervisor* supervisorSeen = nullptr;
    platform::SleepInhibitor* awake = nullptr;
    int atOnce = 1;  // converters at once
};

// Records what the run asks of the system's sleep.
class RecordingInhibitor : public platform::SleepInhibitor {
public:
    std::vector<std::string> calls;
    bool held = false;
    void Inhibit(const std::string& reason) override {
        calls.push_back("inhibit " + reason);
        held = true;
    }
    void Release() override {
        calls.push_back("release");
        held = false;
    }
};

TEST_F(BatchRunTest, AnEmptyListGoesStraightToFinish) {
    view.text = "**Number of file(s): 0";
    view.label1 = "before";
    Run();
    EXPECT_EQ(view.Lines(), (Lines{"**Number of file(s): 0", "**Finished**"}));
    EXPECT_EQ(view.caret, view.text.size());
    EXPECT_EQ(view.label2, "Finished converting the video file(s) for iPhone/iPad/iPod.");
    EXPECT_EQ(view.caption, "FINISH");
    EXPECT_TRUE(view.enabled);
    EXPECT_EQ(view.label1, "before");
    EXPECT_TRUE(view.converterTitles.empty());
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(BatchRunTest, FinishClosesWithoutTouchingTheLog) {
    view.caption = "FINISH";
    view.text = "log";
    Add(Clip("a.MTS"));
    Run();
    EXPECT_EQ(view.unloadRequests, 1);
    EXPECT_EQ(view.text, "log");
    EXPECT_TRUE(view.converterTitles.empty());
}

TEST_F(BatchRunTest, ConvertsEachFileAndLogsTheOutcome) {
    const std::string a = Clip("Birthday party.MTS");
    const std::string b = Clip("broken.MTS", "mode=fail");
    Add(a);
    Add(b);
    view.text = "";
    Run();
    EXPECT_EQ(view.Lines(), (Lines{"", "No. 1: " + a + "... SUCCESS", "No. 2: " + b + "... FAIL", "**Finished**"}));
    EXPECT_EQ(ReadFile(OnDesktop("Birthday party.mp4")), std::string(4096, 'v'));
    EXPECT_EQ(DesktopFiles(), (Lines{"Birthday party.mp4"}));
    // A delivered result is moved, not copied; a failure leaves none.
    EXPECT_FALSE(fs::exists(InTemp("Birthday party.mp4")));
    EXPECT_FALSE(fs::exists(InTemp("broken.mp4")));
    EXPECT_EQ(view.label1, b);
    EXPECT_EQ(view.statuses,
              (Lines{"Converting AVCHD video files for iPhone/iPad/iPod...", "Transferring a video file to the Desktop...",
                     "Converting AVCHD video files for iPhone/iPad/iPod...", "Failed to convert the video file.",
                     "Finished converting the video file(s) for iPhone/iPad/iPod."}));
    EXPECT_EQ(view.caption, "FINISH");
    EXPECT_EQ(view.convertersEnded, 2);
}

TEST_F(BatchRunTest, TheConverterGetsExactlyItsArguments) {
    const std::string a = Clip("a.b.MTS");
    Add(a);
    Run();
    EXPECT_EQ(
        ConverterLog(),
        (Lines{"-y", "-i", a, "-vf", "idet=analyze_interlaced_flag=10,bwdif=mode=send_frame:deint=interlaced",
               "-pix_fmt", "yuv420p", "-ac", "2", "-b:a", "160k", "-f", "mp4", InTemp("a.b.mp4"), "no output", "--"}));
    EXPECT_TRUE(fs::exists(OnDesktop("a.b.mp4")));
}

// The pieces a camcorder split one recording into reach the converter as one
// input; when it fails, every piece's line says so and the summary lists the
// recording once, by the names the user knows.
TEST_F(BatchRunTest, PiecesOfOneRecordingConvertAndFailTogether) {
    auto piece = [&](const std::string& name, int first) {
        const testing_support::Bytes bytes = testing_support::RecordedPackets(first, 300, true);
        const std::string path = Clip(name, std::string(bytes.begin(), bytes.end()));
        Add(path);
        return path;
    };
    const std::string a = piece("00000.MTS", 0), b = piece("00001.MTS", 300), c = piece("00002.MTS", 0);
    view.text = "";
    Run();  // the stand-in converter cannot read ffmpeg's list of the pieces, and fails
    const std::string input = "concatf:file:" + InTemp(".Clipvane-pieces-1.txt");
    EXPECT_EQ(ConverterLog()[2], input);
    EXPECT_EQ(view.Lines(), (Lines{"", "No. 1: " + a + "... FAIL", "No. 2: " + b + "... (joined to No. 1) FAIL",
                                   "No. 3: " + c + "... SUCCESS", "**Finished**"}));
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].joined, Lines{"00001.MTS"});
    EXPECT_EQ(view.failures[0].failure.detail, "00000.MTS: No such file or directory");
    EXPECT_EQ(convert::SummaryLines(view.failures)[0].text, "00000.MTS (joined with 00001.MTS)");
    EXPECT_EQ(convert::SummaryHeading(view.failures, 3), "2 of 3 clips could not be converted");
    EXPECT_EQ(DesktopFiles(), Lines{"00002.mp4"});
    EXPECT_TRUE(fs::is_empty(temp));
    // Two recordings for the progress window; the task bar counts files, the pieces together.
    EXPECT_EQ(view.converterPlaces, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(view.converterNames, (Lines{"00000.MTS", "00002.MTS"}));
    EXPECT_EQ(view.runEnds, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_THAT(view.runProgress, ::testing::Contains(::testing::Pair(::testing::DoubleNear(2.0 / 3, 0.01), true)));
}

#ifndef _WIN32
TEST_F(BatchRunTest, AnyFileNameReachesTheConverterIntact) {
    const std::string odd = Clip("it's \"$HOME\" `x` \\ \nnew;line.MTS");
    Add(odd);
    Run();
    const Lines log = ConverterLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[2] + "\n" + log[3], odd);  // the newline splits the log line
    EXPECT_TRUE(fs::exists(OnDesktop("it's \"$HOME\" `x` \\ \nnew;line.mp4")));
}
#endif

TEST_F(BatchRunTest, NamesWithoutADotKeepTheirWholeName) {
    Add(Clip("clip"));
    Run();
    // Once seen to fail under Wine (the Desktop empty), and never since: should
    // it again, the run's words and the converter's arguments say why.
    std::string why = ::testing::PrintToString(view.statuses);
    for (const auto& failed : view.failures) why += "\n" + failed.failure.detail;
    EXPECT_EQ(DesktopFiles(), (Lines{"clip.mp4"})) << why << "\n" << ::testing::PrintToString(ConverterLog());
}

TEST_F(BatchRunTest, AStaleReadOnlyTemporaryResultIsDeletedFirst) {
    const std::string stale = InTemp("a.mp4");
    WriteFile(stale, "stale");
    fs::permissions(stale, fs::perms::owner_read, fs::perm_options::replace);
    Add(Clip("a.MTS"));
    Run();
    EXPECT_THAT(ConverterLog(), ::testing::Contains("no output"));
    EXPECT_EQ(ReadFile(OnDesktop("a.mp4")), std::string(4096, 'v'));
}

TEST_F(BatchRunTest, FailuresNeverReachTheDesktop) {
    // A converter that fails, crashes, or exits well but writes nothing
    // useful: each is a failure, and a partial file is removed.
    for (const char* mode : {"fail", "partial", "crash", "empty", "none"}) {
        SCOPED_TRACE(mode);
        NextRun();
        Add(Clip(std::string(mode) + ".MTS", std::string("mode=") + mode));
        Run();
        EXPECT_THAT(view.Lines(), ::testing::Contains(::testing::EndsWith("... FAIL")));
        EXPECT_EQ(view.statuses[1], "Failed to convert the video file.");
        EXPECT_FALSE(fs::exists(InTemp(std::string(mode) + ".mp4")));
        EXPECT_TRUE(DesktopFiles().empty());
        EXPECT_EQ(view.caption, "FINISH");
    }
}

TEST_F(BatchRunTest, TheSameNameTwiceInOneRunKeepsBothResults) {
    const std::string first = Clip("card1/00000.MTS", "first");
    const std::string second = Clip("card2/00000.MTS", "second");
    const std::string third = Clip("card2/00000.M2TS", "third");
    for (const auto& p : {first, second, third}) Add(p);
    Run();
    EXPECT_EQ(DesktopFiles(), (Lines{"00000 (2).mp4", "00000 (3).mp4", "00000.mp4"}));
    EXPECT_EQ(view.Lines()[1], "No. 1: " + first + "... SUCCESS");
    EXPECT_EQ(view.Lines()[3], "No. 3: " + third + "... SUCCESS");
    EXPECT_TRUE(files.trashed.empty());
    EXPECT_EQ(view.failureSummaries, 0);  // nothing failed, nothing to tell
}

TEST_F(BatchRunTest, AResultFromBeforeTheRunGoesToTheTrash) {
    WriteFile(OnDesktop("a.mp4"), "old result");
    Add(Clip("a.MTS"));
    Run();
    EXPECT_EQ(ReadFile(OnDesktop("a.mp4")), std::string(4096, 'v'));
    EXPECT_EQ(files.trashed, (Lines{"old result"}));
    EXPECT_EQ(DesktopFiles(), (Lines{"a.mp4"}));
}

TEST_F(BatchRunTest, WithoutATrashTheOldResultStaysAndTheNewOneTakesTheNextName) {
    WriteFile(OnDesktop("a.mp4"), "old result");
    WriteFile(OnDesktop("a (2).mp4"), "another");
    files.failTrash = true;
    Add(Clip("a.MTS"));
    Run();
    EXPECT_EQ(ReadFile(OnDesktop("a.mp4")), "old result");
    EXPECT_EQ(ReadFile(OnDesktop("a (2).mp4")), "another");
    EXPECT_EQ(ReadFile(OnDesktop("a (3).mp4")), std::string(4096, 'v'));
    EXPECT_EQ(view.Lines().at(1), "No. 1: " + videos + sep + "a.MTS... SUCCESS");
}

TEST_F(BatchRunTest, AFailedCopyLeavesTheDesktopAsItWas) {
    WriteFile(OnDesktop("a.mp4"), "old result");
    files.failCopy = true;
    Add(Clip("a.MTS"));
    Run();
    EXPECT_EQ(DesktopFiles(), (Lines{"a.mp4"}));
    EXPECT_EQ(ReadFile(OnDesktop("a.mp4")), "old result");
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("... FAIL"));
    EXPECT_EQ(view.statuses.at(2), "Failed to copy the video file to the Desktop: No space left on device");
    EXPECT_EQ(ReadFile(InTemp("a.mp4")), std::string(4096, 'v'));  // kept for another try
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].failure.kind, convert::FailureKind::kNotDelivered);
    EXPECT_EQ(view.failures[0].failure.detail, "No space left on device");
}

TEST_F(BatchRunTest, AResultTakesTheClipsTimeAndLeavesNothingInTheTemporaryFolder) {
    // One rename on one file system, a copy and a delete across two.
    for (const bool otherFileSystem : {false, true}) {
        SCOPED_TRACE(otherFileSystem ? "copied" : "renamed");
        access.otherFileSystem = otherFileSystem;
        access.copies = 0;
        NextRun();
        const std::string clip = Clip(otherFileSystem ? "b.MTS" : "a.MTS");
        const platform::UnixSeconds recorded = 1433160000;  // 2015-06-01 12:00 UTC, a clip without a date
        ASSERT_EQ(access.SetModificationTime(clip, recorded), "");
        Add(clip);
        Run();
        const std::string result = OnDesktop(otherFileSystem ? "b.mp4" : "a.mp4");
        EXPECT_EQ(ReadFile(result), std::string(4096, 'v'));
        EXPECT_EQ(access.ModificationTime(result), recorded);
        EXPECT_TRUE(fs::is_empty(temp));
        EXPECT_EQ(access.copies, otherFileSystem ? 1 : 0);
    }
    EXPECT_EQ(DesktopFiles(), (Lines{"a.mp4", "b.mp4"}));
}

TEST_F(BatchRunTest, AResultThatCannotTakeItsPlaceStaysInTheTemporaryFolder) {
    for (const bool otherFileSystem : {false, true}) {
        SCOPED_TRACE(otherFileSystem ? "copied" : "renamed");
        access.otherFileSystem = otherFileSystem;
        files.failMove = true;
        NextRun();
        Add(Clip("a.MTS"));
        Run();
        EXPECT_EQ(view.statuses.at(2), "Failed to copy the video file to the Desktop: Permission denied");
        EXPECT_EQ(ReadFile(InTemp("a.mp4")), std::string(4096, 'v'));
        EXPECT_TRUE(DesktopFiles().empty());  // no staged file either
    }
}

TEST_F(BatchRunTest, AResultNotKnownToBeOnTheDiskFailsAndNothingIsLost) {
    // The result's flush fails: it goes back to (or stays in) the temporary
    // folder. The Desktop's flush fails: it stands there, and may well be good.
    for (const bool folder : {false, true})
        for (const bool otherFileSystem : {false, true}) {
            SCOPED_TRACE(std::string(folder ? "folder" : "file") + (otherFileSystem ? ", copied" : ", renamed"));
            for (const auto& f : {desktop, temp}) fs::remove_all(f), fs::create_directories(f);
            access.otherFileSystem = otherFileSystem;
            (folder ? access.folderFlushFails : access.flushFails) = "Input/output error";
            NextRun();
            Add(Clip("a.MTS"));
            Run();
            access.flushFails = access.folderFlushFails = "";
            EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("... FAIL"));
            ASSERT_EQ(view.failures.size(), 1u);
            const convert::Failure& failure = view.failures[0].failure;
            EXPECT_EQ(failure.kind, folder ? convert::FailureKind::kNotSafe : convert::FailureKind::kNotDelivered);
            EXPECT_EQ(failure.detail, (folder ? OnDesktop("a.mp4") + ": " : "") + "Input/output error");
            EXPECT_EQ(DesktopFiles(), folder ? Lines{"a.mp4"} : Lines{});
            EXPECT_EQ(ReadFile(folder ? OnDesktop("a.mp4") : InTemp("a.mp4")), std::string(4096, 'v'));
        }
}

// A close at any moment of a delivery leaves on the Desktop the result under
// its own name or nothing of it, and nothing under another name.
TEST_F(BatchRunTest, ClosingTheWindowMidDeliveryLeavesTheDesktopClean) {
    struct Case {
        const char* when;
        bool otherFileSystem;
        std::function<void()> FaultyAccess::*hook;
        bool delivered;
    };
    const Case cases[] = {
        {"mid-copy", true, &FaultyAccess::onPiece, false},
        {"mid-flush of a moved result", false, &FaultyAccess::onFlush, false},
        {"mid-flush of a copied result", true, &FaultyAccess::onFlush, false},
        {"mid-flush of the Desktop folder", false, &FaultyAccess::onFolderFlush, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        NextRun();
        for (const auto& f : {desktop, temp}) fs::remove_all(f), fs::create_directories(f);
        files.trashed.clear();
        WriteFile(OnDesktop("a.mp4"), "old result");
        access.onPiece = access.onFlush = access.onFolderFlush = nullptr;
        access.otherFileSystem = c.otherFileSystem;
        access.*c.hook = [&] { view.unloaded = true; };
        Add(Clip("a.MTS"));
        Add(Clip("b.MTS"));
        Run();
        EXPECT_EQ(DesktopFiles(), (Lines{"a.mp4"}));
        EXPECT_EQ(ReadFile(OnDesktop("a.mp4")), c.delivered ? std::string(4096, 'v') : "old result");
        EXPECT_EQ(files.trashed.size(), c.delivered ? 1u : 0u);
        // Nothing of the run is left in the temporary folder.
        EXPECT_TRUE(fs::is_empty(temp));
        EXPECT_EQ(view.Lines().back(), "No. 1: " + videos + sep + "a.MTS...");
    }
}

TEST_F(BatchRunTest, ASlowCopySaysHowBigTheFileIs) {
    access.otherFileSystem = true;
    access.onPiece = [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); };
    Add(Clip("a.MTS"));
    Run();
    EXPECT_THAT(view.statuses, ::testing::Contains("Transferring a video file to the Desktop... (4.1 KB)"));
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("SUCCESS"));
}

TEST(TransferringStatus, GivesTheSizeInDecimalUnits) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {999, "1.0 KB"}, {4096, "4.1 KB"}, {25'000'000, "25.0 MB"}, {2'147'483'648ull, "2.1 GB"}};
    for (const auto& [bytes, size] : cases)
        EXPECT_EQ(convert::TransferringStatus(bytes),
                  std::string("Transferring a video file to the Desktop... (") + size + ")");
}

// A language places the log line's number and punctuation its own way, writes
// sizes as its system does, and has the platform's own reasons in its words;
// the system's text and the paths go in as they are.
TEST(RunTexts, FollowTheCatalogueInUse) {
    struct French : platform::Catalog {
        std::string Text(std::string_view english) const override {
            if (english == convert::kLogLine) return "N° %1 : %2...";
            if (english == "cannot create %1: %2") return "impossible de créer %1 : %2";
            return std::string(english);
        }
        std::string Plural(std::string_view one, std::string_view many, unsigned long n) const override {
            return std::string(n > 1 ? many : one);
        }
        std::string DataSize(std::uint64_t) const override { return "2,1 Go"; }
    } french;
    EXPECT_EQ(convert::LogLine(12, "/a/%2 b.MTS"), "No. 12: /a/%2 b.MTS...");
    text::UseCatalog(&french);
    EXPECT_EQ(convert::LogLine(12, "/a/%2 b.MTS"), "N° 12 : /a/%2 b.MTS...");
    EXPECT_EQ(convert::TransferringStatus(2'147'483'648ull), "Transferring a video file to the Desktop... (2,1 Go)");
    EXPECT_EQ(platform::Told("cannot create %1: %2", {"/a/%1", "Disk full"}), "impossible de créer /a/%1 : Disk full");
    text::UseCatalog(nullptr);
    EXPECT_EQ(platform::Told("cannot create %1: %2", {"/a", "Disk full"}), "cannot create /a: Disk full");
}

TEST_F(BatchRunTest, NoConverterMeansOneMessageAndEveryFileFails) {
    fs::remove(converter);
    Add(Clip("a.MTS"));
    Add(Clip("b.MTS"));
    Run();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_THAT(view.messages[0], ::testing::HasSubstr("ffmpeg cannot be found"));
    EXPECT_THAT(view.messages[0], ::testing::HasSubstr(fs::path(converter).parent_path().string()));
    EXPECT_EQ(view.Lines().at(1), "No. 1: " + videos + sep + "a.MTS... FAIL");
    EXPECT_EQ(view.Lines().at(2), "No. 2: " + videos + sep + "b.MTS... FAIL");
    EXPECT_EQ(view.caption, "FINISH");
    EXPECT_TRUE(view.converterTitles.empty());
    ASSERT_EQ(view.failures.size(), 2u);
    EXPECT_EQ(view.failures[1].failure.kind, convert::FailureKind::kCannotStart);
    EXPECT_THAT(view.failures[1].failure.detail, ::testing::HasSubstr(fs::path(converter).parent_path().string()));
}

TEST_F(BatchRunTest, AnInputIsNeverDeletedOrOverwritten) {
    // An MP4 in the temporary folder would be its own temporary result, and
    // one on the Desktop its own Desktop result.
    const std::string inTemp = InTemp("movie.mp4");
    const std::string onDesktop = OnDesktop("clip.mp4");
    WriteFile(inTemp, "mine");
    WriteFile(onDesktop, "mine too");
    Add(inTemp);
    Add(onDesktop);
    Add(Clip("movie.MTS"));  // its temporary result would be the first file
    Run();
    EXPECT_EQ(ReadFile(inTemp), "mine");
    EXPECT_EQ(ReadFile(onDesktop), "mine too");
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("... FAIL"));
    EXPECT_THAT(view.Lines().at(2), ::testing::EndsWith("... FAIL"));
    EXPECT_THAT(view.Lines().at(3), ::testing::EndsWith("... SUCCESS"));
    EXPECT_EQ(view.statuses.at(0), "Skipped: the converted file would replace the video file itself.");
    EXPECT_EQ(view.converterTitles, Lines{videos + sep + "movie.MTS"});
    EXPECT_TRUE(files.trashed.empty());
}

TEST_F(BatchRunTest, AnEntryWithoutAConversionFormFailsInsideTheTemporaryFolder) {
    const std::string outside = root / ".mp4";
    WriteFile(outside, "keep");
    list.Append(videos + sep + "gone.MTS", "");
    Run();
    EXPECT_EQ(ReadFile(outside), "keep");
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("gone.MTS... FAIL"));
    Lines expected = convert::BatchRun::ConverterArguments("", InTemp(".mp4"));
    expected.insert(expected.end(), {"no output", "--"});
    EXPECT_EQ(ConverterLog(), expected);
}

TEST_F(BatchRunTest, NumbersFollowListPosition) {
    for (const char* name : {"1.MTS", "2.MTS", "3.MTS"}) Add(Clip(name, "mode=fail"));
    Run();
    EXPECT_EQ(view.Lines().at(3), "No. 3: " + videos + sep + "3.MTS... FAIL");
}

TEST_F(BatchRunTest, FilesDroppedDuringTheRunAreListedButNotConverted) {
    Add(Clip("a.MTS"));
    const std::string late = Clip("late.MTS");
    view.onPump = [&] {
        if (list.iFileCount == 1) list.Append(late, late);
    };
    Run();
    EXPECT_EQ(list.iFileCount, 2);
    EXPECT_EQ(view.converterTitles, (Lines{videos + sep + "a.MTS"}));
    EXPECT_EQ(view.Lines().back(), "**Finished**");
}

#ifndef _WIN32
// On Windows the converter shows its own console window instead.
TEST_F(BatchRunTest, ConverterOutputReachesItsWindow) {
    testing_support::SetEnv("FAKE_FFMPEG_CHATTER", "200000");
    testing_support::SetEnv("FAKE_FFMPEG_SECONDS", "0.2");
    Add(Clip("a.MTS"));
    Run();
    EXPECT_THAT(view.converterOutput, ::testing::StartsWith("frame=  100"));
    EXPECT_THAT(view.converterOutput, ::testing::EndsWith("speed=1x\n"));
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("SUCCESS"));
}
#endif

TEST_F(BatchRunTest, TheViewSeesRisingPercentsAndTheRunOnlyAtEachVisibleStep) {
    // The converter's steps (30% and 60% of its clip) go on as the view shows them.
    testing_support::SetEnv("FAKE_FFMPEG_GATE", root / "gate");
    Add(Clip("a.MTS"));
    Add(Clip("b.MTS", "mode=fail"));
    view.onPump = [&] {
        if (!view.fileProgress.empty() && view.fileProgress.back().second.percent)
            WriteFile(root / ("gate" + std::to_string(*view.fileProgress.back().second.percent / 10)), "");
    };
    Run();
    std::map<int, std::vector<int>> percents;
    for (const auto& [file, shown] : view.fileProgress) {
        if (shown.percent) percents[file].push_back(*shown.percent);
        EXPECT_THAT(shown.lastLine, ::testing::Not(::testing::HasSubstr("\n")));
    }
    EXPECT_THAT(percents[1], ::testing::IsSupersetOf({30, 60}));
    for (const auto& [file, seen] : percents) EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << file;
    EXPECT_THAT(view.converterOutput, ::testing::HasSubstr("  Duration: 00:00:10.00, start: 1.400000\n"));
    EXPECT_EQ(view.fileProgress.back().second.lastLine.rfind("frame=  150", 0), 0u);

    ASSERT_FALSE(view.runProgress.empty());
    EXPECT_TRUE(std::is_sorted(view.runProgress.begin(), view.runProgress.end()));
    for (std::size_t i = 1; i < view.runProgress.size(); ++i) {
        const auto& [before, after] = std::pair(view.runProgress[i - 1], view.runProgress[i]);
        EXPECT_TRUE(int(before.first * 100) != int(after.first * 100) || before.second != after.second) << i;
    }
    EXPECT_EQ(view.runProgress.back(), std::pair(1.0, true));
    EXPECT_THAT(view.runProgress, ::testing::Contains(std::pair(0.15, false)));  // 30% of the first of two
}

TEST_F(BatchRunTest, ClosingTheWindowStopsTheConvertersAndTheRunAtOnce) {
    atOnce = 3;
    Add(Clip("a.MTS", "mode=hang"));
    Add(Clip("b.MTS"));
    Add(Clip("c.MTS", "mode=hang"));
    std::int32_t pid = 0;
    view.onPump = [&] {
        // b has ended already, beside a; its result waits for its turn.
        if (supervisorSeen && supervisorSeen->lConverterPid != 0 && !view.unloaded && supervisorSeen->Running() == 2) {
            pid = supervisorSeen->lConverterPid;
            EXPECT_TRUE(fs::exists(InTemp("b.mp4")));
            supervisorSeen->Form_Unload();
            EXPECT_EQ(supervisorSeen->Running(), 0);
            view.unloaded = true;
        }
    };
    Run();
    ASSERT_NE(pid, 0);
    EXPECT_EQ(view.Lines().back(), "No. 1: " + videos + sep + "a.MTS...");
    EXPECT_EQ(view.caption, "Converting");
    EXPECT_EQ(view.converterTitles.size(), 1u);
    EXPECT_TRUE(DesktopFiles().empty());
    EXPECT_TRUE(fs::is_empty(temp));
#ifndef _WIN32
    EXPECT_EQ(kill(pid, 0), -1);  // gone, and reaped
#endif
}

TEST_F(BatchRunTest, ClipsConvertTwoAtOnceAndTheLogReadsInListOrder) {
    // a waits for its gate; b fails beside it, and c, started in b's place,
    // is let through first.
    atOnce = 2;
    view.text = "";
    const std::string gateA = root / "a-gate", gateC = root / "c-gate";
    Add(Clip("a.MTS", "gate=" + gateA));
    Add(Clip("b.MTS", "mode=fail"));
    Add(Clip("c.MTS", "gate=" + gateC));
    Add(Clip("x.MTS"));
    Add(Clip("x.mts", "bytes=5000"));  // the same result name, at the same time
    int mostAtOnce = 0;
    view.onPump = [&] {
        if (!supervisorSeen || fs::exists(gateA + "6")) return;
        mostAtOnce = std::max(mostAtOnce, supervisorSeen->Running());
        if (ReadFile(root / "converter.log").find("c.MTS") != std::string::npos)
            WriteFile(gateC + "3", ""), WriteFile(gateC + "6", "");
        if (!fs::exists(InTemp("c.mp4"))) return;
        // c is done, and waits for its turn.
        EXPECT_EQ(view.Lines(), (Lines{"", "No. 1: " + videos + sep + "a.MTS..."}));
        WriteFile(gateA + "3", ""), WriteFile(gateA + "6", "");
    };
    Run();
    EXPECT_EQ(mostAtOnce, 2);
    EXPECT_EQ(view.Lines(),
              (Lines{"", "No. 1: " + videos + sep + "a.MTS... SUCCESS", "No. 2: " + videos + sep + "b.MTS... FAIL",
                     "No. 3: " + videos + sep + "c.MTS... SUCCESS", "No. 4: " + videos + sep + "x.MTS... SUCCESS",
                     "No. 5: " + videos + sep + "x.mts... SUCCESS", "**Finished**"}));
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].name, "b.MTS");
    EXPECT_EQ(view.converterNames, (Lines{"a.MTS", "b.MTS", "c.MTS", "x.MTS", "x.mts"}));
    EXPECT_EQ(DesktopFiles(), (Lines{"a.mp4", "c.mp4", "x (2).mp4", "x.mp4"}));
    EXPECT_EQ(fs::file_size(OnDesktop("x (2).mp4")), 5000u);
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_EQ(view.runProgress.back(), std::pair(1.0, true));
}

TEST_F(BatchRunTest, APrivateTemporaryFolderIsMadeForTheUserOnly) {
    list.sTempFolder = root / "cache/clipvane";
    Add(Clip("a.MTS"));
    Run(true);
    EXPECT_THAT(view.Lines().at(1), ::testing::EndsWith("SUCCESS"));
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(stat(list.sTempFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
}

#ifndef _WIN32
TEST_F(BatchRunTest, APrivateTemporaryFolderThatIsALinkIsRefused) {
    const std::string elsewhere = root / "elsewhere";
    fs::create_directories(elsewhere);
    WriteFile(elsewhere + "/a.mp4", "someone else's");
    list.sTempFolder = root / "cache-link";
    fs::create_directory_symlink(elsewhere, list.sTempFolder);
    Add(Clip("a.MTS"));
    Add(Clip("b.MTS"));
    Run(true);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_THAT(view.messages[0], ::testing::HasSubstr("temporary folder cannot be used"));
    EXPECT_EQ(ReadFile(elsewhere + "/a.mp4"), "someone else's");
    EXPECT_THAT(view.Lines().at(2), ::testing::EndsWith("FAIL"));
    EXPECT_TRUE(view.converterTitles.empty());
}
#endif

TEST_F(BatchRunTest, AQuickConverterIsNoticedWithoutARefresh) {
    convert::Supervisor supervisor(view);
    std::string error;
    std::vector<std::string> searched;
    auto child = platform_.processes->Start(converter, {"-y", "-i", "", "-f", "mp4", InTemp("x.mp4")}, error);
    ASSERT_TRUE(child) << error;
    while (!child->WaitFor(std::chrono::milliseconds(100))) {}
    int pumps = 0;
    view.onPump = [&] { ++pumps; };
    supervisor.lConverterPid = supervisor.Adopt(std::move(child));
    supervisor.WaitForExitProcess(supervisor.lConverterPid);
    EXPECT_EQ(pumps, 0);
    // An unknown or zero identifier is not waited for.
    supervisor.WaitForExitProcess(0);
    supervisor.WaitForExitProcess(supervisor.lConverterPid + 1);
    EXPECT_EQ(pumps, 0);
    EXPECT_EQ(supervisor.refreshCount(), 0);
}

TEST_F(BatchRunTest, ARunningConverterIsWaitedForWithTheWindowAnsweredUntilItEnds) {
    // The converter goes on only when the window has been answered three times.
    const std::string gate = root / "gate";
    testing_support::SetEnv("FAKE_FFMPEG_GATE", gate);
    convert::Supervisor supervisor(view);
    int pumps = 0;
    view.onPump = [&] {
        if (++pumps == 3) WriteFile(gate + "3", ""), WriteFile(gate + "6", "");
    };
    std::string error;
    supervisor.lConverterPid = supervisor.Adopt(
        platform_.processes->Start(converter, {"-y", "-i", Clip("x.MTS"), "-f", "mp4", InTemp("x.mp4")}, error));
    supervisor.WaitForExitProcess(supervisor.lConverterPid);
    testing_support::SetEnv("FAKE_FFMPEG_GATE", "");
    EXPECT_GE(pumps, 3);
    EXPECT_TRUE(supervisor.Converter()->Succeeded());
    ASSERT_FALSE(view.fileProgress.empty());
    EXPECT_THAT(view.fileProgress.back().second.lastLine, ::testing::HasSubstr("time=00:00:06.00"));
}

TEST_F(BatchRunTest, AFailureGoesStraightOnAndEveryStatusIsPaintedBeforeTheNext) {
    Add(Clip("a.MTS", "mode=fail"));
    Add(Clip("b.MTS"));
    // Between the FAIL and the next file's line the window is answered once,
    // for the next name: no pause keeps the failure on the screen.
    int pumpsAfterFail = 0;
    view.onPump = [&] { pumpsAfterFail += view.text.size() >= 4 && view.text.substr(view.text.size() - 4) == "FAIL"; };
    Run();
    EXPECT_EQ(pumpsAfterFail, 1);
    EXPECT_THAT(view.Lines().at(2), ::testing::EndsWith("SUCCESS"));
    EXPECT_GE(view.repaints, static_cast<int>(view.statuses.size()));
}

}  // namespace

TEST_F(BatchRunTest, TheSystemStaysAwakeFromStartToFinishAndIsToldEachPlaceAndTheCounts) {
    RecordingInhibitor inhibitor;
    awake = &inhibitor;
    Add(Clip("a.MTS"));
    Add(Clip("b.MTS", "mode=fail"));
    Add(Clip("c.MTS"));
    int pumpsAwake = 0, pumpsAsleep = 0;
    view.onPump = [&] { ++(inhibitor.held ? pumpsAwake : pumpsAsleep); };
    Run();
    EXPECT_EQ(inhibitor.calls, (Lines{"inhibit Converting video files", "release"}));
    EXPECT_GT(pumpsAwake, 0);
    EXPECT_EQ(pumpsAsleep, 0);
    EXPECT_EQ(view.converterPlaces, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(view.runEnds, (std::vector<std::pair<int, int>>{{2, 1}}));
}

TEST_F(BatchRunTest, TheEndOfTheRunIsToldEvenWhenNothingCouldBeConverted) {
    RecordingInhibitor inhibitor;
    awake = &inhibitor;
    struct Case {
        bool noConverter;
        int files;
        std::pair<int, int> counts;
    };
    for (const Case& c : {Case{false, 0, {0, 0}}, Case{true, 2, {0, 2}}}) {
        if (c.noConverter) fs::remove(converter);
        for (int i = 0; i < c.files; ++i) Add(Clip(std::to_string(i) + ".MTS"));
        view = {};
        inhibitor.calls.clear();
        Run();
        EXPECT_EQ(view.runEnds, (std::vector<std::pair<int, int>>{c.counts}));
        EXPECT_EQ(inhibitor.calls, (Lines{"inhibit Converting video files", "release"}));
    }
}

TEST_F(BatchRunTest, ClosingTheWindowMidRunLetsTheSystemSleepAgain) {
    RecordingInhibitor inhibitor;
    awake = &inhibitor;
    Add(Clip("a.MTS", "mode=hang"));
    view.onPump = [&] {
        if (supervisorSeen && supervisorSeen->lConverterPid != 0 && !view.unloaded) {
            supervisorSeen->Form_Unload();
            view.unloaded = true;
        }
    };
    Run();
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(inhibitor.calls, (Lines{"inhibit Converting video files", "release"}));
    EXPECT_TRUE(view.runEnds.empty());
}

TEST_F(BatchRunTest, FinishNeitherHoldsTheSystemAwakeNorTellsAnEnd) {
    RecordingInhibitor inhibitor;
    awake = &inhibitor;
    view.caption = "FINISH";
    Run();
    EXPECT_TRUE(inhibitor.calls.empty());
    EXPECT_TRUE(view.runEnds.empty());
}
