# The Windows programs' resources: the program icon, made from res/quillary.svg at build time (the
# sizes Explorer and the taskbar ask for, in one .ico), a version information block and a manifest.
#   quillary_windows_resources(<target> <description> [WINDOW])
# WINDOW adds what a window needs: wxWidgets' own resources, themed common controls (version 6) and
# per-monitor DPI awareness.

find_program(QUILLARY_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(QUILLARY_IMAGEMAGICK_CONVERT convert REQUIRED)

set(QUILLARY_ICON_FILE ${PROJECT_BINARY_DIR}/windows/quillary.ico)
set(_icon_pngs)
set(_icon_commands)
foreach(size 16 20 24 32 40 48 64 256)
  set(_png ${PROJECT_BINARY_DIR}/windows/icon-${size}.png)
  list(APPEND _icon_commands COMMAND ${QUILLARY_RSVG_CONVERT} -w ${size} -h ${size} -o ${_png}
       ${PROJECT_SOURCE_DIR}/res/quillary.svg)
  list(APPEND _icon_pngs ${_png})
endforeach()
add_custom_command(OUTPUT ${QUILLARY_ICON_FILE}
  ${_icon_commands}
  COMMAND ${QUILLARY_IMAGEMAGICK_CONVERT} ${_icon_pngs} ${QUILLARY_ICON_FILE}
  DEPENDS ${PROJECT_SOURCE_DIR}/res/quillary.svg
  COMMENT "Making the program icon quillary.ico from quillary.svg"
  VERBATIM)
add_custom_target(quillary_icon DEPENDS ${QUILLARY_ICON_FILE})

function(quillary_windows_resources target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "WINDOW" "" "")
  set(QUILLARY_RC_FILE_NAME ${target}.exe)
  set(QUILLARY_RC_INTERNAL_NAME ${target})
  set(QUILLARY_RC_DESCRIPTION ${description})
  set(QUILLARY_RC_ICON ${QUILLARY_ICON_FILE})
  set(QUILLARY_RC_MANIFEST ${PROJECT_BINARY_DIR}/windows/${target}.manifest)
  set(_version ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
               ${PROJECT_VERSION_TWEAK})
  list(TRANSFORM _version REPLACE "^$" "0")
  list(LENGTH _version _parts)
  while(_parts LESS 4)
    list(APPEND _version 0)
    list(LENGTH _version _parts)
  endwhile()
  list(JOIN _version "," QUILLARY_RC_VERSION_COMMAS)
  list(JOIN _version "." QUILLARY_RC_VERSION_DOTS)
  if(arg_WINDOW)
    # wxWidgets' resources without its own manifest: the program's manifest says more.
    set(QUILLARY_RC_INCLUDE "#define wxUSE_NO_MANIFEST 1\n#include \"wx/msw/wx.rc\"")
    set(QUILLARY_MANIFEST_WINDOW_DEPENDENCY [=[
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>]=])
    set(QUILLARY_MANIFEST_WINDOW_SETTINGS [=[
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>
      <dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>]=])
  else()
    set(QUILLARY_RC_INCLUDE "")
    set(QUILLARY_MANIFEST_WINDOW_DEPENDENCY "")
    set(QUILLARY_MANIFEST_WINDOW_SETTINGS "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/res/windows/program.manifest.in ${QUILLARY_RC_MANIFEST} @ONLY)
  set(_rc ${PROJECT_BINARY_DIR}/windows/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/windows/program.rc.in ${_rc} @ONLY)
  target_sources(${target} PRIVATE ${_rc})
  set_source_files_properties(${_rc} PROPERTIES OBJECT_DEPENDS "${QUILLARY_ICON_FILE};${QUILLARY_RC_MANIFEST}")
  add_dependencies(${target} quillary_icon)
endfunction()
