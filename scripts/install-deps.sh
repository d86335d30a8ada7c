#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quiet when everything is present already; safe to run any number of times.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config libgtest-dev
  # formatting and static checks, which CI runs
  clang-format clang-tidy
  # Ghostscript's library, its resources, and the gs program for benchmarks
  libgs-dev ghostscript
  # Qt 6 widgets, D-Bus (the session agent's notices) and translations, with Qt's own
  # (the standard buttons and file dialogs in the user's language)
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # MuPDF (static) and the libraries it is built on
  libmupdf-dev libharfbuzz-dev libopenjp2-7-dev libjbig2dec0-dev libmujs-dev libgumbo-dev
  libjpeg-dev zlib1g-dev libfreetype-dev
  # ICU, whose string preparation makes AES-256 passwords of Unicode text
  libicu-dev
  # Nettle, whose AES and SHA-2 derive the keys of AES-256 protection
  nettle-dev
  # fontconfig, to find the installed faces for the CID font map
  libfontconfig-dev
  # the desktop's "open"
  xdg-utils
  # Korean and Japanese fonts, so CJK jobs keep their text
  fonts-nanum fonts-ipafont-gothic fonts-ipafont-mincho
  # a CFF-based CJK collection, which the CID font map must not take for TrueType
  fonts-noto-cjk
  # the Debian package and its checks (its menu entries too)
  lintian desktop-file-utils
  # a display for the tests that drive the session agent's dialogs as a user would
  xvfb xdotool
  # independent judges of our PDFs, and measuring
  poppler-utils qpdf time
  # the print system, for the backend, the setup tools and their tests
  cups cups-daemon cups-client cups-filters libcups2-dev
  # the print-server test: IPP requests with a password (ipptool), users with
  # passwords (passwd; PAM's cups service comes with cups-daemon), timing (bc)
  cups-ipp-utils passwd iproute2 bc
  # the office programs the document converter prints through, with Java for import extensions
  libreoffice-writer libreoffice-calc libreoffice-impress libreoffice-java-common default-jre-headless
  # its SDK: the UNO headers are generated from the office's types at build time, and the
  # URE libraries linked (at run time only those libreoffice-core brings)
  libreoffice-dev
  # cups-pdf, the baseline of the printing benchmark
  printer-driver-cups-pdf
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
