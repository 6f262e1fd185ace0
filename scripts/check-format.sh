#!/usr/bin/env bash
# Fails when a tracked .cpp or .h file is not as the committed .clang-format
# writes it, and names the files with the command that formats them. The
# version is pinned: another clang-format version lays out some lines
# differently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

clang_format=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$clang_format" >/dev/null 2>&1; then
  echo "check-format: $clang_format is missing; run scripts/install-deps.sh" >&2
  exit 2
fi
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "check-format: $root is not a git work tree; the check reads the tracked files" >&2
  exit 2
fi

# Files deleted in the work tree but not yet in the index are skipped.
mapfile -d '' files < <(git ls-files -z --cached --exclude-standard -- '*.cpp' '*.h')
present=()
for f in "${files[@]}"; do
  [ -f "$f" ] && present+=("$f")
done

report=$(printf '%s\0' "${present[@]}" |
  xargs -0 -n 64 "$clang_format" --dry-run --Werror 2>&1 >/dev/null || true)
mapfile -t unformatted < <(printf '%s\n' "$report" |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)

if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "These files are not formatted with the committed .clang-format:" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  echo "Format them with:" >&2
  echo "  $clang_format -i ${unformatted[*]}" >&2
  echo "(tables that must stay tables go between // clang-format off and // clang-format on)" >&2
  exit 1
fi
# Anything else clang-format said (an unreadable file, a bad .clang-format)
# is a failure too.
if [ -n "$report" ]; then
  printf '%s\n' "$report" >&2
  exit 1
fi
echo "check-format: ${#present[@]} files formatted"
