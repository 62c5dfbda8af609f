"""orvik area on GeoJSON and GeoParquet files."""

import json

import pytest

shapely = pytest.importorskip("shapely")
pq = pytest.importorskip("pyarrow.parquet")

from orvik import geometry  # noqa: E402
from orvik.cli import main  # noqa: E402

BOX = {"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1], [0, 1], [0, 0]]]}
LINE = {"type": "LineString", "coordinates": [[0, 0], [1, 1]]}


def feature(geometry_, **properties):
    return {"type": "Feature", "properties": properties or None, "geometry": geometry_}


def collection(features, **members):
    return json.dumps({"type": "FeatureCollection", "name": "t", "features": features, **members})


@pytest.mark.parametrize("chunk", ["1", "1000"])
def test_geojson_keeps_everything_and_counts_bad_features(tmp_path, capsys, chunk):
    features = [feature(BOX, name="box"), {**feature(LINE), "id": 3}, feature(None), feature({"type": "Point", "coordinates": [1, 95]})]
    path = tmp_path / "in.geojson"
    path.write_text(collection(features, bbox=[0, 0, 1, 1]))
    assert main(["area", str(path), "--chunk-size", chunk]) == 0
    out, err = capsys.readouterr()
    result = json.loads(out)
    assert result["name"] == "t" and result["bbox"] == [0, 0, 1, 1] and len(result["features"]) == 4
    box, line, empty, swapped = result["features"]
    assert box["properties"]["name"] == "box" and line["id"] == 3
    assert box["properties"]["area_m2"] == geometry.area(shapely.box(0, 0, 1, 1))
    assert line["properties"] == {"area_m2": 0.0, "length_m": geometry.length(shapely.from_geojson(json.dumps(LINE)))}
    assert empty["properties"] == swapped["properties"] == {"area_m2": None, "length_m": None}
    assert "2 of 4 features are bad" in err and "first: feature 3" in err
    assert main(["area", str(path), "--strict"]) == 1
    assert "feature 3" in capsys.readouterr().err


def test_geojson_sequence_to_a_file(tmp_path, capsys):
    path = tmp_path / "in.geojsonl"
    path.write_text("\n".join("\x1e" + json.dumps(feature(BOX, k=i)) for i in range(5)) + "\n")
    out = tmp_path / "out.geojsonl"
    assert main(["area", str(path), "-o", str(out), "--chunk-size", "2", "--ellipsoid", "GRS80"]) == 0
    lines = [json.loads(line) for line in out.read_text().splitlines()]
    assert [f["properties"]["k"] for f in lines] == list(range(5))
    assert lines[0]["properties"]["area_m2"] == geometry.area(shapely.box(0, 0, 1, 1), ellipsoid="GRS80")


@pytest.mark.parametrize("encoding", ["WKB", "geoarrow"])
def test_geoparquet_keeps_columns_and_metadata(tmp_path, encoding):
    geopandas = pytest.importorskip("geopandas")
    frame = geopandas.GeoDataFrame({"name": ["a", "b"]}, geometry=[shapely.box(0, 40, 1, 41), None], crs=4230)
    source, target = tmp_path / "in.parquet", tmp_path / "out.parquet"
    frame.to_parquet(source, geometry_encoding=encoding)
    assert main(["area", str(source), "-o", str(target), "-q"]) == 0
    table = pq.read_table(target)
    assert table.schema.names == ["name", "geometry", "area_m2", "length_m"]
    assert table.schema.metadata[b"geo"] == pq.read_schema(source).metadata[b"geo"]
    areas = table.column("area_m2").to_pylist()
    # The file's CRS, ED50, brings its International 1924 ellipsoid.
    assert areas[0] == geometry.area(frame.geometry)[0] and areas[1] is None


@pytest.mark.parametrize(
    "args, message",
    [
        (["-o", "-"], "Parquet output needs a file"),
        ([], "not geographic"),
    ],
)
def test_geoparquet_refusals(tmp_path, capsys, args, message):
    geopandas = pytest.importorskip("geopandas")
    source = tmp_path / "in.parquet"
    geopandas.GeoDataFrame(geometry=[shapely.box(0, 0, 1, 1)], crs=4326).to_crs(3857).to_parquet(source)
    status = main(["area", str(source), *(args or ["-o", str(tmp_path / "o.parquet")])])
    assert status in (1, 2) and message in capsys.readouterr().err
    assert not (tmp_path / "o.parquet").exists()


def test_not_geojson(tmp_path, capsys):
    path = tmp_path / "in.geojson"
    path.write_text('{"type": "FeatureCollection", "features": [{"type": "Feature", ')
    assert main(["area", str(path), "-o", str(tmp_path / "o.geojson")]) == 1
    assert "not GeoJSON" in capsys.readouterr().err and not (tmp_path / "o.geojson").exists()
