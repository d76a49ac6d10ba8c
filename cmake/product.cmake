# What is built around the program: the version numbers for the resources, the
# introduction (Windows builds) and the help generator (the plain native build).
# scripts/package turns them, with makensis and chmcmd, into what a user installs.

set(ORB_VERSION_DEFINES ORB_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    ORB_VERSION_MINOR=${PROJECT_VERSION_MINOR} ORB_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    ORB_VERSION_TEXT=${PROJECT_VERSION})

if(WIN32)
  if(TARGET orb_resources)
    target_compile_definitions(orb_resources PRIVATE ${ORB_VERSION_DEFINES})
  endif()

  # Docs\intro.exe: a small static program of its own, without the core.
  add_executable(intro WIN32 ${CMAKE_SOURCE_DIR}/intro/intro.cpp ${CMAKE_SOURCE_DIR}/intro/intro.rc)
  target_compile_definitions(intro PRIVATE ${ORB_VERSION_DEFINES} WIN32_LEAN_AND_MEAN NOMINMAX
                             UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
  # src/ for platform/win32/system_dlls.h alone: the introduction links nothing of the core.
  target_include_directories(intro PRIVATE ${CMAKE_SOURCE_DIR}/intro ${CMAKE_SOURCE_DIR}/resources
                             ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(intro PRIVATE ${ORB_WARNINGS})
  target_link_options(intro PRIVATE -municode -mwindows)
  target_link_libraries(intro PRIVATE user32 gdi32 shell32 comctl32)
elseif(NOT ORB_SANITIZE AND NOT ORB_FUZZ)
  # Writes the help's pages from the program's own tables (tools/helpgen).
  file(GLOB ORB_HELPGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/helpgen/*.cpp)
  add_executable(helpgen ${ORB_HELPGEN_SOURCES})
  target_link_libraries(helpgen PRIVATE orb_fake)
  target_compile_options(helpgen PRIVATE ${ORB_WARNINGS})
endif()

if(WIN32)
  # What setup runs from its temporary folder (installer/helper): the start of the
  # program as the signed-in user, and the install folder's permissions. Its rules
  # (setup_rules.cpp) are the unit tests' too.
  add_executable(setuphelper WIN32 ${CMAKE_SOURCE_DIR}/installer/helper/setuphelper.cpp
                 ${CMAKE_SOURCE_DIR}/installer/helper/setup_rules.cpp)
  target_include_directories(setuphelper PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(setuphelper PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE
                             _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_compile_options(setuphelper PRIVATE ${ORB_WARNINGS})
  target_link_options(setuphelper PRIVATE -municode -mwindows)
  target_link_libraries(setuphelper PRIVATE ole32 oleaut32 uuid shell32 advapi32)
endif()
