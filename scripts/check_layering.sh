#!/usr/bin/env bash
# Fails when a source file breaks the libraries' dependency order:
#  - an include of a library to its right (or of another in its own group),
#  - an include of another library's internal/ headers,
#  - platform/sys/ (the window layer) outside itself and main.cpp,
#  - <epoxy/...> outside render/gl/, <SDL...> outside platform/sys/ and main.cpp
#    (the key table's scancode header excepted),
#  - the renderer's GL-free files including the device or gl/.
# Usage: check_layering.sh [source root]   (default: the project's src/)
set -uo pipefail
root=${1:-"$(dirname "$0")/../src"}
cd "$root" || exit 2

# Rank in the dependency order; one rank is one group.
declare -A ranks=([platform]=0 [render]=1 [sound]=1 [gamedata]=2 [ui]=2 [effects]=3 [entities]=4
                  [modes]=5 [screens]=6 [net]=6 [menus]=7)
rank() { echo "${ranks[$1]:--1}"; }

gl_free=(
  render/assets/GlmFormat.cpp render/assets/GlmFormat.h render/assets/PvrFormat.cpp render/assets/PvrFormat.h
  render/world/Terrain.cpp render/world/TerrainPatches.cpp render/world/TerrainPatches.h
  render/world/PropsGrid.cpp render/world/PropsGrid.h
  render/shadows/ShadowVolumeMesh.cpp render/shadows/ShadowVolumeMesh.h
  render/2d/SpriteSheet.cpp render/2d/SpriteSheet.h render/2d/SpriteBatch.cpp render/2d/SpriteBatch.h
)

failures=0
fail() {
  echo "layering: $1: $2" >&2
  failures=$((failures + 1))
}

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"]'
while IFS= read -r hit; do
  file=${hit%%:*}
  file=${file#./}
  line=${hit#*:}
  [[ "$line" =~ $include_re ]] || continue
  target=${BASH_REMATCH[1]}
  lib=${file%%/*}
  [ "$file" = main.cpp ] && lib=main
  in_sys=0
  [[ "$file" == platform/sys/* ]] && in_sys=1
  case "$target" in
    epoxy/*)
      [[ "$file" == render/gl/* ]] || fail "$file" "includes <$target> outside render/gl/"
      continue ;;
    SDL*)
      if [ $in_sys -eq 0 ] && [ "$lib" != main ] &&
         ! { [ "$file" = platform/Input.cpp ] && [ "$target" = SDL_scancode.h ]; }; then
        fail "$file" "includes <$target> outside platform/sys/"
      fi
      continue ;;
  esac
  other=${target%%/*}
  [ "$other" = "$target" ] && continue
  other_rank=$(rank "$other")
  [ "$other_rank" -lt 0 ] && continue
  if [[ "$target" == platform/sys/* ]] && [ $in_sys -eq 0 ] && [ "$lib" != main ]; then
    fail "$file" "includes $target: the window layer is for main.cpp only"
  fi
  if [ "$lib" != main ]; then
    own_rank=$(rank "$lib")
    if [ "$other" != "$lib" ] && [ "$other_rank" -ge "$own_rank" ]; then
      fail "$file" "includes $target: $other is not below $lib"
    fi
  fi
  if [ "$other" != "$lib" ] && [[ "$target" == */internal/* ]]; then
    fail "$file" "includes $target: another library's internals"
  fi
done < <(find . -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
         xargs -0 -r grep -HE '^[[:space:]]*#[[:space:]]*include')

for file in "${gl_free[@]}"; do
  [ -f "$file" ] || continue
  if grep -Eq '#[[:space:]]*include[[:space:]]*"render/(Graphics\.h|gl/)' "$file"; then
    fail "$file" "is GL-free but includes the device or gl/"
  fi
done

if [ $failures -gt 0 ]; then
  echo "layering: $failures include(s) break the dependency order" >&2
  exit 1
fi
echo "layering: ok"
