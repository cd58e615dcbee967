# Run by CPack after it built the packages (CPACK_PACKAGE_FILES): takes out of each package the
# postinst and postrm that only call ldconfig. The package that holds a library in the loader's
# folders rebuilds the loader's cache through the ldconfig trigger instead, as Debian asks; the
# program's own libraries, in its private folder, need no cache at all.
foreach(package ${CPACK_PACKAGE_FILES})
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(rewritten FALSE)
  foreach(script postinst postrm)
    if(EXISTS ${tree}/DEBIAN/${script})
      file(STRINGS ${tree}/DEBIAN/${script} lines REGEX "^[^#]")
      list(FILTER lines EXCLUDE REGEX "^(set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|\tldconfig|fi)$")
      if(lines)
        message(FATAL_ERROR "${package}: ${script} does more than call ldconfig: ${lines}")
      endif()
      file(REMOVE ${tree}/DEBIAN/${script})
      set(rewritten TRUE)
    endif()
  endforeach()
  if(rewritten)
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${package}
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
