"""End-to-end cases: one ctest test per case_* function (see CMakeLists.txt)."""

import sys

import e2e


def main():
    name = sys.argv[1]
    fn = globals().get("case_" + name)
    if not fn:
        raise SystemExit(f"no case {name}")
    with e2e.Display():
        fn()
    print(f"PASS {name}")


if __name__ == "__main__":
    main()
