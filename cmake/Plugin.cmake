# kwz_plugin(NAME sources...): a host plug-in shared library whose one export is
# REALPluginMain. Plug-in code is built without exceptions and RTTI, so that no
# exception of the language can reach the host.
set(KWZ_PLUGIN_COMPILE_OPTIONS -fno-exceptions -fno-rtti -fvisibility=hidden -fvisibility-inlines-hidden)

function(kwz_plugin_code target)
  target_compile_options(${target} PRIVATE ${KWZ_PLUGIN_COMPILE_OPTIONS})
  kwz_warnings(${target})
endfunction()

# kwz_plugin_library(NAME sources...): a shared library the host can load, built
# from plug-in code: no "lib" prefix, and REALPluginMain kept from the frame's
# archive (nothing in the plug-in itself refers to it). Test plug-ins that export
# hooks of their own start from this.
function(kwz_plugin_library name)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "")
  kwz_plugin_code(${name})
  if(WIN32)
    target_link_options(${name} PRIVATE -Wl,--undefined=_REALPluginMain)
  else()
    target_link_options(${name} PRIVATE -Wl,--undefined=REALPluginMain)
  endif()
endfunction()

function(kwz_plugin name)
  kwz_plugin_library(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE frame)
  if(WIN32)
    # Export REALPluginMain undecorated, and nothing else.
    target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--exclude-all-symbols -Wl,--gc-sections)
  else()
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/plugin.map -Wl,--gc-sections)
    # clang links its sanitizer runtime into executables only: a sanitized plug-in
    # finds it in the process that loads it.
    if(NOT KWZ_FUZZ)
      target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
  endif()
  target_compile_options(${name} PRIVATE -ffunction-sections -fdata-sections)
endfunction()
