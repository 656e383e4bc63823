# High warning levels for our own targets; KWZ_WERROR turns them into errors (CI).
function(kwz_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wcast-align -Wnon-virtual-dtor -Wold-style-cast -Wnull-dereference
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(KWZ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
