#!/bin/sh
# Makes the page one file: the program's script in place of the tag that loads it, and its
# WebAssembly module, gzipped and in base64, in place of @PAGE_WASM@ (page.js unpacks it).
# Usage: pack_page.sh PAGE.html SCRIPT.js MODULE.wasm OUT.html
set -eu
page=$1 script=$2 module=$3 out=$4
# A "</script" in the script would end the inline element early.
if grep -qi '</script' "$script"; then
  echo "pack_page: $script holds </script" >&2
  exit 1
fi
gzip -9nc "$module" | base64 -w0 > "$out.module"
name=$(basename "$script")
awk -v packed_file="$out.module" -v script="$script" -v tag="src=\"$name\"" '
  BEGIN { getline packed < packed_file; found_module = 0; found_script = 0 }
  index($0, "@PAGE_WASM@") {
    at = index($0, "@PAGE_WASM@")
    print substr($0, 1, at - 1) packed substr($0, at + length("@PAGE_WASM@"))
    found_module = 1
    next
  }
  index($0, tag) {
    print "<script>"
    while ((getline line < script) > 0) print line
    print "</script>"
    found_script = 1
    next
  }
  { print }
  END { if (!found_module || !found_script) exit 1 }
' "$page" > "$out.part"
rm -f "$out.module"
mv "$out.part" "$out"
