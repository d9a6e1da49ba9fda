#include "web/site.h"

#include <cstdlib>

#include "platform/platform.h"

namespace web {

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

void OpenLink(const std::string& address) {
  platform::OpenAddress(address);
}

}  // namespace web
