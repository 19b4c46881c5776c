# The Debian package: `cpack -G DEB` in the build tree. Library dependencies are read from the installed
# programs; the packages added by hand are the ones the application loads only at run time.
set(CPACK_PACKAGE_NAME norla-office)
set(CPACK_PACKAGE_VENDOR Norla)
set(CPACK_PACKAGE_CONTACT "NorlaOffice developers <office@norla.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Norla business workspace as a desktop application")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "NorlaOffice shows the Norla web application (chat, tasks, calendar, an AI assistant, meeting notes, "
  "pages, slides, databases, decisions, customer records) in a window of its own and adds meeting "
  "recording from system audio and the microphone, desktop notifications, native sign-in, menus and "
  "shortcuts. norla-rec finishes and inspects recordings from the command line.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://office.norla.jp/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# WebKit plays recordings in the page through GStreamer (AAC decoder, PulseAudio output); the pages are
# Japanese and need a Japanese font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-libav, gstreamer1.0-pulseaudio, fonts-ipafont-gothic | fonts-noto-cjk")
# Recording needs a PulseAudio server, PulseAudio's own or PipeWire's.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")

set(CPACK_GENERATOR DEB)
include(CPack)
