#!/usr/bin/python3
"""Runs the built binary on every end-to-end scene with every job's switches
and validates each JSON answer, and the store it leaves, against the
published schemas with a real JSON Schema validator."""

import json
import subprocess
import sys
import tempfile
from pathlib import Path

from jsonschema import Draft202012Validator

JOBS = [("scan", []), ("scan", ["--ssid=Lab"]), ("connected-signal", ["--isRetrievingConnectedSignal"]),
        ("interfaces", ["--isRetrievingInterfaces"])]


def main(binary: str, schemas: Path, scenes: Path) -> int:
    validators = {name: Draft202012Validator(json.loads((schemas / f"{name}.schema.json").read_text()))
                  for name in ("scan", "connected-signal", "interfaces", "store")}
    for validator in validators.values():
        Draft202012Validator.check_schema(validator.schema)
    checked = failed = 0
    for scene in sorted(scenes.glob("*.json")):
        with tempfile.TemporaryDirectory() as config:
            answers = []
            for schema, arguments in JOBS:
                env = {"NETMOTH_SCENE": str(scene), "XDG_CONFIG_HOME": config, "PATH": "/usr/bin:/bin"}
                result = subprocess.run([binary, *arguments], env=env, capture_output=True, timeout=20)
                if result.returncode == 0:  # scenes meant to be unusable answer nothing to validate
                    answers.append((schema, " ".join(arguments), result.stdout))
            store = Path(config) / "netmoth-companion" / "defaults.json"
            if store.exists():
                answers.append(("store", "store", store.read_text()))
            for schema, job, text in answers:
                errors = list(validators[schema].iter_errors(json.loads(text)))
                checked += 1
                failed += bool(errors)
                for error in errors:
                    print(f"FAIL {scene.name} {job}: {error.message} at {list(error.absolute_path)}")
    print(f"{checked - failed} passed, {failed} failed")
    return 1 if failed or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])))
