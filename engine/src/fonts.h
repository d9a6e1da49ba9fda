// Fonts named by font scripts, their FreeType faces and glyph atlases, and the layout of 3D text
// captions into textured quads.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace engine {

struct FontDef {
  std::string name;
  std::string source;
};

// Reads a font script: "font NAME" starts a definition, "source FILE" gives its file; blank lines
// and lines starting with "#" are skipped. Definitions without a source are dropped.
std::vector<FontDef> ParseFontScript(const std::string& text);

struct Glyph {
  bool drawn = false;                    // has pixels in the atlas
  float advance = 0;                     // in em
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // quad in em, y up, from the pen on the baseline
  int atlasX = 0, atlasY = 0, atlasW = 0, atlasH = 0;
};

struct Font {
  std::string name, path;
  bool tried = false;  // face load attempted
  FT_FaceRec_* face = nullptr;
  std::vector<uint8_t> fileData;                   // FreeType reads the face from here
  float ascent = 0, descent = 0, lineAdvance = 0;  // in em; descent counts downwards
  std::unordered_map<uint32_t, Glyph> glyphs;
  std::vector<uint8_t> atlas;  // 8-bit coverage, top row first
  int atlasWidth = 0, atlasHeight = 0;
  int penX = 0, penY = 0, rowHeight = 0;
  bool atlasDirty = false;
  unsigned gl = 0;
  int glHeight = 0;
};

class Fonts {
 public:
  Fonts() = default;
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;
  ~Fonts();

  // Reads every "*.fontdef" file of the folders; returns the number of fonts known.
  int Scan(const std::vector<std::string>& folders);
  // Index of the named font with its face loaded, or -1.
  int Find(const std::string& name);
  Font& Get(int index) { return fonts_[index]; }
  int Count() const { return static_cast<int>(fonts_.size()); }

  // Lays the caption out as triangles (x, y in line heights, u, v in atlas pixels), placed by
  // the alignment; false for an unknown alignment.
  bool Layout(int font, const std::string& caption, int alignment, std::vector<float>& out);

  // Forgets the atlases' GL names into `dead` (the renderer deletes them).
  void ReleaseGl(std::vector<unsigned>& dead);
  void Clear();

 private:
  const Glyph& GlyphOf(Font& f, uint32_t codepoint);
  bool LoadFace(Font& f);
  void FreeFaces();

  FT_LibraryRec_* library_ = nullptr;
  std::vector<Font> fonts_;
};

}  // namespace engine
