# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that fetch from Debian's archive with an apt state of their own.

# The first mirror the machine's apt sources give for the suite $1, from deb822 .sources files
# and one-line lists alike.
machine_mirror() {
  local suite=$1 f
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '
        function flush() { if (u != "" && (" " t " ") ~ / deb / && (" " su " ") ~ (" " s " ")) print u; u = su = t = "" }
        /^[[:space:]]*$/ { flush(); next }
        tolower($1) == "uris:" { u = $2 }
        tolower($1) == "suites:" { $1 = ""; su = $0 }
        tolower($1) == "types:" { $1 = ""; t = $0 }
        END { flush() }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ } if ($(i + 1) == s) print $i }' "$f"
    done
  } | head -n1
}
