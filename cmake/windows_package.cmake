# What a Windows user installs: a 64-bit NSIS installer (`cpack` in the build folder) and a portable
# .zip (`cmake --build . --target portable_zip`).
#
# The installer puts the programs in Program Files\Quillary\bin and the language files and the guide in
# share\quillary beside it, the installed layout in which the programs keep their settings in
# %APPDATA%\quillary. It adds Start-menu entries for the window and the guide and an uninstaller; its
# pages follow the system's language (CPack's template carries English, German and many more).
# Debian's makensis makes 32-bit installers unless told otherwise; the programs are 64-bit, and so is
# the installer (it also writes the 64-bit views of Program Files and the registry).
set(CPACK_GENERATOR NSIS)
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillary)
set(CPACK_PACKAGE_FILE_NAME quillary-${PROJECT_VERSION}-win64-setup)
set(CPACK_NSIS_PACKAGE_NAME "Quillary ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Quillary ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DEFINES "Unicode true\nTarget amd64-unicode")
set(CPACK_NSIS_MUI_ICON ${QUILLARY_ICON_FILE})
set(CPACK_NSIS_MUI_UNIICON ${QUILLARY_ICON_FILE})
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\quillary.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_PACKAGE_EXECUTABLES quillary Quillary)
set(CPACK_NSIS_MENU_LINKS share/quillary/Readme.html "Quillary guide")

# The portable copy: both programs, the language files and the guide in one folder, which the programs
# then take as theirs for settings and preview files.
if(TARGET quillary)
  set(_portable_name quillary-${PROJECT_VERSION}-win64)
  set(_portable_dir ${PROJECT_BINARY_DIR}/portable/${_portable_name})
  add_custom_target(portable_zip
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/portable
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_portable_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillary> $<TARGET_FILE:quillary-cli>
            ${QUILLARY_LANGUAGE_FILES} ${PROJECT_SOURCE_DIR}/res/Readme.html ${_portable_dir}
    COMMAND ${CMAKE_STRIP} ${_portable_dir}/quillary.exe ${_portable_dir}/quillary-cli.exe
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/portable
            ${CMAKE_COMMAND} -E tar cf ${PROJECT_BINARY_DIR}/${_portable_name}.zip --format=zip ${_portable_name}
    DEPENDS quillary quillary-cli
    COMMENT "Making the portable ${_portable_name}.zip"
    VERBATIM)
endif()
