# The engine's libraries, one per layer, each linked only to the layers beneath it (the map in
# ../shared/DESIGN.md; scripts/check_layers.sh holds the same map for includes). Both the Linux
# build and the Windows build (cmake/windows.cmake) take their sources from here; each adds the
# system and image libraries of its own platform to these targets. Every source file of a
# layer's folder belongs to its library; a new file needs no edit here.

function(morvane_layer_sources out)
  set(found "")
  foreach(pattern ${ARGN})
    file(GLOB_RECURSE matched CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
    list(APPEND found ${matched})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The shell extension library's entry point and loader hook belong to that library alone.
set(MORVANE_SHELLEXT_ENTRY_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/shellext/library_entry.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/platform/library_loader.cpp)

morvane_layer_sources(platform_sources platform/*.cpp)
morvane_layer_sources(imaging_sources thumbnail/imaging/*.cpp)
morvane_layer_sources(thumbnail_sources thumbnail/*.cpp)
list(REMOVE_ITEM thumbnail_sources ${imaging_sources})
morvane_layer_sources(shellext_sources shellext/*.cpp)
list(REMOVE_ITEM platform_sources ${MORVANE_SHELLEXT_ENTRY_SOURCES})
list(REMOVE_ITEM shellext_sources ${MORVANE_SHELLEXT_ENTRY_SOURCES})

add_library(morvane_platform STATIC ${platform_sources})
target_include_directories(morvane_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

morvane_layer_sources(metadata_sources metadata/*.cpp)
add_library(morvane_metadata STATIC ${metadata_sources})
target_link_libraries(morvane_metadata PUBLIC morvane_platform)

morvane_layer_sources(presentation_sources presentation/*.cpp)
add_library(morvane_presentation STATIC ${presentation_sources})
target_link_libraries(morvane_presentation PUBLIC morvane_metadata)

add_library(morvane_imaging STATIC ${imaging_sources})
target_link_libraries(morvane_imaging PUBLIC morvane_platform)

add_library(morvane_thumbnail STATIC ${thumbnail_sources})
target_link_libraries(morvane_thumbnail PUBLIC morvane_imaging morvane_presentation)

morvane_layer_sources(cache_sources cache/*.cpp)
add_library(morvane_cache STATIC ${cache_sources})
target_link_libraries(morvane_cache PUBLIC morvane_platform)

# The shell extension's module, handlers, request and COM server, without the library's entry.
add_library(morvane_shellext_core STATIC ${shellext_sources})
target_link_libraries(morvane_shellext_core PUBLIC morvane_cache morvane_thumbnail)

# The whole engine, for the front ends and the tests.
add_library(morvane_core INTERFACE)
target_link_libraries(morvane_core INTERFACE morvane_shellext_core)
