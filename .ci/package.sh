#!/usr/bin/env bash
# The Debian package, from the build folder that the tests used: built with
# CPack, checked by lintian, installed with apt-get, run by an ordinary user
# (--once converts a sound, its data under that user's ~/.local/share/Kestrel/),
# its systemd units verified where systemd is present, then removed and purged.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in lintian dpkg-dev file ffmpeg; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

package=kestrel-tools-convert
user=ks3package
work=$(mktemp -d)
state=$(mktemp -d /tmp/ks3state.XXXXXX)
cleanup() {
    dpkg --purge "$package" >/dev/null 2>&1 || true
    id "$user" >/dev/null 2>&1 && userdel -r "$user" >/dev/null 2>&1 || true
    rm -rf "$work" "$state"
}
trap cleanup EXIT

echo "== package: cpack"
rm -f build/${package}_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/${package}_*.deb)
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

echo "== package: lintian"
lintian --fail-on error --allow-root --info "$deb"

echo "== package: apt-get install"
apt-get install -y -qq "./$deb" >/dev/null
test -x /usr/lib/$package/KS3_Tools_Convert
test -x /usr/lib/$package/CoreConverter
test "$(readlink -f /usr/bin/KS3_Tools_Convert)" = /usr/lib/$package/KS3_Tools_Convert

echo "== package: --once as an ordinary user"
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }
as_user mkdir -p "$home/in" "$home/out" "$home/.local/share/Kestrel/Settings/KS3_Convert"
as_user ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 "$home/in/tone.wav"
as_user touch -d '2 minutes ago' "$home/in/tone.wav"
printf '[Dossiers]\r\nSource_0=%s/in/\r\nCible_0=%s/out/\r\nFrequence=5\r\n[Fichiers]\r\nSource_10=True\r\nCible=2\r\nCibleCaracteristiques=2\r\nCibleExistant=0\r\n' \
    "$home" "$home" | as_user tee "$home/.local/share/Kestrel/Settings/KS3_Convert/KS3_Tools_Convert.Ini" >/dev/null
before=$(find /usr/lib/$package | sort)
as_user KS3_Tools_Convert --once
duration=$(as_user ffprobe -v error -show_entries format=duration -of csv=p=0 "$home/out/tone.mp3")
echo "converted: $home/out/tone.mp3, $duration s"
awk -v d="$duration" 'BEGIN { exit !(d > 1.9 && d < 2.1) }'
data="$home/.local/share/Kestrel"
ls "$data"/BTRieve/Data/FRAD041.bt6 "$data"/BTRieve/Data/FRAD042.bt6
ls "$data"/RirozIze/Histo_KS3_Tools_Convert/*.Log
grep -q "Pervasive files closed" "$data"/RirozIze/Histo_KS3_Tools_Convert/*.Log
test "$before" = "$(find /usr/lib/$package | sort)" || { echo "the program wrote into its own folder"; exit 1; }
listed=$(as_user KS3_Tools_Convert --history Fichier tone)
grep -q "tone.wav" <<<"$listed"

echo "== package: --service as the system unit runs it (StateDirectory)"
chown "$user:" "$state"
as_user mkdir -p "$state/Settings/KS3_Convert"
as_user cp "$data/Settings/KS3_Convert/KS3_Tools_Convert.Ini" "$state/Settings/KS3_Convert/"
as_user cp "$home/in/tone.wav" "$home/in/tone2.wav"
as_user touch -d '2 minutes ago' "$home/in/tone2.wav"
setpriv --reuid="$user" --regid="$user" --init-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 STATE_DIRECTORY="$state" KS3_TEST_FIRST_RUN_DELAY=0 \
    /usr/bin/KS3_Tools_Convert --service &
service=$!
for _ in $(seq 600); do
    [ -e "$home/out/tone2.mp3" ] && break
    sleep 0.1
done
sleep 1
kill -TERM "$service"
status=0
wait "$service" || status=$?
test "$status" -eq 0 || { echo "--service ended with status $status"; exit 1; }
test -s "$home/out/tone2.mp3"
grep -q "Pervasive files closed" "$state"/RirozIze/Histo_KS3_Tools_Convert/*.Log
ls "$state"/BTRieve/Data/FRAD041.bt6

if command -v systemd-analyze >/dev/null 2>&1; then
    echo "== package: systemd-analyze verify"
    # A template is verified through one of its instances.
    cp /usr/lib/systemd/system/$package@.service "$work/$package@$user.service"
    systemd-analyze verify "$work/$package@$user.service"
    systemd-analyze verify /usr/lib/systemd/user/$package.service
else
    echo "== package: no systemd here, units not verified"
fi

echo "== package: apt-get remove, dpkg --purge"
apt-get remove -y -qq "$package" >/dev/null
for f in /usr/bin/KS3_Tools_Convert /usr/lib/$package /usr/lib/systemd/system/$package@.service \
    /usr/lib/systemd/user/$package.service /usr/share/applications/$package.desktop; do
    if [ -e "$f" ] || [ -L "$f" ]; then
        echo "left after removal: $f"
        exit 1
    fi
done
# A local package leaves apt's lists once removed: dpkg purges what remains.
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "config-files"; then
    dpkg --purge "$package" >/dev/null
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
    echo "still known to dpkg after purge"
    exit 1
fi
echo "== package: ok"
