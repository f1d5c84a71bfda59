# Other systems than the one the suite runs on. The serial code writes through a POSIX driver
# where one exists; QUORVEL_PORTABLE_SERIAL builds the portable form alone (Qt Serial Port's own
# calls), as Windows gets it, so that its build and its tests run here too.
option(QUORVEL_PORTABLE_SERIAL "Serial output through Qt Serial Port alone, without POSIX calls" OFF)
if(QUORVEL_PORTABLE_SERIAL)
    target_compile_definitions(quorvel_core PUBLIC QUORVEL_PORTABLE_SERIAL)
endif()
