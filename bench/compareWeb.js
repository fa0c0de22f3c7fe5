// Runs the pure benchmarks natively and as WebAssembly under this node, one
// after the other with the same settings, and prints each one's median and
// fastest time in both and the ratio of the medians:
//   node compareWeb.js NATIVE_BENCH WEB_BENCH_JS [REPETITIONS]
// Both runs' raw results are kept beside it as native.json and web.json.
'use strict';
const childProcess = require('child_process');
const fs = require('fs');

const [nativeBench, webBench, repetitions = '9'] = process.argv.slice(2);
if (!nativeBench || !webBench) {
    console.error('usage: node compareWeb.js NATIVE_BENCH WEB_BENCH_JS [REPETITIONS]');
    process.exit(2);
}
const settings = [`--benchmark_repetitions=${repetitions}`, '--benchmark_min_time=0.1',
    '--benchmark_enable_random_interleaving=true', '--benchmark_report_aggregates_only=true',
    '--benchmark_out_format=json'];
const MICROSECONDS = {ns: 1e-3, us: 1, ms: 1e3, s: 1e6};

// Each benchmark's median and fastest repetition in microseconds, in the
// binary's order. Google Benchmark's own report is shown only if the run fails.
function run(command, args, out) {
    const ran = childProcess.spawnSync(command, [...args, ...settings, `--benchmark_out=${out}`], {encoding: 'utf8'});
    if (ran.status !== 0) {
        process.stderr.write(`${ran.stdout}${ran.stderr}${ran.error || ''}\n`);
        console.error(`compareWeb: ${command} ${args.join(' ')} failed`);
        process.exit(1);
    }
    const results = JSON.parse(fs.readFileSync(out, 'utf8'));
    const rows = new Map();
    for (const entry of results.benchmarks.sort((a, b) => a.family_index - b.family_index)) {
        if (entry.run_type !== 'aggregate' || !['median', 'min'].includes(entry.aggregate_name)) continue;
        const name = entry.run_name.split('/')[0];
        if (!rows.has(name)) rows.set(name, {});
        rows.get(name)[entry.aggregate_name] = entry.real_time * MICROSECONDS[entry.time_unit];
    }
    return {context: results.context, rows};
}

const native = run(nativeBench, [], 'native.json');
const web = run(process.execPath, [webBench], 'web.json');

console.log(`Native:      ${nativeBench}`);
console.log(`WebAssembly: ${webBench} under node ${process.version}`);
console.log(`CPU: ${native.context.num_cpus} x ${native.context.mhz_per_cpu} MHz, load average before: ` +
    (native.context.load_avg || []).map((load) => load.toFixed(2)).join(' '));
console.log('');
console.log('| Benchmark | Native median (µs) | Native fastest (µs) | WebAssembly median (µs) | WebAssembly fastest (µs) | Ratio of medians |');
console.log('|---|---:|---:|---:|---:|---:|');
for (const [name, here] of native.rows) {
    const there = web.rows.get(name);
    if (!there) continue;
    console.log(`| ${name} | ${here.median.toFixed(1)} | ${here.min.toFixed(1)} | ${there.median.toFixed(1)} | ` +
        `${there.min.toFixed(1)} | ${(there.median / here.median).toFixed(2)}x |`);
}
