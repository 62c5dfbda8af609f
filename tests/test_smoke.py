import orvik


def test_imports():
    assert orvik.distance.great_circle_distance(0, 0, 0, 0) == 0.0
