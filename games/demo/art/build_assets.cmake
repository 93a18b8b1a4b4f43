# Run by the build: draws the sources into OUT/src, packs them into
# OUT/sprite and OUT/sound, then touches STAMP.
cmake_minimum_required(VERSION 3.21)
# -DMAKE_ART=path -DPACK=path -DOUT=dir -DSTAMP=file
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/src ${OUT}/sprite ${OUT}/sound)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "demo assets: '${ARGN}' failed (${status}): ${err}")
  endif()
endfunction()

run(${MAKE_ART} ${OUT}/src)
set(PAL ${OUT}/sprite/pal.pal)
# Additive blending: blended pixels brighten what lies below (glows, fire,
# nebulae, the bomb's ring).
run(${PACK} palette ${OUT}/src/palette.png ${PAL} --additive)

file(STRINGS ${OUT}/src/sheets.txt sheets)
foreach(line IN LISTS sheets)
  separate_arguments(f UNIX_COMMAND "${line}")
  list(GET f 0 name)
  list(GET f 1 cell)
  list(GET f 2 count)
  list(GET f 3 kind)
  if(kind STREQUAL "font")
    # Monospaced: the space is as wide as a cell; one blank row between lines.
    string(REGEX REPLACE "x.*" "" w "${cell}")
    string(REGEX REPLACE ".*x" "" h "${cell}")
    math(EXPR line_height "${h} + 1")
    run(${PACK} font ${OUT}/src/${name}.png ${OUT}/sprite/${name}.spr --cell ${cell} --first 32
        --count ${count} --space ${w} --line ${line_height} --palette ${PAL})
  else()
    run(${PACK} sprites ${OUT}/src/${name}.png ${OUT}/sprite/${name}.spr --cell ${cell}
        --count ${count} --palette ${PAL})
  endif()
endforeach()

file(GLOB sounds ${OUT}/src/*.wav)
file(COPY ${sounds} DESTINATION ${OUT}/sound)
file(TOUCH ${STAMP})
