# The browser build: the engine compiled to WebAssembly by Emscripten, with
# the browser backends (backend/web_*.cpp) and app/web_main.cpp. Included by
# the top CMakeLists.txt only under Emscripten's toolchain (./make.sh web).
#
# C++ exceptions are the JavaScript-based ones (-fexceptions) and the frame
# wait unwinds the stack with Asyncify: the one pairing Emscripten 3.1.6 runs
# (wasm exceptions with Asyncify crash its optimiser). Lua errors are C++
# exceptions here, so Lua and luabind are compiled the same way.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

add_subdirectory(third_party)

set(LUNASHOT_WARNINGS -Wall -Wextra)

# Boost is headers only; the host's are used (make.sh points Boost_INCLUDE_DIR
# at a folder holding only them, so no other host header is seen).
find_package(Boost REQUIRED)
include_directories(SYSTEM ${Boost_INCLUDE_DIRS})

# A layer as in the native build; `skip` drops files that need SDL or libpng.
function(lunashot_web_layer name)
  cmake_parse_arguments(L "" "SKIP" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${name}/*.cpp)
  if(L_SKIP)
    list(FILTER sources EXCLUDE REGEX "${L_SKIP}")
  endif()
  add_library(lunashot_${name} STATIC ${sources})
  target_include_directories(lunashot_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(lunashot_${name} PRIVATE ${LUNASHOT_WARNINGS})
  target_link_libraries(lunashot_${name} PUBLIC ${L_LINKS})
endfunction()

# The base files over desktop libraries are replaced by web/base_web.cpp.
lunashot_web_layer(base SKIP "/(png_file|gif_file|sound_file)\\.cpp$")
target_sources(lunashot_base PRIVATE ${PROJECT_SOURCE_DIR}/web/base_web.cpp)
add_library(lunashot_platform INTERFACE)
target_include_directories(lunashot_platform INTERFACE ${PROJECT_SOURCE_DIR})
lunashot_web_layer(script LINKS lunashot_base lunashot_platform luabind)
lunashot_web_layer(video LINKS lunashot_base lunashot_platform)
lunashot_web_layer(sound LINKS lunashot_base lunashot_platform Boost::headers)
lunashot_web_layer(object LINKS lunashot_video lunashot_script)
lunashot_web_layer(event LINKS lunashot_object lunashot_script)
lunashot_web_layer(runtime LINKS lunashot_event lunashot_sound)
# The SDL backends stay out; the headless pieces (virtual clock, scripted
# buttons) serve the page's test mode.
lunashot_web_layer(backend SKIP "/(sdl_[^/]*|real_clock|silent_audio)\\.cpp$"
                   LINKS lunashot_runtime)

add_executable(lunashot app/web_main.cpp)
target_compile_options(lunashot PRIVATE ${LUNASHOT_WARNINGS})
target_link_libraries(lunashot PRIVATE lunashot_backend)
# The game folder is packaged separately (make.sh web), so one engine build
# serves every game. EXIT_RUNTIME: the page learns the exit status.
target_link_options(lunashot PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=262144 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=['FS','callMain']")
