#!/usr/bin/env bash
# Drives zrk-builder.exe on a display (run by scripts/windows-test.sh inside xvfb-run) through
# window_probe.exe (tests/app/win32/window_probe.cpp), as a user does: Browse, the project, the
# package name, the success box; then the package written, named on the command line, shown and
# not extracted. Writes what it saw, and pictures of it, into $out. Each probe command waits for
# its window to appear.
# Environment: wine, builder_exe, probe_exe, project and package (Windows paths), out.
set -euo pipefail
"$wine" "$builder_exe" &
"$wine" "$probe_exe" browse
"$wine" "$probe_exe" dialog 'Открыть' >"$out/open-dialog.txt"
sleep 1
import -window root "$out/open-dialog.png"
"$wine" "$probe_exe" accept 'Открыть' "$project"
"$wine" "$probe_exe" dialog 'Сохранить как' >"$out/save-dialog.txt"
"$wine" "$probe_exe" accept 'Сохранить как' "$package"
for _ in $(seq 1 120); do [ -f "$out/package.zrk" ] && break; sleep 0.5; done
"$wine" "$probe_exe" dialog 'Сборщик ZRK серии 4.x (29)' >/dev/null # the success box
sleep 1
import -window root "$out/success-box.png"
"$wine" "$probe_exe" confirm-box
sleep 1
"$wine" "$probe_exe" report >"$out/report.txt"
import -window root "$out/zrk-builder.png"
wineserver -k
wineserver -w
"$wine" "$builder_exe" "$package.zrk" &
"$wine" "$probe_exe" answer-box no
sleep 1
"$wine" "$probe_exe" report >"$out/package-report.txt"
import -window root "$out/package.png"
wineserver -k
