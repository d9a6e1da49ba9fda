// The update check: asks the maker's site for the newest version number and tells the user.
#pragma once

#include <cstdint>
#include <string>

#include "web/http_client.h"

namespace web {

enum class UpdateOutcome {
  kNoConnection,  // no answer, or no number in it: "Internet connection problems!"
  kNewVersion,    // a newer version: the question whether to open the home page
  kUpToDate,      // the same, an older or a negative number: "No Update"
};

// Fetches the update file with `titleText` as user agent, compares its number with `ownVersion`
// (330 is 3.3.0) and shows the outcome's message box; on Yes to a newer version opens the home
// page. Returns once the box is closed.
UpdateOutcome CheckForUpdates(const std::string& titleText, int32_t ownVersion,
                              const FetchLimits& limits = {});

}  // namespace web
