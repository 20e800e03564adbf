# Packs the class files under CLASSES into JAR with the JDK's jar tool: sorted entries, every
# time stamp the same, no manifest, so that the JAR's bytes depend on the classes only.
file(GLOB_RECURSE entries RELATIVE ${CLASSES} ${CLASSES}/*.class)
list(SORT entries)
file(REMOVE ${JAR})
set(arguments "")
foreach(entry IN LISTS entries)
    list(APPEND arguments -C ${CLASSES} ${entry})
endforeach()
execute_process(COMMAND ${JAR_TOOL} --create --file ${JAR} --no-manifest
                        --date=2000-01-01T00:00:00Z ${arguments}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot pack ${JAR}")
endif()
