# Stages `cmake --install` into a scratch folder, as `DESTDIR=... make install` does, and checks
# that the program, its desktop entry, its icon and the udev rule land where the desktop and udev
# look for them. Run by CTest: cmake -DBUILD=<build dir> -DOUT=<scratch> -P install_check.cmake
file(REMOVE_RECURSE "${OUT}")
foreach(prefix /usr/local /usr)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${OUT}${prefix}-stage"
            ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
    RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install to ${prefix} failed: ${rc}")
  endif()
  set(root "${OUT}${prefix}-stage")
  if(prefix STREQUAL "/usr")
    set(rules "${root}/usr/lib/udev/rules.d/70-zk470.rules")
  else()
    set(rules "${root}/etc/udev/rules.d/70-zk470.rules")
  endif()
  foreach(f "${root}${prefix}/bin/zk470" "${root}${prefix}/share/applications/zk470.desktop"
            "${root}${prefix}/share/icons/hicolor/scalable/apps/zk470.svg" "${rules}")
    if(NOT EXISTS "${f}")
      message(FATAL_ERROR "missing after install to ${prefix}: ${f}")
    endif()
  endforeach()
  file(READ "${root}${prefix}/share/applications/zk470.desktop" entry)
  foreach(line "[Desktop Entry]" "Type=Application" "Exec=zk470" "Icon=zk470" "Terminal=false")
    string(FIND "${entry}" "${line}" at)
    if(at LESS 0)
      message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
  endforeach()
  file(READ "${rules}" rule)
  string(FIND "${rule}" "TAG+=\"uaccess\"" at)
  if(at LESS 0)
    message(FATAL_ERROR "the udev rule grants no seat access")
  endif()
endforeach()
file(REMOVE_RECURSE "${OUT}")
