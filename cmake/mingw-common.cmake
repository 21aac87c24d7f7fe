# The posix thread model gives the standard library its threads and mutexes.
set(CMAKE_C_COMPILER ${ZEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
