# What `cmake --install` puts into the prefix, in the GNU layout:
#   bin/merrowkit                          the command
#   lib/libmerrowhost.so.0, libmerrowkit.so.0, libmerrowkit-older.so.0 (-> 0.x.y)
#   include/merrowkit/                     Services.h, Export.h and host/ (the host headers an
#                                          embedder needs, naming each other as merrowkit/host/)
#   share/merrowkit/Content/               the template folders
#   share/merrowkit/calendar/              the shipped design (the sample project)
#   share/merrowkit/designs/calendar/      the design of `merrowkit import`
#   share/man/man1/merrowkit.1, share/bash-completion/completions/merrowkit
#   lib/cmake/merrowkit/                   the CMake package (merrowkit::merrowkit, ...)
#   lib/pkgconfig/merrowkit.pc, merrowkit-older.pc, merrowhost.pc
include(CMakePackageConfigHelpers)

# The host headers an embedder includes directly; the ones they include come along.
set(MERROWKIT_EMBEDDER_HEADERS
    include/merrowkit/Services.h
    host/objects/ServiceObject.h
    host/title/ProjectSourceObject.h
    host/title/TitleSourceObject.h
    host/title/AdvancedTitleObject.h
    host/title/PresentationObject.h
    host/title/ClipListObject.h
    host/title/ClipObject.h
    host/title/MediaHolderObject.h
    host/title/ImageTrackObject.h
    host/dom/XmlOutputFileGlue.h
    host/dom/DocumentRegistry.h
    host/framework/ProjectFolder.h)

# Every header reached from the list through quoted includes, as paths from the source folder.
set(pending ${MERROWKIT_EMBEDDER_HEADERS})
set(installed_headers "")
while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST installed_headers)
        continue()
    endif()
    list(APPEND installed_headers ${header})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^#include \"")
    foreach(line ${lines})
        string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" named "${line}")
        if(EXISTS ${PROJECT_SOURCE_DIR}/${named})
            list(APPEND pending ${named})
        elseif(EXISTS ${PROJECT_SOURCE_DIR}/include/${named})
            list(APPEND pending include/${named})
        else()
            message(FATAL_ERROR "${header}: includes ${named}, which is not in the source tree")
        endif()
    endforeach()
endwhile()

# The installed copies: host/X becomes merrowkit/host/X, so that the one include folder of the
# prefix is all a compiler needs.
set(header_stage ${CMAKE_BINARY_DIR}/installed-include)
foreach(header ${installed_headers})
    string(REGEX REPLACE "^include/" "" relative "${header}")
    if(relative MATCHES "^host/")
        set(relative merrowkit/${relative})
    endif()
    file(READ ${PROJECT_SOURCE_DIR}/${header} text)
    string(REGEX REPLACE "#include \"host/" "#include \"merrowkit/host/" text "${text}")
    file(CONFIGURE OUTPUT ${header_stage}/${relative} CONTENT "${text}" @ONLY)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${PROJECT_SOURCE_DIR}/${header})
endforeach()
install(DIRECTORY ${header_stage}/merrowkit DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# Libraries and the command. The link names of the component libraries (libmerrowkit.so,
# libmerrowkit-older.so) are linker scripts that add the host library, so that a plain
# `-lmerrowkit` links too (the way libncurses.so brings libtinfo along).
install(TARGETS merrowhost EXPORT merrowkitTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS merrowkit merrowkit-older EXPORT merrowkitTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
foreach(component merrowkit merrowkit-older)
    set(script ${CMAKE_BINARY_DIR}/link-names/lib${component}.so)
    file(CONFIGURE OUTPUT ${script} CONTENT
         "INPUT(lib${component}.so.${PROJECT_VERSION_MAJOR} libmerrowhost.so.${PROJECT_VERSION_MAJOR})\n")
    install(FILES ${script} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endforeach()
install(TARGETS merrowkit_command RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The template folders and the shipped design.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/templates/Content
        DESTINATION ${CMAKE_INSTALL_DATADIR}/merrowkit)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/calendar
        DESTINATION ${CMAKE_INSTALL_DATADIR}/merrowkit)
# The design `merrowkit import` uses by default (share/merrowkit/designs/calendar).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/designs/calendar
        DESTINATION ${CMAKE_INSTALL_DATADIR}/merrowkit/designs)

# The manual page and the bash completion.
# The page's date is that of the release, kept beside the version so the page stays the same
# from build to build.
set(MERROWKIT_MAN_DATE 2026-12-08)
configure_file(${PROJECT_SOURCE_DIR}/doc/merrowkit.1.in ${CMAKE_BINARY_DIR}/merrowkit.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/merrowkit.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/doc/merrowkit.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME merrowkit)

# The CMake package.
set(MERROWKIT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/merrowkit)
install(EXPORT merrowkitTargets NAMESPACE merrowkit:: DESTINATION ${MERROWKIT_CMAKE_DIR})
set(MERROWKIT_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/merrowkit)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/merrowkitConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/merrowkitConfig.cmake
                              INSTALL_DESTINATION ${MERROWKIT_CMAKE_DIR}
                              PATH_VARS MERROWKIT_DATA_INSTALL_DIR)
# Before 1.0 a minor version may break: only the same major.minor is compatible.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/merrowkitConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/merrowkitConfig.cmake
              ${CMAKE_BINARY_DIR}/merrowkitConfigVersion.cmake
        DESTINATION ${MERROWKIT_CMAKE_DIR})

# pkg-config: merrowkit.pc and merrowkit-older.pc require merrowhost.pc, so that
# `pkg-config --libs merrowkit` carries -lmerrowhost. Both find the prefix from their own place, so the prefix can move.
file(RELATIVE_PATH MERROWKIT_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
foreach(pc merrowkit merrowkit-older merrowhost)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
