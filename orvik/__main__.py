"""python -m orvik: the orvik command line."""

import sys

from orvik.cli import main

if __name__ == "__main__":
    sys.exit(main())
