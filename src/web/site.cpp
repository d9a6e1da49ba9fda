#include "web/site.h"

#include <cstdlib>

#include "platform/platform.h"

namespace web {
namespace {

LinkOpener& CurrentOpener() {
  static LinkOpener opener;
  return opener;
}

}  // namespace

std::string SiteAddress() {
  const char* site = std::getenv("FLURRIX_SITE");
  std::string base = site && *site ? site : kDefaultSite;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

std::string UpdateFileAddress() {
  return SiteAddress() + "/files/flurrix.dat";
}
std::string HomePageAddress() {
  return SiteAddress() + "/screensavers/flurrix.html";
}
std::string UninstallPageAddress() {
  return SiteAddress() + "/screensavers/flurrix-uninstall.html";
}
std::string SupportMailAddress() {
  return "support@flurrix.example.com";
}

std::string FeedbackMailLink(const std::string& titleText) {
  std::string link = "mailto:" + SupportMailAddress() + "?subject=";
  for (const char c : titleText + " Feedback") {
    if (c == ' ') {
      link += "%20";
    } else {
      link += c;
    }
  }
  return link;
}

void OpenLink(const std::string& address) {
  const LinkOpener& opener = CurrentOpener();
  if (opener) {
    opener(address);
  } else {
    platform::OpenAddress(address);
  }
}

LinkOpener SetLinkOpener(LinkOpener opener) {
  LinkOpener previous = std::move(CurrentOpener());
  CurrentOpener() = std::move(opener);
  return previous;
}

}  // namespace web
