# Builds on a Mac. The tests run on Linux (they need the Linux backend); here only products are built.
set(BUILD_TESTING OFF CACHE BOOL "Build the tests (on Linux)")

# The build's configuration, read from the one place that states it.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../src/core/app/BuildConfiguration.h NORLA_BUILD_CONFIGURATION)
foreach(name productionOrigin productionHost applicationIdentifier)
  string(REGEX MATCH "${name} = \"([^\"]*)\"" ignored "${NORLA_BUILD_CONFIGURATION}")
  set(value "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" upper "${name}")
  string(TOUPPER ${upper} upper)
  set(NORLA_${upper} "${value}")
endforeach()

# Mac Catalyst 17.4 (macOS 14.4): the sign-in sheet's HTTPS callback and the record permission need it;
# system audio (ScreenCaptureKit) waits for 18.2 (macOS 15.2) at run time.
set(NORLA_CATALYST_VERSION 17.4)
set(NORLA_MACOS_MINIMUM 14.4)

if(NORLA_MAC_CATALYST)
  # Catalyst compiles against the macOS SDK with the iOS variants of the frameworks.
  set(CMAKE_OSX_SYSROOT macosx)
  execute_process(COMMAND xcrun --sdk macosx --show-sdk-path OUTPUT_VARIABLE NORLA_MACOS_SDK
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT CMAKE_OSX_ARCHITECTURES)
    set(CMAKE_OSX_ARCHITECTURES ${CMAKE_HOST_SYSTEM_PROCESSOR})
  endif()
  set(NORLA_CATALYST_TARGET ${CMAKE_OSX_ARCHITECTURES}-apple-ios${NORLA_CATALYST_VERSION}-macabi)
  add_compile_options(-target ${NORLA_CATALYST_TARGET}
    -iframework ${NORLA_MACOS_SDK}/System/iOSSupport/System/Library/Frameworks)
  add_link_options(-target ${NORLA_CATALYST_TARGET}
    -F ${NORLA_MACOS_SDK}/System/iOSSupport/System/Library/Frameworks
    -L ${NORLA_MACOS_SDK}/System/iOSSupport/usr/lib)
else()
  set(CMAKE_OSX_DEPLOYMENT_TARGET ${NORLA_MACOS_MINIMUM} CACHE STRING "Minimum macOS version")
endif()
