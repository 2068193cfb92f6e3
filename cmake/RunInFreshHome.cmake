# Empties the test's private HOME, then runs the test in it; the exit code is the test's.
file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}" "${HOME}/run")
# Qt takes a runtime folder only when it is the user's alone; else it makes one in /tmp that stays.
file(CHMOD "${HOME}/run" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND "${EXE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "test exited with ${rc}")
endif()
