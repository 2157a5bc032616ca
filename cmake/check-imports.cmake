# Fails unless the Windows program EXE is a GUI program, which opens no console window, and imports
# only DLLs of Windows itself: a DLL of MinGW's (libstdc++, libgcc, libwinpthread) or of a library
# would have to ship beside the .exe. Run by cmake -P with OBJDUMP (the target's objdump) and EXE.
cmake_minimum_required(VERSION 3.25)
set(windows_dlls
    advapi32 comctl32 comdlg32 gdi32 glu32 imm32 kernel32 msvcrt ole32 oleaut32 opengl32
    shell32 shlwapi user32 uxtheme winmm ws2_32)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
if(NOT dump MATCHES "\nSubsystem[ \t]+00000002")
    string(REGEX MATCH "\nSubsystem[ \t][^\n]+" subsystem "${dump}")
    message(FATAL_ERROR "${EXE} is not a GUI program: ${subsystem}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: (.+)\\.[dD][lL][lL]$" "\\1" OUTPUT_VARIABLE found)
list(TRANSFORM found TOLOWER)
set(foreign ${found})
list(REMOVE_ITEM foreign ${windows_dlls})
# Every Windows program imports kernel32; without it the dump was not read.
if(NOT kernel32 IN_LIST found)
    message(FATAL_ERROR "no import of kernel32 found in ${EXE}: ${imports}")
endif()
if(foreign)
    message(FATAL_ERROR "${EXE} imports DLLs that are not part of Windows: ${foreign}")
endif()
message(STATUS "${EXE} is a GUI program and imports ${found}")
