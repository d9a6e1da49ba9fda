#include "web/update_check.h"

#include "text/language_table.h"
#include "text/message_box.h"
#include "text/number.h"
#include "web/site.h"

namespace web {

UpdateOutcome CheckForUpdates(const std::string& titleText, int32_t ownVersion,
                              const FetchLimits& limits) {
  const int32_t newest = text::ReadNumber(FetchToken(UpdateFileAddress(), titleText, limits));
  if (newest == 0) {
    text::ShowError(text::Lookup("Msg", "Internet connection problems"));
    return UpdateOutcome::kNoConnection;
  }
  if (newest > ownVersion) {
    const platform::MessageAnswer answer =
        text::ShowMessage(text::Lookup("Msg", "New Update"), text::Lookup("Msg", "New Update Text"),
                          platform::kStyleQuestion);
    if (answer == platform::kAnswerYes) OpenLink(HomePageAddress());
    return UpdateOutcome::kNewVersion;
  }
  text::ShowMessage(text::Lookup("Msg", "No Update"), text::Lookup("Msg", "No Update Text"),
                    platform::kStyleInfo);
  return UpdateOutcome::kUpToDate;
}

}  // namespace web
