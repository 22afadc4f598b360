# zuvo.exe: the GUI program, linked statically so that it starts on a bare Windows.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

configure_file(res/version.h.in ${CMAKE_CURRENT_BINARY_DIR}/version.h @ONLY)
set(icon ${CMAKE_CURRENT_BINARY_DIR}/zuvo.ico)
add_custom_command(OUTPUT ${icon}
                   COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make_icon.py ${icon}
                   DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make_icon.py
                   COMMENT "Drawing the program icon")
set(months ${CMAKE_CURRENT_BINARY_DIR}/months.bmp)
add_custom_command(OUTPUT ${months}
                   COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make_months.py ${months}
                   DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make_months.py
                   COMMENT "Drawing the month icons")
set(toolbar_bitmaps)
foreach(res 703 704 705 706 707 708 709)
  list(APPEND toolbar_bitmaps ${CMAKE_CURRENT_BINARY_DIR}/tb${res}.bmp)
endforeach()
add_custom_command(OUTPUT ${toolbar_bitmaps}
                   COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make_toolbar.py ${CMAKE_CURRENT_BINARY_DIR}
                   DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make_toolbar.py
                   COMMENT "Drawing the toolbar bitmaps")
set_source_files_properties(res/zuvo.rc PROPERTIES OBJECT_DEPENDS
                            "${icon};${months};${toolbar_bitmaps};${CMAKE_CURRENT_SOURCE_DIR}/res/zuvo.manifest;${CMAKE_CURRENT_SOURCE_DIR}/res/accel.rc;${PROJECT_SOURCE_DIR}/src/settings/settings_pages.rc;${PROJECT_SOURCE_DIR}/src/settings/sound_pages.rc;${PROJECT_SOURCE_DIR}/src/settings/settings_ids.h")

add_executable(zuvo WIN32 main_win.cpp res/zuvo.rc ${icon} ${months} ${toolbar_bitmaps})
target_include_directories(zuvo PRIVATE ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/res)
target_link_libraries(zuvo PRIVATE zuvo_app zuvo_audio zuvo_library zuvo_ui comctl32 shell32 user32 gdi32)
target_link_options(zuvo PRIVATE -municode -static -static-libgcc -static-libstdc++ -s)

# The user's manual beside the program ("HTML Manual" on the settings dialog's About page):
# the prose of docs/manual.html with the tables made from the program's own sources.
set(manual ${CMAKE_CURRENT_BINARY_DIR}/Zuvo.html)
add_custom_command(OUTPUT ${manual}
                   COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make_manual.py ${manual}
                   DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make_manual.py
                           ${PROJECT_SOURCE_DIR}/docs/manual.html
                           ${PROJECT_SOURCE_DIR}/docs/settings.md
                           ${CMAKE_CURRENT_SOURCE_DIR}/res/accel.rc
                           ${CMAKE_CURRENT_SOURCE_DIR}/commands.cpp
                           ${PROJECT_SOURCE_DIR}/src/base/command_ids.h
                           ${PROJECT_SOURCE_DIR}/src/ui/menus.cpp
                           ${PROJECT_SOURCE_DIR}/src/ui/hotkeys.cpp
                           ${PROJECT_SOURCE_DIR}/src/config/lang_table.cpp
                           ${PROJECT_SOURCE_DIR}/src/settings/settings_pages.cpp
                           ${PROJECT_SOURCE_DIR}/src/settings/sound_pages.rc
                   COMMENT "Writing the user's manual")
add_custom_target(zuvo-manual ALL DEPENDS ${manual})
add_dependencies(zuvo zuvo-manual)
