#!/bin/sh
# Runs a test program in a user and mount namespace of its own when the
# system allows one, so that it may mount small and read-only file systems
# without touching the machine's; VERDANTA_PRIVATE_MOUNTS tells it so.
# Elsewhere the program runs as it is and skips those tests.
if unshare --user --map-root-user --mount true 2>/dev/null; then
  VERDANTA_PRIVATE_MOUNTS=1 exec unshare --user --map-root-user --mount -- "$@"
fi
exec "$@"
