# Shared by bench/run-validate (the engine under the emulator) and bench/run-validate-native (the
# engine built natively): the pages both measure, and the side-by-side run against Tidy. Source it;
# it defines functions and the list of packages only.

# Real documentation pages of four kinds, fixed by name: package, folder, number of pages (the
# first in name order). Sphinx pages of middle size; large reference pages; many small pages
# generated from DocBook; API pages generated from C++ headers (tables of members, source listings).
ZEL_VALIDATE_PACKAGES="
cmake-doc /usr/share/doc/cmake-doc/html 400
python3.11-doc /usr/share/doc/python3.11/html/library 100
postgresql-doc-15 /usr/share/doc/postgresql-doc-15/html 600
libstdc++-12-doc /usr/share/doc/libstdc++-12-doc/libstdc++/user 200
"
ZEL_VALIDATE_ONELINE_KB="64 256 1024 2048"

# Installs Tidy, bc and the documentation packages when they are missing.
zel_validate_install() {
  local p missing=()
  for p in tidy bc $(echo "$ZEL_VALIDATE_PACKAGES" | awk 'NF { print $1 }'); do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  zel_say "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# zel_validate_lists <work folder>: pages.txt for the engine (a "# package" line before each
# package's pages) and pages-<package>.txt for Tidy.
zel_validate_lists() {
  local work=$1 name dir count
  : >"$work/pages.txt"
  while read -r name dir count; do
    [ -n "$name" ] || continue
    find -L "$dir" -name '*.html' -type f | LC_ALL=C sort | head -n "$count" >"$work/pages-$name.txt"
    echo "# $name" >>"$work/pages.txt"
    cat "$work/pages-$name.txt" >>"$work/pages.txt"
  done <<<"$ZEL_VALIDATE_PACKAGES"
}

zel_validate_now() { date +%s.%N; }

# Seconds Tidy takes as a checker (errors and warnings only) over the files listed, many files per
# process, so that its start-up is paid about once, as the engine's is.
zel_validate_tidy_time() {
  local s e
  s=$(zel_validate_now)
  xargs -a "$1" -d '\n' tidy -q -e >/dev/null 2>&1 || true
  e=$(zel_validate_now)
  echo "$e - $s" | bc -l
}

# zel_validate_compare <work folder> <rounds> <engine command...>: runs the engine command (which
# prints validate_bench's lines, with the one-line pages written into the work folder) and Tidy on
# the same pages, both sides interleaved round after round, and prints the best of the rounds per
# package, overall (total bytes over total time on each side) and for the one-line pages.
zel_validate_compare() {
  local work=$1 rounds=$2
  shift 2
  local round name dir count kb f t bytes
  : >"$work/measured.txt"
  for round in $(seq 1 "$rounds"); do
    "$@" | tr -d '\r' | tee "$work/engine-$round.txt" | sed "s/^/round $round: /" >&2
    while read -r name dir count; do
      [ -n "$name" ] || continue
      bytes=$(xargs -a "$work/pages-$name.txt" -d '\n' cat | wc -c)
      t=$(sed -n "s/^group $name pages [0-9]* ([0-9.]* MB): \([0-9.]*\) s,.*/\1/p" "$work/engine-$round.txt")
      echo "$name zel $bytes $t" >>"$work/measured.txt"
      echo "$name tidy $bytes $(zel_validate_tidy_time "$work/pages-$name.txt")" >>"$work/measured.txt"
    done <<<"$ZEL_VALIDATE_PACKAGES"
    for kb in $ZEL_VALIDATE_ONELINE_KB; do
      f="$work/oneline-${kb}k.html"
      [ -f "$f" ] || continue
      bytes=$(stat -c %s "$f")
      t=$(sed -n "s/^oneline $kb KB: \([0-9.]*\) s,.*/\1/p" "$work/engine-$round.txt")
      echo "oneline-${kb}KB zel $bytes $t" >>"$work/measured.txt"
      # Ten runs in one process, for a time Tidy's start-up does not swamp.
      for _ in 1 2 3 4 5 6 7 8 9 10; do echo "$f"; done >"$work/one.txt"
      echo "oneline-${kb}KB tidy $((10 * bytes)) $(zel_validate_tidy_time "$work/one.txt")" >>"$work/measured.txt"
    done
  done
  echo
  awk '
    { key = $1 SUBSEP $2
      if (!(key in best) || $4 < best[key]) { best[key] = $4; size[key] = $3 }
      if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
    function rate(k) { return best[k] > 0 ? size[k] / 1048576 / best[k] : 0 }
    END {
      printf "%-22s %10s %12s %12s %8s\n", "input", "MB", "ZEL MB/s", "Tidy MB/s", "ratio"
      for (i = 1; i <= n; ++i) {
        z = order[i] SUBSEP "zel"; y = order[i] SUBSEP "tidy"
        if (order[i] !~ /^oneline-/) { zb += size[z]; zt += best[z]; yb += size[y]; yt += best[y] }
        if (order[i] ~ /^oneline-/ && !shown) {
          printf "%-22s %10.2f %12.2f %12.2f %8.2f\n", "all pages", zb / 1048576, zb / 1048576 / zt, yb / 1048576 / yt, (zb / zt) / (yb / yt)
          shown = 1
        }
        printf "%-22s %10.2f %12.2f %12.2f %8.2f\n", order[i], size[z] / 1048576, rate(z), rate(y), (rate(y) > 0 ? rate(z) / rate(y) : 0)
      }
      if (!shown)
        printf "%-22s %10.2f %12.2f %12.2f %8.2f\n", "all pages", zb / 1048576, zb / 1048576 / zt, yb / 1048576 / yt, (zb / zt) / (yb / yt)
    }' "$work/measured.txt"
  # Memory against the document and seconds per MB at each size, as the first round measured them.
  grep -h -E '^(joined|oneline)' "$work/engine-1.txt" | sed 's/^/engine: /'
}
