# helicart_add_plugin(<name> SOURCES <files...> LIBRARIES <libs...>)
#
# Builds a Qt plug-in as a MODULE library named exactly <name> (no "lib" prefix) into
# bin/plugins of the build tree and installs it to the same place of the installed tree.
function(helicart_add_plugin name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${HELICART_PLUGIN_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
    install(TARGETS ${name} LIBRARY DESTINATION ${HELICART_INSTALL_PLUGIN_DIR})
endfunction()
