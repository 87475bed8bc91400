# Compiler launcher and sanitizer flags shared by every target, JUCE included,
# so that a sanitizer build instruments the framework as well.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
    set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()

if(ZORV_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(ZORV_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    # GCC warns that TSan does not see atomic_thread_fence, used by the standard library and Asio headers.
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-tsan>)
    add_link_options(-fsanitize=thread)
elseif(NOT ZORV_SANITIZE STREQUAL "")
    message(FATAL_ERROR "ZORV_SANITIZE must be empty, 'address' or 'thread'")
endif()

# The project's own warnings; JUCE's sources get none of them.
add_library(zorv_warnings INTERFACE)
target_compile_options(zorv_warnings INTERFACE -Wall -Wextra -Wno-missing-field-initializers)
