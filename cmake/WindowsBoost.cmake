# Boost for the Windows build: Debian's headers serve mingw as they are, and Boost.System
# is header-only, so Boost::system is an interface target. Only a folder holding a link to
# the boost headers goes on the include path: the whole system include folder would bring
# Linux's own headers into a Windows build.
set(boost_include "${CMAKE_BINARY_DIR}/boost-headers")
file(MAKE_DIRECTORY "${boost_include}")
file(CREATE_LINK /usr/include/boost "${boost_include}/boost" SYMBOLIC)

add_library(Boost::system INTERFACE IMPORTED)
target_include_directories(Boost::system INTERFACE "${boost_include}")
target_compile_definitions(Boost::system INTERFACE _WIN32_WINNT=0x0601)
target_link_libraries(Boost::system INTERFACE ws2_32 mswsock)

# With mingw's posix thread model Asio takes its pthread-based thread when <pthread.h> was
# read before its own headers and its Windows thread otherwise. Translation units that
# disagree share inline functions, and the linker keeps one copy: a thread created as one
# kind is then joined as the other. One choice for every translation unit.
add_compile_definitions(BOOST_ASIO_HAS_PTHREADS=1)
