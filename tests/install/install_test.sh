#!/usr/bin/env bash
# The installed Twinlens as a person gets it: installs the build into a
# temporary DESTDIR, checks the layout, validates the desktop entry and the
# metainfo, runs the installed twinlens-cli, checks that its completions and
# manual page know every option it has, and starts the installed window
# program in German to see that it reads the installed catalogue.
#
#   install_test.sh BUILD_DIR PROBE_LIBRARY VERSION UPDATE_CHECK(0|1) APP_ID
set -uo pipefail
build=$1 probe=$2 version=$3 update_check=$4 id=$5

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" >/dev/null 2>&1 || fail "$what"; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR=$tmp/root cmake --install "$build" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log" >&2; exit 1; }
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
root=$tmp/root$prefix
bin=$root/bin share=$root/share

# --- layout ---------------------------------------------------------------
[ "$(ls "$bin" | sort | tr '\n' ' ')" = "twinlens twinlens-cli " ] || fail "bin/ holds $(ls "$bin" | tr '\n' ' ')"
for f in twinlens/transl.dt applications/$id.desktop metainfo/$id.metainfo.xml \
         icons/hicolor/scalable/apps/$id.svg man/man1/twinlens.1.gz man/man1/twinlens-cli.1.gz \
         bash-completion/completions/twinlens-cli zsh/vendor-completions/_twinlens-cli; do
  [ -f "$share/$f" ] || fail "share/$f is missing"
done
for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x$size/apps/$id.png
  # The PNG header's width and height, big-endian at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
  [ "$dims" = "${size}x$size" ] || fail "icon $png is $dims, not ${size}x$size"
done

# --- the validators --------------------------------------------------------
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" || fail "metainfo release is not $version"
grep -q "^Icon=$id\$" "$share/applications/$id.desktop" || fail "desktop entry does not name the icon $id"

# --- twinlens-cli ----------------------------------------------------------
out=$("$bin/twinlens-cli" --version) || fail "twinlens-cli --version failed"
[ "$out" = "Twinlens $version" ] || fail "twinlens-cli --version says '$out', not 'Twinlens $version'"

# Every option the program takes is completed by both shells and documented.
options=$("$bin/twinlens-cli" --help | grep -o -- '^  --[a-z-]*' | tr -d ' ')
[ -n "$options" ] || fail "no option in twinlens-cli --help"
man_text=$(zcat "$share/man/man1/twinlens-cli.1.gz" | sed 's/\\-/-/g')
for o in $options; do
  grep -q -- "[\" ]$o\b" "$share/bash-completion/completions/twinlens-cli" || fail "bash does not complete $o"
  # zsh: '--name...', '(...)--name...', or '*--name...' for one that may repeat.
  grep -q -- "[')*]$o[=[]" "$share/zsh/vendor-completions/_twinlens-cli" || fail "zsh does not complete $o"
  grep -q -- "^\.B[I]* $o\b" <<<"$man_text" || grep -q -- "^\.BR $o " <<<"$man_text" || fail "twinlens-cli.1 does not document $o"
done

# The bash completion as bash runs it: options, modes, folders.
mkdir -p "$tmp/cwd/photos" "$tmp/cwd/papers" "$tmp/cwd/--odd" && touch "$tmp/cwd/plain.txt"
completed=$(cd "$tmp/cwd" && bash --norc -c '
  source "$1"
  run() { COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _twinlens_cli
          printf "%s\n" "$(printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " ")"; }
  run twinlens-cli --comp
  run twinlens-cli --compare ""
  run twinlens-cli --compare=name
  run twinlens-cli --quiet p
  run twinlens-cli -- --' _ "$share/bash-completion/completions/twinlens-cli")
expected="--compare 
content name name-size size 
name name-size 
papers photos 
--odd "
[ "$completed" = "$expected" ] || fail "bash completion gave:
$completed"

# The manual pages render without a warning.
for page in twinlens twinlens-cli; do
  warnings=$(zcat "$share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done

# --- the window ------------------------------------------------------------
# German from the system language, with no saved choice: the menus show the
# catalogue's German only when the installed share/twinlens/transl.dt is read
# (the build folder's copy is not beside the installed program).
run_window() {
  env -u LC_ALL -u LC_MESSAGES -u LANG LANGUAGE=de XDG_CONFIG_HOME="$tmp/config" HOME="$tmp" \
      QT_QPA_PLATFORM=offscreen LD_PRELOAD="$probe" ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 \
      PROBE_ICON_DIR="$share/icons/hicolor" PROBE_ICON_NAME="$id" \
      timeout 90 "$bin/twinlens" 2>"$tmp/window.err"
}
shown=$(run_window) || fail "the installed twinlens did not show its window: $(cat "$tmp/window.err")"
grep -qx "title=Twinlens $version" <<<"$shown" || fail "window caption: $shown"
grep -q '^menus=&Datei|' <<<"$shown" || fail "the window is not German: $shown"
grep -qx 'icon=same' <<<"$shown" || fail "the window icon is not the installed icon: $shown"
grep -qx "desktop=$id" <<<"$shown" || fail "desktop file name: $shown"
rm "$share/twinlens/transl.dt"
shown=$(run_window)
grep -q '^menus=&File|' <<<"$shown" || fail "without its catalogue the window is not English: $shown"

# --- the update check switch -----------------------------------------------
# Built without the check, the program cannot reach the network at all, and
# holds no new-version dialog (whose class name its meta-object keeps).
needed=$(readelf -d "$bin/twinlens" | grep NEEDED)
update_texts=$(grep -c -a 'TfrmNewVersion' "$bin/twinlens")
grep -q libQt6Network <<<"$needed" && fail "twinlens links QtNetwork"
if [ "$update_check" = 1 ]; then
  grep -q libcurl <<<"$needed" || fail "twinlens with the update check does not link libcurl"
  [ "$update_texts" -gt 0 ] || fail "twinlens with the update check holds no update code"
else
  grep -q libcurl <<<"$needed" && fail "twinlens without the update check links libcurl"
  [ "$update_texts" -eq 0 ] || fail "twinlens without the update check holds update code"
  zcat "$share/man/man1/twinlens.1.gz" | grep -q 'does not look for new versions' || fail "twinlens.1 speaks of an update check"
fi

[ $failures -eq 0 ] && echo "PASS: installed Twinlens $version" || exit 1
