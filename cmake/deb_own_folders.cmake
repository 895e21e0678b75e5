# Run by cpack after it made the package (CPACK_POST_BUILD_SCRIPTS): rewrites
# the package's data archive without the entry of the folder /usr/local.
# That folder belongs to the administrator (base-files makes it and no
# package lists it); a package listing it would be its only owner, and
# removing the package would try to remove /usr/local. Every file, and the
# package's own folders, stay as cpack made them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(work ${deb}.own-folders)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work}/tree)
  execute_process(COMMAND ar x ${deb} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb -x ${deb} ${work}/tree COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[^ \n]+\n" entries "${listing}")
  list(TRANSFORM entries STRIP)
  list(REMOVE_ITEM entries ./usr/local/)
  list(JOIN entries "\n" entries)
  file(WRITE ${work}/entries "${entries}\n")
  file(GLOB old_data ${work}/data.tar*)
  file(REMOVE ${old_data})
  execute_process(COMMAND tar -cf ${work}/data.tar --format=gnu --no-recursion --owner=0 --group=0 --numeric-owner
                          -C ${work}/tree -T ${work}/entries COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND gzip -9n ${work}/data.tar COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB control RELATIVE ${work} ${work}/control.tar*)
  file(REMOVE ${deb})
  execute_process(COMMAND ar rcD ${deb} debian-binary ${control} data.tar.gz WORKING_DIRECTORY ${work}
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${work})
endforeach()
