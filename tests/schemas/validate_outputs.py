#!/usr/bin/python3
"""Runs the built binary on every end-to-end scene with every job's switches
and validates each JSON answer, and the store it leaves, against the
published schemas with a real JSON Schema validator."""

import json
import os
import subprocess
import sys
import tempfile
from pathlib import Path

from jsonschema import Draft202012Validator

JOBS = {
    "scan": [],
    "scan-named": ["--ssid=Lab"],
    "connected-signal": ["--isRetrievingConnectedSignal"],
    "interfaces": ["--isRetrievingInterfaces"],
}
SCHEMA_OF_JOB = {"scan": "scan", "scan-named": "scan",
                 "connected-signal": "connected-signal", "interfaces": "interfaces"}


def validator(schemas: Path, name: str) -> Draft202012Validator:
    schema = json.loads((schemas / f"{name}.schema.json").read_text())
    Draft202012Validator.check_schema(schema)
    return Draft202012Validator(schema)


def run(binary: str, scene: Path, arguments: list, config: str) -> subprocess.CompletedProcess:
    env = {"NETMOTH_SCENE": str(scene), "XDG_CONFIG_HOME": config, "PATH": "/usr/bin:/bin"}
    return subprocess.run([binary, *arguments], env=env, capture_output=True, timeout=20)


def main(binary: str, schemas: Path, scenes: Path) -> int:
    validators = {name: validator(schemas, name) for name in set(SCHEMA_OF_JOB.values()) | {"store"}}
    checked = failed = 0
    for scene in sorted(scenes.glob("*.json")):
        with tempfile.TemporaryDirectory() as config:
            for job, arguments in JOBS.items():
                result = run(binary, scene, arguments, config)
                if result.returncode != 0:
                    continue  # scenes that are meant to be unusable answer nothing to validate
                errors = list(validators[SCHEMA_OF_JOB[job]].iter_errors(json.loads(result.stdout)))
                checked += 1
                failed += bool(errors)
                for error in errors:
                    print(f"FAIL {scene.name} {job}: {error.message} at {list(error.absolute_path)}")
            store = Path(config) / "netmoth-companion" / "defaults.json"
            if store.exists():
                errors = list(validators["store"].iter_errors(json.loads(store.read_text())))
                checked += 1
                failed += bool(errors)
                for error in errors:
                    print(f"FAIL {scene.name} store: {error.message}")
    print(f"{checked - failed} passed, {failed} failed")
    return 1 if failed or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])))
