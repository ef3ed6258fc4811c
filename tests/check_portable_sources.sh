#!/usr/bin/env bash
# Fails when a source file of the program includes a POSIX-only header where a build for
# another platform would meet it: outside an `#ifdef Q_OS_UNIX` block, in a file not named
# `*_posix.cpp`.
set -euo pipefail
src=${1:-$(dirname "$0")/../src}

status=0
while IFS= read -r -d '' file; do
    case "$file" in *_posix.cpp) continue ;; esac
    awk -v file="$file" '
        # A stack of the open conditionals: 1 where the branch is Unix-only.
        /^[ \t]*#[ \t]*if(def)?[ \t]/ {
            unix = ($0 ~ /Q_OS_UNIX/ && $0 !~ /!/ && $0 !~ /ifndef/)
            depth++; guard[depth] = unix; next
        }
        /^[ \t]*#[ \t]*if(n)?def[ \t]/ { depth++; guard[depth] = 0; next }
        /^[ \t]*#[ \t]*(else|elif)/ { if (depth > 0) guard[depth] = 0; next }
        /^[ \t]*#[ \t]*endif/ { if (depth > 0) depth--; next }
        /^[ \t]*#[ \t]*include[ \t]*<(unistd\.h|fcntl\.h|dirent\.h|signal\.h|sys\/[^>]*|linux\/[^>]*)>/ {
            guarded = 0
            for (i = 1; i <= depth; i++) if (guard[i]) guarded = 1
            if (!guarded) { printf "%s:%d: %s outside #ifdef Q_OS_UNIX\n", file, NR, $0; bad = 1 }
        }
        END { exit bad }
    ' "$file" || status=1
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
[ $status -eq 0 ] && echo "every POSIX header in $src is behind Q_OS_UNIX"
exit $status
