# Folders below the widgets must not link Qt Widgets, not even through a
# library they link: checked once every target is known (included at the end
# of the top-level CMakeLists), so configuring fails at once when one does.

# Appends to `out_var` every library `target` links, directly or through others.
function(_ombrik_link_closure target out_var)
  set(_seen ${${out_var}})
  set(_todo ${target})
  while(_todo)
    list(POP_FRONT _todo _item)
    if(_item IN_LIST _seen)
      continue()
    endif()
    list(APPEND _seen ${_item})
    # Imported targets are seen only in the folder that found them: those are
    # kept by name.
    if(NOT TARGET ${_item})
      continue()
    endif()
    foreach(_property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(_links ${_item} ${_property})
      if(NOT _links)
        continue()
      endif()
      foreach(_link ${_links})
        # Static libraries keep their private links as $<LINK_ONLY:...>.
        string(REGEX REPLACE "^\\$<LINK_ONLY:([^>]+)>$" "\\1" _link "${_link}")
        if(NOT _link MATCHES "^\\$<")
          list(APPEND _todo ${_link})
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(${out_var} ${_seen} PARENT_SCOPE)
endfunction()

# Fails the configuration when any of the targets links Qt Widgets.
function(ombrik_forbid_widgets)
  foreach(_target ${ARGN})
    set(_closure)
    _ombrik_link_closure(${_target} _closure)
    foreach(_widgets Qt6::Widgets Qt::Widgets)
      if(_widgets IN_LIST _closure)
        message(FATAL_ERROR "${_target} links Qt Widgets (what it links: ${_closure}); "
                            "widgets belong to ui/ and app/")
      endif()
    endforeach()
  endforeach()
endfunction()
