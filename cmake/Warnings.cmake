# Warnings are errors on every toolchain. Applied per target so that third-party code
# (GoogleTest, zlib) keeps its own flags.
function(kestrava_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Werror)
endfunction()
