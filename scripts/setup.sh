#!/usr/bin/env bash
# Installs the Debian packages the build, the data tool and the tests need:
# the packages the root CMakeLists.txt finds, plus what runs the tests.
# Run by ./play and ./check; quiet when everything is already there.
set -euo pipefail

SKYFRONT_PACKAGES=(
  # tool chain (ccache is used when present)
  cmake ninja-build g++ pkg-config ccache
  # libraries: window and input, GL loader, PNG, checksums and zip paks, the
  # controls file's XML, UTF-8 texts, sound output and MP3 decoding
  libsdl2-dev libepoxy-dev libpng-dev zlib1g-dev libminizip-dev libtinyxml2-dev libutfcpp-dev
  libopenal-dev libmpg123-dev
  # the data tool: drawn art, baked fonts and the fonts they are baked from
  # (Noto Sans CJK for Chinese, Japanese and Korean), encoded music
  libcairo2-dev libfreetype-dev fonts-dejavu-core fonts-noto-cjk libmp3lame-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev
  # fuzzing: clang and its libFuzzer runtime
  clang libclang-rt-14-dev
  # the display tests: a virtual X server and Mesa's software GL and GLES
  xvfb xauth libgl1-mesa-dri libegl-mesa0 libgles2 libegl1
)

missing=()
for p in "${SKYFRONT_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -q
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  else
    echo "Please install: ${missing[*]}" >&2
    exit 1
  fi
fi
