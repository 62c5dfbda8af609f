"""orvik's batch functions on a real Dask cluster of worker processes."""

import numpy as np
import pandas as pd
import pytest

# An environment whose pyarrow does not work with its NumPy has no
# dask.dataframe: an ImportError other than a missing module skips too.
dask = pytest.importorskip("dask")
da = pytest.importorskip("dask.array")
dd = pytest.importorskip("dask.dataframe", exc_type=ImportError)
distributed = pytest.importorskip("dask.distributed")

from orvik import distance  # noqa: E402

# Runs with the rest of the suite; deselect with -m "not dask_cluster".
pytestmark = [pytest.mark.dask_cluster, pytest.mark.timeout(120)]

N = 1_000_000
CHUNKS = 250_000


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(
        n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None
    )
    with cluster, distributed.Client(cluster) as client:
        yield client


def test_a_million_distances_across_worker_processes(client):
    assert len(client.scheduler_info()["workers"]) == 2
    # The inputs are made on the workers too, then fetched for the local call.
    rng = da.random.default_rng(5)
    lat1, lat2 = (rng.uniform(-90, 90, N, chunks=CHUNKS) for _ in range(2))
    lon1, lon2 = (rng.uniform(-180, 180, N, chunks=CHUNKS) for _ in range(2))
    chunked = [lat1, lon1, lat2, lon2]
    remote = da.map_blocks(distance.geodesic_distance_batch, *chunked, dtype=np.float64)
    assert remote.numblocks == (N // CHUNKS,)
    *inputs, result = client.gather(client.compute([*chunked, remote]))
    local = distance.geodesic_distance_batch(*inputs)
    assert result.shape == (N,)
    assert result.tobytes() == local.tobytes()


def test_dataframe_partitions(client):
    rng = np.random.default_rng(5)
    n = 100_000
    frame = pd.DataFrame(
        {
            "lat1": rng.uniform(-90, 90, n),
            "lon1": rng.uniform(-180, 180, n),
            "lat2": rng.uniform(-90, 90, n),
            "lon2": rng.uniform(-180, 180, n),
        }
    )

    def with_distance(part):
        d = distance.great_circle_distance_batch(part.lat1, part.lon1, part.lat2, part.lon2)
        return part.assign(d=d)

    meta = {**dict.fromkeys(frame, "f8"), "d": "f8"}
    lazy = dd.from_pandas(frame, npartitions=4).map_partitions(with_distance, meta=meta)
    result = client.compute(lazy).result()
    expected = distance.great_circle_distance_batch(frame.lat1, frame.lon1, frame.lat2, frame.lon2)
    assert result["d"].to_numpy().tobytes() == expected.to_numpy().tobytes()
