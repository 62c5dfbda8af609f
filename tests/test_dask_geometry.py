"""orvik.geometry per partition of a dask-geopandas GeoSeries, on a real
cluster of worker processes."""

import numpy as np
import pandas as pd
import pytest

shapely = pytest.importorskip("shapely")
geopandas = pytest.importorskip("geopandas")
dask_geopandas = pytest.importorskip("dask_geopandas", exc_type=ImportError)
distributed = pytest.importorskip("dask.distributed")

from orvik import geometry  # noqa: E402

pytestmark = [pytest.mark.dask_cluster, pytest.mark.timeout(120)]


def test_area_and_buffer_per_partition_on_worker_processes():
    rng = np.random.default_rng(3)
    n = 4_000
    points = geopandas.GeoSeries(shapely.points(rng.uniform(-180, 180, n), rng.uniform(-80, 80, n)), crs=4269)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            lazy = dask_geopandas.from_geopandas(points, npartitions=4)
            circles = lazy.map_partitions(geometry.buffer, 50_000.0, meta=geopandas.GeoSeries([], crs=4269))
            areas = circles.map_partitions(geometry.area, meta=pd.Series([], dtype="f8"))
            got = client.compute(areas).result()
    expected = geometry.area(geometry.buffer(points, 50_000.0))
    assert got.index.equals(expected.index)
    assert got.to_numpy().tobytes() == expected.to_numpy().tobytes()
