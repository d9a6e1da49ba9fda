// The custom picture library: the user's pictures stored as 800 x 600 JPEG files in
// configFolder + "imgs", with 100 x 75 thumbnails of the same names in configFolder + "thumbs".
#pragma once

#include <cstdint>
#include <string>

namespace images {

// The dialog's list of library entries and its thumbnail box, as the library sees them.
class LibraryList {
 public:
  virtual ~LibraryList() = default;
  virtual void Append(const std::string& name) = 0;
  virtual void RemoveAt(int32_t position) = 0;
  // Picture `picture` of the image layer now holds the thumbnail to show.
  virtual void ShowPicture(int32_t picture) = 0;
};

// The picture number that holds the thumbnail shown (replacing the built-in placeholder).
inline constexpr int32_t kThumbnailPicture = 3;

class CustomImageLibrary {
 public:
  // `configFolder` ends with the separator; `desktopDepth` is the depth of stored pictures.
  CustomImageLibrary(std::string configFolder, int32_t desktopDepth);

  std::string LibraryFolder() const;
  std::string ThumbnailFolder() const;

  // Copies the picture at `source` into the library, stretched to width x height, and appends
  // its entry name to `list`. Returns the entry name, or "" when the source could not be read
  // or the library file not written (a missing thumbnail is no failure).
  std::string AddPicture(const std::string& source, LibraryList& list, int32_t width = 800,
                         int32_t height = 600);
  // Deletes entry `name` and its thumbnail and removes list position `position`, only when the
  // library file existed, was not empty and its deletion succeeded.
  bool RemovePicture(int32_t position, const std::string& name, LibraryList& list);
  // Appends every library entry: the *.jpg files above 0 bytes, in directory order.
  void FillList(LibraryList& list);
  // Loads the entry's thumbnail as kThumbnailPicture and shows it; false (nothing shown) when it
  // cannot be loaded.
  bool ShowThumbnail(const std::string& name, LibraryList& list);

 private:
  std::string configFolder_;
  int32_t depth_;
};

}  // namespace images
