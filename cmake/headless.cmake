# The platforms the game runs on without a screen, declared once for every
# project that builds them (the game's own and the clang-built fuzz project):
#
#   scripted_sdl  the SDL the headless tools and the tests play the game on:
#                 a virtual clock, queued keys, injectable start-up failures
#   null_gl       a GL that draws nothing, for the tools
#   recording_gl  the tests' GL, which keeps the matrix stacks and records
#                 every primitive placed in the world
#
# Link them after the game library: it is the game that calls into them.
# Needs TOPPLETON_ROOT and the SDL_ and OPENGL_ variables of find_package.
function(toppleton_platform_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} SYSTEM PUBLIC ${SDL_INCLUDE_DIRS} ${OPENGL_INCLUDE_DIR})
  target_compile_options(${name} PUBLIC ${SDL_CFLAGS_OTHER})
endfunction()

toppleton_platform_library(scripted_sdl ${TOPPLETON_ROOT}/tools/headless/scripted_sdl.cpp)
target_include_directories(scripted_sdl PUBLIC ${TOPPLETON_ROOT}/tools/headless)
# It resets with a fresh game, which it is told of through the game's header.
target_include_directories(scripted_sdl PRIVATE ${TOPPLETON_ROOT}/src)

toppleton_platform_library(null_gl ${TOPPLETON_ROOT}/tools/headless/null_gl.cpp)

toppleton_platform_library(recording_gl ${TOPPLETON_ROOT}/tests/doubles/fake_gl.cpp)
target_include_directories(recording_gl PUBLIC ${TOPPLETON_ROOT}/tests/doubles)
