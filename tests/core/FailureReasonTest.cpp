#include <gtest/gtest.h>

#include <string>

#include "convert/ConverterOutput.h"
#include "convert/FailureReason.h"

namespace {

using convert::FailureKind;
using How = platform::ExitStatus::How;
const platform::ExitStatus kExit1 = platform::ExitStatus::Exited(1);

// From what the run knows when the converter made no result to the reason.
TEST(FailureReason, ComesFromTheClipCheckTheConvertersLastLinesAndHowItEnded) {
    struct Row {
        const char* tail;
        platform::ExitStatus ended;
        const char* clipProblem;
        FailureKind kind;
        const char* detail;
    } rows[] = {
        {"/v/a.MTS: No such file or directory\n", kExit1, "No such file or directory", FailureKind::kMissing,
         "No such file or directory"},
        {"ffmpeg version 5.1\n  libavutil 57.28\nrnd.MTS: Invalid data found when processing input\n", kExit1, "",
         FailureKind::kDamaged, "rnd.MTS: Invalid data found when processing input"},
        // Windows line ends; the line is told without them.
        {"C:\\v\\a.MTS: Invalid data found when processing input\r\n", kExit1, "", FailureKind::kDamaged,
         "C:\\v\\a.MTS: Invalid data found when processing input"},
        {"av_interleaved_write_frame(): No space left on device\nframe=  100 fps=25 time=00:00:04.00\r"
         "Error writing trailer of /t/a.mp4: No space left on device\nConversion failed!\n",
         kExit1, "", FailureKind::kDiskFull, "Error writing trailer of /t/a.mp4: No space left on device"},
        {"frame=  100 fps=25 time=00:00:04.00\r", platform::ExitStatus::Signalled(11, "SIGSEGV"), "",
         FailureKind::kCrashed, "killed by signal 11 (SIGSEGV)"},
        // A crash is told by how the converter ended, whatever its words.
        {"", platform::ExitStatus::Exited(0xC0000005), "", FailureKind::kCrashed, "exit code 0xC0000005"},
        {"Invalid data found when processing input\n", platform::ExitStatus::Ended(How::kTerminated), "",
         FailureKind::kCrashed, "terminated"},
        {"", platform::ExitStatus::Ended(How::kUnknown), "", FailureKind::kConverterFailed, "unknown exit"},
        {"frame=  10\rExiting normally, received signal 15.\n", platform::ExitStatus::Exited(255), "",
         FailureKind::kCrashed, "Exiting normally, received signal 15."},
        // Nothing known: the converter's own last word, else how it ended.
        {"Unknown encoder 'libx264'\nConversion failed!\n", kExit1, "", FailureKind::kConverterFailed,
         "Unknown encoder 'libx264'"},
        {"frame=  100 fps=25\r  size=  256kB time=00:00:04.00\r", platform::ExitStatus::Exited(0), "",
         FailureKind::kConverterFailed, "exit code 0"},
    };
    for (const Row& row : rows) {
        const convert::Failure failure = convert::ConverterFailure(row.tail, row.ended, row.clipProblem);
        EXPECT_EQ(failure.kind, row.kind) << row.tail << row.detail;
        EXPECT_EQ(failure.detail, row.detail) << row.tail << row.detail;
    }
}

TEST(FailureReason, OnlyTheEndOfTheOutputIsKeptAndItStartsWithAWholeLine) {
    convert::ConverterOutput output;
    for (int i = 0; i < 5000; ++i) output.Add("frame=  " + std::to_string(i) + " fps=25 q=28.0 size= 1024kB\r");
    for (int i = 0; i < 500; ++i) output.Add("[h264 @ 0x55] error while decoding MB " + std::to_string(i) + "\n");
    output.Add("a.MTS: Invalid data found when processing input\n");
    EXPECT_LE(output.Tail().size(), convert::ConverterOutput::kKept);
    EXPECT_EQ(output.Tail().rfind("[h264", 0), 0u);
    EXPECT_EQ(convert::ConverterFailure(output.Tail(), kExit1, "").kind, FailureKind::kDamaged);
}

TEST(FailureReason, TheSummarySaysHowManyOfTheRunFailed) {
    EXPECT_EQ(convert::SummaryHeading(2, 10), "2 of 10 clips could not be converted");
    EXPECT_EQ(convert::SummaryHeading(1, 10), "1 of 10 clips could not be converted");
    EXPECT_EQ(convert::SummaryHeading(1, 1), "The clip could not be converted");
}

}  // namespace
