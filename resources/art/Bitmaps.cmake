# The editor's bitmaps, drawn as SVG in this folder and made at build time:
# rsvg-convert renders each drawing to PNG, ImageMagick hands its pixels on as
# PAM, and sombrevox-art (tools/art, built here with the host's compiler, since
# the module itself is cross-compiled) cuts the images out, makes them opaque
# or keys them on pure blue, reduces them to 8 bits per pixel with a
# 256-entry colour table and checks every file it wrote.
#
# Sets SOMBREVOX_BITMAP_DIR (where the .bmp files are) and
# SOMBREVOX_BITMAP_FILES (the files, for the resource script's dependencies).

include(${PROJECT_SOURCE_DIR}/cmake/HostTool.cmake)

find_program(SOMBREVOX_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(SOMBREVOX_IMAGEMAGICK NAMES convert-im6.q16 convert REQUIRED)
find_program(SOMBREVOX_FC_MATCH fc-match REQUIRED)

# The drawings name DejaVu Sans; a machine without it would render the labels
# in whatever font stands in for it.
foreach(face "DejaVu Sans:style=Book" "DejaVu Sans:style=Bold" "DejaVu Sans Condensed:style=Condensed Bold")
  execute_process(COMMAND ${SOMBREVOX_FC_MATCH} -f "%{family}" "${face}" OUTPUT_VARIABLE found)
  string(REGEX REPLACE ":.*" "" wanted "${face}")
  if(NOT found MATCHES "${wanted}")
    message(FATAL_ERROR "The font \"${face}\" is missing (found \"${found}\"): run tools/setup.sh")
  endif()
endforeach()

set(art_source ${CMAKE_CURRENT_SOURCE_DIR}/art)
set(art_tool_source ${PROJECT_SOURCE_DIR}/tools/art)
set(SOMBREVOX_BITMAP_DIR ${CMAKE_CURRENT_BINARY_DIR}/bitmaps)
set(art_work ${SOMBREVOX_BITMAP_DIR}/work)
file(MAKE_DIRECTORY ${art_work})

set(art_tool ${art_work}/sombrevox-art)
set(art_tool_sources ${art_tool_source}/ArtImage.cpp ${art_tool_source}/Palette.cpp ${art_tool_source}/Bmp8.cpp
                     ${art_tool_source}/ArtMain.cpp)
sombrevox_host_executable(${art_tool} SOURCES ${art_tool_sources}
  DEPENDS ${art_tool_source}/ArtImage.h ${art_tool_source}/Palette.h ${art_tool_source}/Bmp8.h)

# drawing.svg -> work/drawing.png -> work/drawing.pam
function(sombrevox_render_drawing name)
  add_custom_command(OUTPUT ${art_work}/${name}.pam ${art_work}/${name}.png
    COMMAND ${SOMBREVOX_RSVG_CONVERT} -o ${art_work}/${name}.png ${art_source}/${name}.svg
    COMMAND ${SOMBREVOX_IMAGEMAGICK} ${art_work}/${name}.png pam:${art_work}/${name}.pam
    DEPENDS ${art_source}/${name}.svg
    COMMENT "Rendering ${name}.svg"
    VERBATIM)
endfunction()

# One bitmap from a rendered drawing: sombrevox_make_bitmap(file.bmp drawing
# SIZE WxH [MAKE options of sombrevox-art make] [CHECK options of its check]
# [DEPENDS further inputs]).
function(sombrevox_make_bitmap file drawing)
  cmake_parse_arguments(B "" "SIZE" "MAKE;CHECK;DEPENDS" ${ARGN})
  set(out ${SOMBREVOX_BITMAP_DIR}/${file})
  add_custom_command(OUTPUT ${out}
    COMMAND ${art_tool} make ${art_work}/${drawing}.pam ${out} ${B_MAKE}
    COMMAND ${art_tool} check ${out} ${B_SIZE} ${B_CHECK}
    DEPENDS ${art_tool} ${art_work}/${drawing}.pam ${B_DEPENDS}
    COMMENT "Making ${file}"
    VERBATIM)
  set(SOMBREVOX_BITMAP_FILES ${SOMBREVOX_BITMAP_FILES} ${out} PARENT_SCOPE)
endfunction()

foreach(drawing skin knob slider-cap select-buttons about-panel)
  sombrevox_render_drawing(${drawing})
endforeach()

set(skin_pam ${art_work}/skin.pam)
# The display draws its text and level meter straight on the skin's panel.
sombrevox_make_bitmap(skin.bmp skin SIZE 430x110 CHECK --flat 141,34,184,38)
sombrevox_make_bitmap(about-panel.bmp about-panel SIZE 220x220)
# The fader cap's block is pixel-aligned: nothing to blend.
sombrevox_make_bitmap(slider-cap.bmp slider-cap SIZE 50x50
  MAKE --keyed CHECK --key-outside-rect 13,13,23,24)
# The knob's edge is blended over the skin's well, where the knob is drawn.
foreach(face a b)
  if(face STREQUAL a)
    set(x 0)
  else()
    set(x 81)
  endif()
  sombrevox_make_bitmap(knob-${face}.bmp knob SIZE 81x81
    MAKE --crop ${x},0,81,81 --keyed --over ${skin_pam} 11,13
    CHECK --key-outside-disc 40,40,36,41.5
    DEPENDS ${skin_pam})
endforeach()
# The buttons are opaque: their surroundings are the skin they are drawn on.
set(cell 0)
foreach(button right-lit right-dim left-lit left-dim)
  if(button MATCHES "^right")
    set(at 111,80)
  else()
    set(at 89,80)
  endif()
  sombrevox_make_bitmap(${button}.bmp select-buttons SIZE 22x19
    MAKE --crop ${cell},0,22,19 --over ${skin_pam} ${at}
    DEPENDS ${skin_pam})
  math(EXPR cell "${cell} + 22")
endforeach()

add_custom_target(sombrevox_bitmaps DEPENDS ${SOMBREVOX_BITMAP_FILES})
