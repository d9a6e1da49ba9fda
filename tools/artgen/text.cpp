#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace artgen {

struct Font::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

Font::Font() : impl_(new Impl) {}

Font::~Font() {
  if (impl_->face) FT_Done_Face(impl_->face);
  if (impl_->library) FT_Done_FreeType(impl_->library);
  delete impl_;
}

bool Font::Load(const std::string& path) {
  if (!impl_->library && FT_Init_FreeType(&impl_->library) != 0) return false;
  return FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) == 0;
}

namespace {

// 26.6 fixed point to pixels.
float Px(FT_Pos v) {
  return static_cast<float>(v) / 64.0f;
}

}  // namespace

float Font::Measure(const std::string& text, float size) const {
  FT_Face face = impl_->face;
  if (!face) return 0.0f;
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(size * 64.0f)), 72, 72);
  float width = 0.0f;
  FT_UInt previous = 0;
  for (unsigned char ch : text) {
    FT_UInt glyph = FT_Get_Char_Index(face, ch);
    if (previous && glyph) {
      FT_Vector kern;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &kern) == 0)
        width += Px(kern.x);
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING) == 0) width += Px(face->glyph->advance.x);
    previous = glyph;
  }
  return width;
}

void Font::Draw(Canvas& c, const std::string& text, float x, float baseline, float size,
                Color color) const {
  FT_Face face = impl_->face;
  if (!face) return;
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(size * 64.0f)), 72, 72);
  float pen = x;
  FT_UInt previous = 0;
  for (unsigned char ch : text) {
    FT_UInt glyph = FT_Get_Char_Index(face, ch);
    if (previous && glyph) {
      FT_Vector kern;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &kern) == 0) pen += Px(kern.x);
    }
    previous = glyph;
    // Place the outline at the exact sub-pixel pen position before rendering it.
    float whole = std::floor(pen);
    FT_Vector shift{static_cast<FT_Pos>(std::lround((pen - whole) * 64.0f)), 0};
    FT_Set_Transform(face, nullptr, &shift);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) continue;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    int left = static_cast<int>(whole) + slot->bitmap_left;
    int top = static_cast<int>(std::lround(baseline)) - slot->bitmap_top;
    for (unsigned int row = 0; row < bm.rows; ++row) {
      for (unsigned int col = 0; col < bm.width; ++col) {
        unsigned char v = bm.buffer[row * static_cast<unsigned int>(bm.pitch) + col];
        if (v)
          c.Blend(left + static_cast<int>(col), top + static_cast<int>(row), color, v / 255.0f);
      }
    }
    pen += Px(slot->advance.x);
  }
  FT_Set_Transform(face, nullptr, nullptr);
}

}  // namespace artgen
