"""Where a sweep's tasks run.

Any concurrent.futures.Executor will do: a ThreadPoolExecutor (the runs
release the GIL), a ProcessPoolExecutor, a Dask ``Client(...).get_executor()``
or mpi4py's ``MPIPoolExecutor``. None means every local core through threads.
"""

import concurrent.futures
import contextlib
import os


def check_executor(executor):
    """Raises ValueError unless executor is None or has submit()."""
    if executor is not None and not callable(getattr(executor, "submit", None)):
        raise ValueError(f"executor {executor!r}: not an executor (accepted: None or an object with "
                         "submit(), such as a concurrent.futures.Executor)")


@contextlib.contextmanager
def executor_or_local(executor):
    """The caller's executor as it is, or a thread pool over the local cores that is shut down afterwards."""
    check_executor(executor)
    if executor is not None:
        yield executor
        return
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 1) as pool:
        yield pool
