#!/usr/bin/python3
"""The logbook of many flights spread over a Dask cluster.

Each worker runs `quarn-cli logbook --stdin` on its share of the paths and parses the
JSON lines it writes; the rows are gathered into one pandas frame. A path that is not a
flight, or cannot be read, gives a row with its `file` and `error` instead.

    python3 tools/python/logbook_dask.py build/quarn-cli FOLDER [SCHEDULER] > logbook.csv

Without a scheduler address it starts a local cluster of two workers.
"""
import json
import pathlib
import subprocess
import sys

import dask.bag
import pandas
from dask.distributed import Client, LocalCluster


def logbook_rows(paths, quarn_cli):
    """The JSON lines of quarn-cli for these paths, as dictionaries."""
    done = subprocess.run([quarn_cli, "logbook", "--stdin"], input="".join(p + "\n" for p in paths),
                          capture_output=True, text=True, check=False)
    return [json.loads(line) for line in done.stdout.splitlines() if line.strip()]


def flight_paths(folder):
    """Every file under the folder, links to folders not followed."""
    return sorted(str(p.resolve()) for p in pathlib.Path(folder).rglob("*") if p.is_file())


def logbook_frame(paths, quarn_cli, client, partitions=8):
    bag = dask.bag.from_sequence(paths, npartitions=max(1, min(partitions, len(paths))))
    rows = bag.map_partitions(logbook_rows, quarn_cli).compute(scheduler=client.get)
    return pandas.DataFrame(rows)


def main(argv):
    quarn_cli, folder = str(pathlib.Path(argv[1]).resolve()), argv[2]
    paths = flight_paths(folder)
    if len(argv) > 3:
        with Client(argv[3]) as client:
            frame = logbook_frame(paths, quarn_cli, client)
    else:
        with LocalCluster(n_workers=2, threads_per_worker=1) as cluster, Client(cluster) as client:
            frame = logbook_frame(paths, quarn_cli, client)
    frame.to_csv(sys.stdout, index=False)


if __name__ == "__main__":
    main(sys.argv)
