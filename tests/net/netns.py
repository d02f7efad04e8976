"""A private network and mount namespace for the update-check tests under Wine.

The test script re-executes itself under `unshare --net --mount` (root only). Inside, only the
loopback interface exists; /etc/hosts is replaced, for this process tree alone, by one that
maps the program's fixed host names to 127.0.0.1, and /srv by an empty tmpfs. Servers that
bind port 80 there reach nothing and disturb nothing outside.
"""

import os
import subprocess
import sys

MARK = "KETTERLIN_NET_NAMESPACE"
SKIP_CODE = 77


def enter():
    """Re-executes the running script inside a fresh namespace unless it already runs in one."""
    if os.environ.get(MARK) == "1":
        return
    if os.geteuid() != 0:
        print("skipped: the update-check tests need root for unshare --net --mount")
        sys.exit(SKIP_CODE)
    env = dict(os.environ)
    env[MARK] = "1"
    argv = ["unshare", "--net", "--mount", "--propagation", "private",
            sys.executable] + sys.argv
    os.execvpe("unshare", argv, env)


def configure(workdir, host_names):
    """Brings loopback up and makes host_names resolve to 127.0.0.1; returns the hosts file."""
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    hosts = os.path.join(workdir, "hosts")
    with open(hosts, "w") as out:
        out.write("127.0.0.1 localhost\n")
        for name in host_names:
            out.write("127.0.0.1 %s\n" % name)
    subprocess.run(["mount", "--bind", hosts, "/etc/hosts"], check=True)
    os.makedirs("/srv", exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=16m", "ketterlin-srv", "/srv"],
                   check=True)
    return hosts
