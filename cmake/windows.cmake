# The Windows build: the layers' libraries, the in-process server DLL "morvane.dll" and the COM test
# client, cross-built with mingw-w64 against static image and database libraries.

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
find_package(SQLite3 REQUIRED)

# COM interfaces have no virtual destructors by design; GCC 12's restrict warning misfires on
# std::string inside the Windows headers' inlined code.
add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 __USE_MINGW_ANSI_STDIO=1)
add_compile_options(-Wno-non-virtual-dtor -Wno-restrict)

set(MORVANE_WINDOWS_LIBS ole32 oleaut32 uuid shell32 shlwapi user32 gdi32 advapi32)

include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
target_link_libraries(morvane_platform PUBLIC ${MORVANE_WINDOWS_LIBS})
# libtiff needs the JPEG and zlib libraries after it, libpng needs zlib.
target_link_libraries(morvane_thumbnail PUBLIC TIFF::TIFF JPEG::JPEG PNG::PNG ZLIB::ZLIB)
target_link_libraries(morvane_cache PUBLIC SQLite::SQLite3)

# The four exports are undecorated on both targets (the .def file names them, --kill-at drops
# the 32-bit stdcall suffixes).
add_library(morvane_shellext SHARED ${MORVANE_SHELLEXT_ENTRY_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/shellext/morvane.def)
target_link_libraries(morvane_shellext PRIVATE morvane_core)
target_link_options(morvane_shellext PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The .def file names the 32-bit exports without their stdcall suffixes; the linker matches them
  # to the decorated symbols, which is what is wanted, so it need not warn about each one.
  target_link_options(morvane_shellext PRIVATE -Wl,--enable-stdcall-fixup)
endif()
set_target_properties(morvane_shellext PROPERTIES OUTPUT_NAME morvane PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# What the shell does with the DLL: registry lookup, COM activation, thumbnail and info tip.
add_executable(morvane_com_client ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/com_client.cpp)
target_link_libraries(morvane_com_client PRIVATE ${MORVANE_WINDOWS_LIBS})
target_link_options(morvane_com_client PRIVATE -static -static-libgcc -static-libstdc++ -municode)
set_target_properties(morvane_com_client PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
