/* The Flurrix 3D engine: the C entries of libflurrix.so / flurrix.dll.
 *
 * The program loads the library at run time, binds every RTO_ entry by name and refuses a library
 * whose RTO_GetVersion is not RTO_VERSION. Only plain C types cross this boundary.
 *
 * Numbers and identities
 *   Every object kind (camera, texture, material, mesh, entity, node, 3D text, sprite) has its own
 *   numbers. A creation call takes a fixed number (0 and up; an object of that number is replaced)
 *   or -1 for "any free number". It returns 0 on failure; on success a fixed number gives the
 *   object's identity (non-zero) and -1 gives the new number (1024 and up, never 0).
 *   Calls that act on an object take its number. Calls that refer to another object (the texture
 *   of a material, the mesh and material of an entity, the object attached to a node) take an
 *   identity from RTO_TextureID, RTO_MaterialID, RTO_MeshID, RTO_EntityID, RTO_NodeID or
 *   RTO_Text3DID; identity 0 names no object (for a material: the engine's default look, white).
 *   Every entry tolerates unknown or freed numbers and identities: it does nothing and returns 0.
 *
 * Conventions
 *   World axes: x right, y up, z towards the viewer. Angles in degrees. Rotations apply about x,
 *   then y, then z (R = Rz * Ry * Rx). Mode 0 sets (absolute), mode 1 adds (relative), for move,
 *   rotate and scale alike. Colours are packed r + g*256 + b*65536 + a*16777216; where a colour
 *   with alpha is expected, pass alpha 255 (0xFF000000 | rgb) for opaque.
 *
 * Screen
 *   The engine creates no window. The caller creates an OpenGL 3.3 core context with a 24-bit depth
 *   buffer, makes it current and calls RTO_OpenScreen with the drawable size, a function that looks
 *   up GL entries (SDL_GL_GetProcAddress fits) and a present callback (which swaps buffers).
 *   All engine calls must come from the thread that owns the context.
 *   More screens (other monitors) are windows that share that context: the caller makes one
 *   current and calls RTO_RenderScreen with its number and drawable size, then presents it itself.
 *   A camera draws on screen 0, the opened one, unless RTO_CameraScreen gives it another.
 *
 * Scene model
 *   Planes lie in the x-z plane facing +y: width along x, height along z. Seen from above with +z
 *   pointing up the view, the texture reads upright. Turned by (90, 0, 0) a plane faces the
 *   viewer; its texture then needs RTO_RotateMaterial(material, 180, 0) to read upright.
 *   Cubes are centred on the origin; cylinders stand on the y axis, centred on the origin.
 *   Entities sharing mesh, material and render queue are drawn together in one instanced call.
 *   Render queues 0..99 draw in increasing order (default 50); within a queue opaque materials
 *   come first, then 3D texts (in the default queue), then blended materials. Blended surfaces
 *   are not sorted by depth: materials that should not hide one another turn depth writing off.
 *   Light: the ambient colour plus a white head light shining along the camera's view, which
 *   fills what the ambient light leaves: lit colour = material * (ambient + (1 - ambient) * |N.L|).
 *   A node carries the position, rotation and scale of what is attached to it; attached objects
 *   keep their own values, which then count in the node's space.
 *
 * Textures
 *   Pixels are 32-bit blue, green, red, alpha; rows are stored bottom row first with a pitch of
 *   4 * width bytes (the image layer's 32-bit bitmap layout). A created texture starts transparent
 *   black. RTO_LockTexture hands out these pixels for drawing; they are uploaded at
 *   RTO_UnlockTexture or at the next render, whichever comes first. RTO_LoadTexture reads BMP,
 *   PNG, JPEG (turned upright by its EXIF orientation) and TGA files through the codec library
 *   shared with the program; a file name is tried as given, then inside each folder registered
 *   with RTO_Add3DArchive. A failed load leaves any texture of that number as it was.
 *
 * Material values
 *   blending mode: 0 opaque, 1 additive, 2 multiply, 3 blend by alpha (texture alpha times
 *     colour alpha). A blended material whose colour alpha is 0 is not drawn at all.
 *   culling mode: 0 back faces culled (default), 1 none (both faces drawn), 2 front faces culled.
 *   filtering mode (mode, value): 0 nearest, 1 bilinear, 2 trilinear, 3 anisotropic with value as
 *     the largest anisotropy (trilinear where the driver has no anisotropic filtering, and on
 *     software rasterisers, where it would cost several times as much per pixel).
 *   shading mode: 0 flat, 1 smooth (default).
 *   colour slot 0: the colour that multiplies the texture layers, alpha included (default white).
 *   attributes: 6 depth write, 10 depth test; value 0 off, 1 on (both on by default).
 *   fog (colour, density, start, end): far surfaces turn towards the fog colour by
 *     density * fog alpha/255 * clamp((distance - start) / (end - start), 0, 1), with the distance
 *     from the camera in world units. Density 0 turns fog off.
 *   layers: up to 4 textures, multiplied; RTO_RemoveMaterialLayer removes the last one.
 *   rotation: the texture turns about its centre, counter-clockwise for positive angles.
 *
 * 3D texts
 *   Flat, in the plane that faces the camera's direction, in their colour with alpha. size is the
 *   height of one line (the font's ascent plus descent) in world units. Alignment, relative to the
 *   text's position: 0 centred on both axes, 1 centred on the baseline, 2 left end on the baseline
 *   (default), 3 right end on the baseline. "\n" starts a new line.
 *   Fonts are named by font scripts: files ending ".fontdef" in the folders registered with
 *   RTO_Add3DArchive, read by RTO_Parse3DScripts. A script holds lines
 *       font Days
 *       source DejaVuSans.ttf
 *   ("#" starts a comment line); each "font" line names a font whose "source" file (TrueType or
 *   OpenType, relative to the script's folder or absolute) follows. Names compare without regard
 *   to case; the first definition of a name wins, in folder order.
 *
 * Anti-aliasing mode: 0 off, 1 the screen's own multisampling (if the context has any),
 *   2 to 16: the engine renders through a multisampled buffer with that many samples.
 */
#ifndef FLURRIX_ENGINE_H
#define FLURRIX_ENGINE_H

#if defined(_WIN32)
#if defined(FLURRIX_ENGINE_BUILD)
#define RTO_API __declspec(dllexport)
#else
#define RTO_API
#endif
#else
#define RTO_API __attribute__((visibility("default")))
#endif

#define RTO_VERSION 530
#define RTO_MAX_SCREEN 15 /* screens a camera can draw on: 0 (the opened one) to this */

/* Mode numbers (see "Material values" and "Conventions" above). */
#define RTO_ABSOLUTE 0 /* move, rotate, scale: set */
#define RTO_RELATIVE 1 /* move, rotate, scale: add */

#define RTO_BLEND_OPAQUE 0
#define RTO_BLEND_ADD 1
#define RTO_BLEND_MULTIPLY 2
#define RTO_BLEND_ALPHA 3

#define RTO_CULL_BACK 0
#define RTO_CULL_NONE 1
#define RTO_CULL_FRONT 2

#define RTO_FILTER_NEAREST 0
#define RTO_FILTER_BILINEAR 1
#define RTO_FILTER_TRILINEAR 2
#define RTO_FILTER_ANISOTROPIC 3

#define RTO_SHADE_FLAT 0
#define RTO_SHADE_SMOOTH 1

#define RTO_ATTR_DEPTH_WRITE 6
#define RTO_ATTR_DEPTH_TEST 10

#define RTO_ALIGN_CENTRE 0
#define RTO_ALIGN_BASELINE_CENTRE 1
#define RTO_ALIGN_BASELINE_LEFT 2
#define RTO_ALIGN_BASELINE_RIGHT 3

#define RTO_ARCHIVE_FOLDER 0 /* RTO_Add3DArchive type */
#define RTO_SPRITE_FILTER_NEAREST 0
#define RTO_SPRITE_FILTER_LINEAR 1

#ifdef __cplusplus
extern "C" {
#endif

typedef void* (*RTO_GetProcAddressFn)(const char* name);
typedef void (*RTO_PresentFn)(void* user);

/* Start and screen */
RTO_API int RTO_GetVersion(void);
RTO_API int RTO_InitEngine3D(void); /* resets the whole engine */
RTO_API int RTO_OpenScreen(int width, int height, RTO_GetProcAddressFn getProcAddress,
                           RTO_PresentFn present, void* user);
RTO_API int RTO_FlipBuffers(void);
RTO_API int RTO_CloseScreen(void); /* releases every object and GL resource */
RTO_API int RTO_AntialiasingMode(int mode);
/* Copies the frame drawn so far (before RTO_FlipBuffers) as 32-bit BGRA rows, bottom row first. */
RTO_API int RTO_ReadScreen(void* pixels, int pitch);

/* World */
RTO_API int RTO_RenderWorld(void); /* the cameras of screen 0 */
/* The cameras of `screen` into the drawable that is current, of width x height pixels. */
RTO_API int RTO_RenderScreen(int screen, int width, int height);
RTO_API int RTO_AmbientColor(int color);
RTO_API int RTO_Add3DArchive(const char* folder, int type); /* type RTO_ARCHIVE_FOLDER */
RTO_API int RTO_Parse3DScripts(void);                       /* returns the number of fonts known */

/* Cameras: viewport in percent of the screen */
RTO_API int RTO_CreateCamera(int camera, float x, float y, float width, float height);
RTO_API int RTO_MoveCamera2(int camera, float x, float y, float z, int mode);
RTO_API int RTO_CameraLookAt(int camera, float x, float y, float z);
RTO_API int RTO_CameraBackColor(int camera, int color);
RTO_API int RTO_CameraFOV(int camera, float degrees); /* vertical field of view */
RTO_API int RTO_CameraScreen(int camera, int screen); /* screen 0..RTO_MAX_SCREEN */

/* Textures */
RTO_API int RTO_CreateTexture(int texture, int width, int height);
RTO_API int RTO_LoadTexture(int texture, const char* file); /* BMP, PNG, JPEG, TGA */
RTO_API void* RTO_LockTexture(int texture, int* width, int* height, int* pitch);
RTO_API int RTO_UnlockTexture(int texture);
RTO_API int RTO_IsTexture(int texture);
RTO_API int RTO_FreeTexture(int texture);
RTO_API int RTO_TextureID(int texture);

/* Materials */
RTO_API int RTO_CreateMaterial(int material, int textureId);
RTO_API int RTO_MaterialID(int material);
RTO_API int RTO_MaterialBlendingMode(int material, int mode);
RTO_API int RTO_MaterialCullingMode(int material, int mode);
RTO_API int RTO_MaterialFilteringMode2(int material, int mode, int value);
RTO_API int RTO_MaterialFog(int material, int color, float density, float start, float end);
RTO_API int RTO_MaterialShadingMode(int material, int mode);
RTO_API int RTO_SetMaterialColor(int material, int slot, int color);
RTO_API int RTO_SetMaterialAttribute(int material, int attribute, int value);
RTO_API int RTO_DisableMaterialLighting(int material, int disable);
RTO_API int RTO_AddMaterialLayer(int material, int textureId);
RTO_API int RTO_RemoveMaterialLayer(int material);
RTO_API int RTO_RotateMaterial(int material, float angle, int mode);

/* Meshes */
RTO_API int RTO_CreatePlane(int mesh, float width, float height, int widthSegments,
                            int heightSegments, float uTiles, float vTiles);
RTO_API int RTO_CreateCube(int mesh, float size);
RTO_API int RTO_CreateCylinder(int mesh, float radius, float height);
RTO_API int RTO_MeshID(int mesh);

/* Entities */
RTO_API int RTO_CreateEntity2(int entity, int meshId, int materialId); /* at the origin */
RTO_API int RTO_CreateEntity3(int entity, int meshId, int materialId, float x, float y, float z);
RTO_API int RTO_CopyEntity(int entity, int newEntity); /* visible, same node, same values */
RTO_API int RTO_EntityID(int entity);
RTO_API int RTO_MoveEntity2(int entity, float x, float y, float z, int mode);
RTO_API int RTO_RotateEntity(int entity, float x, float y, float z); /* absolute */
RTO_API int RTO_RotateEntity2(int entity, float x, float y, float z, int mode);
RTO_API int RTO_ScaleEntity(int entity, float x, float y, float z); /* absolute */
RTO_API int RTO_ScaleEntity2(int entity, float x, float y, float z, int mode);
RTO_API int RTO_HideEntity(int entity, int hide);
RTO_API int RTO_SetRenderQueue(int entity, int queue); /* 0..99 */
RTO_API int RTO_IsEntity(int entity);
RTO_API int RTO_FreeEntity(int entity);

/* Nodes */
RTO_API int RTO_CreateNode2(int node, float x, float y, float z);
RTO_API int RTO_NodeID(int node);
/* Attaches an entity, 3D text or node (by identity); 0 when that would make a loop. */
RTO_API int RTO_AttachNodeObject(int node, int objectId);
RTO_API int RTO_MoveNode2(int node, float x, float y, float z, int mode);
RTO_API int RTO_RotateNode2(int node, float x, float y, float z, int mode);
RTO_API int RTO_ScaleNode2(int node, float x, float y, float z, int mode);
RTO_API float RTO_NodeX2(int node); /* the node's own position; 0 for an unknown node */
RTO_API float RTO_NodeY2(int node);
RTO_API float RTO_NodeZ2(int node);
RTO_API int RTO_IsNode(int node);
RTO_API int RTO_FreeNode(int node); /* what was attached stays, detached */

/* 3D texts */
RTO_API int RTO_CreateText3D2(int text, const char* caption, const char* font, float size,
                              int color);
RTO_API int RTO_Text3DID(int text);
RTO_API int RTO_IsText3D(int text);
RTO_API int RTO_Text3DAlignment(int text, int alignment);
RTO_API int RTO_MoveText3D(int text, float x, float y, float z); /* absolute */
RTO_API int RTO_Text3DCaption(int text, const char* caption);
RTO_API int RTO_FreeText3D(int text);

/* Sprites: 2D pictures drawn over the rendered frame, at once, in call order.
 * pixels: rows bottom row first (the image layer's layout), depth 24 (BGR) or 32 (BGRA), pitch in
 * bytes. flags RTO_SPRITE_ALPHA keeps a 32-bit picture's alpha channel; otherwise it is opaque. */
#define RTO_SPRITE_ALPHA 8
RTO_API int RTO_CreateSprite(int sprite, const void* pixels, int width, int height, int depth,
                             int pitch, int flags);
RTO_API int RTO_IsSprite(int sprite);
RTO_API int RTO_FreeSprite(int sprite);
/* Top-left corner at pixel (x, y); width or height 0 or less: the sprite's own size. */
RTO_API int RTO_DisplaySprite(int sprite, int x, int y, int width, int height);
RTO_API int RTO_SpriteFilteringMode(int mode); /* 0 nearest, 1 linear */

#ifdef __cplusplus
}
#endif

#endif /* FLURRIX_ENGINE_H */
