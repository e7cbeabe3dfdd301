# Every external library comes from Debian (tools/setup-deps.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(HIDAPI REQUIRED IMPORTED_TARGET hidapi-hidraw)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(EVDEV REQUIRED IMPORTED_TARGET libevdev)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(FFTW3F REQUIRED IMPORTED_TARGET fftw3f)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xext xi xtst xrandr)
pkg_check_modules(XRENDER REQUIRED IMPORTED_TARGET xrender)
pkg_check_modules(XKBCOMMON REQUIRED IMPORTED_TARGET xkbcommon)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PANGO REQUIRED IMPORTED_TARGET pangocairo pangoft2 fontconfig)
pkg_check_modules(GDK_PIXBUF REQUIRED IMPORTED_TARGET gdk-pixbuf-2.0)
# D-Bus (the tray's StatusNotifierItem, the desktop portal's file chooser): GDBus, already in the process
# through gdk-pixbuf.
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
# Build time only: the theme's SVG sources.
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)

if(TORVIK_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(TORVIK_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
