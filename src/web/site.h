// The maker's web site: one base address, replaceable with FLURRIX_SITE (tests, mirrors), and the
// operation that opens web and mail links.
#pragma once

#include <functional>
#include <string>

namespace web {

inline constexpr const char* kDefaultSite = "http://flurrix.example.com";

// The base address without a trailing slash: $FLURRIX_SITE when set, else kDefaultSite.
std::string SiteAddress();

std::string UpdateFileAddress();     // the update information file
std::string HomePageAddress();       // the product home page
std::string UninstallPageAddress();  // the page the uninstall switch opens
std::string SupportMailAddress();    // the support address, without "mailto:"

// The feedback mail link: "mailto:" + the support address + "?subject=" + `titleText` +
// " Feedback", with blanks written as %20 so that every mail program reads the whole subject.
std::string FeedbackMailLink(const std::string& titleText);

// Opens a web page or mail link in the user's programs; a failure is silent.
void OpenLink(const std::string& address);

// Replaces what OpenLink does (tests record the links instead of opening them); an empty opener
// restores the platform's. Returns the previous opener.
using LinkOpener = std::function<void(const std::string& address)>;
LinkOpener SetLinkOpener(LinkOpener opener);

}  // namespace web
