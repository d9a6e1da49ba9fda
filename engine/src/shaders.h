// GLSL 3.30 sources of the engine's programs.
#pragma once

namespace engine::shaders {

// Entities: the world transform arrives per instance as three rows. Both stages are compiled
// per variant, with "#define LAYERS n", "#define LIT 0/1", "#define FOG 0/1" and
// "#define TINTED 0/1" (the material colour applies) put in after the version line, so that plain
// textured surfaces get the shortest code (Mesa's llvmpipe draws those on a much faster path).
inline constexpr const char* kEntityVertex = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec4 aRow0;
layout(location = 4) in vec4 aRow1;
layout(location = 5) in vec4 aRow2;
uniform mat4 uViewProj;
uniform vec2 uUvRotation;  // cos, sin
out vec2 vUv;
#if LIT
uniform vec3 uLightDir;
uniform vec3 uAmbient;
out vec3 vLight;
flat out vec3 vFlatLight;
#endif
#if FOG
uniform vec3 uEye;
uniform vec2 uFog;  // start, 1 / (end - start)
uniform float uFogAmount;
out float vFog;
#endif
void main() {
  vec4 p = vec4(aPos, 1.0);
  vec3 world = vec3(dot(aRow0, p), dot(aRow1, p), dot(aRow2, p));
  gl_Position = uViewProj * vec4(world, 1.0);
  vec2 uv = aUv - 0.5;
  vUv = vec2(uUvRotation.x * uv.x - uUvRotation.y * uv.y,
             uUvRotation.y * uv.x + uUvRotation.x * uv.y) + 0.5;
#if LIT
  vec3 c0 = vec3(aRow0.x, aRow1.x, aRow2.x);
  vec3 c1 = vec3(aRow0.y, aRow1.y, aRow2.y);
  vec3 c2 = vec3(aRow0.z, aRow1.z, aRow2.z);
  // The cofactor matrix keeps normals upright under unequal scale.
  vec3 n = cross(c1, c2) * aNormal.x + cross(c2, c0) * aNormal.y + cross(c0, c1) * aNormal.z;
  float facing = abs(dot(n, uLightDir)) * inversesqrt(max(dot(n, n), 1e-20));
  vLight = uAmbient + (vec3(1.0) - uAmbient) * facing;
  vFlatLight = vLight;
#endif
#if FOG
  vFog = clamp((distance(world, uEye) - uFog.x) * uFog.y, 0.0, 1.0) * uFogAmount;
#endif
}
)";

inline constexpr const char* kEntityFragment = R"(
in vec2 vUv;
uniform vec4 uColor;
uniform sampler2D uLayer0;
uniform sampler2D uLayer1;
uniform sampler2D uLayer2;
uniform sampler2D uLayer3;
#if LIT
in vec3 vLight;
flat in vec3 vFlatLight;
uniform float uFlat;
#endif
#if FOG
in float vFog;
uniform vec3 uFogColor;
#endif
out vec4 fragColor;
void main() {
#if TINTED
  vec4 c = uColor;
#else
  vec4 c = vec4(1.0);
#endif
#if LAYERS > 0
  c *= texture(uLayer0, vUv);
#endif
#if LAYERS > 1
  c *= texture(uLayer1, vUv);
#endif
#if LAYERS > 2
  c *= texture(uLayer2, vUv);
#endif
#if LAYERS > 3
  c *= texture(uLayer3, vUv);
#endif
#if LIT
  c.rgb *= mix(vLight, vFlatLight, uFlat);
#endif
#if FOG
  c.rgb = mix(c.rgb, uFogColor, vFog);
#endif
  fragColor = c;
}
)";

inline constexpr const char* kTextVertex = R"(#version 330 core
layout(location = 0) in vec4 aVertex;  // x, y in line heights; u, v in atlas pixels
uniform mat4 uMvp;
uniform vec2 uAtlasScale;
out vec2 vUv;
void main() {
  gl_Position = uMvp * vec4(aVertex.xy, 0.0, 1.0);
  vUv = aVertex.zw * uAtlasScale;
}
)";

inline constexpr const char* kTextFragment = R"(#version 330 core
in vec2 vUv;
uniform vec4 uColor;
uniform sampler2D uAtlas;
out vec4 fragColor;
void main() {
  fragColor = vec4(uColor.rgb, uColor.a * texture(uAtlas, vUv).r);
}
)";

// Sprites: one quad from the vertex number, no buffers.
inline constexpr const char* kSpriteVertex = R"(#version 330 core
uniform vec4 uRect;  // left, top, right, bottom in clip space
out vec2 vUv;
void main() {
  vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
  gl_Position = vec4(mix(uRect.xy, uRect.zw, corner), 0.0, 1.0);
  vUv = vec2(corner.x, 1.0 - corner.y);
}
)";

inline constexpr const char* kSpriteFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uSprite;
uniform float uUseAlpha;
out vec4 fragColor;
void main() {
  vec4 c = texture(uSprite, vUv);
  fragColor = vec4(c.rgb, mix(1.0, c.a, uUseAlpha));
}
)";

}  // namespace engine::shaders
