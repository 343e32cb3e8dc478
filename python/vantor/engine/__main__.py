"""python -m vantor.engine: runs test scripts in a browser (see --help)."""

import sys

from vantor.engine.runner.cli import main

if __name__ == "__main__":
    sys.exit(main())
