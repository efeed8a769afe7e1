#!/usr/bin/python3
"""Ctrl+C during quarn-cli logbook: the reading stops after the files in hand, what was
read is printed and kept, a CSV file asked for is not replaced by a part of the logbook,
and the next run reads only the rest."""
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile

FLIGHTS = 1000  # names of one flight: many times longer to read than a signal takes
READ_BEFORE_THE_SIGNAL = 10


def interrupted_run(command):
    """Runs the command, sends SIGINT once enough files are read; gives status, out, err."""
    run = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    err = b""
    while True:
        chunk = os.read(run.stderr.fileno(), 4096)
        if not chunk:
            break
        err += chunk
        done = re.findall(rb"logbook: (\d+) of \d+ files read", err)
        if done and int(done[-1]) >= READ_BEFORE_THE_SIGNAL:
            run.send_signal(signal.SIGINT)
            break
    out, rest = run.communicate(timeout=120)
    return run.returncode, out.decode(), (err + rest).decode()


def fail(why, err):
    print(why)
    print(err[-2000:])
    return 1


def main(quarn_cli, example):
    with tempfile.TemporaryDirectory() as work:
        flights = pathlib.Path(work) / "flights"
        flights.mkdir()
        first = flights / "flight0000.dat"
        shutil.copy(example, first)
        for i in range(1, FLIGHTS):
            os.link(first, flights / f"flight{i:04d}.dat")
        data = pathlib.Path(work) / "data"
        data.mkdir()
        kept = pathlib.Path(work) / "logbook.csv"
        kept.write_text("the logbook of an earlier run\n")

        status, _, err = interrupted_run([quarn_cli, "logbook", str(flights), "--data-dir",
                                          str(data), "--csv", str(kept)])
        if status != 128 + signal.SIGINT:
            return fail(f"an interrupted run ended with {status}", err)
        stopped = re.search(r"logbook: (\d+) files read, 0 unchanged, 0 failed\n", err)
        left = re.search(r"logbook: stopped, (\d+) files not read", err)
        if not stopped or not left:
            return fail("the interrupted run did not say what it read and left", err)
        read = int(stopped.group(1))
        if not READ_BEFORE_THE_SIGNAL <= read < FLIGHTS or read + int(left.group(1)) != FLIGHTS:
            return fail(f"read {read} and left {left.group(1)} of {FLIGHTS}", err)
        if kept.read_text() != "the logbook of an earlier run\n" or "not written" not in err:
            return fail("the CSV file was replaced by a part of the logbook", err)

        rest = subprocess.run([quarn_cli, "logbook", str(flights), "--data-dir", str(data)],
                              capture_output=True, text=True, check=False)
        expected = f"logbook: {FLIGHTS - read} files read, {read} unchanged, 0 failed\n"
        if rest.returncode != 0 or expected not in rest.stderr:
            return fail(f"the next run did not read only the rest ({expected.strip()})",
                        rest.stderr)
        rows = rest.stdout.splitlines()[1:]
        if len(rows) != FLIGHTS:
            return fail(f"the next run listed {len(rows)} legs", rest.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
