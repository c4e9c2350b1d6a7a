"""The fitted rating model: plain data in difficulty_model.json, evaluated here.

The model is a sum of small regression trees over the features of
difficulty.py, predicting the natural log of the rating; calibrate.py fits it
(with scikit-learn, which rating never needs) and writes the trees as nested
lists: a node is [feature index, threshold, left, right] and a leaf is a
number. A feature goes left when its value, as a 32-bit float, is at most the
threshold: the fitting library compares in 32-bit floats, so this gives its
predictions exactly.

The log prediction p is then stretched about the centre c (the log of the
rated problems' median) to exp(c + stretch * (p - c)): a fitted mean pulls
every rating towards the middle, and the stretch gives back the spread that
people's ratings have (content/README.md shows both).
"""
from __future__ import annotations

import functools
import json
import math
import os
import struct
from dataclasses import dataclass

MODEL_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "difficulty_model.json")


class ModelError(ValueError):
    pass


@dataclass(frozen=True)
class Model:
    features: tuple      # names, in the order the trees index them
    start: float         # the log rating every prediction starts from
    learning_rate: float
    trees: tuple
    centre: float
    stretch: float
    lowest: int
    highest: int

    def to_json(self) -> dict:
        return {"features": list(self.features), "start": self.start,
                "learning_rate": self.learning_rate, "centre": self.centre,
                "stretch": self.stretch, "lowest": self.lowest, "highest": self.highest,
                "trees": list(self.trees)}


def from_json(data: dict) -> Model:
    try:
        return Model(tuple(data["features"]), float(data["start"]),
                     float(data["learning_rate"]), tuple(data["trees"]),
                     float(data["centre"]), float(data["stretch"]),
                     int(data["lowest"]), int(data["highest"]))
    except (KeyError, TypeError, ValueError) as e:
        raise ModelError(f"the rating model lacks or mistypes a field: {e}") from None


@functools.lru_cache(maxsize=4)
def load(path: str = MODEL_PATH) -> Model:
    try:
        with open(path, encoding="utf-8") as f:
            return from_json(json.load(f))
    except (OSError, json.JSONDecodeError) as e:
        raise ModelError(f"cannot read the rating model {path}: {e}") from None


def _float32(value: float) -> float:
    return struct.unpack("f", struct.pack("f", value))[0]


def _leaf(tree, x: list[float]) -> float:
    while isinstance(tree, list):
        index, threshold, left, right = tree
        tree = left if x[index] <= threshold else right
    return tree


def log_rating(model: Model, values: dict) -> float:
    """The trees' prediction: the log of the rating before the stretch."""
    try:
        x = [_float32(float(values[name])) for name in model.features]
    except KeyError as e:
        raise ModelError(f"the model needs the feature {e}, which was not given") from None
    return model.start + model.learning_rate * sum(_leaf(tree, x) for tree in model.trees)


def stretched(model: Model, log_value: float) -> int:
    """A log prediction as a whole rating: stretched about the centre, within bounds."""
    value = math.exp(model.centre + model.stretch * (log_value - model.centre))
    return int(min(model.highest, max(model.lowest, round(value))))


def rating(model: Model, values: dict) -> int:
    return stretched(model, log_rating(model, values))
