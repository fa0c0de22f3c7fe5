// Runs the pure benchmarks natively and as WebAssembly under this node, in
// turns with the same settings, and prints each one's median and fastest time
// in both and their ratios:
//   node compareWeb.js NATIVE_BENCH WEB_BENCH_JS [ROUNDS]
// Each round runs the native binary, then the WebAssembly one, three
// repetitions each; taking turns spreads a busy machine's load over both.
// The last round's raw results are kept in the working folder as native.json
// and web.json.
'use strict';
const childProcess = require('child_process');
const fs = require('fs');

const [nativeBench, webBench, rounds = '3'] = process.argv.slice(2);
if (!nativeBench || !webBench || !(Number(rounds) >= 1)) {
    console.error('usage: node compareWeb.js NATIVE_BENCH WEB_BENCH_JS [ROUNDS]');
    process.exit(2);
}
const settings = ['--benchmark_repetitions=3', '--benchmark_min_time=0.1', '--benchmark_out_format=json'];
const MICROSECONDS = {ns: 1e-3, us: 1, ms: 1e3, s: 1e6};

// Adds each repetition's wall-clock time per call, in microseconds, to
// times[benchmark]; returns Google Benchmark's description of the run.
// Its own report is shown only if the run fails.
function run(command, args, out, times) {
    const ran = childProcess.spawnSync(command, [...args, ...settings, `--benchmark_out=${out}`], {encoding: 'utf8'});
    if (ran.status !== 0) {
        process.stderr.write(`${ran.stdout}${ran.stderr}${ran.error || ''}\n`);
        console.error(`compareWeb: ${command} ${args.join(' ')} failed`);
        process.exit(1);
    }
    const results = JSON.parse(fs.readFileSync(out, 'utf8'));
    for (const entry of results.benchmarks.sort((a, b) => a.family_index - b.family_index)) {
        if (entry.run_type !== 'iteration') continue;
        const name = entry.run_name.split('/')[0];
        if (!times.has(name)) times.set(name, []);
        times.get(name).push(entry.real_time * MICROSECONDS[entry.time_unit]);
    }
    return results.context;
}

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = Math.floor(sorted.length / 2);
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

const native = new Map();
const web = new Map();
let context;
for (let round = 0; round < Number(rounds); ++round) {
    context = run(nativeBench, [], 'native.json', native);
    run(process.execPath, [webBench], 'web.json', web);
}

console.log(`Native:      ${nativeBench}`);
console.log(`WebAssembly: ${webBench} under node ${process.version}`);
console.log(`CPU: ${context.num_cpus} x ${context.mhz_per_cpu} MHz; load average before the last round: ` +
    (context.load_avg || []).map((load) => load.toFixed(2)).join(' '));
console.log(`${rounds} rounds of 3 repetitions each, taking turns; times in µs per call`);
console.log('');
console.log('| Benchmark | Native median | Native fastest | WebAssembly median | WebAssembly fastest | ' +
    'Ratio of medians | Ratio of fastest |');
console.log('|---|---:|---:|---:|---:|---:|---:|');
for (const [name, here] of native) {
    const there = web.get(name);
    if (!there) continue;
    const cells = [median(here), Math.min(...here), median(there), Math.min(...there)];
    console.log(`| ${name} | ${cells.map((time) => time.toFixed(1)).join(' | ')} | ` +
        `${(cells[2] / cells[0]).toFixed(2)}x | ${(cells[3] / cells[1]).toFixed(2)}x |`);
}
