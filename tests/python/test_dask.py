"""A sweep through a Dask cluster of two worker processes gives the local result."""

import pandas as pd
import pytest

import dramolex

distributed = pytest.importorskip("distributed")

CONFIG = {"rounds": 200, "seed": 3, "replications": 3,
          "parameters": {"agents": [31, 61], "memory": [3, 4], "strategies": 2, "rule": "best"}}


# Debian's tornado warns about its own event loop set-up inside distributed.
@pytest.mark.filterwarnings("ignore:make_current is deprecated:DeprecationWarning")
def test_dask_local_cluster_equals_local_sweep():
    local = dramolex.sweep(CONFIG)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  worker_dashboard_address=None) as cluster, \
            distributed.Client(cluster, timeout="60s") as client:
        client.wait_for_workers(2, timeout=60)
        remote = dramolex.sweep(CONFIG, executor=client.get_executor(), batch_seconds=0.0)
        workers_used = len(client.run(lambda: True))
    assert workers_used == 2
    pd.testing.assert_frame_equal(remote.drop(columns="seconds"), local.drop(columns="seconds"), check_exact=True)
