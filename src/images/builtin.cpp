#include "images/builtin.h"

#include "images/pictures.h"

namespace images {

int32_t LoadBuiltinPictures(std::span<const EmbeddedFile> files,
                            std::span<const BuiltinPicture> table) {
  int32_t loaded = 0;
  for (const BuiltinPicture& entry : table) {
    const EmbeddedFile* file = FindEmbedded(files, entry.file);
    if (!file || entry.offset > file->size) continue;
    const size_t rest = file->size - entry.offset;
    const size_t length = entry.length == 0 ? rest : entry.length;
    if (length > rest) continue;
    if (LoadPictureFromMemory(entry.number, file->data + entry.offset, length) != kNoPicture) {
      ++loaded;
    }
  }
  return loaded;
}

}  // namespace images
