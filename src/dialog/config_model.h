// The configuration dialog without a window: every control's state, the rules that show, hide,
// enable and disable controls, the events, validation and saving. A view mirrors State() into
// widgets and reports the user's actions through Choose, Type, Press and DoubleClick.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "dialog/config_layout.h"
#include "images/custom_library.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace dialog {

struct ControlState {
  int32_t value = 0;  // index (-1: none), position, check state, picture number or colour
  std::string text;   // label, or the text of a field (a spin box's number)
  std::vector<std::string> items;  // drop-down lists and the image list
  bool visible = true;
  bool enabled = true;
};

// What the dialog asks of the system, so that tests can answer without windows.
class DialogServices {
 public:
  virtual ~DialogServices() = default;
  // A file requester; `filter` is "description|pattern;pattern". Nothing chosen: empty.
  virtual std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                             const std::string& start, bool multiple) = 0;
  // A folder requester; the chosen folder ends with the separator. Cancelled: "".
  virtual std::string OpenFolder(const std::string& title, const std::string& start) = 0;
  // The update check with its message box.
  virtual void CheckForUpdates() = 0;
};

class ConfigModel : private images::LibraryList {
 public:
  // `s` is written only when OK succeeds; `modes` are the display's modes as the system lists
  // them; `titleText` names the product in the feedback mail.
  ConfigModel(settings::Settings& s, std::vector<platform::DesktopMode> modes,
              DialogServices& services, std::string titleText);

  // Fills every control from the settings and applies every rule.
  void Fill();

  const ControlState& State(Control id) const;
  // Changes that the view must show since the last call: the preview picture's pixels may have
  // changed under the same number.
  uint32_t PictureSerial() const { return pictureSerial_; }

  // The user's actions: picking an item, a slider position, a check state or a list entry
  // (-1 none); typing into a field; pressing a button; double-clicking the list.
  void Choose(Control id, int32_t value);
  void Type(Control id, const std::string& text);
  void Press(Control id);
  void DoubleClick(Control id);
  // The window's close box.
  void Close() { closed_ = true; }

  bool Closed() const { return closed_; }
  // Whether OK saved config.ini. A save that fails shows why and leaves the dialog open.
  bool Saved() const { return saved_; }

 private:
  ControlState& At(Control id) { return controls_.at(id); }
  int32_t Value(Control id) const { return State(id).value; }
  bool On(Control id) const { return State(id).value != 0; }
  // Shows or hides, enables or disables each of `ids`.
  void Show(std::initializer_list<Control> ids, bool visible);
  void Enable(std::initializer_list<Control> ids, bool enabled);
  void SetSpin(Control id, int32_t value);
  void Select(Control id, int32_t index);

  void FillDisplayModes();
  void ApplyRules();
  void UpdateSwatch();
  void ShowPreviewOfSelection();
  void AddImages();
  void RemoveImage();
  void BrowseFile(Control field, const char* title, const std::string& filter);
  void BrowseMusic();
  void Ok();
  void WriteBack(settings::Settings& s) const;

  // images::LibraryList: the image list and its preview picture as the library sees them.
  void Append(const std::string& name) override;
  void RemoveAt(int32_t position) override;
  void ShowPicture(int32_t picture) override;

  settings::Settings& settings_;
  std::vector<platform::DesktopMode> modes_;
  DialogServices& services_;
  std::string titleText_;
  images::CustomImageLibrary library_;
  std::map<Control, ControlState> controls_;
  uint32_t pictureSerial_ = 0;
  bool closed_ = false;
  bool saved_ = false;
};

}  // namespace dialog
