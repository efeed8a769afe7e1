#!/usr/bin/python3
"""The Dask recipe over a folder of flights gives the rows one quarn-cli process gives."""
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools" / "python"))
import logbook_dask  # noqa: E402
from dask.distributed import Client, LocalCluster  # noqa: E402


def main(quarn_cli, *folders):
    with tempfile.TemporaryDirectory() as work:
        flights = pathlib.Path(work) / "flights"
        for folder in folders:
            shutil.copytree(folder, flights / pathlib.Path(folder).name, dirs_exist_ok=True)
        data = pathlib.Path(work) / "data"
        data.mkdir()
        out = pathlib.Path(work) / "one.jsonl"
        subprocess.run([quarn_cli, "logbook", str(flights), "--data-dir", str(data), "--json",
                        str(out)], capture_output=True, check=False)
        one = [json.loads(line) for line in out.read_text().splitlines()]

        paths = logbook_dask.flight_paths(flights)
        with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            frame = logbook_dask.logbook_frame(paths, quarn_cli, client)
        rows = frame[frame["error"].isna()] if "error" in frame else frame
        spread = [{k: v for k, v in row.items() if k != "error"}
                  for row in json.loads(rows.to_json(orient="records"))]
        key = lambda r: (r["file"], r["leg"])  # noqa: E731
        one.sort(key=key)
        spread.sort(key=key)
        if not one:
            print("the one process gave no rows")
            return 1
        if one != spread:
            print("one process:", json.dumps(one, indent=1))
            print("dask:", json.dumps(spread, indent=1))
            return 1
        print(f"{len(one)} rows alike from {len(paths)} files")
        return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
