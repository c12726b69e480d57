#!/usr/bin/env bash
# The layering check passes on the real sources and fails on each planted fault.
set -uo pipefail
check=$1
src=$2
status=0

"$check" "$src" >/dev/null || { echo "the real sources break the layering"; status=1; }

plant() {  # plant <file> <line>: a tree with one file, which must fail the check
  local tree
  tree=$(mktemp -d)
  mkdir -p "$tree/$(dirname "$1")"
  printf '%s\n' "$2" >"$tree/$1"
  if "$check" "$tree" >/dev/null 2>&1; then
    echo "not caught: $1: $2"
    status=1
  fi
  rm -rf "$tree"
}
allowed() {  # allowed <file> <line>: must pass
  local tree
  tree=$(mktemp -d)
  mkdir -p "$tree/$(dirname "$1")"
  printf '%s\n' "$2" >"$tree/$1"
  "$check" "$tree" >/dev/null 2>&1 || { echo "wrongly refused: $1: $2"; status=1; }
  rm -rf "$tree"
}

plant platform/Clock.cpp '#include "render/Graphics.h"'
plant render/world/Trees.cpp '#include "sound/Sound.h"'
plant gamedata/Map.cpp '#include "ui/MenuItem.h"'
plant entities/Airplane.cpp '#include "render/internal/WorldProgram.h"'
plant render/world/Water.cpp '#include <epoxy/gl.h>'
plant platform/Settings.cpp '#include <SDL.h>'
plant render/Graphics.cpp '#include "platform/sys/Window.h"'
plant render/world/PropsGrid.cpp '#include "render/Graphics.h"'
plant render/2d/SpriteSheet.h '#include "render/gl/GlContext.h"'
allowed render/gl/Texture2D.cpp '#include <epoxy/gl.h>'
allowed render/world/Water.cpp '#include "render/internal/WorldProgram.h"'
allowed platform/Input.cpp '#include <SDL_scancode.h>'
allowed main.cpp '#include "platform/sys/App.h"'
allowed entities/Airplane.cpp '#include "render/world/Terrain.h"'

[ $status -eq 0 ] && echo "layering check: ok"
exit $status
