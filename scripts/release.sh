#!/usr/bin/env bash
# Builds the 32- and 64-bit ombry.exe and packs the release into dist/:
#
#   dist/ombry-<version>-x86.zip, dist/ombry-<version>-x64.zip
#                 ombry.exe, README.txt, LICENSE, CHANGES.txt
#   dist/SHA256SUMS
#   dist/winget/  the winget manifest (multi-file), hashes from SHA256SUMS
#   dist/scoop/ombry.json
#
#   scripts/release.sh
#
# Installs what is missing first. The version is project(VERSION) in
# CMakeLists.txt. The same commit gives byte-identical zips wherever the tree
# lies: every entry is dated SOURCE_DATE_EPOCH (the last commit's time unless
# set), and the exe carries no folder name and no link time.
#
# OMBRY_RELEASE_URL  where the zips will be downloaded from, the manifests'
#                    base: https://example.invalid/ombry/releases/download/v<version>
#                    unless set (a placeholder: set it for a real release)
# OMBRY_HOMEPAGE     the manifests' home page: https://example.invalid/ombry unless set
# OMBRY_RELEASE_BUILD  the folder holding the win32/ and win64/ builds:
#                    build/release unless set (build/ reuses the presets' own)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/wine-env.sh  # _ombry_missing_packages

say() { printf 'release: %s\n' "$*" >&2; }

install_deps() {
    local missing
    mapfile -t missing < <(_ombry_missing_packages \
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make python3 git)
    ((${#missing[@]})) || return 0
    say "installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
install_deps || { say "could not install the packages needed"; exit 1; }

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
        { say "no git history here: set SOURCE_DATE_EPOCH"; exit 1; }
fi
export SOURCE_DATE_EPOCH
if [[ -n $(git -C "$root" status --porcelain 2>/dev/null) ]]; then
    say "warning: the tree has changes not committed; these zips belong to no commit"
fi

# Each exe in a build folder of its own, beside the presets' (which this
# leaves alone): only the exe, not the tests and tools.
build=${OMBRY_RELEASE_BUILD:-$root/build/release}
jobs=$(nproc 2>/dev/null || echo 2)
for preset in win32 win64; do
    say "building ombry.exe ($preset)"
    cmake --preset "$preset" -B "$build/$preset" >/dev/null
    cmake --build "$build/$preset" --target ombry -j "$jobs"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win64/CMakeCache.txt")
[[ -n $version ]] || { say "no project version in $build/win64/CMakeCache.txt"; exit 1; }
url=${OMBRY_RELEASE_URL:-https://example.invalid/ombry/releases/download/v$version}
homepage=${OMBRY_HOMEPAGE:-https://example.invalid/ombry}

rm -rf dist
python3 packaging/pack.py --version "$version" --epoch "$SOURCE_DATE_EPOCH" \
    --url "$url" --homepage "$homepage" \
    --exe-x86 "$build/win32/ombry.exe" --exe-x64 "$build/win64/ombry.exe" --out dist
say "Ombry $version:"
(cd dist && sha256sum -c SHA256SUMS >&2 && ls -l ./*.zip >&2)
