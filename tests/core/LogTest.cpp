#include "core/Log.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <boost/date_time/posix_time/posix_time.hpp>

#include <filesystem>

#include <sys/stat.h>

using namespace boost::posix_time;
using boost::gregorian::date;
using ::testing::MatchesRegex;

TEST(Log, RefusesLogsBeforeTheFolderIsKnown) {
    SetLogFolder("");
    try {
        GetLog("log.txt");
        FAIL() << "expected an exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ("Log system is not initialized.", e.what());
    }
}

TEST(Log, OneObjectPerNameAndOnlyLinesWithinTheThreshold) {
    TempDir dir;
    SetLogFolder(dir.Path().string() + "/");
    CU_Log* a = GetLog("log.txt");
    CU_Log* b = GetLog("log.txt");
    ASSERT_EQ(a, b);
    a->threshold = 2;
    EXPECT_EQ(2, b->threshold);
    EXPECT_NE(a, GetLog("other.txt"));

    b->Write(CU_Log::DBG, "filtered out");
    b->Write(CU_Log::ERR, "line one\nsecond line");
    b->Write(CU_Log::NONE, "unnamed level");
    EXPECT_THAT(dir.Read("log.txt"), MatchesRegex("\\[ERR\\] [0-9]{8}T[0-9]{6}(\\.[0-9]{6})? : line one\nsecond line\n"
                                                  "\\[\\] [0-9]{8}T[0-9]{6}(\\.[0-9]{6})? : unnamed level\n"));
    SetLogFolder("");
}

TEST(Log, LineFormat) {
    const ptime whole(date(2011, 3, 15), hours(14) + minutes(25) + seconds(1));
    EXPECT_EQ("[EVT] 20110315T142501 : started", LogDetail::FormatLine(0, whole, "started"));
    EXPECT_EQ("[TIME] 20110315T142501.046875 : x", LogDetail::FormatLine(6, whole + microseconds(46875), "x"));
    EXPECT_EQ("[] 20110315T142501 : ", LogDetail::FormatLine(1, whole, ""));
}

TEST(Log, EveryRunAppendsToTheSameFile) {
    TempDir dir;
    CU_Log(dir.File("log.txt")).Write(0, "first run");
    CU_Log(dir.File("log.txt")).Write(0, "second run");
    const std::string text = dir.Read("log.txt");
    EXPECT_NE(std::string::npos, text.find("first run"));
    EXPECT_NE(std::string::npos, text.find("second run"));
}

// A missing folder, and a FIFO or folder where the log should be (opening a FIFO for writing would
// wait for a reader for ever), leave the log on standard output and the path as it was.
TEST(Log, UnopenableFileFallsBackToStandardOutput) {
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo.txt").c_str(), 0600));
    std::filesystem::create_directory(dir.File("folder.txt"));
    for (const char* name : {"missing-folder/log.txt", "fifo.txt", "folder.txt"}) {
        SCOPED_TRACE(name);
        CU_Log log(dir.File(name));
        EXPECT_FALSE(log.IsOpen());
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(log.Write(2, "still visible"));
        EXPECT_THAT(::testing::internal::GetCapturedStdout(), ::testing::HasSubstr("still visible"));
    }
    struct stat st {};
    ASSERT_EQ(0, ::stat(dir.File("fifo.txt").c_str(), &st));
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
