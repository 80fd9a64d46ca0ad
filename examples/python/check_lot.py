#!/usr/bin/env python3
"""Checks a lot at a step through Velmora's Python module and prints what it found.

    check_lot.py [LOT STEP [HOME]]

Without arguments: the demo lot LOT-A01 at step S-FQC-100 in the installed demo home. Exit status
0 when the check returned "ok", 1 when it returned anything else, 2 when it could not run.
"""
import sys

import velmora


def main(argv):
    lot, step = (argv[1], argv[2]) if len(argv) > 2 else ("LOT-A01", "S-FQC-100")
    home = argv[3] if len(argv) > 3 else None
    try:
        report = velmora.check(lot, step, home=home)
    except velmora.Error as error:
        print(f"check_lot: {error}", file=sys.stderr)
        return 2
    flags = report["flags"]
    print(f'velmora {velmora.__version__}, lot {lot} at {step}: result "{report["result"]}", '
          f'EDC fail {flags["IsEDCFail"]}, inspection fail {flags["IsAUGFail"]}')
    for record in report["records"]:
        print(f'  wafer {record["WaferID"]:<8} {record["Reasons"]}')
    return 0 if report["result"] == "ok" else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
