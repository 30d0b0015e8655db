#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked into a temporary root (dpkg-deb -x), the
# program runs from there with HOME in a temporary folder and from another folder: its version,
# the demo (template and images from the unpacked share folder), a page command, the windows
# offscreen up to the database chooser. Everything the programs write is traced (strace) and
# must lie in HOME or the demo folder. Then the menu entry, the AppStream metadata, the manual
# page, the completion and lintian.
# Usage: packaging/package_test.sh build/lanereport_VERSION_ARCH.deb
set -uo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "package-test: $*" >&2
  failed=1
}

root=$work/root
home=$work/home
demo=$work/demo
mkdir -p "$root" "$home/run" "$work/trace"
chmod 700 "$home/run"
dpkg-deb -x "$deb" "$root" || { echo "package-test: cannot unpack $deb" >&2; exit 1; }
program=$root/usr/bin/lanereport
share=$root/usr/share/lanereport

# Runs the unpacked program in HOME with a clean environment, traced; its output in $work/out.
run() {
  (cd "$home" && env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    XDG_RUNTIME_DIR="$home/run" "$@" \
    strace -f -ff -y -qq -o "$work/trace/t" \
      -e trace=execve,open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,rmdir,link,linkat,symlink,symlinkat,truncate,chmod,fchmodat,chown,lchown,fchownat,utimensat \
      "$program" "${RUN_ARGS[@]}" >"$work/out" 2>"$work/err")
}

RUN_ARGS=(--version)
run
version=$(dpkg-deb -f "$deb" Version)
grep -qx "lanereport $version" "$work/out" || fail "--version said: $(cat "$work/out" "$work/err")"

RUN_ARGS=(demo "$demo")
run || fail "demo failed: $(cat "$work/err")"
cmp -s "$share/BowlerData.xlsx" "$demo/BowlerData.xlsx" || fail "the demo's template is not the packaged one"
for image in "$share"/jpg/*.jpg; do
  cmp -s "$image" "$demo/site/jpg/$(basename "$image")" || fail "the demo site lacks $(basename "$image")"
done

# A page command: the score tables of the first sample bowler for last year.
RUN_ARGS=(bowlers "$demo/sample.db")
run || fail "bowlers failed: $(cat "$work/err")"
bowler=$(awk 'NR == 2 { print $3 }' "$work/out")  # number, name, folder name, games
year=$(($(date +%Y) - 1))
RUN_ARGS=(score-pages "$demo/sample.db" --bowler "$bowler" --from "$year/01/01" --to "$year/12/31"
          --out "$demo/pages")
run || fail "score-pages for '$bowler' failed: $(cat "$work/err")"
[ -n "$(find "$demo/pages" -name "${year}*.html" -print -quit 2>/dev/null)" ] || fail "score-pages wrote no page"
cmp -s "$share/jpg/strike.jpg" "$demo/pages/jpg/strike.jpg" || fail "score-pages did not copy the packaged images"

# The windows, offscreen: the splash, then the database chooser after two seconds. A ZEPA.INI
# of an older version in the config folder is brought up to date on the way.
config=$home/.config/lanereport
mkdir -p "$config"
printf '[SYSTEM]\r\nVer=0.9.0\r\n' >"$config/ZEPA.INI"
RUN_ARGS=()
run QT_QPA_PLATFORM=offscreen LANEREPORT_NO_ANIMATION=1 2>/dev/null &
windows=$!
# The chooser, when it opens, looks for the folder it remembers in DialogBox.ini.
for _ in $(seq 60); do
  grep -qs "\"$config/DialogBox.ini\"" "$work"/trace/t.* && break
  sleep 0.5
done
sleep 1
helper=$(grep -ls "^execve(\"$root/usr/libexec/lanereport/lanereport-windows\"" "$work"/trace/t.* | head -1)
if [ -z "$helper" ]; then
  fail "lanereport did not start the packaged windows' program: $(cat "$work/err")"
elif ! kill -0 "${helper##*.}" 2>/dev/null; then
  fail "the windows did not stay open at the chooser: $(cat "$work/err")"
else
  kill -TERM "${helper##*.}"
fi
# Whatever happened, the traced run ends here.
for _ in $(seq 20); do
  kill -0 "$windows" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$windows" 2>/dev/null; then
  fail "the windows did not end on SIGTERM"
  for pid in $(grep -l . "$work"/trace/t.* | sed 's/.*\.//'); do kill -KILL "$pid" 2>/dev/null; done
fi
wait "$windows" 2>/dev/null
grep -qs "\"$config/DialogBox.ini\"" "$work"/trace/t.* || fail "the chooser did not look for DialogBox.ini in $config"
grep -q 'Ver=1\.' "$config/ZEPA.INI" || fail "ZEPA.INI in the config folder was not brought up to date"
grep -qs "\"$share/BowlerData.xlsx\"" "$work"/trace/t.* || fail "the template was not read from $share"

# Every path the programs wrote, made, renamed, removed or changed lies in HOME or the demo
# folder (or is a device).
written_outside() {  # the trace files
  HOME_DIR="$home" DEMO_DIR="$demo" perl -ne '
  BEGIN { @ok = ("$ENV{HOME_DIR}/", "$ENV{DEMO_DIR}/", "/dev/", "/proc/"); }
  next unless /^(\w+)\((.*)\) += (-?\d+)(?:<([^>]*)>)?/;
  my ($call, $args, $ret, $result) = ($1, $2, $3, $4);
  next if $ret < 0 || $call eq "execve";
  my @paths;
  if ($call =~ /^open/) {
    next unless $args =~ /O_WRONLY|O_RDWR|O_CREAT|O_TRUNC/;
    push @paths, $result if defined $result;
  }
  if (!@paths) {
    while ($args =~ /(?:<([^>]*)>, )?"((?:[^"\\]|\\.)*)"/g) {
      my ($dir, $p) = ($1, $2);
      $p = (defined $dir ? $dir : $ENV{HOME_DIR}) . "/$p" unless $p =~ m{^/};
      push @paths, $p;
    }
    @paths = ($paths[-1]) if $call =~ /^symlink/ && @paths;
  }
  for my $p (@paths) {
    print "$call $p\n" unless grep { index("$p/", $_) == 0 } @ok;
  }' "$@" | sort -u
}
# The check itself first: writes outside are found, reads and failed calls are not.
cat >"$work/fake" <<FAKE
openat(AT_FDCWD</x>, "/etc/passwd", O_RDONLY|O_CLOEXEC) = 3</etc/passwd>
openat(AT_FDCWD</x>, "/srv/a", O_WRONLY|O_CREAT|O_TRUNC, 0666) = 3</srv/a>
openat(AT_FDCWD</x>, "/srv/b", O_WRONLY|O_CREAT, 0666) = -1 EACCES (Permission denied)
renameat2(AT_FDCWD</x>, "$home/t", 4</srv>, "c", 0) = 0
mkdir("$demo/site", 0777) = 0
unlink("relative") = 0
FAKE
[ "$(written_outside "$work/fake")" = "openat /srv/a
renameat2 /srv/c" ] || fail "the check of written paths does not work: $(written_outside "$work/fake")"
outside=$(written_outside "$work"/trace/t.*)
[ -z "$outside" ] || fail "written outside HOME and the demo folder:
$outside"

# The menu entry, the AppStream metadata, the manual page (every command of --help in it) and
# the completion.
desktop-file-validate "$root/usr/share/applications/lanereport.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream")"
manual=$root/usr/share/man/man1/lanereport.1.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manual" >"$work/manual" 2>"$work/manual.err" </dev/null
[ ! -s "$work/manual.err" ] || fail "the manual page: $(cat "$work/manual.err")"
RUN_ARGS=(--help)
run
for command in $(awk '/^コマンド:/ { on = 1; next } on && NF == 0 { exit } on { print $1 }' "$work/out"); do
  grep -q "^       $command\b" "$work/manual" || fail "the manual page lacks the command $command"
done
completion=$root/usr/share/bash-completion/completions/lanereport
got=$(bash -c 'source "$1"; COMP_WORDS=(lanereport score-p); COMP_CWORD=1; _lanereport
               echo "${COMPREPLY[*]}"; COMP_WORDS=(lanereport bulk x.db --y); COMP_CWORD=3
               _lanereport; echo "${COMPREPLY[*]}"' _ "$completion")
[ "$got" = "score-pages score-page
--year" ] || fail "the completion offered: $got"

lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
sed -i '/running with root privileges/d' "$work/lintian"
[ -s "$work/lintian" ] && { echo "lintian:"; cat "$work/lintian"; }

[ $failed -eq 0 ] && echo "package-test: $(basename "$deb") passed"
exit $failed
