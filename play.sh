#!/usr/bin/env bash
# Builds Jangora and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
exec build/bin/jangora
