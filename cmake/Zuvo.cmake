# Shared build rules: warning flags, sanitizers and the one-library-per-folder helper.

add_library(zuvo_flags INTERFACE)
target_compile_options(zuvo_flags INTERFACE -Wall -Wextra)
# Warnings stop the build only where CI builds (its presets set this): a packager's newer or
# older compiler may warn where ours does not, and a plain build must not fail on that.
option(ZUVO_WERROR "treat warnings as errors (set by the native, windows and fuzz presets)" OFF)
if(ZUVO_WERROR)
  target_compile_options(zuvo_flags INTERFACE -Werror)
endif()
target_include_directories(zuvo_flags INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(WIN32)
  # Wide Win32 calls everywhere; Windows 7 is the lowest API level the glue names.
  target_compile_definitions(zuvo_flags INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                  _WIN32_WINNT=0x0601)
endif()

# float-cast-overflow is named on its own: g++ leaves it out of "undefined". Every report ends
# the run (-fno-sanitize-recover), so a test or fuzz run cannot print one and still pass.
set(ZUVO_SANITIZERS address,undefined,float-cast-overflow)
if(ZUVO_SANITIZE)
  add_compile_options(-fsanitize=${ZUVO_SANITIZERS} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZUVO_SANITIZERS})
endif()
if(ZUVO_FUZZ)
  # Every library gets fuzzer coverage instrumentation; the harnesses add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,${ZUVO_SANITIZERS} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZUVO_SANITIZERS})
endif()

# zuvo_module(NAME [DEPENDS lib...] [EXCLUDE file...])
# Builds src/NAME into the static library zuvo_NAME. Files named *_win.cpp are the Win32 glue and
# are only compiled in the Windows build; everything else is the portable core.
function(zuvo_module name)
  cmake_parse_arguments(M "" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB portable CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER portable EXCLUDE REGEX "_win\\.cpp$")
  set(sources ${portable})
  if(WIN32)
    file(GLOB glue CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_win.cpp)
    list(APPEND sources ${glue})
  endif()
  foreach(ex IN LISTS M_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  if(sources)
    add_library(zuvo_${name} STATIC ${sources})
    target_link_libraries(zuvo_${name} PUBLIC zuvo_flags ${M_DEPENDS})
  else()
    add_library(zuvo_${name} INTERFACE)
    target_link_libraries(zuvo_${name} INTERFACE zuvo_flags ${M_DEPENDS})
  endif()
  set_property(GLOBAL APPEND PROPERTY ZUVO_MODULES zuvo_${name})
endfunction()
