# Shared by tools/test, tools/run and tools/wine-run. Source it; it defines functions only.

ZEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZEL_PACKAGES="cmake ninja-build ccache g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 xvfb xauth googletest util-linux python3 microsocks wamerican sqlite3-doc fonts-liberation fp-units-math clang-format git"

zel_say() { printf '%s\n' "$*" >&2; }

# Finds the 64-bit Wine loader and its server: packagings put them in different places.
zel_find_wine() {
  local c
  ZEL_WINE= ZEL_WINESERVER=
  for c in "$(command -v wine64)" /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
      /usr/lib64/wine/wine64 "$(command -v wine)"; do
    [ -n "$c" ] && [ -x "$c" ] && { ZEL_WINE=$c; break; }
  done
  for c in "$(command -v wineserver64)" /usr/lib/wine/wineserver64 /usr/lib/x86_64-linux-gnu/wine/wineserver \
      /usr/lib64/wine/wineserver "$(command -v wineserver)" /usr/lib/wine/wineserver; do
    [ -n "$c" ] && [ -x "$c" ] && { ZEL_WINESERVER=$c; break; }
  done
  [ -n "$ZEL_WINE" ] && [ -n "$ZEL_WINESERVER" ]
}
zel_find_wine

# Installs whatever of the build and test packages is missing (Debian).
zel_install_packages() {
  local missing=() p
  for p in $ZEL_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  zel_say "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
  zel_find_wine || { zel_say "Wine is installed but its loader was not found."; return 1; }
}

# Build trees live under $ZEL_BUILD_ROOT (default build/), so several people working in one tree can
# each keep their own: ZEL_BUILD_ROOT=build/mine tools/test -R memo
ZEL_BUILD_ROOT=${ZEL_BUILD_ROOT:-$ZEL_ROOT/build}
case "$ZEL_BUILD_ROOT" in /*) ;; *) ZEL_BUILD_ROOT="$ZEL_ROOT/$ZEL_BUILD_ROOT" ;; esac

# Configures and builds one architecture: zel_build x86_64|i686 [cmake --build args]
zel_build() {
  local arch=$1; shift
  local dir="$ZEL_BUILD_ROOT/$arch"
  # Build trees at the same depth share compiled objects through ccache.
  export CCACHE_BASEDIR="$ZEL_ROOT" CCACHE_NOHASHDIR=1
  # Warnings in our code are errors (ZEL_WERROR=ON) in every tree made here, so tools/test and
  # tools/run share one configuration and the second command builds nothing again. Only an
  # explicit ZEL_WERROR that differs from the tree's configures it again.
  local werror=${ZEL_WERROR:-}
  if [ ! -f "$dir/build.ninja" ] ||
     { [ -n "$werror" ] && ! grep -q "^ZEL_WERROR:BOOL=$werror\$" "$dir/CMakeCache.txt" 2>/dev/null; }; then
    cmake -S "$ZEL_ROOT" -B "$dir" -G Ninja -DZEL_WERROR="${werror:-ON}" \
      -DCMAKE_TOOLCHAIN_FILE="$ZEL_ROOT/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null || return 1
  fi
  cmake --build "$dir" "$@"
}

# Configures a release tree for a benchmark once, then builds the named targets:
# zel_build_bench <build dir> <target>... [extra cmake definitions through ZEL_BENCH_CMAKE_ARGS]
zel_build_bench() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ZEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release ${ZEL_BENCH_CMAKE_ARGS:-} \
      -DCMAKE_TOOLCHAIN_FILE="$ZEL_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null || return 1
  fi
  cmake --build "$dir" -j4 --target "$@" >/dev/null
}

# zel_build_checked <build dir> <target>...: the fuzzers' build, with the standard library's checked
# mode (_GLIBCXX_DEBUG) and ZEL_FUZZ_FLAGS added; configured once, built with ZEL_JOBS jobs.
zel_build_checked() {
  local dir=$1; shift
  export CCACHE_BASEDIR="$ZEL_ROOT" CCACHE_NOHASHDIR=1
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ZEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS="-D_GLIBCXX_DEBUG -O1 ${ZEL_FUZZ_FLAGS:-}" \
      -DCMAKE_TOOLCHAIN_FILE="$ZEL_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null || return 1
  fi
  cmake --build "$dir" -j"${ZEL_JOBS:-3}" --target "$@" >/dev/null
}

# Wine's environment for every program we start: quiet, no downloads of runtimes we never use.
zel_wine_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
}

# Makes the Wine prefix in $WINEPREFIX once (several tests may ask at the same moment).
zel_ensure_prefix() {
  zel_wine_env
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zel-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$ZEL_WINE" wineboot -i >/dev/null 2>&1
      # There is no window manager on a virtual display; unmanaged windows show and hide at once
      # instead of waiting for one.
      "$ZEL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      # The editor's default font; the metric-compatible free font stands in for it, so text lays
      # out in the same cells as on Windows.
      "$ZEL_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /t REG_SZ /d 'Liberation Mono' /f >/dev/null 2>&1
      # A crashing program ends at once with its back trace on the terminal; the crash dialog
      # would wait on a virtual display that nobody looks at until CTest's time-out.
      "$ZEL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      "$ZEL_WINESERVER" -w
      touch "$WINEPREFIX/.zel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Keeps one wineserver alive for the whole run, so each program starts fast.
zel_start_wineserver() {
  "$ZEL_WINESERVER" -p >/dev/null 2>&1 || true
}

zel_stop_wineserver() {
  "$ZEL_WINESERVER" -k >/dev/null 2>&1 || true
}

# Gives windows a virtual display when there is none. Xvfb picks a free display number itself
# (-displayfd), so several runs may start at once.
zel_ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local numfile i
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  ZEL_XVFB_PID=$!
  for i in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    zel_say "Xvfb did not start."
    return 1
  fi
  export DISPLAY=":$(head -n1 "$numfile")"
  rm -f "$numfile"
}

zel_stop_display() {
  [ -n "${ZEL_XVFB_PID:-}" ] && kill "$ZEL_XVFB_PID" 2>/dev/null
  ZEL_XVFB_PID=
}

# What an installer would put in the program folder: the deliverables and the data they read, and
# the folders of data beside them (the main dictionaries and the help pages).
ZEL_PROGRAM_FILES="zel.exe zelvalidatorliteV30.dll orvalenlite30.cfg taginsertercfg.txt cssinsertercfg.txt"
ZEL_PROGRAM_FOLDERS="Dictionary Documentation"

# Copies one file into the program folder unless it is there already. A running copy of the
# program has its files mapped: the new file is written beside it and renamed into place, so the
# running copy keeps reading the old one instead of finding it rewritten under it.
zel_install_file() {
  cmp -s "$1" "$2" && return 0
  cp "$1" "$2.new" && mv -f "$2.new" "$2"
}

# Copies the program folder from a build tree into $WINEPREFIX and writes the registry values
# an installer would write. Sets ZEL_PROGRAM_DIR.
zel_install_program() {
  local build=$1 f
  ZEL_PROGRAM_DIR="$WINEPREFIX/drive_c/Program Files/ZEL"
  mkdir -p "$ZEL_PROGRAM_DIR"
  for f in $ZEL_PROGRAM_FILES; do
    [ -f "$build/bin/$f" ] && zel_install_file "$build/bin/$f" "$ZEL_PROGRAM_DIR/$f"
  done
  local d
  for d in $ZEL_PROGRAM_FOLDERS; do
    [ -d "$build/bin/$d" ] || continue
    mkdir -p "$ZEL_PROGRAM_DIR/$d"
    for f in "$build/bin/$d"/*; do
      [ -f "$f" ] && zel_install_file "$f" "$ZEL_PROGRAM_DIR/$d/$(basename "$f")"
    done
  done
  zel_wine_env
  local key='HKCU\Software\Nortavia\ZEL Orvalent Lite v2'
  "$ZEL_WINE" reg add "$key" /v InstallDirV30 /t REG_SZ /d 'C:\Program Files\ZEL' /f >/dev/null 2>&1 &&
    "$ZEL_WINE" reg add "$key" /v EditorEXE /t REG_SZ /d 'C:\Program Files\ZEL\zel.exe' /f >/dev/null 2>&1 ||
    { zel_say "Could not write the registry values in $WINEPREFIX."; return 1; }
}
