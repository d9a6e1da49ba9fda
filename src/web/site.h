// The maker's web site: one base address, replaceable with FLURRIX_SITE (tests, mirrors).
#pragma once

#include <string>

namespace web {

inline constexpr const char* kDefaultSite = "http://flurrix.example.com";

// The base address without a trailing slash: $FLURRIX_SITE when set, else kDefaultSite.
std::string SiteAddress();

std::string UpdateFileAddress();     // the update information file
std::string HomePageAddress();       // the product home page
std::string UninstallPageAddress();  // the page the uninstall switch opens
std::string SupportMailAddress();    // the support address, without "mailto:"

// Opens a web page or mail link in the user's programs; a failure is silent.
void OpenLink(const std::string& address);

}  // namespace web
