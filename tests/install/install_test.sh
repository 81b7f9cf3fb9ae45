#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The shell_rux developers
#
# Installs the build as the package does (prefix /usr, stripped), checks what a user gets:
# files, programs without a display, manual pages, desktop entry, AppStream data, completion.
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$1 source=$2 stage=$(mktemp -d) failures=0
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAILED: $*" && failures=$((failures + 1)); }
same() { [ "$1" == "$2" ] || fail "$3: got [$1], expected [$2]"; }

DESTDIR=$stage cmake --install "$build" --prefix /usr --strip >/dev/null || fail "cmake --install"
cd "$stage" || exit 1
same "$(find . -type f -printf '%P\n' | LC_ALL=C sort)" \
  "$(LC_ALL=C sort "$source/tests/install/installed-files.txt")" "the installed files"
grep -rlaF -e "$source" -e "$build" . && fail "installed files name the source or build folder"

bin=$stage/usr/bin
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
same "$("$bin/shell_rux-cli" --version)" "shell_rux-cli 4.5" "shell_rux-cli --version"
same "$("$bin/shell_rux" --version)" "shell_rux 4.5" "shell_rux --version"
"$bin/shell_rux" --help | grep -q -- "--version" || fail "shell_rux --help"
usage=$("$bin/rux4.exe") || fail "the engine's status without items"
same "${usage%%$'\n'*}" \
  "rux4.exe 4.5 - encodes or decodes one file with a Master Key of a Key Book" "the engine's usage"

# Manual pages render without warnings; the command-line program's names every command.
for page in usr/share/man/man1/*.1.gz; do
  same "$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)" "" "warnings of $page"; done
manual=$(MANWIDTH=200 man -l usr/share/man/man1/shell_rux-cli.1.gz 2>/dev/null)
commands=$("$bin/shell_rux-cli" --help | sed -n 's/^  \(book [a-z]*\|config [a-z]*\|run\|--[a-z]*\).*/\1/p')
[ "$(wc -l <<<"$commands")" -ge 10 ] || fail "the commands of --help: $commands"
while read -r command; do
  grep -qF -e "$command" <<<"$manual" || fail "the manual page lacks $command"
done <<<"$commands"

# The desktop entry starts an installed program with an installed icon.
entry=usr/share/applications/org.shellrux.shell_rux.desktop
[ -x "$bin/$(sed -n 's/^Exec=//p' $entry)" ] || fail "the desktop entry's Exec"
[ -f "usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' $entry).svg" ] ||
  fail "the desktop entry's Icon"
! command -v desktop-file-validate >/dev/null || desktop-file-validate $entry ||
  fail "desktop-file-validate"
! command -v appstreamcli >/dev/null ||
  appstreamcli validate --no-net --pedantic --strict usr/share/metainfo/*.xml >/dev/null ||
  fail "appstreamcli validate"

# What Tab offers after each command line typed so far (before the |).
if [ -f /usr/share/bash-completion/bash_completion ]; then
  mkdir -p work/dir && touch "work/a book.dat" work/job.cfg && cd work || exit 1
  while IFS='|' read -r line expected; do
    offered=$(bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"
      read -ra COMP_WORDS <<<"$2"
      [[ $2 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$2 COMP_POINT=${#2} COMPREPLY=()
      _shell_rux_cli 2>/dev/null
      printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | xargs -d "\n" echo
    ' bash "$stage/usr/share/bash-completion/completions/shell_rux-cli" "$line")
    same "$offered" "$expected" "completion of [$line]"
  done <<'LINES'
shell_rux-cli |book config run
shell_rux-cli --|--help --version
shell_rux-cli book |add delete list modify search show
shell_rux-cli book list --|--all --help
shell_rux-cli book show a|a book.dat
shell_rux-cli config |set show
shell_rux-cli config set job.cfg ke|keybook=
shell_rux-cli config set job.cfg param1|param10= param11= param12= param13= param14= param1=
shell_rux-cli config set job.cfg keybook=a|keybook=a book.dat
shell_rux-cli config set job.cfg number=|
shell_rux-cli run j|job.cfg
shell_rux-cli run job.cfg |decode encode
shell_rux-cli run job.cfg encode --|--help --yes
LINES
fi

exit $((failures > 0))
