# Run by the build: draws the sources into OUT/art/src, then packs them with
# the game's own build file (games/demo/art/build.txt, copied to
# OUT/art/build.txt) into OUT/sprite and OUT/sound, then touches STAMP.
cmake_minimum_required(VERSION 3.21)
# -DMAKE_ART=path -DPACK=path -DBUILD_TXT=file -DOUT=dir -DSTAMP=file
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/art/src ${OUT}/sprite ${OUT}/sound)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "demo assets: '${ARGN}' failed (${status}): ${err}")
  endif()
endfunction()

run(${MAKE_ART} ${OUT}/art/src)
file(COPY_FILE ${BUILD_TXT} ${OUT}/art/build.txt)
run(${PACK} build ${OUT})
file(TOUCH ${STAMP})
