#!/usr/bin/env python3
"""The benchmark report on canned raw output: figures read from Google Benchmark JSON and from
the text programs, targets met and missed, and a row without a figure keeping its reason."""

import json
import tempfile
import unittest
from pathlib import Path

import bench_report as report


def benchmark(name, real_time, unit="ms", cpu_time=None, **extra):
    return dict({"name": name, "run_name": name, "run_type": "iteration", "real_time": real_time,
                 "cpu_time": real_time if cpu_time is None else cpu_time, "time_unit": unit,
                 "iterations": 10}, **extra)


def write_json(folder, name, benchmarks):
    (folder / f"{name}.json").write_text(json.dumps({"context": {}, "benchmarks": benchmarks}))


def row(table, figure):
    lines = [line for line in table.splitlines() if line.startswith(f"| {figure} |")]
    if len(lines) != 1:
        raise AssertionError(f"{len(lines)} rows for {figure!r} in\n{table}")
    return [cell.strip() for cell in lines[0].strip("|").split("|")]


class BenchReportTest(unittest.TestCase):
    def setUp(self):
        self.folder_object = tempfile.TemporaryDirectory()
        self.folder = Path(self.folder_object.name)
        self.targets = report.read_targets()

    def tearDown(self):
        self.folder_object.cleanup()

    def table(self):
        return report.format_table(self.targets,
                                   report.collect_figures(self.folder, self.targets))

    def target(self, key):
        return next(t for t in self.targets if t.key == key)

    def test_every_target_row_has_a_way_to_its_figure(self):
        self.assertEqual([t.key for t in self.targets if t.key not in report.EXTRACTORS], [])

    def test_figures_against_absolute_relative_and_peer_targets(self):
        # Times in other units than the target's, medians of repetitions, a counter; work in
        # the process judged by its CPU time, since the wall time grows with the machine's load.
        write_json(self.folder, "databaseconvert", [
            benchmark("BM_ConvertDatabase/100000", 180.0, cpu_time=45.0),
            benchmark("BM_ConvertDatabase/200000", 130000.0, unit="us", cpu_time=120000.0),
            benchmark("BM_OursFileToFile/100000/real_time", 119.0),
            benchmark("BM_ShellPipelineFileToFile/100000/real_time", 375.0),
        ])
        write_json(self.folder, "startup", [
            benchmark("BM_StartupToTrayShown/iterations:1/repeats:30/manual_time", 900.0,
                      run_type="aggregate", aggregate_name="mean"),
            benchmark("BM_StartupToTrayShown/iterations:1/repeats:30/manual_time", 68.0,
                      run_type="aggregate", aggregate_name="median"),
        ])
        write_json(self.folder, "hooklatency", [
            benchmark("BM_HookLatency/iterations:1000/manual_time", 0.1, median_us=2500.0)])
        (self.folder / "marketdownload.txt").write_text(
            "main loop: 400 turns, longest gap 9.40 ms (target < 16 ms)\n"
            "download of 52000000 bytes, median of 9: TrelkPro 120.2 ms, curl 100.0 ms, ratio "
            "1.20 (target <= 1.2); without the 7-bit filter 110.0 ms\n")
        table, missed, holes = self.table()

        self.assertEqual(row(table, self.target("convert_100k").figure)[1],
                         "45.0 ms (CPU; wall 180)")
        self.assertEqual(row(table, self.target("convert_100k").figure)[-1], "met")
        relative = row(table, self.target("convert_200k").figure)
        self.assertEqual(relative[1:3], ["120 ms (CPU; wall 130)",
                                         "<= 99.0 ms (2.2 × convert_100k)"])
        self.assertEqual(relative[-1], "**MISSED**")
        against_pipeline = row(table, self.target("convert_file").figure)
        self.assertEqual(against_pipeline[4:], ["375 ms", "0.317 (3.2× faster)", "met"])
        self.assertEqual(row(table, self.target("startup").figure)[1:2], ["68.0 ms"])
        self.assertEqual(row(table, self.target("hook_latency").figure)[-1], "**MISSED**")
        self.assertEqual(row(table, self.target("market_loop_gap").figure)[-1], "met")
        against_curl = row(table, self.target("market_download").figure)
        self.assertEqual(against_curl[3:], ["curl", "100 ms", "1.202", "**MISSED**"])
        self.assertEqual(sorted(missed), ["convert_200k", "hook_latency", "market_download"])
        self.assertIn("market_parse", holes)
        self.assertIn("3 missed (", table)

    def test_a_figure_that_cannot_be_had_keeps_its_row_with_the_reason(self):
        write_json(self.folder, "radarscan", [
            benchmark("BM_ScanOnce/repeats:5", 0.0, unit="us", error_occurred=True,
                      error_message="Xvfb could not be started"),
        ])
        (self.folder / "webpagecapture.failed").write_text(
            "webpagecapture ended with status 1: the sample services did not start\n")
        table, missed, holes = self.table()

        scan = row(table, self.target("scan").figure)
        self.assertEqual(scan[1], "—")
        self.assertEqual(scan[-1], "no figure: BM_ScanOnce: Xvfb could not be started")
        web = row(table, self.target("web_cold").figure)
        self.assertIn("the sample services did not start", web[-1])
        self.assertEqual(row(table, self.target("settings").figure)[-1],
                         "no figure: settings was not run")
        self.assertEqual(missed, [])
        self.assertEqual(len(holes), len(self.targets))

    def test_lost_keys_miss_the_typing_target_whatever_the_rate(self):
        write_json(self.folder, "injection", [
            benchmark("BM_GameLayoutText/us/iterations:5/manual_time", 700.0,
                      chars_per_s=2800.0, wrong_repetitions=0.0),
            benchmark("BM_GameLayoutText/de/capslock/iterations:5/manual_time", 900.0,
                      chars_per_s=2200.0, wrong_repetitions=1.0),
        ])
        typing = row(self.table()[0], self.target("typing_rate").figure)
        self.assertEqual(typing[1], "2,200 chars/s (de/capslock of 2; lost or reordered keys "
                                    "on BM_GameLayoutText/de/capslock)")
        self.assertEqual(typing[-1], "**MISSED**")

    def test_targets_at_their_bound(self):
        equal = report.Target("x", "x", "ms", "<=3072", "")
        self.assertTrue(report.judge(equal, report.Figure(3072.0), {}))
        strict = report.Target("x", "x", "ms", "<300", "")
        self.assertFalse(report.judge(strict, report.Figure(300.0), {}))
        zero = report.Target("x", "x", "presses", "=0", "")
        self.assertFalse(report.judge(zero, report.Figure(1.0), {}))
        with self.assertRaises(ValueError):
            report.judge(report.Target("x", "x", "ms", "about 3", ""), report.Figure(1.0), {})


if __name__ == "__main__":
    unittest.main()
