#!/usr/bin/env python3
"""TrelkPro's benchmark report: every figure beside its target, in one table.

  bench_report.py run BUILD_DIR OUT_DIR     run the benchmarks of BUILD_DIR (Release), keep
                                            their raw output in OUT_DIR/bench-raw, print the
                                            table and write it to OUT_DIR/bench.md
  bench_report.py format RAW_DIR            print the table from raw output kept earlier

The targets live in bench/targets.tsv. Google Benchmark programs write JSON; the programs with
statistics of their own (and bench/idle-usage.sh) write text that is read line by line. A
figure that cannot be had keeps its row, with the reason in place of the figure; the exit
status is 1 then, so a table with a hole never passes for a whole one.
"""

import json
import os
import re
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
TARGETS_FILE = HERE / "targets.tsv"

# Seconds of each Google Benchmark measurement where the benchmark leaves it open: enough for
# a stable median on a loaded 2-core machine, short enough for the whole run to take minutes.
MIN_TIME = "0.2"
IDLE_SECONDS = "60"
CONSOLE_PRESSES = "300"

UNIT_SCALE = {"ns": 1e-9, "us": 1e-6, "µs": 1e-6, "ms": 1e-3, "s": 1.0}


@dataclass
class Target:
    key: str
    figure: str
    unit: str
    condition: str
    peer: str


@dataclass
class Figure:
    value: float
    peer: float | None = None
    note: str = ""
    failed_check: bool = False


def read_targets(path=TARGETS_FILE):
    targets = []
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) < 4:
            raise ValueError(f"{path}: a row needs key, figure, unit and target: {line!r}")
        fields += [""] * (5 - len(fields))
        targets.append(Target(*(field.strip() for field in fields[:5])))
    return targets


# --- Reading the raw output -------------------------------------------------------------------

def base_name(run_name):
    """A benchmark's name without the parts Google Benchmark adds for its options."""
    options = re.compile(r"^(iterations|repeats|min_time|threads):|^(manual_time|real_time)$")
    return "/".join(part for part in run_name.split("/") if not options.match(part))


class Raw:
    """The kept output of one run: NAME.json, NAME.txt, and NAME.failed when it failed."""

    def __init__(self, folder):
        self.folder = Path(folder)

    def failure(self, name):
        failed = self.folder / f"{name}.failed"
        if failed.exists():
            return failed.read_text(encoding="utf-8", errors="replace").strip()
        return None

    def missing_reason(self, name):
        return self.failure(name) or f"{name} was not run"

    def benchmarks(self, name):
        path = self.folder / f"{name}.json"
        if not path.exists():
            raise LookupError(self.missing_reason(name))
        try:
            document = json.loads(path.read_text(encoding="utf-8"))
        except json.JSONDecodeError as error:
            raise LookupError(f"{name}: unreadable JSON ({error})") from error
        return document.get("benchmarks", [])

    def benchmark(self, name, benchmark):
        """The median of a repeated benchmark, else its single run."""
        found = [b for b in self.benchmarks(name)
                 if base_name(b.get("run_name", b.get("name", ""))) == benchmark]
        if not found:
            raise LookupError(f"{name}: no result for {benchmark} ({self.missing_reason(name)})"
                              if self.failure(name) else f"{name}: no result for {benchmark}")
        for each in found:
            if each.get("error_occurred"):
                raise LookupError(f"{benchmark}: {each.get('error_message', 'failed')}")
        medians = [b for b in found if b.get("aggregate_name") == "median"]
        if medians:
            return medians[0]
        iterations = [b for b in found if b.get("run_type", "iteration") == "iteration"]
        return (iterations or found)[0]

    def time(self, name, benchmark, unit):
        result = self.benchmark(name, benchmark)
        seconds = result["real_time"] * UNIT_SCALE[result.get("time_unit", "ns")]
        return seconds / UNIT_SCALE[unit]

    def cpu(self, name, benchmark, unit):
        """Work done in this process alone: its CPU time, which the other processes of a loaded
        machine do not inflate, with the wall time beside it."""
        result = self.benchmark(name, benchmark)
        scale = UNIT_SCALE[result.get("time_unit", "ns")] / UNIT_SCALE[unit]
        wall = result["real_time"] * scale
        return Figure(result["cpu_time"] * scale, note=f"CPU; wall {format_number(wall)}")

    def counter(self, name, benchmark, counter):
        result = self.benchmark(name, benchmark)
        if counter not in result:
            raise LookupError(f"{benchmark}: no counter {counter}")
        return float(result[counter])

    def text(self, name):
        path = self.folder / f"{name}.txt"
        if not path.exists():
            raise LookupError(self.missing_reason(name))
        return path.read_text(encoding="utf-8", errors="replace")

    def match(self, name, pattern):
        found = re.search(pattern, self.text(name), re.MULTILINE)
        if not found:
            raise LookupError(self.failure(name) or f"{name}: no line matching {pattern!r}")
        return found


def console_latency(raw, layout, column):
    row = raw.match("consolelatency",
                    rf"^{layout}\s+(\d+)\s+(\d+)\s+([\d.]+)ms\s+([\d.]+)ms\s+([\d.]+)ms\s+([\d.]+)ms")
    return float(row.group(column))


def typing_rate(raw):
    runs = [b for b in raw.benchmarks("injection")
            if base_name(b.get("run_name", "")).startswith("BM_GameLayoutText/")]
    if not runs:
        raise LookupError("injection: no BM_GameLayoutText result")
    errors = [b for b in runs if b.get("error_occurred")]
    if errors:
        raise LookupError(f"{base_name(errors[0]['run_name'])}: {errors[0].get('error_message')}")
    slowest = min(runs, key=lambda b: b["chars_per_s"])
    wrong = [base_name(b["run_name"]) for b in runs if b.get("wrong_repetitions", 0) > 0]
    note = f"{base_name(slowest['run_name']).split('/', 1)[1]} of {len(runs)}"
    if wrong:
        note += "; lost or reordered keys on " + ", ".join(wrong)
    return Figure(slowest["chars_per_s"], note=note, failed_check=bool(wrong))


# How each figure is had from the raw output: a function of Raw giving a number or a Figure.
EXTRACTORS = {
    "startup": lambda r: r.time("startup", "BM_StartupToTrayShown", "ms"),
    "idle_cpu": lambda r: float(r.match("idle", r"idle CPU: ([\d.]+) %").group(1)),
    "idle_memory": lambda r: float(r.match("idle", r"resident: ([\d.]+) MiB").group(1)) * 1.048576,
    "idle_scan_cpu": lambda r: float(r.match("idle-scan", r"idle CPU: ([\d.]+) %").group(1)),
    "hook_key": lambda r: r.cpu("dispatcher", "BM_HandleHookKeyOrdinaryCharacter", "µs"),
    "hook_latency": lambda r: r.counter("hooklatency", "BM_HookLatency", "median_us"),
    "key_to_picture_normal": lambda r: console_latency(r, "normal", 3),
    "key_to_picture_normal_p99": lambda r: console_latency(r, "normal", 5),
    "key_to_picture_wide": lambda r: console_latency(r, "wide", 3),
    "key_to_picture_wide_p99": lambda r: console_latency(r, "wide", 5),
    "key_to_picture_lost": lambda r: console_latency(r, "normal", 2) + console_latency(r, "wide", 2),
    "navigation_down_list": lambda r: r.cpu("navigation", "BM_DownList", "ms"),
    "navigation_down_level": lambda r: r.cpu("navigation", "BM_LevelKeyAlone/1", "ms"),
    "navigation_up_level": lambda r: r.cpu("navigation", "BM_LevelKeyAlone/0", "ms"),
    "render_normal": lambda r: r.cpu("render", "RenderConsole/wide:0", "ms"),
    "render_wide": lambda r: r.cpu("render", "RenderConsole/wide:1", "ms"),
    "injection_us": lambda r: Figure(r.counter("injection", "BM_GameSendKeys/us", "median_ms"),
                                     r.counter("injection", "BM_GameXdotool/us", "median_ms")),
    "injection_de": lambda r: Figure(r.counter("injection", "BM_GameSendKeys/de", "median_ms"),
                                     r.counter("injection", "BM_GameXdotool/de", "median_ms")),
    "injection_wrong": lambda r: (r.counter("injection", "BM_GameSendKeys/us", "wrong_repetitions")
                                  + r.counter("injection", "BM_GameSendKeys/de", "wrong_repetitions")),
    "typing_rate": typing_rate,
    "macro_replay": lambda r: r.cpu("macroreplay", "BM_ReplayMacro255", "ms"),
    "settings": lambda r: r.cpu("settings", "BM_LoadAndSaveAllGroups/0", "ms"),
    "list_load_mining": lambda r: r.cpu("datalist", "BM_LoadDataList/1", "ms"),
    "list_load_information": lambda r: r.cpu("datalist", "BM_LoadDataList/3", "ms"),
    "convert_100k": lambda r: r.cpu("databaseconvert", "BM_ConvertDatabase/100000", "ms"),
    "convert_200k": lambda r: r.cpu("databaseconvert", "BM_ConvertDatabase/200000", "ms"),
    "convert_file": lambda r: Figure(
        r.time("databaseconvert", "BM_OursFileToFile/100000", "ms"),
        r.time("databaseconvert", "BM_ShellPipelineFileToFile/100000", "ms")),
    "market_parse": lambda r: r.cpu("marketparse", "BM_ParseMarket30k", "ms"),
    "market_loop_gap": lambda r: float(r.match("marketdownload", r"longest gap ([\d.]+) ms").group(1)),
    "market_download": lambda r: Figure(*(float(x) for x in r.match(
        "marketdownload", r"TrelkPro ([\d.]+) ms, curl ([\d.]+) ms").groups())),
    "scan": lambda r: Figure(r.time("radarscan", "BM_ScanOnce", "µs"),
                             r.time("radarscan", "BM_ImportCrop", "µs")),
    "poll_unchanged": lambda r: r.cpu("addonpoll", "PollUnchanged", "µs"),
    "poll_full_page": lambda r: r.cpu("addonpoll", "PollFullPage/open:1", "µs"),
    "poll_data_ready": lambda r: r.cpu("addonpoll", "DataReadyToPicture", "ms"),
    "web_cold": lambda r: float(r.match(
        "webpagecapture", r"cold start beyond the page's own load: (-?[\d.]+) ms").group(1)),
    "web_later": lambda r: float(r.match(
        "webpagecapture", r"later page, completion to picture, median of \d+: ([\d.]+) ms").group(1)),
    "web_scroll": lambda r: float(r.match(
        "webpagecapture", r"scroll to picture, median of \d+: ([\d.]+) ms").group(1)),
    "web_engine_left": lambda r: float(r.match(
        "webpagecapture", r"engine processes left: (\d+)").group(1)),
    "web_memory": lambda r: float(r.match("webpagecapture", r"difference ([+-]?\d+) kB").group(1)),
}


def collect_figures(raw_folder, targets):
    raw = Raw(raw_folder)
    figures = {}
    for target in targets:
        extract = EXTRACTORS.get(target.key)
        if extract is None:
            figures[target.key] = f"no benchmark gives the figure '{target.key}'"
            continue
        try:
            value = extract(raw)
            figures[target.key] = value if isinstance(value, Figure) else Figure(float(value))
        except (LookupError, KeyError, ValueError, TypeError) as error:
            message = error.args[0] if error.args else type(error).__name__
            figures[target.key] = str(message)
    return figures


# --- Judging and formatting -------------------------------------------------------------------

COMPARE = {"<": lambda a, b: a < b, "<=": lambda a, b: a <= b, ">=": lambda a, b: a >= b,
           "=": lambda a, b: a == b}


def parse_target(target):
    found = re.fullmatch(r"(ratio)?(<=|>=|<|=)\s*([\d.]+)(?:\*(\w+))?", target.condition)
    if not found:
        raise ValueError(f"target of {target.key}: cannot read {target.condition!r}")
    ratio, operator, number, relative_to = found.groups()
    return bool(ratio), operator, number, relative_to


def bound_of(target, figures):
    """The bound on the figure itself, or None when it rests on a figure that is missing."""
    ratio, _, number, relative_to = parse_target(target)
    if ratio or not relative_to:
        return float(number)
    other = figures.get(relative_to)
    return float(number) * other.value if isinstance(other, Figure) else None


def target_text(target, figures):
    ratio, operator, number, relative_to = parse_target(target)
    if ratio:
        return f"ours / peer {operator} {number}"
    if relative_to:
        bound = bound_of(target, figures)
        shown = "?" if bound is None else format_number(bound)
        return f"{operator} {shown} {target.unit} ({number} × {relative_to})"
    return f"{operator} {number} {target.unit}"


def judge(target, figure, figures):
    """Whether the figure meets its target: True, False, or None when it cannot be judged."""
    ratio, operator, _, _ = parse_target(target)
    bound = bound_of(target, figures)
    if ratio:
        if figure.peer is None or figure.peer == 0:
            return None
        return COMPARE[operator](figure.value / figure.peer, bound)
    if bound is None:
        return None
    return COMPARE[operator](figure.value, bound)


def format_number(value):
    if value == 0:
        return "0"
    magnitude = abs(value)
    if magnitude >= 100:
        return f"{value:,.0f}"
    if magnitude >= 10:
        return f"{value:.1f}"
    if magnitude >= 1:
        return f"{value:.2f}"
    return f"{value:.3g}"


def format_ratio(ours, theirs):
    ratio = ours / theirs
    if ratio < 1:
        return f"{ratio:.3g} ({theirs / ours:,.1f}× faster)"
    # Three decimals, so a ratio just over its bound never prints as the bound itself.
    return f"{ratio:.3f}"


def format_table(targets, figures, heading=""):
    lines = []
    if heading:
        lines += [heading, ""]
    lines += ["| Figure | Measured | Target | Peer | Peer's figure | Ours / peer | Result |",
              "|---|---|---|---|---|---|---|"]
    missed = []
    holes = []
    for target in targets:
        figure = figures.get(target.key, "no figure collected")
        if not isinstance(figure, Figure):
            holes.append(target.key)
            lines.append(f"| {target.figure} | — | {target_text(target, figures)} | "
                         f"{target.peer} | | | no figure: {escape(figure)} |")
            continue
        shown = target_text(target, figures)
        met = judge(target, figure, figures)
        met = None if met is None else (met and not figure.failed_check)
        measured = f"{format_number(figure.value)} {target.unit}"
        if figure.note:
            measured += f" ({escape(figure.note)})"
        peer_figure = ratio = ""
        if figure.peer is not None:
            peer_figure = f"{format_number(figure.peer)} {target.unit}"
            if figure.peer != 0 and figure.value != 0:
                ratio = format_ratio(figure.value, figure.peer)
        if met is None:
            result = "cannot judge"
            holes.append(target.key)
        elif met:
            result = "met"
        else:
            result = "**MISSED**"
            missed.append(target.key)
        lines.append(f"| {target.figure} | {measured} | {shown} | {target.peer} | {peer_figure} "
                     f"| {ratio} | {result} |")
    lines += ["", f"{len(targets)} figures: {len(targets) - len(missed) - len(holes)} met, "
                  f"{len(missed)} missed" + (f" ({', '.join(missed)})" if missed else "")
              + f", {len(holes)} without a figure" + (f" ({', '.join(holes)})" if holes else "")]
    return "\n".join(lines) + "\n", missed, holes


def escape(text):
    return str(text).replace("|", "\\|").replace("\n", " ")


# --- Running ----------------------------------------------------------------------------------

def google_benchmark(program, *arguments):
    return {"program": program, "arguments": list(arguments), "json": True}


def plan(build):
    """What runs, in order, as (name, command description)."""
    binaries = Path(build) / "bin"
    min_time = f"--benchmark_min_time={MIN_TIME}"
    return [
        ("startup", google_benchmark(binaries / "bench_startupbench")),
        ("dispatcher", google_benchmark(binaries / "bench_dispatcherbench", min_time,
                                        "--benchmark_filter=BM_HandleHookKeyOrdinaryCharacter")),
        ("hooklatency", google_benchmark(binaries / "bench_hooklatencybench")),
        ("navigation", google_benchmark(binaries / "bench_navigationbench", min_time,
                                        "--benchmark_filter=BM_DownList|BM_LevelKeyAlone")),
        ("render", google_benchmark(binaries / "bench_renderconsolebench", min_time)),
        ("macroreplay", google_benchmark(binaries / "bench_macroreplaybench", min_time)),
        ("settings", google_benchmark(binaries / "bench_settingsbench", min_time,
                                      "--benchmark_filter=BM_LoadAndSaveAllGroups/0")),
        ("datalist", google_benchmark(binaries / "bench_datalistbench", min_time)),
        ("databaseconvert", google_benchmark(binaries / "bench_databaseconvertbench", min_time)),
        ("marketparse", google_benchmark(binaries / "bench_marketparsebench", min_time)),
        ("addonpoll", google_benchmark(binaries / "bench_addonpollbench", min_time)),
        ("radarscan", google_benchmark(binaries / "bench_radarscanbench", min_time)),
        ("injection", google_benchmark(
            binaries / "bench_injectionbench",
            "--benchmark_filter=^BM_Game(SendKeys|Xdotool)/|^BM_GameLayoutText/")),
        ("consolelatency", {"program": binaries / "bench_consolelatency",
                            "arguments": ["--presses", CONSOLE_PRESSES]}),
        ("marketdownload", {"program": binaries / "bench_marketdownload", "arguments": []}),
        ("webpagecapture", {"program": binaries / "bench_webpagecapture", "arguments": []}),
    ]


def record_failure(raw, name, message):
    (raw / f"{name}.failed").write_text(message + "\n", encoding="utf-8")


def run_one(raw, name, step, environment):
    program = Path(step["program"])
    for stale in raw.glob(f"{name}.*"):
        stale.unlink()
    if not program.exists():
        record_failure(raw, name, f"{program} is not built")
        return
    command = [str(program), *step["arguments"]]
    if step.get("json"):
        command += ["--benchmark_format=json", f"--benchmark_out={raw / (name + '.json')}",
                    "--benchmark_out_format=json"]
    started = time.monotonic()
    with open(raw / f"{name}.txt", "w", encoding="utf-8") as out, \
         open(raw / f"{name}.err", "w", encoding="utf-8") as err:
        status = subprocess.run(command, stdout=out, stderr=err, env=environment,
                                stdin=subprocess.DEVNULL).returncode
    took = time.monotonic() - started
    print(f"[bench] {name}: {took:.0f} s" + (f", exit status {status}" if status else ""),
          file=sys.stderr, flush=True)
    if status != 0:
        errors = (raw / f"{name}.err").read_text(encoding="utf-8", errors="replace").strip()
        last = errors.splitlines()[-1] if errors else "no message"
        record_failure(raw, name, f"{name} ended with status {status}: {last}")


def start_idle(raw, build, name, mode, environment):
    """bench/idle-usage.sh in the background: the idle program's own CPU time and memory do
    not depend on what else the machine runs, so it measures while the others run."""
    for stale in raw.glob(f"{name}.*"):
        stale.unlink()
    arguments = [str(HERE / "idle-usage.sh"), str(build), IDLE_SECONDS] + ([mode] if mode else [])
    environment = dict(environment, TRELK_SHM_SUFFIX=f".bench-{name}-{os.getpid()}")
    out = open(raw / f"{name}.txt", "w", encoding="utf-8")
    err = open(raw / f"{name}.err", "w", encoding="utf-8")
    return name, subprocess.Popen(arguments, stdout=out, stderr=err, env=environment,
                                  stdin=subprocess.DEVNULL)


def finish_idle(raw, started):
    name, process = started
    status = process.wait()
    if status != 0:
        errors = (raw / f"{name}.err").read_text(encoding="utf-8", errors="replace").strip()
        last = errors.splitlines()[-1] if errors else "no message"
        record_failure(raw, name, f"idle-usage.sh ended with status {status}: {last}")


def load_average():
    try:
        return " ".join(Path("/proc/loadavg").read_text().split()[:3])
    except OSError:
        return "unknown"


def run(build, out):
    build, out = Path(build).resolve(), Path(out).resolve()
    raw = out / "bench-raw"
    raw.mkdir(parents=True, exist_ok=True)
    environment = dict(os.environ, TRELK_SHM_SUFFIX=f".bench-{os.getpid()}")
    started = time.monotonic()
    load_before = load_average()
    steps = plan(build)
    # Start-up first, alone; then the idle measurements beside everything else.
    run_one(raw, *steps[0], environment)
    idle = [start_idle(raw, build, "idle", "", environment),
            start_idle(raw, build, "idle-scan", "scan", environment)]
    for name, step in steps[1:]:
        run_one(raw, name, step, environment)
    for each in idle:
        finish_idle(raw, each)
    took = time.monotonic() - started
    heading = (f"# TrelkPro benchmarks\n\n{time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, "
               f"{os.cpu_count()} cores, load average {load_before} at the start and "
               f"{load_average()} at the end; the run took {took / 60:.1f} min. Raw output: "
               f"{raw}.\n\nWork done inside one process is judged by its CPU time (its wall time beside it, "
               f"which grows with the load of a shared machine); a figure that crosses processes, "
               f"the X server or the network is wall time.")
    return report(raw, heading, out / "bench.md")


def report(raw, heading, destination=None):
    targets = read_targets()
    table, _, holes = format_table(targets, collect_figures(raw, targets), heading)
    print(table, end="")
    if destination is not None:
        Path(destination).write_text(table, encoding="utf-8")
    return 1 if holes else 0


def main(arguments):
    if len(arguments) == 3 and arguments[0] == "run":
        return run(arguments[1], arguments[2])
    if len(arguments) == 2 and arguments[0] == "format":
        return report(arguments[1], "")
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
