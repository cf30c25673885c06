# The warnings every project of the repository builds with (the game's own
# and the clang-built fuzz project): the code is meant to compile without
# any of them.
add_compile_options(-Wall -Wextra -pedantic-errors -Wold-style-cast)
