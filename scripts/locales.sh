#!/usr/bin/env bash
# Generates the locales the console tests switch to (the Japanese legacy encodings and one that
# writes decimal commas), when they are missing and this user may generate them.
set -euo pipefail
have() { locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-' | grep -qx "$1"; }
if [[ $(id -u) -ne 0 ]]; then
  exit 0
fi
have ja_jp.eucjp || localedef -i ja_JP -f EUC-JP ja_JP.EUC-JP 2>/dev/null || echo "note: could not generate ja_JP.EUC-JP"
# Shift_JIS is not ASCII-compatible to glibc, which generates it only when forced (-c).
have ja_jp.sjis || localedef -c -i ja_JP -f SHIFT_JIS ja_JP.SJIS 2>/dev/null || have ja_jp.sjis ||
  echo "note: could not generate ja_JP.SJIS"
have de_de.utf8 || localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "note: could not generate de_DE.UTF-8"
