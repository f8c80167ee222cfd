# Native Linux build: the portable core and its unit tests, with
# AddressSanitizer and UndefinedBehaviorSanitizer on everything.
option(TAMSEL_SANITIZE "Build with ASan and UBSan" ON)
if(TAMSEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)
if(TAMSEL_WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()

find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)

add_library(tamsel_core STATIC ${core_sources})
target_include_directories(tamsel_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tamsel_core PUBLIC JPEG::JPEG PNG::PNG)

# tamsel-cli, the batch export without Windows, and tamsel-thumbnailer,
# natively. Their parser and exports are a library of their own so that the
# unit tests link them.
file(GLOB cli_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/cli/*.cpp)
list(FILTER cli_sources EXCLUDE REGEX "(cli|thumbnailer)_main\\.cpp$")
add_library(tamsel_cli_lib STATIC ${cli_sources})
target_link_libraries(tamsel_cli_lib PUBLIC tamsel_core)
find_package(Threads REQUIRED)
add_executable(tamsel-cli ${CMAKE_SOURCE_DIR}/app/cli/cli_main.cpp)
target_link_libraries(tamsel-cli PRIVATE tamsel_cli_lib Threads::Threads)
add_executable(tamsel-thumbnailer ${CMAKE_SOURCE_DIR}/app/cli/thumbnailer_main.cpp)
target_link_libraries(tamsel-thumbnailer PRIVATE tamsel_cli_lib)

# What `cmake --install` puts under the prefix: the two programs, the
# desktop's thumbnailer entry and the manual page. Only this build installs.
include(GNUInstallDirs)
install(TARGETS tamsel-cli tamsel-thumbnailer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/app/cli/tamsel.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${CMAKE_SOURCE_DIR}/app/cli/tamsel-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

enable_testing()
add_subdirectory(tests/native)
add_test(NAME cli_install COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/install_test.sh ${CMAKE_BINARY_DIR})
if(benchmark_FOUND)
  add_subdirectory(tests/bench)
endif()
