#pragma once

namespace app {

// The "-U" page: "Next" with the box ticked opens the uninstall web page; closing the window
// opens nothing.
void RunUninstallPage();

}  // namespace app
