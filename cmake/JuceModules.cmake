# The JUCE modules compile once, into juce_modules. Everything else links that
# library, which re-exports the modules' include paths and definitions; linking
# the module targets directly would compile juce_gui_basics again per target.
if(WIN32)
    # The cross build's find root hides the host's package folders, where Debian's
    # JUCE configuration lives.
    set(JUCE_DIR /usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5 CACHE PATH "Debian's JUCE CMake configuration")
endif()
find_package(JUCE 7.0.5 CONFIG REQUIRED)

add_library(juce_modules STATIC)
target_link_libraries(juce_modules
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
    PUBLIC
        juce::juce_recommended_config_flags)

target_compile_definitions(juce_modules
    PUBLIC
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=0
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_STANDALONE_APPLICATION=1)

target_include_directories(juce_modules
    INTERFACE $<TARGET_PROPERTY:juce_modules,INCLUDE_DIRECTORIES>)
target_compile_definitions(juce_modules
    INTERFACE $<TARGET_PROPERTY:juce_modules,COMPILE_DEFINITIONS>)
# Plain executables (tests, tools) need the image libraries that juce_add_gui_app adds by itself.
if(WIN32)
    # Cross-built by scripts/windows-deps; zlib is the mingw sysroot's static one, not its
    # import library.
    find_library(ZORV_PNG_LIBRARY NAMES libpng16.a REQUIRED)
    find_library(ZORV_JPEG_LIBRARY NAMES libjpeg.a REQUIRED)
    find_library(ZORV_ZLIB_LIBRARY NAMES libz.a REQUIRED)
    find_path(ZORV_IMAGE_INCLUDE_DIR NAMES png.h jpeglib.h REQUIRED)
    target_include_directories(juce_modules PRIVATE ${ZORV_IMAGE_INCLUDE_DIR})
    target_link_libraries(juce_modules INTERFACE ${ZORV_PNG_LIBRARY} ${ZORV_JPEG_LIBRARY} ${ZORV_ZLIB_LIBRARY})
else()
    target_link_libraries(juce_modules INTERFACE juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
endif()
