# The warnings every project of the repository builds with (the game's own
# and the clang-built fuzz project): the code is meant to compile without
# any of them, and CI makes each one an error (TOPPLETON_WERROR).
option(TOPPLETON_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -pedantic-errors -Wold-style-cast)
if(TOPPLETON_WERROR)
  add_compile_options(-Werror)
endif()
