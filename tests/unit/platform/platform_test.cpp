#include "platform/platform.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

namespace fs = std::filesystem;

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("platform-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

// Runs `body` in a child process and returns its exit code.
template <class F>
int InChild(F body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(PlatformTest, InstanceGuardIsExclusiveAndDiesWithItsProcess) {
  setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  const std::string name = "Guard Test 1.0";

  // A holder that is killed, not ended cleanly, must not block the next start.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  if (holder == 0) {
    char ok = AcquireInstanceGuard(name) ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, 'y');
  EXPECT_EQ(InChild([&] { return AcquireInstanceGuard(name) ? 1 : 0; }), 0);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(InChild([&] { return AcquireInstanceGuard(name) ? 1 : 0; }), 1);

  // Within one process: held until released.
  ASSERT_TRUE(AcquireInstanceGuard(name));
  EXPECT_EQ(InChild([&] { return AcquireInstanceGuard("Another Name") ? 1 : 0; }), 1);
  ReleaseInstanceGuard();
  EXPECT_EQ(InChild([&] { return AcquireInstanceGuard(name) ? 1 : 0; }), 1);
  close(ready[0]);
  close(ready[1]);
}

TEST_F(PlatformTest, AppDataFolderFollowsXdgConfigHome) {
  setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  EXPECT_EQ(AppDataFolder(), folder_.string() + "/");
  // Without it (or with a relative value) the folder is ~/.config, made when missing.
  setenv("HOME", folder_.c_str(), 1);
  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  EXPECT_EQ(AppDataFolder(), folder_.string() + "/.config/");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(AppDataFolder(), folder_.string() + "/.config/");
  EXPECT_TRUE(FolderExists(folder_.string() + "/.config/"));
}

TEST_F(PlatformTest, FoldersAndFiles) {
  const std::string base = folder_.string() + "/";
  EXPECT_TRUE(CreateFolder(base + "sub"));
  EXPECT_TRUE(CreateFolder(base + "sub"));  // already there counts as success
  EXPECT_FALSE(CreateFolder(base + "missing/child"));
  std::ofstream(base + "a.jpg") << "12345";
  std::ofstream(base + "empty.jpg");
  EXPECT_EQ(FileSize(base + "a.jpg"), 5);
  EXPECT_EQ(FileSize(base + "none"), -1);
  EXPECT_EQ(FileSize(base + "sub"), -1);

  std::vector<FolderEntry> files = ListFiles(base);
  std::vector<std::string> names;
  for (const FolderEntry& f : files) names.push_back(f.name + ":" + std::to_string(f.size));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.jpg:5", "empty.jpg:0"}));

  EXPECT_TRUE(RenameOver(base + "a.jpg", base + "empty.jpg"));
  EXPECT_EQ(FileSize(base + "empty.jpg"), 5);
  EXPECT_TRUE(RemoveFile(base + "empty.jpg"));
  EXPECT_FALSE(RemoveFile(base + "empty.jpg"));

  std::FILE* file = OpenFile(base + "written", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("data", file);
  EXPECT_TRUE(SyncAndClose(file));
  EXPECT_EQ(FileSize(base + "written"), 4);

  EXPECT_EQ(ProgramFolder().back(), '/');
  EXPECT_TRUE(FolderExists(ProgramFolder()));
  EXPECT_EQ(NativePath("data/forest/"), "data/forest/");
}

// A name the user or a settings file gives may be a named pipe or a device: opening it must not
// wait (for a pipe's writer or reader, for ever) and it counts as missing.
TEST_F(PlatformTest, OnlyPlainFilesOpenAndNothingWaits) {
  const std::string base = folder_.string() + "/";
  ASSERT_EQ(mkfifo((base + "pipe").c_str(), 0600), 0);
  std::ofstream(base + "plain") << "12345";
  const int opened = InChild([&] {
    alarm(10);  // a wait ends the child with SIGALRM instead of hanging the test
    int count = 0;
    for (const std::string& name : {base + "pipe", base, std::string("/dev/zero")}) {
      for (const char* mode : {"rb", "wb", "ab", "r+b"}) {
        if (std::FILE* file = OpenFile(name, mode)) {
          std::fclose(file);
          ++count;
        }
      }
    }
    return count;
  });
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(FileSize(base + "pipe"), -1);
  EXPECT_TRUE(fs::is_fifo(base + "pipe")) << "writing replaced nothing";

  std::FILE* file = OpenFile(base + "plain", "ab");
  ASSERT_NE(file, nullptr);
  std::fputs("6", file);
  std::fclose(file);
  EXPECT_EQ(FileSize(base + "plain"), 6) << "appends";
  file = OpenFile(base + "plain", "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(FileSize(base + "plain"), 0) << "a plain file is emptied for writing";
}

// Reading asks for reading alone: the installed pictures are read-only to their user. "r+b" reads
// and writes in place. Root writes through permissions, so as root the file lies on a file system
// of its own, made read-only.
TEST_F(PlatformTest, EachModeAsksOnlyForTheAccessItNeeds) {
  const std::string disk = folder_.string() + "/disk", name = disk + "/file";
  fs::create_directories(disk);
  const bool root = geteuid() == 0;
  if (root && mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a file system here";
  }
  struct Unmount {
    std::string path;
    ~Unmount() {
      if (!path.empty()) umount2(path.c_str(), MNT_DETACH);
    }
  } unmount{root ? disk : ""};
  std::ofstream(name) << "12345";
  std::FILE* file = OpenFile(name, "r+b");
  ASSERT_NE(file, nullptr);
  std::fputs("ab", file);
  std::fclose(file);

  if (root) {
    ASSERT_EQ(mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
  } else {
    ASSERT_EQ(chmod(name.c_str(), 0444), 0);
  }
  file = OpenFile(name, "rb");
  ASSERT_NE(file, nullptr) << "a read-only file reads";
  char text[8] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text, file), 5u);
  std::fclose(file);
  EXPECT_STREQ(text, "ab345") << "written in place, the rest kept";
  for (const char* mode : {"r+b", "wb", "ab"}) {
    file = OpenFile(name, mode);
    EXPECT_EQ(file, nullptr) << mode << " opened a read-only file";
    if (file) std::fclose(file);
  }
}

TEST_F(PlatformTest, OpenAddressStartsXdgOpenWithoutWaiting) {
  // A stand-in xdg-open that records its argument and then lingers: the call must not wait.
  const std::string bin = folder_.string() + "/bin";
  fs::create_directories(bin);
  const std::string record = folder_.string() + "/opened";
  {
    std::ofstream script(bin + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record << ".part'\nmv '" << record
           << ".part' '" << record << "'\nexec sleep 20 2>/dev/null\n";
  }
  fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
  const std::string path = std::string(getenv("PATH"));
  setenv("PATH", (bin + ":" + path).c_str(), 1);

  const uint64_t start = MonotonicMs();
  EXPECT_TRUE(OpenAddress("http://example.com/page?x=1&y=2"));
  EXPECT_LT(MonotonicMs() - start, 10000u);  // generous: only "not waited for the 20 s"
  for (int i = 0; i < 500 && !fs::exists(record); ++i) SleepMs(10);
  std::ifstream in(record);
  std::stringstream opened;
  opened << in.rdbuf();
  EXPECT_EQ(opened.str(), "http://example.com/page?x=1&y=2");
  EXPECT_FALSE(OpenAddress(""));
  setenv("PATH", path.c_str(), 1);
}

TEST(PlatformDesktop, WithoutADisplayTheDesktopIsFullHd) {
  unsetenv("DISPLAY");
  DesktopMode mode = QueryDesktop();
  EXPECT_EQ(mode.width, 1920);
  EXPECT_EQ(mode.height, 1080);
  EXPECT_EQ(mode.depth, 32);
}

TEST(PlatformTime, MonotonicClockAndLocalSeconds) {
  uint64_t before = MonotonicMs();
  SleepMs(20);
  EXPECT_GE(MonotonicMs() - before, 20u);
  // Local seconds are within a day of UTC seconds.
  EXPECT_LT(std::llabs(LocalSecondsSince1970() - static_cast<int64_t>(time(nullptr))), 86400);
}

}  // namespace
}  // namespace platform

// XScreenSaver names the window by switch (one dash or two) or by variable; the switch wins, and
// anything that is not a window id leaves the program to its own switches.
TEST(PlatformHostWindow, WindowIdThenVariableThenRoot) {
  unsetenv("DISPLAY");
  unsetenv("XSCREENSAVER_WINDOW");
  EXPECT_EQ(platform::HostWindow({"-window-id", "0x1a2b"}), 0x1a2bu);
  EXPECT_EQ(platform::HostWindow({"--window-id", "12345"}), 12345u);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"/s"}, {"-window-id"}, {"-window-id", "12x"}, {"-window-id", "-5"}, {"-root"}}) {
    EXPECT_EQ(platform::HostWindow(args), 0u) << (args.empty() ? "" : args.back());
  }
  setenv("XSCREENSAVER_WINDOW", "0x400007", 1);
  EXPECT_EQ(platform::HostWindow({"--root"}), 0x400007u);
  EXPECT_EQ(platform::HostWindow({"-window-id", "77", "-root"}), 77u);
  setenv("XSCREENSAVER_WINDOW", "none", 1);
  EXPECT_EQ(platform::HostWindow({"-root"}), 0u);  // -root without a display to find it on
  unsetenv("XSCREENSAVER_WINDOW");
}
