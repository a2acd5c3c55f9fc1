#!/usr/bin/env bash
# The identification evaluation on real recordings, in one command:
#   bench/real_audio.sh [--readme] [--clips N] [--offair N]
# Installs what it needs from Debian (sox, espeak-ng, the orchestral soundtrack of
# wesnoth-1.16-music), builds a corpus once in $CORPUS (default /var/tmp/orvane-real-audio),
# builds bench_real_audio_eval and prints its table; --readme also writes the table into
# README.md between the "real-audio-eval" markers.
#
# Channels (150 s each, the last 120 s being where clips come from):
#   13 music: orchestral pieces, three channels cut from one long piece and two from another;
#   8 speech: Russian and English synthesised voices, half of them over a music bed.
# Audio on no channel: other pieces, the unused parts of the pieces cut into channels, and
# the channels' voices reading other words. Babble: three more voices.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
corpus="${CORPUS:-/var/tmp/orvane-real-audio}"
readme=0
args=()
while [ $# -gt 0 ]; do
    case "$1" in
    --readme) readme=1 ;;
    *) args+=("$1") ;;
    esac
    shift
done

need=()
command -v sox >/dev/null || need+=(sox libsox-fmt-base)
command -v espeak-ng >/dev/null || need+=(espeak-ng)
music=/usr/share/games/wesnoth/1.16/data/core/music
[ -d "$music" ] || need+=(wesnoth-1.16-music)
if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "needs: ${need[*]} (run as root, or install them)" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

build_corpus() {
    local out=$1 tmp
    tmp=$(mktemp -d)
    mkdir -p "$out/channels" "$out/offair"
    # A piece from a time on, for a length, as 44100 Hz mono 16-bit.
    cut() { sox "$music/$1.ogg" -r 44100 -c 1 -b 16 "$4" trim "$2" "$3" norm -3; }
    # Music channels.
    cut knalgan_theme 0 150 "$out/channels/music-knalgan-1.wav"
    cut knalgan_theme 150 150 "$out/channels/music-knalgan-2.wav"
    cut knalgan_theme 300 150 "$out/channels/music-knalgan-3.wav"
    cut knolls 0 150 "$out/channels/music-knolls-1.wav"
    cut knolls 200 150 "$out/channels/music-knolls-2.wav"
    for piece in vengeful the_dangerous_symphony casualties_of_war suspense battle siege_of_laurelmor wanderer \
        the_city_falls; do
        cut "$piece" 30 150 "$out/channels/music-$piece.wav"
    done
    # Off air: the same long pieces elsewhere, and pieces of no channel. (Not the end of
    # knalgan_theme: it plays an earlier part of the piece again, sound its channel aired.)
    cut knolls 150 50 "$out/offair/knolls-middle.wav"
    cut knolls 350 55 "$out/offair/knolls-end.wav"
    cut vengeful 200 150 "$out/offair/vengeful-later.wav"
    for piece in nunc_dimittis journeys_end the_king_is_dead heroes_rite the_deep_path silvan_sanctuary \
        traveling_minstrels breaking_the_chains legends_of_the_north northern_mountains into_the_shadows \
        northerners elvish-theme loyalists frantic; do
        cut "$piece" 0 150 "$out/offair/$piece.wav"
    done

    # Texts to read: the GPL in English; in Russian, the texts of this project's demo programme
    # and interface.
    python3 - "$tmp" <<'EOF'
import glob, random, re, sys
out = sys.argv[1]
english = re.split(r"(?<=[.;:])\s+", " ".join(open("/usr/share/common-licenses/GPL-3").read().split()))
russian = []
for path in glob.glob("server/**/*.cpp", recursive=True) + ["resources/translations/orvane_ru.ts"]:
    text = open(path, encoding="utf-8").read()
    russian += [s.strip() + "." for s in re.findall(r'[">]([^"<>]*[\u0400-\u04ff]{3}[^"<>]*)["<]', text)]
# Texts 0-4 (the channels) and 5-9 (audio on no channel, babble) share no sentence: the same
# sentence in the same voice would be the same sound.
for language, sentences in (("en", english), ("ru", russian)):
    for k in range(10):
        order = sentences[k // 5::2]
        random.Random(language + str(k)).shuffle(order)
        open(f"{out}/{language}-{k}.txt", "w", encoding="utf-8").write(" ".join(order * 3))
EOF
    # A voice reading a text for 150 s.
    speak() {
        espeak-ng -v "$1" -s "$2" -p "$3" -f "$tmp/$4.txt" -w "$tmp/raw.wav"
        sox "$tmp/raw.wav" -r 44100 -c 1 -b 16 "$5" trim 0 150 norm -3
    }
    # Speech channels, half of them over a bed of music 14 dB down.
    speak ru+m1 160 40 ru-0 "$out/channels/speech-ru-1.wav"
    speak ru+f2 150 60 ru-1 "$out/channels/speech-ru-2.wav"
    speak en-us+m3 170 45 en-0 "$out/channels/speech-en-1.wav"
    speak en+f3 155 55 en-1 "$out/channels/speech-en-2.wav"
    speak ru+m4 175 35 ru-2 "$tmp/ru-3.wav"
    speak en+m7 165 50 en-2 "$tmp/en-3.wav"
    speak ru+f4 145 70 ru-3 "$tmp/ru-4.wav"
    speak en-us+f1 160 65 en-3 "$tmp/en-4.wav"
    bed() {
        sox "$music/$2.ogg" -r 44100 -c 1 -b 16 "$tmp/bed.wav" trim 10 150 norm -17
        sox -m "$1" "$tmp/bed.wav" -b 16 "$3" norm -3
    }
    bed "$tmp/ru-3.wav" weight_of_revenge "$out/channels/speech-ru-3-bed.wav"
    bed "$tmp/en-3.wav" return_to_wesnoth "$out/channels/speech-en-3-bed.wav"
    bed "$tmp/ru-4.wav" underground "$out/channels/speech-ru-4-bed.wav"
    bed "$tmp/en-4.wav" love_theme "$out/channels/speech-en-4-bed.wav"
    # Off air: the channels' voices with other words.
    speak ru+m1 160 40 ru-5 "$out/offair/speech-ru-1-other.wav"
    speak en-us+m3 170 45 en-5 "$out/offair/speech-en-1-other.wav"
    speak ru+f2 150 60 ru-6 "$out/offair/speech-ru-2-other.wav"
    speak en+f3 155 55 en-6 "$out/offair/speech-en-2-other.wav"
    # Babble: three more voices at once.
    speak ru+m2 165 50 ru-7 "$tmp/b1.wav"
    speak en+f2 160 60 en-7 "$tmp/b2.wav"
    speak en-us+m5 150 40 en-8 "$tmp/b3.wav"
    sox -m "$tmp/b1.wav" "$tmp/b2.wav" "$tmp/b3.wav" -b 16 "$out/babble.wav" norm -3
    rm -rf "$tmp"
}

if [ ! -f "$corpus/.complete" ]; then
    rm -rf "$corpus"
    echo "building the corpus in $corpus…" >&2
    build_corpus "$corpus"
    touch "$corpus/.complete"
fi

cmake --build "$build" --target bench_real_audio_eval >/dev/null
table=$("$build/bench/bench_real_audio_eval" --corpus "$corpus" --markdown "${args[@]}")
echo "$table"
if [ "$readme" = 1 ]; then
    python3 - "$table" <<'EOF'
import re, sys
text = open("README.md", encoding="utf-8").read()
block = "<!-- real-audio-eval -->\n" + sys.argv[1].strip() + "\n<!-- /real-audio-eval -->"
new, count = re.subn(r"<!-- real-audio-eval -->.*?<!-- /real-audio-eval -->", lambda m: block, text, flags=re.S)
if count != 1:
    sys.exit("README.md has no real-audio-eval markers")
open("README.md", "w", encoding="utf-8").write(new)
EOF
fi
