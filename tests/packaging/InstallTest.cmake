# Installs the program into a scratch DESTDIR under the prefix /usr, as the
# Debian package does, and checks what the desktop finds there: the program,
# its desktop entry, its icon at every size and its AppStream metadata, each
# accepted by the desktop's own validators.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -P InstallTest.cmake
cmake_minimum_required(VERSION 3.25)

set(failures 0)
macro(fail message)
  message(SEND_ERROR "${message}")
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()
set(usr ${WORK_DIR}/usr)

if(NOT EXISTS ${usr}/bin/brisquel OR IS_DIRECTORY ${usr}/bin/brisquel)
  fail("no program at ${usr}/bin/brisquel")
endif()

# Each PNG is a square of its folder's size (width and height at bytes 16..23).
foreach(size 16 24 32 48 64 128 256)
  set(png ${usr}/share/icons/hicolor/${size}x${size}/apps/brisquel.png)
  if(NOT EXISTS ${png})
    fail("missing icon ${png}")
    continue()
  endif()
  file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
  math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${expected}" 2 -1 digits)
  string(LENGTH "${digits}" length)
  math(EXPR padding "8 - ${length}")
  string(REPEAT "0" ${padding} zeros)
  if(NOT header STREQUAL "${zeros}${digits}${zeros}${digits}")
    fail("${png} is not ${size}x${size} (header ${header})")
  endif()
endforeach()
if(NOT EXISTS ${usr}/share/icons/hicolor/scalable/apps/brisquel.svg)
  fail("missing the scalable icon")
endif()

set(desktop ${usr}/share/applications/brisquel.desktop)
file(STRINGS ${desktop} lines)
foreach(line "Name=Brisquel" "Icon=brisquel" "Exec=brisquel %f" "Categories=Network;Utility;"
             "MimeType=text/plain;")
  if(NOT line IN_LIST lines)
    fail("${desktop} lacks \"${line}\"")
  endif()
endforeach()
if(NOT lines MATCHES "Name\\[zh_CN\\]=" OR NOT lines MATCHES "Comment=")
  fail("${desktop} lacks its Chinese name or its comment")
endif()

# desktop-file-validate: no errors and no warnings (hints are advice only).
execute_process(COMMAND desktop-file-validate ${desktop} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "(error|warning):")
  fail("desktop-file-validate: ${out}")
endif()

file(GLOB metainfo ${usr}/share/metainfo/*.metainfo.xml)
list(LENGTH metainfo count)
if(NOT count EQUAL 1)
  fail("expected one AppStream file, found: ${metainfo}")
else()
  execute_process(COMMAND appstreamcli validate --no-net ${metainfo} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    fail("appstreamcli validate: ${out}")
  endif()
  # The tree as installed: the metadata's desktop entry is where it says.
  execute_process(COMMAND appstreamcli validate-tree --no-net ${usr} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "\n *[EW]: ")
    fail("appstreamcli validate-tree: ${out}")
  endif()
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} problem(s) in the installed files")
endif()
message(STATUS "installed files are complete and valid")
