# What artgen makes, for the build rule that runs it and for the targets that embed its pictures.
# Include this file from any folder: it only sets variables.
set(FLURRIX_BUILTIN_DIR ${CMAKE_BINARY_DIR}/generated/builtin)
set(FLURRIX_CONTENT_DIR ${CMAKE_BINARY_DIR}/data)

# Built-in pictures by number: 0 banner, 1 preview, 3 placeholder (also 4), 5-11 icons,
# 12-19 dialog flakes (5056 bytes each), then the eight flake pictures of the run.
set(FLURRIX_BUILTIN_PICTURES)
foreach(name
    picture00.bmp picture01.bmp picture03.bmp
    picture05.png picture06.png picture07.png picture08.png picture09.png picture10.png
    picture11.png
    picture12.bmp picture13.bmp picture14.bmp picture15.bmp picture16.bmp picture17.bmp
    picture18.bmp picture19.bmp
    flake1.png flake2.png flake3.png flake4.png flake5.png flake6.png flake7.png flake8.png)
  list(APPEND FLURRIX_BUILTIN_PICTURES ${FLURRIX_BUILTIN_DIR}/${name})
endforeach()

set(FLURRIX_CONTENT_FILES)
foreach(name
    forest/misty_pines.jpg forest/moonlit_night.jpg forest/dawn.jpg forest/dusk.jpg
    forest/frozen_lake.jpg forest/mountains.jpg forest/light_through_trees.jpg forest/aurora.jpg
    gradient/glacier.jpg gradient/twilight.jpg gradient/frost.jpg gradient/polar_night.jpg
    gradient/dawn_mist.jpg gradient/evergreen.jpg gradient/snow_glow.jpg gradient/northern_sky.jpg
    snowflakes/myflake2.png foreground/happynewyear.bmp
    font/DejaVuSans.ttf font/LICENSE font/days.fontdef
    music/forest.mp3 music/snowfall.wav)
  list(APPEND FLURRIX_CONTENT_FILES ${FLURRIX_CONTENT_DIR}/${name})
endforeach()

# The target that produces all of the above; depend on it before reading the files.
set(FLURRIX_ARTGEN_TARGET artgen_content)

# Every picture above on one sheet, to look at them together.
set(FLURRIX_ARTWORK_SHEET ${CMAKE_BINARY_DIR}/artwork.png)
