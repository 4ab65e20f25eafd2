#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Verdanta needs.
# Idempotent: packages already present are skipped, and apt is only asked when
# something is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git
  # Qt 6 (widgets, SQL with its SQLite driver, printing, image formats incl. TIFF)
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-image-formats-plugins libqt6svg6
  qt6-qpa-plugins
  # image manager: GIF encoding (Qt reads GIF but has no GIF writer)
  libgif-dev
  # outside libraries
  libxerces-c-dev libspdlog-dev libfmt-dev libsqlite3-dev sqlite3
  # calendar: iCalendar text for .ics export and import
  libical-dev
  # media control: GStreamer core and plug-ins (ASF, Windows Media encoders via libav)
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly
  gstreamer1.0-libav gstreamer1.0-tools
  # tests and benchmarks, and the format and static checks of the sources
  libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy
  dbus dbus-bin  # a private session bus per window-message test (dbus-run-session), dbus-send
  poppler-utils  # pdftotext: reading back the text of printed pages
  # screenshots of the running program, fonts metric-compatible with Arial and Times New Roman
  xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core
  # shell open and mail composition; direct SMTP sending
  xdg-utils libcurl4-openssl-dev
  # invoice templates in OpenDocument text (a zip archive)
  libquazip1-qt6-dev
  # passwords in the desktop keyring (QtKeychain loads libsecret at run time); the keyring
  # tests start their own session bus and GNOME Keyring
  qtkeychain-qt6-dev libsecret-1-0 dbus-daemon gnome-keyring
  # a practice on a database server: Qt's PostgreSQL driver, and the server and its tools
  # (a throw-away cluster for the tests, pg_dump for the backups)
  libqt6sql6-psql postgresql postgresql-client python3
  # the client library's header: the state of a server connection's transaction
  libpq-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
