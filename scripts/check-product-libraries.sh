#!/usr/bin/env bash
# Checks that the product's libraries hold only code that one of the two
# programs uses: links `vantoro` and `vantoro-bot` again as the build does,
# asking the linker for a map of the archive members it pulled in, and fails
# when a member of one of the project's libraries that they link is pulled in
# by neither (code that only tests or benchmarks use belongs in their own
# libraries: tests/support, bench/support).
#
#   scripts/check-product-libraries.sh [build folder]   (default: build/test)
#
# The folder must be a configured Ninja build with the window (the default);
# the two programs are brought up to date first. Prints, per library, the
# members each program pulls in.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
programs=(vantoro vantoro-bot)

cmake --build "$build" --target "${programs[@]}" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The project's archives that either program links (paths inside the build
# folder, as in the link command), and the members each program pulls in.
: >"$work/libraries"
for program in "${programs[@]}"; do
  link=$(ninja -C "$build" -t commands "$program" | tail -n 1)
  case "$link" in
    *" -o "*) ;;
    *) echo "no link command found for $program" >&2; exit 1 ;;
  esac
  tr ' ' '\n' <<<"$link" | grep -E '^[^/-][^ ]*\.a$' >>"$work/libraries" || true
  relink=$(sed -E "s# -o [^ ]+ # -o $work/$program -Wl,-Map=$work/$program.map #" <<<"$link")
  (cd "$build" && bash -c "$relink")
  # The map's first section: "archive(member)" at the start of a line.
  sed -n '/^Archive member included/,/^\(Discarded input\|Allocating common\|Memory Configuration\)/p' \
    "$work/$program.map" | sed -nE 's#^([^ /][^ (]*\.a)\(([^)]+)\).*#\1 \2#p' | sort -u \
    >"$work/$program.members"
  if [ ! -s "$work/$program.members" ]; then
    echo "the linker's map of $program names no archive member (another linker?)" >&2
    exit 1
  fi
done
sort -u -o "$work/libraries" "$work/libraries"

unused=0
while read -r library; do
  name=$(basename "$library" .a)
  name=${name#lib}
  members=$(ar t "$build/$library" | sort -u)
  if [ -z "$members" ]; then
    echo "$name (no code: headers and resources only)"
    continue
  fi
  echo "$name"
  for member in $members; do
    users=()
    for program in "${programs[@]}"; do
      grep -qxF "$library $member" "$work/$program.members" && users+=("$program")
    done
    if [ ${#users[@]} -eq 0 ]; then
      printf '  %-28s UNUSED by both programs\n' "$member"
      unused=1
    else
      printf '  %-28s %s\n' "$member" "${users[*]}"
    fi
  done
done <"$work/libraries"

if [ "$unused" -ne 0 ]; then
  echo "A member of a product library is used by neither program: move it to the tests' or" \
    "the benchmarks' own library (tests/support, bench/support), or delete it." >&2
  exit 1
fi
