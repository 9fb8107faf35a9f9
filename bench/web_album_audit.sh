#!/usr/bin/env bash
# Audits of the web album, served from a local web server (127.0.0.1):
#  - Lighthouse 12 in its mobile setting on an album of 48 photos: performance (target at least 98),
#    accessibility and best practices (100 each), and the layout shift (target none);
#  - the first view of an album of 500 pictures on a phone: bytes fetched (target at most 1 MB).
# Prints figures; it is no test.
#   bench/web_album_audit.sh <build folder> <folder of JPEG photos>
# The photos can be the benchmark's (GALVORA_BENCH_PICTURES=<folder> galvora_web_album_bench keeps
# them in <folder>/make-set0). Needs node, Debian's chromium, npm ci --prefix tests/browser, and
# reaches the npm registry once for lighthouse@12.2.3. Lighthouse slows the processor down 4 times, as
# for a fast desktop; on a slower or busy machine (its benchmark index, printed, well below 1000)
# GALVORA_CPU_SLOWDOWN=1 comes closer to the phone it stands for.
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
photos="$(cd "${2:?photo folder}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
maker="$build/tests/galvora_web_album_maker"
work="$(mktemp -d)"
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for count in 48 500; do
  mkdir -p "$work/$count"
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen "$maker" "$work/$count" "$count" "$photos" > /dev/null
  echo "album of $count pictures made in $((($(date +%s%N) - start) / 1000000)) ms;" \
    "page $(stat -c %s "$work/$count/album/index.html") bytes (budget $((12 * 1024 + 300 * count)))"
done

node "$here/web_album_serve.mjs" "$work" > "$work/address" &
server=$!
for _ in $(seq 50); do [ -s "$work/address" ] && break; sleep 0.1; done
site="$(cat "$work/address")"

node "$here/web_album_first_view.mjs" "${site}500/album/"

CHROME_PATH=/usr/bin/chromium npx -y lighthouse@12.2.3 "${site}48/album/" --quiet \
  --chrome-flags="--headless --no-sandbox" --throttling.cpuSlowdownMultiplier="${GALVORA_CPU_SLOWDOWN:-4}" \
  --only-categories=performance,accessibility,best-practices \
  --output=json --output-path="$work/lighthouse.json"
node -e '
const r = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8"));
const c = r.categories, a = r.audits;
const score = (k) => Math.round(c[k].score * 100);
console.log(`Lighthouse ${r.lighthouseVersion} (mobile) on 48 photos: performance ${score("performance")}, ` +
  `accessibility ${score("accessibility")}, best practices ${score("best-practices")}; ` +
  `benchmark index ${r.environment.benchmarkIndex}, processor slowed ${r.configSettings.throttling.cpuSlowdownMultiplier} times`);
for (const k of ["first-contentful-paint", "largest-contentful-paint", "total-blocking-time", "cumulative-layout-shift", "speed-index"])
  console.log(`  ${a[k].title}: ${a[k].displayValue}`);
for (const [k, v] of Object.entries(a))
  if (v.score !== null && v.score < 1 && v.scoreDisplayMode !== "informative" && v.scoreDisplayMode !== "manual")
    console.log(`  below full marks: ${k} (${v.score}) ${v.displayValue || ""}`);
' "$work/lighthouse.json"
