#include "images/custom_library.h"

#include <algorithm>
#include <cctype>

#include "images/codecs.h"
#include "images/drawing.h"
#include "images/pictures.h"
#include "platform/platform.h"

namespace images {
namespace {

constexpr int32_t kThumbnailWidth = 100;
constexpr int32_t kThumbnailHeight = 75;
constexpr int32_t kLibraryQuality = 10;   // libjpeg quality 100
constexpr int32_t kThumbnailQuality = 7;  // libjpeg quality 70

// The file name of `path` without folder and extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of(platform::kSep == '/' ? "/" : "/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool Exists(const std::string& path) {
  return platform::FileSize(path) >= 0 || platform::FolderExists(path);
}

bool IsJpgName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".jpg";
}

}  // namespace

CustomImageLibrary::CustomImageLibrary(std::string configFolder, int32_t desktopDepth)
    : configFolder_(std::move(configFolder)), depth_(desktopDepth) {}

std::string CustomImageLibrary::LibraryFolder() const {
  return configFolder_ + "imgs" + platform::kSep;
}
std::string CustomImageLibrary::ThumbnailFolder() const {
  return configFolder_ + "thumbs" + platform::kSep;
}

std::string CustomImageLibrary::AddPicture(const std::string& source, LibraryList& list,
                                           int32_t width, int32_t height) {
  const std::string library = LibraryFolder(), thumbnails = ThumbnailFolder();
  if (!platform::FolderExists(library)) platform::CreateFolder(library);
  if (!platform::FolderExists(thumbnails)) platform::CreateFolder(thumbnails);

  // A JPEG much larger than the stored size is decoded at a reduced DCT scale, never below it.
  std::vector<uint8_t> data;
  Image picture, sourceImage;
  if (!ReadWholeFile(source, data) ||
      !DecodeImageAtLeast(data.data(), data.size(), width, height, sourceImage)) {
    return "";
  }
  data = {};
  if (!AllocateImage(picture, width, height, depth_ == 32 ? 32 : 24)) return "";
  if (std::optional<DrawTarget> target = StartDrawing(picture)) {
    DrawImageStretched(*target, sourceImage, 0, 0, width, height);  // leaves every pixel opaque
  }
  sourceImage = {};

  const std::string base = BaseName(source);
  std::string candidate = base;
  for (int64_t counter = 1; Exists(library + candidate + ".jpg"); ++counter) {
    candidate = base + std::to_string(counter);
  }
  const std::string name = candidate + ".jpg";
  if (!EncodeImageFile(picture, library + name, kTagJpeg, kLibraryQuality)) return "";
  list.Append(name);

  // The thumbnail is best effort: without it the entry simply shows none.
  if (ResizeImage(picture, kThumbnailWidth, kThumbnailHeight, kResizeSmooth)) {
    EncodeImageFile(picture, thumbnails + name, kTagJpeg, kThumbnailQuality);
  }
  return name;
}

bool CustomImageLibrary::RemovePicture(int32_t position, const std::string& name,
                                       LibraryList& list) {
  const std::string file = LibraryFolder() + name;
  if (platform::FileSize(file) <= 0 || !platform::RemoveFile(file)) return false;
  const std::string thumbnail = ThumbnailFolder() + name;
  if (platform::FileSize(thumbnail) > 0) platform::RemoveFile(thumbnail);
  list.RemoveAt(position);
  return true;
}

void CustomImageLibrary::FillList(LibraryList& list) {
  for (const platform::FolderEntry& entry : platform::ListFiles(LibraryFolder())) {
    if (entry.size > 0 && IsJpgName(entry.name)) list.Append(entry.name);
  }
}

bool CustomImageLibrary::ShowThumbnail(const std::string& name, LibraryList& list) {
  if (LoadPicture(kThumbnailPicture, ThumbnailFolder() + name) == kNoPicture) return false;
  list.ShowPicture(kThumbnailPicture);
  return true;
}

}  // namespace images
