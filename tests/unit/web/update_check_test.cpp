#include "web/update_check.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "loopback_server.h"
#include "scoped_hook.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "web/site.h"

namespace {

using webtest::LoopbackServer;

constexpr web::FetchLimits kFast{300, 1500, 20};
constexpr const char* kTitle = "Flurrix Screensaver 3.3";

struct Box {
  std::string caption;
  std::string text;
  int32_t style;
};

// Points FLURRIX_SITE at the test's server and records message boxes and opened links.
class UpdateCheck : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("FLURRIX_SITE"); }

  // Serves `body` as the update file and runs the check against it.
  web::UpdateOutcome CheckWith(const std::string& body) {
    LoopbackServer server({"HTTP/1.0 200 OK\r\n\r\n" + body});
    setenv("FLURRIX_SITE", server.Url("/").c_str(), 1);
    const web::UpdateOutcome outcome = web::CheckForUpdates(kTitle, 330, kFast);
    requests = server.Requests();
    return outcome;
  }

  platform::MessageAnswer answer = platform::kAnswerNo;
  std::vector<Box> boxes;
  std::vector<std::string> links;
  // Message boxes and opened links are recorded here; the program's own come back afterwards.
  flurrixtest::ScopedHook<text::MessageBoxHandler> boxHook_{
      text::SetMessageBoxHandler,
      [this](const std::string& caption, const std::string& text, int32_t style) {
        boxes.push_back({caption, text, style});
        return style == platform::kStyleQuestion ? answer : platform::kAnswerOk;
      }};
  flurrixtest::ScopedHook<web::LinkOpener> linkHook_{
      web::SetLinkOpener, [this](const std::string& address) { links.push_back(address); }};
  std::vector<std::string> requests;
};

TEST_F(UpdateCheck, SameVersionSaysNoUpdate) {
  EXPECT_EQ(CheckWith("330\r\n"), web::UpdateOutcome::kUpToDate);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "No Update");
  EXPECT_EQ(boxes[0].text, text::Lookup("Msg", "No Update Text"));
  EXPECT_EQ(boxes[0].style, 64);
  EXPECT_TRUE(links.empty());
  // The update file is asked for with the title text as user agent.
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /files/flurrix.dat HTTP/1.0\r\n", 0), 0u);
  EXPECT_NE(requests[0].find("\r\nUser-Agent: Flurrix Screensaver 3.3\r\n"), std::string::npos);
}

TEST_F(UpdateCheck, OlderAndNegativeNumbersSayNoUpdate) {
  EXPECT_EQ(CheckWith("329"), web::UpdateOutcome::kUpToDate);
  EXPECT_EQ(CheckWith("-12"), web::UpdateOutcome::kUpToDate);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, "No Update");
}

TEST_F(UpdateCheck, NewerVersionAsksAndYesOpensTheHomePage) {
  answer = platform::kAnswerYes;
  EXPECT_EQ(CheckWith(" 331 \r\n"), web::UpdateOutcome::kNewVersion);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "New Update");
  EXPECT_EQ(boxes[0].text, text::Lookup("Msg", "New Update Text"));
  EXPECT_EQ(boxes[0].style, 36);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], web::HomePageAddress());
  EXPECT_EQ(links[0].substr(links[0].size() - 26), "/screensavers/flurrix.html");
}

TEST_F(UpdateCheck, NoToTheQuestionOpensNothing) {
  answer = platform::kAnswerNo;
  EXPECT_EQ(CheckWith("400"), web::UpdateOutcome::kNewVersion);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].style, 36);
  EXPECT_TRUE(links.empty());
}

TEST_F(UpdateCheck, NoNumberMeansConnectionProblems) {
  for (const std::string body : {"000", "", "abc", "<html>"}) {
    boxes.clear();
    EXPECT_EQ(CheckWith(body), web::UpdateOutcome::kNoConnection) << body;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Internet connection problems!");
    EXPECT_EQ(boxes[0].style, 16);
  }
}

TEST_F(UpdateCheck, NoServerMeansConnectionProblems) {
  setenv("FLURRIX_SITE", ("http://127.0.0.1:" + std::to_string(webtest::RefusedPort())).c_str(), 1);
  EXPECT_EQ(web::CheckForUpdates(kTitle, 330, kFast), web::UpdateOutcome::kNoConnection);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Internet connection problems!");
  EXPECT_TRUE(links.empty());
}

// ---- The site's addresses and links ----

TEST_F(UpdateCheck, SiteAddressesFollowFlurrixSite) {
  unsetenv("FLURRIX_SITE");
  EXPECT_EQ(web::UpdateFileAddress(), std::string(web::kDefaultSite) + "/files/flurrix.dat");
  setenv("FLURRIX_SITE", "http://mirror.example.org/flurrix//", 1);
  EXPECT_EQ(web::UpdateFileAddress(), "http://mirror.example.org/flurrix/files/flurrix.dat");
  EXPECT_EQ(web::HomePageAddress(), "http://mirror.example.org/flurrix/screensavers/flurrix.html");
  EXPECT_EQ(web::UninstallPageAddress(),
            "http://mirror.example.org/flurrix/screensavers/flurrix-uninstall.html");
  setenv("FLURRIX_SITE", "", 1);
  EXPECT_EQ(web::SiteAddress(), web::kDefaultSite);
}

TEST_F(UpdateCheck, FeedbackLinkCarriesTheTitleAsSubject) {
  EXPECT_EQ(web::FeedbackMailLink(kTitle), "mailto:" + web::SupportMailAddress() +
                                               "?subject=Flurrix%20Screensaver%203.3%20Feedback");
  web::OpenLink(web::FeedbackMailLink(kTitle));
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].rfind("mailto:", 0), 0u);
}

// ---- The whole chain, as a user runs it ----

// Runs the update check program with FLURRIX_SITE at `site` and no display, so that its message
// box is written to stderr. Returns that output; the exit code lands in `outcome`.
std::string RunCheckProgram(const std::string& site, int& outcome) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY FLURRIX_SITE='" + site + "' '" +
                              UPDATE_CHECK_PROGRAM + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char chunk[256];
  while (const size_t got = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
  const int status = pclose(pipe);
  outcome = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

TEST(UpdateCheckProgram, ShowsTheOutcomeOfARealCheck) {
  int outcome = -1;
  LoopbackServer upToDate({"HTTP/1.0 200 OK\r\n\r\n330\r\n"});
  EXPECT_EQ(RunCheckProgram(upToDate.Url("/"), outcome),
            "No Update: " + text::Lookup("Msg", "No Update Text") + "\n");
  EXPECT_EQ(outcome, static_cast<int>(web::UpdateOutcome::kUpToDate));
  EXPECT_EQ(upToDate.Requests().size(), 1u);

  // Without a display the question is answered No: nothing is opened.
  LoopbackServer newer({"HTTP/1.0 200 OK\r\n\r\n331"});
  EXPECT_EQ(RunCheckProgram(newer.Url("/"), outcome),
            "New Update: " + text::Lookup("Msg", "New Update Text") + "\n");
  EXPECT_EQ(outcome, static_cast<int>(web::UpdateOutcome::kNewVersion));

  const std::string nobody = "http://127.0.0.1:" + std::to_string(webtest::RefusedPort());
  EXPECT_EQ(RunCheckProgram(nobody, outcome), "Error: Internet connection problems!\n");
  EXPECT_EQ(outcome, static_cast<int>(web::UpdateOutcome::kNoConnection));
}

}  // namespace
