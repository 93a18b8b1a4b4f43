# The browser build: the engine compiled to WebAssembly by Emscripten, with
# the browser backends (backend/web/) and app/web_main.cpp. Included by
# the top CMakeLists.txt only under Emscripten's toolchain (./make.sh web),
# before the layers, which that file defines for both builds.
#
# C++ exceptions are the JavaScript-based ones (-fexceptions) and the frame
# wait unwinds the stack with Asyncify: the one pairing Emscripten 3.1.6 runs
# (wasm exceptions with Asyncify crash its optimiser). Lua errors are C++
# exceptions here, so Lua and luabind are compiled the same way.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# WebAssembly SIMD (every current browser runs it): the masked sprite rows
# merge 16 bytes an instruction, as with SSE2 on the desktop.
add_compile_options(-msimd128)

# Boost is headers only; the host's are used (make.sh points Boost_INCLUDE_DIR
# at a folder holding only them, so no other host header is seen).
find_package(Boost REQUIRED)
include_directories(SYSTEM ${Boost_INCLUDE_DIRS})

# The codec wrappers over desktop libraries (base/codec) are replaced by
# web/base_web.cpp and web/md5.cpp (nettle's MD5 on the desktop); the SDL
# backends stay out, and the headless ones (virtual clock, silent audio)
# serve the page's test mode.
set(LUNASHOT_BASE_DIRS "")
set(LUNASHOT_BACKEND_DIRS web headless)
set(LUNASHOT_BASE_LINKS "")
set(LUNASHOT_BACKEND_LINKS "")

# What the page's code is linked with, and so the benchmark's too.
set(LUNASHOT_WEB_LINK_OPTIONS
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=262144 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)

# The page's engine, once the layers are defined. The game folder is
# packaged separately (make.sh web), so one engine build serves every game.
# EXIT_RUNTIME: the page learns the exit status.
function(lunashot_web_app)
  target_sources(lunashot_base PRIVATE ${PROJECT_SOURCE_DIR}/web/base_web.cpp
                                       ${PROJECT_SOURCE_DIR}/web/md5.cpp)
  add_executable(lunashot app/web_main.cpp app/start.cpp)
  target_compile_options(lunashot PRIVATE ${LUNASHOT_WARNINGS})
  target_link_libraries(lunashot PRIVATE lunashot_runtime lunashot_backend)
  target_link_options(lunashot PRIVATE ${LUNASHOT_WEB_LINK_OPTIONS}
    -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
    "-sEXPORTED_RUNTIME_METHODS=['FS','callMain']")
endfunction()

# world_bench's frame timed by a plain loop (bench/web/world_frames.cpp),
# run under node by ./make.sh web-bench; built only on request. Its module
# is compiled before it starts, not fetched: node's fetch takes no file path.
function(lunashot_web_bench)
  add_executable(world_frames EXCLUDE_FROM_ALL bench/web/world_frames.cpp)
  target_compile_options(world_frames PRIVATE ${LUNASHOT_WARNINGS})
  target_link_libraries(world_frames PRIVATE lunashot_runtime)
  target_link_options(world_frames PRIVATE ${LUNASHOT_WEB_LINK_OPTIONS} -sENVIRONMENT=node
    -sWASM_ASYNC_COMPILATION=0)
endfunction()
