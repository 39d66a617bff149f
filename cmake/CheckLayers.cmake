# Fails the build when a source includes a header of a layer it may not use. Layers, lowest
# first; each may include its own folder and the folders listed after it:
#   app        -> shell engine diskclean settings ui platform
#   shell      -> engine diskclean settings ui platform
#   engine     -> settings (not its windows) ui platform
#   diskclean  -> settings ui platform
#   settings   -> ui platform
#   ui         -> platform
#   platform   -> (nothing above it)
# Run as: cmake -DROOT=<source dir> -P CheckLayers.cmake
set(allowed_app shell engine diskclean settings ui platform app)
set(allowed_shell shell engine diskclean settings ui platform)
set(allowed_engine engine settings ui platform)
set(allowed_diskclean diskclean settings ui platform)
set(allowed_settings settings ui platform)
set(allowed_ui ui platform)
set(allowed_platform platform)

set(failures "")
foreach(layer app shell engine diskclean settings ui platform)
  file(GLOB files ${ROOT}/${layer}/*.cpp ${ROOT}/${layer}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" used "${line}")
      list(FIND allowed_${layer} ${used} found)
      # The erase engine reads settings and keep lists, never a settings window.
      if(layer STREQUAL "engine" AND line MATCHES "^#include \"settings/frm")
        set(found -1)
      endif()
      if(found EQUAL -1)
        file(RELATIVE_PATH rel ${ROOT} ${file})
        string(APPEND failures "  ${rel}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Wrong-way includes (a layer may use only the layers below it):\n${failures}")
endif()
