# MinGW-w64 (or MSVC) build of tamsel.exe and the Win32 test programs.
if(MINGW)
  add_compile_options(-Wall -Wextra -Wno-cast-function-type)
  if(TAMSEL_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
  endif()
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
if(MSVC)
  # The program's resources carry its manifest; the linker must not add one.
  add_link_options(/MANIFEST:NO)
endif()
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX)

set(TAMSEL_JPEG_ROOT "" CACHE PATH "Prefix of a static libjpeg built for this target")
find_path(JPEG_INCLUDE_DIR jpeglib.h HINTS ${TAMSEL_JPEG_ROOT}/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(JPEG_LIBRARY NAMES libjpeg.a jpeg HINTS ${TAMSEL_JPEG_ROOT}/lib NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TAMSEL_PNG_ROOT "" CACHE PATH "Prefix of a static libpng built for this target")
find_path(PNG_INCLUDE_DIR png.h HINTS ${TAMSEL_PNG_ROOT}/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(PNG_LIBRARY NAMES libpng.a libpng16.a png HINTS ${TAMSEL_PNG_ROOT}/lib NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# zlib for libpng: the static library of the toolchain's own root (Debian's
# libz-mingw-w64-dev), never its import library, so tamsel.exe needs no DLL.
find_library(ZLIB_STATIC_LIBRARY NAMES libz.a zlibstatic zlib HINTS ${TAMSEL_PNG_ROOT}/lib REQUIRED)

file(GLOB win_sources CONFIGURE_DEPENDS ${win_globs} ${CMAKE_SOURCE_DIR}/gui/*.cpp)
list(REMOVE_ITEM win_sources ${CMAKE_SOURCE_DIR}/app/entry_win.cpp)

set(win_libs gdi32 user32 kernel32 comdlg32 comctl32 shell32 ole32 oleaut32 uuid winspool advapi32 shlwapi msimg32)

add_library(tamsel_core STATIC ${core_sources})
target_include_directories(tamsel_core PUBLIC ${CMAKE_SOURCE_DIR} ${JPEG_INCLUDE_DIR} ${PNG_INCLUDE_DIR})
target_link_libraries(tamsel_core PUBLIC ${JPEG_LIBRARY} ${PNG_LIBRARY} ${ZLIB_STATIC_LIBRARY})

add_library(tamsel_win STATIC ${win_sources})
target_link_libraries(tamsel_win PUBLIC tamsel_core ${win_libs})
# Portable code reaches the operating system through functions that the
# Win32 side defines (util/atomic_file_win.cpp and the like), so the two
# static libraries refer to each other; CMake repeats them on the link line.
target_link_libraries(tamsel_core PUBLIC tamsel_win)

# The resource compiler reports none of the files the resources pull in, so
# name them: a changed icon, string or manifest rebuilds the resources.
file(GLOB rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.ico ${CMAKE_SOURCE_DIR}/app/*.manifest
     ${CMAKE_SOURCE_DIR}/app/strings.rc)
set_source_files_properties(app/tamsel.rc PROPERTIES OBJECT_DEPENDS "${rc_inputs}")

add_executable(tamsel WIN32 app/entry_win.cpp app/tamsel.rc)
target_link_libraries(tamsel PRIVATE tamsel_win)
# The same program built for 64-bit Windows is tamsel64.exe.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set_target_properties(tamsel PROPERTIES OUTPUT_NAME tamsel64)
endif()
# The program ships without the debug sections the static run-time
# libraries bring along; they stay beside it in tamsel.exe.debug, which a
# debugger finds through the link the program keeps to it.
if(MINGW AND CMAKE_OBJCOPY)
  add_custom_command(TARGET tamsel POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:tamsel> $<TARGET_FILE:tamsel>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --strip-unneeded --add-gnu-debuglink=$<TARGET_FILE:tamsel>.debug
            $<TARGET_FILE:tamsel>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:tamsel>
    VERBATIM)
endif()

# The help file glimbo.chm beside tamsel.exe, compiled from the pages in
# help/ by Free Pascal's chmcmd. Without chmcmd the program is built alone:
# its help then opens nothing.
set(TAMSEL_HELP_FILE ${CMAKE_BINARY_DIR}/glimbo.chm)
find_program(CHMCMD_PROGRAM chmcmd)
if(CHMCMD_PROGRAM)
  set(help_work ${CMAKE_BINARY_DIR}/help)
  file(MAKE_DIRECTORY ${help_work})
  file(GLOB help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
  add_custom_command(OUTPUT ${TAMSEL_HELP_FILE}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${help_work}
    COMMAND ${CHMCMD_PROGRAM} glimbo.hhp
    COMMAND ${CMAKE_COMMAND} -E copy glimbo.chm ${TAMSEL_HELP_FILE}
    WORKING_DIRECTORY ${help_work}
    DEPENDS ${help_sources}
    COMMENT "Compiling the help file glimbo.chm")
  add_custom_target(tamsel_help ALL DEPENDS ${TAMSEL_HELP_FILE})
else()
  message(WARNING "chmcmd (Debian package fp-utils) was not found: the help file glimbo.chm is not built")
endif()

option(TAMSEL_BUILD_TESTS "Build the Win32 test programs (needs GoogleTest's sources, Python and MinGW's windres for the fixtures)" ON)
if(TAMSEL_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests/fixtures)
  add_subdirectory(tests/win)
endif()
add_subdirectory(tests/winbench)

# The control kit on show, for the screenshots script.
add_executable(tamsel_gallery WIN32 tests/gallery/control_gallery_win.cpp app/tamsel.rc)
target_link_libraries(tamsel_gallery PRIVATE tamsel_win)
