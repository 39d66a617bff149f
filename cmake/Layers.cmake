# One static library per layer, and the check that holds the layers apart. The check reads
# the dependency files the compiler writes beside each object (-MD), so it sees every header
# a layer's sources really opened, however the include was spelled ("../engine/x.h",
# <engine/x.h>, "# include", from a header, from a subfolder, through a link).

# Which layers a layer may use, its own included. The erase engine reads settings and keep
# lists, never a settings window (settings/frm*): CheckLayers.cmake holds that rule.
set(BW_LAYER_USES_platform platform)
set(BW_LAYER_USES_ui ui platform)
set(BW_LAYER_USES_settings settings ui platform)
set(BW_LAYER_USES_engine engine settings ui platform)
set(BW_LAYER_USES_diskclean diskclean settings ui platform)
set(BW_LAYER_USES_shell shell engine diskclean settings ui platform)
set(BW_LAYER_USES_app app shell engine diskclean settings ui platform)

# bw_layer(<target> <folder> <libraries>...): the folder's sources (subfolders too) as one
# library, linked to the libraries given.
function(bw_layer name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${BW_LAYER_ROOT}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX ".*/app/WinMain\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${BW_LAYER_ROOT})
  target_link_libraries(${name} PUBLIC ${ARGN})
  set_property(GLOBAL APPEND PROPERTY BW_LAYER_TARGETS ${name})
  list(JOIN BW_LAYER_USES_${folder} "," uses)
  set_property(GLOBAL APPEND PROPERTY BW_LAYER_CHECKS
    "${folder}=${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${name}.dir=${uses}")
endfunction()

# After the last bw_layer: the target bw_layer_check, built with every layer, fails when a
# layer opened a header of a layer it may not use. Make the targets that link the layers
# depend on it, so nothing is linked from a tree that breaks the rule.
function(bw_layer_check)
  get_property(targets GLOBAL PROPERTY BW_LAYER_TARGETS)
  get_property(checks GLOBAL PROPERTY BW_LAYER_CHECKS)
  string(REPLACE ";" "|" checks "${checks}")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/bw_layer_check.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${BW_LAYER_ROOT} "-DCHECKS=${checks}"
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/CheckLayers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${targets} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/CheckLayers.cmake
    COMMENT "Checking that every layer opened only headers of the layers below it"
    VERBATIM)
  add_custom_target(bw_layer_check ALL DEPENDS ${stamp})
endfunction()
