#!/usr/bin/env bash
# Generates the locales the console tests switch to (a Japanese legacy encoding and one that
# writes decimal commas), when they are missing and this user may generate them.
set -euo pipefail
have() { locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-' | grep -qx "$1"; }
if [[ $(id -u) -ne 0 ]]; then
  exit 0
fi
have ja_jp.eucjp || localedef -i ja_JP -f EUC-JP ja_JP.EUC-JP 2>/dev/null || echo "note: could not generate ja_JP.EUC-JP"
have de_de.utf8 || localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "note: could not generate de_DE.UTF-8"
