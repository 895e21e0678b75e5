# EFL from pkg-config as the interface target `efl`. Debian's EFL package
# names an include folder that it does not ship; only existing folders are kept.
find_package(PkgConfig REQUIRED)
pkg_check_modules(EFL REQUIRED elementary evas ecore ecore-evas eina efreet)
set(EFL_EXISTING_INCLUDE_DIRS "")
foreach(dir ${EFL_INCLUDE_DIRS})
  if(EXISTS ${dir})
    list(APPEND EFL_EXISTING_INCLUDE_DIRS ${dir})
  endif()
endforeach()
add_library(efl INTERFACE)
target_include_directories(efl SYSTEM INTERFACE ${EFL_EXISTING_INCLUDE_DIRS})
target_compile_options(efl INTERFACE ${EFL_CFLAGS_OTHER})
target_link_libraries(efl INTERFACE ${EFL_LINK_LIBRARIES})
