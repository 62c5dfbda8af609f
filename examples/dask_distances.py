"""Distances with Dask, for more pairs than one machine holds in memory.

    pip install 'orvik[dask]'
    python examples/dask_distances.py

orvik's batch functions take NumPy blocks and pandas partitions as they are,
and pickle by reference, so Dask can ship them to worker processes or other
machines.  Dask already runs one task per worker thread, so each task asks
orvik for one thread (orvik.num_threads(1)): the cores are shared out by
Dask, not fought over by two pools.  Replace the LocalCluster with your
cluster's address (Client("tcp://scheduler:8786")) to spread the work over
machines.
"""

from __future__ import annotations

import dask.array as da
import dask.dataframe as dd
import numpy as np
import pandas as pd
from dask.distributed import Client, LocalCluster

import orvik
from orvik import distance

BERLIN = (52.52, 13.405)


RNG = da.random.default_rng(7)


def random_points(n: int, chunks: int) -> tuple[da.Array, da.Array]:
    return RNG.uniform(-90, 90, n, chunks=chunks), RNG.uniform(-180, 180, n, chunks=chunks)


def geodesic_metres(lat1: object, lon1: object, lat2: object, lon2: object) -> object:
    """One task's distances, on the one thread Dask gave the task."""
    with orvik.num_threads(1):
        return distance.geodesic_distance_batch(lat1, lon1, lat2, lon2)


def array_example(n: int = 20_000_000, chunks: int = 1_000_000) -> None:
    lat1, lon1 = random_points(n, chunks)
    lat2, lon2 = random_points(n, chunks)
    # Chunk by chunk: each block of the four arrays becomes one batch call.
    metres = da.map_blocks(geodesic_metres, lat1, lon1, lat2, lon2, dtype=np.float64)
    print(f"mean distance of {n:,} random pairs: {metres.mean().compute() / 1e3:,.1f} km")

    # Scalars broadcast inside each block: one point against every point.
    from_berlin = da.map_blocks(geodesic_metres, *BERLIN, lat2, lon2, dtype=np.float64)
    print(f"points within 1000 km of Berlin: {int((from_berlin < 1e6).sum().compute()):,}")


def dataframe_example(n: int = 5_000_000, chunks: int = 625_000) -> None:
    # In practice the frame comes from files: dd.read_parquet("pairs/*.parquet").
    lat1, lon1 = random_points(n, chunks)
    lat2, lon2 = random_points(n, chunks)
    columns = ["lat1", "lon1", "lat2", "lon2"]
    frame = dd.from_dask_array(da.stack([lat1, lon1, lat2, lon2], axis=1), columns=columns)

    # Partition by partition: pandas Series go straight into the batch function.
    def with_distance(part: pd.DataFrame) -> pd.DataFrame:
        km = geodesic_metres(part.lat1, part.lon1, part.lat2, part.lon2) / 1e3
        return part.assign(distance_km=km)

    meta = {**dict.fromkeys(columns, "f8"), "distance_km": "f8"}
    result = frame.map_partitions(with_distance, meta=meta)
    print(result.distance_km.describe().compute())


if __name__ == "__main__":
    # Two processes of two threads: four tasks at once, each on one core.
    with LocalCluster(n_workers=2, threads_per_worker=2) as cluster, Client(cluster):
        array_example()
        dataframe_example()
