# cmake -DSRC=... -DDST=... -P CopyIfMissing.cmake
# The copy in the build tree is the running program's own config.xml; once there, the program's
# saved settings win over the installation default.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
