// The whole program, started with the switches the system uses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exitCode = -1;
  std::string err;
  int64_t ms = 0;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() /
            ("program-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home_);
    fs::create_directories(home_ / "config");
    fs::create_directories(home_ / "runtime");
    configFile_ = home_ / "config" / "Corvantic" / "Flurrix Screensaver" / "config.ini";
  }
  void TearDown() override { fs::remove_all(home_); }

  // Runs the program with a config home and runtime folder of this test, and no display.
  Outcome Run(std::vector<std::string> args) {
    int err[2];
    EXPECT_EQ(pipe(err), 0);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
      dup2(err[1], STDERR_FILENO);
      close(err[0]);
      setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
      unsetenv("DISPLAY");
      alarm(60);  // kept through exec: a program that hangs fails the test instead
      std::vector<char*> argv{const_cast<char*>(FLURRIX_PROGRAM)};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(FLURRIX_PROGRAM, argv.data());
      _exit(127);
    }
    close(err[1]);
    Outcome outcome;
    char buffer[512];
    ssize_t n;
    while ((n = read(err[0], buffer, sizeof buffer)) > 0) outcome.err.append(buffer, n);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count();
    return outcome;
  }

  std::string ReadConfig() const {
    std::ifstream in(configFile_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  fs::path home_;
  fs::path configFile_;
};

TEST_F(ProgramTest, InstallSwitchWritesTheDefaultFile) {
  Outcome outcome = Run({"/i"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.err, "");
  std::string file = ReadConfig();
  const std::string programFolder = fs::path(FLURRIX_PROGRAM).parent_path().string() + "/";
  // The date is the moment of the run: check its form, then compare the rest byte for byte.
  std::smatch date;
  ASSERT_TRUE(std::regex_search(file, date, std::regex("\r\nUpdate Date = [0-9]+\r\n")));
  file.replace(date.position(0), date.length(0), "\r\nUpdate Date = NOW\r\n");
  EXPECT_TRUE(file.starts_with(
      "\xEF\xBB\xBF\r\n[General]\r\nLanguage = en\r\nUpdate Range = 2\r\nUpdate Date = NOW\r\n"
      "Path = " +
      programFolder +
      "\r\n; \r\n[Window]\r\nWidth = 530\r\nHeight = 330\r\n"
      "X = 200\r\nY = 200\r\n; \r\n[Screensaver]\r\nvideow = 1920\r\nvideoh = 1080\r\n"
      "videod = 32\r\nfps = 60\r\nflakes = 500\r\n"))
      << file;
  EXPECT_NE(file.find("\r\nmusicfile = " + programFolder + "data/music/forest.mp3\r\n"),
            std::string::npos);
  EXPECT_TRUE(file.ends_with("calendarbg = 0\r\ncalendarfirst = 1\r\n; \r\n"));

  // A second save of an unchanged file gives the same bytes but for the date.
  ASSERT_EQ(Run({"-I"}).exitCode, 0);
  std::string again = ReadConfig();
  ASSERT_TRUE(std::regex_search(again, date, std::regex("\r\nUpdate Date = [0-9]+\r\n")));
  again.replace(date.position(0), date.length(0), "\r\nUpdate Date = NOW\r\n");
  EXPECT_EQ(again, file);
}

TEST_F(ProgramTest, InstallSwitchKeepsTheUsersSettings) {
  fs::create_directories(configFile_.parent_path());
  std::ofstream(configFile_, std::ios::binary) << "[Screensaver]\nflakes = 1500\nwind=1\n";
  ASSERT_EQ(Run({"/i"}).exitCode, 0);
  const std::string file = ReadConfig();
  EXPECT_NE(file.find("\r\nflakes = 1500\r\n"), std::string::npos);
  EXPECT_NE(file.find("\r\nwind = 1\r\n"), std::string::npos);
  EXPECT_NE(file.find("\r\naclocksize = 20\r\n"), std::string::npos);  // if-missing value
  EXPECT_NE(file.find("\r\nmusicmode = 1\r\n"), std::string::npos);
}

TEST_F(ProgramTest, ASettingsFileThatIsAPipeCountsAsMissing) {
  fs::create_directories(configFile_.parent_path());
  ASSERT_EQ(mkfifo(configFile_.c_str(), 0600), 0);
  const Outcome outcome = Run({"/i"});
  EXPECT_EQ(outcome.exitCode, 0) << "opening it waited";
  ASSERT_TRUE(fs::is_regular_file(configFile_));
  EXPECT_NE(ReadConfig().find("\r\nflakes = 500\r\n"), std::string::npos);
}

TEST_F(ProgramTest, NothingSwitchEndsAtOnceAndWritesNothing) {
  Outcome outcome = Run({"/a"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.err, "");
  EXPECT_FALSE(fs::exists(configFile_));
  EXPECT_TRUE(fs::is_directory(configFile_.parent_path()));  // the settings folder is made
}

TEST_F(ProgramTest, SecondCopyEndsAtOnceWhateverItsSwitch) {
  // The first copy is this test process holding the guard the program takes.
  setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
  ASSERT_TRUE(platform::AcquireInstanceGuard("Flurrix Screensaver 3.3"));
  for (const char* sw : {"/i", "/s", "/u", "/c", "-p:1234"}) {
    Outcome outcome = Run({sw});
    EXPECT_EQ(outcome.exitCode, 0) << sw;
    EXPECT_EQ(outcome.err, "") << sw;
  }
  EXPECT_FALSE(fs::exists(configFile_));
  platform::ReleaseInstanceGuard();
  EXPECT_EQ(Run({"/i"}).exitCode, 0);
  EXPECT_TRUE(fs::exists(configFile_));
}

}  // namespace
