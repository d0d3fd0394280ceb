# The source list of every library of kestrin and harlith, and the stb
# folder, in one place: the main build and the fuzz project (a CMake project
# of its own) both include this file.
get_filename_component(TOLVANE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(kestrin_dir ${TOLVANE_ROOT}/kestrin)

# The operating system as the libraries see it: box hook, real box, sleep,
# file mapping (platform.h).
set(KESTRIN_PLATFORM_SOURCES ${kestrin_dir}/boxhook.cpp)
if(WIN32)
  list(APPEND KESTRIN_PLATFORM_SOURCES ${kestrin_dir}/platform_win32.cpp)
else()
  list(APPEND KESTRIN_PLATFORM_SOURCES ${kestrin_dir}/platform_posix.cpp)
endif()
# The text and file kit with its number grammar.
set(KESTRIN_KIT_SOURCES ${kestrin_dir}/kit.cpp ${kestrin_dir}/numbers.cpp)
# The drawing core both model libraries issue their faces through.
set(KESTRIN_DRAW_SOURCES ${kestrin_dir}/drawcore.cpp)
# kestrin.dll's own: the OBJ reader, its drawing and the entry points.
set(KESTRIN_SOURCES ${kestrin_dir}/objread.cpp ${kestrin_dir}/objdraw.cpp ${kestrin_dir}/objdllmain.cpp
  ${kestrin_dir}/boxexport.cpp)
# harlith.dll's own: the 3DS reader, its drawing and the entry point.
set(HARLITH_SOURCES ${TOLVANE_ROOT}/harlith/read3ds.cpp ${TOLVANE_ROOT}/harlith/draw3ds.cpp
  ${TOLVANE_ROOT}/harlith/harlithmain.cpp)

# The header-only stb of the build host (Debian libstb-dev): the image
# decoder, the tests' and tools' image writers. Only this folder is added,
# never the host's whole /usr/include.
set(TOLVANE_STB_DIR /usr/include/stb CACHE PATH "Folder holding stb_image.h and stb_image_write.h")
