# Runs Orca with its debug log written line by line, so that nothing it spoke is lost
# when it is ended: Orca opens the log with a plain open(), which buffers in blocks.
import builtins
import runpy
import sys

_open = builtins.open


def _line_buffered(file, mode="r", *args, **kwargs):
    if mode == "w" and not args and "buffering" not in kwargs:
        kwargs["buffering"] = 1
    return _open(file, mode, *args, **kwargs)


builtins.open = _line_buffered
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
