#!/usr/bin/env bash
# Writes the seeds that are made from files already in the tree (the test pages, the shipped
# data files) into the folder given, one sub-folder per target, in each target's input format
# (see the comment at the top of each fuzz_*.cpp). Hand-made seeds live in fuzz/corpus/.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seeds="${1:?usage: fuzz/seeds.sh FOLDER}"
rm -rf "$seeds"
for t in htmldecode pagescraper languagefile configfile hosttable calldb ziptable updatecheck sitelist \
         sitelistrebuild imagetrailer countryfile callcompletion; do
  mkdir -p "$seeds/$t"
done
pages="$top/tests/e2e/pages"

# HTML to text: the pages without a header, and with a UTF-8 one.
for f in "$pages/index.html" "$pages"/callbook/*; do
  { printf '\0'; cat "$f"; } > "$seeds/htmldecode/$(basename "$f")"
  { printf '\2'; cat "$f"; } > "$seeds/htmldecode/$(basename "$f")-utf8"
done
# The field readers: each call-book page read by every source.
for f in "$pages"/callbook/*; do
  for s in 0 1 2 3 4; do
    { printf "\\$s"; basename "$f"; cat "$f"; } > "$seeds/pagescraper/$(basename "$f")-$s"
  done
done
# The shipped language files, each with its language's index.
i=0
for lang in English Spanish German French Dutch Polish Japanese; do
  { printf "\\$i"; cat "$top/data/Languages/Torvane_$lang.Language"; } > "$seeds/languagefile/$lang"
  i=$((i + 1))
done
cp "$top/data/Torvane.cfg" "$seeds/configfile/"
cp "$top/data/Hosts.cfg" "$seeds/hosttable/"
# The zip table's first 60 records with a zip it holds, one it lacks and a prefix.
head -c 1020 "$top/data/ZIPS.RAN" > "$seeds/ziptable/.table"
for zip in 00601 00699 006; do
  { echo "$zip"; cat "$seeds/ziptable/.table"; } > "$seeds/ziptable/$zip"
done
rm "$seeds/ziptable/.table"

# A call database record: call, name and the other fields padded to 167 bytes.
record() { printf '%-6.6s%-25.25s%-136.136s' "$1" "$2" "1 MAIN ST"; }
# Selector byte, stored call, file: sorted, unsorted with a duplicate, a torn tail.
{ printf '\4W1AW  '; record AA1A A; record K0ABC B; record W1AW C; record ZZ9Z D; } > "$seeds/calldb/sorted"
{ printf '\10K1XX  '; record W1AW C; record AA1A A; record W1AW E; record '  K0AB' B; } > "$seeds/calldb/unsorted"
{ printf '\14N0CALL'; record AA1A A; record K0ABC B; printf 'TORN'; } > "$seeds/calldb/torn"
# A journal: three 8-byte little-endian numbers, a record, the numbers again.
le64() { local v=$1 i; for i in 0 1 2 3 4 5 6 7; do printf "\\$(printf %03o $(((v >> (8 * i)) & 255)))"; done; }
journal() { le64 "$1"; le64 "$2"; le64 "$3"; record "$4" J; le64 "$1"; le64 "$2"; le64 "$3"; }
# An insert of K1ZZ at 1 cut short before the move (the file has the new record at its end),
# and a replace of record 2.
{ printf '\1K2AA  \0\327'; journal 1 1 2 K1ZZ; record AA1A A; record W1AW C; record K1ZZ J; } > "$seeds/calldb/journal-insert"
{ printf '\1K2AA  \0\327'; journal 2 1 3 K0ABC; record AA1A A; record K0ABC B; record W1AW C; } > "$seeds/calldb/journal-replace"

# The site list: three sorted records, looked up by a call it holds and one it lacks.
site() { printf '%-6.6s%-60.60s' "$1" "$2"; }
for call in K0ABC W9ZZZ; do
  { echo "$call"; site AA1A http://aa1a.example/last; site K0ABC http://k0abc.example/;
    site W1AW http://w1aw.example/images; } > "$seeds/sitelist/$call"
done

# The system's country file and active-call list (hamradio-files), their first entries.
ham=/usr/share/hamradio-files
if [ -r "$ham/cty.dat" ]; then
  { echo "VE3/K1ABC"; head -n 60 "$ham/cty.dat"; } > "$seeds/countryfile/cty-head"
  { echo "=W1AW"; tail -n 40 "$ham/cty.dat"; } > "$seeds/countryfile/cty-tail"
fi
if [ -r "$ham/MASTER.SCP" ]; then
  { echo "1A"; head -n 300 "$ham/MASTER.SCP"; } > "$seeds/callcompletion/scp-head"
fi
